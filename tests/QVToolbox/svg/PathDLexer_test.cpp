#include <QVToolbox/svg/CoordinateLexer.h>
#include <QVToolbox/svg/PathDLexer.h>
#include <QVToolbox/svg/SVGNumber.h>

#include <support/TemporaryFolder.h>

#include <gtest/gtest.h>

#include <stdlib.h>

#include <clocale>
#include <cstdlib>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

using namespace QVToolbox;
using platform::CGPoint;

namespace {

// "M 10 20" per command: the letter of its record (upper case for absolute) and its numbers.
std::vector<std::string> commands(const std::string& d) {
    static const char letters[] = "MLHVCSQTZ";
    std::vector<std::string> out;
    for (const PathCommand& c : PathDLexer(d)) {
        char letter = letters[static_cast<int>(c.record())];
        if (c.pathType() == PathType::relative) letter = static_cast<char>(letter - 'A' + 'a');
        std::ostringstream line;
        line << letter;
        for (double v : c.coordinateBuffer()) line << ' ' << v;
        out.push_back(line.str());
    }
    return out;
}

// A builder that writes each call, for checking what commands draw.
struct Recorder {
    CGPoint current, start;
    std::vector<std::string> calls;
    static std::string text(CGPoint p) {
        std::ostringstream s;
        s << p.x << ',' << p.y;
        return s.str();
    }
    void moveToPoint(CGPoint p) {
        current = start = p;
        calls.push_back("move " + text(p));
    }
    void addLineToPoint(CGPoint p) {
        current = p;
        calls.push_back("line " + text(p));
    }
    void addCurveToPoint(CGPoint p, CGPoint c1, CGPoint c2) {
        current = p;
        calls.push_back("curve " + text(p) + " " + text(c1) + " " + text(c2));
    }
    void addQuadCurveToPoint(CGPoint p, CGPoint c) {
        current = p;
        calls.push_back("quad " + text(p) + " " + text(c));
    }
    void closePath() {
        current = start;
        calls.push_back("close");
    }
    CGPoint currentPoint() const { return current; }
};

std::vector<std::string> drawn(const std::string& d) {
    Recorder path;
    std::optional<PathCommand> previous;
    for (const PathCommand& c : PathDLexer(d)) {
        if (c.execute(path, previous ? &*previous : nullptr)) previous = c;
    }
    return path.calls;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(SVGNumberTest, ByteArrayReadsTheWholeTextLikeStrtodInTheCLocale) {
    EXPECT_EQ(doubleFromByteArray("2e-3"), 0.002);
    EXPECT_EQ(doubleFromByteArray("+5"), 5);
    EXPECT_EQ(doubleFromByteArray(" 7"), 7);  // strtod skips leading white space
    EXPECT_EQ(doubleFromByteArray("0x1p3"), 8);
    EXPECT_EQ(doubleFromByteArray(".5"), 0.5);
    EXPECT_TRUE(std::isinf(*doubleFromByteArray("inf")));
    EXPECT_TRUE(std::isinf(*doubleFromByteArray("1e999")));
    EXPECT_FALSE(doubleFromByteArray(""));
    EXPECT_FALSE(doubleFromByteArray("1 "));
    EXPECT_FALSE(doubleFromByteArray("10-20"));
    EXPECT_FALSE(doubleFromByteArray("2e"));
    EXPECT_FALSE(doubleFromByteArray(std::string_view("1\0", 2)));

    EXPECT_EQ(strictDouble("1.5e2"), 150);
    EXPECT_EQ(strictDouble("-.5"), -0.5);
    EXPECT_EQ(strictDouble("+2"), 2);
    for (const char* bad : {"", " 1", "1 ", "inf", "nan", "1e999", "0x10", "1e", ".", "-", "1.2.3", "5px"}) {
        EXPECT_FALSE(strictDouble(bad)) << bad;
    }
}

TEST(SVGNumberTest, ADecimalCommaLocaleChangesNoResult) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    // A German locale; when none is installed, one is compiled from the system's sources.
    qvtest::TemporaryFolder folder("qv-locale");
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        const std::string command = "localedef -i de_DE -f UTF-8 " + folder.folder + "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) setenv("LOCPATH", folder.folder.c_str(), 1);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no locale with a decimal comma";
    }
    ASSERT_EQ(std::string(localeconv()->decimal_point), ",");
    ASSERT_EQ(std::strtod("1,5", nullptr), 1.5);
    EXPECT_EQ(doubleFromByteArray("1.5"), 1.5);
    EXPECT_EQ(doubleFromByteArray("0x1.8p1"), 3);
    EXPECT_FALSE(doubleFromByteArray("1,5"));
    EXPECT_EQ(strictDouble("2.25"), 2.25);
    EXPECT_EQ(commands("M1.5,2.5 L0.25 .75"), (Lines{"M 1.5 2.5", "L 0.25 0.75"}));
    CoordinateLexer points("0.5,1.5");
    EXPECT_EQ(points.next(), (CGPoint{0.5, 1.5}));
    std::setlocale(LC_ALL, before.c_str());
    unsetenv("LOCPATH");
}

