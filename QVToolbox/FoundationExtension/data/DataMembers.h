// The member sets of the file, date and JSON helpers, attached to the wrapper by base:
//
//   HxPOP<platform::FileManager>::createFolder("/tmp/a");      // file helpers (static)
//   HxPOP<std::string>::DocumnetsDirectory();                   // sandbox folders (string family)
//   hx(platform::Date::now()).isToday();                        // date helpers
//   hx(Any::Dictionary{{"a", 1}}).toSortedURLQuery();           // "a=1"
//   hx(2048).covertUInt64ToString();                            // "2.00 KB"
//
// Each member forwards to a plain function in FileHelpers.h, DateHelpers.h, JSONHelpers.h or
// VideoHelpers.h, where its contract is written.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/data/CollectionHelpers.h>
#include <QVToolbox/FoundationExtension/data/DateHelpers.h>
#include <QVToolbox/FoundationExtension/data/FileHelpers.h>
#include <QVToolbox/FoundationExtension/data/JSONHelpers.h>
#include <QVToolbox/FoundationExtension/data/VideoHelpers.h>
#include <QVToolbox/FoundationExtension/data/WeakHolders.h>
#include <QVToolbox/core/Stack.h>

#include <type_traits>

namespace QVToolbox {

// Sandbox folders, static members of every text base.
template <class W>
struct DataMembers<W, StringFamily> {
    static std::string homeDirectory() { return QVToolbox::homeDirectory(); }
    static std::string DocumnetsDirectory() { return QVToolbox::DocumnetsDirectory(); }
    static std::string LibraryDirectory() { return QVToolbox::LibraryDirectory(); }
    static std::string CachesDirectory() { return QVToolbox::CachesDirectory(); }
    static std::string PreferencesDirectory() { return QVToolbox::PreferencesDirectory(); }
    static std::string TmpDirectory() { return QVToolbox::TmpDirectory(); }
};

// File helpers: static members of the file manager's wrapper.
template <class W>
struct DataMembers<W, platform::FileManager> {
    using FileWriteType = QVToolbox::FileWriteType;
    using MoveOrCopyType = QVToolbox::MoveOrCopyType;

    static std::shared_ptr<platform::FileManager> fileManager() { return QVToolbox::fileManager(); }
    static std::string homeDirectory() { return QVToolbox::homeDirectory(); }
    static std::string DocumnetsDirectory() { return QVToolbox::DocumnetsDirectory(); }
    static std::string LibraryDirectory() { return QVToolbox::LibraryDirectory(); }
    static std::string CachesDirectory() { return QVToolbox::CachesDirectory(); }
    static std::string PreferencesDirectory() { return QVToolbox::PreferencesDirectory(); }
    static std::string TmpDirectory() { return QVToolbox::TmpDirectory(); }

    static bool judgeFileOrFolderExists(std::string_view filePath) { return QVToolbox::judgeFileOrFolderExists(filePath); }
    static bool judegeIsReadableFile(std::string_view path) { return QVToolbox::judegeIsReadableFile(path); }
    static bool judegeIsWritableFile(std::string_view path) { return QVToolbox::judegeIsWritableFile(path); }
    static bool judegeIsExecutableFile(std::string_view path) { return QVToolbox::judegeIsExecutableFile(path); }
    static bool judegeIsDeletableFile(std::string_view path) { return QVToolbox::judegeIsDeletableFile(path); }

    static std::string directoryAtPath(std::string_view path) { return QVToolbox::directoryAtPath(path); }
    static std::string fileSuffixAtPath(std::string_view path) { return QVToolbox::fileSuffixAtPath(path); }
    static std::string fileName(std::string_view path, bool suffix) { return QVToolbox::fileName(path, suffix); }

    static FileResult createFolder(std::string_view folderPath) { return QVToolbox::createFolder(folderPath); }
    static FileResult createFile(std::string_view filePath) { return QVToolbox::createFile(filePath); }
    static FileResult removefile(std::string_view filePath) { return QVToolbox::removefile(filePath); }
    static FileResult removefolder(std::string_view folderPath) { return QVToolbox::removefolder(folderPath); }

    static std::optional<std::string> readfile(std::string_view filePath) { return QVToolbox::readfile(filePath); }
    static FileResult writeToFile(FileWriteType writeType, const platform::Any& content, std::string_view writePath) {
        return QVToolbox::writeToFile(writeType, content, writePath);
    }
    static FileReadResult readFromFile(FileWriteType readType, std::string_view readPath) {
        return QVToolbox::readFromFile(readType, readPath);
    }
    static FileResult copyFile(MoveOrCopyType type, std::string_view fromeFilePath, std::string_view toFilePath,
                               bool isOverwrite) {
        return QVToolbox::copyFile(type, fromeFilePath, toFilePath, isOverwrite);
    }
    static FileResult moveFile(MoveOrCopyType type, std::string_view fromeFilePath, std::string_view toFilePath,
                               bool isOverwrite) {
        return QVToolbox::moveFile(type, fromeFilePath, toFilePath, isOverwrite);
    }

