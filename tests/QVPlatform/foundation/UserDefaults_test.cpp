#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/foundation/AtomicFile.h>
#include <QVPlatform/foundation/PropertyList.h>
#include <QVPlatform/foundation/UserDefaults.h>
#include <QVPlatform/runtime/NSObject.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Each test starts from an empty defaults file and leaves none behind.
class UserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear() {
        NSUserDefaults::resetStandardUserDefaults();
        const fs::path path = NSUserDefaults::standardUserDefaults().filePath();
        const std::string file = path.filename().string();
        const std::string temporary = std::string(".").append(file);
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(path.parent_path(), ignored)) {
            const std::string name = entry.path().filename().string();
            // The file, files moved aside, and temporaries a killed writer left.
            if (name.starts_with(file) || name.starts_with(temporary)) {
                fs::remove(entry.path(), ignored);
            }
        }
        NSUserDefaults::resetStandardUserDefaults();
    }
    static NSUserDefaults& defaults() { return NSUserDefaults::standardUserDefaults(); }
};

// The files beside the defaults file whose names start with `prefix`.
std::vector<fs::path> filesStartingWith(const fs::path& folder, const std::string& prefix) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with(prefix)) found.push_back(entry.path());
    }
    return found;
}

// The names a killed writer leaves (".NAME.tmp-...") and a file moved aside ("NAME.corrupt-...").
std::string temporaryPrefix(const fs::path& path) {
    std::string prefix = ".";
    prefix += path.filename().string();
    prefix += ".tmp-";
    return prefix;
}
std::string corruptPrefix(const fs::path& path) { return path.filename().string() + ".corrupt-"; }

// A payload large enough that a write takes a while, tied to the counter so that a torn file
// could not pass for a whole one.
std::string payload(std::int64_t i) { return std::string(200000, static_cast<char>('a' + i % 26)) + std::to_string(i); }

// Saves the defaults holding counter `i`; true once the value is safely stored.
using Writer = std::function<bool(std::int64_t i)>;

bool saveWithDefaults(std::int64_t i) {
    auto& d = NSUserDefaults::standardUserDefaults();
    d.setInteger(i, "counter");
    d.setObject(Any(payload(i)), "payload");
    return d.synchronize();
}

// The fault the kill rounds must catch: truncating the file and rewriting it in place.
bool saveInPlace(std::int64_t i) {
    const auto xml = PropertyList::writeXML(Any(Any::Dictionary{{"counter", i}, {"payload", payload(i)}}));
    std::ofstream out(NSUserDefaults::standardUserDefaults().filePath(), std::ios::binary | std::ios::trunc);
    out << *xml;
    out.close();
    return static_cast<bool>(out);
}

// One round: a child saves counters 0, 1, 2 ... with `writer` and reports each acknowledged
// save; it is killed at a random moment a few milliseconds after its first save. True when the
// file then holds the last acknowledged counter (or the one being saved when the kill came)
// with its payload.
bool killedWriterKeepsAnAcknowledgedValue(const Writer& writer, std::mt19937& random) {
    const fs::path path = NSUserDefaults::standardUserDefaults().filePath();
    int acks[2];
    if (pipe(acks) != 0) return false;
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        close(acks[0]);
        for (std::int64_t i = 0; i < 1000000; ++i) {
            if (!writer(i)) _exit(1);
            if (write(acks[1], &i, sizeof i) != sizeof i) break;
        }
        _exit(0);
    }
    close(acks[1]);
    std::int64_t acknowledged = -1;
    const bool started = read(acks[0], &acknowledged, sizeof acknowledged) == sizeof acknowledged;
    // A delay before the kill (not a wait for a result): anywhere in the next few saves.
    const timespec delay{0, std::uniform_int_distribution<long>(0, 4000000)(random)};
    nanosleep(&delay, nullptr);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    for (std::int64_t i = 0; read(acks[0], &i, sizeof i) == sizeof i;) acknowledged = i;
    close(acks[0]);
    if (!started) return false;

    const auto onDisk = PropertyList::readXML(readText(path));
    if (!onDisk) return false;
    const std::int64_t counter = (*onDisk)["counter"].integerValue();
    return (counter == acknowledged || counter == acknowledged + 1) && (*onDisk)["payload"].string() == payload(counter);
}

