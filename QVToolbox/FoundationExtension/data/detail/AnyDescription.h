// The default text form of a value, as the file and query helpers print it: texts as they
// are, numbers in their shortest decimal form (2.0 -> "2", 0.1 -> "0.1"), true/false, lists as
// [1, "a"] and dictionaries as ["k": v] with quoted texts inside, "<null>" for null.
#pragma once

#include <QVPlatform/base/Any.h>

#include <string>

namespace QVToolbox::detail {

std::string describe(const platform::Any& value);
// The shortest decimal text that reads back as `value` ("inf", "-inf", "nan" otherwise).
std::string shortestDecimal(double value);

}  // namespace QVToolbox::detail
