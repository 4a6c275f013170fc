// `qvtool theme`: QVResource's colour themes: the selection persisted under the home folder
// (QV_HOME), the five themes and the colour of a slot.
#include "../Cli.h"
#include "../Input.h"

#include <QVResource/theme/QVThemeManager.h>

#include <QVPlatform/foundation/UserDefaults.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace qvtool {
namespace {

using QVResource::QVAppTheme;
using QVResource::QVThemeManager;

// Every theme name, as one text: "main, main_dark, ...".
std::string themeNames() { return rawValueList(QVAppTheme::allCases()); }

QVAppTheme themeArgument(const std::string& name, std::string_view argument) {
    if (const auto theme = QVAppTheme::fromRawValue(name)) return *theme;
    throw BadInput(std::string(argument) + " " + shown(name) + " is not a theme (one of " + themeNames() + ")");
}

// Every slot name, in lines of at most about 100 characters.
std::string slotNames() {
    std::string names;
    std::size_t lineStart = 0;
    for (const auto slot : QVResource::QVThemeSlots()) {
        const std::string_view name = QVResource::QVThemeSlotName(slot);
        if (!names.empty()) {
            names += ",";
            if (names.size() - lineStart + name.size() > 98) {
                names += "\n";
                lineStart = names.size();
            } else {
                names += " ";
            }
        }
        names += name;
    }
    return names;
}

// "#RRGGBB", followed by the alpha as two more hex digits when it is not 1 ("#5F2AD11A").
std::string colorText(const platform::UIColor& color) {
    std::string text = color.hexString();
    if (color.alpha() != 1) {
        const auto alpha = static_cast<unsigned>(std::lround(std::clamp(color.alpha(), 0.0, 1.0) * 255));
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", alpha);
        text += digits;
    }
    return text;
}

void defineCurrent(CLI::App& group) {
    Verb verb(group, "current", "the selected theme (main when none is stored)");
    verb.run([] {
        std::cout << QVThemeManager::shared().selectedTheme().rawValue() << "\n";
        return 0;
    });
}

void defineApply(CLI::App& group) {
    Verb verb(group, "apply", "stores NAME as the selected theme");
    const auto& name = verb.argument("NAME", "a theme name");
    verb.run([&name] {
        QVThemeManager::shared().applyTheme(themeArgument(name, "NAME"));
        // Written now, so that a failure to store it is reported.
        if (!platform::NSUserDefaults::standardUserDefaults().synchronize()) {
            throw Failure("cannot write the user defaults under the home folder");
        }
        return 0;
    });
}

void defineColor(CLI::App& group) {
    Verb verb(group, "color", "the colour of SLOT: #RRGGBB, then the alpha as 2 hex digits when not 1");
    const auto& theme = verb.option("--theme", "NAME", "this theme rather than the selected one");
    const auto& slot = verb.argument("SLOT", "a colour slot (primary, bg_Selago...)");
    verb.run([&] {
        const auto named = QVResource::QVThemeSlotNamed(slot);
        if (!named) throw BadInput("SLOT " + shown(slot) + " is not a colour slot (see qvtool theme --help)");
        const auto table = theme ? themeArgument(*theme, "--theme").theme() : QVThemeManager::shared().currentTheme();
        std::cout << colorText(*table->color(*named)) << "\n";
        return 0;
    });
}

void defineList(CLI::App& group) {
    Verb verb(group, "list", "the five theme names, one per line");
    verb.run([] {
        for (const QVAppTheme theme : QVAppTheme::allCases()) std::cout << theme.rawValue() << "\n";
        return 0;
    });
}

void define(CLI::App& group) {
    defineCurrent(group);
    defineApply(group);
    defineColor(group);
    defineList(group);
    group.footer("Themes: " + themeNames() + ".\nSlots:\n" + slotNames() + ".");
}

const GroupRegistration registration{{"theme", "colour themes: the selection, the list, a slot's colour", 51, define}};

}  // namespace
}  // namespace qvtool
