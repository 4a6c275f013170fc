#include <QVPlatform/foundation/Locale.h>

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/foundation/detail/IcuBridge.h>

namespace platform {

namespace {

// The underscore form of an identifier or BCP 47 tag ("en-US" -> "en_US").
std::string normalise(std::string_view identifier) {
    if (identifier.find('-') != std::string_view::npos && identifier.find('_') == std::string_view::npos) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale tag = icu::Locale::forLanguageTag(icu::StringPiece(identifier.data(), static_cast<int32_t>(identifier.size())), status);
        if (U_SUCCESS(status) && !tag.isBogus()) return tag.getName();
    }
    return std::string(identifier);
}

std::optional<std::string> part(const char* text) {
    if (!text || !*text) return std::nullopt;
    return std::string(text);
}

}  // namespace

namespace detail {

icu::Locale makeIcuLocale(const Locale& locale) { return icu::Locale::createCanonical(locale.identifier().c_str()); }

}  // namespace detail

Locale::Locale(std::string_view identifier) : identifier_(normalise(identifier)) {}

Locale Locale::current() { return Locale(Host::localeIdentifier()); }

Locale Locale::autoupdatingCurrent() { return Locale(Updating{}); }

std::string Locale::identifier() const { return autoupdating_ ? current().identifier_ : identifier_; }

std::optional<std::string> Locale::languageCode() const { return part(detail::makeIcuLocale(*this).getLanguage()); }
std::optional<std::string> Locale::scriptCode() const { return part(detail::makeIcuLocale(*this).getScript()); }
std::string Locale::languageTag() const {
    UErrorCode status = U_ZERO_ERROR;
    const std::string tag = detail::makeIcuLocale(*this).toLanguageTag<std::string>(status);
    if (U_FAILURE(status) || tag.empty() || tag == "und") return identifier();
    return tag;
}

std::optional<std::string> Locale::localizedStringForLocaleIdentifier(std::string_view identifier) const {
    const icu::Locale named = detail::makeIcuLocale(Locale(identifier));
    const char* language = named.getLanguage();
    if (named.isBogus() || !language || !*language) return std::nullopt;
    const icu::Locale inLanguage = detail::makeIcuLocale(*this);
    icu::UnicodeString languageName;
    named.getDisplayLanguage(inLanguage, languageName);
    // ICU falls back to the code itself when it knows no name for the language.
    if (languageName.isEmpty() || detail::toUtf8(languageName) == language) return std::nullopt;
    icu::UnicodeString name;
    named.getDisplayName(inLanguage, name);
    return detail::toUtf8(name);
}

std::optional<std::string> Locale::regionCode() const { return part(detail::makeIcuLocale(*this).getCountry()); }

}  // namespace platform
