#include "IncludeRules.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <regex>
#include <string_view>

namespace layout {

namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 10> kPlatformLayers = {
    "base", "runtime", "dispatch", "foundation", "crypto", "security", "graphics", "layers", "ui", "media"};
constexpr std::array<std::string_view, 3> kLibraries = {"QVPlatform", "QVToolbox", "QVResource"};

std::optional<std::size_t> layerIndex(std::string_view folder) {
    const auto it = std::find(kPlatformLayers.begin(), kPlatformLayers.end(), folder);
    if (it == kPlatformLayers.end()) return std::nullopt;
    return static_cast<std::size_t>(it - kPlatformLayers.begin());
}

// "QVPlatform/base/Any.h" → {"QVPlatform", "base"}; a file at a library's top has no folder.
struct Place {
    std::string library;
    std::string folder;
};

Place placeOf(const std::string& path) {
    const auto first = path.find('/');
    if (first == std::string::npos) return {path, ""};
    const auto second = path.find('/', first + 1);
    if (second == std::string::npos) return {path.substr(0, first), ""};
    return {path.substr(0, first), path.substr(first + 1, second - first - 1)};
}

// Why `from` may not include `to`, or nothing when it may.
std::optional<std::string> ruleBroken(const Place& from, const Place& to) {
    const bool toKnownLibrary = std::find(kLibraries.begin(), kLibraries.end(), to.library) != kLibraries.end();
    if (!toKnownLibrary) return std::nullopt;  // system and third-party headers
    if (from.library == "QVPlatform") {
        if (to.library != "QVPlatform") return "the platform may not include " + to.library;
        const auto fromLayer = layerIndex(from.folder);
        const auto toLayer = layerIndex(to.folder);
        if (!fromLayer) return "folder '" + from.folder + "' is not in the platform's layer order";
        if (!toLayer) return "folder '" + to.folder + "' is not in the platform's layer order";
        if (*toLayer > *fromLayer) return from.folder + " may not include the later layer " + to.folder;
        return std::nullopt;
    }
    if (to.library == "QVPlatform" || to.library == from.library) {
        if (from.library == "QVToolbox" && from.folder == "core" && to.library == "QVToolbox" &&
            to.folder != "core") {
            return "QVToolbox/core may not name the subsystem " + to.folder;
        }
        return std::nullopt;
    }
    return from.library + " may not include " + to.library;
}

bool isSource(const fs::path& p) {
    const auto ext = p.extension().string();
    return ext == ".h" || ext == ".cpp" || ext == ".hpp" || ext == ".cc";
}

void checkFile(const fs::path& root, const fs::path& file, std::vector<Violation>& out) {
    static const std::regex include(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
    const std::string relative = fs::relative(file, root).generic_string();
    const Place from = placeOf(relative);
    std::ifstream in(file);
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        std::smatch m;
        if (!std::regex_search(text, m, include)) continue;
        const std::string target = m[1];
        if (auto why = ruleBroken(from, placeOf(target))) {
            out.push_back({relative, line, *why + " (" + target + ")"});
        }
    }
}

}  // namespace

std::vector<Violation> checkIncludeRules(const fs::path& root) {
    std::vector<Violation> violations;
    for (const auto library : kLibraries) {
        const auto dir = root / library;
        if (!fs::is_directory(dir)) continue;
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            if (entry.is_regular_file() && isSource(entry.path())) files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const auto& f : files) checkFile(root, f, violations);
    }
    return violations;
}

}  // namespace layout
