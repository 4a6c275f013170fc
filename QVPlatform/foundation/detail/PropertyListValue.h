// The property-list value rule shared by PropertyList and NSUserDefaults. Not API.
#pragma once

#include <QVPlatform/base/Any.h>

namespace platform::detail {

// Deepest nesting of arrays and dictionaries that property lists read or write.
inline constexpr int kPropertyListMaxDepth = 200;

// True when PropertyList::writeXML can write `value`: no null, no platform object, texts and
// keys valid UTF-8 holding only characters XML 1.0 allows, nesting within the limit.
bool isPropertyListValue(const Any& value);

}  // namespace platform::detail
