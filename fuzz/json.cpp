// JSON reader: whatever reads must be writable, and its written form must read back equal.
#include <QVPlatform/foundation/JSONSerialization.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using platform::JSONSerialization;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)JSONSerialization::jsonObject(bytes);
    const auto value = JSONSerialization::jsonObject(bytes, {.fragmentsAllowed = true});
    if (!value) return 0;
    const auto text = JSONSerialization::data(*value, {.prettyPrinted = (size % 2) == 0, .fragmentsAllowed = true});
    if (!text) __builtin_trap();
    const auto again = JSONSerialization::jsonObject(*text, {.fragmentsAllowed = true});
    if (!again || !(*again == *value)) __builtin_trap();
    return 0;
}
