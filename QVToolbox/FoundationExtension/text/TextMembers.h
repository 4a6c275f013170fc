// The text utilities' member sets: numbers, digests and ciphers, encodings, validation,
// trimming, masking and slicing.
//
//   hx(std::string("0.1")).adding("0.2");                          // "0.3"
//   hx(platform::NSString("abc")).md5Encrypt(MD5EncryptType::lowercase32);
//   HxPOP<platform::NSDecimalNumberHandler>::isDivisible(10, 5);   // true
//
// Each member forwards to a plain function (NumberText.h, DecimalText.h, Digest.h,
// Encoding.h, Validation.h, RegexHelper.h, TextEditing.h, TextSearch.h, Version.h) where its
// contract is written. How the seed's types map here:
//   String family   std::string and platform::NSString (TextMembers<W, StringFamily>);
//                   version comparison and the HTML and Unicode escapes are on std::string only.
//   Int             long (64-bit, as the seed's Int); int gets the same members. Int64 is
//                   std::int64_t, which is long here, so hx(long) also has the int64… members.
//   UInt            unsigned long (and unsigned); Bool bool; Character char32_t (one scalar).
//   Double, Float   double, float; CGFloat is double, so its members join Double's.
//   Properties      become member functions of the same name. Members named after C++
//                   keywords take a trailing underscore: int_(), float_(), double_().
// Thread rule: the wrappers are values; every member is a pure function of its inputs except
// copy() (the pasteboard) and stringWithUUID() (randomness).
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/text/DecimalText.h>
#include <QVToolbox/FoundationExtension/text/Digest.h>
#include <QVToolbox/FoundationExtension/text/Encoding.h>
#include <QVToolbox/FoundationExtension/text/NumberText.h>
#include <QVToolbox/FoundationExtension/text/RegexHelper.h>
#include <QVToolbox/FoundationExtension/text/TextEditing.h>
#include <QVToolbox/FoundationExtension/text/TextSearch.h>
#include <QVToolbox/FoundationExtension/text/Validation.h>
#include <QVToolbox/FoundationExtension/text/Version.h>

#include <QVPlatform/base/Data.h>
#include <QVPlatform/base/Decimal.h>
#include <QVPlatform/base/NSNumber.h>
#include <QVPlatform/foundation/NumberFormatter.h>
#include <QVPlatform/base/Text.h>
#include <QVPlatform/base/URL.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace QVToolbox {

namespace detail {
template <class W>
std::string_view baseText(const W& w) {
    return textOf(w.base);
}
}  // namespace detail

template <class W>
struct TextMembers<W, StringFamily> {
    using MD5EncryptType = QVToolbox::MD5EncryptType;
    using LuxSHAType = QVToolbox::LuxSHAType;
    using LuxSCAType = QVToolbox::LuxSCAType;
    using DecimalNumberHandlerType = QVToolbox::DecimalNumberHandlerType;

