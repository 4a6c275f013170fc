// toClock: a number of seconds as clock text.
//
//   toClock(3725, false);  // "01:02:05"
//   toClock(125, true);    // "02:05"
//   toClock(59.9, true);   // "00:59" (truncated)
//
// Seconds are truncated toward zero; NaN counts as 0 and values beyond the int64 range are
// clamped to it. Pure function.
#pragma once

#include <string>

namespace QVToolbox {

std::string toClock(double seconds, bool ignoreZeroHour);

}  // namespace QVToolbox
