#include <QVToolbox/svg/SVGColor.h>

#include <QVToolbox/core/ResourceLookup.h>
#include <QVToolbox/svg/SVGNumber.h>

#include <QVPlatform/foundation/JSONSerialization.h>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

namespace QVToolbox {

namespace {

namespace fs = std::filesystem;
using platform::UIColor;

constexpr std::string_view kResource = "cssColorNames.json";

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The folder of the file this library was loaded from.
std::optional<fs::path> libraryFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&colorFromCSSName), &info) == 0 || !info.dli_fname) return std::nullopt;
    std::error_code error;
    const fs::path file = fs::canonical(info.dli_fname, error);
    if (error) return std::nullopt;
    return file.parent_path();
}

// Beside the library ("QVToolbox.bundle/" next to libQVToolbox.so, as installed and in the
// build tree), then in the application's QVToolbox bundle.
std::optional<fs::path> findResource() {
    std::error_code error;
    if (const auto folder = libraryFolder()) {
        const fs::path path = *folder / "QVToolbox.bundle" / kResource;
        if (fs::is_regular_file(path, error)) return path;
    }
    for (const auto& bundle : resourceBundles("QVToolbox")) {
        if (auto path = bundle->pathForResource("cssColorNames", "json")) return path;
    }
    return std::nullopt;
}

using NameTable = std::unordered_map<std::string, std::shared_ptr<UIColor>>;

NameTable loadNames() {
    NameTable table;
    const auto path = findResource();
    if (!path) return table;
    std::ifstream in(*path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const auto json = platform::JSONSerialization::jsonObject(bytes.str());
    const auto* dictionary = json ? json->asDictionary() : nullptr;
    if (!dictionary) return table;
    for (const auto& [name, value] : *dictionary) {
        if (!value.isString()) continue;
        if (auto color = colorFromHexString(value.string())) table.emplace(name, std::move(color));
    }
    return table;
}

const NameTable& names() {
    static const NameTable table = loadNames();
    return table;
}

// The "rgb"/"rgba" value list: three or four values (more are ignored); none when a piece
// does not read or fewer than three are given.
std::shared_ptr<UIColor> colorFromValueList(std::string_view list) {
    std::vector<double> values;
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view piece = trimSpacesAndTabs(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        if (piece.empty()) continue;
        const auto value = strictDouble(piece);
        if (!value) return nullptr;
        values.push_back(*value);
    }
    if (values.size() < 3) return nullptr;
    return UIColor::colorWithRed(values[0] / 255, values[1] / 255, values[2] / 255, values.size() >= 4 ? values[3] : 1);
}

}  // namespace

std::shared_ptr<UIColor> colorFromHexString(std::string_view text) {
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    int digits[8];
    if (text.size() != 3 && text.size() != 4 && text.size() != 6 && text.size() != 8) return nullptr;
    for (std::size_t i = 0; i < text.size(); ++i) {
        digits[i] = hexDigit(text[i]);
        if (digits[i] < 0) return nullptr;
    }
    double c[4] = {0, 0, 0, 1};
    if (text.size() <= 4) {
        for (std::size_t i = 0; i < text.size(); ++i) c[i] = digits[i] / 15.0;
    } else {
        for (std::size_t i = 0; i < text.size() / 2; ++i) c[i] = (digits[2 * i] * 16 + digits[2 * i + 1]) / 255.0;
    }
    return UIColor::colorWithRed(c[0], c[1], c[2], c[3]);
}

std::shared_ptr<UIColor> colorFromCSSName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    const auto& table = names();
    const auto found = table.find(lower);
    return found == table.end() ? nullptr : found->second;
}

std::size_t cssColorNameCount() { return names().size(); }

std::shared_ptr<UIColor> colorFromSVGString(std::string_view text) {
    if (text.starts_with('#')) return colorFromHexString(text);
    // "rgba(" ... ")" and "rgb(" ... ")": the prefix with its parenthesis and the last
    // character are cut off; a text too short for that gives no colour.
    for (const std::size_t prefix : {std::size_t{5}, std::size_t{4}}) {
        if (!text.starts_with(prefix == 5 ? "rgba" : "rgb")) continue;
        if (text.size() < prefix + 1) return nullptr;
        return colorFromValueList(text.substr(prefix, text.size() - prefix - 1));
    }
    return colorFromCSSName(text);
}

}  // namespace QVToolbox
