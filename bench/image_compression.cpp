// compress(.medium) of a 12-megapixel photo-like image beside the same work written directly
// on Cairo (the downscale) and libjpeg-turbo (the encodings), running the same byte search.
// The counters give the number of JPEG encodings each side needed.
#include "Compare.h"

#include <QVToolbox/UIKitExtension/ImageCompression.h>

#include <cairo.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

platform::Bitmap photoLike() {
    auto bitmap = platform::Bitmap::make(kWidth, kHeight);
    std::uint32_t state = 1;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            state = state * 1664525u + 1013904223u;
            const int n = static_cast<int>(state >> 27) - 16;
            auto* p = bitmap.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(std::clamp(x * 255 / kWidth + n, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(y * 255 / kHeight + n, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp(128 + static_cast<int>(60 * std::sin(x * 0.01 + y * 0.02)) + n, 0, 255));
            p[3] = 255;
        }
    }
    return bitmap;
}

const std::shared_ptr<platform::UIImage>& image() {
    static const auto shared = platform::UIImage::imageWithBitmap(photoLike());
    return shared;
}

// The peer's downscale: Cairo's good filter straight from an image surface.
std::vector<std::uint8_t> peerScaledRGB(int width, int height) {
    const auto& source = image()->bitmap();
    cairo_surface_t* in = cairo_image_surface_create(CAIRO_FORMAT_RGB24, source.width, source.height);
    auto* data = cairo_image_surface_get_data(in);
    const int stride = cairo_image_surface_get_stride(in);
    for (int y = 0; y < source.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        for (int x = 0; x < source.width; ++x) {
            const auto* p = source.pixel(x, y);
            row[x] = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
        }
    }
    cairo_surface_mark_dirty(in);
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(out);
    cairo_scale(cr, static_cast<double>(width) / source.width, static_cast<double>(height) / source.height);
    cairo_set_source_surface(cr, in, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(out);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    const auto* o = cairo_image_surface_get_data(out);
    const int outStride = cairo_image_surface_get_stride(out);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(o + static_cast<std::size_t>(y) * outStride);
        for (int x = 0; x < width; ++x) {
            auto* d = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            d[0] = static_cast<std::uint8_t>(row[x] >> 16);
            d[1] = static_cast<std::uint8_t>(row[x] >> 8);
            d[2] = static_cast<std::uint8_t>(row[x]);
        }
    }
    cairo_surface_destroy(out);
    cairo_surface_destroy(in);
    return rgb;
}

std::optional<platform::Data> peerEncode(const std::vector<std::uint8_t>& rgb, int width, int height, double quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, std::max(1, static_cast<int>(quality * 100 + 0.5)), TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(&rgb[static_cast<std::size_t>(info.next_scanline) * width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    platform::Data data(buffer, size);
    std::free(buffer);
    return data;
}

void BM_CompressMedium_ours(benchmark::State& state) {
    int encodings = 0;
    std::size_t bytes = 0;
    const auto mode = QVToolbox::CompressionMode::medium();
    image();  // made once, outside the timing
    for (auto _ : state) {
        const auto target = QVToolbox::targetSize(image()->size(), mode);
        const auto resized = QVToolbox::resizeIO(image(), target);
        const auto found = QVToolbox::searchDataSize(*resized, mode.byteBudget());
        encodings = found.encodings;
        bytes = found.data->count();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["encodings"] = encodings;
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_CompressMedium_ours)->Name("compress_medium_12MP/ours")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CompressMedium_peer(benchmark::State& state) {
    int encodings = 0;
    std::size_t bytes = 0;
    const auto mode = QVToolbox::CompressionMode::medium();
    image();  // made once, outside the timing
    for (auto _ : state) {
        const auto target = QVToolbox::targetSize(image()->size(), mode);
        const int width = static_cast<int>(std::lround(target.width)), height = static_cast<int>(std::lround(target.height));
        const auto rgb = peerScaledRGB(width, height);
        const auto found = QVToolbox::searchDataSize(
            [&](double quality) { return peerEncode(rgb, width, height, quality); }, mode.byteBudget());
        encodings = found.encodings;
        bytes = found.data->count();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["encodings"] = encodings;
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_CompressMedium_peer)->Name("compress_medium_12MP/peer")->Unit(benchmark::kMillisecond)->UseRealTime();

// A tight budget makes the search work: 150 KB for the 1024 × 768 result.
void BM_CompressTight_ours(benchmark::State& state) {
    const auto resized = QVToolbox::resizeIO(image(), {1024, 768});
    int encodings = 0;
    for (auto _ : state) {
        const auto found = QVToolbox::searchDataSize(*resized, 150'000);
        encodings = found.encodings;
        benchmark::DoNotOptimize(found.data);
    }
    state.counters["encodings"] = encodings;
}
BENCHMARK(BM_CompressTight_ours)->Name("search_150KB_1024x768/ours")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CompressTight_peer(benchmark::State& state) {
    const auto rgb = peerScaledRGB(1024, 768);
    int encodings = 0;
    for (auto _ : state) {
        const auto found = QVToolbox::searchDataSize([&](double q) { return peerEncode(rgb, 1024, 768, q); }, 150'000);
        encodings = found.encodings;
        benchmark::DoNotOptimize(found.data);
    }
    state.counters["encodings"] = encodings;
}
BENCHMARK(BM_CompressTight_peer)->Name("search_150KB_1024x768/peer")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
