#include <QVResource/localization/QVLanguageType.h>

#include <QVResource/localization/QVLocalized.h>
#include <QVResource/localization/QVLocalizedResource.h>

namespace QVResource {

namespace {

struct Row {
    std::string_view rawValue, sign, isoCode, displayName;
};

// In case order. The sign of ko_KR is "KOR" and that of auto_ "zh-CN": image names use them.
constexpr std::array<Row, 13> kRows = {{
    {"system", "zh-CN", "USA", "跟随系统"},
    {"en", "en-US", "USA", "English"},
    {"zh-Hans", "zh-CN", "CHN", "简体中文"},
    {"zh-Hant", "zh-TW", "TWN", "繁體中文"},
    {"fr", "fr-FR", "FRA", "Français"},
    {"de", "de-DE", "DEU", "Deutsch"},
    {"ja", "ja-JP", "JPN", "日本語"},
    {"ko", "KOR", "KOR", "한국어"},
    {"es", "es-ES", "ESP", "español"},
    {"ru", "ru-RU", "RUS", "Русский"},
    {"it", "it-IT", "ITA", "Italiano"},
    {"hi", "hi-IN", "IND", "हाय-इन"},
    {"pt", "pt-PT", "PRT", "Português"},
}};

const Row& rowOf(QVLanguageType::Case value) { return kRows[static_cast<std::size_t>(value)]; }

}  // namespace

const std::array<QVLanguageType, 13>& QVLanguageType::allCases() {
    static const std::array<QVLanguageType, 13> cases = {auto_, en,    zh_CN, zh_TW, fr_FR, de_DE, ja_JP,
                                                         ko_KR, es_ES, ru_RU, it_IT, hi_IN, pt_PT};
    return cases;
}

std::optional<QVLanguageType> QVLanguageType::fromRawValue(std::string_view rawValue) {
    for (const QVLanguageType language : allCases()) {
        if (language.rawValue() == rawValue) return language;
    }
    return std::nullopt;
}

std::optional<QVLanguageType> QVLanguageType::fromMRawValue(std::string_view identifier) {
    if (identifier == "en-US" || identifier == "en-CN") return en;
    if (identifier == "zh-Hans" || identifier == "zh-Hans-US" || identifier == "zh-Hans-CN" || identifier == "zh-Hant-CN")
        return zh_CN;
    if (identifier == "zh-TW" || identifier == "zh-Hant" || identifier == "zh-HK") return zh_TW;
    if (auto exact = fromRawValue(identifier)) return exact;
    // The input is set aside: the system's language decides.
    const std::string system = QVLocalized::curSystemLanguageStr();
    for (const QVLanguageType language : allCases()) {
        if (language.rawValue().find(system) != std::string_view::npos) return language;
    }
    return std::nullopt;
}

std::string_view QVLanguageType::rawValue() const { return rowOf(value_).rawValue; }
std::string_view QVLanguageType::sign() const { return rowOf(value_).sign; }
std::string_view QVLanguageType::isoCode() const { return rowOf(value_).isoCode; }

std::string QVLanguageType::displayName() const {
    if (value_ == auto_) return QVLocalized::resourceBundle("QVResource")->localizedStr(rowOf(auto_).displayName);
    return std::string(rowOf(value_).displayName);
}

}  // namespace QVResource
