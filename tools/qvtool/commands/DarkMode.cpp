// `qvtool darkmode`: the toolbox's dark-mode choice as stored under the home folder (QV_HOME),
// and whether a time of day lies in a dark period.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/UIKitExtension/DarkModeUtil.h>

#include <QVPlatform/ui/UITraitCollection.h>

#include <iostream>

namespace qvtool {
namespace {

using QVToolbox::HxDarkModeUtil;

const char* appearance(bool dark) { return dark ? "dark" : "light"; }

const char* activeMode() {
    if (HxDarkModeUtil::isFollowSystem()) return "follow-system";
    if (HxDarkModeUtil::isSmartPeeling()) return "smart-peeling";
    return "manual";
}

void define(CLI::App& group) {
    Verb status(group, "status", "the stored mode, dark period and the appearance now");
    status.run([] {
        const std::string period = HxDarkModeUtil::SmartPeelingTimeIntervalValue();
        const bool dark = HxDarkModeUtil::usesDarkColor(platform::UITraitCollection::current());
        std::cout << "mode " << activeMode() << "\nperiod " << period
                  << (QVToolbox::parseDarkPeriod(period) ? "" : " (does not parse: never dark)")
                  << "\nappearance " << appearance(dark) << "\n";
        return 0;
    });

    Verb at(group, "at", "dark or light at a time of day, by the stored or given dark period");
    const auto& time = at.argument("HH:MM", "a time of day, like 03:00 or 3:00");
    const auto& given = at.option("--period", "START~END", "a dark period like 21:00~8:00 (default: the stored one)");
    at.run([&] {
        const auto minute = QVToolbox::minuteOfDay(requireUtf8(time, "HH:MM"));
        if (!minute) throw BadInput("HH:MM " + shown(time) + " is not a time of day (0:00 to 23:59)");
        std::optional<QVToolbox::DarkPeriod> period;
        if (given) {
            period = QVToolbox::parseDarkPeriod(requireUtf8(*given, "--period"));
            if (!period) throw BadInput("--period " + shown(*given) + " is not two times of day joined by ~");
        } else {
            period = QVToolbox::parseDarkPeriod(HxDarkModeUtil::SmartPeelingTimeIntervalValue());
        }
        std::cout << appearance(period && period->contains(*minute * 60)) << "\n";
        return 0;
    });
}

const GroupRegistration registration{{"darkmode", "light or dark: the stored choice; a time of day in the dark period", 61, define}};

}  // namespace
}  // namespace qvtool
