#include <QVResource/localization/QVLanguageType.h>
#include <QVResource/localization/QVLocalized.h>

#include "QVResource/localization/LocalizationFixture.h"

using namespace QVResource;
using L = QVLanguageType;

namespace {

class QVLanguageTypeTest : public qvtest::LocalizationTest {};

}  // namespace

TEST_F(QVLanguageTypeTest, TableOfRawValuesSignsCodesAndNames) {
    struct Row {
        const char *raw, *sign, *iso, *name;
    };
    const Row expected[] = {
        {"system", "zh-CN", "USA", "跟随系统"}, {"en", "en-US", "USA", "English"},
        {"zh-Hans", "zh-CN", "CHN", "简体中文"}, {"zh-Hant", "zh-TW", "TWN", "繁體中文"},
        {"fr", "fr-FR", "FRA", "Français"},     {"de", "de-DE", "DEU", "Deutsch"},
        {"ja", "ja-JP", "JPN", "日本語"},       {"ko", "KOR", "KOR", "한국어"},
        {"es", "es-ES", "ESP", "español"},      {"ru", "ru-RU", "RUS", "Русский"},
        {"it", "it-IT", "ITA", "Italiano"},     {"hi", "hi-IN", "IND", "हाय-इन"},
        {"pt", "pt-PT", "PRT", "Português"},
    };
    ASSERT_EQ(L::allCases().size(), std::size(expected));
    for (std::size_t k = 0; k < std::size(expected); ++k) {
        const L language = L::allCases()[k];
        EXPECT_EQ(language.rawValue(), expected[k].raw);
        EXPECT_EQ(language.sign(), expected[k].sign);
        EXPECT_EQ(language.isoCode(), expected[k].iso);
        EXPECT_EQ(language.displayName(), expected[k].name);  // auto_: no translation, the key
        EXPECT_EQ(L::fromRawValue(expected[k].raw), language);
    }
    EXPECT_FALSE(L::fromRawValue("EN"));
    EXPECT_EQ(L::defaultType(), L::auto_);
}

TEST_F(QVLanguageTypeTest, AutoDisplayNameIsTranslatedThroughTheLibraryModule) {
    qvtest::writeFile(root / "QVResource.bundle/en.lproj/QVResource.strings", "\"跟随系统\" = \"Follow system\";");
    QVLocalized::registerBundle("QVResource");
    EXPECT_EQ(L(L::auto_).displayName(), "Follow system");
    std::filesystem::remove_all(root / "QVResource.bundle");
    QVLocalized::registerBundle("QVResource");
    EXPECT_EQ(L(L::auto_).displayName(), "跟随系统");
}

TEST_F(QVLanguageTypeTest, MRawValueChecksItsListsThenTheSystemLanguage) {
    EXPECT_EQ(L::fromMRawValue("en-US"), L::en);
    EXPECT_EQ(L::fromMRawValue("en-CN"), L::en);
    EXPECT_EQ(L::fromMRawValue("zh-Hans-US"), L::zh_CN);
    EXPECT_EQ(L::fromMRawValue("zh-Hant-CN"), L::zh_CN);  // not zh_TW
    EXPECT_EQ(L::fromMRawValue("zh-HK"), L::zh_TW);
    EXPECT_EQ(L::fromMRawValue("zh-Hant"), L::zh_TW);
    EXPECT_EQ(L::fromMRawValue("ko"), L::ko_KR);
    EXPECT_EQ(L::fromMRawValue("system"), L::auto_);
    // Anything else: the system's short form decides.
    EXPECT_EQ(L::fromMRawValue("sv"), L::en);  // English system
    useSystemLanguages({"zh-Hant-TW"});
    EXPECT_EQ(L::fromMRawValue("sv"), L::zh_CN);  // "zh" is first found in "zh-Hans"
    useSystemLanguages({"pt-BR"});
    EXPECT_EQ(L::fromMRawValue("en-GB"), L::pt_PT);
    useSystemLanguages({});
    EXPECT_EQ(L::fromMRawValue("xx"), L::auto_);  // "system"
    useSystemLanguages({"sv-SE"});
    EXPECT_FALSE(L::fromMRawValue("xx"));
}
