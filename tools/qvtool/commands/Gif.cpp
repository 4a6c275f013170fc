// `qvtool gif`: what the image source reads from a GIF: its frames, their delays and the loop
// count; every composited frame as a PNG; all frames side by side in one picture; playback by
// a GIF image view on the manual clock.
#include "../Cli.h"
#include "../Input.h"
#include "../Replay.h"

#include <QVToolbox/gif/FrameDelay.h>
#include <QVToolbox/gif/GIFImageView.h>

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/graphics/ImageSource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace qvtool {
namespace {

namespace fs = std::filesystem;
using namespace platform;

Data readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("cannot read " + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    return Data(text.data(), text.size());
}

CGImageSourceRef openSource(const std::string& path) {
    auto source = CGImageSourceCreateWithData(readFile(path), {{kCGImageSourceShouldCache, false}});
    if (!source) throw Failure(path + " is no readable GIF, PNG or JPEG");
    return source;
}

void writeFile(const fs::path& path, const Data& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.bytes()), static_cast<std::streamsize>(data.count()));
    if (!out.flush()) throw Failure("cannot write " + path.string());
}

std::string seconds(double value, int decimals = 2) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void defineInfo(CLI::App& group) {
    Verb verb(group, "info", "canvas size, loop count, frame count, each frame's delays and how the players time it");
    const auto& file = verb.argument("FILE", "a GIF (PNG and JPEG show one frame)");
    verb.run([&file] {
        const auto source = openSource(file);
        const Any container(CGImageSourceCopyProperties(*source));
        const Any& gif = container[kCGImagePropertyGIFDictionary];
        const std::size_t count = CGImageSourceGetCount(*source);
        const auto first = count ? CGImageSourceCopyPropertiesAtIndex(*source, 0) : std::nullopt;
        const Any firstProperties = first ? Any(*first) : Any();
        std::cout << "type: " << CGImageSourceGetType(*source).value_or("") << "\n";
        const bool isGif = !gif.isNull();
        std::cout << "canvas: "
                  << (isGif ? gif[kCGImagePropertyGIFCanvasPixelWidth] : firstProperties[kCGImagePropertyPixelWidth]).integerValue()
                  << " x "
                  << (isGif ? gif[kCGImagePropertyGIFCanvasPixelHeight] : firstProperties[kCGImagePropertyPixelHeight]).integerValue()
                  << "\n";
        const Any& loops = gif[kCGImagePropertyGIFLoopCount];
        std::cout << "loop count: "
                  << (loops.isNull() ? std::string("none (plays once)")
                                     : std::to_string(loops.integerValue()) + (loops.integerValue() == 0 ? " (forever)" : ""))
                  << "\n";
        std::cout << "frames: " << count << "\n";
        // Each frame also as the two players time it: a frame store (0 s unless a GIF of 2
        // frames or more; the loop counts each frame at most 1 s) and a whole-GIF image.
        const bool storeTimesFrames = UTTypeConformsTo(CGImageSourceGetType(*source).value_or(""), kUTTypeGIF) && count >= 2;
        double total = 0, storeTotal = 0;
        std::int64_t builderTotal = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const Any properties(*CGImageSourceCopyPropertiesAtIndex(*source, i));
            const Any& frame = properties[kCGImagePropertyGIFDictionary];
            const double store = storeTimesFrames ? QVToolbox::frameStoreDelay(properties) : 0;
            const std::int64_t builder = QVToolbox::builderDelayMilliseconds(properties);
            storeTotal += std::min(store, 1.0);
            builderTotal += builder;
            std::cout << "frame " << i << ": ";
            if (frame.isNull()) {
                std::cout << "no delay (no control extension)";
            } else {
                const double delay = frame[kCGImagePropertyGIFDelayTime].doubleValue();
                total += delay;
                std::cout << "delay " << seconds(delay) << " s (unclamped "
                          << seconds(frame[kCGImagePropertyGIFUnclampedDelayTime].doubleValue()) << " s)";
            }
            std::cout << ", store " << seconds(store, 3) << " s, builder " << builder << " ms\n";
        }
        std::cout << "loop duration: " << seconds(total) << " s (sum of the delays), store " << seconds(storeTotal, 3)
                  << " s, builder " << seconds(static_cast<double>(builderTotal) / 1000, 3) << " s\n";
        return 0;
    });
}

