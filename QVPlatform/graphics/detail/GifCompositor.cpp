#include <QVPlatform/graphics/detail/GifCompositor.h>

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace platform::detail {

namespace {

// giflib reads through this callback; the position is set to a frame's offset before its
// descriptor is read, so no other frame's data is touched.
struct Reader {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

int readBytes(GifFileType* gif, GifByteType* into, int length) {
    auto* reader = static_cast<Reader*>(gif->UserData);
    if (length <= 0 || reader->position >= reader->bytes.size()) return 0;
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), reader->bytes.size() - reader->position);
    std::memcpy(into, reader->bytes.data() + reader->position, n);
    reader->position += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

// A colour table as RGBA words, with which entries paint: the transparent index and
// indexes past the table's end leave the canvas as it is.
struct Palette {
    std::array<std::array<std::uint8_t, 4>, 256> colours{};
    std::array<bool, 256> paints{};
};

Palette paletteOf(const ColorMapObject* map, const GifFrameRecord& frame) {
    Palette palette;
    if (!map || !map->Colors) return palette;
    const int count = std::clamp(map->ColorCount, 0, 256);
    for (int i = 0; i < count; ++i) {
        const GifColorType& c = map->Colors[i];
        palette.colours[i] = {c.Red, c.Green, c.Blue, 255};
        palette.paints[i] = true;
    }
    if (frame.transparentIndex) palette.paints[*frame.transparentIndex] = false;
    return palette;
}

// GIF89a Appendix E: interlaced rows come in four passes (every 8th row from 0, every 8th
// from 4, every 4th from 2, every 2nd from 1).
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) order.push_back(y);
        return order;
    }
    constexpr int starts[4] = {0, 4, 2, 1};
    constexpr int steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = starts[pass]; y < height; y += steps[pass]) order.push_back(y);
    }
    return order;
}

void paintRow(const std::vector<GifPixelType>& row, int visible, const Palette& palette, std::uint8_t* into) {
    for (int x = 0; x < visible; ++x) {
        const GifPixelType index = row[static_cast<std::size_t>(x)];
        if (palette.paints[index]) std::memcpy(into + 4 * static_cast<std::size_t>(x), palette.colours[index].data(), 4);
    }
}

void clearRect(Bitmap& canvas, const GifFrameRecord& frame) {
    const int right = std::min(canvas.width, frame.x + frame.width);
    const int bottom = std::min(canvas.height, frame.y + frame.height);
    if (frame.x >= right) return;
    for (int y = frame.y; y < bottom; ++y) {
        std::memset(canvas.pixel(frame.x, y), 0, 4 * static_cast<std::size_t>(right - frame.x));
    }
}

// Draws frame `frame` of `bytes` onto `canvas` (the logical screen); false when none of its
// rows decode.
bool drawGifFrame(std::span<const std::uint8_t> bytes, const GifFrameRecord& frame, Bitmap& canvas) {
    if (frame.width == 0 || frame.height == 0) return true;
    Reader reader{bytes, 0};
    int error = 0;
    GifHandle gif(DGifOpen(&reader, readBytes, &error));
    if (!gif) return false;
    reader.position = frame.offset;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR || type != IMAGE_DESC_RECORD_TYPE) return false;
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return false;
    const Palette palette = paletteOf(gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap, frame);

    // The part of the frame inside the screen: a rectangle reaching past it is clipped.
    const int visible = std::clamp(canvas.width - frame.x, 0, frame.width);
    std::vector<GifPixelType> row(static_cast<std::size_t>(frame.width));
    int rowsRead = 0;
    for (int y : rowOrder(frame.height, frame.interlaced)) {
        if (DGifGetLine(gif.get(), row.data(), frame.width) == GIF_ERROR) break;
        ++rowsRead;
        const int screenY = frame.y + y;
        if (visible > 0 && screenY < canvas.height) paintRow(row, visible, palette, canvas.pixel(frame.x, screenY));
    }
    return rowsRead > 0;
}

}  // namespace

void GifCompositor::restart(const GifScreen& screen) {
    canvas_ = Bitmap::make(screen.width, screen.height);  // transparent black, as browsers start
    saved_ = Bitmap();
    current_.reset();
    currentDecoded_ = false;
}

// What the frame on show leaves for the next one (GIF89a 23. Disposal Method).
void GifCompositor::dispose(const GifFrameRecord& shown) {
    switch (shown.disposal) {
        case GifDisposal::background:
            // Browsers clear to transparent rather than to the background colour.
            clearRect(canvas_, shown);
            break;
        case GifDisposal::previous:
            canvas_ = std::move(saved_);
            saved_ = Bitmap();
            break;
        default:
            break;  // unspecified, none, and the reserved values 4-7 leave the frame in place
    }
}

std::optional<Bitmap> GifCompositor::frame(std::span<const std::uint8_t> bytes, const GifScreen& screen,
                                           const std::vector<GifFrameRecord>& frames, std::size_t index) {
    if (index >= frames.size()) return std::nullopt;
    if (!current_ || *current_ > index || canvas_.width != screen.width || canvas_.height != screen.height) {
        restart(screen);
    }
    while (!current_ || *current_ < index) {
        const std::size_t next = current_ ? *current_ + 1 : 0;
        if (current_) dispose(frames[*current_]);
        if (frames[next].disposal == GifDisposal::previous) saved_ = canvas_;
        currentDecoded_ = drawGifFrame(bytes, frames[next], canvas_);
        current_ = next;
    }
    if (!currentDecoded_) return std::nullopt;
    return canvas_;
}

}  // namespace platform::detail
