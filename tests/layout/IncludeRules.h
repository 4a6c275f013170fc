// The one-way include rules of the three libraries, checked over a source tree.
//
//   auto violations = checkIncludeRules("/path/to/checkout");
//   // each: "QVPlatform/base/Any.h:12: base may not include QVPlatform/dispatch/..."
//
// Inside QVPlatform a folder includes only itself and the folders before it in the layer
// order; QVToolbox and QVResource include QVPlatform and themselves, never each other;
// QVToolbox/core names no subsystem of the toolbox.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace layout {

struct Violation {
    std::string file;  // relative to the root
    int line = 0;
    std::string message;
};

std::vector<Violation> checkIncludeRules(const std::filesystem::path& root);

}  // namespace layout
