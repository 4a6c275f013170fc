// `qvtool demo [OUTPUT-FOLDER]`: a tour of what the libraries do, section by section. Files
// go under the output folder (default demo-out/), which the demo keeps as its own: a marker
// file lists what it made, and a folder holding anything else is refused, so the demo never
// removes or overwrites what it did not make. Re-running on its own output is fine.
#include "../Cli.h"
#include "../HudScenes.h"
#include "../Replay.h"
#include "../SvgRender.h"
#include "../UiSample.h"

#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/base/Date.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/foundation/AtomicFile.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <algorithm>
#include <functional>
#include <set>
#include <vector>

namespace qvtool {
namespace {

namespace fs = std::filesystem;
using namespace QVToolbox;
using platform::Any;

constexpr const char* kMarker = ".qvtool-demo";
constexpr const char* kMarkerTitle = "qvtool demo output; the demo made these files and may replace them:";

const char* yesNo(bool v) { return v ? "true" : "false"; }

// Paths below the folder, relative, the marker left out.
std::set<std::string> contents(const fs::path& folder) {
    std::set<std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const auto relative = entry.path().lexically_relative(folder).generic_string();
        if (relative != kMarker) out.insert(relative);
    }
    return out;
}

// What the marker says the demo made; empty when there is no marker.
std::set<std::string> madeByDemo(const fs::path& folder) {
    std::ifstream in(folder / kMarker);
    std::set<std::string> made;
    std::string line;
    if (!std::getline(in, line) || line != kMarkerTitle) return made;
    while (std::getline(in, line)) made.insert(line);
    return made;
}

// Refuses (BadInput) a folder that holds anything the demo did not make.
void requireOwnFolder(const fs::path& folder) {
    std::error_code error;
    const auto status = fs::status(folder, error);
    if (status.type() == fs::file_type::not_found) return;
    if (status.type() != fs::file_type::directory) {
        throw BadInput("OUTPUT-FOLDER " + folder.string() + " is not a folder");
    }
    const auto made = madeByDemo(folder);
    for (const auto& path : contents(folder)) {
        // The demo makes no links; one in its place could lead its clean-up elsewhere.
        if (!made.contains(path) || fs::is_symlink(folder / path)) {
            throw BadInput("OUTPUT-FOLDER " + folder.string() + " holds " + path +
                           ", which the demo did not make; give a new or empty folder");
        }
    }
}

void writeMarker(const fs::path& folder) {
    std::ofstream out(folder / kMarker, std::ios::trunc);
    out << kMarkerTitle << "\n";
    for (const auto& path : contents(folder)) out << path << "\n";
    if (!out.flush()) throw Failure("cannot write " + (folder / kMarker).string());
}

void coreSection(const fs::path&) {
    std::cout << "toClock(3725) = " << qv(3725.0).toClock(false) << "\n"
              << "toClock(125, ignoreZeroHour) = " << qv(125.0).toClock(true) << "\n"
              << "compareVersion(1.2.99) against 1.2.9 = " << yesNo(HxGlobalTools::compareVersion("1.2.99", "1.2.9"))
              << "\n"
              << "compareVersion(2.0) = " << yesNo(HxGlobalTools::compareVersion("2.0", "1.2.9")) << " (needs three parts)\n"
              << "screen " << hx_kScreenW() << "x" << hx_kScreenH() << ", navigation bar " << hx_kNavFrameH()
              << ", machine " << hx_deviceModel() << "\n";
    int runs = 0;
    HxAsyncs::once("demo", [&] { ++runs; });
    HxAsyncs::once("demo", [&] { ++runs; });
    std::cout << "once(\"demo\") twice ran the block " << runs << " time(s)\n";
    struct Printer : QVToolboxLogDelegate {
        void send(const std::string& log) override { std::cout << "log delegate received: " << log << "\n"; }
    };
    QVToolboxLog::shared().setDelegate(std::make_shared<Printer>());
    QVToolboxLog::shared().send("hello");
    QVToolboxLog::shared().setDelegate(nullptr);
}

void textSection(const fs::path&) {
    const auto show = [](std::string_view what, const std::string& value) { std::cout << "  " << what << ": " << value << "\n"; };
    show("md5(\"abc\")", hx("abc").md5Encrypt(MD5EncryptType::lowercase32));
    show("HMAC-SHA256(\"Jefe\", \"what do ya want for nothing?\")",
         hx("what do ya want for nothing?").shaCrypt(LuxSHAType::SHA256, "Jefe").value_or(""));
    const auto sealed = hx("你好, QVToolbox").scaCrypt(LuxSCAType::AES, "secret-key", true).value_or("");
    show("AES encrypt \"你好, QVToolbox\"", sealed);
    show("AES decrypt of that", hx(sealed).scaCrypt(LuxSCAType::AES, "secret-key", false).value_or(""));
    show("0.1 + 0.2", hx("0.1").adding("0.2"));
    show("1 ÷ 3", hx("1").dividing("3"));
    show("thousands of 1234567.891", hx("1234567.891").toThousands());
    show("25000 in 万", hx(25000).toTenThousandString(1));
    show("ff hex to decimal", hx("ff").hexadecimalToDecimal());
    show("urlAllEncoded(\"a b/c\")", hx("a b/c").urlAllEncoded());
    show("unicodeEncode(\"中文\")", hx("中文").unicodeEncode());
    show("isValidMobile(13912345678)", hx("13912345678").isValidMobile() ? "true" : "false");
    show("isValidEmail(\"qv@example.cn\")", hx("qv@example.cn").isValidEmail() ? "true" : "false");
    show("toPinyin(\"中华人民共和国\")", hx("中华人民共和国").toPinyin(true));
    show("pinyinInitials(\"中华人民共和国\", upper)", hx("中华人民共和国").pinyinInitials(true));
    show("hidePhone(13800138000)", hx("13800138000").hidePhone("*", 3, 4));
    show("hideEmail(abcdef@qq.com)", hx("abcdef@qq.com").hideEmail());
    show("deleteEmoji(\"好😀的\")", hx("好😀的").deleteEmoji());
    show("sub(start 2, length 3) of \"abcdef\"", hx("abcdef").sub({.start = 2, .length = 3}));
}

// Writes only below OUTPUT-FOLDER/data, which requireOwnFolder has found to be the demo's.
void dataSection(const fs::path& out) {
    const std::string folder = (out / "data").string();
    removefolder(folder);
    std::cout << "createFolder " << folder << ": " << (createFolder(folder + "/sub").isSuccess ? "ok" : "failed") << "\n";
    const Any settings = Any::Dictionary{{"name", "QVToolbox"}, {"tags", Any::List{"files", "dates", "json"}}};
    writeToFile(FileWriteType::DictionaryType, settings, folder + "/settings.plist");
    writeToFile(FileWriteType::TextType, Any("你好, QVToolbox"), folder + "/sub/hello.txt");
    const auto back = readFromFile(FileWriteType::DictionaryType, folder + "/settings.plist");
    std::cout << "settings.plist read back: " << (back.content && *back.content == settings ? "same" : "different") << "\n";
    std::cout << "copyFile: " << copyFile(MoveOrCopyType::directory, folder + "/sub", folder + "/copy", false).error << "\n";
    std::cout << "files: ";
    for (const auto& name : getAllFileNames(folder).value_or(std::vector<std::string>{})) std::cout << name << " ";
    std::cout << "\nfileOrDirectorySize: " << fileOrDirectorySize(folder) << "\n";
    std::cout << "covertUInt64ToString(1572864): " << covertUInt64ToString(1572864) << "\n";
    std::cout << "timestampToFormatterTimeString(1700000000): "
              << timestampToFormatterTimeString("1700000000", "yyyy-MM-dd HH:mm:ss EEEE") << "\n";
    std::cout << "callTimeAfterNow(-61 s): " << callTimeAfterNow(platform::Date::now().addingTimeInterval(-61)) << "\n";
    std::cout << "getFormatPlayTime(3725): " << getFormatPlayTime(3725, HxTimeBarType::normal) << "\n";
    std::cout << "daysCount(2024, 2): " << daysCount(2024, 2).value_or(0) << "\n";
    std::cout << "toSortedURLQuery: " << hx(Any::Dictionary{{"b", 2}, {"a", "x y"}}).toSortedURLQuery() << "\n";
    std::cout << "toJSON: " << toJSON(Any::List{1, "二", 3.5}).value_or("(absent)") << "\n";
}

void timingSection(const fs::path&) {
    const auto show = [](const std::string& what, const std::vector<std::uint64_t>& runs) {
        std::cout << what << " ->";
        for (const auto r : runs) std::cout << " " << r;
        std::cout << " ms\n";
    };
    const std::vector<std::uint64_t> burst{0, 200, 500};
    for (const auto mode : {QVThrottler::Mode::fixed, QVThrottler::Mode::deferred}) {
        std::shared_ptr<QVThrottler> t;
        const auto runs = replay(
            burst, 1000,
            [&](RunLog& log) {
                t = QVThrottler::make(Repeater::Interval::seconds(1), nullptr, mode, false, [&log] { log.add(); });
            },
            [&] { t->call(); });
        show(std::string("throttle ") + (mode == QVThrottler::Mode::fixed ? "fixed   " : "deferred") +
                 " 1 s, calls at 0 200 500",
             runs);
    }
    std::shared_ptr<QVDebouncer> d;
    const auto runs = replay(
        {0, 100, 250}, 300,
        [&](RunLog& log) { d = QVDebouncer::make(Repeater::Interval::milliseconds(300), [&log] { log.add(); }); },
        [&] { d->call(); });
    show("debounce 300 ms, calls at 0 100 250", runs);

    // A 3-count repeater, every 100 ms: its states and remaining iterations.
    const ManualClockScope manual;
    std::mutex mutex;
    std::vector<std::string> lines;  // guarded by mutex
    auto r = Repeater::make(Repeater::Interval::milliseconds(100), Repeater::Mode::finite(3), [&](Repeater& self) {
        std::lock_guard lock(mutex);
        lines.push_back("  fired, remainingIterations " + std::to_string(*self.remainingIterations()));
    });
    r->onStateChanged([&](Repeater&, Repeater::State s) {
        std::lock_guard lock(mutex);
        lines.push_back("  state " + std::string(s.description()));
    });
    r->start();
    platform::ManualClock::advance(0.5);
    std::cout << "repeater every 100 ms, count 3:\n";
    std::lock_guard lock(mutex);
    for (const auto& line : lines) std::cout << line << "\n";
}

// The view system's sample scene and the empty state of a collection view, written as
// OUTPUT-FOLDER/ui-sample.png and ui-empty.png.
void uiSection(const fs::path& out) {
    for (const auto& [name, render] : {std::pair{"ui-sample.png", &renderUiSample}, std::pair{"ui-empty.png", &renderEmptyStateSample}}) {
        const auto png = render();
        std::string error;
        if (!png || !platform::writeFileAtomically(out / name, png->view(), &error)) {
            std::cout << name << ": not written " << error << "\n";
            continue;
        }
        std::cout << name << ": " << (out / name).string() << "\n";
    }
}

void writePicture(const fs::path& file, const std::optional<platform::Data>& png) {
    std::string error;
    if (!png || !platform::writeFileAtomically(file, png->view(), &error)) {
        std::cout << file.filename().string() << ": not written " << error << "\n";
        return;
    }
    std::cout << "  wrote " << file.string() << "\n";
}

// The toasts and the HUD at chosen instants, light and dark, as hud-*.png.
void hudSection(const fs::path& out) {
    using QVToolbox::ProgressHUD;
    using platform::UIWindow;
    const auto scene = [&](const char* name, bool dark, double at, const std::function<void(UIWindow&)>& show) {
        writePicture(out / name, renderHudScene(dark, at, show));
    };
    scene("hud-toast-bottom.png", false, 0.5, [](UIWindow& w) { makeToast(w, "消息已发送 Message sent"); });
    scene("hud-toast-top-title-dark.png", true, 0.5, [](UIWindow& w) {
        makeToast(w, "新版本已可下载，更新后可体验新功能。", 3.0, ToastPosition::top, std::string("提示 Update"));
    });
    scene("hud-toast-center-fading-in.png", false, 0.1, [](UIWindow& w) { makeToast(w, "淡入中 Fading in", 3.0, ToastPosition::center); });
    scene("hud-activity-text.png", false, 0.3, [](UIWindow& w) { makeToastActivity(w, ToastPosition::center, "加载中 Loading"); });
    scene("hud-progress.png", false, 0.3, [](UIWindow&) { ProgressHUD::progress(std::string("上传中"), 0.456); });
    scene("hud-succeed.png", false, 0.6, [](UIWindow&) { ProgressHUD::succeed(std::string("完成"), false, 60.0); });
    scene("hud-failed-dark.png", true, 0.6, [](UIWindow&) { ProgressHUD::failed(std::string("失败 Failed"), false, 60.0); });
    scene("hud-added.png", false, 0.6, [](UIWindow&) { ProgressHUD::added(std::string("已添加"), false, 60.0); });
    scene("hud-animate-stroke-spin.png", false, 0.4,
          [](UIWindow&) { ProgressHUD::animate(std::string("Loading"), QVToolbox::AnimationType::circleStrokeSpin); });
    scene("hud-banner.png", false, 0.2, [](UIWindow&) {
        useBannerColors(false);
        ProgressHUD::banner(std::string("新消息"), std::string("你有一条新消息 You have a new message, long enough for two lines."), 5);
    });
    scene("hud-banner-dark.png", true, 0.3, [](UIWindow&) {
        useBannerColors(true);
        ProgressHUD::banner(std::string("标题 Title"), std::string("短消息 Short"), 5);
    });
    writePicture(out / "hud-animations-sheet.png", renderAnimationSheet(false));
    writePicture(out / "hud-animations-sheet-dark.png", renderAnimationSheet(true));
}

std::string htmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// Runs one of qvtool's own commands in this process, as its command line would; the status.
int runCommand(std::vector<std::string> words) {
    CLI::App app("qvtool", "qvtool");
    for (const auto& group : groups()) group.define(*app.add_subcommand(group.name, group.summary));
    std::reverse(words.begin(), words.end());
    app.parse(words);
    return actionStatus();
}

// Moves the pictures a command wrote into `work` to `out` as PREFIX + their name, then removes
// `work`, so the page of pictures shows them.
void collectPictures(const fs::path& work, const fs::path& out, const std::string& prefix) {
    std::error_code error;
    if (fs::is_directory(work, error)) {
        for (const auto& entry : fs::directory_iterator(work)) {
            if (entry.path().extension() == ".png") fs::rename(entry.path(), out / (prefix + entry.path().filename().string()), error);
        }
    }
    fs::remove_all(work, error);
}

// The small views through their own commands: frames of the rolling notice board, of the
// sample animation, and an SVGView showing the house drawing written above.
void smallViewsSection(const fs::path& out) {
    const fs::path work = out / "work";
    runCommand({"notice", "--rows", "系统维护通知,新功能上线,欢迎使用", "--at", "0,0.25,2", "-o", work.string()});
    collectPictures(work, out, "notice-");
    runCommand({"ui", "animate", "--at", "0,0.1,0.2,0.35", "-o", work.string()});
    collectPictures(work, out, "ui-animate-");
    runCommand({"svg", "view", "svg-house", "--bundle", out.string(), "-o", (out / "svg-view-house.png").string()});
}

// index.html: every picture in the folder with its file name as caption, so a person can look
// at all of them on one page.
void indexSection(const fs::path& out) {
    std::vector<std::string> pictures;
    for (const auto& entry : fs::directory_iterator(out))
        if (entry.path().extension() == ".png") pictures.push_back(entry.path().filename().string());
    std::sort(pictures.begin(), pictures.end());
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>qvtool demo pictures</title>\n"
        "<style>body{font-family:sans-serif;background:#eee;margin:16px}"
        "figure{display:inline-block;vertical-align:top;margin:8px;padding:8px;background:#fff;border-radius:8px}"
        "img{display:block;max-width:320px;max-height:600px}figcaption{margin-top:6px;font-size:13px}</style>\n"
        "</head>\n<body>\n<h1>qvtool demo pictures</h1>\n";
    for (const auto& name : pictures) {
        const std::string n = htmlEscaped(name);
        html += "<figure><a href=\"" + n + "\"><img src=\"" + n + "\" alt=\"" + n + "\"></a><figcaption>" + n +
                "</figcaption></figure>\n";
    }
    // Says on the page how many pictures loaded, so a reader (or a headless browser) sees at
    // once when one is missing or unreadable.
    html += "<p id=\"image-check\">checking pictures...</p>\n"
            "<script>window.addEventListener('load', () => {\n"
            "  const images = [...document.images];\n"
            "  const loaded = images.filter((i) => i.complete && i.naturalWidth > 0).length;\n"
            "  document.getElementById('image-check').textContent = `${loaded} of ${images.length} pictures loaded`;\n"
            "});</script>\n";
    html += "</body>\n</html>\n";
    std::string error;
    if (!platform::writeFileAtomically(out / "index.html", html, &error))
        throw Failure("cannot write " + (out / "index.html").string() + ": " + error);
    std::cout << "index.html: " << pictures.size() << " pictures, " << (out / "index.html").string() << "\n";
}

struct Section {
    const char* title;
    void (*run)(const fs::path& outputFolder);
};

// Two drawings written as SVG, then rendered: at their own size and at 256×256.
constexpr const char* kHouseSvg = R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="200" height="160" viewBox="0 0 200 160">
  <rect x="0" y="0" width="200" height="160" fill="#bfe3ff"/>
  <circle cx="165" cy="32" r="18" fill="gold" stroke="orange" stroke-width="3"/>
  <rect x="0" y="130" width="200" height="30" fill="forestgreen"/>
  <g id="house" fill="#f5deb3" stroke="#5a3a1a" stroke-width="2">
    <rect x="50" y="70" width="90" height="62"/>
    <polygon points="40,72 95,30 150,72"/>
    <rect x="85" y="95" width="20" height="37"/>
  </g>
  <g fill="#9ad0f5" stroke="white" stroke-width="2">
    <rect x="60" y="82" width="18" height="16" rx="3"/>
    <rect x="113" y="82" width="18" height="16" rx="3"/>
  </g>
  <path d="M10 150 Q30 120 50 150 T90 150" fill="none" stroke="darkgreen" stroke-width="4" stroke-linecap="round"/>
  <polyline points="150,140 160,120 170,140 180,120 190,140" fill="none" stroke="#2e8b57" stroke-width="3" stroke-linejoin="round"/>
  <ellipse cx="40" cy="28" rx="25" ry="10" style="fill:white;opacity:0.9"/>
  <line x1="0" y1="131" x2="200" y2="131" stroke="#333" stroke-width="1"/>
</svg>)svg";
constexpr const char* kBadgeSvg = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="120" height="120" viewBox="0 0 120 120">
  <circle cx="60" cy="60" r="56" fill="#663399"/>
  <path fill-rule="evenodd" fill="white" d="M60 18 C83 18 102 37 102 60 C102 83 83 102 60 102 C37 102 18 83 18 60 C18 37 37 18 60 18 Z M60 34 C46 34 34 46 34 60 C34 74 46 86 60 86 C74 86 86 74 86 60 C86 46 74 34 60 34 Z"/>
  <g transform="translate(60 60) rotate(45)">
    <rect x="-6" y="-40" width="12" height="80" fill="#ffcc00" stroke="#000" stroke-width="1.5"/>
  </g>
  <path d="M 30,95 l 10,-8 10,8 10,-8 10,8 10,-8 10,8" fill="none" stroke="rgb(255, 204, 0)" stroke-width="3"/>
