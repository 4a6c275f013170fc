#include <QVResource/localization/QVLocalized.h>

#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/foundation/Locale.h>
#include <QVPlatform/foundation/NotificationCenter.h>
#include <QVPlatform/foundation/UserDefaults.h>
#include <QVResource/localization/QVLocalizedResource.h>

#include <algorithm>
#include <utility>

namespace QVResource {

namespace {

platform::NSUserDefaults& defaults() { return platform::NSUserDefaults::standardUserDefaults(); }

bool contains(const std::vector<QVLanguageType>& languages, QVLanguageType language) {
    return std::find(languages.begin(), languages.end(), language) != languages.end();
}

// The case fromMRawValue gives for the system's short form, or auto_.
QVLanguageType systemLanguage() {
    return QVLanguageType::fromMRawValue(QVLocalized::curSystemLanguageStr()).value_or(QVLanguageType::auto_);
}

}  // namespace

QVLocalized& QVLocalized::shared() {
    static auto* instance = new std::shared_ptr<QVLocalized>(std::make_shared<QVLocalized>());
    return **instance;
}

void QVLocalized::awake() { registerBundle("QVResource"); }

void QVLocalized::registerBundle(std::string_view name) {
    auto made = QVLocalizedResource::create(name);
    std::shared_ptr<QVLocalizedResource> replaced;
    QVLocalized& self = shared();
    std::lock_guard lock(self.mutex_);
    auto& entry = self.localizedResourceMap_[std::string(name)];
    replaced = std::exchange(entry, std::move(made));
}

std::shared_ptr<QVLocalizedResource> QVLocalized::resourceBundle(std::string_view name) {
    QVLocalized& self = shared();
    {
        std::lock_guard lock(self.mutex_);
        if (const auto it = self.localizedResourceMap_.find(name); it != self.localizedResourceMap_.end())
            return it->second;
    }
    auto made = QVLocalizedResource::create(name);  // built without the lock
    std::lock_guard lock(self.mutex_);
    // Another thread may have registered the module meanwhile: its resource stays.
    return self.localizedResourceMap_.try_emplace(std::string(name), std::move(made)).first->second;
}

std::vector<QVLanguageType> QVLocalized::supportedLanguages() {
    std::vector<std::string> localizations = platform::Bundle::main()->localizations();
    if (const auto base = std::find(localizations.begin(), localizations.end(), "Base"); base != localizations.end())
        localizations.erase(base);
    std::vector<QVLanguageType> languages;
    for (const auto& name : localizations) {
        if (auto language = QVLanguageType::fromMRawValue(name)) languages.push_back(*language);
    }
    return languages;
}

bool QVLocalized::followSystemLanguage() {
    const platform::Any stored = defaults().objectForKey(shared().QVFollowSystemLanguageKey);
    if (!stored.isString()) return true;
    return stored.string() == "true";
}

QVLanguageType QVLocalized::storedLanguage() const {
    if (followSystemLanguage()) return QVLanguageType::auto_;
    const platform::Any stored = defaults().objectForKey(QVCurrentLanguageKey);
    if (!stored.isString()) return QVLanguageType::auto_;
    return QVLanguageType::fromMRawValue(stored.string()).value_or(QVLanguageType::auto_);
}

QVLanguageType QVLocalized::currentRealLanguage() {
    QVLanguageType result = storedLanguage();
    if (result == QVLanguageType::auto_) {
        const QVLanguageType system = systemLanguage();
        result = followSystemLanguage() && contains(supportedLanguages(), system) ? system : QVLanguageType::en;
    }
    cache(result);
    return result;
}

void QVLocalized::cache(QVLanguageType language) {
    std::lock_guard lock(mutex_);
    m_curLanguage_ = language;
}

QVLanguageType QVLocalized::currentLanguage() { return shared().currentRealLanguage(); }
QVLanguageType QVLocalized::currentSetLanguage() { return shared().currentRealLanguage(); }

QVLanguageType QVLocalized::quickCurrentLanguage() {
    QVLocalized& self = shared();
    {
        std::lock_guard lock(self.mutex_);
        if (self.m_curLanguage_) return *self.m_curLanguage_;
    }
    return self.currentRealLanguage();
}

QVLanguageType QVLocalized::currentSystemLanguage() { return systemLanguage(); }

std::string QVLocalized::curSystemLanguageStr() {
    const std::vector<std::string> languages = platform::Host::preferredLanguages();
    if (languages.empty()) return "system";
    const std::string& first = languages.front();
    return first.substr(0, first.find('-'));
}

bool QVLocalized::setCurrentLanguage(QVLanguageType type) {
    QVLocalized& self = shared();
    QVLanguageType language = type == QVLanguageType::auto_ ? systemLanguage() : type;
    const bool supported = contains(supportedLanguages(), language);
    if (!supported) language = QVLanguageType::auto_;
    defaults().setObject(platform::Any(language.rawValue()), self.QVCurrentLanguageKey);
    defaults().setObject(platform::Any(type == QVLanguageType::auto_ ? "true" : "false"), self.QVFollowSystemLanguageKey);
    defaults().synchronize();

    // Rebuild every registered module outside the lock, then swap the new resources in.
    std::vector<std::string> names;
    {
        std::lock_guard lock(self.mutex_);
        for (const auto& entry : self.localizedResourceMap_) names.push_back(entry.first);
    }
    std::vector<std::shared_ptr<QVLocalizedResource>> rebuilt;
    for (const auto& name : names) rebuilt.push_back(QVLocalizedResource::create(name));
    {
        std::lock_guard lock(self.mutex_);
        for (std::size_t k = 0; k < names.size(); ++k) std::swap(self.localizedResourceMap_[names[k]], rebuilt[k]);
        self.m_curLanguage_ = language;
    }
    rebuilt.clear();  // the old resources are released after the lock
    platform::NSNotificationCenter::defaultCenter().post(std::string(QVLanguageChangeNotification));
    return supported;
}

std::string QVLocalized::displayNameForLanguage(std::string_view identifier) {
    const platform::Locale in(currentLanguage().rawValue());
    return in.localizedStringForLocaleIdentifier(identifier).value_or(std::string(identifier));
}

QVLocalized::ResourceMap QVLocalized::localizedResourceMap() {
    QVLocalized& self = shared();
    std::lock_guard lock(self.mutex_);
    return self.localizedResourceMap_;
}

}  // namespace QVResource
