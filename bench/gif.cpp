// The GIF image source beside giflib alone. "AllFrames": decoding and compositing every frame
// of a large animated GIF (640 x 480, 60 frames of moving rectangles with transparency over a
// full first frame); the peer reads the file once with giflib's low-level calls and composites
// with the code below. "FirstFrame": the first frame of a 1,000-frame file, beside giflib
// reading only that frame; "FirstFrameOf10" is the same on a 10-frame file, to show the cost
// does not grow with the frame count.
#include "Compare.h"

#include <QVPlatform/graphics/ImageSource.h>

#include <gif_lib.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

int writeBytes(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + length);
    return length;
}

// An animated GIF written by giflib: a full first frame, then `frames - 1` rectangles of
// `rect` pixels a side moving across, with a transparent stripe pattern inside.
Bytes makeAnimation(int width, int height, int frames, int rect) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeBytes, &error);
    std::array<GifColorType, 256> colours{};
    for (int i = 0; i < 256; ++i) {
        colours[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>((i * 7) & 255), static_cast<GifByteType>(255 - i)};
    }
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    const GifByteType netscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    const GifByteType loop[] = {1, 0, 0};
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, sizeof netscape, netscape);
    EGifPutExtensionBlock(gif, sizeof loop, loop);
    EGifPutExtensionTrailer(gif);
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    for (int f = 0; f < frames; ++f) {
        GraphicsControlBlock control{f % 3 == 2 ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT, false, 4, f == 0 ? NO_TRANSPARENT_COLOR : 0};
        GifByteType block[4];
        EGifGCBToExtension(&control, block);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
        const int w = f == 0 ? width : rect, h = f == 0 ? height : rect;
        const int x = f == 0 ? 0 : (f * 37) % (width - rect), y = f == 0 ? 0 : (f * 23) % (height - rect);
        EGifPutImageDesc(gif, x, y, w, h, false, nullptr);
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                const bool hole = f > 0 && ((c / 8 + r / 8) % 5 == 0);
                row[static_cast<std::size_t>(c)] = hole ? 0 : static_cast<GifPixelType>(1 + ((c / 4 + r / 3 + f * 5) % 200));
            }
            EGifPutLine(gif, row.data(), w);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

struct Reader {
    const Bytes* bytes;
    std::size_t at = 0;
};

int readBytes(GifFileType* gif, GifByteType* into, int length) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), r->bytes->size() - r->at);
    std::memcpy(into, r->bytes->data() + r->at, n);
    r->at += n;
    return static_cast<int>(n);
}

// giflib alone: reads every record in order, decodes each image row by row and composites
// it (transparency; disposal "background" clears the rectangle before the next frame).
// `maxFrames` stops early. Returns a checksum of the canvases so nothing is optimised away.
std::uint64_t giflibComposite(const Bytes& bytes, int maxFrames) {
    Reader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readBytes, &error);
    const int width = gif->SWidth, height = gif->SHeight;
    std::vector<std::uint8_t> canvas(static_cast<std::size_t>(width) * height * 4);
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    GraphicsControlBlock control{};
    int frames = 0;
    std::uint64_t sum = 0;
    struct Rect { int x, y, w, h; bool clear; } pending{0, 0, 0, 0, false};
    GifRecordType type;
    while (frames < maxFrames && DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            DGifGetExtension(gif, &code, &ext);
            if (code == GRAPHICS_EXT_FUNC_CODE && ext) DGifExtensionToGCB(ext[0], ext + 1, &control);
            while (ext) DGifGetExtensionNext(gif, &ext);
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) == GIF_ERROR) break;
        if (pending.clear) {
            for (int y = pending.y; y < pending.y + pending.h; ++y) std::memset(&canvas[(static_cast<std::size_t>(y) * width + pending.x) * 4], 0, 4 * static_cast<std::size_t>(pending.w));
        }
        const GifImageDesc& d = gif->Image;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        std::array<std::array<std::uint8_t, 4>, 256> palette{};
        std::array<bool, 256> paints{};
        for (int i = 0; i < map->ColorCount; ++i) {
            palette[i] = {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue, 255};
            paints[i] = i != control.TransparentColor;
        }
        for (int y = 0; y < d.Height; ++y) {
            DGifGetLine(gif, row.data(), d.Width);
            std::uint8_t* out = &canvas[(static_cast<std::size_t>(d.Top + y) * width + d.Left) * 4];
            for (int x = 0; x < d.Width; ++x) {
                if (paints[row[x]]) std::memcpy(out + 4 * x, palette[row[x]].data(), 4);
            }
        }
        pending = {d.Left, d.Top, d.Width, d.Height, control.DisposalMode == DISPOSE_BACKGROUND};
        control = GraphicsControlBlock{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        ++frames;
        sum += canvas[(static_cast<std::size_t>(height / 2) * width + width / 2) * 4];
        GifFreeSavedImages(gif);
        gif->ImageCount = 0;
    }
    DGifCloseFile(gif, &error);
    return sum + static_cast<std::uint64_t>(frames);
}

std::uint64_t sourceComposite(platform::Data bytes, std::size_t maxFrames) {
    const auto source = platform::CGImageSourceCreateWithData(std::move(bytes), {{platform::kCGImageSourceShouldCache, false}});
    const std::size_t count = std::min(maxFrames, platform::CGImageSourceGetCount(*source));
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto frame = platform::CGImageSourceCreateImageAtIndex(*source, i);
        sum += frame->pixel(frame->width / 2, frame->height / 2)[0];
    }
    return sum + count;
}

const Bytes& animation() {
    static const Bytes bytes = makeAnimation(640, 480, 60, 300);
    return bytes;
}
const Bytes& thousandFrames() {
    static const Bytes bytes = makeAnimation(320, 240, 1000, 64);
    return bytes;
}
const Bytes& tenFrames() {
    static const Bytes bytes = makeAnimation(320, 240, 10, 64);
    return bytes;
}

// The source keeps its own bytes: each run gets a fresh copy, made outside the timing, as a
// caller hands over the bytes it has read.
void runOurs(benchmark::State& state, const Bytes& bytes, std::size_t frames) {
    for (auto _ : state) {
        state.PauseTiming();
        platform::Data copy(bytes);
        state.ResumeTiming();
        benchmark::DoNotOptimize(sourceComposite(std::move(copy), frames));
    }
}

void AllFrames_ours(benchmark::State& state) { runOurs(state, animation(), 1000); }
void AllFrames_peer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(giflibComposite(animation(), 1000));
}
void FirstFrame_ours(benchmark::State& state) { runOurs(state, thousandFrames(), 1); }
void FirstFrame_peer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(giflibComposite(thousandFrames(), 1));
}
void FirstFrameOf10_ours(benchmark::State& state) { runOurs(state, tenFrames(), 1); }
void FirstFrameOf10_peer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(giflibComposite(tenFrames(), 1));
}

}  // namespace

BENCHMARK(AllFrames_ours)->Name("AllFrames/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(AllFrames_peer)->Name("AllFrames/peer")->Unit(benchmark::kMillisecond);
BENCHMARK(FirstFrame_ours)->Name("FirstFrameOf1000/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstFrame_peer)->Name("FirstFrameOf1000/peer")->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstFrameOf10_ours)->Name("FirstFrameOf10/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstFrameOf10_peer)->Name("FirstFrameOf10/peer")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
