// `qvtool color hex TEXT`: a hexadecimal colour text read as the colour helpers read it.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/UIKitExtension/ColorHelpers.h>

#include <cmath>
#include <iostream>

namespace qvtool {
namespace {

long byteOf(double fraction) { return std::lround(std::clamp(fraction, 0.0, 1.0) * 255); }

void define(CLI::App& group) {
    Verb hex(group, "hex", "red, green, blue and alpha (0-255) of a hex colour text, and the text back");
    const auto& text = hex.text("TEXT", "like #FF8000, ff8000 or 0xFF8000");
    const auto& alpha = hex.option("--alpha", "A", "alpha from 0 to 1 (default 1)");
    hex.run([&] {
        const double a = alpha ? realNumber(*alpha, "--alpha") : 1.0;
        const auto color = QVToolbox::colorWithHexString(requireUtf8(text, "TEXT"), a);
        if (!color) {
            std::cout << "no colour: " << shown(text) << " has fewer than six hex characters after its prefix\n";
            return 1;
        }
        std::cout << "red " << byteOf(color->red()) << "\ngreen " << byteOf(color->green()) << "\nblue "
                  << byteOf(color->blue()) << "\nalpha " << byteOf(color->alpha()) << "\nhex "
                  << QVToolbox::hexString(*color).value_or("") << "\n";
        return 0;
    });
}

const GroupRegistration registration{{"color", "colours from hexadecimal texts (hexStringToColorRGB)", 62, define}};

}  // namespace
}  // namespace qvtool
