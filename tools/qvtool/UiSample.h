// The view system's sample scene, drawn by `qvtool ui sample` and `qvtool demo`.
#pragma once

#include <QVPlatform/base/Data.h>

#include <optional>

namespace qvtool {

// The scene as PNG bytes at the screen profile's pixel size: a label in Chinese and English,
// a truncated line, an image in each content mode, a rounded shadowed panel, an activity
// indicator and a translucent bar. Absent when rendering fails.
std::optional<platform::Data> renderUiSample();

// An empty collection view under a title bar with the empty-state overlay: an icon, the
// default title "什么都没有哦～", a description and a reload button, as PNG bytes at the
// screen profile's pixel size. Absent when rendering fails.
std::optional<platform::Data> renderEmptyStateSample();

}  // namespace qvtool
