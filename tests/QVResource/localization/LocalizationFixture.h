// A main bundle laid out in a temporary folder, the host pointed at it with a chosen system
// language, and the language keys cleared; everything restored afterwards.
#pragma once

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/foundation/UserDefaults.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVResource/localization/QVLocalized.h>

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace qvtest {

inline void writeFile(const std::filesystem::path& path, std::string_view text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A PNG `width` pixels wide and 1 high, so a test can tell which file was found.
inline void writePng(const std::filesystem::path& path, int width) {
    const auto bytes = platform::encodePNG(platform::Bitmap::make(width, 1));
    ASSERT_TRUE(bytes);
    writeFile(path, bytes->view());
}

class LocalizationTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = std::filesystem::path(folder.folder) / "App.app";
        std::filesystem::create_directories(root);
        writeFile(root / "Info.plist",
                  "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key>"
                  "<string>com.example.localization</string></dict></plist>");
        useSystemLanguages({"en-US"});
        clearLanguageKeys();
        refreshRegistry();
    }
    void TearDown() override {
        clearLanguageKeys();
        platform::NSUserDefaults::standardUserDefaults().synchronize();  // nothing left for exit
        platform::Host::configure({});
    }

    void useSystemLanguages(std::vector<std::string> languages) {
        platform::Host::configure({.mainBundlePath = root, .preferredLanguages = std::move(languages)});
    }
    // Empty folders NAME.lproj in the main bundle.
    void localize(std::initializer_list<const char*> names) {
        for (const char* name : names) std::filesystem::create_directories(root / (std::string(name) + ".lproj"));
    }
    // Modules registered by earlier tests are rebuilt against this test's bundle.
    static void refreshRegistry() {
        for (const auto& entry : QVResource::QVLocalized::localizedResourceMap()) {
            QVResource::QVLocalized::registerBundle(entry.first);
        }
    }
    static void clearLanguageKeys() {
        auto& defaults = platform::NSUserDefaults::standardUserDefaults();
        defaults.removeObjectForKey("QVSCurrentLanguageKey");
        defaults.removeObjectForKey("QVSFollowSystemLanguageKey");
        defaults.removeObjectForKey("selectedTheme");
    }

    TemporaryFolder folder{"qv-localization"};
    std::filesystem::path root;
};

}  // namespace qvtest
