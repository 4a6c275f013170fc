#include <QVResource/localization/QVLocalized.h>
#include <QVResource/localization/QVLocalizedResource.h>

#include <QVPlatform/foundation/NotificationCenter.h>

#include "QVResource/localization/LocalizationFixture.h"

using namespace QVResource;
using L = QVLanguageType;
using platform::Any;

namespace {

class QVLocalizedTest : public qvtest::LocalizationTest {
protected:
    static Any stored(const char* key) { return platform::NSUserDefaults::standardUserDefaults().objectForKey(key); }
};

}  // namespace

TEST_F(QVLocalizedTest, FreshInstallFollowsTheSystemWhenTheBundleHasIt) {
    localize({"Base", "en", "fr"});
    useSystemLanguages({"fr-FR"});
    EXPECT_TRUE(QVLocalized::followSystemLanguage());
    EXPECT_EQ(QVLocalized::currentLanguage(), L::fr_FR);
    EXPECT_EQ(QVLocalized::quickCurrentLanguage(), L::fr_FR);
    EXPECT_EQ(QVLocalized::curSystemLanguageStr(), "fr");
    EXPECT_EQ(QVLocalized::currentSystemLanguage(), L::fr_FR);
    useSystemLanguages({"de-DE"});
    EXPECT_EQ(QVLocalized::currentSetLanguage(), L::en);  // "de" is not localized
    useSystemLanguages({"zh-Hant-TW"});
    EXPECT_EQ(QVLocalized::currentSystemLanguage(), L::zh_CN);  // the short form "zh"
    useSystemLanguages({});
    EXPECT_EQ(QVLocalized::curSystemLanguageStr(), "system");
}

TEST_F(QVLocalizedTest, SupportedLanguagesDropTheFirstBaseAndUnmappedNames) {
    localize({"Base", "en", "zh-Hans", "zh-HK", "sv"});
    useSystemLanguages({"sv-SE"});
    // Sorted folder order: Base, en, sv, zh-HK, zh-Hans; "sv" maps to nothing on a Swedish system.
    EXPECT_EQ(QVLocalized::supportedLanguages(), (std::vector<L>{L::en, L::zh_TW, L::zh_CN}));
    useSystemLanguages({"en"});  // on an English system "sv" stands for English: duplicates stay
    EXPECT_EQ(QVLocalized::supportedLanguages(), (std::vector<L>{L::en, L::en, L::zh_TW, L::zh_CN}));
}

TEST_F(QVLocalizedTest, SetCurrentLanguageStoresRebuildsCachesAndPosts) {
    localize({"Base", "en", "de", "ja"});
    qvtest::writeFile(root / "Shop.bundle/en.lproj/Shop.strings", "\"buy\" = \"Buy\";");
    qvtest::writeFile(root / "Shop.bundle/de.lproj/Shop.strings", "\"buy\" = \"Kaufen\";");
    qvtest::writeFile(root / "Shop.bundle/ja.lproj/Shop.strings", "\"buy\" = \"買う\";");
    useSystemLanguages({"ja-JP"});
    QVLocalized::registerBundle("Shop");
    const auto before = QVLocalized::resourceBundle("Shop");

    std::vector<std::string> seen;
    auto& center = platform::NSNotificationCenter::defaultCenter();
    const auto token = center.addObserver("QVLanguageChangeNotification", nullptr, [&](const platform::NSNotification& n) {
        EXPECT_TRUE(n.object.isNull());
        seen.push_back(QVLocalized::resourceBundle("Shop")->localizedStr("buy"));  // already the new bundles
    });
    EXPECT_TRUE(QVLocalized::setCurrentLanguage(L::de_DE));
    center.removeObserver(token);

    EXPECT_EQ(seen, std::vector<std::string>{"Kaufen"});
    EXPECT_EQ(stored("QVSCurrentLanguageKey"), Any("de"));
    EXPECT_EQ(stored("QVSFollowSystemLanguageKey"), Any("false"));
    EXPECT_EQ(QVLocalized::currentLanguage(), L::de_DE);  // even on a Japanese system
    EXPECT_EQ(before->localizedStr("buy"), "買う");  // a resource held from before keeps its bundles
    EXPECT_NE(QVLocalized::resourceBundle("Shop"), before);

    EXPECT_TRUE(QVLocalized::setCurrentLanguage(L::auto_));
    EXPECT_EQ(stored("QVSCurrentLanguageKey"), Any("ja"));
    EXPECT_EQ(stored("QVSFollowSystemLanguageKey"), Any("true"));
    EXPECT_EQ(QVLocalized::quickCurrentLanguage(), L::ja_JP);
}

TEST_F(QVLocalizedTest, AnUnsupportedChoiceStoresSystemAndFallsBackToEnglish) {
    localize({"Base", "en"});
    EXPECT_FALSE(QVLocalized::setCurrentLanguage(L::ru_RU));
    EXPECT_EQ(stored("QVSCurrentLanguageKey"), Any("system"));
    EXPECT_EQ(stored("QVSFollowSystemLanguageKey"), Any("false"));
    EXPECT_EQ(QVLocalized::quickCurrentLanguage(), L::auto_);  // the cache until refreshed
    EXPECT_EQ(QVLocalized::currentLanguage(), L::en);
    EXPECT_EQ(QVLocalized::quickCurrentLanguage(), L::en);
}

TEST_F(QVLocalizedTest, StoredValuesOfTheWrongKindAreIgnored) {
    localize({"en", "fr"});
    auto& defaults = platform::NSUserDefaults::standardUserDefaults();
    defaults.setObject(Any(false), "QVSFollowSystemLanguageKey");  // a Boolean is not the text "false"
    defaults.setObject(Any("fr"), "QVSCurrentLanguageKey");
    EXPECT_TRUE(QVLocalized::followSystemLanguage());
    EXPECT_EQ(QVLocalized::currentLanguage(), L::en);
    defaults.setObject(Any("false"), "QVSFollowSystemLanguageKey");
    EXPECT_EQ(QVLocalized::currentLanguage(), L::fr_FR);
    defaults.setObject(Any(7), "QVSCurrentLanguageKey");
    EXPECT_EQ(QVLocalized::currentLanguage(), L::en);
}

TEST_F(QVLocalizedTest, RegistryMakesReplacesAndKeepsResources) {
    const auto made = QVLocalized::resourceBundle("Registry");
    EXPECT_EQ(QVLocalized::resourceBundle("Registry"), made);
    QVLocalized::registerBundle("Registry");
    EXPECT_NE(QVLocalized::resourceBundle("Registry"), made);
    QVLocalized::awake();
    EXPECT_EQ(QVLocalized::localizedResourceMap().count("QVResource"), 1u);
}

TEST_F(QVLocalizedTest, DisplayNamesAreWrittenInTheEffectiveLanguage) {
    localize({"en", "fr"});
    EXPECT_EQ(QVLocalized::displayNameForLanguage("fr"), "French");
    EXPECT_EQ(QVLocalized::displayNameForLanguage("zh-Hans"), "Chinese (Simplified)");
    EXPECT_EQ(QVLocalized::displayNameForLanguage("xx"), "xx");
    ASSERT_TRUE(QVLocalized::setCurrentLanguage(L::fr_FR));
    EXPECT_EQ(QVLocalized::displayNameForLanguage("de"), "allemand");
}
