// Base64 (RFC 4648 section 4) for the property-list and JSON code of the foundation. Not API.
#pragma once

#include <QVPlatform/base/Data.h>

#include <optional>
#include <string>
#include <string_view>

namespace platform::detail {

// The standard alphabet with padding, on one line.
std::string base64Encode(const Data& data);
// Decodes standard Base64, ignoring ASCII white space anywhere. Absent for other characters
// outside the alphabet, misplaced padding or a length that is not a multiple of four.
std::optional<Data> base64Decode(std::string_view text);

}  // namespace platform::detail
