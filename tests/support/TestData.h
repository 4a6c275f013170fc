// The bytes of a file under tests/data/ (found fuzz inputs and other fixtures): QV_TEST_DATA
// names the folder under ctest; beside the sources when a test binary is run by hand. Empty
// when the file cannot be read.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace qvtest {

inline std::string readTestData(const std::string& relative) {
    const char* dir = std::getenv("QV_TEST_DATA");
    const std::filesystem::path data = dir ? std::filesystem::path(dir) : std::filesystem::path(__FILE__).parent_path() / "../data";
    std::ifstream in(data / relative, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace qvtest
