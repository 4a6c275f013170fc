// qvtool's core groups: info, clock, version-newer and demo.
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <filesystem>
#include <fstream>

using qvtest::answers;
using qvtest::refuses;
using qvtest::runTool;

TEST(QvtoolInfo, PrintsThePlatformProfile) {
    const auto r = runTool({"info"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("screen: ")) << r.out;
    EXPECT_NE(r.out.find("\nhome folder: "), std::string::npos);
}

TEST(QvtoolClock, SecondsAsClockTextWithinA64BitCount) {
    EXPECT_TRUE(answers({"clock", "3725"}, "01:02:05\n"));
    EXPECT_TRUE(answers({"clock", "125", "--ignore-zero-hour"}, "02:05\n"));
    EXPECT_TRUE(answers({"clock", "59.9"}, "00:00:59\n"));
    EXPECT_TRUE(answers({"clock", "-1"}, "-00:00:01\n"));
    EXPECT_TRUE(answers({"clock", "-3725.5", "--ignore-zero-hour"}, "-01:02:05\n"));
    EXPECT_TRUE(answers({"clock", "9.2e18"}, "2555555555555555:33:20\n"));
    EXPECT_TRUE(refuses({"clock", "abc"}, "clock: SECONDS 'abc' is not a number"));
    EXPECT_TRUE(refuses({"clock", "nan"}, "is not a number"));
    EXPECT_TRUE(refuses({"clock", "inf"}, "is not a number"));
    EXPECT_TRUE(refuses({"clock", "0x10"}, "is not a number"));
    EXPECT_TRUE(refuses({"clock", "1e300"}, "beyond the range of a 64-bit count of seconds"));
    EXPECT_TRUE(refuses({"clock", "-9223372036854775808"}, "beyond the range of a 64-bit count of seconds"));
}

TEST(QvtoolVersionNewer, ComparesDottedVersionsOfThreeNumbers) {
    EXPECT_TRUE(answers({"version-newer", "1.2.3", "--app-version", "1.2.2"}, "true\n"));
    EXPECT_TRUE(answers({"version-newer", "1.2.3", "--app-version", "1.2.3"}, "false\n"));
    EXPECT_TRUE(answers({"version-newer", "1.10.0", "--app-version", "1.9.9"}, "true\n"));
    EXPECT_TRUE(refuses({"version-newer", "2.0", "--app-version", "1.2.3"}, "VERSION '2.0' is not a dotted version"));
    EXPECT_TRUE(refuses({"version-newer", "1.2.x"}, "VERSION '1.2.x' is not a dotted version"));
    EXPECT_TRUE(refuses({"version-newer", "1.2.3.4"}, "is not a dotted version"));
    EXPECT_TRUE(refuses({"version-newer", "1..3"}, "is not a dotted version"));
    EXPECT_TRUE(refuses({"version-newer", "1.2.99999999999999999999"}, "is not a dotted version"));
    EXPECT_TRUE(refuses({"version-newer", "1.2.3", "--app-version", "1.2"}, "--app-version '1.2' is not a dotted version"));
}

TEST(QvtoolDemo, WritesOnlyIntoItsOwnFolderAndRefusesOthers) {
    namespace fs = std::filesystem;
    const qvtest::TemporaryFolder work;
    const auto first = runTool({"demo", "out"}, {}, work.folder);
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_TRUE(first.out.starts_with("== Core frame ==\n"));
    EXPECT_NE(first.out.find("demo finished; files are under out/\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(work.folder + "/out/data/settings.plist"));
    EXPECT_TRUE(fs::exists(work.folder + "/out/.qvtool-demo"));
    EXPECT_TRUE(fs::exists(work.folder + "/out/ui-sample.png"));
    EXPECT_EQ(runTool({"demo", "out"}, {}, work.folder).status, 0);  // its own output again

    // A file the demo did not make stops it, and stays.
    std::ofstream(work.folder + "/out/data/mine.txt") << "mine";
    EXPECT_EQ(runTool({"demo", "out"}, {}, work.folder).status, 2);
    EXPECT_TRUE(fs::exists(work.folder + "/out/data/mine.txt"));
    fs::create_directories(work.folder + "/home/data");
    std::ofstream(work.folder + "/home/data/notes.txt") << "notes";
    EXPECT_TRUE(refuses({"demo", work.folder + "/home"}, "holds data, which the demo did not make"));
    EXPECT_TRUE(fs::exists(work.folder + "/home/data/notes.txt"));
    fs::remove(work.folder + "/out/data/mine.txt");
    fs::remove_all(work.folder + "/out/data/copy");
    fs::create_directory_symlink(work.folder + "/home/data", work.folder + "/out/data/copy");
    EXPECT_TRUE(refuses({"demo", work.folder + "/out"}, "holds data/copy, which the demo did not make"));
    EXPECT_TRUE(fs::exists(work.folder + "/home/data/notes.txt"));
    std::ofstream(work.folder + "/file") << "x";
    EXPECT_TRUE(refuses({"demo", work.folder + "/file"}, "is not a folder"));
}
