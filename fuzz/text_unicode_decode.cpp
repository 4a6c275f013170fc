// unicodeDecode() on any bytes: no crash, and the result is valid UTF-8.
#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/base/Text.h>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string decoded = QVToolbox::hx(text).unicodeDecode();
    if (!platform::isValidUtf8(decoded)) std::abort();
    return 0;
}
