// QVTheme: a colour theme: 38 named colour slots, the theme's own identifier and an optional
// dark companion. The five built-in tables come from QVAppTheme::theme(); a host may adopt
// the interface with its own table.
//
//   auto theme = QVAppTheme(QVAppTheme::pelmo).theme();
//   theme->primary()->hexString();               // "#0AC674"
//   theme->color(QVThemeSlot::primary_1)->alpha();   // 0.1
//   theme->darkTheme()->type().rawValue();       // "main_dark"
//
// Every slot has a named accessor (`primary()`, `bg_Selago()`...) that reads `color(slot)`.
// Slot names are also texts (`QVThemeSlotName`, `QVThemeSlotNamed`) for tools that take a
// slot from the command line. Thread rule: tables are immutable; share them freely.
#pragma once

#include <QVPlatform/ui/UIColor.h>
#include <QVResource/theme/QVAppTheme.h>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

namespace QVResource {

// The 38 colour slots, in the order a theme declares them.
enum class QVThemeSlot {
    primary, primary_1, primary_2, primary_3,
    primary_04, gradient_btn_left_nor, gradient_btn_right_nor, gradient_btn_right_nor_0,
    gradient_btn_left_sel_4, gradient_btn_right_sel_4, loginbg, white,
    white_0, dark, cell_white, ring_color,
    ring_gray_color, heliotrope, dodgerBlue, caribbeanGreen,
    sunsetOrange, warn, link, fail,
    success, alert, text_high, text_middle,
    text_low, text_set_high, text_set_middle, line,
    line_primary_2, border, bg_Selago, bg_WildSand,
    bg_Alabaster, bg_primary_1
};
inline constexpr std::size_t QVThemeSlotCount = 38;

// Every slot in declaration order.
const std::array<QVThemeSlot, QVThemeSlotCount>& QVThemeSlots();
// The slot's name as written in code ("primary_04", "bg_Selago").
std::string_view QVThemeSlotName(QVThemeSlot slot);
// The slot called exactly `name`, or absent.
std::optional<QVThemeSlot> QVThemeSlotNamed(std::string_view name);

class QVTheme {
public:
    using Color = std::shared_ptr<platform::UIColor>;

    virtual ~QVTheme() = default;

    // The colour of `slot`; never null.
    virtual Color color(QVThemeSlot slot) const = 0;
    // The theme's identifier, which picks theme-specific image variants.
    virtual QVAppTheme type() const = 0;
    // The dark companion, or null.
    virtual std::shared_ptr<const QVTheme> darkTheme() const = 0;

    Color primary() const { return color(QVThemeSlot::primary); }
    Color primary_1() const { return color(QVThemeSlot::primary_1); }
    Color primary_2() const { return color(QVThemeSlot::primary_2); }
    Color primary_3() const { return color(QVThemeSlot::primary_3); }
    Color primary_04() const { return color(QVThemeSlot::primary_04); }
    Color gradient_btn_left_nor() const { return color(QVThemeSlot::gradient_btn_left_nor); }
    Color gradient_btn_right_nor() const { return color(QVThemeSlot::gradient_btn_right_nor); }
    Color gradient_btn_right_nor_0() const { return color(QVThemeSlot::gradient_btn_right_nor_0); }
    Color gradient_btn_left_sel_4() const { return color(QVThemeSlot::gradient_btn_left_sel_4); }
    Color gradient_btn_right_sel_4() const { return color(QVThemeSlot::gradient_btn_right_sel_4); }
    Color loginbg() const { return color(QVThemeSlot::loginbg); }
    Color white() const { return color(QVThemeSlot::white); }
    Color white_0() const { return color(QVThemeSlot::white_0); }
    Color dark() const { return color(QVThemeSlot::dark); }
    Color cell_white() const { return color(QVThemeSlot::cell_white); }
    Color ring_color() const { return color(QVThemeSlot::ring_color); }
    Color ring_gray_color() const { return color(QVThemeSlot::ring_gray_color); }
    Color heliotrope() const { return color(QVThemeSlot::heliotrope); }
    Color dodgerBlue() const { return color(QVThemeSlot::dodgerBlue); }
    Color caribbeanGreen() const { return color(QVThemeSlot::caribbeanGreen); }
    Color sunsetOrange() const { return color(QVThemeSlot::sunsetOrange); }
    Color warn() const { return color(QVThemeSlot::warn); }
    Color link() const { return color(QVThemeSlot::link); }
    Color fail() const { return color(QVThemeSlot::fail); }
    Color success() const { return color(QVThemeSlot::success); }
    Color alert() const { return color(QVThemeSlot::alert); }
    Color text_high() const { return color(QVThemeSlot::text_high); }
    Color text_middle() const { return color(QVThemeSlot::text_middle); }
    Color text_low() const { return color(QVThemeSlot::text_low); }
    Color text_set_high() const { return color(QVThemeSlot::text_set_high); }
    Color text_set_middle() const { return color(QVThemeSlot::text_set_middle); }
    Color line() const { return color(QVThemeSlot::line); }
    Color line_primary_2() const { return color(QVThemeSlot::line_primary_2); }
    Color border() const { return color(QVThemeSlot::border); }
    Color bg_Selago() const { return color(QVThemeSlot::bg_Selago); }
    Color bg_WildSand() const { return color(QVThemeSlot::bg_WildSand); }
    Color bg_Alabaster() const { return color(QVThemeSlot::bg_Alabaster); }
    Color bg_primary_1() const { return color(QVThemeSlot::bg_primary_1); }
};

}  // namespace QVResource
