// PropertyList: the platform's XML property lists, to and from platform::Any.
//
//   auto xml = PropertyList::writeXML(Any::Dictionary{{"name", "QV"}, {"count", 3}});
//   // <?xml ...?><!DOCTYPE plist ...><plist version="1.0"><dict><key>count</key>...
//   PropertyList::readXML(*xml).value()["count"].integerValue();   // 3
//
// Kinds map one to one: dict <-> Dictionary, array <-> List, string <-> text, integer <->
// integer, real <-> double, true/false <-> bool, date <-> Date (whole seconds, UTC), data <->
// Data (Base64). Null and platform objects have no property-list form.
//
// Reading is safe with any input: no network access, no external DTD, no entity
// expansion (a document that uses its own entities is rejected), nesting limited to 256
// levels. Thread rule: pure functions, callable from any thread.
#pragma once

#include <QVPlatform/base/Any.h>

#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct PropertyList {
    // Parses an XML property list (<plist version="1.0"> with dict/array/string/integer/real/
    // true/false/date/data; a bare value element without the <plist> wrapper is accepted too).
    // Absent on malformed XML, unknown elements, a key without a value, an integer outside the
    // 64-bit range, a bad date or bad Base64.
    static std::optional<Any> readXML(std::string_view bytes);

    // Writes the platform's XML form: XML declaration, DOCTYPE, tab indentation, ISO 8601
    // dates ("2024-01-02T03:04:05Z", fractions of a second dropped), Base64 data. Absent when
    // the value holds something a property list cannot: null, a platform object, text that is
    // not valid UTF-8, or characters XML 1.0 cannot carry (control characters other than tab,
    // line feed and carriage return; U+FFFE, U+FFFF), since such a file could never be read back.
    static std::optional<std::string> writeXML(const Any& value);

    // True when the bytes start like an XML property list (after an optional UTF-8 byte-order
    // mark and white space: "<?xml", "<plist" or "<!DOCTYPE plist").
    static bool looksLikeXML(std::string_view bytes);
};

}  // namespace platform
