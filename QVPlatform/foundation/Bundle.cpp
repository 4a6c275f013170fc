#include <QVPlatform/foundation/Bundle.h>

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/foundation/JSONSerialization.h>
#include <QVPlatform/foundation/PropertyList.h>
#include <QVPlatform/foundation/detail/ReadFile.h>

#include <algorithm>
#include <mutex>

namespace platform {

namespace fs = std::filesystem;

namespace {

bool pathExists(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

bool isFolder(const fs::path& path) {
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

// A relative name that stays inside the folder it is looked up in.
bool isContained(std::string_view name) {
    if (name.starts_with('/')) return false;
    for (const auto& part : fs::path(name)) {
        if (part == "..") return false;
    }
    return true;
}

// "zh_Hans-CN" -> "zh-hans-cn": the form in which language tags are compared.
std::string normalizedTag(std::string_view tag) {
    std::string out(tag);
    for (char& c : out) {
        if (c == '_') c = '-';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

Any::Dictionary readInfoDictionary(const fs::path& bundle) {
    const auto bytes = detail::readFile(bundle / "Info.plist");
    if (!bytes) return {};
    auto value = PropertyList::readXML(bytes->view());
    if (!value || !value->isDictionary()) return {};
    return std::move(*value->asDictionary());
}

}  // namespace

Bundle::Bundle(Token, fs::path path) : path_(std::move(path)), info_(readInfoDictionary(path_)) {}

std::shared_ptr<Bundle> Bundle::main() {
    // Never destroyed: exit handlers (the user defaults' final write) still ask for it.
    static auto* mutex = new std::mutex();  // guards cached
    static auto* cached = new std::shared_ptr<Bundle>();
    const fs::path path = Host::mainBundlePath();
    std::lock_guard lock(*mutex);
    if (!*cached || (*cached)->bundlePath() != path) *cached = std::make_shared<Bundle>(Token{}, path);
    return *cached;
}

std::shared_ptr<Bundle> Bundle::atPath(const fs::path& path) {
    if (path.empty() || !isFolder(path)) return nullptr;
    return std::make_shared<Bundle>(Token{}, path);
}

fs::path Bundle::resourcePath() const {
    const fs::path resources = path_ / "Resources";
    return isFolder(resources) ? resources : path_;
}

Any Bundle::objectForInfoDictionaryKey(std::string_view key) const {
    const auto it = info_.find(key);
    return it == info_.end() ? Any() : it->second;
}

std::optional<std::string> Bundle::bundleIdentifier() const {
    const Any identifier = objectForInfoDictionaryKey("CFBundleIdentifier");
    if (!identifier.isString() || identifier.string().empty()) return std::nullopt;
    return identifier.string();
}

std::optional<fs::path> Bundle::pathForResource(std::string_view name, std::optional<std::string_view> extension,
                                                std::optional<std::string_view> subdirectory) const {
    if (name.empty() || !isContained(name)) return std::nullopt;
    if (subdirectory && !isContained(*subdirectory)) return std::nullopt;
    std::string fileName(name);
    if (extension && !extension->empty()) {
        std::string_view ext = *extension;
        if (ext.starts_with('.')) ext.remove_prefix(1);
        fileName += '.';
        fileName += ext;
    }
    fs::path folder = resourcePath();
    if (subdirectory && !subdirectory->empty()) folder /= fs::path(*subdirectory);

    // Global resources first, then the preferred localization, then Base.
    if (const fs::path plain = folder / fileName; pathExists(plain)) return plain;
    std::vector<std::string> languages = preferredLocalizations();
    languages.push_back("Base");
    for (const auto& language : languages) {
        if (const fs::path localized = folder / (language + ".lproj") / fileName; pathExists(localized)) return localized;
    }
    return std::nullopt;
}

std::optional<URL> Bundle::urlForResource(std::string_view name, std::optional<std::string_view> extension,
                                          std::optional<std::string_view> subdirectory) const {
    auto path = pathForResource(name, extension, subdirectory);
    if (!path) return std::nullopt;
    return URL::fileURLWithPath(*path);
}

std::vector<std::string> Bundle::localizations() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(resourcePath(), error)) {
        const fs::path& p = entry.path();
        std::error_code ignored;
        if (p.extension() == ".lproj" && entry.is_directory(ignored)) names.push_back(p.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Bundle::preferredLocalizations() const {
    const std::vector<std::string> available = localizations();
    if (available.empty()) return {};
    auto find = [&](std::string_view tag) -> std::optional<std::string> {
        const std::string wanted = normalizedTag(tag);
        for (const auto& name : available) {
            if (normalizedTag(name) == wanted) return name;
        }
        return std::nullopt;
    };
    std::vector<std::string> result;
    for (const auto& language : Host::preferredLanguages()) {
        std::string tag = language;
        for (;;) {
            if (auto match = find(tag); match && normalizedTag(*match) != "base") {
                if (std::find(result.begin(), result.end(), *match) == result.end()) result.push_back(*match);
                break;
            }
            const std::size_t cut = tag.find_last_of("-_");
            if (cut == std::string::npos) break;
            tag.resize(cut);
        }
    }
    if (!result.empty()) return result;
    const Any development = objectForInfoDictionaryKey("CFBundleDevelopmentRegion");
    if (development.isString()) {
        if (auto match = find(development.string())) return {*match};
    }
    if (auto english = find("en")) return {*english};
    for (const auto& name : available) {
        if (name != "Base") return {name};
    }
    return {};
}

std::optional<fs::path> Bundle::assetFolder(std::string_view name, std::string_view kind) const {
    if (name.empty() || !isContained(name)) return std::nullopt;
    const std::string folderName = std::string(name) + "." + std::string(kind);
    std::vector<fs::path> catalogs;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(resourcePath(), error)) {
        std::error_code ignored;
        if (entry.path().extension() == ".xcassets" && entry.is_directory(ignored)) catalogs.push_back(entry.path());
    }
    std::sort(catalogs.begin(), catalogs.end(), [](const fs::path& a, const fs::path& b) {
        const bool aMain = a.filename() == "Assets.xcassets", bMain = b.filename() == "Assets.xcassets";
        return aMain != bMain ? aMain : a < b;
    });
    for (const auto& catalog : catalogs) {
        if (const fs::path direct = catalog / folderName; isFolder(direct)) return direct;
    }
    // Groups: folders inside a catalog that are not assets themselves.
    for (const auto& catalog : catalogs) {
        std::error_code walkError;
        for (auto it = fs::recursive_directory_iterator(catalog, walkError); it != fs::recursive_directory_iterator();
             it.increment(walkError)) {
            if (walkError) break;
            std::error_code ignored;
            if (!it->is_directory(ignored)) continue;
            if (it->path().filename() == folderName) return it->path();
            const auto ext = it->path().extension().string();
            if (!ext.empty() && ext.ends_with("set")) it.disable_recursion_pending();
            if (it.depth() > 8) it.disable_recursion_pending();
        }
    }
    return std::nullopt;
}

std::optional<Data> Bundle::dataAsset(std::string_view name) const {
    const auto folder = assetFolder(name, "dataset");
    if (!folder) return std::nullopt;
    if (const auto contents = detail::readFile(*folder / "Contents.json")) {
        if (const auto json = JSONSerialization::jsonObject(contents->view())) {
            if (const auto* entries = (*json)["data"].asList()) {
                for (const auto& entry : *entries) {
                    const std::string& file = entry["filename"].string();
                    if (file.empty() || file.find('/') != std::string::npos || file == "..") continue;
                    if (auto bytes = detail::readFile(*folder / file)) return bytes;
                }
            }
        }
    }
    std::optional<fs::path> single;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(*folder, error)) {
        std::error_code ignored;
        if (!entry.is_regular_file(ignored) || entry.path().filename() == "Contents.json") continue;
        if (single) return std::nullopt;  // several files and no Contents.json to choose
        single = entry.path();
    }
    if (!single) return std::nullopt;
    return detail::readFile(*single);
}

const StringsTable& Bundle::stringsTable(std::string_view table) const {
    {
        std::lock_guard lock(tablesMutex_);
        if (const auto it = tables_.find(table); it != tables_.end()) return *it->second;
    }
    // Read outside the lock; when another thread stored the table meanwhile, its copy stays.
    const auto path = pathForResource(table, "strings");
    auto read = std::make_unique<const StringsTable>(path ? StringsTable::readFile(*path) : StringsTable());
    std::lock_guard lock(tablesMutex_);
    return *tables_.try_emplace(std::string(table), std::move(read)).first->second;
}

std::string Bundle::localizedStringForKey(std::string_view key, std::string_view value,
                                          std::optional<std::string_view> table) const {
    const std::string_view name = table && !table->empty() ? *table : std::string_view("Localizable");
    if (const std::string* found = stringsTable(name).find(key)) return *found;
    return std::string(value.empty() ? key : value);
}

}  // namespace platform
