// NSRange: a location and a length, both counting UTF-16 code units when they refer to text.
//
//   NSRange r{2, 3};      // units 2, 3 and 4
//   r.max();              // 5
//   NSRange{NSNotFound, 0} marks "nothing found".
#pragma once

#include <cstdint>
#include <limits>

namespace platform {

using NSUInteger = std::uint64_t;
using NSInteger = std::int64_t;
inline constexpr NSUInteger NSNotFound = static_cast<NSUInteger>(std::numeric_limits<NSInteger>::max());

struct NSRange {
    NSUInteger location = 0;
    NSUInteger length = 0;

    constexpr NSUInteger max() const { return location + length; }
    constexpr bool contains(NSUInteger index) const { return index >= location && index - location < length; }
    friend constexpr bool operator==(NSRange, NSRange) = default;
};

inline constexpr NSRange NSMakeRange(NSUInteger location, NSUInteger length) { return NSRange{location, length}; }

}  // namespace platform
