#include <QVPlatform/graphics/detail/GifStructure.h>

#include <QVPlatform/graphics/ImageCodec.h>

#include <algorithm>
#include <cstring>

namespace platform::detail {

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kScreenDescriptorSize = 7;
constexpr std::size_t kImageDescriptorSize = 10;  // separator included

int le16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

int tableEntries(std::uint8_t packed) { return 1 << ((packed & 0x07) + 1); }

bool withinLimits(int width, int height) {
    return width <= kMaxImageDimension && height <= kMaxImageDimension &&
           static_cast<std::size_t>(width) * static_cast<std::size_t>(height) <= kMaxImagePixels;
}

// The position after a chain of data sub-blocks starting at `at` (the terminator included);
// absent when the chain runs past the end of the bytes.
std::optional<std::size_t> skipSubBlocks(std::span<const std::uint8_t> bytes, std::size_t at) {
    while (at < bytes.size()) {
        const std::size_t length = bytes[at];
        ++at;
        if (length == 0) return at;
        at += length;
    }
    return std::nullopt;
}

}  // namespace

bool hasGifSignature(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kHeaderSize &&
           (std::memcmp(bytes.data(), "GIF87a", kHeaderSize) == 0 || std::memcmp(bytes.data(), "GIF89a", kHeaderSize) == 0);
}

void GifScanner::scan(std::span<const std::uint8_t> bytes, std::size_t wanted) {
    if (state_ == GifScanState::readingHeader && !readHeader(bytes)) return;
    while (state_ == GifScanState::frames && frames_.size() < wanted && readBlock(bytes)) {
    }
}

// GIF89a 17. Header and 18. Logical Screen Descriptor, 19. Global Color Table.
bool GifScanner::readHeader(std::span<const std::uint8_t> bytes) {
    const std::size_t fixed = kHeaderSize + kScreenDescriptorSize;
    if (bytes.size() < fixed) return false;
    if (!hasGifSignature(bytes)) {
        state_ = GifScanState::broken;
        return false;
    }
    const std::uint8_t* d = bytes.data() + kHeaderSize;
    screen_.width = le16(d);
    screen_.height = le16(d + 2);
    const std::uint8_t packed = d[4];
    screen_.globalTableSize = (packed & 0x80) ? tableEntries(packed) : 0;
    if (screen_.width == 0 || screen_.height == 0 || !withinLimits(screen_.width, screen_.height)) {
        state_ = GifScanState::refused;
        return false;
    }
    const std::size_t afterTable = fixed + 3 * static_cast<std::size_t>(screen_.globalTableSize);
    if (bytes.size() < afterTable) return false;
    screenRead_ = true;
    position_ = afterTable;
    state_ = GifScanState::frames;
    return true;
}

bool GifScanner::readBlock(std::span<const std::uint8_t> bytes) {
    if (position_ >= bytes.size()) return false;
    switch (bytes[position_]) {
        case 0x21: return readExtension(bytes);
        case 0x2C: return readImage(bytes);
        case 0x3B:  // GIF89a 27. Trailer
            state_ = GifScanState::ended;
            return false;
        default:
            state_ = GifScanState::broken;
            return false;
    }
}

bool GifScanner::readExtension(std::span<const std::uint8_t> bytes) {
    const std::size_t at = position_;
    if (at + 2 >= bytes.size()) return false;
    const std::uint8_t label = bytes[at + 1];
    const auto end = skipSubBlocks(bytes, at + 2);
    if (!end) return false;
    const std::uint8_t* body = bytes.data() + at + 2;  // first sub-block: its length, then its bytes
    if (label == 0xF9 && body[0] >= 4) {
        // GIF89a 23. Graphic Control Extension: packed fields, delay (1/100 s), transparent index.
        GifFrameRecord control;
        control.hasControl = true;
        const std::uint8_t packed = body[1];
        control.disposal = static_cast<GifDisposal>((packed >> 2) & 0x07);
        control.delayCentiseconds = le16(body + 2);
        if (packed & 0x01) control.transparentIndex = body[4];
        control_ = control;
    } else if (label == 0xFF && body[0] == 11 && !loopCount_) {
        // GIF89a 26. Application Extension; the NETSCAPE2.0 block holds the loop count in
        // a sub-block {1, count low, count high}.
        const bool looping = std::memcmp(body + 1, "NETSCAPE2.0", 11) == 0 || std::memcmp(body + 1, "ANIMEXTS1.0", 11) == 0;
        const std::size_t sub = at + 2 + 12;
        if (looping && sub + 3 < *end && bytes[sub] >= 3 && bytes[sub + 1] == 1) loopCount_ = le16(bytes.data() + sub + 2);
    } else if (label == 0x01) {
        // GIF89a 25. Plain Text Extension: it takes the control block before it, and draws
        // nothing here (as browsers).
        control_.reset();
    }
    position_ = *end;
    return true;
}

// GIF89a 20. Image Descriptor, 21. Local Color Table, 22. Table Based Image Data.
bool GifScanner::readImage(std::span<const std::uint8_t> bytes) {
    const std::size_t at = position_;
    if (at + kImageDescriptorSize > bytes.size()) return false;
    const std::uint8_t* d = bytes.data() + at + 1;
    GifFrameRecord frame = control_.value_or(GifFrameRecord{});
    frame.offset = at;
    frame.x = le16(d);
    frame.y = le16(d + 2);
    frame.width = le16(d + 4);
    frame.height = le16(d + 6);
    const std::uint8_t packed = d[8];
    frame.interlaced = (packed & 0x40) != 0;
    if (!withinLimits(frame.width, frame.height)) {
        state_ = GifScanState::refused;
        return false;
    }
    std::size_t data = at + kImageDescriptorSize;
    if (packed & 0x80) data += 3 * static_cast<std::size_t>(tableEntries(packed));
    // The LZW minimum code size byte, then the image data sub-blocks.
    if (data + 1 > bytes.size()) return false;
    const auto end = skipSubBlocks(bytes, data + 1);
    if (!end) return false;
    frames_.push_back(frame);
    control_.reset();
    position_ = *end;
    return true;
}

}  // namespace platform::detail
