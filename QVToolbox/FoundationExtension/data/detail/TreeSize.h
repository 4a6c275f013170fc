// The total size of the files below a folder, for fileOrDirectorySize.
#pragma once

#include <cstdint>
#include <string>

namespace QVToolbox::detail {

// Sum of the sizes of every non-folder entry at any depth below `folder` (links counted as
// links, never followed; unreadable subfolders count nothing).
std::uint64_t sizeOfFilesBelow(const std::string& folder);

}  // namespace QVToolbox::detail
