// QVLanguageType: the thirteen display languages an application can run in.
//
//   QVLanguageType::fromRawValue("zh-Hans");            // zh_CN
//   QVLanguageType::fromMRawValue("zh-HK");             // zh_TW
//   QVLanguageType(QVLanguageType::ko_KR).sign();       // "KOR" (image-name suffix)
//
// Each case has a raw value (the `.lproj` folder name: "system", "en", "zh-Hans"...), a sign
// (the image-name suffix), a three-letter ISO country code and a display name in its own
// language. The case `auto` is written `auto_` (a name that is a C++ keyword takes a trailing
// underscore); it means "follow the system", and its display name is the key "跟随系统"
// translated through the "QVResource" module's table. Thread rule: a value type.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace QVResource {

class QVLanguageType {
public:
    // In this order, which is also the search order of fromMRawValue's last step.
    enum Case { auto_, en, zh_CN, zh_TW, fr_FR, de_DE, ja_JP, ko_KR, es_ES, ru_RU, it_IT, hi_IN, pt_PT };

    constexpr QVLanguageType(Case value) : value_(value) {}  // NOLINT: a case converts implicitly

    static const std::array<QVLanguageType, 13>& allCases();
    // The case whose raw value is exactly `rawValue` (case-sensitive), or absent.
    static std::optional<QVLanguageType> fromRawValue(std::string_view rawValue);
    // A platform language identifier mapped to a case: "en-US" and "en-CN" give en; "zh-Hans",
    // "zh-Hans-US", "zh-Hans-CN" and "zh-Hant-CN" give zh_CN; "zh-TW", "zh-Hant" and "zh-HK"
    // give zh_TW; a raw value gives its case. Anything else is set aside for the system's
    // language: the first case whose raw value contains QVLocalized::curSystemLanguageStr()
    // ("zh" gives zh_CN, "system" gives auto_), or absent when none does.
    static std::optional<QVLanguageType> fromMRawValue(std::string_view identifier);
    // auto_.
    static QVLanguageType defaultType() { return auto_; }

    constexpr Case value() const { return value_; }
    std::string_view rawValue() const;
    std::string_view sign() const;
    std::string_view isoCode() const;
    // Fixed names ("English", "简体中文"); auto_'s is looked up as described above.
    std::string displayName() const;

    friend constexpr bool operator==(QVLanguageType, QVLanguageType) = default;

private:
    Case value_;
};

}  // namespace QVResource
