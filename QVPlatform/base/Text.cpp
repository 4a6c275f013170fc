#include <QVPlatform/base/Text.h>

#include <unicode/brkiter.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>
#include <unicode/utf16.h>

#include <memory>

namespace platform {

namespace {

// Decodes one code point at `i`, advancing it; bad sequences give U+FFFD and advance by
// the length ICU's decoder consumed (at least one byte).
char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    auto index = static_cast<int32_t>(i);
    UChar32 c;
    U8_NEXT(s, index, length, c);
    i = static_cast<std::size_t>(index);
    return c < 0 ? U'\uFFFD' : static_cast<char32_t>(c);
}

}  // namespace

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = 0xFFFD;
    uint8_t buffer[4];
    int32_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, codePoint);
    out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = nextCodePoint(text, i);
        if (c <= 0xFFFF) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            out.push_back(static_cast<char16_t>(U16_LEAD(c)));
            out.push_back(static_cast<char16_t>(U16_TRAIL(c)));
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        UChar32 c;
        U16_NEXT(text.data(), i, text.size(), c);
        appendUtf8(out, static_cast<char32_t>(c));  // lone surrogates become U+FFFD
    }
    return out;
}

std::u32string utf8ToUtf32(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) out.push_back(nextCodePoint(text, i));
    return out;
}

std::string utf32ToUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) appendUtf8(out, c);
    return out;
}

std::size_t utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) units += nextCodePoint(text, i) > 0xFFFF ? 2 : 1;
    return units;
}

std::size_t utf8OffsetOfUtf16Index(std::string_view text, std::size_t unitIndex) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const std::size_t width = nextCodePoint(text, i) > 0xFFFF ? 2 : 1;
        if (units + width > unitIndex) return start;
        units += width;
    }
    return text.size();
}

std::size_t utf16IndexOfUtf8Offset(std::string_view text, std::size_t byteOffset) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size() && i < byteOffset;) units += nextCodePoint(text, i) > 0xFFFF ? 2 : 1;
    return units;
}

bool isValidUtf8(std::string_view text) {
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c < 0) return false;
    }
    return true;
}

std::vector<std::size_t> characterBoundaries(std::string_view text) {
    std::vector<std::size_t> bounds{0};
    if (text.empty()) return bounds;
    UErrorCode status = U_ZERO_ERROR;
    // UText over the UTF-8 bytes: break positions come back as byte offsets.
    UText* ut = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
    std::unique_ptr<UText, decltype(&utext_close)> utext(ut, utext_close);
    // Creating a break iterator loads rules; keep one per thread.
    thread_local std::unique_ptr<icu::BreakIterator> it(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it) {
        // No break data: fall back to one character per code point.
        for (std::size_t i = 0; i < text.size();) {
            nextCodePoint(text, i);
            bounds.push_back(i);
        }
        return bounds;
    }
    it->setText(ut, status);
    for (int32_t p = it->next(); p != icu::BreakIterator::DONE; p = it->next()) {
        bounds.push_back(static_cast<std::size_t>(p));
    }
    if (bounds.back() != text.size()) bounds.push_back(text.size());
    return bounds;
}

std::vector<std::string> characters(std::string_view text) {
    const auto bounds = characterBoundaries(text);
    std::vector<std::string> out;
    out.reserve(bounds.size() - 1);
    for (std::size_t k = 0; k + 1 < bounds.size(); ++k) {
        out.emplace_back(text.substr(bounds[k], bounds[k + 1] - bounds[k]));
    }
    return out;
}

std::size_t characterCount(std::string_view text) { return characterBoundaries(text).size() - 1; }

}  // namespace platform
