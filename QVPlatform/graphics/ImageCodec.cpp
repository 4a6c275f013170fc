#include <QVPlatform/graphics/ImageCodec.h>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>

namespace platform {

namespace {

bool acceptableSize(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageDimension && height <= kMaxImageDimension &&
           width * height <= kMaxImagePixels;
}

bool consistent(const Bitmap& bitmap) {
    return !bitmap.empty() && acceptableSize(static_cast<std::uint64_t>(bitmap.width), static_cast<std::uint64_t>(bitmap.height)) &&
           bitmap.rgba.size() == static_cast<std::size_t>(bitmap.width) * bitmap.height * 4;
}

// --- PNG: libpng's simplified API, which traps libpng's errors itself. ---------------------

struct PngImage {
    png_image image{};
    PngImage() { image.version = PNG_IMAGE_VERSION; }
    ~PngImage() { png_image_free(&image); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
};

// --- JPEG: libjpeg reports errors through error_exit, which must not return. ------------------
// It long-jumps back to the setjmp in the small functions below; they hold no C++ object
// with a destructor, so the jump skips nothing that needs cleaning up.

struct JpegErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jpegErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}
void jpegSilentMessage(j_common_ptr) {}

// A progressive JPEG can declare thousands of tiny scans to make decoding slow; real images
// have a dozen or so.
constexpr int kMaxJpegScans = 256;

void jpegProgress(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxJpegScans) jpegErrorExit(info);
}

struct JpegDecoder {
    jpeg_decompress_struct info;
    JpegErrorManager error;
    jpeg_progress_mgr progress;
    bool created = false;
    ~JpegDecoder() {
        if (created) jpeg_destroy_decompress(&info);
    }
};

bool jpegCreate(JpegDecoder& d) {
    std::memset(&d.info, 0, sizeof d.info);
    d.info.err = jpeg_std_error(&d.error.manager);
    d.error.manager.error_exit = jpegErrorExit;
    d.error.manager.output_message = jpegSilentMessage;
    if (setjmp(d.error.jump)) return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    d.progress.progress_monitor = jpegProgress;
    d.info.progress = &d.progress;
    return true;
}

bool jpegReadHeader(JpegDecoder& d, const std::uint8_t* bytes, std::size_t size) {
    if (setjmp(d.error.jump)) return false;
    jpeg_mem_src(&d.info, bytes, static_cast<unsigned long>(size));
    return jpeg_read_header(&d.info, TRUE) == JPEG_HEADER_OK;
}

bool jpegStart(JpegDecoder& d, J_COLOR_SPACE output) {
    if (setjmp(d.error.jump)) return false;
    d.info.out_color_space = output;
    return jpeg_start_decompress(&d.info) == TRUE;
}

// Reads every row into `out` (`stride` bytes apart). Rows missing from a truncated file are
// left as libjpeg fills them.
bool jpegReadRows(JpegDecoder& d, std::uint8_t* out, std::size_t stride) {
    if (setjmp(d.error.jump)) return false;
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = out + static_cast<std::size_t>(d.info.output_scanline) * stride;
        if (jpeg_read_scanlines(&d.info, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

struct JpegEncoder {
    jpeg_compress_struct info;
    JpegErrorManager error;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool created = false;
    ~JpegEncoder() {
        if (created) jpeg_destroy_compress(&info);
        std::free(buffer);
    }
};

// `pixels` are RGB (3 bytes a pixel) or, with `rgbx`, RGBA rows whose fourth byte is skipped.
bool jpegEncode(JpegEncoder& e, const std::uint8_t* pixels, bool rgbx, int width, int height, int quality) {
    std::memset(&e.info, 0, sizeof e.info);
    e.info.err = jpeg_std_error(&e.error.manager);
    e.error.manager.error_exit = jpegErrorExit;
    e.error.manager.output_message = jpegSilentMessage;
    if (setjmp(e.error.jump)) return false;
    jpeg_create_compress(&e.info);
    e.created = true;
    jpeg_mem_dest(&e.info, &e.buffer, &e.size);
    e.info.image_width = static_cast<JDIMENSION>(width);
    e.info.image_height = static_cast<JDIMENSION>(height);
    e.info.input_components = rgbx ? 4 : 3;
    e.info.in_color_space = rgbx ? JCS_EXT_RGBX : JCS_RGB;
    jpeg_set_defaults(&e.info);
    jpeg_set_quality(&e.info, quality, TRUE);
    jpeg_start_compress(&e.info, TRUE);
    const std::size_t stride = static_cast<std::size_t>(width) * (rgbx ? 4 : 3);
    while (e.info.next_scanline < e.info.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(pixels + static_cast<std::size_t>(e.info.next_scanline) * stride);
        jpeg_write_scanlines(&e.info, &row, 1);
    }
    jpeg_finish_compress(&e.info);
    return true;
}

}  // namespace

ImageFormat imageFormatOf(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t png[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    if (bytes.size() >= sizeof png && std::memcmp(bytes.data(), png, sizeof png) == 0) return ImageFormat::png;
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) return ImageFormat::jpeg;
    return ImageFormat::unknown;
}

std::optional<Bitmap> decodePNG(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    PngImage png;
    if (!png_image_begin_read_from_memory(&png.image, bytes.data(), bytes.size())) return std::nullopt;
    if (!acceptableSize(png.image.width, png.image.height)) return std::nullopt;
    png.image.format = PNG_FORMAT_RGBA;
    Bitmap bitmap = Bitmap::make(static_cast<int>(png.image.width), static_cast<int>(png.image.height));
    if (!png_image_finish_read(&png.image, nullptr, bitmap.rgba.data(), 0, nullptr)) return std::nullopt;
    return bitmap;
}

std::optional<Bitmap> decodeJPEG(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    auto decoder = std::make_unique<JpegDecoder>();
    if (!jpegCreate(*decoder) || !jpegReadHeader(*decoder, bytes.data(), bytes.size())) return std::nullopt;
    const jpeg_decompress_struct& info = decoder->info;
    if (!acceptableSize(info.image_width, info.image_height)) return std::nullopt;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    if (!jpegStart(*decoder, cmyk ? JCS_CMYK : JCS_EXT_RGBA)) return std::nullopt;
    if (info.output_components != 4 || !acceptableSize(info.output_width, info.output_height)) return std::nullopt;

    Bitmap bitmap = Bitmap::make(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    if (!jpegReadRows(*decoder, bitmap.rgba.data(), static_cast<std::size_t>(bitmap.width) * 4)) return std::nullopt;
    if (cmyk) {
        // Adobe writes CMYK inverted (0 = full ink); others store ink directly.
        const bool inverted = info.saw_Adobe_marker;
        for (std::size_t i = 0; i < bitmap.rgba.size(); i += 4) {
            std::uint8_t* p = bitmap.rgba.data() + i;
            const unsigned k = inverted ? p[3] : 255u - p[3];
            for (int c = 0; c < 3; ++c) {
                const unsigned ink = inverted ? p[c] : 255u - p[c];
                p[c] = static_cast<std::uint8_t>(ink * k / 255);
            }
            p[3] = 255;
        }
    }
    return bitmap;
}

std::optional<Bitmap> decodeImage(std::span<const std::uint8_t> bytes) {
    switch (imageFormatOf(bytes)) {
        case ImageFormat::png: return decodePNG(bytes);
        case ImageFormat::jpeg: return decodeJPEG(bytes);
        case ImageFormat::unknown: return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Data> encodePNG(const Bitmap& bitmap) {
    if (!consistent(bitmap)) return std::nullopt;
    PngImage png;
    png.image.width = static_cast<png_uint_32>(bitmap.width);
    png.image.height = static_cast<png_uint_32>(bitmap.height);
    png.image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png.image, nullptr, &size, 0, bitmap.rgba.data(), 0, nullptr)) return std::nullopt;
    std::vector<std::uint8_t> out(size);
    if (!png_image_write_to_memory(&png.image, out.data(), &size, 0, bitmap.rgba.data(), 0, nullptr)) {
        return std::nullopt;
    }
    out.resize(size);
    return Data(std::move(out));
}

namespace {

// libpng's full write interface, for the zlib level and filter the simplified one cannot set.
struct PngWriter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::uint8_t> out;
    ~PngWriter() { png_destroy_write_struct(&png, &info); }
};

void pngAppend(png_structp png, png_bytep bytes, png_size_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), bytes, bytes + size);
}
void pngFlush(png_structp) {}

// Returns false when libpng reported an error (it long-jumps here; PngWriter outlives the jump).
bool pngWriteFast(PngWriter& w, const Bitmap& bitmap) {
    if (setjmp(png_jmpbuf(w.png))) return false;
    png_set_write_fn(w.png, &w.out, pngAppend, pngFlush);
    png_set_IHDR(w.png, w.info, static_cast<png_uint_32>(bitmap.width), static_cast<png_uint_32>(bitmap.height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(w.png, 1);
    png_set_filter(w.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(w.png, w.info);
    for (int y = 0; y < bitmap.height; ++y) png_write_row(w.png, const_cast<png_bytep>(bitmap.pixel(0, y)));
    png_write_end(w.png, nullptr);
    return true;
}

}  // namespace

std::optional<Data> encodePNG(const Bitmap& bitmap, PNGCompression compression) {
    if (compression == PNGCompression::standard) return encodePNG(bitmap);
    if (!consistent(bitmap)) return std::nullopt;
    PngWriter w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!w.png) return std::nullopt;
    w.info = png_create_info_struct(w.png);
    if (!w.info) return std::nullopt;
    w.out.reserve(bitmap.rgba.size() / 4);
    if (!pngWriteFast(w, bitmap)) return std::nullopt;
    return Data(std::move(w.out));
}

std::optional<Data> encodeJPEG(const Bitmap& bitmap, double quality) {
    if (!consistent(bitmap)) return std::nullopt;
    // NaN compares false both ways, so it is caught first: it means the lowest quality.
    const double q = std::isnan(quality) || quality < 0 ? 0 : (quality > 1 ? 1 : quality);
    const int level = std::max(1, static_cast<int>(q * 100 + 0.5));
    auto encoder = std::make_unique<JpegEncoder>();
    bool opaque = true;
    for (std::size_t i = 3; i < bitmap.rgba.size() && opaque; i += 4) opaque = bitmap.rgba[i] == 255;
    if (opaque) {
        // Nothing to composite: libjpeg-turbo reads the RGBA rows as they are.
        if (!jpegEncode(*encoder, bitmap.rgba.data(), true, bitmap.width, bitmap.height, level)) return std::nullopt;
        return Data(encoder->buffer, encoder->size);
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(bitmap.width) * bitmap.height * 3);
    for (std::size_t i = 0, o = 0; i < bitmap.rgba.size(); i += 4, o += 3) {
        const unsigned alpha = bitmap.rgba[i + 3];
        for (int c = 0; c < 3; ++c) rgb[o + c] = static_cast<std::uint8_t>(bitmap.rgba[i + c] * alpha / 255);
    }
    if (!jpegEncode(*encoder, rgb.data(), false, bitmap.width, bitmap.height, level)) return std::nullopt;
    return Data(encoder->buffer, encoder->size);
}

}  // namespace platform