TEST(PathDLexerTest, NumbersEndAtSeparatorsSignsSecondPointsAndLetters) {
    EXPECT_EQ(commands("M10,20L30,40"), (Lines{"M 10 20", "L 30 40"}));
    EXPECT_EQ(commands("M10-20"), (Lines{"M 10 -20"}));
    EXPECT_EQ(commands("M.5.5"), (Lines{"M 0.5 0.5"}));
    EXPECT_EQ(commands("L10 20 30 40"), (Lines{"L 10 20", "L 30 40"}));
    EXPECT_EQ(commands("M0 0 L2e-3 1"), (Lines{"M 0 0", "L 0.002 1"}));
    EXPECT_EQ(commands("10 20 M1 2"), (Lines{"M 1 2"}));
    EXPECT_EQ(commands("M0 0 L10 0 L10 10 Z"), (Lines{"M 0 0", "L 10 0", "L 10 10", "Z"}));
    EXPECT_EQ(commands("m1 2z"), (Lines{"m 1 2", "Z"}));
    EXPECT_EQ(commands(""), Lines{});
    EXPECT_EQ(commands("   "), Lines{});
    // An arc letter is no command: its text joins the number and never reads.
    EXPECT_EQ(commands("M0 0 A5 5"), (Lines{"M 0 0", "M"}));
    // A command replaced before its numbers are complete is dropped; the last is returned
    // even when incomplete.
    EXPECT_EQ(commands("M1 L2 3"), (Lines{"L 2 3"}));
    // A letter after separators that end an incomplete command starts its own command.
    EXPECT_EQ(commands("M 10 20 30 L 40 50"), (Lines{"M 10 20", "L 40 50"}));
    EXPECT_EQ(commands("M10 20 L"), (Lines{"M 10 20", "L"}));
    EXPECT_EQ(commands("C1 2 3"), (Lines{"C 1 2 3"}));
}

TEST(PathDLexerTest, CommandsDrawWithRelativeSmoothAndRepeatedForms) {
    EXPECT_EQ(drawn("M10 20 30 40"), (Lines{"move 10,20", "line 30,40"}));
    EXPECT_EQ(drawn("M1 1 M5 5"), (Lines{"move 1,1", "line 5,5"}));
    EXPECT_EQ(drawn("m5,5 l10,0"), (Lines{"move 5,5", "line 15,5"}));
    EXPECT_EQ(drawn("M1 2 H5 V7 h-1 v-1"), (Lines{"move 1,2", "line 5,2", "line 5,7", "line 4,7", "line 4,6"}));
    EXPECT_EQ(drawn("M0 0 Q10 0 10 10 T20 20 T30 30"),
              (Lines{"move 0,0", "quad 10,10 10,0", "quad 20,20 10,20", "quad 30,30 20,20"}));
    EXPECT_EQ(drawn("M10 10 q5 -10 10 0 t10 0"), (Lines{"move 10,10", "quad 20,10 15,0", "quad 30,10 25,20"}));
    EXPECT_EQ(drawn("M0 0 C0 10 10 10 10 0 S20 -10 20 0"),
              (Lines{"move 0,0", "curve 10,0 0,10 10,10", "curve 20,0 10,-10 20,-10"}));
    EXPECT_EQ(drawn("M0 0 c0 10 10 10 10 0 s10 -10 10 0"),
              (Lines{"move 0,0", "curve 10,0 0,10 10,10", "curve 20,0 10,-10 20,-10"}));
    // A "Z" before a space is returned at the space and again at the next letter; closing
    // twice draws nothing more.
    EXPECT_EQ(drawn("M0 0 L10 0 L10 10 Z l1 1"),
              (Lines{"move 0,0", "line 10,0", "line 10,10", "close", "close", "line 1,1"}));
    EXPECT_EQ(drawn("M5 5 S1 1 2 2"), (Lines{"move 5,5", "curve 2,2 5,5 1,1"}));
}

TEST(PathDLexerTest, IncompleteAndNonFiniteCommandsAreSkipped) {
    EXPECT_EQ(drawn("M10 20 L"), (Lines{"move 10,20"}));
    EXPECT_EQ(drawn("L 5"), Lines{});
    EXPECT_EQ(drawn("M0 0 C1 2 3"), (Lines{"move 0,0"}));
    EXPECT_EQ(drawn("M0 0 L1e999 1 L2 2"), (Lines{"move 0,0", "line 2,2"}));
    EXPECT_EQ(drawn("M0 0 Lnan 1 Linf 2 L3 3"), (Lines{"move 0,0", "line 3,3"}));
    // A skipped command is not the previous command of the next one: the S reflects the C.
    EXPECT_EQ(drawn("M0 0 C1 1 2 2 3 3 L1e999 0 S5 5 6 6"),
              (Lines{"move 0,0", "curve 3,3 1,1 2,2", "curve 6,6 4,4 5,5"}));
    // A closing command with stray numbers closes each time and reads nothing more.
    EXPECT_EQ(drawn("M0 0 L1 0 Z 5 5"), (Lines{"move 0,0", "line 1,0", "close", "close", "close"}));
}

TEST(CoordinateLexerTest, OnlySpacesAndCommasSeparateAndLoneNumbersDrop) {
    const auto all = [](const std::string& text) {
        std::vector<CGPoint> out;
        CoordinateLexer lexer(text);
        while (auto p = lexer.next()) out.push_back(*p);
        return out;
    };
    EXPECT_EQ(all("0,0 10,0 10,10"), (std::vector<CGPoint>{{0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(all("10,,20"), (std::vector<CGPoint>{{10, 20}}));
    EXPECT_EQ(all("10,20,30"), (std::vector<CGPoint>{{10, 20}}));
    EXPECT_EQ(all("5"), std::vector<CGPoint>{});
    EXPECT_EQ(all("10-20 5"), std::vector<CGPoint>{});
    EXPECT_EQ(all(" \t1 2\t "), (std::vector<CGPoint>{{1, 2}}));
    EXPECT_EQ(all(""), std::vector<CGPoint>{});
    EXPECT_EQ(all(",,,"), std::vector<CGPoint>{});
}
