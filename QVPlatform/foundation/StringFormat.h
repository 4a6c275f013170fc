// StringFormat: the platform's String(format:) and String(format:arguments:), safe for
// formats that come from outside (translations).
//
//   stringWithFormat("%@ has %ld items", {"cart", 3});        // "cart has 3 items"
//   stringWithFormat("%2$@ %1$@", {"world", "hello"});         // "hello world"
//   stringWithFormat("50% off", {});                            // "50% off"
//
// Conversions: %@ %d %i %u %x %X %o %f %F %e %E %g %G %a %A %c %C %s %S and %%, with the
// length modifiers hh h l ll q L z t j, the flags "-+ #0'", a width and a precision (digits,
// "*" or "*m$") and positional arguments ("%1$@"). Numbers are written the same in every
// locale: "%f" always uses ".".
//
// Safety: arguments are values (platform::Any), never raw memory, so a format cannot read
// past its arguments or reinterpret bits:
// - a specifier without an argument (or not understood: "%n", "%p", "% k") is copied as
//   written, and consumes nothing ("50% off" survives);
// - an argument of another kind converts by value: integer <-> floating point, and anything
//   that is not a number is written as its description ("%d" with "five" gives "five");
// - "%@" and "%s" take any argument and write its description; widths and precisions above
//   4096 make the specifier invalid (copied as written), so output stays bounded.
// Integers print their whole 64-bit value; "h" and "hh" narrow as C does.
// Thread rule: a pure function, callable from any thread.
#pragma once

#include <QVPlatform/base/Any.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The text of `format` with its specifiers replaced by `arguments` (see above).
std::string stringWithFormat(std::string_view format, const std::vector<Any>& arguments = {});

// The text "%@" writes for a value: texts as they are, integers in decimal, doubles in their
// shortest exact form ("0.1", "3"), Booleans "1" or "0", null "(null)", objects their
// description, lists and dictionaries in the old-style property-list form.
std::string formatDescription(const Any& value);

}  // namespace platform
