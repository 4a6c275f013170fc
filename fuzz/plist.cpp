// XML property-list reader: any input either fails or yields a value whose written form
// reads back and writes again identically.
#include <QVPlatform/foundation/PropertyList.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using platform::PropertyList;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)PropertyList::looksLikeXML(bytes);
    const auto value = PropertyList::readXML(bytes);
    if (!value) return 0;
    const auto xml = PropertyList::writeXML(*value);
    if (!xml) return 0;  // e.g. a date beyond the writable range
    const auto again = PropertyList::readXML(*xml);
    if (!again) __builtin_trap();
    if (PropertyList::writeXML(*again) != xml) __builtin_trap();
    return 0;
}