    // Part: numbers ------------------------------------------------------------------
    std::optional<long> toInt() const { return QVToolbox::toInt(text()); }
    std::optional<double> toDouble() const { return QVToolbox::toDouble(text()); }
    std::optional<float> toFloat() const { return QVToolbox::toFloat(text()); }
    std::optional<bool> toBool() const { return QVToolbox::toBool(text()); }
    long hexInt() const { return QVToolbox::hexInt(text()); }
    std::optional<double> accuraterDouble() const { return QVToolbox::accuraterDouble(text()); }
    std::string toThousands() const { return QVToolbox::toThousands(text()); }
    std::string cutLastZeroAfterDot() const { return QVToolbox::cutLastZeroAfterDot(text()); }
    std::string saveNumberDecimal(int numberDecimal, platform::NSNumberFormatterRoundingMode mode) const {
        return QVToolbox::saveNumberDecimal(text(), numberDecimal, mode);
    }
    std::string adding(std::optional<std::string_view> other) const { return QVToolbox::adding(text(), other); }
    std::string subtracting(std::optional<std::string_view> other) const { return QVToolbox::subtracting(text(), other); }
    std::string multiplying(std::optional<std::string_view> other) const { return QVToolbox::multiplying(text(), other); }
    std::string dividing(std::optional<std::string_view> other) const { return QVToolbox::dividing(text(), other); }
    std::string binaryTodecimal() const { return QVToolbox::binaryTodecimal(text()); }
    std::string octalTodecimal() const { return QVToolbox::octalTodecimal(text()); }
    std::string hexadecimalToDecimal() const { return QVToolbox::hexadecimalToDecimal(text()); }
    std::string decimalToBinary() const { return QVToolbox::decimalToBinary(text()); }
    std::string decimalToOctal() const { return QVToolbox::decimalToOctal(text()); }
    std::string decimalToHexadecimal() const { return QVToolbox::decimalToHexadecimal(text()); }
    std::string binaryToOctal() const { return QVToolbox::binaryToOctal(text()); }
    std::string binaryToHexadecimal() const { return QVToolbox::binaryToHexadecimal(text()); }
    std::string octalTobinary() const { return QVToolbox::octalTobinary(text()); }
    std::string octalToHexadecimal() const { return QVToolbox::octalToHexadecimal(text()); }
    std::string hexadecimalToBinary() const { return QVToolbox::hexadecimalToBinary(text()); }
    std::string hexadecimalToOctal() const { return QVToolbox::hexadecimalToOctal(text()); }

    // Digests, ciphers and encodings ----------------------------------------------------
    std::string md5Encrypt(MD5EncryptType type) const { return QVToolbox::md5Encrypt(text(), type); }
    std::optional<std::string> shaCrypt(LuxSHAType cryptType, std::optional<std::string_view> key = std::nullopt,
                                        bool lower = true) const {
        return QVToolbox::shaCrypt(text(), cryptType, key, lower);
    }
    std::optional<std::string> scaCrypt(LuxSCAType cryptType, std::optional<std::string_view> key, bool encode,
                                        std::string_view encryptIV = "") const {
        return QVToolbox::scaCrypt(text(), cryptType, key, encode, encryptIV);
    }
    std::optional<std::string> base64Encode() const { return QVToolbox::base64Encode(text()); }
    std::optional<std::string> base64Decode() const { return QVToolbox::base64Decode(text()); }
    std::optional<std::string> base64(bool encode) const { return QVToolbox::base64(text(), encode); }
    std::string urlEncode() const { return QVToolbox::urlEncode(text()); }
    std::string urlDecode() const { return QVToolbox::urlDecode(text()); }
    std::string urlEncoding(const platform::CharacterSet& characters) const { return QVToolbox::urlEncoding(text(), characters); }
    std::string urlEncoded() const { return QVToolbox::urlEncoded(text()); }
    std::string urlAllEncoded() const { return QVToolbox::urlAllEncoded(text()); }

    // Validation and regular expressions ------------------------------------------------
    bool isValidEmail() const { return QVToolbox::isValidEmail(text()); }
    bool isValidMobile() const { return QVToolbox::isValidMobile(text()); }
    bool isValidIDCardNumber() const { return QVToolbox::isValidIDCardNumber(text()); }
    bool isValidIDCardNumStrict() const { return QVToolbox::isValidIDCardNumStrict(text()); }
    bool isValidNickName() const { return QVToolbox::isValidNickName(text()); }
    bool isChinese() const { return QVToolbox::isChinese(text()); }
    bool containsChinese() const { return QVToolbox::containsChinese(text()); }
    bool isValidNumberValue() const { return QVToolbox::isValidNumberValue(text()); }
    bool isValidNumberAndDecimalPoint() const { return QVToolbox::isValidNumberAndDecimalPoint(text()); }
    bool isValidNumber() const { return QVToolbox::isValidNumber(text()); }
    bool isDecimalDigits() const { return QVToolbox::isDecimalDigits(text()); }
    bool isLetters() const { return QVToolbox::isLetters(text()); }
    bool isBlank() const { return QVToolbox::isBlank(text()); }
    bool isPureInt() const { return QVToolbox::isPureInt(text()); }
    bool isPureFloat() const { return QVToolbox::isPureFloat(text()); }
    bool containsEmoji() const { return QVToolbox::containsEmoji(text()); }
    bool isNineKeyBoard() const { return QVToolbox::isNineKeyBoard(text()); }
    bool isVideoUrl() const { return QVToolbox::isVideoUrl(text()); }
    bool isValidFileUrl() const { return QVToolbox::isValidFileUrl(text()); }
    bool verifyUrl() const { return QVToolbox::verifyUrl(text()); }
    std::string pregReplace(std::string_view pattern, std::string_view with,
                            platform::NSRegularExpressionOptions options = platform::NSRegularExpressionOptions::none) const {
        return QVToolbox::pregReplace(text(), pattern, with, options);
    }
    std::string deleteEmoji() const { return QVToolbox::deleteEmoji(text()); }
    std::vector<std::string> matchesMiddleContentOfCharacters(std::string_view leftChar, std::string_view rightChar) const {
        return QVToolbox::matchesMiddleContentOfCharacters(text(), leftChar, rightChar);
    }
    std::optional<std::vector<std::string>> getUrls() const { return QVToolbox::getUrls(text()); }

