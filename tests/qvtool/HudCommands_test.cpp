// qvtool's hud group, and the demo's picture page opened in a headless browser.
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <QVPlatform/graphics/ImageCodec.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

using qvtest::refuses;
using qvtest::runTool;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::optional<platform::Bitmap> picture(const std::string& path) {
    const std::string bytes = readAll(path);
    return platform::decodePNG({reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
}

std::array<int, 3> rgb(const platform::Bitmap& b, int x, int y) {
    const auto* p = b.pixel(x, y);
    return {p[0], p[1], p[2]};
}

// The first `chromium` on PATH, or empty.
std::string chromium() {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const auto candidate = std::filesystem::path(dir) / "chromium";
        if (std::filesystem::exists(candidate)) return candidate.string();
    }
    return {};
}

}  // namespace

TEST(QvtoolHud, ScenesRenderAtTheScreensScaleWithThePanelWhereItBelongs) {
    const qvtest::TemporaryFolder work;
    const auto toast = runTool({"hud", "toast", "消息", "--title", "T", "--position", "top", "--at", "0.5", "-o", "t.png"}, {}, work.folder);
    ASSERT_EQ(toast.status, 0) << toast.err;
    EXPECT_EQ(toast.out, "wrote t.png\n");
    const auto t = picture(work.folder + "/t.png");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->width, 750);
    EXPECT_EQ(t->height, 1334);
    EXPECT_EQ(rgb(*t, 375, 2 * (20 + 10 + 4)), (std::array<int, 3>{49, 49, 49}));  // the dark panel below the status bar
    EXPECT_EQ(rgb(*t, 375, 1300), (std::array<int, 3>{245, 245, 245}));            // the light backdrop

    ASSERT_EQ(runTool({"hud", "progress", "0.456", "--dark", "-o", "p.png"}, {}, work.folder).status, 0);
    const auto p = picture(work.folder + "/p.png");
    ASSERT_TRUE(p);
    EXPECT_EQ(rgb(*p, 375 - 100, 667), (std::array<int, 3>{128, 128, 128}));  // the opaque system-grey panel

    for (const auto& verb : {"succeed", "failed", "added"}) EXPECT_EQ(runTool({"hud", verb, "完成", "-o", "i.png"}, {}, work.folder).status, 0);
    EXPECT_EQ(runTool({"hud", "animate", "pacmanProgress", "--at", "0.4", "-o", "a.png"}, {}, work.folder).status, 0);
    EXPECT_EQ(runTool({"hud", "banner", "标题", "消息", "-o", "b.png"}, {}, work.folder).status, 0);
    EXPECT_EQ(runTool({"hud", "activity", "--at", "0.3", "-o", "c.png"}, {}, work.folder).status, 0);
    EXPECT_TRUE(refuses({"hud", "animate", "spinningTop", "-o", "x.png"}, "no animation called \"spinningTop\""));
    EXPECT_TRUE(refuses({"hud", "toast", "m", "--position", "left", "-o", "x.png"}, "--position is top, center or bottom"));
    EXPECT_TRUE(refuses({"hud", "toast", "m", "--at", "soon", "-o", "x.png"}, "--at needs a number of seconds"));
}

TEST(QvtoolHud, SheetHoldsNineteenAnimationsAtThreeInstants) {
    const qvtest::TemporaryFolder work;
    ASSERT_EQ(runTool({"hud", "sheet", "-o", "s.png"}, {}, work.folder).status, 0);
    const auto s = picture(work.folder + "/s.png");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->width, 1320);
    EXPECT_EQ(s->height, 2 * (12 + 10 * 124));
}

TEST(QvtoolHud, TheDemoPageShowsEveryPictureInAHeadlessBrowser) {
    const std::string browser = chromium();
    if (browser.empty()) GTEST_SKIP() << "chromium is not installed (scripts/install-deps.sh installs it)";
    const qvtest::TemporaryFolder work;
    ASSERT_EQ(runTool({"demo", "out"}, {}, work.folder).status, 0);
    const std::string page = readAll(work.folder + "/out/index.html");
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(work.folder + "/out")) {
        if (entry.path().extension() != ".png") continue;
        ++pictures;
        EXPECT_NE(page.find("src=\"" + entry.path().filename().string() + "\""), std::string::npos) << entry.path();
    }
    EXPECT_GE(pictures, 15);
    const std::string dom = work.folder + "/dom.html";
    const std::string command = browser + " --headless --disable-gpu --no-sandbox --virtual-time-budget=10000 --dump-dom file://" +
                                work.folder + "/out/index.html > " + dom + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string expected = std::to_string(pictures) + " of " + std::to_string(pictures) + " pictures loaded";
    EXPECT_NE(readAll(dom).find(expected), std::string::npos) << readAll(dom).substr(0, 400);
}
