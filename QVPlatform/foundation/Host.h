// Host: how the host application configures the platform: its main bundle folder, its home
// folder, its preferred languages and locale.
//
//   platform::Host::configure({.mainBundlePath = "/opt/app", .homePath = "/var/lib/app"});
//   platform::Host::homeDirectory();     // "/var/lib/app"
//   platform::Host::preferredLanguages(); // {"zh-Hans-CN", "en"}
//
// Unset fields come from the environment: QV_MAIN_BUNDLE (default: the folder of the running
// executable), QV_HOME (default: $HOME/.local/share/QVToolbox), QV_LANGUAGES (a comma list,
// default: derived from LANG, then "en"), QV_LOCALE (default: from LANG, "en_US" when unset or
// "C"). Configure once at start-up, before other threads use the platform; reads are
// thread-safe.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct HostConfiguration {
    std::optional<std::filesystem::path> mainBundlePath;
    std::optional<std::filesystem::path> homePath;
    std::optional<std::vector<std::string>> preferredLanguages;
    std::optional<std::string> localeIdentifier;
};

class Host {
public:
    // Replaces the configuration; unset fields fall back to the environment.
    static void configure(const HostConfiguration& configuration);

    static std::filesystem::path mainBundlePath();
    static std::filesystem::path homeDirectory();
    // The same folder as text: cheaper for callers that check it on every call.
    static std::string homeDirectoryText();
    // Whether `text` is homeDirectoryText(), found without making a string: the cheapest
    // check for callers that check on every call.
    static bool isHomeDirectoryText(std::string_view text);
    // BCP 47 tags, most preferred first ("zh-Hans-CN", "en-US").
    static std::vector<std::string> preferredLanguages();
    // ICU-style identifier of the current locale ("zh_CN", "en_US").
    static std::string localeIdentifier();

    // Standard folders under the home folder, created on first request.
    static std::filesystem::path documentsDirectory();  // Documents
    static std::filesystem::path libraryDirectory();    // Library
    static std::filesystem::path cachesDirectory();     // Library/Caches
    static std::filesystem::path preferencesDirectory();  // Library/Preferences
    static std::filesystem::path temporaryDirectory();  // tmp
};

// The language tag of a POSIX locale name: "zh_CN.UTF-8" gives "zh-CN"; "C" gives nothing.
std::optional<std::string> languageTagFromPosixLocale(const std::string& posix);

}  // namespace platform
