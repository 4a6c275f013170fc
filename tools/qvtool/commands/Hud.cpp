// `qvtool hud ...`: toasts and the progress HUD rendered to PNG at an instant of the manual clock.
#include "../Cli.h"
#include "../HudScenes.h"

#include <QVToolbox/hud/ProgressHUD.h>
#include <QVToolbox/hud/Toast.h>

#include <QVPlatform/foundation/AtomicFile.h>
#include <QVPlatform/ui/UIWindow.h>

#include <iostream>
#include <string>

namespace qvtool {
namespace {

using QVToolbox::ProgressHUD;

struct SceneOptions {
    const std::optional<std::string>* out;
    const std::optional<std::string>* at;
    const bool* dark;
};

SceneOptions sceneOptions(Verb& verb, const char* defaultAt) {
    return {&verb.option("-o", "OUT.png", "where to write the PNG", true),
            &verb.option("--at", "SECONDS", std::string("the clock instant to render (default ") + defaultAt + ")"),
            &verb.flag("--dark", "a dark backdrop instead of a light one")};
}

double seconds(const std::optional<std::string>& text, double fallback) {
    if (!text) return fallback;
    try {
        std::size_t used = 0;
        const double value = std::stod(*text, &used);
        if (used == text->size() && value >= 0 && value <= 3600) return value;
    } catch (const std::exception&) {
    }
    throw BadInput("--at needs a number of seconds from 0 to 3600, not \"" + *text + "\"");
}

int write(const std::optional<platform::Data>& png, const std::string& out) {
    if (!png) throw Failure("the scene did not render");
    std::string error;
    if (!platform::writeFileAtomically(out, png->view(), &error)) throw Failure("cannot write " + out + ": " + error);
    std::cout << "wrote " << out << '\n';
    return 0;
}

std::optional<std::string> given(const std::string& text) { return text.empty() ? std::nullopt : std::optional(text); }

QVToolbox::ToastPosition positionNamed(const std::optional<std::string>& name) {
    if (!name || *name == "bottom") return QVToolbox::ToastPosition::bottom;
    if (*name == "top") return QVToolbox::ToastPosition::top;
    if (*name == "center") return QVToolbox::ToastPosition::center;
    throw BadInput("--position is top, center or bottom, not \"" + *name + "\"");
}

void define(CLI::App& group) {
    {
        Verb verb(group, "toast", "a message toast (with --title) at the top, centre or bottom");
        const auto& message = verb.argument("MESSAGE", "the message");
        const auto& title = verb.option("--title", "TITLE", "a title above the message");
        const auto& position = verb.option("--position", "top|center|bottom", "where the toast goes (default bottom)");
        const SceneOptions o = sceneOptions(verb, "0.5");
        verb.run([&message, &title, &position, o] {
            const auto where = positionNamed(position);
            return write(renderHudScene(*o.dark, seconds(*o.at, 0.5),
                                        [&](platform::UIWindow& w) { QVToolbox::makeToast(w, message, 3.0, where, title); }),
                         **o.out);
        });
    }
    {
        Verb verb(group, "activity", "the activity toast, with an optional line of text");
        const auto& text = verb.argument("TEXT", "a line under the spinner", true);
        const SceneOptions o = sceneOptions(verb, "0.3");
        verb.run([&text, o] {
            return write(renderHudScene(*o.dark, seconds(*o.at, 0.3),
                                        [&](platform::UIWindow& w) {
                                            if (text.empty()) QVToolbox::makeToastActivity(w, QVToolbox::ToastPosition::center);
                                            else QVToolbox::makeToastActivity(w, QVToolbox::ToastPosition::center, text);
                                        }),
                         **o.out);
        });
    }
    {
        Verb verb(group, "progress", "the HUD's gauge at a value from 0 to 1");
        const auto& value = verb.argument("VALUE", "the progress, 0 to 1");
        const auto& text = verb.option("--text", "TEXT", "a status text under the gauge");
        const SceneOptions o = sceneOptions(verb, "0.3");
        verb.run([&value, &text, o] {
            double v = 0;
            try {
                v = std::stod(value);
            } catch (const std::exception&) {
                throw BadInput("VALUE is a number, not \"" + value + "\"");
            }
            return write(renderHudScene(*o.dark, seconds(*o.at, 0.3), [&](platform::UIWindow&) { ProgressHUD::progress(text, v); }),
                         **o.out);
        });
    }
    for (const char* icon : {"succeed", "failed", "added"}) {
        Verb verb(group, icon, std::string("the HUD's live ") + icon + " icon with a status text");
        const auto& text = verb.argument("TEXT", "the status text", true);
        const SceneOptions o = sceneOptions(verb, "0.6");
        const std::string name = icon;
        verb.run([&text, o, name] {
            const auto kind = name == "succeed" ? QVToolbox::LiveIcon::succeed
                              : name == "failed" ? QVToolbox::LiveIcon::failed
                                                 : QVToolbox::LiveIcon::added;
            return write(renderHudScene(*o.dark, seconds(*o.at, 0.6),
                                        [&](platform::UIWindow&) { ProgressHUD::liveIcon(given(text), kind, false, 60.0); }),
                         **o.out);
        });
    }
    {
        Verb verb(group, "animate", "the HUD with one of its looping animations (see `hud sheet`)");
        const auto& type = verb.argument("TYPE", "the animation's name, e.g. circleStrokeSpin");
        const auto& text = verb.option("--text", "TEXT", "a status text under the animation");
        const SceneOptions o = sceneOptions(verb, "0.4");
        verb.run([&type, &text, o] {
            const auto kind = QVToolbox::animationTypeNamed(type);
            if (!kind) throw BadInput("no animation called \"" + type + "\"");
            return write(renderHudScene(*o.dark, seconds(*o.at, 0.4),
                                        [&](platform::UIWindow&) { ProgressHUD::animate(text, *kind); }),
                         **o.out);
        });
    }
    {
        Verb verb(group, "banner", "the HUD's top banner with a title and a message");
        const auto& title = verb.argument("TITLE", "the banner's title");
        const auto& message = verb.argument("MESSAGE", "the banner's message");
        const SceneOptions o = sceneOptions(verb, "0.2");
        verb.run([&title, &message, o] {
            const bool dark = *o.dark;
            return write(renderHudScene(dark, seconds(*o.at, 0.2),
                                        [&](platform::UIWindow&) {
                                            useBannerColors(dark);
                                            ProgressHUD::banner(title, message, 5);
                                        }),
                         **o.out);
        });
    }
    {
        Verb verb(group, "sheet", "a contact sheet of the 19 looping animations at 0.2, 0.5 and 0.8 s");
        const auto& out = verb.option("-o", "OUT.png", "where to write the PNG", true);
        const auto& dark = verb.flag("--dark", "a dark backdrop instead of a light one");
        verb.run([&out, &dark] { return write(renderAnimationSheet(dark), *out); });
    }
}

const GroupRegistration registration{{"hud", "toasts and the progress HUD rendered to PNG at a clock instant", 91, define}};

}  // namespace
}  // namespace qvtool