    // Trimming, masking and slicing -------------------------------------------------------
    // A text index is a byte offset into the UTF-8 text.
    std::size_t validIndex(long original) const { return QVToolbox::validIndex(text(), original); }
    // sub({.to = 3}), sub({.from = 4}), sub({.start = 2, .length = -1}).
    std::string sub(SubTo to) const { return QVToolbox::sub(text(), to); }
    std::string sub(SubFrom from) const { return QVToolbox::sub(text(), from); }
    std::string sub(SubStartLength range) const { return QVToolbox::sub(text(), range); }
    std::string slice(IntRange range) const { return QVToolbox::slice(text(), range); }
    std::string indexString(long index) const { return QVToolbox::indexString(text(), index); }
    std::string truncateString(long n) const { return QVToolbox::truncateString(text(), n); }
    std::string insertString(std::string_view content, long locat) const { return QVToolbox::insertString(text(), content, locat); }
    std::vector<std::string> separatedByString(std::string_view with) const { return QVToolbox::separatedByString(text(), with); }
    std::vector<std::string> toArray() const { return QVToolbox::toArray(text()); }
    long length() const { return QVToolbox::length(text()); }
    long countOfChars() const { return QVToolbox::countOfChars(text()); }
    std::string removeBeginEndAllSapcefeed() const { return QVToolbox::removeBeginEndAllSapcefeed(text()); }
    std::string removeBeginEndAllLinefeed() const { return QVToolbox::removeBeginEndAllLinefeed(text()); }
    std::string removeBeginEndAllSapceAndLinefeed() const { return QVToolbox::removeBeginEndAllSapceAndLinefeed(text()); }
    std::string removeAllSapce() const { return QVToolbox::removeAllSapce(text()); }
    std::string removeAllLinefeed() const { return QVToolbox::removeAllLinefeed(text()); }
    std::string removeAllLineAndSapcefeed() const { return QVToolbox::removeAllLineAndSapcefeed(text()); }
    std::string removeCharacter(std::string_view characterString) const { return QVToolbox::removeCharacter(text(), characterString); }
    std::string removeSomeStringUseSomeString(std::string_view removeString, std::string_view replacingString) const {
        return QVToolbox::removeSomeStringUseSomeString(text(), removeString, replacingString);
    }
    std::string replacingCharacters(platform::NSRange range, std::string_view replacingString) const {
        return QVToolbox::replacingCharacters(text(), range, replacingString);
    }
    std::string hide12BitsPhone(std::string_view combine) const { return QVToolbox::hide12BitsPhone(text(), combine); }
    std::string hidePhone(std::string_view combine, long digitsBefore, long digitsAfter) const {
        return QVToolbox::hidePhone(text(), combine, digitsBefore, digitsAfter);
    }
    std::string hideEmail(std::string_view combine = "*", long digitsBefore = 1, long digitsAfter = 1) const {
        return QVToolbox::hideEmail(text(), combine, digitsBefore, digitsAfter);
    }
    bool contains(std::string_view find) const { return QVToolbox::contains(text(), find); }
    bool containsIgnoringCase(std::string_view find) const { return QVToolbox::containsIgnoringCase(text(), find); }
    bool isHasPrefix(std::string_view prefix) const { return QVToolbox::isHasPrefix(text(), prefix); }
    bool isHasSuffix(std::string_view suffix) const { return QVToolbox::isHasSuffix(text(), suffix); }
    long positionFirst(std::string_view of) const { return QVToolbox::positionFirst(text(), of); }
    long positionLast(std::string_view of) const { return QVToolbox::positionLast(text(), of); }
    std::optional<TextRange> range(std::string_view of) const { return QVToolbox::range(text(), of); }
    std::vector<platform::NSRange> nsRange(std::string_view of) const { return QVToolbox::nsRange(text(), of); }
    std::string toPinyin(bool keepTone) const { return QVToolbox::toPinyin(text(), keepTone); }
    std::string pinyinInitials(bool upper) const { return QVToolbox::pinyinInitials(text(), upper); }
    static std::optional<std::string> stringWithUUID() { return QVToolbox::stringWithUUID(); }
    void copy() const { copyToPasteboard(text()); }

private:
    std::string_view text() const { return detail::baseText(static_cast<const W&>(*this)); }
};