// Runs up to `rounds` kill rounds; answers the number of the first round that lost data, or 0.
int firstRoundLosingData(int rounds, const Writer& writer) {
    std::mt19937 random(std::random_device{}());
    for (int round = 1; round <= rounds; ++round) {
        if (!killedWriterKeepsAnAcknowledgedValue(writer, random)) return round;
    }
    return 0;
}

// The defaults a killed writer left load whole: the acknowledged value, nothing moved aside,
// no temporary file left behind.
void expectKilledWritersLoseNothing(int rounds) {
    const fs::path path = NSUserDefaults::standardUserDefaults().filePath();
    ASSERT_TRUE(saveWithDefaults(-1));
    std::mt19937 random(std::random_device{}());
    for (int round = 1; round <= rounds; ++round) {
        ASSERT_TRUE(killedWriterKeepsAnAcknowledgedValue(saveWithDefaults, random)) << "round " << round;
        const std::int64_t counter = (*PropertyList::readXML(readText(path)))["counter"].integerValue();
        NSUserDefaults::resetStandardUserDefaults();
        ASSERT_EQ(NSUserDefaults::standardUserDefaults().integerForKey("counter"), counter) << "round " << round;
        ASSERT_TRUE(filesStartingWith(path.parent_path(), corruptPrefix(path)).empty());
        ASSERT_TRUE(filesStartingWith(path.parent_path(), temporaryPrefix(path)).empty());
    }
}

}  // namespace

TEST_F(UserDefaultsTest, TypedReadsConvertAsThePlatformDoes) {
    auto& d = defaults();
    d.setObject(Any("YES"), "yes");
    d.setObject(Any("true"), "true");
    d.setObject(Any("NO"), "no");
    d.setObject(Any("  -42abc"), "text42");
    d.setObject(Any("3.5kg"), "text35");
    d.setObject(Any("hello"), "hello");
    d.setInteger(7, "int");
    d.setDouble(2.75, "double");
    d.setBool(true, "bool");
    d.setObject(Any::List{1, "a"}, "list");
    d.setObject(Any::Dictionary{{"k", "v"}}, "dict");
    d.setObject(Any(Data::fromString("bytes")), "data");

    EXPECT_TRUE(d.boolForKey("yes"));
    EXPECT_TRUE(d.boolForKey("true"));
    EXPECT_FALSE(d.boolForKey("no"));
    EXPECT_TRUE(d.boolForKey("text42"));
    EXPECT_FALSE(d.boolForKey("hello"));
    EXPECT_TRUE(d.boolForKey("int"));
    EXPECT_TRUE(d.boolForKey("bool"));
    EXPECT_FALSE(d.boolForKey("missing"));
    EXPECT_FALSE(d.boolForKey("list"));

    EXPECT_EQ(d.integerForKey("text42"), -42);
    EXPECT_EQ(d.integerForKey("double"), 2);
    EXPECT_EQ(d.integerForKey("bool"), 1);
    EXPECT_EQ(d.integerForKey("yes"), 0);
    EXPECT_EQ(d.integerForKey("missing"), 0);
    EXPECT_DOUBLE_EQ(d.doubleForKey("text35"), 3.5);
    EXPECT_DOUBLE_EQ(d.doubleForKey("int"), 7.0);
    EXPECT_DOUBLE_EQ(d.doubleForKey("hello"), 0.0);

    EXPECT_EQ(d.stringForKey("hello"), "hello");
    EXPECT_EQ(d.stringForKey("int"), "7");
    EXPECT_EQ(d.stringForKey("double"), "2.75");
    EXPECT_EQ(d.stringForKey("bool"), "1");
    EXPECT_EQ(d.stringForKey("list"), std::nullopt);
    EXPECT_EQ(d.stringForKey("missing"), std::nullopt);

    EXPECT_EQ(d.arrayForKey("list"), (Any::List{1, "a"}));
    EXPECT_EQ(d.arrayForKey("dict"), std::nullopt);
    EXPECT_EQ(d.dictionaryForKey("dict"), (Any::Dictionary{{"k", "v"}}));
    EXPECT_EQ(d.dataForKey("data"), Data::fromString("bytes"));
    EXPECT_EQ(d.dataForKey("hello"), std::nullopt);
    EXPECT_EQ(d.dictionaryRepresentation().size(), 12u);
}

