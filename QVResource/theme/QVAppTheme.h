// QVAppTheme: the five colour themes an application can select, by their stored names.
//
//   QVAppTheme::fromRawValue("pelmo");          // QVAppTheme::pelmo
//   QVAppTheme(QVAppTheme::main_dark).rawValue();   // "main_dark"
//   QVAppTheme(QVAppTheme::varden).theme()->primary()->hexString();   // "#0551D6"
//
// A small value: the case, its raw value (the text stored under "selectedTheme" and used as
// the image-name suffix) and the table of colours it stands for. Matching raw values is exact
// ("Pelmo" is no theme). Thread rule: a value type.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string_view>

namespace QVResource {

class QVTheme;

class QVAppTheme {
public:
    enum Case { main, main_dark, varden, tirosage, pelmo };

    constexpr QVAppTheme(Case value) : value_(value) {}  // NOLINT: a case converts implicitly

    // The five cases in declaration order.
    static const std::array<QVAppTheme, 5>& allCases();
    // The case whose raw value is exactly `rawValue`, or absent.
    static std::optional<QVAppTheme> fromRawValue(std::string_view rawValue);

    constexpr Case value() const { return value_; }
    std::string_view rawValue() const;
    // A freshly built table of this theme's colours.
    std::shared_ptr<const QVTheme> theme() const;

    friend constexpr bool operator==(QVAppTheme, QVAppTheme) = default;

private:
    Case value_;
};

}  // namespace QVResource
