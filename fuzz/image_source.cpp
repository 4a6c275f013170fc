// The image source on arbitrary bytes: no crash, no hang, bounded memory; an incremental
// source fed the same bytes in two parts ends with the same frames as one made at once.
#include <QVPlatform/graphics/ImageSource.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace platform;
    const Data bytes(data, size);
    const auto whole = CGImageSourceCreateWithData(bytes, {{kCGImageSourceShouldCache, false}});
    if (!whole) return 0;
    const std::size_t count = CGImageSourceGetCount(*whole);
    (void)CGImageSourceGetType(*whole);
    (void)CGImageSourceGetStatus(*whole);
    (void)CGImageSourceCopyProperties(*whole);
    for (std::size_t i = 0; i <= count; ++i) (void)CGImageSourceCopyPropertiesAtIndex(*whole, i);
    // A few frames in order, then one backwards (the cursor replays from frame 0).
    const std::size_t shown = count < 4 ? count : 4;
    for (std::size_t i = 0; i < shown; ++i) (void)CGImageSourceCreateImageAtIndex(*whole, i);
    const auto again = shown ? CGImageSourceCreateImageAtIndex(*whole, shown / 2) : std::nullopt;

    const auto incremental = CGImageSourceCreateIncremental();
    CGImageSourceUpdateData(*incremental, Data(data, size / 2), false);
    (void)CGImageSourceGetCount(*incremental);
    CGImageSourceUpdateData(*incremental, bytes, true);
    if (CGImageSourceGetCount(*incremental) != count) __builtin_trap();
    if (shown && CGImageSourceCreateImageAtIndex(*incremental, shown / 2) != again) __builtin_trap();
    return 0;
}
