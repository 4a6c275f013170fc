// `qvtool clock SECONDS`: a number of seconds as clock text (toClock).
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

#include <cmath>
#include <iostream>

namespace qvtool {
namespace {

void define(CLI::App& group) {
    Verb verb(group);
    const auto& seconds = verb.argument("SECONDS", "seconds, cut toward zero; negative gives \"-\" and the clock of its size");
    const auto& ignoreZeroHour = verb.flag("--ignore-zero-hour", "MM:SS when the hours are 0");
    verb.run([&] {
        const double s = realNumber(seconds, "SECONDS");
        // toClock counts whole seconds in 64 bits and would clamp anything beyond (for a
        // negative duration, its size).
        constexpr double kLimit = 9223372036854775808.0;  // 2^63
        if (std::fabs(s) >= kLimit) {
            throw BadInput("SECONDS " + shown(seconds) + " is beyond the range of a 64-bit count of seconds");
        }
        std::cout << QVToolbox::qv(s).toClock(ignoreZeroHour) << "\n";
        return 0;
    });
}

const GroupRegistration registration{{"clock", "seconds as clock text (toClock)", 11, define}};

}  // namespace
}  // namespace qvtool
