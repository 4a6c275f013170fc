// A fresh folder under /tmp, removed with everything in it when the object goes.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace qvtest {

struct TemporaryFolder {
    std::string folder;
    explicit TemporaryFolder(const std::string& prefix = "qv-test") {
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        folder = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
};

}  // namespace qvtest
