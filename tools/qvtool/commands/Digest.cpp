// `qvtool digest`: MD5 and SHA digests and HMACs of a text's bytes.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

namespace qvtool {
namespace {

using namespace QVToolbox;

void defineMd5(CLI::App& group, std::string name, MD5EncryptType type, std::string description) {
    Verb verb(group, std::move(name), std::move(description));
    const auto& text = verb.text("TEXT", "the bytes to digest");
    verb.run([&text, type] { return printResult(hx(text).md5Encrypt(type)); });
}

void defineSha(CLI::App& group, std::string name, LuxSHAType type) {
    Verb verb(group, name, name + " in hex, or HMAC-" + name + " with --key");
    const auto& upper = verb.flag("--upper", "upper-case hex");
    const auto& key = verb.option("--key", "KEY", "HMAC key (its bytes; an empty key gives the plain digest)");
    const auto& text = verb.text("TEXT", "the bytes to digest; no NUL byte (shaCrypt stops at the first)");
    verb.run([&, type] {
        // shaCrypt digests the bytes before the first NUL only: refuse rather than answer the
        // digest of a part.
        if (const auto nul = text.find('\0'); nul != std::string::npos) {
            throw BadInput("TEXT holds a NUL byte at offset " + std::to_string(nul) +
                           "; SHA digests here stop at the first NUL (md5 takes every byte)");
        }
        return printResult(hx(text).shaCrypt(type, key ? std::optional<std::string_view>(*key) : std::nullopt, !upper));
    });
}

void define(CLI::App& group) {
    defineMd5(group, "md5", MD5EncryptType::lowercase32, "MD5 in lower-case hex, 32 digits");
    defineMd5(group, "md5-16", MD5EncryptType::lowercase16, "MD5 in lower-case hex, the middle 16 digits");
    defineMd5(group, "MD5", MD5EncryptType::uppercase32, "MD5 in upper-case hex, 32 digits");
    defineMd5(group, "MD5-16", MD5EncryptType::uppercase16, "MD5 in upper-case hex, the middle 16 digits");
    defineSha(group, "sha1", LuxSHAType::SHA1);
    defineSha(group, "sha224", LuxSHAType::SHA224);
    defineSha(group, "sha256", LuxSHAType::SHA256);
    defineSha(group, "sha384", LuxSHAType::SHA384);
    defineSha(group, "sha512", LuxSHAType::SHA512);
}

const GroupRegistration registration{{"digest", "MD5 and SHA digests in hex, and HMACs; status 1 for an empty result", 20, define}};

}  // namespace
}  // namespace qvtool
