// Version texts compared with the application's own version (the main bundle's
// "CFBundleShortVersionString"), piece by piece as numbers.
//
//   // with the application at 1.2.0:
//   compareVersion("1.10");     // 1  (10 > 2)
//   compareVersion("1.2");      // 0  (missing pieces count as 0)
//   compareVersion("");         // -1
//
// Pure functions of the text and the bundle; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace QVToolbox {

// The main bundle's short version, or the empty text when it is missing or not a text.
std::string applicationVersion();
// 1, 0 or -1: `text` against `other` (the application's version by default).
int compareVersion(std::string_view text, std::string_view other);
int compareVersion(std::string_view text);

}  // namespace QVToolbox
