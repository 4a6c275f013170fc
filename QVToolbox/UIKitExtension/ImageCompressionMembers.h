// Image type detection and compression as members of the image's wrapper
// (ImageCompression.h holds the contracts):
//
//   HxPOP<platform::UIImage>::checkImageDataType(&bytes);   // DataType::jpeg
//   hx(photo).compress(CompressionMode::low());             // a JPEG under 512 KiB
//
// Thread rule: as ImageCompression.h.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/UIKitExtension/ImageCompression.h>

namespace QVToolbox {

template <class W, class Base>
struct ImageCompressionMembers {};

template <class W>
struct ImageCompressionMembers<W, platform::UIImage> {
    static DataType checkImageDataType(const platform::Data* data) { return QVToolbox::checkImageDataType(data); }

    std::optional<platform::Data> compress(const CompressionMode& mode) const {
        return QVToolbox::compress(image(), mode);
    }
    void asyncCompress(const CompressionMode& mode, platform::DispatchQueue& queue,
                       std::function<void(std::optional<platform::Data>, platform::CGSize)> complete) const {
        QVToolbox::asyncCompress(image(), mode, queue, std::move(complete));
    }
    std::optional<platform::Data> compressDataSize(std::int64_t maxDataSize) const {
        return QVToolbox::compressDataSize(*image(), maxDataSize);
    }
    std::shared_ptr<platform::UIImage> resizeCG(platform::CGSize resizeSize) const {
        return QVToolbox::resizeCG(image(), resizeSize);
    }
    std::shared_ptr<platform::UIImage> resizeIO(platform::CGSize resizeSize) const {
        return QVToolbox::resizeIO(image(), resizeSize);
    }

private:
    const std::shared_ptr<platform::UIImage>& image() const { return static_cast<const W&>(*this).base; }
};

}  // namespace QVToolbox
