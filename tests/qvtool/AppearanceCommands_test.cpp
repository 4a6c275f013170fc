// qvtool's color, image and darkmode groups.
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <QVPlatform/graphics/ImageCodec.h>

#include <filesystem>
#include <fstream>

using qvtest::answers;
using qvtest::refuses;
using qvtest::runTool;

TEST(ColorCommand, ReadsHexTextsAndRefusesShortOnes) {
    EXPECT_TRUE(answers({"color", "hex", "0xff8000"}, "red 255\ngreen 128\nblue 0\nalpha 255\nhex #FF8000\n"));
    EXPECT_TRUE(answers({"color", "hex", "#3C9DF0", "--alpha", "0.5"},
                        "red 60\ngreen 157\nblue 240\nalpha 128\nhex #3C9DF07F\n"));
    const auto shortText = runTool({"color", "hex", "0x#FFF"});
    EXPECT_EQ(shortText.status, 1);
    EXPECT_TRUE(refuses({"color", "hex", "#FF8000", "--alpha", "x"}, "--alpha"));
}

TEST(ImageCommand, TypesByFirstByteAndCompressesToTheBudget) {
    qvtest::TemporaryFolder folder;
    const std::string gif = folder.folder + "/a.bin";
    std::ofstream(gif, std::ios::binary) << "GIF89a";
    EXPECT_TRUE(answers({"image", "type", gif}, "gif\n"));
    const std::string tiff = folder.folder + "/b.bin";
    std::ofstream(tiff, std::ios::binary) << "MM\x00\x2a";
    EXPECT_TRUE(answers({"image", "type", tiff}, "tiff\n"));

    auto bitmap = platform::Bitmap::make(800, 600);
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            auto* p = bitmap.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 255 / 800);
            p[1] = static_cast<std::uint8_t>((x * y) % 251);
            p[2] = static_cast<std::uint8_t>(y * 255 / 600);
            p[3] = 255;
        }
    }
    const std::string png = folder.folder + "/in.png";
    const auto encoded = platform::encodePNG(bitmap);
    std::ofstream(png, std::ios::binary).write(reinterpret_cast<const char*>(encoded->bytes()),
                                               static_cast<std::streamsize>(encoded->count()));
    const std::string out = folder.folder + "/out.jpg";
    const auto r = runTool({"image", "compress", png, "-o", out, "--mode", "other:400:20000"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("target 400x300\nbudget 20000\n"), std::string::npos) << r.out;
    std::ifstream written(out, std::ios::binary | std::ios::ate);
    EXPECT_GT(written.tellg(), 0);
    EXPECT_LE(written.tellg(), 20000);

    EXPECT_TRUE(refuses({"image", "compress", png, "-o", out, "--mode", "tiny"}, "--mode"));
    EXPECT_EQ(runTool({"image", "compress", gif, "-o", out}).status, 1);
}

namespace {

// A home folder whose user defaults hold `entries` (plist XML inside the top dictionary).
std::string homeWithDefaults(const qvtest::TemporaryFolder& folder, const std::string& entries) {
    const auto preferences = std::filesystem::path(folder.folder) / "Library/Preferences";
    std::filesystem::create_directories(preferences);
    std::ofstream(preferences / "com.qvtoolbox.app.plist")
        << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>" << entries << "</dict></plist>";
    return "QV_HOME=" + folder.folder;
}

}  // namespace

TEST(DarkModeCommand, TellsDarkOrLightByThePeriodIncludingPastMidnight) {
    EXPECT_TRUE(answers({"darkmode", "at", "03:00"}, "dark\n"));  // the default 21:00~8:00
    EXPECT_TRUE(answers({"darkmode", "at", "8:01"}, "light\n"));
    EXPECT_TRUE(answers({"darkmode", "at", "22:30", "--period", "21:00~8:00"}, "dark\n"));
    EXPECT_TRUE(answers({"darkmode", "at", "12:00", "--period", "08:00~18:00"}, "dark\n"));
    EXPECT_TRUE(answers({"darkmode", "at", "22:00", "--period", "08:00~18:00"}, "light\n"));
    EXPECT_TRUE(answers({"darkmode", "at", "9:00", "--period", "9:00~9:00"}, "light\n"));
    EXPECT_TRUE(refuses({"darkmode", "at", "24:00"}, "HH:MM '24:00'"));
    EXPECT_TRUE(refuses({"darkmode", "at", "3:00", "--period", "21:00"}, "--period '21:00'"));

    qvtest::TemporaryFolder folder;
    const auto home = homeWithDefaults(folder, "<key>HxSmartPeelingTimeIntervalKey</key><string>08:00~18:00</string>");
    EXPECT_TRUE(answers({"darkmode", "at", "12:00"}, "dark\n", {}, {home}));
    EXPECT_TRUE(answers({"darkmode", "at", "03:00"}, "light\n", {}, {home}));
    qvtest::TemporaryFolder broken;
    const auto unparsable = homeWithDefaults(broken, "<key>HxSmartPeelingTimeIntervalKey</key><string>25:00~8:00</string>");
    EXPECT_TRUE(answers({"darkmode", "at", "03:00"}, "light\n", {}, {unparsable}));
}

TEST(DarkModeCommand, StatusShowsTheStoredModeAndTheAppearance) {
    EXPECT_TRUE(answers({"darkmode", "status"}, "mode follow-system\nperiod 21:00~8:00\nappearance dark\n", {},
                        {"QV_APPEARANCE=dark"}));
    qvtest::TemporaryFolder folder;
    const auto home = homeWithDefaults(folder, "<key>HxDarkToSystemKey</key><false/><key>HxLightDarkKey</key><false/>"
                                               "<key>HxSmartPeelingTimeIntervalKey</key><string>8:00</string>");
    EXPECT_TRUE(answers({"darkmode", "status"},
                        "mode manual\nperiod 8:00 (does not parse: never dark)\nappearance dark\n", {}, {home}));
}
