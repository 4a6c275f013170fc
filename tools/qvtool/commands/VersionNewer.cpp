// `qvtool version-newer VERSION`: whether a version is newer than the application's
// (HxGlobalTools::compareVersion).
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

#include <charconv>
#include <iostream>

namespace qvtool {
namespace {

// compareVersion reads three dot-separated whole numbers and answers false for anything
// else; the tool refuses such text instead.
const std::string& dottedVersion(const std::string& text, std::string_view name) {
    std::size_t parts = 0;
    std::size_t start = 0;
    for (;;) {
        const auto dot = text.find('.', start);
        const auto part = std::string_view(text).substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        long long value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        const bool digitsOnly = !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
        if (!digitsOnly || error != std::errc() || end != part.data() + part.size() || ++parts > 3) break;
        if (dot == std::string::npos) {
            if (parts == 3) return text;
            break;
        }
        start = dot + 1;
    }
    throw BadInput(std::string(name) + " " + shown(text) + " is not a dotted version of three whole numbers (like 1.2.3)");
}

void define(CLI::App& group) {
    Verb verb(group);
    const auto& appVersion =
        verb.option("--app-version", "X", "compare with X instead of the main bundle's CFBundleShortVersionString");
    const auto& version = verb.argument("VERSION", "three dot-separated whole numbers, like 1.2.3");
    verb.run([&] {
        dottedVersion(version, "VERSION");
        const bool newer = appVersion ? QVToolbox::HxGlobalTools::compareVersion(version, dottedVersion(*appVersion, "--app-version"))
                                      : QVToolbox::HxGlobalTools::compareVersion(version);
        return printBool(newer);
    });
}

const GroupRegistration registration{
    {"version-newer", "true when VERSION is newer than the app's (compareVersion)", 12, define}};

}  // namespace
}  // namespace qvtool
