#include <QVPlatform/foundation/OldStylePropertyList.h>

#include <QVPlatform/base/Text.h>

namespace platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> readOldStyleQuotedString(std::string_view input, std::size_t& position, std::string* error) {
    std::size_t i = position;
    if (i >= input.size() || (input[i] != '"' && input[i] != '\''))
        return fail(error, "Unexpected character (expected a quoted string)");
    const char quote = input[i++];
    // Fast path: no escapes before the closing quote and valid UTF-8 need no conversion.
    const std::size_t stop = input.find_first_of(quote == '"' ? std::string_view("\"\\") : std::string_view("'\\"), i);
    if (stop != std::string_view::npos && input[stop] == quote && isValidUtf8(input.substr(i, stop - i))) {
        position = stop + 1;
        return std::string(input.substr(i, stop - i));
    }
    // Text is collected as UTF-16 so that escaped surrogate halves pair up.
    std::u16string units;
    std::size_t runStart = i;  // start of unescaped bytes not yet converted
    auto flush = [&](std::size_t end) {
        if (end > runStart) units += utf8ToUtf16(input.substr(runStart, end - runStart));
    };
    bool closed = false;
    while (i < input.size()) {
        const char c = input[i];
        if (c == quote) {
            flush(i);
            ++i;
            closed = true;
            break;
        }
        if (c != '\\') {
            ++i;
            continue;
        }
        flush(i);
        if (++i >= input.size()) break;  // a backslash at the very end: unterminated
        const char e = input[i++];
        switch (e) {
        case 'a': units.push_back(u'\a'); break;
        case 'b': units.push_back(u'\b'); break;
        case 'f': units.push_back(u'\f'); break;
        case 'n': units.push_back(u'\n'); break;
        case 'r': units.push_back(u'\r'); break;
        case 't': units.push_back(u'\t'); break;
        case 'v': units.push_back(u'\v'); break;
        case 'U': {
            unsigned value = 0;
            for (int k = 0; k < 4 && i < input.size() && hexValue(input[i]) >= 0; ++k) value = value * 16 + static_cast<unsigned>(hexValue(input[i++]));
            units.push_back(static_cast<char16_t>(value));
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned value = static_cast<unsigned>(e - '0');
                for (int k = 0; k < 2 && i < input.size() && input[i] >= '0' && input[i] <= '7'; ++k) value = value * 8 + static_cast<unsigned>(input[i++] - '0');
                units.push_back(static_cast<char16_t>(value & 0xFF));
            } else if (static_cast<unsigned char>(e) < 0x80) {
                units.push_back(static_cast<char16_t>(e));
            } else {
                // An escaped non-ASCII character: the whole UTF-8 sequence stands for itself.
                runStart = i - 1;
                continue;
            }
        }
        runStart = i;
    }
    if (!closed) return fail(error, "Unterminated quoted string");
    position = i;
    return utf16ToUtf8(units);
}

std::optional<std::string> parseOldStyleQuotedString(std::string_view input, std::string* error) {
    std::size_t i = 0;
    while (i < input.size() && isBlank(input[i])) ++i;
    if (i >= input.size() || (input[i] != '"' && input[i] != '\''))
        return fail(error, "Unexpected character at line 1 (expected a quoted string)");
    auto text = readOldStyleQuotedString(input, i);
    if (!text) return fail(error, "Unterminated quoted string starting on line 1");
    while (i < input.size() && isBlank(input[i])) ++i;
    if (i != input.size()) return fail(error, "Junk after plist at line 1");
    return text;
}

}  // namespace platform
