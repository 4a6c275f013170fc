#include <QVResource/theme/QVTheme.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace QVResource;

namespace {

// "#RRGGBB" or "#RRGGBB, alpha A", the way the colour tables are written down.
std::string written(const platform::UIColor& color) {
    std::string text = color.hexString();
    if (color.alpha() != 1) {
        char alpha[32];
        std::snprintf(alpha, sizeof alpha, "%g", color.alpha());
        text += std::string(", alpha ") + alpha;
    }
    return text;
}

struct Row {
    const char* slot;
    const char* cells[5];  // main, main_dark, varden, tirosage, pelmo
};

const Row kExpected[] = {
    {"primary", {"#5F2AD1", "#FF8800", "#0551D6", "#F87B15", "#0AC674"}},
    {"primary_1", {"#5F2AD1, alpha 0.1", "#FF8800, alpha 0.1", "#0551D6, alpha 0.1", "#F87B15, alpha 0.1", "#0AC674, alpha 0.1"}},
    {"primary_2", {"#5F2AD1, alpha 0.2", "#FF8800, alpha 0.2", "#0551D6, alpha 0.2", "#F87B15, alpha 0.2", "#0AC674, alpha 0.2"}},
    {"primary_3", {"#5F2AD1, alpha 0.3", "#FF8800, alpha 0.3", "#0551D6, alpha 0.3", "#F87B15, alpha 0.3", "#0AC674, alpha 0.3"}},
    {"primary_04", {"#5F2AD1, alpha 0.04", "#FF8800, alpha 0.04", "#0551D6, alpha 0.04", "#F87B15, alpha 0.04", "#0AC674, alpha 0.04"}},
    {"gradient_btn_left_nor", {"#8251EC", "#FF8800", "#0551D6", "#8251EC", "#0AC674"}},
    {"gradient_btn_right_nor", {"#5F2AD1", "#FF8800", "#0551D6", "#F87B15", "#0AC674"}},
    {"gradient_btn_right_nor_0", {"#5F2AD1, alpha 0", "#FF8800, alpha 0", "#0551D6, alpha 0.1", "#F87B15, alpha 0", "#0AC674, alpha 0.1"}},
    {"gradient_btn_left_sel_4", {"#8251EC, alpha 0.4", "#FF8800, alpha 0.4", "#0551D6, alpha 0.4", "#8251EC, alpha 0.4", "#0AC674, alpha 0.4"}},
    {"gradient_btn_right_sel_4", {"#5F2AD1, alpha 0.4", "#FF8800, alpha 0.4", "#0551D6, alpha 0.4", "#F87B15, alpha 0.4", "#0AC674, alpha 0.4"}},
    {"loginbg", {"#E0D4F8", "#E0D4F8", "#FFFFFF", "#E0D4F8", "#FFFFFF"}},
    {"white", {"#FFFFFF", "#FFFFFF", "#FFFFFF", "#FFFFFF", "#FFFFFF"}},
    {"white_0", {"#FFFFFF, alpha 0", "#FFFFFF, alpha 0", "#FFFFFF, alpha 0", "#FFFFFF, alpha 0", "#FFFFFF, alpha 0"}},
    {"dark", {"#000000", "#FFFFFF", "#000000", "#000000", "#000000"}},
    {"cell_white", {"#FFFFFF", "#181818", "#FFFFFF", "#FFFFFF", "#FFFFFF"}},
    {"ring_color", {"#5F2AD1", "#FF8800", "#0551D6", "#F87B15", "#0AC674"}},
    {"ring_gray_color", {"#D9D9D9", "#FFFFFF, alpha 0.15", "#D9D9D9", "#D9D9D9", "#D9D9D9"}},
    {"heliotrope", {"#975DF8", "#975DF8", "#975DF8", "#975DF8", "#975DF8"}},
    {"dodgerBlue", {"#3B98FF", "#3B98FF", "#3B98FF", "#3B98FF", "#3B98FF"}},
    {"caribbeanGreen", {"#03D5A3", "#03D5A3", "#03D5A3", "#03D5A3", "#03D5A3"}},
    {"sunsetOrange", {"#FF5348", "#FF5348", "#FF5348", "#FF5348", "#FF5348"}},
    {"warn", {"#FF5348", "#FF5348", "#FF5348", "#FF5348", "#FF5348"}},
    {"link", {"#5F2AD1", "#FF8800", "#0551D6", "#F87B15", "#0AC674"}},
    {"fail", {"#FF5348", "#FF5348", "#FF5348", "#FF5348", "#FF5348"}},
    {"success", {"#13CE66", "#13CE66", "#13CE66", "#13CE66", "#13CE66"}},
    {"alert", {"#FFCA3E", "#FFCA3E", "#FFCA3E", "#FFCA3E", "#FFCA3E"}},
    {"text_high", {"#222222", "#FFFFFF", "#222222", "#222222", "#222222"}},
    {"text_middle", {"#555555", "#FFFFFF, alpha 0.5", "#555555", "#555555", "#555555"}},
    {"text_low", {"#888888", "#FFFFFF, alpha 0.2", "#888888", "#888888", "#888888"}},
    {"text_set_high", {"#131033", "#FFFFFF", "#131033", "#131033", "#131033"}},
    {"text_set_middle", {"#9B9DB1", "#FFFFFF, alpha 0.5", "#9B9DB1", "#9B9DB1", "#9B9DB1"}},
    {"line", {"#EBEBEB", "#EBEBEB", "#EBEBEB", "#EBEBEB", "#EBEBEB"}},
    {"line_primary_2", {"#5F2AD1, alpha 0.2", "#FF8800, alpha 0.2", "#0551D6, alpha 0.2", "#5F2AD1, alpha 0.2", "#0AC674, alpha 0.2"}},
    {"border", {"#DEE2ED", "#DEE2ED", "#DEE2ED", "#DEE2ED", "#DEE2ED"}},
    {"bg_Selago", {"#F7F7F7", "#0F0F0F", "#EEF3F7", "#F3F3FD", "#EEF3F7"}},
    {"bg_WildSand", {"#F7F7F7", "#F7F7F7", "#F7F7F7", "#F7F7F7", "#F7F7F7"}},
    {"bg_Alabaster", {"#F9F9F9", "#F9F9F9", "#F9F9F9", "#F9F9F9", "#F9F9F9"}},
    {"bg_primary_1", {"#5F2AD1, alpha 0.1", "#FF8800, alpha 0.1", "#0551D6, alpha 0.1", "#5F2AD1, alpha 0.1", "#0AC674, alpha 0.1"}},
};

}  // namespace

