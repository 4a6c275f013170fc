#include <QVToolbox/FoundationExtension/text/Version.h>

#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/NumberFormatter.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace QVToolbox {

namespace {

std::vector<std::string_view> pieces(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto dot = text.find('.', start);
        const auto end = dot == std::string_view::npos ? text.size() : dot;
        if (end > start) out.push_back(text.substr(start, end - start));
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    return out;
}

std::optional<long> numberOf(const platform::NSNumberFormatter& f, std::string_view piece) {
    const auto n = f.numberFromString(piece);
    if (!n) return std::nullopt;
    return static_cast<long>(n->int64Value());
}

}  // namespace

std::string applicationVersion() {
    const auto bundle = platform::Bundle::main();
    if (!bundle) return {};
    const platform::Any v = bundle->objectForInfoDictionaryKey("CFBundleShortVersionString");
    return v.isString() ? v.string() : std::string();
}

int compareVersion(std::string_view text, std::string_view other) {
    const auto a = pieces(text), b = pieces(other);
    const std::size_t m = std::max(a.size(), b.size());
    const platform::NSNumberFormatter f;
    for (std::size_t i = 0; i < m; ++i) {
        const std::optional<long> ai = i < a.size() ? numberOf(f, a[i]) : std::nullopt;
        const long av = ai.value_or(0);
        if (i >= b.size()) {
            if (ai && av != 0) return av > 0 ? 1 : -1;
            continue;
        }
        if (const auto bv = numberOf(f, b[i])) {
            if (av != *bv) return av > *bv ? 1 : -1;
        } else if (av != 0) {
            return av > 0 ? 1 : -1;
        }
    }
    return 0;
}

int compareVersion(std::string_view text) { return compareVersion(text, applicationVersion()); }

}  // namespace QVToolbox
