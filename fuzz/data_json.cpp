// Fuzzes jsonToDictionary and the compact writer: any bytes must parse or be refused without
// a crash, and a parsed object must write and read back to the same value.
#include <QVToolbox/FoundationExtension/data/JSONHelpers.h>

#include <QVPlatform/base/Debug.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        platform::setDebugSink([](std::string_view, std::string_view) {});
        return true;
    }();
    (void)quiet;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto dictionary = QVToolbox::jsonToDictionary(text);
    if (!dictionary) return 0;
    const auto json = QVToolbox::toJSON(*dictionary);
    if (!json) std::abort();  // what was read is always writable
    const auto again = QVToolbox::jsonToDictionary(*json);
    if (!again || platform::Any(*again) != platform::Any(*dictionary)) std::abort();
    (void)QVToolbox::toSortedURLQuery(*dictionary);
    return 0;
}
