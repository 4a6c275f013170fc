// Bundle: a folder of resources with an Info.plist, the platform's NSBundle.
//
//   auto bundle = Bundle::main();                          // Host::mainBundlePath()
//   bundle->bundleIdentifier();                            // "com.example.app" (Info.plist)
//   bundle->pathForResource("logo", "png");                // <resources>/logo.png, if present
//
// Layout: `bundlePath()/Info.plist`; resources in the bundle folder itself or, when it has
// one, its "Resources" subfolder; localized resources in `NAME.lproj` folders; data assets
// and image sets in asset catalogs (`Assets.xcassets/NAME.dataset/`, `NAME.imageset/`).
// A bundle reads its Info.plist once, when opened; resource lookups read the file system
// each time; strings tables are read once per bundle object and kept (see
// localizedStringForKey). Thread rule: bundles are immutable and may be used from any thread.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/URL.h>
#include <QVPlatform/foundation/StringsTable.h>
#include <QVPlatform/runtime/NSObject.h>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Bundle : public NSObjectSubclass<Bundle, NSObject, "NSBundle"> {
    struct Token {};

public:

    // The bundle at Host::mainBundlePath(), reopened when the host configures another path.
    // Never null: a missing folder gives a bundle without resources.
    static std::shared_ptr<Bundle> main();
    // The bundle at `path`, or null when `path` is not a folder.
    static std::shared_ptr<Bundle> atPath(const std::filesystem::path& path);

    Bundle(Token, std::filesystem::path path);

    const std::filesystem::path& bundlePath() const { return path_; }
    // The "Resources" subfolder when present, otherwise the bundle folder.
    std::filesystem::path resourcePath() const;
    // Info.plist parsed as a property list; empty when it is missing, does not parse or is not
    // a dictionary.
    const Any::Dictionary& infoDictionary() const { return info_; }
    // The Info.plist entry for `key`, or null.
    Any objectForInfoDictionaryKey(std::string_view key) const;
    // CFBundleIdentifier when it is a non-empty text.
    std::optional<std::string> bundleIdentifier() const;

    // The file or folder named `name` + "." + `extension` (or just `name` when the extension
    // is absent or empty: the name may carry its own extension), looked up in the resource
    // folder (or its `subdirectory`), then in the preferred localization's `.lproj` folder,
    // then in Base.lproj. Absent when none exists. Names never leave the bundle: a name or
    // subdirectory containing ".." finds nothing.
    std::optional<std::filesystem::path> pathForResource(std::string_view name,
                                                         std::optional<std::string_view> extension = std::nullopt,
                                                         std::optional<std::string_view> subdirectory = std::nullopt) const;
    std::optional<URL> urlForResource(std::string_view name, std::optional<std::string_view> extension = std::nullopt,
                                      std::optional<std::string_view> subdirectory = std::nullopt) const;

    // Names of the `NAME.lproj` folders in the resource folder, sorted ("Base", "en", "zh-Hans").
    std::vector<std::string> localizations() const;
    // The localizations of this bundle that best match Host::preferredLanguages(), best first:
    // for each preferred language, the first of its exact tag and its shorter prefixes
    // ("zh-Hans-CN", "zh-Hans", "zh") that the bundle has (case and "_"/"-" ignored). When none
    // matches: CFBundleDevelopmentRegion if the bundle has it, else "en", else the first
    // localization other than Base. Empty when the bundle has no localizations.
    std::vector<std::string> preferredLocalizations() const;

    // The folder of the asset `name` of the given kind ("dataset", "imageset") in the
    // bundle's asset catalogs (`*.xcassets` in the resource folder, Assets.xcassets first;
    // groups inside a catalog are searched too). Absent when there is none.
    std::optional<std::filesystem::path> assetFolder(std::string_view name, std::string_view kind) const;
    // The bytes of the data asset `name`: the file its Contents.json names ("data" entries,
    // "filename"), or else the single file in the folder besides Contents.json.
    std::optional<Data> dataAsset(std::string_view name) const;

    // The text for `key` in the strings table `table` ("Localizable" when absent or empty),
    // the file pathForResource(table, "strings") finds. A key the table lacks gives `value`,
    // or the key itself when `value` is empty.
    std::string localizedStringForKey(std::string_view key, std::string_view value = {},
                                      std::optional<std::string_view> table = std::nullopt) const;
    // The strings table `table` of this bundle, read on first request and kept for the life of
    // the bundle object; empty when there is no such file or it does not parse.
    const StringsTable& stringsTable(std::string_view table) const;

private:
    std::filesystem::path path_;
    Any::Dictionary info_;
    mutable std::mutex tablesMutex_;  // guards tables_
    // Entries are never removed, so references handed out stay valid while the bundle lives.
    mutable std::map<std::string, std::unique_ptr<const StringsTable>, std::less<>> tables_;
};

}  // namespace platform
