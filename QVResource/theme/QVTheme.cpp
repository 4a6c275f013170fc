#include <QVResource/theme/QVTheme.h>

#include <algorithm>
#include <cstdint>

namespace QVResource {

namespace {

constexpr std::array<std::string_view, QVThemeSlotCount> kSlotNames = {
    "primary", "primary_1", "primary_2", "primary_3",
    "primary_04", "gradient_btn_left_nor", "gradient_btn_right_nor", "gradient_btn_right_nor_0",
    "gradient_btn_left_sel_4", "gradient_btn_right_sel_4", "loginbg", "white",
    "white_0", "dark", "cell_white", "ring_color",
    "ring_gray_color", "heliotrope", "dodgerBlue", "caribbeanGreen",
    "sunsetOrange", "warn", "link", "fail",
    "success", "alert", "text_high", "text_middle",
    "text_low", "text_set_high", "text_set_middle", "line",
    "line_primary_2", "border", "bg_Selago", "bg_WildSand",
    "bg_Alabaster", "bg_primary_1"
};

// One cell of the colour table: 8-bit red, green and blue as 0xRRGGBB, and the alpha.
struct Cell {
    std::uint32_t rgb;
    double alpha;
};

// Columns: main, main_dark, varden, tirosage, pelmo. Rows: the slots in declaration order.
// Where the tirosage column shows the main theme's purple, that is its value.
constexpr Cell kColors[QVThemeSlotCount][5] = {
    {{0x5F2AD1, 1}, {0xFF8800, 1}, {0x0551D6, 1}, {0xF87B15, 1}, {0x0AC674, 1}},  // primary
    {{0x5F2AD1, 0.1}, {0xFF8800, 0.1}, {0x0551D6, 0.1}, {0xF87B15, 0.1}, {0x0AC674, 0.1}},  // primary_1
    {{0x5F2AD1, 0.2}, {0xFF8800, 0.2}, {0x0551D6, 0.2}, {0xF87B15, 0.2}, {0x0AC674, 0.2}},  // primary_2
    {{0x5F2AD1, 0.3}, {0xFF8800, 0.3}, {0x0551D6, 0.3}, {0xF87B15, 0.3}, {0x0AC674, 0.3}},  // primary_3
    {{0x5F2AD1, 0.04}, {0xFF8800, 0.04}, {0x0551D6, 0.04}, {0xF87B15, 0.04}, {0x0AC674, 0.04}},  // primary_04
    {{0x8251EC, 1}, {0xFF8800, 1}, {0x0551D6, 1}, {0x8251EC, 1}, {0x0AC674, 1}},  // gradient_btn_left_nor
    {{0x5F2AD1, 1}, {0xFF8800, 1}, {0x0551D6, 1}, {0xF87B15, 1}, {0x0AC674, 1}},  // gradient_btn_right_nor
    {{0x5F2AD1, 0}, {0xFF8800, 0}, {0x0551D6, 0.1}, {0xF87B15, 0}, {0x0AC674, 0.1}},  // gradient_btn_right_nor_0
    {{0x8251EC, 0.4}, {0xFF8800, 0.4}, {0x0551D6, 0.4}, {0x8251EC, 0.4}, {0x0AC674, 0.4}},  // gradient_btn_left_sel_4
    {{0x5F2AD1, 0.4}, {0xFF8800, 0.4}, {0x0551D6, 0.4}, {0xF87B15, 0.4}, {0x0AC674, 0.4}},  // gradient_btn_right_sel_4
    {{0xE0D4F8, 1}, {0xE0D4F8, 1}, {0xFFFFFF, 1}, {0xE0D4F8, 1}, {0xFFFFFF, 1}},  // loginbg
    {{0xFFFFFF, 1}, {0xFFFFFF, 1}, {0xFFFFFF, 1}, {0xFFFFFF, 1}, {0xFFFFFF, 1}},  // white
    {{0xFFFFFF, 0}, {0xFFFFFF, 0}, {0xFFFFFF, 0}, {0xFFFFFF, 0}, {0xFFFFFF, 0}},  // white_0
    {{0x000000, 1}, {0xFFFFFF, 1}, {0x000000, 1}, {0x000000, 1}, {0x000000, 1}},  // dark
    {{0xFFFFFF, 1}, {0x181818, 1}, {0xFFFFFF, 1}, {0xFFFFFF, 1}, {0xFFFFFF, 1}},  // cell_white
    {{0x5F2AD1, 1}, {0xFF8800, 1}, {0x0551D6, 1}, {0xF87B15, 1}, {0x0AC674, 1}},  // ring_color
    {{0xD9D9D9, 1}, {0xFFFFFF, 0.15}, {0xD9D9D9, 1}, {0xD9D9D9, 1}, {0xD9D9D9, 1}},  // ring_gray_color
    {{0x975DF8, 1}, {0x975DF8, 1}, {0x975DF8, 1}, {0x975DF8, 1}, {0x975DF8, 1}},  // heliotrope
    {{0x3B98FF, 1}, {0x3B98FF, 1}, {0x3B98FF, 1}, {0x3B98FF, 1}, {0x3B98FF, 1}},  // dodgerBlue
    {{0x03D5A3, 1}, {0x03D5A3, 1}, {0x03D5A3, 1}, {0x03D5A3, 1}, {0x03D5A3, 1}},  // caribbeanGreen
    {{0xFF5348, 1}, {0xFF5348, 1}, {0xFF5348, 1}, {0xFF5348, 1}, {0xFF5348, 1}},  // sunsetOrange
    {{0xFF5348, 1}, {0xFF5348, 1}, {0xFF5348, 1}, {0xFF5348, 1}, {0xFF5348, 1}},  // warn
    {{0x5F2AD1, 1}, {0xFF8800, 1}, {0x0551D6, 1}, {0xF87B15, 1}, {0x0AC674, 1}},  // link
    {{0xFF5348, 1}, {0xFF5348, 1}, {0xFF5348, 1}, {0xFF5348, 1}, {0xFF5348, 1}},  // fail
    {{0x13CE66, 1}, {0x13CE66, 1}, {0x13CE66, 1}, {0x13CE66, 1}, {0x13CE66, 1}},  // success
    {{0xFFCA3E, 1}, {0xFFCA3E, 1}, {0xFFCA3E, 1}, {0xFFCA3E, 1}, {0xFFCA3E, 1}},  // alert
    {{0x222222, 1}, {0xFFFFFF, 1}, {0x222222, 1}, {0x222222, 1}, {0x222222, 1}},  // text_high
    {{0x555555, 1}, {0xFFFFFF, 0.5}, {0x555555, 1}, {0x555555, 1}, {0x555555, 1}},  // text_middle
    {{0x888888, 1}, {0xFFFFFF, 0.2}, {0x888888, 1}, {0x888888, 1}, {0x888888, 1}},  // text_low
    {{0x131033, 1}, {0xFFFFFF, 1}, {0x131033, 1}, {0x131033, 1}, {0x131033, 1}},  // text_set_high
    {{0x9B9DB1, 1}, {0xFFFFFF, 0.5}, {0x9B9DB1, 1}, {0x9B9DB1, 1}, {0x9B9DB1, 1}},  // text_set_middle
    {{0xEBEBEB, 1}, {0xEBEBEB, 1}, {0xEBEBEB, 1}, {0xEBEBEB, 1}, {0xEBEBEB, 1}},  // line
    {{0x5F2AD1, 0.2}, {0xFF8800, 0.2}, {0x0551D6, 0.2}, {0x5F2AD1, 0.2}, {0x0AC674, 0.2}},  // line_primary_2
    {{0xDEE2ED, 1}, {0xDEE2ED, 1}, {0xDEE2ED, 1}, {0xDEE2ED, 1}, {0xDEE2ED, 1}},  // border
    {{0xF7F7F7, 1}, {0x0F0F0F, 1}, {0xEEF3F7, 1}, {0xF3F3FD, 1}, {0xEEF3F7, 1}},  // bg_Selago
    {{0xF7F7F7, 1}, {0xF7F7F7, 1}, {0xF7F7F7, 1}, {0xF7F7F7, 1}, {0xF7F7F7, 1}},  // bg_WildSand
    {{0xF9F9F9, 1}, {0xF9F9F9, 1}, {0xF9F9F9, 1}, {0xF9F9F9, 1}, {0xF9F9F9, 1}},  // bg_Alabaster
    {{0x5F2AD1, 0.1}, {0xFF8800, 0.1}, {0x0551D6, 0.1}, {0x5F2AD1, 0.1}, {0x0AC674, 0.1}},  // bg_primary_1
};

enum Column { mainColumn, mainDarkColumn, vardenColumn, tirosaColumn, pelmoColumn };

// A built-in table: 38 colours made when the table is built, its type and its companion.
class ThemeTable final : public QVTheme {
public:
    ThemeTable(Column column, QVAppTheme type, bool withDarkCompanion)
        : type_(type), dark_(withDarkCompanion ? std::make_shared<ThemeTable>(mainDarkColumn, QVAppTheme::main_dark, false)
                                               : nullptr) {
        for (std::size_t slot = 0; slot < QVThemeSlotCount; ++slot) {
            const Cell cell = kColors[slot][column];
            colors_[slot] = platform::UIColor::colorWithRed(((cell.rgb >> 16) & 0xFF) / 255.0, ((cell.rgb >> 8) & 0xFF) / 255.0,
                                                            (cell.rgb & 0xFF) / 255.0, cell.alpha);
        }
    }