    static std::optional<std::vector<std::string>> shallowSearchAllFiles(std::string_view folderPath) {
        return QVToolbox::shallowSearchAllFiles(folderPath);
    }
    static std::optional<std::vector<std::string>> getAllFileNames(std::string_view folderPath) {
        return QVToolbox::getAllFileNames(folderPath);
    }
    static std::optional<platform::Any::List> deepSearchAllFiles(std::string_view folderPath) {
        return QVToolbox::deepSearchAllFiles(folderPath);
    }

    static std::uint64_t fileOrDirectorySingleSize(std::string_view filePath) {
        return QVToolbox::fileOrDirectorySingleSize(filePath);
    }
    static std::string fileOrDirectorySize(std::string_view path) { return QVToolbox::fileOrDirectorySize(path); }
    static std::string covertUInt64ToString(std::uint64_t size) { return QVToolbox::covertUInt64ToString(size); }
    static std::optional<platform::Any::Dictionary> fileAttributes(std::string_view path) {
        return QVToolbox::fileAttributes(path);
    }
    static bool isEqual(std::string_view filePath1, std::string_view filePath2) {
        return QVToolbox::isEqual(filePath1, filePath2);
    }

    static std::shared_ptr<platform::UIImage> getLocalVideoImage(std::string_view videoPath, bool preferredTrackTransform) {
        return QVToolbox::getLocalVideoImage(videoPath, preferredTrackTransform);
    }
    static std::vector<std::shared_ptr<platform::UIImage>> getLocalVideoImages(const std::vector<std::string>& videoPaths,
                                                                               bool preferredTrackTransform) {
        return QVToolbox::getLocalVideoImages(videoPaths, preferredTrackTransform);
    }
    static void getServerVideoImage(std::string videoPath, bool preferredTrackTransform,
                                    std::function<void(std::shared_ptr<platform::UIImage>)> completion) {
        QVToolbox::getServerVideoImage(std::move(videoPath), preferredTrackTransform, std::move(completion));
    }
    static void getServerVideoImages(std::vector<std::string> videoPaths, bool preferredTrackTransform,
                                     std::function<void(std::vector<std::shared_ptr<platform::UIImage>>)> completion) {
        QVToolbox::getServerVideoImages(std::move(videoPaths), preferredTrackTransform, std::move(completion));
    }
};

// Size text of a signed or unsigned count: hx(2048).covertUInt64ToString() is "2.00 KB".
template <class W, class B>
    requires(std::is_integral_v<B> && !std::is_same_v<B, bool> && sizeof(B) >= sizeof(int))
struct DataMembers<W, B> {
    std::string covertUInt64ToString() const {
        const B v = static_cast<const W&>(*this).base;
        if constexpr (std::is_signed_v<B>) return covertInt64ToString(static_cast<std::int64_t>(v));
        else return QVToolbox::covertUInt64ToString(static_cast<std::uint64_t>(v));
    }
};

// Date helpers: static members of HxPOP<Date> and instance members of hx(date).
template <class W>
struct DataMembers<W, platform::Date> {
    using HxTimestampType = QVToolbox::HxTimestampType;
    using HxTimeBarType = QVToolbox::HxTimeBarType;
    using Component = platform::Calendar::Component;
    using Style = platform::DateFormatter::Style;

    static platform::Date currentDate() { return QVToolbox::currentDate(); }
    static platform::Date todayDate() { return QVToolbox::todayDate(); }
    static std::optional<platform::Date> yesterDayDate() { return QVToolbox::yesterDayDate(); }
    static std::optional<platform::Date> tomorrowDate() { return QVToolbox::tomorrowDate(); }
    static std::optional<platform::Date> theDayBeforYesterDayDate() { return QVToolbox::theDayBeforYesterDayDate(); }
    static std::optional<platform::Date> theDayAfterYesterDayDate() { return QVToolbox::theDayAfterYesterDayDate(); }
    static std::string secondStamp() { return QVToolbox::secondStamp(); }
    static std::string milliStamp() { return QVToolbox::milliStamp(); }
    static bool isTwelve() { return QVToolbox::isTwelve(); }
    static platform::Date timestampToFormatterDate(std::string_view timestamp) {
        return QVToolbox::timestampToFormatterDate(timestamp);
    }
    static std::string timestampToFormatterTimeString(std::string_view timestamp, std::string_view format) {
        return QVToolbox::timestampToFormatterTimeString(timestamp, format);
    }
    static platform::Date formatterTimeStringToDate(std::string_view timesString, std::string_view formatter) {
        return QVToolbox::formatterTimeStringToDate(timesString, formatter);
    }
    static std::string formatterTimeStringToTimestamp(std::string_view timesString, std::string_view formatter,
                                                      HxTimestampType timestampType) {
        return QVToolbox::formatterTimeStringToTimestamp(timesString, formatter, timestampType);
    }
    static std::string getFormatPlayTime(std::int64_t seconds, HxTimeBarType type) {
        return QVToolbox::getFormatPlayTime(seconds, type);
    }
    static std::optional<int> daysCount(std::int64_t year, std::int64_t month) { return QVToolbox::daysCount(year, month); }
    static int currentMonthDays() { return QVToolbox::currentMonthDays(); }

