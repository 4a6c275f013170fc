// Whether a shared library is mapped into this process, read from /proc/self/maps: for the
// tests that check a dependency is opened only when first needed.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace qvtest {

// True when a mapped file's path contains `soname` (e.g. "libcurl.so").
inline bool isMapped(const std::string& soname) {
    std::ifstream maps("/proc/self/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    return text.find(soname) != std::string::npos;
}

}  // namespace qvtest
