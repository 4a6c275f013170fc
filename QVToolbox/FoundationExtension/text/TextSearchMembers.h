// Searching texts as members (TextSearch.h holds the contracts):
//
//   hx(std::string("abcb")).positionLast("b");       // 3
//   hx(platform::NSRange{0, 2}).toRange("abc");       // the range of "ab"
//
// Thread rule: the wrappers are values; members are pure functions of their inputs.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/text/TextSearch.h>

#include <QVPlatform/base/NSRange.h>

#include <optional>
#include <string_view>
#include <vector>

namespace QVToolbox {

// The searches of TextSearch.h as members.
template <class W, class Base>
struct TextSearchMembers {};

template <class W>
struct TextSearchMembers<W, StringFamily> {
    bool contains(std::string_view find) const { return QVToolbox::contains(text(), find); }
    bool containsIgnoringCase(std::string_view find) const { return QVToolbox::containsIgnoringCase(text(), find); }
    bool isHasPrefix(std::string_view prefix) const { return QVToolbox::isHasPrefix(text(), prefix); }
    bool isHasSuffix(std::string_view suffix) const { return QVToolbox::isHasSuffix(text(), suffix); }
    long positionFirst(std::string_view of) const { return QVToolbox::positionFirst(text(), of); }
    long positionLast(std::string_view of) const { return QVToolbox::positionLast(text(), of); }
    std::optional<TextRange> range(std::string_view of) const { return QVToolbox::range(text(), of); }
    std::vector<platform::NSRange> nsRange(std::string_view of) const { return QVToolbox::nsRange(text(), of); }

private:
    std::string_view text() const { return textOf(static_cast<const W&>(*this).base); }
};

template <class W>
struct TextSearchMembers<W, platform::NSRange> {
    std::optional<TextRange> toRange(std::string_view string) const {
        return QVToolbox::toRange(static_cast<const W&>(*this).base, string);
    }
};

}  // namespace QVToolbox
