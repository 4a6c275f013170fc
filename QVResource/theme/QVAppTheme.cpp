#include <QVResource/theme/QVAppTheme.h>

namespace QVResource {

namespace {

constexpr std::array<std::string_view, 5> kRawValues = {"main", "main_dark", "varden", "tirosage", "pelmo"};

}  // namespace

const std::array<QVAppTheme, 5>& QVAppTheme::allCases() {
    static const std::array<QVAppTheme, 5> cases = {main, main_dark, varden, tirosage, pelmo};
    return cases;
}

std::optional<QVAppTheme> QVAppTheme::fromRawValue(std::string_view rawValue) {
    for (const QVAppTheme theme : allCases()) {
        if (theme.rawValue() == rawValue) return theme;
    }
    return std::nullopt;
}

std::string_view QVAppTheme::rawValue() const { return kRawValues[static_cast<std::size_t>(value_)]; }

}  // namespace QVResource
