#include <QVToolbox/FoundationExtension/text/TextEditing.h>

#include <QVPlatform/base/NSString.h>
#include <QVPlatform/base/Saturating.h>
#include <QVPlatform/foundation/NSUUID.h>
#include <QVPlatform/base/Text.h>
#include <QVPlatform/foundation/Transliterator.h>
#include <QVPlatform/foundation/UnicodeProperties.h>
#include <QVPlatform/ui/UIPasteboard.h>

#include <algorithm>
#include <climits>

namespace QVToolbox {

namespace {

template <class Drop>
std::string trimmed(std::string_view text, Drop drop) {
    const std::u32string s = platform::utf8ToUtf32(text);
    std::size_t begin = 0, end = s.size();
    while (begin < end && drop(s[begin])) ++begin;
    while (end > begin && drop(s[end - 1])) --end;
    return platform::utf32ToUtf8(std::u32string_view(s).substr(begin, end - begin));
}

std::string without(std::string_view text, char c) {
    std::string out(text);
    out.erase(std::remove(out.begin(), out.end(), c), out.end());
    return out;
}

}  // namespace

std::size_t validIndex(std::string_view text, long original) {
    if (original <= 0) return 0;
    if (static_cast<unsigned long>(original) >= platform::utf16Length(text)) return text.size();
    const auto bounds = platform::characterBoundaries(text);
    const std::size_t count = bounds.size() - 1;
    return bounds[std::min(static_cast<std::size_t>(original), count)];
}

std::string sub(std::string_view text, SubTo to) { return std::string(text.substr(0, validIndex(text, to.to))); }

std::string sub(std::string_view text, SubFrom from) { return std::string(text.substr(validIndex(text, from.from))); }

std::string sub(std::string_view text, SubStartLength range) {
    const std::size_t begin = validIndex(text, range.start);
    const std::size_t end = range.length < 0 ? text.size() : validIndex(text, platform::saturatingAdd<long>(std::max(range.start, 0L), range.length));
    return begin < end ? std::string(text.substr(begin, end - begin)) : std::string();
}

std::string slice(std::string_view text, IntRange range) {
    const std::size_t begin = validIndex(text, range.lowerBound);
    const std::size_t end = validIndex(text, range.upperBound);
    return begin < end ? std::string(text.substr(begin, end - begin)) : std::string();
}

std::string indexString(std::string_view text, long index) { return slice(text, {index, platform::saturatingAdd<long>(index, 1)}); }

std::string truncateString(std::string_view text, long n) {
    n = std::max(n, 0L);
    if (static_cast<unsigned long>(length(text)) <= static_cast<unsigned long>(n)) return std::string(text);
    return sub(text, SubTo{n}) + "...";
}

std::string insertString(std::string_view text, std::string_view content, long locat) {
    const long n = length(text);
    if (locat >= 1 && n > locat) return sub(text, SubTo{locat}) + std::string(content) + sub(text, SubFrom{locat});
    if (locat < 1) return std::string(content) + std::string(text);
    return std::string(text) + std::string(content);
}

std::vector<std::string> separatedByString(std::string_view text, std::string_view with) {
    if (with.empty()) return {std::string(text)};
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t at = text.find(with); at != std::string_view::npos; at = text.find(with, start)) {
        pieces.emplace_back(text.substr(start, at - start));
        start = at + with.size();
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

std::vector<std::string> toArray(std::string_view text) { return platform::characters(text); }

long length(std::string_view text) { return static_cast<long>(platform::characterCount(text)); }

long countOfChars(std::string_view text) {
    if (text.empty()) return 0;
    const std::u16string units = platform::utf8ToUtf16(text);
    const std::size_t n = std::min(platform::characterCount(text), units.size());
    long width = 0;
    for (std::size_t i = 0; i < n; ++i) width += units[i] >= 0x4E00 && units[i] <= 0x9FA5 ? 2 : 1;
    return width;
}

std::string removeBeginEndAllSapcefeed(std::string_view text) { return trimmed(text, platform::isWhitespace); }
std::string removeBeginEndAllLinefeed(std::string_view text) { return trimmed(text, platform::isNewline); }
std::string removeBeginEndAllSapceAndLinefeed(std::string_view text) {
    return removeBeginEndAllLinefeed(removeBeginEndAllSapcefeed(text));
}
std::string removeAllSapce(std::string_view text) { return without(text, ' '); }
std::string removeAllLinefeed(std::string_view text) { return without(text, '\n'); }
std::string removeAllLineAndSapcefeed(std::string_view text) { return removeAllLinefeed(removeAllSapce(text)); }

std::string removeCharacter(std::string_view text, std::string_view characterString) {
    const std::u32string set = platform::utf8ToUtf32(characterString);
    return trimmed(text, [&](char32_t c) { return set.find(c) != std::u32string::npos; });
}

std::string removeSomeStringUseSomeString(std::string_view text, std::string_view removeString,
                                          std::string_view replacingString) {
    if (removeString.empty()) return std::string(text);
    const auto pieces = separatedByString(text, removeString);
    std::string out = pieces.front();
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        out += replacingString;
        out += pieces[i];
    }
    return out;
}

std::string replacingCharacters(std::string_view text, platform::NSRange range, std::string_view replacingString) {
    // NSString clamps the range to the text.
    return platform::NSString(text).stringByReplacingCharactersInRange(range, replacingString).string();
}

std::string hide12BitsPhone(std::string_view text, std::string_view combine) {
    const auto bounds = platform::characterBoundaries(text);
    if (bounds.size() - 1 < 11) return std::string(text);
    return std::string(text.substr(0, bounds[3])) + std::string(combine) + std::string(text.substr(bounds[7], bounds[11] - bounds[7]));
}

std::string hidePhone(std::string_view text, std::string_view combine, long digitsBefore, long digitsAfter) {
    const auto bounds = platform::characterBoundaries(text);
    const auto n = static_cast<unsigned long>(bounds.size() - 1);
    const auto before = static_cast<unsigned long>(std::max(digitsBefore, 0L));
    const auto after = static_cast<unsigned long>(std::max(digitsAfter, 0L));
    if (before >= n || after >= n || before + after >= n) return std::string(text);
    std::string out(text.substr(0, bounds[before]));
    for (unsigned long i = 0; i < n - before - after; ++i) out += combine;
    out += text.substr(bounds[n - after]);
    return out;
}

std::string hideEmail(std::string_view text, std::string_view combine, long digitsBefore, long digitsAfter) {
    const auto pieces = separatedByString(text, "@");
    if (pieces.size() != 2) return std::string(text);
    return hidePhone(pieces[0], combine, digitsBefore, digitsAfter) + "@" + pieces[1];
}

std::string toPinyin(std::string_view text, bool keepTone) {
    std::string latin = platform::applyingTransform(text, platform::kStringTransformToLatin).value_or(std::string(text));
    if (keepTone) return latin;
    return platform::applyingTransform(latin, platform::kStringTransformStripDiacritics).value_or(latin);
}

std::string pinyinInitials(std::string_view text, bool upper) {
    std::string out;
    for (const auto& piece : separatedByString(toPinyin(text, false), " ")) {
        if (piece.empty()) continue;  // two spaces in a row, or an empty text
        // "%c" of the first byte: a byte beyond ASCII is the character of that value.
        platform::appendUtf8(out, static_cast<unsigned char>(piece.front()));
    }
    return upper ? platform::uppercased(out) : out;
}

std::optional<std::string> stringWithUUID() {
    const auto id = platform::NSUUID::make();
    if (!id) return std::nullopt;
    return id->UUIDString();
}

void copyToPasteboard(std::string_view text) { platform::UIPasteboard::general().setString(std::string(text)); }

}  // namespace QVToolbox
