// `qvtool file|date|json`: the file, date and JSON helpers from the command line, and the
// demo's "Files, dates and data" section.
#include "Command.h"

#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Date.h>
#include <QVPlatform/foundation/JSONSerialization.h>

#include <charconv>
#include <filesystem>
#include <iostream>

namespace qvtool {
namespace {

using namespace QVToolbox;
using platform::Any;
using platform::Date;

template <class T>
std::optional<T> number(const std::string& text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

int runFile(const Args& args) {
    if (args.size() == 2 && args[0] == "size") {
        std::cout << fileOrDirectorySize(args[1]) << "\n";
        return 0;
    }
    if (args.size() == 2 && args[0] == "bytes") {
        if (auto n = number<std::uint64_t>(args[1])) {
            std::cout << covertUInt64ToString(*n) << "\n";
            return 0;
        }
        if (auto n = number<std::int64_t>(args[1])) {
            std::cout << covertInt64ToString(*n) << "\n";
            return 0;
        }
        return inputError("not a whole number: " + args[1]);
    }
    return usageError("usage: file size PATH | file bytes N");
}

int runDate(const Args& arguments) {
    Args args = arguments;
    const bool ms = takeFlag(args, "--ms");
    if (args.size() == 3 && args[0] == "format") {
        std::cout << timestampToFormatterTimeString(args[1], args[2]) << "\n";
        return 0;
    }
    if (args.size() == 3 && args[0] == "parse") {
        const std::string t = formatterTimeStringToTimestamp(args[1], args[2],
                                                             ms ? HxTimestampType::millisecond : HxTimestampType::second);
        if (t.empty()) return 1;
        std::cout << t << "\n";
        return 0;
    }
    if (args.size() == 2 && args[0] == "ago") {
        const auto seconds = number<double>(args[1]);
        if (!seconds) return inputError("not a number of seconds: " + args[1]);
        std::cout << callTimeAfterNow(Date::now().addingTimeInterval(-*seconds)) << "\n";
        return 0;
    }
    if (args.size() == 3 && args[0] == "playtime") {
        const auto seconds = number<std::int64_t>(args[1]);
        if (!seconds) return inputError("not a whole number of seconds: " + args[1]);
        const std::string& t = args[2];
        std::optional<HxTimeBarType> type;
        if (t == "normal") type = HxTimeBarType::normal;
        if (t == "second") type = HxTimeBarType::second;
        if (t == "minute") type = HxTimeBarType::minute;
        if (t == "hour") type = HxTimeBarType::hour;
        if (!type) return usageError("playtime type is normal, second, minute or hour");
        std::cout << getFormatPlayTime(*seconds, *type) << "\n";
        return 0;
    }
    if (args.size() == 3 && args[0] == "days") {
        const auto year = number<std::int64_t>(args[1]);
        const auto month = number<std::int64_t>(args[2]);
        if (!year || !month) return inputError("year and month are whole numbers");
        const auto days = daysCount(*year, *month);
        if (!days) return inputError("非法的月份:" + args[2]);
        std::cout << *days << "\n";
        return 0;
    }
    return usageError("usage: date format|parse|ago|playtime|days ...");
}

int runJSON(const Args& args) {
    if (args.size() == 2 && args[0] == "query") {
        const auto dictionary = jsonToDictionary(args[1]);
        if (!dictionary) return inputError("not a JSON object: " + args[1]);
        std::cout << toSortedURLQuery(*dictionary) << "\n";
        return 0;
    }
    if (args.size() == 2 && args[0] == "check") {
        const auto dictionary = jsonToDictionary(args[1]);
        if (!dictionary) return 1;
        std::cout << platform::JSONSerialization::data(Any(*dictionary)).value_or("") << "\n";
        return 0;
    }
    return usageError("usage: json query JSON-OBJECT | json check TEXT");
}

const Registration file{"file",
                        "file size PATH        size of a file or of every file below a folder\n"
                        "file bytes N          a byte count as a size text (1572864 -> 1.50 MB)",
                        runFile, 40};
const Registration date{"date",
                        "date format TIMESTAMP FORMAT        10- or 13-digit timestamp as text (UTS #35 pattern)\n"
                        "date parse TEXT FORMAT [--ms]       text to timestamp; status 1 when it does not parse\n"
                        "date ago SECONDS                    relative text of a moment that long ago (1分钟前)\n"
                        "date playtime SECONDS normal|second|minute|hour   playback time (01:02:05)\n"
                        "date days YEAR MONTH                days in the month",
                        runDate, 41};
const Registration json{"json",
                        "json query JSON-OBJECT   sorted, percent-encoded URL query of an object\n"
                        "json check TEXT          compact JSON of the object; status 1 when it is none",
                        runJSON, 42};

void demoData(const std::string& out) {
    const std::string folder = (std::filesystem::path(out) / "data").string();
    removefolder(folder);
    std::cout << "createFolder " << folder << ": " << (createFolder(folder + "/sub").isSuccess ? "ok" : "failed") << "\n";
    const Any settings = Any::Dictionary{{"name", "QVToolbox"}, {"tags", Any::List{"files", "dates", "json"}}};
    writeToFile(FileWriteType::DictionaryType, settings, folder + "/settings.plist");
    writeToFile(FileWriteType::TextType, Any("你好, QVToolbox"), folder + "/sub/hello.txt");
    const auto back = readFromFile(FileWriteType::DictionaryType, folder + "/settings.plist");
    std::cout << "settings.plist read back: " << (back.content && *back.content == settings ? "same" : "different") << "\n";
    std::cout << "copyFile: " << copyFile(MoveOrCopyType::directory, folder + "/sub", folder + "/copy", false).error << "\n";
    std::cout << "files: ";
    for (const auto& name : getAllFileNames(folder).value_or(std::vector<std::string>{})) std::cout << name << " ";
    std::cout << "\nfileOrDirectorySize: " << fileOrDirectorySize(folder) << "\n";
    std::cout << "covertUInt64ToString(1572864): " << covertUInt64ToString(1572864) << "\n";
    std::cout << "timestampToFormatterTimeString(1700000000): "
              << timestampToFormatterTimeString("1700000000", "yyyy-MM-dd HH:mm:ss EEEE") << "\n";
    std::cout << "callTimeAfterNow(-61 s): " << callTimeAfterNow(Date::now().addingTimeInterval(-61)) << "\n";
    std::cout << "getFormatPlayTime(3725): " << getFormatPlayTime(3725, HxTimeBarType::normal) << "\n";
    std::cout << "daysCount(2024, 2): " << daysCount(2024, 2).value_or(0) << "\n";
    std::cout << "toSortedURLQuery: " << hx(Any::Dictionary{{"b", 2}, {"a", "x y"}}).toSortedURLQuery() << "\n";
    std::cout << "toJSON: " << toJSON(Any::List{1, "二", 3.5}).value_or("(absent)") << "\n";
}

const DemoRegistration demo{"Files, dates and data", demoData, 40};

}  // namespace
}  // namespace qvtool