    std::int64_t year() const { return component(date(), Component::year); }
    std::int64_t month() const { return component(date(), Component::month); }
    std::int64_t day() const { return component(date(), Component::day); }
    std::int64_t hour() const { return component(date(), Component::hour); }
    std::int64_t minute() const { return component(date(), Component::minute); }
    std::int64_t second() const { return component(date(), Component::second); }
    std::int64_t nanosecond() const { return component(date(), Component::nanosecond); }
    std::string weekday() const { return QVToolbox::weekday(date()); }
    std::string monthAsString() const { return QVToolbox::monthAsString(date()); }
    std::string weekdayStringFromDate() const { return QVToolbox::weekdayStringFromDate(date()); }
    std::string weekdayString2FromDate() const { return QVToolbox::weekdayString2FromDate(date()); }
    bool isToday() const { return QVToolbox::isToday(date()); }
    bool isYesterday() const { return QVToolbox::isYesterday(date()); }
    bool isTheDayBeforeYesterday() const { return QVToolbox::isTheDayBeforeYesterday(date()); }
    bool isThisYear() const { return QVToolbox::isThisYear(date()); }
    bool isLeapYear() const { return QVToolbox::isLeapYear(date()); }
    bool isThisWeek() const { return QVToolbox::isThisWeek(date()); }
    bool isSameDay(platform::Date other) const { return QVToolbox::isSameDay(date(), other); }
    std::string toformatterTimeString(std::string_view formatter) const {
        return QVToolbox::toformatterTimeString(date(), formatter);
    }
    std::string dateToTimeStamp(HxTimestampType timestampType) const {
        return QVToolbox::dateToTimeStamp(date(), timestampType);
    }
    platform::Date dateFromGMT() const { return QVToolbox::dateFromGMT(date()); }
    std::string toFormatterLocalTimeString(std::string_view localIdentifier, std::string_view formatter,
                                           const platform::TimeZone& timeZone = platform::TimeZone::current()) const {
        return QVToolbox::toFormatterLocalTimeString(date(), localIdentifier, formatter, timeZone);
    }
    std::string toformatterLocalTimeString(const platform::Locale& locale, std::string_view formatter,
                                           const platform::TimeZone& timeZone = platform::TimeZone::current()) const {
        return QVToolbox::toformatterLocalTimeString(date(), locale, formatter, timeZone);
    }
    std::string toLocalDateFormatterStyleString(std::string_view localIdentifier, std::string_view formatter,
                                                Style dateStyle, Style timeStyle,
                                                const platform::TimeZone& timeZone = platform::TimeZone::current()) const {
        return QVToolbox::toLocalDateFormatterStyleString(date(), localIdentifier, formatter, dateStyle, timeStyle, timeZone);
    }
    std::string toLocalDateFormatterStyleString(const platform::Locale& locale, std::string_view formatter,
                                                Style dateStyle, Style timeStyle,
                                                const platform::TimeZone& timeZone = platform::TimeZone::current()) const {
        return QVToolbox::toLocalDateFormatterStyleString(date(), locale, formatter, dateStyle, timeStyle, timeZone);
    }
    std::string callTimeAfterNow() const { return QVToolbox::callTimeAfterNow(date()); }
    platform::Calendar::DateComponents componentCompare(platform::Date from, const std::vector<Component>& unit) const {
        return QVToolbox::componentCompare(date(), from, unit);
    }
    std::optional<std::int64_t> numberOfDays(platform::Date from) const { return QVToolbox::numberOfDays(date(), from); }
    std::optional<std::int64_t> numberOfHours(platform::Date from) const { return QVToolbox::numberOfHours(date(), from); }
    std::optional<std::int64_t> numberOfMinutes(platform::Date from) const {
        return QVToolbox::numberOfMinutes(date(), from);
    }
    std::optional<std::int64_t> numberOfSeconds(platform::Date from) const {
        return QVToolbox::numberOfSeconds(date(), from);
    }

private:
    platform::Date date() const { return static_cast<const W&>(*this).base; }
};

// JSON members of the text-keyed dictionary.
template <class W>
struct DataMembers<W, platform::Any::Dictionary> {
    static std::optional<platform::Any::Dictionary> jsonToDictionary(std::string_view json) {
        return QVToolbox::jsonToDictionary(json);
    }
    std::optional<std::string> dictionaryToJson() const { return QVToolbox::dictionaryToJson(dictionary()); }
    std::string toSortedURLQuery() const { return QVToolbox::toSortedURLQuery(dictionary()); }

private:
    const platform::Any::Dictionary& dictionary() const { return static_cast<const W&>(*this).base; }
};

}  // namespace QVToolbox