</svg>)svg";

void svgSection(const fs::path& out) {
    for (const auto& [name, svg] : {std::pair{"house", kHouseSvg}, std::pair{"badge", kBadgeSvg}}) {
        const std::string base = std::string("svg-") + name;
        std::ofstream(out / (base + ".svg"), std::ios::binary | std::ios::trunc) << svg;
        const auto document = readSvg(platform::Data::fromString(svg), base + ".svg",
                                      QVToolbox::SVGParserSupportedElements::allSupportedElements());
        const auto box = document.layer->boundingBox();
        std::cout << base << ".svg: shapes within " << box.size.width << "x" << box.size.height << " at (" << box.origin.x
                  << ", " << box.origin.y << "), parsed in " << static_cast<long>(document.milliseconds * 1000) << " us\n";
        for (const auto& [suffix, size] : {std::pair{"", std::optional<std::pair<int, int>>()},
                                           std::pair{"-256", std::optional(std::pair{256, 256})}}) {
            const auto png = renderSvg(document, size, platform::CGColor::white(), base + ".svg");
            const fs::path file = out / (base + suffix + ".png");
            std::ofstream(file, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(png.bytes()), static_cast<std::streamsize>(png.count()));
            std::cout << "  wrote " << file.string() << "\n";
        }
    }
}