// Members of the exact native string.
template <class W>
struct TextMembers<W, std::string> {
    std::string unicodeEncode() const { return QVToolbox::unicodeEncode(text()); }
    std::string unicodeDecode() const { return QVToolbox::unicodeDecode(text()); }
    std::string toHtmlEncodedString() const { return QVToolbox::toHtmlEncodedString(text()); }
    std::optional<std::string> htmlEncodedStringToString() const { return QVToolbox::htmlEncodedStringToString(text()); }
    // 1, 0 or -1 against the application's version.
    int compare() const { return compareVersion(text()); }
    bool bigVersion() const { return compare() == 1; }
    bool bigEVersion() const { return compare() != -1; }
    bool smallEVersion() const { return compare() != 1; }

private:
    std::string_view text() const { return static_cast<const W&>(*this).base; }
};

template <class W>
struct TextMembers<W, platform::Data> {
    std::optional<platform::Data> encodeToData() const { return QVToolbox::encodeToData(data()); }
    std::optional<platform::Data> decodeToDada() const { return QVToolbox::decodeToDada(data()); }
    std::vector<std::uint8_t> bytes() const { return QVToolbox::bytes(data()); }

private:
    const platform::Data& data() const { return static_cast<const W&>(*this).base; }
};

namespace detail {

// The seed's Int members, for int and long.
template <class W, class I>
struct IntTextMembers {
    std::string intToString() const { return std::to_string(v()); }
    double intToDouble() const { return static_cast<double>(v()); }
    float intToFloat() const { return static_cast<float>(v()); }
    double intToCGFloat() const { return static_cast<double>(v()); }
    std::int64_t intToInt64() const { return static_cast<std::int64_t>(v()); }
    // A negative value gives 0 (it has no unsigned counterpart).
    unsigned long intToUInt() const { return v() < 0 ? 0ul : static_cast<unsigned long>(v()); }
    std::optional<IntRange> intToCountableRange() const {
        if (v() < 1) return std::nullopt;
        return IntRange{0, static_cast<long>(v())};
    }
    bool isEven() const { return v() % 2 == 0; }
    static long random(IntRange within) { return randomWithin(within); }
    std::string toTenThousandString(int scale) const { return QVToolbox::toTenThousandString(static_cast<long>(v()), scale); }

private:
    I v() const { return static_cast<const W&>(*this).base; }
};

template <class W>
struct Int64TextMembers {
    long int64ToInt() const { return static_cast<long>(v()); }
    float int64ToFloat() const { return static_cast<float>(v()); }
    double int64ToDouble() const { return static_cast<double>(v()); }
    double int64ToCGFloat() const { return static_cast<double>(v()); }
    std::string int64ToString() const { return std::to_string(v()); }
    platform::NSNumber int64ToNumber() const { return platform::NSNumber(static_cast<long>(v())); }
    std::int64_t int64ToInt64() const { return v(); }

private:
    std::int64_t v() const { return static_cast<const W&>(*this).base; }
};

template <class W, class U>
struct UIntTextMembers {
    // Values beyond long's range give its maximum.
    long uintToInt() const {
        const auto u = static_cast<unsigned long>(static_cast<const W&>(*this).base);
        return u > static_cast<unsigned long>(LONG_MAX) ? LONG_MAX : static_cast<long>(u);
    }
};

// The seed's Double, Float and CGFloat members.
template <class W, class F>
struct FloatingTextMembers {
    long int_() const { return saturatingInt(static_cast<double>(v())); }
    std::int64_t int64() const { return saturatingInt(static_cast<double>(v())); }
    float float_() const { return static_cast<float>(v()); }
    double double_() const { return static_cast<double>(v()); }
    double cgFloat() const { return static_cast<double>(v()); }
    platform::NSNumber number() const { return platform::NSNumber(static_cast<double>(v())); }
    std::string string() const { return shortestText(v()); }
    F roundTo(int places) const { return QVToolbox::roundTo(v(), places); }
    // The decimal rounding(value:scale:) of the value, as single precision; for double
    // (CGFloat) that single-precision value's shortest text read back as a double.
    F rounding(short scale) const {
        const float f = static_cast<float>(QVToolbox::rounding(platform::Any(static_cast<double>(v())), scale).doubleValue());
        if constexpr (std::is_same_v<F, float>) {
            return f;
        } else {
            const auto back = platform::NSDecimalNumber(shortestText(f));
            return back.isNaN() ? 0.0 : back.doubleValue();
        }
    }

protected:
    F v() const { return static_cast<const W&>(*this).base; }
};

}  // namespace detail

