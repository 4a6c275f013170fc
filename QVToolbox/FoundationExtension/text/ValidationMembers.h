// Text checks as members (Validation.h holds the contracts):
//
//   hx(std::string("a@b.cn")).isValidEmail();      // true
//   hx(std::string("13800138000")).isValidMobile(); // true
//   hx(U'😀').isEmoji();                            // true
//
// Thread rule: the wrappers are values; members are pure functions of their inputs.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/text/Validation.h>

#include <QVPlatform/base/URL.h>

#include <string_view>

namespace QVToolbox {

// The checks of Validation.h as members.
template <class W, class Base>
struct ValidationMembers {};

template <class W>
struct ValidationMembers<W, StringFamily> {
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

private:
    std::string_view text() const { return textOf(static_cast<const W&>(*this).base); }
};

template <class W>
struct ValidationMembers<W, char32_t> {
    bool isEmoji() const { return QVToolbox::isEmoji(static_cast<const W&>(*this).base); }
};

template <class W>
struct ValidationMembers<W, platform::URL> {
    bool verifyUrl() const { return QVToolbox::verifyUrl(static_cast<const W&>(*this).base.absoluteString()); }
};

}  // namespace QVToolbox
