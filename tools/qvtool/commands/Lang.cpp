// `qvtool lang`: QVResource's display language and a module's localized texts and images,
// against the main bundle (QV_MAIN_BUNDLE), the choice persisted under the home folder
// (QV_HOME) and the system languages (QV_LANGUAGES).
//
// The library looks a module up by folder name and falls back to the main bundle for any name
// it cannot use; the tool refuses such a name rather than answer from the wrong bundle.
#include "../Cli.h"
#include "../Input.h"

#include <QVResource/localization/QVLocalized.h>
#include <QVResource/localization/QVLocalizedResource.h>
#include <QVResource/theme/QVThemeManager.h>

#include <QVPlatform/foundation/Bundle.h>

#include <iostream>
#include <sstream>

namespace qvtool {
namespace {

using QVResource::QVLanguageType;
using QVResource::QVLocalized;

// Every language code, as one text: "system, en, zh-Hans, ...".
std::string languageCodes() { return rawValueList(QVLanguageType::allCases()); }

QVLanguageType languageArgument(const std::string& code) {
    if (const auto language = QVLanguageType::fromRawValue(code)) return *language;
    throw BadInput("CODE " + shown(code) + " is not a language code (one of " + languageCodes() + ")");
}

// A name the library looks up as one folder inside the main bundle.
const std::string& moduleArgument(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name.find("..") != std::string::npos) {
        throw BadInput("MODULE " + shown(name) + " is not a module name (one folder name, without / or ..)");
    }
    return requireUtf8(name, "MODULE");
}

// Standard output swallowed while it lives: the library reports a missing image there.
class MutedOutput {
public:
    MutedOutput() : saved_(std::cout.rdbuf(sink_.rdbuf())) {}
    ~MutedOutput() { std::cout.rdbuf(saved_); }
    MutedOutput(const MutedOutput&) = delete;
    MutedOutput& operator=(const MutedOutput&) = delete;

private:
    std::ostringstream sink_;
    std::streambuf* saved_;
};

// The name of the variant `resource.image(name)` finds, in the order it tries them: name with
// the language's sign and the theme, with the sign, with the theme, alone; each in the module
// bundle and then the main bundle.
std::string foundVariant(const QVResource::QVLocalizedResource& resource, const std::string& name) {
    const std::string sign = "_" + std::string(QVLocalized::currentLanguage().sign());
    const std::string theme = "_" + std::string(QVResource::QVThemeManager::shared().selectedTheme().rawValue());
    const auto main = platform::Bundle::main();
    for (const std::string& candidate : {name + sign + theme, name + sign, name + theme, name}) {
        if (platform::UIImage::named(candidate, resource.moduleBundle()) || platform::UIImage::named(candidate, main)) {
            return candidate;
        }
    }
    return name;
}

void defineCurrent(CLI::App& group) {
    Verb verb(group, "current", "the language in effect (en, zh-Hans...)");
    verb.run([] {
        std::cout << QVLocalized::currentLanguage().rawValue() << "\n";
        return 0;
    });
}

void defineSupported(CLI::App& group) {
    Verb verb(group, "supported", "the main bundle's languages, one code per line; status 1 for none");
    verb.run([] {
        const auto languages = QVLocalized::supportedLanguages();
        for (const QVLanguageType language : languages) std::cout << language.rawValue() << "\n";
        return languages.empty() ? 1 : 0;
    });
}

void defineSet(CLI::App& group) {
    Verb verb(group, "set", "stores the language; prints true when the main bundle localizes it");
    const auto& code = verb.argument("CODE", "a language code (system follows the system)");
    verb.run([&code] { return printBool(QVLocalized::setCurrentLanguage(languageArgument(code))); });
}

void defineText(CLI::App& group) {
    Verb verb(group, "text", "KEY translated in the module's table (the key itself when untranslated)");
    const auto& values = verb.repeatedOption("--arg", "V", "a text for the format's next argument (%@, %1$@...)");
    const auto& module = verb.argument("MODULE", "a module: MODULE.bundle or MODULE.framework, else the main bundle");
    const auto& key = verb.input("KEY", "the key, which is also the format");
    verb.run([&] {
        QVResource::QVRLocalizedStringKey::StringInterpolation interpolation;
        interpolation.appendLiteral(requireUtf8(key, "KEY"));
        for (const auto& value : values) interpolation.args.emplace_back(requireUtf8(value, "--arg"));
        const QVResource::QVRLocalizedStringKey localized(std::move(interpolation));
        std::cout << QVLocalized::resourceBundle(moduleArgument(module))->localizedStrByInterpolation(localized)
                  << "\n";
        return 0;
    });
}

void defineImage(CLI::App& group) {
    Verb verb(group, "image", "the name of the image variant found; nothing and status 1 when none");
    const auto& module = verb.argument("MODULE", "a module: MODULE.bundle or MODULE.framework, else the main bundle");
    const auto& name = verb.argument("NAME", "an image name (icon_back)");
    verb.run([&] {
        if (name.empty()) throw BadInput("NAME is empty");
        const auto resource = QVLocalized::resourceBundle(moduleArgument(module));
        std::shared_ptr<platform::UIImage> image;
        {
            const MutedOutput muted;
            image = resource->image(requireUtf8(name, "NAME"));
        }
        if (!image) return 1;
        std::cout << foundVariant(*resource, name) << "\n";
        return 0;
    });
}

void define(CLI::App& group) {
    defineCurrent(group);
    defineSupported(group);
    defineSet(group);
    defineText(group);
    defineImage(group);
    group.footer("Language codes: " + languageCodes() +
                 ".\n"
                 "Images are tried as NAME_SIGN_THEME, NAME_SIGN, NAME_THEME and NAME, where SIGN is the language's\n"
                 "sign (en-US, zh-CN, KOR...) and THEME the selected theme (main...).");
}

const GroupRegistration registration{
    {"lang", "display language: current, supported, set; a module's texts and images", 50, define}};

}  // namespace
}  // namespace qvtool