template <class W>
struct TextMembers<W, int> : detail::IntTextMembers<W, int> {};

template <class W>
struct TextMembers<W, long> : detail::IntTextMembers<W, long>, detail::Int64TextMembers<W> {};

template <class W>
struct TextMembers<W, unsigned long> : detail::UIntTextMembers<W, unsigned long> {};
template <class W>
struct TextMembers<W, unsigned> : detail::UIntTextMembers<W, unsigned> {};

template <class W>
struct TextMembers<W, bool> {
    long boolToInt() const { return static_cast<const W&>(*this).base ? 1 : 0; }
};

template <class W>
struct TextMembers<W, char32_t> {
    std::string charToString() const {
        const char32_t c = static_cast<const W&>(*this).base;
        return platform::utf32ToUtf8(std::u32string_view(&c, 1));
    }
    bool isEmoji() const { return QVToolbox::isEmoji(static_cast<const W&>(*this).base); }
    // The character's digit value; absent unless it is an ASCII digit.
    std::optional<long> charToInt() const {
        const char32_t c = static_cast<const W&>(*this).base;
        if (c < U'0' || c > U'9') return std::nullopt;
        return static_cast<long>(c - U'0');
    }
};

template <class W>
struct TextMembers<W, double> : detail::FloatingTextMembers<W, double> {
    long lroundToInt() const { return QVToolbox::lroundToInt(this->v()); }
    double degreesToRadians() const { return this->v() * std::numbers::pi / 180.0; }
    double radiansToDegrees() const { return this->v() * 180.0 / std::numbers::pi; }
};

template <class W>
struct TextMembers<W, float> : detail::FloatingTextMembers<W, float> {
    long lroundfToInt() const { return QVToolbox::lroundToInt(static_cast<double>(this->v())); }
};

template <class W>
struct TextMembers<W, platform::NSRange> {
    std::optional<TextRange> toRange(std::string_view string) const {
        return QVToolbox::toRange(static_cast<const W&>(*this).base, string);
    }
};

template <class W>
struct TextMembers<W, platform::URL> {
    bool verifyUrl() const { return QVToolbox::verifyUrl(static_cast<const W&>(*this).base.absoluteString()); }
};

