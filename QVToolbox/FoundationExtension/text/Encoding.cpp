#include <QVToolbox/FoundationExtension/text/Encoding.h>

#include <QVPlatform/crypto/Base64.h>
#include <QVPlatform/base/Debug.h>
#include <QVPlatform/foundation/HTMLImporter.h>
#include <QVPlatform/foundation/OldStylePropertyList.h>
#include <QVPlatform/base/Text.h>
#include <QVPlatform/base/URL.h>

#include <cstdio>

namespace QVToolbox {

namespace {

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
}

void appendHex(std::string& out, unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", value);
    out += buffer;
}

}  // namespace

std::optional<std::string> base64Encode(std::string_view text) {
    return platform::base64Encode(platform::Data::fromString(text));
}

std::optional<std::string> base64Decode(std::string_view text) {
    auto data = platform::base64Decode(text, platform::Base64DecodingOptions::ignoreUnknownCharacters);
    if (!data) return std::nullopt;
    std::string out = data->toString();
    if (!platform::isValidUtf8(out)) return std::nullopt;
    return out;
}

std::optional<std::string> base64(std::string_view text, bool encode) { return encode ? base64Encode(text) : base64Decode(text); }

platform::CharacterSet queryCharacterSet() { return platform::CharacterSet::urlQueryAllowed(); }

std::string urlEncode(std::string_view text) {
    return platform::addingPercentEncoding(text, queryCharacterSet().insert("%"));
}

std::string urlDecode(std::string_view text) { return platform::removingPercentEncoding(text).value_or(std::string()); }

std::string urlEncoding(std::string_view text, const platform::CharacterSet& characters) {
    return platform::addingPercentEncoding(text, characters);
}

std::string urlEncoded(std::string_view text) {
    return platform::addingPercentEncoding(text, queryCharacterSet().remove(":#[]@!$&'()*+,;="));
}

std::string urlAllEncoded(std::string_view text) {
    return platform::addingPercentEncoding(text, queryCharacterSet().remove(":#[]@!$&'()*+,;=/?_-.~"));
}

std::string unicodeEncode(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char32_t c : platform::utf8ToUtf32(text)) {
        if (c >= 0x10000) {
            // Two UTF-16 units, the high one first.
            out += "\\u";
            appendHex(out, 0xD800 + ((c - 0x10000) >> 10));
            out += "\\u";
            appendHex(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else if (c >= 128) {
            out += "\\u";
            appendHex(out, static_cast<unsigned>(c));
        } else {
            switch (c) {
            case U'\t': out += "\\t"; break;
            case U'\n': out += "\\n"; break;
            case U'\r': out += "\\r"; break;
            case U'\0': out += "\\0"; break;
            case U'"': out += "\\\""; break;
            case U'\'': out += "\\'"; break;
            case U'\\': out += "\\\\"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += "\\u{";
                    appendHex(out, static_cast<unsigned>(c));
                    out += "}";
                } else {
                    out.push_back(static_cast<char>(c));
                }
            }
        }
    }
    return out;
}

std::string unicodeDecode(std::string_view text) {
    std::string quoted(text);
    replaceAll(quoted, "\\u", "\\U");
    replaceAll(quoted, "\"", "\\\"");
    std::string error;
    std::string result =
        platform::parseOldStyleQuotedString("\"" + quoted + "\"", &error).value_or(std::string());
    if (!error.empty()) platform::debugPrint(error);
    replaceAll(result, "\\r\\n", "\n");
    return result;
}

std::string toHtmlEncodedString(std::string_view text) {
    std::string out;
    char buffer[16];
    for (const char16_t unit : platform::utf8ToUtf16(text)) {
        std::snprintf(buffer, sizeof buffer, "&#x%04x;", static_cast<unsigned>(unit));
        out += buffer;
    }
    return out;
}

std::optional<std::string> htmlEncodedStringToString(std::string_view text) { return platform::plainTextOfHTML(text); }

std::optional<platform::Data> encodeToData(const platform::Data& data) {
    return platform::Data::fromString(platform::base64Encode(data));
}

std::optional<platform::Data> decodeToDada(const platform::Data& data) { return platform::base64Decode(data.view()); }

std::vector<std::uint8_t> bytes(const platform::Data& data) { return data.vector(); }

}  // namespace QVToolbox
