#include <QVToolbox/UIKitExtension/ColorHelpers.h>

#include <QVPlatform/base/Text.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace QVToolbox {
namespace {

using platform::UIColor;

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

bool startsWith(const std::vector<std::string>& characters, std::string_view prefix) {
    if (characters.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (characters[i] != std::string_view(&prefix[i], 1)) return false;
    }
    return true;
}

// Two characters read as one hexadecimal byte; 0 when either is not a hexadecimal digit.
double hexPair(const std::string& high, const std::string& low) {
    auto digit = [](const std::string& c) -> int {
        if (c.size() != 1) return -1;
        const char d = c[0];
        if (d >= '0' && d <= '9') return d - '0';
        if (d >= 'A' && d <= 'F') return d - 'A' + 10;
        return -1;
    };
    const int h = digit(high), l = digit(low);
    return h < 0 || l < 0 ? 0 : h * 16 + l;
}

long component255(double fraction) {
    return static_cast<long>(std::clamp(std::isnan(fraction) ? 0.0 : fraction, 0.0, 1.0) * 255.999999);
}

}  // namespace

std::shared_ptr<UIColor> colorWith(double r, double g, double b, double alpha) {
    return UIColor::colorWithRed(r / 255, g / 255, b / 255, alpha);
}

std::shared_ptr<UIColor> color(double r, double g, double b, double alpha) { return colorWith(r, g, b, alpha); }

ColorRGB hexStringToColorRGB(std::string_view hexString) {
    // Characters are user-perceived characters, as the text's length is counted.
    std::vector<std::string> characters = platform::characters(upperAscii(hexString));
    if (characters.size() < 6) return {};
    std::size_t drop = startsWith(characters, "0X") || startsWith(characters, "##") ? 2 : 0;
    if (characters.size() > drop && characters[drop] == "#") ++drop;
    // A text that is too short once its prefix is gone gives no colour rather than a read
    // past its end.
    if (characters.size() - drop < 6) return {};
    const auto* c = characters.data() + drop;
    return {hexPair(c[0], c[1]), hexPair(c[2], c[3]), hexPair(c[4], c[5])};
}

std::shared_ptr<UIColor> colorWithHexString(std::string_view hexString, double alpha) {
    const ColorRGB rgb = hexStringToColorRGB(hexString);
    if (!rgb.red || !rgb.green || !rgb.blue) return nullptr;
    return colorWith(*rgb.red, *rgb.green, *rgb.blue, alpha);
}

std::shared_ptr<UIColor> hexStringColor(std::string_view hexString, double alpha) {
    auto color = colorWithHexString(hexString, alpha);
    return color ? color : UIColor::whiteColor();
}

ColorDelta hexIntToColorRGB(std::uint64_t hexInt) {
    return {static_cast<double>(hexInt >> 16), static_cast<double>((hexInt >> 8) & 0xFF),
            static_cast<double>(hexInt & 0xFF)};
}

std::shared_ptr<UIColor> colorWithHexInt(std::uint64_t hexInt, double alpha) {
    const ColorDelta rgb = hexIntToColorRGB(hexInt);
    return colorWith(rgb.red, rgb.green, rgb.blue, alpha);
}

std::shared_ptr<UIColor> hexIntColor(std::uint64_t hexInt, double alpha) {
    const ColorDelta rgb = hexIntToColorRGB(hexInt);
    const auto fraction = [](double v) { return static_cast<double>(static_cast<float>(v) / 255.0f); };
    return UIColor::colorWithRed(fraction(rgb.red), fraction(rgb.green), fraction(rgb.blue), alpha);
}

std::shared_ptr<UIColor> randomColor() {
    thread_local std::mt19937 generator{std::random_device{}()};
    const auto component = [] { return static_cast<double>(generator() & 0xFF) / 255; };
    const double r = component(), g = component(), b = component();
    return UIColor::colorWithRed(r, g, b, 1);
}

std::optional<std::string> hexString(const UIColor& color) {
    const auto [r, g, b, a] = color.rgba();
    char text[16];
    if (a == 1) {
        std::snprintf(text, sizeof text, "#%02lX%02lX%02lX", component255(r), component255(g), component255(b));
    } else {
        std::snprintf(text, sizeof text, "#%02lX%02lX%02lX%02lX", component255(r), component255(g), component255(b),
                      component255(a));
    }
    return std::string(text);
}

ColorHSBA hsba(const UIColor& color) {
    const auto [r, g, b, a] = color.rgba();
    const double maximum = std::max({r, g, b});
    const double minimum = std::min({r, g, b});
    const double range = maximum - minimum;
    ColorHSBA result{0, maximum > 0 ? range / maximum : 0, maximum, a};
    if (range > 0) {
        double sector;
        if (maximum == r) {
            sector = (g - b) / range;
        } else if (maximum == g) {
            sector = 2 + (b - r) / range;
        } else {
            sector = 4 + (r - g) / range;
        }
        result.hue = std::fmod(sector * 60 + 360, 360);
    }
    return result;
}

ColorDelta getRGBDelta(const UIColor& a, const UIColor& b) {
    return {(a.red() - b.red()) * 255, (a.green() - b.green()) * 255, (a.blue() - b.blue()) * 255};
}

}  // namespace QVToolbox
