// Colour, style and transform texts: no input crashes or hangs; colours that parse have
// their components in range (hex and names) or come from rgb values; on short inputs the
// style and transform scanners find exactly what their patterns (ICU) find.
#include <QVToolbox/svg/SVGColor.h>
#include <QVToolbox/svg/SVGStyle.h>
#include <QVToolbox/svg/SVGTransform.h>
#include <QVToolbox/svg/TransformScanner.h>

#include <QVPlatform/foundation/RegularExpression.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using platform::NSRegularExpression;
using Pairs = std::vector<std::pair<std::string_view, std::string_view>>;

Pairs regexMatches(const NSRegularExpression& re, std::string_view text, std::size_t first, std::size_t second) {
    Pairs out;
    for (const auto& m : re.matches(text)) {
        const auto a = m.rangeAtIndex(first), b = m.rangeAtIndex(second);
        out.emplace_back(text.substr(a.location, a.length), text.substr(b.location, b.length));
    }
    return out;
}

bool isAsciiWithoutNul(std::string_view text) {
    for (const char c : text) {
        if (c <= 0) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace QVToolbox;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto color = colorFromSVGString(text); color && text.starts_with('#')) {
        const auto c = color->rgba();
        for (const double v : {c.red, c.green, c.blue, c.alpha}) {
            if (!(v >= 0 && v <= 1)) __builtin_trap();
        }
    }
    const auto style = scanStyle(text, true);
    const auto transforms = scanTransformList(text);
    (void)transformFromList(text);
    // The patterns backtrack exponentially ("rgba(" and 18 digits took the transform pattern
    // over 15 s); compare on short ASCII texts only (the scanners are the same on longer ones,
    // the patterns just get slow).
    if (size <= 16 && isAsciiWithoutNul(text)) {
        static const auto stylePattern = NSRegularExpression::make(
            "(((\\w+)-?(\\w*)?):?([ #\\w]*\\.?\\w+))", platform::NSRegularExpressionOptions::caseInsensitive);
        static const auto transformPattern =
            NSRegularExpression::make("(\\w+)\\(((\\-?\\d+\\.?\\d*e?\\-?\\d*\\s*,?\\s*)+)\\)",
                                      platform::NSRegularExpressionOptions::caseInsensitive);
        Pairs ours;
        for (const auto& d : style) ours.emplace_back(d.name, d.value);
        if (ours != regexMatches(*stylePattern, text, 2, 5)) __builtin_trap();
        ours.clear();
        for (const auto& t : transforms) ours.emplace_back(t.name, t.numbers);
        if (ours != regexMatches(*transformPattern, text, 1, 2)) __builtin_trap();
    }
    return 0;
}