std::string frameName(std::size_t index, std::size_t count) {
    std::string digits = std::to_string(index);
    const std::size_t width = std::max<std::size_t>(3, std::to_string(count ? count - 1 : 0).size());
    return std::string(width - std::min(width, digits.size()), '0') + digits + ".png";
}

void defineFrames(CLI::App& group) {
    Verb verb(group, "frames", "every composited frame as an RGBA PNG: DIR/000.png, 001.png...");
    const auto& file = verb.argument("FILE", "a GIF");
    const auto& folder = verb.option("-o", "DIR", "the folder to write into (made when missing)", true);
    verb.run([&file, &folder] {
        const auto source = openSource(file);
        const std::size_t count = CGImageSourceGetCount(*source);
        std::error_code error;
        fs::create_directories(*folder, error);
        if (error) throw Failure("cannot make " + *folder + ": " + error.message());
        std::size_t written = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const auto frame = CGImageSourceCreateImageAtIndex(*source, i);
            const auto png = frame ? encodePNG(*frame) : std::nullopt;
            if (!png) continue;
            writeFile(fs::path(*folder) / frameName(i, count), *png);
            ++written;
        }
        if (written == 0) throw Failure(file + " has no frame that decodes");
        std::cout << written << " of " << count << " frames written to " << *folder << "\n";
        return 0;
    });
}

void defineStrip(CLI::App& group) {
    Verb verb(group, "strip", "every frame side by side in one PNG (in rows when too wide)");
    const auto& file = verb.argument("FILE", "a GIF");
    const auto& out = verb.option("-o", "OUT.png", "the picture to write", true);
    verb.run([&file, &out] {
        const auto source = openSource(file);
        const std::size_t count = CGImageSourceGetCount(*source);
        std::optional<Bitmap> first = count ? CGImageSourceCreateImageAtIndex(*source, 0) : std::nullopt;
        std::size_t firstDecoded = 0;
        while (!first && ++firstDecoded < count) first = CGImageSourceCreateImageAtIndex(*source, firstDecoded);
        if (!first) throw Failure(file + " has no frame that decodes");
        const int w = first->width, h = first->height;
        const std::size_t columns = std::clamp<std::size_t>(static_cast<std::size_t>(kMaxImageDimension / w), 1, count);
        const std::size_t rows = (count + columns - 1) / columns;
        if (rows * h > static_cast<std::size_t>(kMaxImageDimension) || columns * w * rows * h > kMaxImagePixels) {
            throw Failure("the frames of " + file + " are too many for one picture");
        }
        Bitmap strip = Bitmap::make(static_cast<int>(columns) * w, static_cast<int>(rows) * h);
        for (std::size_t i = 0; i < count; ++i) {
            const auto frame = i == firstDecoded ? first : CGImageSourceCreateImageAtIndex(*source, i);
            if (!frame) continue;  // left transparent
            const int left = static_cast<int>(i % columns) * w, top = static_cast<int>(i / columns) * h;
            for (int y = 0; y < h; ++y) std::copy_n(frame->pixel(0, y), 4 * static_cast<std::size_t>(w), strip.pixel(left, top + y));
        }
        const auto png = encodePNG(strip);
        if (!png) throw Failure("cannot encode the picture");
        writeFile(*out, *png);
        std::cout << count << " frames in " << columns << " x " << rows << " cells of " << w << " x " << h << " written to "
                  << *out << "\n";
        return 0;
    });
}

