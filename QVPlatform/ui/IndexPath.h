// IndexPath: the place of an item (or a table row) in a sectioned list.
//
//   IndexPath path(3, 0);                      // item 3 of section 0
//   path.item();  path.row();                  // 3, 3: a row is an item by its table name
//   IndexPath(9, 0) < IndexPath(0, 1);         // true: sections first, then items
//
// A value type, ordered by section and then by item. Thread rule: values.
#pragma once

#include <QVPlatform/base/NSRange.h>

#include <compare>

namespace platform {

class IndexPath {
public:
    constexpr IndexPath() = default;
    constexpr IndexPath(NSInteger item, NSInteger section) : section_(section), item_(item) {}

    constexpr NSInteger item() const { return item_; }
    constexpr NSInteger row() const { return item_; }
    constexpr NSInteger section() const { return section_; }

    // Member order makes the default comparison sections first.
    friend constexpr auto operator<=>(const IndexPath&, const IndexPath&) = default;

private:
    NSInteger section_ = 0;
    NSInteger item_ = 0;
};

}  // namespace platform
