// XML property-list reader and writer: any input either fails or yields a value whose written
// form reads back and writes again identically; and every date the writer accepts (the first
// eight bytes taken as seconds since 1970) reads back as the same whole second.
#include <QVPlatform/foundation/PropertyList.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

// What we write we must read: a date written alone reads back, truncated to the second.
void checkDateRoundTrip(const std::uint8_t* data, std::size_t size) {
    using platform::PropertyList;
    if (size < sizeof(double)) return;
    double seconds = 0;
    std::memcpy(&seconds, data, sizeof seconds);
    const platform::Date date(seconds);
    const auto xml = PropertyList::writeXML(platform::Any(date));
    if (!xml) return;  // no property-list form (not finite, or millions of years away)
    const auto again = PropertyList::readXML(*xml);
    if (!again || !again->asDate()) __builtin_trap();
    if (again->asDate()->timeIntervalSince1970() != std::floor(seconds)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using platform::PropertyList;
    checkDateRoundTrip(data, size);
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
