// QVLocalized: the application's display language: which one is in effect, the user's
// persisted choice, and the registry of per-module resources (QVLocalizedResource).
//
//   QVLocalized::setCurrentLanguage(QVLanguageType::de_DE);   // true when "de" is localized
//   QVLocalized::currentLanguage();                           // de_DE
//   QVLocalized::resourceBundle("Login")->localizedStr("title");
//
// Persisted in the user defaults: "QVSCurrentLanguageKey" (a raw value) and
// "QVSFollowSystemLanguageKey" (the text "true" or "false"). The effective language is the
// stored choice when one is set and not following the system; otherwise the system language
// (Host::preferredLanguages) when the main bundle localizes it; otherwise en. A change of
// language rebuilds every registered resource before "QVLanguageChangeNotification" is
// posted (synchronously, no sender, no user information), so observers already see the new
// bundles; a resource held from before keeps its old bundles.
//
// Thread rule: every operation may be called from any thread. One mutex guards the registry
// and the language cache; it is never held while a resource is built, the notification is
// posted or an observer runs.
#pragma once

#include <QVPlatform/runtime/NSObject.h>
#include <QVResource/localization/QVLanguageType.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QVResource {

class QVLocalizedResource;

class QVLocalized : public platform::NSObjectSubclass<QVLocalized, platform::NSObject, "QVLocalized"> {
public:
    using QVLanguageType = QVResource::QVLanguageType;
    using ResourceMap = std::map<std::string, std::shared_ptr<QVLocalizedResource>, std::less<>>;

    static constexpr std::string_view QVLanguageChangeNotification = "QVLanguageChangeNotification";
    const std::string QVCurrentLanguageKey = "QVSCurrentLanguageKey";
    const std::string QVFollowSystemLanguageKey = "QVSFollowSystemLanguageKey";

    // The process-wide instance, made on first use and never destroyed.
    static QVLocalized& shared();

    // Registers the library's own module, "QVResource", with a fresh resource.
    static void awake();
    // Registers a fresh resource for `name`, replacing any earlier one.
    static void registerBundle(std::string_view name);
    // The registered resource of `name`; one is made and registered when there is none.
    static std::shared_ptr<QVLocalizedResource> resourceBundle(std::string_view name);

    // The main bundle's localizations in its order, the first "Base" removed, each mapped by
    // QVLanguageType::fromMRawValue; entries that do not map are dropped, duplicates stay.
    static std::vector<QVLanguageType> supportedLanguages();
    // True unless "QVSFollowSystemLanguageKey" holds a text other than "true".
    static bool followSystemLanguage();
    // The effective language (never auto_ unless auto_ itself is supported); refreshes the cache.
    static QVLanguageType currentLanguage();
    static QVLanguageType currentSetLanguage();
    // The cached effective language, or the effective language when nothing is cached.
    static QVLanguageType quickCurrentLanguage();
    // The system language through fromMRawValue, or auto_ when it does not map.
    static QVLanguageType currentSystemLanguage();
    // The first preferred language cut before its first "-" ("zh-Hans-CN" gives "zh"), or
    // "system" when there is none.
    static std::string curSystemLanguageStr();
    // Stores `type` (auto_ stands for the system language) when the main bundle localizes it,
    // else "system", with the follow flag "true" exactly when `type` is auto_; flushes the
    // defaults, rebuilds every registered resource, caches the language and posts
    // QVLanguageChangeNotification. Returns whether the language is localized.
    static bool setCurrentLanguage(QVLanguageType type);
    // The name of the locale `identifier` written in the effective language ("fr" gives
    // "French" in English); the identifier itself when there is no name for it.
    static std::string displayNameForLanguage(std::string_view identifier);

    // A copy of the registry, for inspection.
    static ResourceMap localizedResourceMap();

private:
    // The stored choice: the stored language when not following the system, else auto_.
    QVLanguageType storedLanguage() const;
    // The effective language, stored in the cache.
    QVLanguageType currentRealLanguage();
    void cache(QVLanguageType language);

    mutable std::mutex mutex_;  // guards localizedResourceMap_ and m_curLanguage_
    ResourceMap localizedResourceMap_;
    std::optional<QVLanguageType> m_curLanguage_;
};

}  // namespace QVResource
