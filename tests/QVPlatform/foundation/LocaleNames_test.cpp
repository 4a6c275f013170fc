#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/foundation/Locale.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using namespace platform;

namespace {

// Sets (or, with no value, unsets) an environment variable while alive.
class EnvironmentScope {
public:
    EnvironmentScope(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) previous_ = old;
        if (value) setenv(name, value->c_str(), 1);
        else unsetenv(name);
    }
    ~EnvironmentScope() {
        if (previous_) setenv(name_, previous_->c_str(), 1);
        else unsetenv(name_);
    }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    const char* name_;
    std::optional<std::string> previous_;
};

}  // namespace

TEST(LocaleNames, DisplayNamesComeFromIcuInTheGivenLanguage) {
    EXPECT_EQ(Locale("en").localizedStringForLocaleIdentifier("fr"), "French");
    EXPECT_EQ(Locale("fr").localizedStringForLocaleIdentifier("fr"), "français");
    EXPECT_EQ(Locale("en").localizedStringForLocaleIdentifier("zh-Hans"), "Chinese (Simplified)");
    EXPECT_EQ(Locale("zh-Hans").localizedStringForLocaleIdentifier("en"), "英语");
    EXPECT_FALSE(Locale("en").localizedStringForLocaleIdentifier("xx"));
    EXPECT_FALSE(Locale("en").localizedStringForLocaleIdentifier(""));
}

TEST(LocaleNames, TagsConvertBetweenBcp47AndIcuForms) {
    EXPECT_EQ(Locale("zh-Hans").identifier(), "zh_Hans");
    EXPECT_EQ(Locale("zh_Hans").languageTag(), "zh-Hans");
    EXPECT_EQ(Locale("zh-Hant-TW").identifier(), "zh_Hant_TW");
    EXPECT_EQ(Locale("en_US").languageTag(), "en-US");
}

TEST(HostLanguages, GnuLanguageListComesBeforeTheLocale) {
    EnvironmentScope qv("QV_LANGUAGES", std::nullopt);
    EnvironmentScope lcAll("LC_ALL", std::nullopt);
    EnvironmentScope lcMessages("LC_MESSAGES", std::nullopt);
    EnvironmentScope lang("LANG", "fr_FR.UTF-8");
    {
        EnvironmentScope language("LANGUAGE", "zh_TW:en");
        EXPECT_EQ(Host::preferredLanguages(), (std::vector<std::string>{"zh-TW", "en"}));
    }
    {
        EnvironmentScope language("LANGUAGE", "");
        EXPECT_EQ(Host::preferredLanguages(), (std::vector<std::string>{"fr-FR"}));
    }
}
