// qvtool's help pages and its answers to a command line it cannot parse.
#include "ToolRunner.h"

#include <fstream>
#include <sstream>

using qvtest::refuses;
using qvtest::runTool;

namespace {

// The block under "$ qvtool --help" in README.md, up to the closing fence.
std::string readmeHelpBlock() {
    std::ifstream in(QV_README_PATH);
    std::stringstream whole;
    whole << in.rdbuf();
    const std::string text = whole.str();
    const std::string start = "```\n$ qvtool --help\n";
    const auto begin = text.find(start);
    if (begin == std::string::npos) return {};
    const auto from = begin + start.size();
    return text.substr(from, text.find("```", from) - from);
}

}  // namespace

TEST(QvtoolHelp, ReadmeShowsExactlyWhatHelpPrints) {
    const auto help = runTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(readmeHelpBlock(), help.out);
    EXPECT_EQ(runTool({"help"}).out, help.out);
    EXPECT_EQ(runTool({"-h"}).out, help.out);
}

TEST(QvtoolHelp, ListsEachGroupOnOneLineAndEachGroupItsVerbs) {
    const auto help = runTool({"--help"}).out;
    for (const char* group : {"demo", "info", "clock", "version-newer", "digest", "cipher", "encode", "validate", "text",
                              "number", "file", "date", "json", "keychain", "gif", "timing", "darkmode", "color",
                              "image", "ui", "hud", "notice", "waterfall"}) {
        EXPECT_NE(help.find("\n  " + std::string(group) + " "), std::string::npos) << group;
        const auto own = runTool({group, "--help"});
        EXPECT_EQ(own.status, 0) << group;
        EXPECT_TRUE(own.out.starts_with("usage: qvtool " + std::string(group))) << own.out;
    }
    const auto hud = runTool({"hud", "--help"}).out;
    for (const char* verb : {"toast", "activity", "progress", "succeed", "failed", "added", "animate", "banner", "sheet"})
        EXPECT_NE(hud.find("\n  " + std::string(verb) + " "), std::string::npos) << verb;
    const auto number = runTool({"number", "--help"}).out;
    EXPECT_NE(number.find("\n  add A B "), std::string::npos) << number;
    EXPECT_NE(number.find("\n  tenthousand [--scale S] N "), std::string::npos) << number;
    const auto divide = runTool({"number", "divide", "--help"});
    EXPECT_EQ(divide.status, 0);
    EXPECT_TRUE(divide.out.starts_with("usage: qvtool number divide A B\n")) << divide.out;
    EXPECT_NE(divide.out.find("division by zero"), std::string::npos);
    EXPECT_TRUE(runTool({"digest", "sha256", "--help"}).out.starts_with("usage: qvtool digest sha256 [--upper] [--key KEY] TEXT\n"));
}

TEST(QvtoolHelp, ACommandLineThatDoesNotParseGetsOneLineAndStatus2) {
    EXPECT_TRUE(refuses({}, "a group is required"));
    EXPECT_TRUE(refuses({"nosuch"}, "unknown group 'nosuch'"));
    EXPECT_TRUE(refuses({"number"}, "number: a verb is required: add, subtract"));
    EXPECT_TRUE(refuses({"number", "frob"}, "unknown verb 'frob'"));
    EXPECT_TRUE(refuses({"number", "add", "1"}, "number add: B is required"));
    EXPECT_TRUE(refuses({"number", "add", "1", "2", "3"}, "not expected: 3"));
    EXPECT_TRUE(refuses({"digest", "md5"}, "digest md5: TEXT is required"));
    EXPECT_TRUE(refuses({"cipher", "encrypt", "--key", "k", "x"}, "--type is required"));
    EXPECT_TRUE(refuses({"number", "tenthousand", "5", "--scale"}, "--scale"));
    EXPECT_TRUE(refuses({"info", "extra"}, "not expected: extra"));
}