TEST(QVTheme, AllFiveTablesHoldTheir38ColoursExactly) {
    ASSERT_EQ(std::size(kExpected), QVThemeSlotCount);
    for (std::size_t column = 0; column < 5; ++column) {
        const auto theme = QVAppTheme::allCases()[column].theme();
        for (std::size_t row = 0; row < QVThemeSlotCount; ++row) {
            const auto slot = QVThemeSlotNamed(kExpected[row].slot);
            ASSERT_TRUE(slot) << kExpected[row].slot;
            EXPECT_EQ(QVThemeSlots()[row], *slot);
            EXPECT_EQ(written(*theme->color(*slot)), kExpected[row].cells[column])
                << QVAppTheme::allCases()[column].rawValue() << " " << kExpected[row].slot;
        }
    }
}

TEST(QVTheme, ComponentsAreEightBitValuesOver255) {
    const auto primary = QVAppTheme(QVAppTheme::main).theme()->primary();
    EXPECT_DOUBLE_EQ(primary->red(), 0x5F / 255.0);
    EXPECT_DOUBLE_EQ(primary->green(), 0x2A / 255.0);
    EXPECT_DOUBLE_EQ(primary->blue(), 0xD1 / 255.0);
    EXPECT_DOUBLE_EQ(primary->alpha(), 1.0);
    const auto theme = QVAppTheme(QVAppTheme::pelmo).theme();
    EXPECT_EQ(theme->primary_04()->alpha(), 0.04);
    EXPECT_EQ(*theme->bg_primary_1(), *theme->color(QVThemeSlot::bg_primary_1));
    EXPECT_EQ(QVThemeSlotName(QVThemeSlot::gradient_btn_right_nor_0), "gradient_btn_right_nor_0");
    EXPECT_FALSE(QVThemeSlotNamed("Primary"));
}

TEST(QVTheme, TypesAndDarkCompanions) {
    const auto type = [](QVAppTheme t) { return std::string(t.theme()->type().rawValue()); };
    EXPECT_EQ(type(QVAppTheme::main), "main");
    EXPECT_EQ(type(QVAppTheme::main_dark), "main_dark");
    EXPECT_EQ(type(QVAppTheme::varden), "varden");
    EXPECT_EQ(type(QVAppTheme::tirosage), "main");  // Tirosa's tables carry the main identifier
    EXPECT_EQ(type(QVAppTheme::pelmo), "pelmo");
    EXPECT_EQ(QVAppTheme(QVAppTheme::main_dark).theme()->darkTheme(), nullptr);
    for (QVAppTheme theme : {QVAppTheme::main, QVAppTheme::varden, QVAppTheme::tirosage, QVAppTheme::pelmo}) {
        const auto dark = theme.theme()->darkTheme();
        ASSERT_TRUE(dark);
        EXPECT_EQ(dark->primary()->hexString(), "#FF8800");
        EXPECT_EQ(dark->type(), QVAppTheme::main_dark);
    }
}

TEST(QVAppTheme, RawValuesMatchExactly) {
    EXPECT_EQ(QVAppTheme::allCases().size(), 5u);
    EXPECT_EQ(QVAppTheme::fromRawValue("tirosage"), QVAppTheme::tirosage);
    EXPECT_EQ(QVAppTheme::fromRawValue("main_dark"), QVAppTheme::main_dark);
    EXPECT_FALSE(QVAppTheme::fromRawValue("Pelmo"));
    EXPECT_FALSE(QVAppTheme::fromRawValue(""));
}
