// Comparing a version text with the application's version (Version.h holds the contract):
//
//   hx(std::string("1.10")).compare();     // 1 when the application is at 1.2
//   hx(std::string("1.2")).bigEVersion();  // true
//
// Thread rule: members read the main bundle's version; any thread.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/text/Version.h>

#include <string_view>

namespace QVToolbox {

// Version comparison against the application, on the native string.
template <class W, class Base>
struct VersionMembers {};

template <class W>
struct VersionMembers<W, std::string> {
    // 1, 0 or -1 against the application's version.
    int compare() const { return compareVersion(text()); }
    bool bigVersion() const { return compare() == 1; }
    bool bigEVersion() const { return compare() != -1; }
    bool smallEVersion() const { return compare() != 1; }

private:
    std::string_view text() const { return static_cast<const W&>(*this).base; }
};

}  // namespace QVToolbox
