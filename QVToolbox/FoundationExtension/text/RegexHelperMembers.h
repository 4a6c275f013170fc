// Pattern replacement and extraction as members of the string family (RegexHelper.h holds the
// contracts):
//
//   hx(std::string("a1b2")).pregReplace("[0-9]", "");   // "ab"
//   hx(std::string("see www.a.cn")).getUrls();          // {"www.a.cn"}
//
// Thread rule: the wrappers are values; members are pure functions of their inputs.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/text/RegexHelper.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

// The pattern helpers of RegexHelper.h as members of the string family.
template <class W, class Base>
struct RegexHelperMembers {};

template <class W>
struct RegexHelperMembers<W, StringFamily> {
    std::string pregReplace(std::string_view pattern, std::string_view with,
                            platform::NSRegularExpressionOptions options = platform::NSRegularExpressionOptions::none) const {
        return QVToolbox::pregReplace(text(), pattern, with, options);
    }
    std::string deleteEmoji() const { return QVToolbox::deleteEmoji(text()); }
    std::vector<std::string> matchesMiddleContentOfCharacters(std::string_view leftChar, std::string_view rightChar) const {
        return QVToolbox::matchesMiddleContentOfCharacters(text(), leftChar, rightChar);
    }
    std::optional<std::vector<std::string>> getUrls() const { return QVToolbox::getUrls(text()); }


private:
    std::string_view text() const { return textOf(static_cast<const W&>(*this).base); }
};

}  // namespace QVToolbox
