// FrameDelay: the two timing rules for the frames of a GIF, each a pure function over the
// frame's property dictionary (what CGImageSourceCopyPropertiesAtIndex gives), so cases no
// real file has can be tested.
//
//   frameStoreDelay(props);          // {GIF}: {UnclampedDelayTime: 0.01, DelayTime: 0.1} -> 0.1
//   builderDelayMilliseconds(props); // same dictionary -> 10
//
// The frame store's rule (playback): the unclamped delay when it is not negative, else the
// clamped one; 1/15 s when neither is usable; 0.1 s for anything under 20 ms. The whole-GIF
// builders' rule: the unclamped delay, or the clamped one when the unclamped is exactly 0;
// 0.1 s without a usable value; no minimum, in whole milliseconds (rounded; 0 ms counts as 100).
//
// Thread rule: pure functions, callable from any thread.
#pragma once

#include <QVPlatform/base/Any.h>

#include <cstdint>

namespace QVToolbox {

// Seconds a frame store shows the frame whose properties are `properties` (null for a frame
// without properties). Only for a GIF of 2 frames or more; otherwise the store uses 0.
double frameStoreDelay(const platform::Any& properties);

// Whole milliseconds a whole-GIF builder gives the frame whose properties are `properties`;
// always at least 1.
std::int64_t builderDelayMilliseconds(const platform::Any& properties);

}  // namespace QVToolbox