// Static members of the decimal-number handler's wrapper.
template <class W>
struct TextMembers<W, platform::NSDecimalNumberHandler> {
    using DecimalNumberHandlerType = QVToolbox::DecimalNumberHandlerType;
    static platform::NSDecimalNumber decimalNumberHandlerValue(DecimalNumberHandlerType type, const platform::Any& value1,
                                                               const platform::Any& value2,
                                                               platform::NSRoundingMode roundingMode, short scale,
                                                               bool raiseOnExactness, bool raiseOnOverflow,
                                                               bool raiseOnUnderflow, bool raiseOnDivideByZero) {
        return QVToolbox::decimalNumberHandlerValue(type, value1, value2, roundingMode, scale, raiseOnExactness,
                                                    raiseOnOverflow, raiseOnUnderflow, raiseOnDivideByZero);
    }
    static platform::NSDecimalNumber calculation(DecimalNumberHandlerType type, const platform::Any& value1,
                                                 const platform::Any& value2) {
        return QVToolbox::calculation(type, value1, value2);
    }
    static platform::NSDecimalNumber rounding(const platform::Any& value, short scale) { return QVToolbox::rounding(value, scale); }
    static long getFloorIntValue(const platform::Any& value1, const platform::Any& value2) {
        return QVToolbox::getFloorIntValue(value1, value2);
    }
    static bool isDivisible(const platform::Any& value1, const platform::Any& value2) {
        return QVToolbox::isDivisible(value1, value2);
    }
};

// Static members of the number formatter's wrapper.
template <class W>
struct TextMembers<W, platform::NSNumberFormatter> {
    using Style = platform::NSNumberFormatterStyle;
    static std::optional<std::string> numberFormatting(float value, Style number) {
        return QVToolbox::numberFormatting(static_cast<double>(value), number);
    }
    static std::optional<std::string> numberFormatting(double value, Style number) {
        return QVToolbox::numberFormatting(value, number);
    }
    static std::optional<std::string> stringFormattingNumber(std::string_view value, Style number) {
        return QVToolbox::stringFormattingNumber(value, number);
    }
    static std::optional<std::string> customFormatter(std::string_view value, const platform::NSNumberFormatter& numberFormatter) {
        return QVToolbox::customFormatter(value, numberFormatter);
    }
    static std::optional<std::string> setGroupingSeparatorAndSize(std::string_view value, std::string_view separator,
                                                                  int groupingSize, Style number) {
        return QVToolbox::setGroupingSeparatorAndSize(value, separator, groupingSize, number);
    }
    static std::optional<std::string> setFormatWidthPaddingCharacterAndPosition(
        std::string_view value, int formatWidth, std::string_view paddingCharacter,
        platform::NSNumberFormatterPadPosition paddingPosition, Style number) {
        return QVToolbox::setFormatWidthPaddingCharacterAndPosition(value, formatWidth, paddingCharacter, paddingPosition, number);
    }
    static std::optional<std::string> setMaximumIntegerDigitsAndMinimum(std::string_view value, int maximumIntegerDigits,
                                                                        int minimumIntegerDigits, Style number) {
        return QVToolbox::setMaximumIntegerDigitsAndMinimum(value, maximumIntegerDigits, minimumIntegerDigits, number);
    }
    static std::optional<std::string> setMaximumIntegerDigitsAndMinimum(std::string_view value, std::string_view positivePrefix,
                                                                        std::string_view positiveSuffix, Style number) {
        return QVToolbox::setMaximumIntegerDigitsAndMinimum(value, positivePrefix, positiveSuffix, number);
    }
    static std::optional<std::string> setmMximumFractionDigitsAndMinimum(std::string_view value, int maximumFractionDigits,
                                                                         int minimumFractionDigits) {
        return QVToolbox::setmMximumFractionDigitsAndMinimum(value, maximumFractionDigits, minimumFractionDigits);
    }
    static std::optional<std::string> setPositiveFormat(std::string_view value, std::string_view positiveFormat, Style number) {
        return QVToolbox::setPositiveFormat(value, positiveFormat, number);
    }
};

template <class W>
struct TextMembers<W, platform::NSNumber> {
    std::optional<std::string> numberFormatter(platform::NSNumberFormatterRoundingMode with, int minDigits, int maxDigits) const {
        return QVToolbox::numberFormatter(static_cast<const W&>(*this).base, with, minDigits, maxDigits);
    }
    std::optional<std::string> numberFormatter() const { return QVToolbox::numberFormatter(static_cast<const W&>(*this).base); }
};

}  // namespace QVToolbox
