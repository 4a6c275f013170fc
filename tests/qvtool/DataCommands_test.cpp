// qvtool's data groups: file, date, json and timing.
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

using qvtest::answers;
using qvtest::refuses;
using qvtest::runTool;

TEST(QvtoolFile, SizesOfFilesAndFoldersAndByteCounts) {
    const qvtest::TemporaryFolder folder;
    std::ofstream(folder.folder + "/a.txt") << "abc";
    std::filesystem::create_directories(folder.folder + "/sub");
    std::ofstream(folder.folder + "/sub/b.txt") << "12345";
    EXPECT_TRUE(answers({"file", "size", folder.folder + "/a.txt"}, "3.00 bytes\n"));
    EXPECT_TRUE(answers({"file", "size", folder.folder}, "8.00 bytes\n"));
    EXPECT_TRUE(answers({"file", "bytes", "1572864"}, "1.50 MB\n"));
    EXPECT_TRUE(answers({"file", "bytes", "-5"}, "-5.00 bytes\n"));
    EXPECT_TRUE(answers({"file", "bytes", "18446744073709551615"}, "16.00 EB\n"));
    EXPECT_TRUE(refuses({"file", "bytes", "1.5"}, "N '1.5' is not a whole number"));

    // Anything but a regular file or a folder: one line and status 1.
    EXPECT_TRUE(refuses({"file", "size", folder.folder + "/missing"}, "no such file or folder", {}, 1));
    ASSERT_EQ(mkfifo((folder.folder + "/fifo").c_str(), 0600), 0);
    EXPECT_TRUE(refuses({"file", "size", folder.folder + "/fifo"}, "is a FIFO, not a regular file or folder", {}, 1));
    EXPECT_TRUE(refuses({"file", "size", "/dev/null"}, "is a character device", {}, 1));
}

TEST(QvtoolDate, TimestampsRelativeTimesPlayTimesAndMonths) {
    EXPECT_TRUE(answers({"date", "format", "1700000000", "yyyy-MM-dd HH:mm:ss"}, "2023-11-14 22:13:20\n"));
    EXPECT_TRUE(answers({"date", "format", "1700000000123", "yyyy-MM-dd HH:mm:ss"}, "2023-11-14 22:13:20\n"));
    EXPECT_TRUE(answers({"date", "parse", "2023-11-14 22:13:20", "yyyy-MM-dd HH:mm:ss"}, "1700000000\n"));
    EXPECT_TRUE(answers({"date", "parse", "--ms", "-", "yyyy-MM-dd HH:mm:ss"}, "1700000000000\n", "2023-11-14 22:13:20"));
    const auto unparsed = runTool({"date", "parse", "garbage", "yyyy-MM-dd"});
    EXPECT_EQ(unparsed.status, 1);
    EXPECT_EQ(unparsed.out, "");
    EXPECT_TRUE(answers({"date", "ago", "61"}, "1分钟前\n"));
    EXPECT_TRUE(answers({"date", "ago", "7200"}, "2小时前\n"));
    EXPECT_TRUE(answers({"date", "ago", "-5"}, "刚刚\n"));
    EXPECT_TRUE(answers({"date", "playtime", "3725", "normal"}, "01:02:05\n"));
    EXPECT_TRUE(answers({"date", "playtime", "125", "minute"}, "02:05\n"));
    EXPECT_TRUE(answers({"date", "playtime", "45", "second"}, "45\n"));
    EXPECT_TRUE(answers({"date", "days", "2024", "2"}, "29\n"));
    EXPECT_TRUE(answers({"date", "days", "2023", "2"}, "28\n"));

    EXPECT_TRUE(refuses({"date", "format", "17000000000", "yyyy"}, "TIMESTAMP '17000000000' is not 10 digits of seconds"));
    EXPECT_TRUE(refuses({"date", "format", "-123456789", "yyyy"}, "is not 10 digits"));
    EXPECT_TRUE(refuses({"date", "format", "now", "yyyy"}, "is not 10 digits"));
    EXPECT_TRUE(refuses({"date", "ago", "nan"}, "SECONDS 'nan' is not a number"));
    EXPECT_TRUE(refuses({"date", "ago", "--", "-inf"}, "is not a number"));
    EXPECT_TRUE(refuses({"date", "ago", "1e300"}, "beyond the calendar's range"));
    EXPECT_TRUE(refuses({"date", "ago", "-1e15"}, "beyond the calendar's range"));
    EXPECT_TRUE(refuses({"date", "playtime", "5", "minutes"}, "TYPE 'minutes' is not normal, second, minute or hour"));
    EXPECT_TRUE(refuses({"date", "days", "2024", "13"}, "date days: MONTH '13' is not a month from 1 to 12 (非法的月份:13)"));
    EXPECT_TRUE(refuses({"date", "parse", "-", "yyyy"}, "TEXT is not valid UTF-8", "20\xFF"));
}

