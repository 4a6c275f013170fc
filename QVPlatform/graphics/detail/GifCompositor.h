// The decode cursor of a GIF image source: composites frames onto the logical screen as a
// browser shows them (disposal methods, transparency, local and global colour tables,
// interlacing). It keeps the last canvas and, while a frame with "previous" disposal is
// showing, the canvas from before it; so frames asked for in order cost one frame's decode
// each, and going back replays from frame 0. LZW decoding is giflib's, one frame at a time
// through its read callback positioned at the frame's recorded offset. Not API; not
// synchronised (the image source guards it).
#pragma once

#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/graphics/detail/GifStructure.h>

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace platform::detail {

class GifCompositor {
public:
    // The canvas after frame `index` of `frames`; absent when that frame's image data does
    // not decode at all (a frame that breaks part way keeps the rows it has, as browsers
    // show it; a frame that fails draws nothing for the frames after it).
    std::optional<Bitmap> frame(std::span<const std::uint8_t> bytes, const GifScreen& screen,
                                const std::vector<GifFrameRecord>& frames, std::size_t index);
    // Forgets the canvases (after the bytes changed in a way that invalidates them).
    void reset() { *this = GifCompositor(); }

private:
    void restart(const GifScreen& screen);
    void dispose(const GifFrameRecord& shown);

    Bitmap canvas_;
    Bitmap saved_;                  // the canvas before the current frame, for "previous" disposal
    std::optional<std::size_t> current_;  // the frame canvas_ shows
    bool currentDecoded_ = false;
};

}  // namespace platform::detail
