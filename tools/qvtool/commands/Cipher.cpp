// `qvtool cipher encrypt|decrypt`: the symmetric ciphers in ECB mode with PKCS#7 padding;
// encryption prints Base64, decryption takes it.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/crypto/Base64.h>

#include <algorithm>
#include <vector>

namespace qvtool {
namespace {

using namespace QVToolbox;

// In the order the help lists them.
const std::vector<std::pair<std::string, LuxSCAType>>& types() {
    static const std::vector<std::pair<std::string, LuxSCAType>> table{
        {"AES", LuxSCAType::AES},   {"AES128", LuxSCAType::AES128}, {"DES", LuxSCAType::DES}, {"DES3", LuxSCAType::DES3},
        {"CAST", LuxSCAType::CAST}, {"RC2", LuxSCAType::RC2},       {"RC4", LuxSCAType::RC4}, {"Blowfish", LuxSCAType::Blowfish}};
    return table;
}

std::string typeNames() {
    std::string names;
    for (const auto& [name, type] : types()) names += (names.empty() ? "" : "|") + name;
    return names;
}

// scaCrypt skips every character outside the Base64 alphabet; the tool allows only line
// breaks and blanks between the characters and wants the rest to be strict Base64.
void requireBase64(const std::string& text) {
    std::string compact = text;
    std::erase_if(compact, [](char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; });
    if (compact.empty() || !platform::base64Decode(compact)) {
        throw BadInput("TEXT is not Base64 (the alphabet A-Z a-z 0-9 + /, \"=\" padding, a multiple of 4 characters)");
    }
}

void defineVerb(CLI::App& group, bool encrypt) {
    Verb verb(group, encrypt ? "encrypt" : "decrypt",
              encrypt ? "the text's cipher text in Base64 (lines of 64 characters)"
                      : "the text that Base64 cipher text holds; status 2 for a wrong key or type");
    const auto& type = verb.option("--type", typeNames(), "the cipher", true);
    const auto& key = verb.option("--key", "KEY", "the key's bytes, cut or padded with zero bytes to the key length", true);
    const auto& text = verb.text("TEXT", encrypt ? "UTF-8 text" : "Base64 cipher text");
    verb.run([&, encrypt] {
        const auto t = std::find_if(types().begin(), types().end(), [&](const auto& entry) { return entry.first == *type; });
        if (t == types().end()) throw BadInput("--type " + shown(*type) + " is not one of " + typeNames());
        if (encrypt) {
            requireUtf8(text, "TEXT");
        } else {
            requireBase64(text);
        }
        const auto result = hx(text).scaCrypt(t->second, *key, encrypt);
        if (!encrypt && !result) {
            throw BadInput("cannot decrypt TEXT with this key and type (a wrong key or type, or not made by cipher encrypt)");
        }
        return printResult(result);
    });
}

void define(CLI::App& group) {
    defineVerb(group, true);
    defineVerb(group, false);
}

const GroupRegistration registration{
    {"cipher", "AES, DES, DES3, CAST, RC2, RC4, Blowfish in ECB/PKCS#7, to and from Base64", 21, define}};

}  // namespace
}  // namespace qvtool
