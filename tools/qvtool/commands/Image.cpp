// `qvtool image type|compress`: image data recognised by its first byte, and an image
// shrunk to a mode's pixel and byte budgets.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/UIKitExtension/ImageCompression.h>

#include <QVPlatform/graphics/ImageSource.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

namespace qvtool {
namespace {

using QVToolbox::CompressionMode;

platform::Data readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("cannot read " + shown(path));
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return platform::Data(std::move(bytes));
}

void writeFile(const std::string& path, const platform::Data& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.bytes()), static_cast<std::streamsize>(data.count()));
    if (!out) throw Failure("cannot write " + shown(path));
}

CompressionMode modeOf(const std::string& text) {
    if (text == "low") return CompressionMode::low();
    if (text == "medium") return CompressionMode::medium();
    if (text == "high") return CompressionMode::high();
    if (text.rfind("other:", 0) == 0) {
        const auto colon = text.find(':', 6);
        if (colon != std::string::npos) {
            return CompressionMode::other(realNumber(text.substr(6, colon - 6), "--mode SIDE"),
                                          wholeNumber(text.substr(colon + 1), "--mode BYTES"));
        }
    }
    throw BadInput("--mode " + shown(text) + " is not low, medium, high or other:SIDE:BYTES");
}

// The first frame of any image the platform reads (PNG, JPEG, GIF).
std::shared_ptr<platform::UIImage> imageOf(const platform::Data& data, const std::string& path) {
    auto source = platform::CGImageSourceCreateWithData(data);
    auto frame = source ? platform::CGImageSourceCreateImageAtIndex(*source, 0) : std::nullopt;
    auto image = frame ? platform::UIImage::imageWithBitmap(std::move(*frame)) : nullptr;
    if (!image) throw Failure(shown(path) + " is not a PNG, JPEG or GIF image that decodes");
    return image;
}

void define(CLI::App& group) {
    Verb type(group, "type", "the DataType of a file by its first byte: gif, png, jpeg, tiff or defaultType");
    const auto& typeFile = type.argument("FILE", "any file");
    type.run([&] {
        const platform::Data data = readFile(typeFile);
        std::cout << QVToolbox::rawValue(QVToolbox::checkImageDataType(&data)) << "\n";
        return 0;
    });

    Verb compress(group, "compress", "shrink to the mode's longest side, then JPEG under its byte budget");
    const auto& in = compress.argument("IN", "a PNG, JPEG or GIF image");
    const auto& out = compress.option("-o", "OUT", "where the JPEG goes", true);
    const auto& mode = compress.option("--mode", "MODE", "low, medium, high or other:SIDE:BYTES (default medium)");
    compress.run([&] {
        const CompressionMode chosen = modeOf(mode.value_or("medium"));
        const auto image = imageOf(readFile(in), in);
        const platform::CGSize target = QVToolbox::targetSize(image->size(), chosen);
        const auto resized = QVToolbox::resizeIO(image, target);
        if (!resized) throw Failure("the image could not be resized");
        const auto found = QVToolbox::searchDataSize(*resized, chosen.byteBudget());
        if (!found.data) throw Failure("the JPEG encoder failed");
        writeFile(*out, *found.data);
        char quality[16];
        std::snprintf(quality, sizeof quality, "%.4g", found.quality);
        std::cout << "target " << target.width << "x" << target.height << "\nbudget " << chosen.byteBudget()
                  << "\nquality " << quality << "\nencodings " << found.encodings << "\nbytes " << found.data->count()
                  << "\n";
        return 0;
    });
}

const GroupRegistration registration{
    {"image", "image type by first byte; compression to a size and byte budget", 63, define}};

}  // namespace
}  // namespace qvtool