TEST_F(UserDefaultsTest, ChangesReachTheFileOnSynchronizeAndShortlyAfterwards) {
    auto& d = defaults();
    d.setObject(Any("zh-Hans"), "QVSCurrentLanguageKey");
    NSUserDefaults::resetStandardUserDefaults();  // unsynchronized changes are dropped
    EXPECT_TRUE(d.objectForKey("QVSCurrentLanguageKey").isNull());

    d.setObject(Any("zh-Hans"), "QVSCurrentLanguageKey");
    ASSERT_TRUE(d.synchronize());
    const auto onDisk = PropertyList::readXML(readText(d.filePath()));
    ASSERT_TRUE(onDisk);
    EXPECT_EQ((*onDisk)["QVSCurrentLanguageKey"], Any("zh-Hans"));
    NSUserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(d.stringForKey("QVSCurrentLanguageKey"), "zh-Hans");

    // Without synchronize, the write follows 0.1 s after the change.
    d.setInteger(3, "selectedTheme");
    d.removeObjectForKey("QVSCurrentLanguageKey");
    ManualClock::advance(0.05);
    EXPECT_TRUE((*PropertyList::readXML(readText(d.filePath())))["selectedTheme"].isNull());
    ManualClock::advance(0.1);
    const auto later = PropertyList::readXML(readText(d.filePath()));
    ASSERT_TRUE(later);
    EXPECT_EQ(*later, Any(Any::Dictionary{{"selectedTheme", 3}}));
    EXPECT_TRUE(d.synchronize());  // nothing pending
}

TEST_F(UserDefaultsTest, RefusesValuesThatAreNotPropertyLists) {
    auto& d = defaults();
    d.setObject(Any("kept"), "k");
    EXPECT_FALSE(d.setObject(Any(std::make_shared<NSObject>()), "k"));
    EXPECT_FALSE(d.setObject(Any::List{Any()}, "k"));
    EXPECT_FALSE(d.setObject(Any("bell\x07"), "k"));
    EXPECT_FALSE(d.setObject(Any("v"), "bad\x01key"));
    EXPECT_EQ(d.stringForKey("k"), "kept");
    EXPECT_TRUE(d.setObject(Any(), "k"));  // null removes
    EXPECT_TRUE(d.objectForKey("k").isNull());
    EXPECT_TRUE(d.synchronize());
}

TEST_F(UserDefaultsTest, CorruptFileIsMovedAsideAndDefaultsStartEmpty) {
    const fs::path path = defaults().filePath();
    for (const std::string& garbage : {std::string("<?xml version=\"1.0\"?><plist><dict><key>a</key>"),
                                       std::string("<plist version=\"1.0\"><string>not a dictionary</string></plist>")}) {
        std::ofstream(path, std::ios::binary) << garbage;
        NSUserDefaults::resetStandardUserDefaults();
        EXPECT_TRUE(defaults().dictionaryRepresentation().empty());
        EXPECT_FALSE(fs::exists(path));
        std::vector<fs::path> aside;
        for (const auto& entry : fs::directory_iterator(path.parent_path())) {
            if (entry.path().filename().string().starts_with(path.filename().string() + ".corrupt-")) {
                aside.push_back(entry.path());
            }
        }
        ASSERT_FALSE(aside.empty());
        bool preserved = false;
        for (const auto& p : aside) preserved = preserved || readText(p) == garbage;
        EXPECT_TRUE(preserved);
    }
    // Under the tests' manual clock the wall time is 1700000000.
    EXPECT_TRUE(fs::exists(path.string() + ".corrupt-1700000000"));
    EXPECT_TRUE(fs::exists(path.string() + ".corrupt-1700000000-1"));
    defaults().setBool(true, "fresh");
    ASSERT_TRUE(defaults().synchronize());
    NSUserDefaults::resetStandardUserDefaults();
    EXPECT_TRUE(defaults().boolForKey("fresh"));
}

