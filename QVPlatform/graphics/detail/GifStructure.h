// The structural scan of a GIF: the logical screen, the loop count and, for each frame, where
// its image descriptor starts, its rectangle and its Graphic Control Extension, read without
// decoding any image data (image data is skipped by its sub-block lengths). Not API.
//
// The scan is resumable: `scan` may be called again with the same bytes grown at the end
// (an incremental source), and goes on from the first block it could not read whole. A frame
// counts once its image data ends (its block terminator is present), so a file cut inside
// frame 40 gives frames 0-39. Not synchronised: the image source guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace platform::detail {

struct GifScreen {
    int width = 0;
    int height = 0;
    int globalTableSize = 0;  // entries; 0 when there is no global colour table
};

enum class GifDisposal : std::uint8_t { unspecified = 0, none = 1, background = 2, previous = 3 };

struct GifFrameRecord {
    std::size_t offset = 0;  // of the image separator (0x2C)
    int x = 0, y = 0, width = 0, height = 0;
    bool interlaced = false;
    // From the Graphic Control Extension before the frame; absent without one.
    bool hasControl = false;
    int delayCentiseconds = 0;
    GifDisposal disposal = GifDisposal::unspecified;
    std::optional<std::uint8_t> transparentIndex;
};

enum class GifScanState {
    readingHeader,  // fewer bytes than the header and logical screen descriptor
    frames,         // more blocks may follow
    ended,          // trailer read
    broken,         // a block that is no GIF block: the frames before it stand
    refused,        // screen or frame beyond the size limits
};

class GifScanner {
public:
    // Reads what `bytes` adds since the last call, stopping once `wanted` frames are known
    // (so the first frame of a long file needs no scan of the rest). `bytes` must start with
    // the bytes given before (the caller checks; see `reset`).
    void scan(std::span<const std::uint8_t> bytes, std::size_t wanted = std::numeric_limits<std::size_t>::max());
    void reset() { *this = GifScanner(); }

    GifScanState state() const { return state_; }
    // The header, a screen within the limits and its global table have been read.
    bool hasScreen() const { return screenRead_; }
    const GifScreen& screen() const { return screen_; }
    const std::vector<GifFrameRecord>& frames() const { return frames_; }
    // NETSCAPE2.0 / ANIMEXTS1.0 loop count (0 = forever); absent when the file has none.
    std::optional<int> loopCount() const { return loopCount_; }

private:
    bool readHeader(std::span<const std::uint8_t> bytes);
    // Reads one block at position_; false when it is incomplete (nothing is committed).
    bool readBlock(std::span<const std::uint8_t> bytes);
    bool readExtension(std::span<const std::uint8_t> bytes);
    bool readImage(std::span<const std::uint8_t> bytes);

    GifScanState state_ = GifScanState::readingHeader;
    bool screenRead_ = false;
    GifScreen screen_;
    std::vector<GifFrameRecord> frames_;
    std::optional<int> loopCount_;
    std::size_t position_ = 0;                   // start of the next unread block
    std::optional<GifFrameRecord> control_;      // a Graphic Control Extension awaiting its image
};

// The GIF signature ("GIF87a" or "GIF89a").
bool hasGifSignature(std::span<const std::uint8_t> bytes);

}  // namespace platform::detail