// A GIF image view that prints each frame change with its time on the manual clock.
class PrintingView : public QVToolbox::GIFImageView {
public:
    explicit PrintingView(std::uint64_t origin) : origin_(origin) {}

    void animatorHasNewFrame() override {
        print("frame " + std::to_string(animator()->frameStore()->currentFrameIndex()));
        GIFImageView::animatorHasNewFrame();
    }
    void print(const std::string& what) const {
        const double elapsed = static_cast<double>(Clock::uptimeNanoseconds() - origin_) / 1e9;
        std::cout << seconds(elapsed, 3) << " s: " << what << "\n";
    }

private:
    const std::uint64_t origin_;
};

// More display ticks than this are refused: a file and loop count that would play for hours.
constexpr double kMaxPlayTicks = 5'000'000;

void definePlay(CLI::App& group) {
    Verb verb(group, "play", "play on the manual clock at 60 ticks a second: frame changes, loops, the finish, frames decoded");
    const auto& file = verb.argument("FILE", "a GIF");
    const auto& loops = verb.option("--loops", "N", "loops to play, 1 to 1000", true);
    const auto& buffer = verb.option("--buffer", "B", "frames kept decoded ahead (default 50; 0 or less: every frame)");
    verb.run([&file, &loops, &buffer] {
        const std::int64_t loopCount = wholeNumber(*loops, "--loops");
        if (loopCount < 1 || loopCount > 1000) throw BadInput("--loops " + shown(*loops) + " is not from 1 to 1000");
        const std::int64_t frameBuffer = buffer ? wholeNumber(*buffer, "--buffer") : 50;
        const Data bytes = readFile(file);
        const ManualClockScope manualTime;
        const std::uint64_t origin = Clock::uptimeNanoseconds();
        const auto view = std::make_shared<PrintingView>(origin);
        view->setFrameBufferSize(frameBuffer);
        bool finished = false;
        std::int64_t loopsDone = 0;
        view->animate(
            bytes, loopCount, {},
            [&] {
                finished = true;
                view->print("finished");
            },
            [&] { view->print("loop " + std::to_string(++loopsDone) + " done"); });
        ManualClock::drain();
        const auto store = view->animator()->frameStore();
        if (!store->isAnimatable()) throw Failure(file + " is not animated (" + std::to_string(store->frameCount()) + " frames)");
        // Every loop takes at most its capped duration plus one tick per frame; the finish one tick more.
        const double ticks = std::ceil((store->loopDuration() * 60 + static_cast<double>(store->frameCount())) *
                                       static_cast<double>(loopCount)) + 2;
        if (ticks > kMaxPlayTicks) throw BadInput(file + " would take more than " + std::to_string(static_cast<std::int64_t>(kMaxPlayTicks)) + " ticks to play");
        std::cout << file << ": " << store->frameCount() << " frames, loop " << seconds(store->loopDuration(), 3) << " s, "
                  << loopCount << (loopCount == 1 ? " loop" : " loops") << ", buffer " << frameBuffer << "\n";
        for (std::int64_t tick = 1; !finished && tick <= static_cast<std::int64_t>(ticks); ++tick) {
            // A tenth of a millisecond past the tick, so rounding never decides whether it came.
            ManualClock::advanceTo(origin + static_cast<std::uint64_t>(static_cast<double>(tick) * 1e9 / 60) + 100'000);
        }
        view->stopAnimatingGIF();
        ManualClock::drain();
        std::cout << "most frames decoded at once: " << store->peakDecodedFrameCount() << " of " << store->frameCount() << "\n";
        return finished ? 0 : 1;
    });
}

void define(CLI::App& group) {
    defineInfo(group);
    defineFrames(group);
    defineStrip(group);
    definePlay(group);
}

const GroupRegistration registration{{"gif", "GIF frames, delays and loop count; frames as PNGs, side by side, or played", 44, define}};

}  // namespace
}  // namespace qvtool
