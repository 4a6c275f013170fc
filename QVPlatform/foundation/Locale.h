// Locale: a language and region setting by identifier ("zh_Hans_CN", "en_US", "fr"), used by
// calendars and date formatters.
//
//   Locale zh("zh_Hans_CN");
//   zh.languageCode();                    // "zh"
//   Locale::current().identifier();       // the host's locale, e.g. "en_US"
//
// BCP 47 tags ("en-US") are accepted and stored in the underscore form. The current locale
// is the host's (platform::Host::localeIdentifier). Thread rule: a value type.
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

    friend bool operator==(const Locale&, const Locale&) = default;

private:
    struct Updating {};
    explicit Locale(Updating) : autoupdating_(true) {}
    std::string identifier_;
    bool autoupdating_ = false;
};

}  // namespace platform
