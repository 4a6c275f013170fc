#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/foundation/Host.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace QVToolbox;

TEST(Version, ComparedAgainstTheApplication) {
    const auto bundle = std::filesystem::temp_directory_path() / "qv-version-test-bundle";
    std::filesystem::create_directories(bundle);
    std::ofstream(bundle / "Info.plist") << R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>CFBundleShortVersionString</key><string>1.2.0</string></dict></plist>)";
    platform::Host::configure({.mainBundlePath = bundle});
    EXPECT_EQ(applicationVersion(), "1.2.0");
    EXPECT_EQ(hx(std::string("1.2")).compare(), 0);
    EXPECT_EQ(hx(std::string("1.10")).compare(), 1);
    EXPECT_EQ(hx(std::string("1.2.0.1")).compare(), 1);
    EXPECT_EQ(hx(std::string("0.9.9")).compare(), -1);
    EXPECT_EQ(hx(std::string("")).compare(), -1);
    EXPECT_EQ(hx(std::string("..1..2..")).compare(), 0);
    EXPECT_TRUE(hx(std::string("1.3")).bigVersion());
    EXPECT_TRUE(hx(std::string("1.2")).bigEVersion());
    EXPECT_TRUE(hx(std::string("1.2")).smallEVersion());
    EXPECT_FALSE(hx(std::string("2")).smallEVersion());
    EXPECT_EQ(compareVersion("1.x", "1.0"), 0);  // a piece that does not read counts as 0
    platform::Host::configure({});
    std::filesystem::remove_all(bundle);
}
