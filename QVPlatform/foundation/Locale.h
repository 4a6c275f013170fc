// Locale: a language and region setting by identifier ("zh_Hans_CN", "en_US", "fr"), used by
// calendars and date formatters.
//
//   Locale zh("zh_Hans_CN");
//   zh.languageCode();                    // "zh"
//   Locale::current().identifier();       // the host's locale, e.g. "en_US"
//
// BCP 47 tags ("en-US", "zh-Hans") are accepted and stored in ICU's underscore form
// ("zh_Hans"); `languageTag` gives the BCP 47 form back. Names of other locales come from ICU:
//   Locale("en").localizedStringForLocaleIdentifier("fr");   // "French"
// The current locale is the host's (platform::Host::localeIdentifier). Thread rule: a value type.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

class Locale {
public:
    Locale() : Locale(std::string_view("en_US_POSIX")) {}
    explicit Locale(std::string_view identifier);

    // The host's locale, read at this call.
    static Locale current();
    // A locale that stands for current() at each use.
    static Locale autoupdatingCurrent();

    // The identifier; for the automatically updating locale, the current one's.
    std::string identifier() const;
    bool isAutoupdating() const { return autoupdating_; }
    std::optional<std::string> languageCode() const;
    std::optional<std::string> scriptCode() const;
    std::optional<std::string> regionCode() const;

    // The BCP 47 tag of this locale: "zh_Hans_CN" gives "zh-Hans-CN".
    std::string languageTag() const;
    // The name of the locale `identifier` (an ICU identifier or a BCP 47 tag) written in this
    // locale's language: "fr" gives "French" in English, "français" in French. Absent when ICU
    // has no name for its language ("xx").
    std::optional<std::string> localizedStringForLocaleIdentifier(std::string_view identifier) const;

    friend bool operator==(const Locale&, const Locale&) = default;

private:
    struct Updating {};
    explicit Locale(Updating) : autoupdating_(true) {}
    std::string identifier_;
    bool autoupdating_ = false;
};

}  // namespace platform
