#include <QVToolbox/svg/TransformScanner.h>

#include <cstdint>

namespace QVToolbox {

namespace {

bool isWord(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }  // ICU's \s on ASCII

// One repetition of the group as a chain of items; an NFA state is "before item k".
enum class Kind { once, optional, star };
struct Item {
    bool (*matches)(char);
    Kind kind;
};
constexpr Item kItems[] = {
    {[](char c) { return c == '-'; }, Kind::optional},
    {isDigit, Kind::once},
    {isDigit, Kind::star},
    {[](char c) { return c == '.'; }, Kind::optional},
    {isDigit, Kind::star},
    {[](char c) { return c == 'e' || c == 'E'; }, Kind::optional},
    {[](char c) { return c == '-'; }, Kind::optional},
    {isDigit, Kind::star},
    {isSpace, Kind::star},
    {[](char c) { return c == ','; }, Kind::optional},
    {isSpace, Kind::star},
};
constexpr unsigned kEnd = sizeof kItems / sizeof kItems[0];  // after a whole repetition

// Adds every state reachable without reading: past optional and starred items, and from the
// end of a repetition back to the start of the next.
std::uint32_t closure(std::uint32_t states) {
    for (bool grew = true; grew;) {
        grew = false;
        for (unsigned k = 0; k <= kEnd; ++k) {
            if (!(states & (1u << k))) continue;
            const unsigned to = k == kEnd ? 0 : (kItems[k].kind == Kind::once ? k : k + 1);
            if (to != k && !(states & (1u << to))) {
                states |= 1u << to;
                grew = true;
            }
        }
    }
    return states;
}

std::uint32_t step(std::uint32_t states, char c) {
    std::uint32_t next = 0;
    for (unsigned k = 0; k < kEnd; ++k) {
        if ((states & (1u << k)) && kItems[k].matches(c)) next |= 1u << (kItems[k].kind == Kind::star ? k : k + 1);
    }
    return closure(next);
}

}  // namespace

bool isTransformNumberList(std::string_view numbers) {
    std::uint32_t states = closure(1u);
    for (const char c : numbers) {
        states = step(states, c);
        if (!states) return false;
    }
    // Every repetition reads a digit, so reaching the end state means at least one was read.
    return !numbers.empty() && (states & (1u << kEnd));
}

std::vector<TransformItem> scanTransformList(std::string_view text) {
    std::vector<TransformItem> found;
    std::size_t wordStart = 0;  // start of the run of word bytes before i
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isWord(c)) {
            ++i;
            continue;
        }
        if (c != '(' || wordStart == i) {
            wordStart = ++i;
            continue;
        }
        // A name before "(": its arguments run to the first ")" and hold no "(".
        std::size_t close = i + 1;
        while (close < text.size() && text[close] != ')' && text[close] != '(') ++close;
        if (close < text.size() && text[close] == ')') {
            const std::string_view numbers = text.substr(i + 1, close - i - 1);
            if (isTransformNumberList(numbers)) found.push_back({text.substr(wordStart, i - wordStart), numbers});
            wordStart = i = close + 1;
            continue;
        }
        // No ")" before the next "(" (or the end): no match starts before the word that
        // comes right before that "(".
        i = close;
        wordStart = i;
        while (wordStart > 0 && isWord(text[wordStart - 1])) --wordStart;
    }
    return found;
}

}  // namespace QVToolbox
