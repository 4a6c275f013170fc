// `qvtool date`: timestamps as text and back, relative times, play times and month lengths.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/base/Date.h>

#include <iostream>
#include <map>

namespace qvtool {
namespace {

using namespace QVToolbox;
using platform::Date;

// The instants ICU's calendar covers, in seconds since 1970 (about 5.8 million years either
// way).
constexpr double kCalendarFirst = -184303902528.0 * 1000.0;
constexpr double kCalendarLast = 183882168921.6 * 1000.0;

void defineFormat(CLI::App& group) {
    Verb verb(group, "format", "a timestamp as text in the system time zone");
    const auto& timestamp = verb.argument("TIMESTAMP", "10 digits of seconds or 13 of milliseconds since 1970");
    const auto& format = verb.argument("FORMAT", "a UTS #35 date pattern (yyyy-MM-dd HH:mm:ss)");
    verb.run([&] {
        // The library would answer the current time for anything else.
        if ((timestamp.size() != 10 && timestamp.size() != 13) ||
            timestamp.find_first_not_of("0123456789") != std::string::npos) {
            throw BadInput("TIMESTAMP " + shown(timestamp) + " is not 10 digits of seconds or 13 of milliseconds");
        }
        std::cout << timestampToFormatterTimeString(timestamp, requireUtf8(format, "FORMAT")) << "\n";
        return 0;
    });
}

void defineParse(CLI::App& group) {
    Verb verb(group, "parse", "text to a timestamp; status 1 when it does not match FORMAT");
    const auto& ms = verb.flag("--ms", "milliseconds rather than seconds");
    const auto& text = verb.input("TEXT", "UTF-8 text");
    const auto& format = verb.argument("FORMAT", "a UTS #35 date pattern");
    verb.run([&] {
        const std::string t = formatterTimeStringToTimestamp(requireUtf8(text, "TEXT"), requireUtf8(format, "FORMAT"),
                                                             ms ? HxTimestampType::millisecond : HxTimestampType::second);
        if (t.empty()) return 1;
        std::cout << t << "\n";
        return 0;
    });
}

void defineAgo(CLI::App& group) {
    Verb verb(group, "ago", "the relative text of a moment that long ago (1分钟前; the future is 刚刚)");
    const auto& seconds = verb.argument("SECONDS", "a number of seconds, the moment within the calendar's range");
    verb.run([&seconds] {
        const double s = realNumber(seconds, "SECONDS");
        const Date moment = Date::now().addingTimeInterval(-s);
        if (moment.timeIntervalSince1970() < kCalendarFirst || moment.timeIntervalSince1970() > kCalendarLast) {
            throw BadInput("SECONDS " + shown(seconds) +
                           " puts the moment beyond the calendar's range (about 5.8 million years either way)");
        }
        std::cout << callTimeAfterNow(moment) << "\n";
        return 0;
    });
}

void definePlaytime(CLI::App& group) {
    Verb verb(group, "playtime", "a playback time (01:02:05)");
    const auto& seconds = verb.argument("SECONDS", "a whole number of seconds");
    const auto& type = verb.argument("TYPE", "normal (HH:MM:SS), second (SS), minute (MM:SS) or hour (HH:MM:SS)");
    verb.run([&] {
        const auto s = wholeNumber(seconds, "SECONDS");
        static const std::map<std::string, HxTimeBarType> types{{"normal", HxTimeBarType::normal},
                                                                {"second", HxTimeBarType::second},
                                                                {"minute", HxTimeBarType::minute},
                                                                {"hour", HxTimeBarType::hour}};
        const auto t = types.find(type);
        if (t == types.end()) throw BadInput("TYPE " + shown(type) + " is not normal, second, minute or hour");
        std::cout << getFormatPlayTime(s, t->second) << "\n";
        return 0;
    });
}

void defineDays(CLI::App& group) {
    Verb verb(group, "days", "the number of days in the month");
    const auto& year = verb.argument("YEAR", "a whole number");
    const auto& month = verb.argument("MONTH", "1 to 12");
    verb.run([&] {
        const auto days = daysCount(wholeNumber(year, "YEAR"), wholeNumber(month, "MONTH"));
        if (!days) {
            const auto& said = debugMessages();
            throw BadInput("MONTH " + shown(month) + " is not a month from 1 to 12" +
                           (said.empty() ? std::string() : " (" + said.back() + ")"));
        }
        std::cout << *days << "\n";
        return 0;
    });
}

void define(CLI::App& group) {
    defineFormat(group);
    defineParse(group);
    defineAgo(group);
    definePlaytime(group);
    defineDays(group);
}

const GroupRegistration registration{
    {"date", "timestamps as text and back, relative times, play times, days in a month", 41, define}};

}  // namespace
}  // namespace qvtool
