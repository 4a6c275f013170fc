// `qvtool encode`: Base64, percent-encoding, "\u" escapes and HTML character references,
// each way. Status 1 when the result is empty (a decoding that fails).
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

namespace qvtool {
namespace {

using namespace QVToolbox;

struct Encoding {
    const char* name;
    const char* description;
    std::optional<std::string> (*apply)(const std::string& text);
    bool bytes;  // takes any bytes rather than UTF-8 text
};

const Encoding kEncodings[] = {
    {"base64", "Base64 of the bytes", [](const std::string& t) { return hx(t).base64Encode(); }, true},
    {"base64-decode", "the UTF-8 text Base64 holds (characters outside the alphabet skipped)",
     [](const std::string& t) { return hx(t).base64Decode(); }, false},
    {"url", "percent-encoding of what the URL query set lacks; escapes pass",
     [](const std::string& t) { return std::optional(hx(t).urlEncode()); }, false},
    {"url-decode", "every %XX decoded (empty when malformed)",
     [](const std::string& t) { return std::optional(hx(t).urlDecode()); }, false},
    {"url-encoded", "percent-encoding keeping letters, digits and - . _ ~ / ?",
     [](const std::string& t) { return std::optional(hx(t).urlEncoded()); }, false},
    {"url-all", "percent-encoding keeping letters and digits",
     [](const std::string& t) { return std::optional(hx(t).urlAllEncoded()); }, false},
    {"unicode", "\\u escapes of the characters above ASCII",
     [](const std::string& t) { return std::optional(hx(t).unicodeEncode()); }, false},
    {"unicode-decode", "\\u escapes decoded", [](const std::string& t) { return std::optional(hx(t).unicodeDecode()); },
     false},
    {"html", "every UTF-16 unit as &#xHHHH;", [](const std::string& t) { return std::optional(hx(t).toHtmlEncodedString()); },
     false},
    {"html-decode", "the text content of the HTML", [](const std::string& t) { return hx(t).htmlEncodedStringToString(); },
     false},
};

void define(CLI::App& group) {
    for (const auto& encoding : kEncodings) {
        Verb verb(group, encoding.name, encoding.description);
        const auto& text = verb.text("TEXT", encoding.bytes ? "the bytes" : "UTF-8 text");
        verb.run([&text, &encoding] {
            if (!encoding.bytes) requireUtf8(text, "TEXT");
            return printResult(encoding.apply(text));
        });
    }
}

const GroupRegistration registration{
    {"encode", "Base64, URL percent-encoding, \\u escapes, HTML references, each way", 22, define}};

}  // namespace
}  // namespace qvtool
