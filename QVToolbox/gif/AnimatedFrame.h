// AnimatedFrame: one frame of a playing animation: its image, when loaded, and the seconds it
// stays on screen.
//
//   AnimatedFrame frame{nullptr, 0.1};          // a placeholder: timing known, image not loaded
//   auto loaded = frame.withImage(decoded);     // same duration, new image
//   loaded.isPlaceholder();                     // false
//
// A plain value; replacing a frame's image always builds a new record with the same duration.
// Thread rule: a value; share copies freely (the image is immutable).
#pragma once

#include <QVPlatform/ui/UIImage.h>

#include <memory>

namespace QVToolbox {

struct AnimatedFrame {
    std::shared_ptr<platform::UIImage> image;  // null: not loaded, or evicted
    double duration = 0;                       // seconds on screen

    bool isPlaceholder() const { return image == nullptr; }
    // The same frame with `newImage` (null makes it a placeholder).
    AnimatedFrame withImage(std::shared_ptr<platform::UIImage> newImage) const { return {std::move(newImage), duration}; }
};

}  // namespace QVToolbox
