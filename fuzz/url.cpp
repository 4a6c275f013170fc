// URL parsing, reference resolution and percent-encoding: no input crashes; a resolved URL's
// text parses again to the same URL; encoding then decoding valid UTF-8 gives the text back.
#include <QVPlatform/base/Text.h>
#include <QVPlatform/base/URL.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace platform;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto url = URL::string(bytes)) {
        if (url->absoluteString() != bytes) __builtin_trap();
        (void)url->scheme();
        (void)url->host();
        (void)url->port();
        (void)url->user();
        (void)url->path();
        (void)url->query();
        (void)url->fragment();
        (void)url->isFileURL();
        (void)url->lastPathComponent();
        (void)url->pathExtension();
        (void)url->appendingPathComponent("x y").absoluteString();
        (void)url->deletingLastPathComponent().absoluteString();
    }
    static const URL base = *URL::string("http://a/b/c/d;p?q");
    if (const auto resolved = URL::string(bytes, base)) {
        const auto again = URL::string(resolved->absoluteString());
        if (!again || !(*again == *resolved)) __builtin_trap();
        if (resolved->relativeString() != bytes) __builtin_trap();
    }
    (void)removingPercentEncoding(bytes);
    const std::string encoded = addingPercentEncoding(bytes, CharacterSet::urlQueryAllowed());
    const auto decoded = removingPercentEncoding(encoded);
    if (isValidUtf8(bytes) != decoded.has_value()) __builtin_trap();
    if (decoded && *decoded != bytes) __builtin_trap();
    return 0;
}
