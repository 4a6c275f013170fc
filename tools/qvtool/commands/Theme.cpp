// `qvtool theme`: QVResource's colour themes: the selection persisted under the home folder
// (QV_HOME), the five themes and the colour of a slot.
#include "../Cli.h"
#include "../Input.h"

#include <QVResource/theme/QVThemeManager.h>

#include <QVPlatform/foundation/UserDefaults.h>
#include <QVPlatform/graphics/DrawingContext.h>
#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/graphics/TextLayout.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
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

// The swatch sheet: a row per slot (its name on the left), a column per theme (its name on
// top); each cell is the colour over a checkerboard, so that alpha shows, and its text.
namespace sheet {

constexpr double kNameWidth = 170, kColumnWidth = 150, kHeaderHeight = 36, kRowHeight = 30, kSwatch = 22;
constexpr double kScale = 2;

void drawCheckerboard(platform::CGContext& context, platform::CGRect box) {
    context.fillRect(box, platform::CGColor::white());
    const double cell = box.size.height / 4;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if ((row + column) % 2 == 0) continue;
            context.fillRect({{box.origin.x + column * cell, box.origin.y + row * cell}, {cell, cell}},
                             platform::CGColor::gray(0.8));
        }
    }
}

void drawLabel(platform::CGContext& context, std::string_view text, platform::CGPoint origin, bool bold = false) {
    platform::TextStyle style;
    style.font = {13, bold};
    style.maxLines = 1;
    platform::drawText(context, text, style, origin, platform::CGColor::gray(0.1));
}

std::optional<platform::Data> render() {
    const auto& themes = QVAppTheme::allCases();
    const auto& slots = QVResource::QVThemeSlots();
    const double width = kNameWidth + kColumnWidth * static_cast<double>(themes.size());
    const double height = kHeaderHeight + kRowHeight * static_cast<double>(slots.size());
    auto context = platform::CGContext::make(static_cast<int>(width * kScale), static_cast<int>(height * kScale), kScale);
    if (!context) return std::nullopt;
    context->clear(platform::CGColor::white());
    for (std::size_t row = 0; row < slots.size(); ++row) {
        const double y = kHeaderHeight + kRowHeight * static_cast<double>(row);
        if (row % 2 == 1) context->fillRect({{0, y}, {width, kRowHeight}}, platform::CGColor::gray(0.96));
        drawLabel(*context, QVResource::QVThemeSlotName(slots[row]), {10, y + 6});
    }
    for (std::size_t column = 0; column < themes.size(); ++column) {
        const double x = kNameWidth + kColumnWidth * static_cast<double>(column);
        drawLabel(*context, themes[column].rawValue(), {x, 10}, true);
        const auto table = themes[column].theme();
        for (std::size_t row = 0; row < slots.size(); ++row) {
            const double y = kHeaderHeight + kRowHeight * static_cast<double>(row);
            const platform::CGRect swatch{{x, y + (kRowHeight - kSwatch) / 2}, {kSwatch, kSwatch}};
            const auto color = table->color(slots[row]);
            drawCheckerboard(*context, swatch);
            context->fillRect(swatch, color->cgColor());
            // A hairline frame, so that white and clear swatches show their edges.
            platform::CGMutablePath frame;
            frame.addRect(swatch);
            context->strokePath(frame.path(), platform::CGColor::gray(0.7), {.lineWidth = 0.5});
            drawLabel(*context, colorText(*color), {x + kSwatch + 8, y + 6});
        }
    }
    return context->pngData();
}

}  // namespace sheet

void defineList(CLI::App& group) {
    Verb verb(group, "list", "the five theme names, one per line");
    const auto& png = verb.option("--png", "OUT.png", "also draw every theme's slots side by side into OUT.png");
    verb.run([&png] {
        for (const QVAppTheme theme : QVAppTheme::allCases()) std::cout << theme.rawValue() << "\n";
        if (png) {
            const auto data = sheet::render();
            std::ofstream out(*png, std::ios::binary | std::ios::trunc);
            if (data) out.write(reinterpret_cast<const char*>(data->bytes()), static_cast<std::streamsize>(data->count()));
            if (!data || !out) throw Failure("cannot write " + shown(*png));
        }
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
