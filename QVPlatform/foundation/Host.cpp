#include <QVPlatform/foundation/Host.h>

#include <cstdlib>
#include <mutex>
#include <sstream>

namespace platform {

namespace {

// Never destroyed, so that exit handlers may still read the configuration.
std::mutex& configurationMutex = *new std::mutex();  // guards configured
HostConfiguration& configured = *new HostConfiguration();

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

HostConfiguration snapshot() {
    std::lock_guard lock(configurationMutex);
    return configured;
}

std::filesystem::path ensured(std::filesystem::path path) {
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
    return path;
}

std::string posixLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (auto v = environment(name)) return *v;
    }
    return "";
}

}  // namespace

std::optional<std::string> languageTagFromPosixLocale(const std::string& posix) {
    std::string name = posix.substr(0, posix.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") return std::nullopt;
    for (auto& c : name) {
        if (c == '_') c = '-';
    }
    return name;
}

void Host::configure(const HostConfiguration& configuration) {
    std::lock_guard lock(configurationMutex);
    configured = configuration;
}

std::filesystem::path Host::mainBundlePath() {
    if (auto p = snapshot().mainBundlePath) return *p;
    if (auto v = environment("QV_MAIN_BUNDLE")) return *v;
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : exe.parent_path();
}

std::filesystem::path Host::homeDirectory() { return homeDirectoryText(); }

namespace {

// Calls use(text) with the home folder's text: the configured folder (under the lock, so it
// cannot change meanwhile) or QV_HOME read in place, else a folder made from HOME or the
// temporary folder.
template <class Use>
auto withHomeDirectoryText(Use&& use) {
    {
        std::lock_guard lock(configurationMutex);
        if (configured.homePath) return use(std::string_view(configured.homePath->native()));
    }
    if (const char* v = std::getenv("QV_HOME"); v && *v) return use(std::string_view(v));
    if (auto home = environment("HOME")) return use((std::filesystem::path(*home) / ".local/share/QVToolbox").native());
    return use((std::filesystem::temp_directory_path() / "QVToolbox").native());
}

}  // namespace

std::string Host::homeDirectoryText() {
    return withHomeDirectoryText([](std::string_view text) { return std::string(text); });
}

bool Host::isHomeDirectoryText(std::string_view text) {
    return withHomeDirectoryText([&](std::string_view home) { return home == text; });
}

std::vector<std::string> Host::preferredLanguages() {
    if (auto p = snapshot().preferredLanguages) return *p;
    std::vector<std::string> languages;
    if (auto v = environment("QV_LANGUAGES")) {
        std::stringstream list(*v);
        std::string item;
        while (std::getline(list, item, ',')) {
            if (!item.empty()) languages.push_back(item);
        }
    }
    if (languages.empty()) {
        // GNU LANGUAGE: a colon list of POSIX names, most preferred first.
        if (auto v = environment("LANGUAGE")) {
            std::stringstream list(*v);
            std::string item;
            while (std::getline(list, item, ':')) {
                if (auto tag = languageTagFromPosixLocale(item)) languages.push_back(*tag);
            }
        }
    }
    if (languages.empty()) {
        if (auto tag = languageTagFromPosixLocale(posixLocale())) languages.push_back(*tag);
    }
    if (languages.empty()) languages.push_back("en");
    return languages;
}

std::string Host::localeIdentifier() {
    if (auto p = snapshot().localeIdentifier) return *p;
    if (auto v = environment("QV_LOCALE")) return *v;
    const std::string posix = posixLocale();
    std::string name = posix.substr(0, posix.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") return "en_US";
    return name;
}

std::filesystem::path Host::documentsDirectory() { return ensured(homeDirectory() / "Documents"); }
std::filesystem::path Host::libraryDirectory() { return ensured(homeDirectory() / "Library"); }
std::filesystem::path Host::cachesDirectory() { return ensured(homeDirectory() / "Library/Caches"); }
std::filesystem::path Host::preferencesDirectory() { return ensured(homeDirectory() / "Library/Preferences"); }
std::filesystem::path Host::temporaryDirectory() { return ensured(homeDirectory() / "tmp"); }

}  // namespace platform