TEST_F(UserDefaultsTest, WriterKilledAtRandomMomentsKeepsAnAcknowledgedValue) {
    expectKilledWritersLoseNothing(20);
}

// 200 rounds: `ctest -L long` (skipped unless QV_LONG_TESTS is set).
TEST_F(UserDefaultsTest, WriterKilledAtRandomMomentsManyTimesKeepsAnAcknowledgedValue) {
    if (!std::getenv("QV_LONG_TESTS")) GTEST_SKIP() << "long test: ctest -L long";
    expectKilledWritersLoseNothing(200);
}

// The kill rounds are able to catch a writer that truncates the file and rewrites it in place.
TEST_F(UserDefaultsTest, KillRoundsCatchAWriterThatRewritesInPlace) {
    ASSERT_TRUE(saveInPlace(-1));
    EXPECT_GT(firstRoundLosingData(100, saveInPlace), 0) << "an in-place writer survived 100 kills";
}

TEST_F(UserDefaultsTest, LoadingRemovesTemporaryFilesOfDeadWritersOnly) {
    const fs::path path = defaults().filePath();
    const std::string prefix = temporaryPrefix(path);
    // A writer that has ended, and one still running.
    const pid_t dead = fork();
    ASSERT_GE(dead, 0);
    if (dead == 0) _exit(0);
    ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
    int hold[2];
    ASSERT_EQ(pipe(hold), 0);
    const pid_t live = fork();
    ASSERT_GE(live, 0);
    if (live == 0) {
        close(hold[1]);
        char c;
        (void)read(hold[0], &c, 1);
        _exit(0);
    }
    close(hold[0]);
    const fs::path deadFile = path.parent_path() / (prefix + std::to_string(dead) + "-0-42");
    const fs::path liveFile = path.parent_path() / (prefix + std::to_string(live) + "-0-42");
    const fs::path ownFile = path.parent_path() / (prefix + std::to_string(getpid()) + "-7-42");
    const fs::path notOurs = path.parent_path() / (".other.plist.tmp-" + std::to_string(dead) + "-0-42");
    const fs::path noPid = path.parent_path() / (prefix + "x-0-42");
    for (const auto& p : {deadFile, liveFile, ownFile, notOurs, noPid}) std::ofstream(p) << "partial";

    NSUserDefaults::resetStandardUserDefaults();
    (void)defaults().dictionaryRepresentation();
    EXPECT_FALSE(fs::exists(deadFile));
    EXPECT_TRUE(fs::exists(liveFile));
    EXPECT_TRUE(fs::exists(ownFile));
    EXPECT_TRUE(fs::exists(notOurs));
    EXPECT_TRUE(fs::exists(noPid));

    close(hold[1]);  // the live writer ends
    ASSERT_EQ(waitpid(live, nullptr, 0), live);
    EXPECT_EQ(removeAbandonedTemporaryFiles(path), 1);
    EXPECT_FALSE(fs::exists(liveFile));
    for (const auto& p : {ownFile, notOurs, noPid}) fs::remove(p);
}

TEST_F(UserDefaultsTest, DatesOfEveryYearSurviveARestart) {
    // January 1st of years -229, 0 and 10000: the first once made the whole file unreadable.
    for (const double seconds : {-69393715200.0, -62167219200.0, 253402300800.0}) {
        ASSERT_TRUE(defaults().setObject(Any(Date(seconds)), "date"));
        defaults().setBool(true, "other");
        ASSERT_TRUE(defaults().synchronize());
        NSUserDefaults::resetStandardUserDefaults();
        EXPECT_EQ(defaults().objectForKey("date"), Any(Date(seconds)));
        EXPECT_TRUE(defaults().boolForKey("other"));
    }
    const fs::path path = defaults().filePath();
    EXPECT_TRUE(filesStartingWith(path.parent_path(), corruptPrefix(path)).empty());
}
