// Whole-file reading for the foundation's loaders (bundles, user defaults, images). Not API.
#pragma once

#include <QVPlatform/base/Data.h>

#include <filesystem>
#include <optional>

namespace platform::detail {

// The bytes of a regular file, or absent when it is missing, not a regular file, or unreadable.
std::optional<Data> readFile(const std::filesystem::path& path);

}  // namespace platform::detail
