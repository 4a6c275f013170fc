// CGImageSource: reads the frames of an image container (GIF, PNG, JPEG) and their
// properties, as the platform's image I/O does.
//
//   auto source = CGImageSourceCreateWithData(gifBytes);
//   CGImageSourceGetCount(*source);                              // 12 frames
//   auto props = CGImageSourceCopyPropertiesAtIndex(*source, 0); // {"{GIF}": {"DelayTime": 0.1, ...}, ...}
//   auto frame = CGImageSourceCreateImageAtIndex(*source, 3);    // Bitmap of the whole screen
//
// A GIF is scanned once, as far as asked for (the count scans to the end, frame 0 only to
// frame 0): each frame's offset, rectangle, disposal and delay are recorded without decoding,
// so the count and the properties cost no decoding, and the first frame of a long file costs
// what it costs in a short one. Frames come fully composited, as a browser shows
// them: disposal methods, transparency, local and global colour tables, interlacing. A decode
// cursor keeps the last canvas, so asking for frames in order decodes one frame per call;
// asking for an earlier frame replays from frame 0. PNG and JPEG give one frame.
//
// Per-frame GIF properties, under kCGImagePropertyGIFDictionary ("{GIF}"), present only for
// a frame with a Graphic Control Extension: UnclampedDelayTime = centiseconds / 100, and
// DelayTime = the same, raised to 0.1 s when it is 1 cs or less. The container's properties
// hold the loop count (NETSCAPE2.0; 0 = forever; absent when the file has none) and the
// canvas size.
//
// Bad input: a screen or frame beyond 16,384 pixels a side or 50 million pixels is refused
// (no source for a screen; for a frame, the frames before it stand); frame rectangles are
// clipped to the screen; nothing is allocated from a size the header claims before a
// complete frame backs it. A file that breaks at frame 40 still serves frames 0-39; a frame
// whose image data ends early keeps the rows it has.
//
// Thread rule: every function may be called from any thread; one source serialises its
// callers (decoding runs under the source's lock).
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Data.h>
#include <QVPlatform/graphics/ImageCodec.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Option keys.
inline constexpr const char* kCGImageSourceShouldCache = "kCGImageSourceShouldCache";
// Property keys.
inline constexpr const char* kCGImagePropertyPixelWidth = "PixelWidth";
inline constexpr const char* kCGImagePropertyPixelHeight = "PixelHeight";
inline constexpr const char* kCGImagePropertyFileSize = "FileSize";
inline constexpr const char* kCGImagePropertyGIFDictionary = "{GIF}";
inline constexpr const char* kCGImagePropertyGIFDelayTime = "DelayTime";
inline constexpr const char* kCGImagePropertyGIFUnclampedDelayTime = "UnclampedDelayTime";
inline constexpr const char* kCGImagePropertyGIFLoopCount = "LoopCount";
inline constexpr const char* kCGImagePropertyGIFCanvasPixelWidth = "CanvasPixelWidth";
inline constexpr const char* kCGImagePropertyGIFCanvasPixelHeight = "CanvasPixelHeight";
inline constexpr const char* kCGImagePropertyGIFHasGlobalColorMap = "HasGlobalColorMap";
// Uniform type identifiers of the containers.
inline constexpr const char* kUTTypeGIF = "com.compuserve.gif";
inline constexpr const char* kUTTypePNG = "public.png";
inline constexpr const char* kUTTypeJPEG = "public.jpeg";

// Whether `type` is or conforms to `conformsTo` (the container types here conform to
// "public.image" and to themselves).
bool UTTypeConformsTo(std::string_view type, std::string_view conformsTo);

enum class CGImageSourceStatus { complete, incomplete, readingHeader, unknownType, invalidData };

class CGImageSource;
using CGImageSourceRef = std::shared_ptr<CGImageSource>;

// A source over `data`; null when the bytes are no GIF, PNG or JPEG, or a GIF's screen is
// beyond the limits. Options: kCGImageSourceShouldCache (default true) keeps composited
// frames after they are made, up to 64 MiB per source. The source keeps the bytes (moved in
// when the caller gives them up).
CGImageSourceRef CGImageSourceCreateWithData(Data data, const Any::Dictionary& options = {});
// An empty source (0 frames) to feed with CGImageSourceUpdateData.
CGImageSourceRef CGImageSourceCreateIncremental(const Any::Dictionary& options = {});
// Gives an incremental source all the data so far (each call repeats the earlier bytes and
// adds to them); `final` when no more will come. Frames appear as their data completes.
// Data that does not extend the earlier bytes starts the source over.
void CGImageSourceUpdateData(CGImageSource& source, const Data& data, bool final);

CGImageSourceStatus CGImageSourceGetStatus(const CGImageSource& source);
// Frames complete so far: a GIF's frames, 1 for a PNG or JPEG, 0 before the type is known.
std::size_t CGImageSourceGetCount(const CGImageSource& source);
// The container's type identifier; absent until the first bytes say it.
std::optional<std::string> CGImageSourceGetType(const CGImageSource& source);
// The container's properties (see the top).
Any::Dictionary CGImageSourceCopyProperties(const CGImageSource& source);
// Frame `index`'s properties: pixel size (the canvas) and, for a GIF frame with a control
// extension, the {GIF} dictionary; absent for an index past the count.
std::optional<Any::Dictionary> CGImageSourceCopyPropertiesAtIndex(const CGImageSource& source, std::size_t index);
// Frame `index`, composited on the whole canvas (RGBA, not premultiplied); absent past the
// count or when the frame does not decode.
std::optional<Bitmap> CGImageSourceCreateImageAtIndex(CGImageSource& source, std::size_t index);

}  // namespace platform