const Section kSections[] = {
    {"Core frame", coreSection},
    {"Text utilities", textSection},
    {"Files, dates and data", dataSection},
    {"Timing: throttler, debouncer, repeater (manual clock)", timingSection},
    {"SVG drawings rendered to PNG", svgSection},
    {"Views rendered to a picture", uiSection},
    {"Toasts and the progress HUD (manual clock)", hudSection},
    {"Small views: notice board, animation frames, SVG view", smallViewsSection},
    {"A page of every picture", indexSection},
};

void define(CLI::App& group) {
    Verb verb(group);
    const auto& folder = verb.argument("OUTPUT-FOLDER", "new, empty, or an earlier demo's output (default demo-out)", true);
    verb.run([&folder] {
        const fs::path out = folder.empty() ? "demo-out" : folder;
        requireOwnFolder(out);
        std::error_code error;
        fs::create_directories(out, error);
        if (error) throw BadInput("cannot create " + out.string() + ": " + error.message());
        writeMarker(out);  // claims the folder before any section writes into it
        for (const auto& section : kSections) {
            std::cout << "== " << section.title << " ==\n";
            section.run(out);
            std::cout << "\n";
        }
        writeMarker(out);
        std::cout << "demo finished; files are under " << out.string() << "/\n";
        return 0;
    });
}

const GroupRegistration registration{{"demo", "tour of the libraries (files under demo-out/)", 0, define}};

}  // namespace
}  // namespace qvtool