TEST(QvtoolJson, ObjectsAsQueriesAndCompactJsonAndWhyNot) {
    EXPECT_TRUE(answers({"json", "query", "{\"b\":2,\"a\":\"x y\"}"}, "a=x%20y&b=2\n"));
    EXPECT_TRUE(answers({"json", "check", "{\"a\":[1,2.5,\"x/y\"]}"}, "{\"a\":[1,2.5,\"x\\/y\"]}\n"));
    EXPECT_TRUE(answers({"json", "check", "-"}, "{\"a\":[1]}\n", "{ \"a\" : [1] }\n"));
    // check answers "no" with status 1 and the reason; query refuses with status 2.
    EXPECT_TRUE(refuses({"json", "check", "[1]"}, "json check: JSON holds an array, not an object", {}, 1));
    EXPECT_TRUE(refuses({"json", "check", "{\"a\" 1}"}, "JSON is not valid at byte 5: Missing a colon", {}, 1));
    EXPECT_TRUE(refuses({"json", "query", "{\"a\":1,}"}, "json query: JSON is not valid at byte 7"));
    EXPECT_TRUE(refuses({"json", "query", std::string(600, '[') + std::string(600, ']')}, "Nesting is deeper than 512 levels"));
    EXPECT_TRUE(refuses({"json", "query", "-"}, "Invalid encoding in string", "{\"a\":\"\xFF\"}"));
    // The message names the error, not the input.
    const auto long_ = runTool({"json", "query", "{\"a\":" + std::string(5000, '1') + "x}"});
    EXPECT_EQ(long_.status, 2);
    EXPECT_LT(long_.err.size(), 200u);
}

TEST(QvtoolTiming, ReplaysCallsOnTheManualClock) {
    EXPECT_TRUE(answers({"timing", "throttle", "--mode", "fixed", "--interval-ms", "1000", "0", "200", "500"}, "1000\n"));
    EXPECT_TRUE(answers({"timing", "throttle", "--mode", "deferred", "--interval-ms", "1000", "0", "200", "500"}, "1500\n"));
    EXPECT_TRUE(answers({"timing", "throttle", "--mode", "fixed", "--interval-ms", "1000", "--immediate", "0", "200", "500", "1500"},
                        "0\n1000\n2000\n"));
    EXPECT_TRUE(answers({"timing", "debounce", "--delay-ms", "300", "0", "100", "250"}, "550\n"));
    EXPECT_TRUE(answers({"timing", "debounce", "--delay-ms", "300", "0", "100", "500"}, "400\n800\n"));
    EXPECT_TRUE(refuses({"timing", "debounce", "--delay-ms", "x", "0"}, "--delay-ms 'x' is not a whole number of ms"));
    EXPECT_TRUE(refuses({"timing", "debounce", "--delay-ms", "5", "10", "5"}, "CALL-TIMES-MS must not decrease: '5'"));
    EXPECT_TRUE(refuses({"timing", "throttle", "--mode", "late", "--interval-ms", "5", "0"}, "--mode 'late' is not fixed or deferred"));
    EXPECT_TRUE(refuses({"timing", "debounce", "--delay-ms", "5"}, "CALL-TIMES-MS is required"));
}
