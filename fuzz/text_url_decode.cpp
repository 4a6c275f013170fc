// urlDecode() on any bytes; a decoded text re-encoded with urlEncode() decodes back to itself.
#include <QVToolbox/QVToolbox.h>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string decoded = QVToolbox::hx(text).urlDecode();
    if (!decoded.empty() && QVToolbox::hx(QVToolbox::hx(decoded).urlAllEncoded()).urlDecode() != decoded) std::abort();
    return 0;
}
