// Base64 decoding, strict and lenient, on any bytes; what decodes re-encodes to a text that
// decodes to the same bytes.
#include <QVPlatform/crypto/Base64.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto strict = platform::base64Decode(text)) {
        if (platform::base64Decode(platform::base64Encode(*strict)) != strict) std::abort();
    }
    if (const auto lenient = platform::base64Decode(text, platform::Base64DecodingOptions::ignoreUnknownCharacters)) {
        const std::string again = platform::base64Encode(*lenient, platform::Base64EncodingOptions::lineLength64);
        if (platform::base64Decode(again, platform::Base64DecodingOptions::ignoreUnknownCharacters) != lenient) std::abort();
    }
    return 0;
}