    Color color(QVThemeSlot slot) const override { return colors_[static_cast<std::size_t>(slot)]; }
    QVAppTheme type() const override { return type_; }
    std::shared_ptr<const QVTheme> darkTheme() const override { return dark_; }

private:
    std::array<Color, QVThemeSlotCount> colors_;
    QVAppTheme type_;
    std::shared_ptr<const QVTheme> dark_;
};

}  // namespace

const std::array<QVThemeSlot, QVThemeSlotCount>& QVThemeSlots() {
    static const auto slots = [] {
        std::array<QVThemeSlot, QVThemeSlotCount> all{};
        for (std::size_t k = 0; k < QVThemeSlotCount; ++k) all[k] = static_cast<QVThemeSlot>(k);
        return all;
    }();
    return slots;
}

std::string_view QVThemeSlotName(QVThemeSlot slot) { return kSlotNames[static_cast<std::size_t>(slot)]; }

std::optional<QVThemeSlot> QVThemeSlotNamed(std::string_view name) {
    const auto it = std::find(kSlotNames.begin(), kSlotNames.end(), name);
    if (it == kSlotNames.end()) return std::nullopt;
    return static_cast<QVThemeSlot>(it - kSlotNames.begin());
}

// QVMainTheme, QVMainDarkTheme, QVVardenTheme, QVTirosaTheme (whose type is main) and
// QVPelmoTheme; each but the dark one carries a QVMainDarkTheme companion.
std::shared_ptr<const QVTheme> QVAppTheme::theme() const {
    switch (value_) {
    case main: return std::make_shared<ThemeTable>(mainColumn, QVAppTheme::main, true);
    case main_dark: return std::make_shared<ThemeTable>(mainDarkColumn, QVAppTheme::main_dark, false);
    case varden: return std::make_shared<ThemeTable>(vardenColumn, QVAppTheme::varden, true);
    case tirosage: return std::make_shared<ThemeTable>(tirosaColumn, QVAppTheme::main, true);
    case pelmo: return std::make_shared<ThemeTable>(pelmoColumn, QVAppTheme::pelmo, true);
    }
    return std::make_shared<ThemeTable>(mainColumn, QVAppTheme::main, true);
}

}  // namespace QVResource
