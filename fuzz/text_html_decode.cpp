// htmlEncodedStringToString() on any bytes: no crash, no sanitizer report.
#include <QVToolbox/QVToolbox.h>

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 64 * 1024) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)QVToolbox::hx(text).htmlEncodedStringToString();
    return 0;
}
