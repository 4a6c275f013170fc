#include <QVToolbox/svg/SVGStyle.h>

#include <QVToolbox/svg/SVGNumber.h>

#include <optional>

namespace QVToolbox {

namespace {

bool isWord(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool isValueByte(char c) { return isWord(c) || c == ' ' || c == '#'; }

std::size_t wordEnd(std::string_view t, std::size_t i) {
    while (i < t.size() && isWord(t[i])) ++i;
    return i;
}

// Where [ #\w]*\.?\w+ ends when matched greedily at `start`, or none. The run of value
// bytes is taken whole; a point with word bytes after it extends it; else the value ends
// after the run's last word byte (the engine gives back spaces and '#' until \w+ fits).
std::optional<std::size_t> valueEnd(std::string_view t, std::size_t start) {
    std::size_t run = start;
    while (run < t.size() && isValueByte(t[run])) ++run;
    if (run + 1 < t.size() && t[run] == '.' && isWord(t[run + 1])) return wordEnd(t, run + 1);
    for (std::size_t i = run; i > start; --i) {
        if (isWord(t[i - 1])) return i;
    }
    return std::nullopt;
}

// After the name (ending at `nameEnd`): ":?" then the value, trying the colon first.
std::optional<std::size_t> colonThenValue(std::string_view t, std::size_t nameEnd, std::size_t& valueStart) {
    if (nameEnd < t.size() && t[nameEnd] == ':') {
        if (auto end = valueEnd(t, nameEnd + 1)) {
            valueStart = nameEnd + 1;
            return end;
        }
    }
    valueStart = nameEnd;
    return valueEnd(t, nameEnd);
}

struct Match {
    std::size_t nameEnd, valueStart, valueEnd;
};

// The match starting at `p` (a word byte), in the order a backtracking engine tries the
// alternatives: the whole word (with "-word" after it) first, then one byte shorter.
std::optional<Match> matchAt(std::string_view t, std::size_t p) {
    const std::size_t w = wordEnd(t, p);
    std::size_t valueStart = 0;
    if (w < t.size() && t[w] == '-') {
        const std::size_t w2 = wordEnd(t, w + 1);
        if (auto end = colonThenValue(t, w2, valueStart)) return Match{w2, valueStart, *end};
        // The second word gives back its last byte to the value.
        if (w2 > w + 1) return Match{w2 - 1, w2 - 1, *valueEnd(t, w2 - 1)};
    } else if (auto end = colonThenValue(t, w, valueStart)) {
        return Match{w, valueStart, *end};
    }
    // The name gives back its last byte, which becomes the value's \w+.
    if (w - p >= 2) return Match{w - 1, w - 1, *valueEnd(t, w - 1)};
    return std::nullopt;
}

}  // namespace

std::vector<StyleDeclaration> scanStyle(std::string_view text, bool rawValues) {
    std::vector<StyleDeclaration> found;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!isWord(text[i])) {
            ++i;
            continue;
        }
        const auto match = matchAt(text, i);
        if (!match) {
            ++i;
            continue;
        }
        const std::string_view value = text.substr(match->valueStart, match->valueEnd - match->valueStart);
        found.push_back({text.substr(i, match->nameEnd - i), rawValues ? value : trimSpacesAndTabs(value)});
        i = match->valueEnd;
    }
    return found;
}

}  // namespace QVToolbox
