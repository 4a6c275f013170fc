#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/foundation/PropertyList.h>
#include <QVPlatform/foundation/UserDefaults.h>
#include <QVPlatform/runtime/NSObject.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

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

TEST_F(UserDefaultsTest, WriterKilledMidWriteLeavesTheOldOrTheNewFile) {
    const fs::path path = defaults().filePath();
    // A payload large enough that a write takes a while, tied to the counter so that a torn
    // file could not pass for a whole one.
    auto payload = [](std::int64_t i) { return std::string(200000, static_cast<char>('a' + i % 26)) + std::to_string(i); };
    defaults().setInteger(-1, "counter");
    defaults().setObject(Any(payload(-1)), "payload");
    ASSERT_TRUE(defaults().synchronize());

    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        for (std::int64_t i = 0; i < 100000; ++i) {
            defaults().setInteger(i, "counter");
            defaults().setObject(Any(payload(i)), "payload");
            defaults().synchronize();
            const char tick = 'x';
            if (write(ready[1], &tick, 1) != 1) break;
        }
        _exit(0);
    }
    close(ready[1]);
    // Let the child complete some writes, then kill it wherever it is.
    char tick;
    for (int i = 0; i < 25; ++i) ASSERT_EQ(read(ready[0], &tick, 1), 1);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    close(ready[0]);

    const auto onDisk = PropertyList::readXML(readText(path));
    ASSERT_TRUE(onDisk) << "the defaults file is torn";
    const std::int64_t counter = (*onDisk)["counter"].integerValue();
    EXPECT_GE(counter, 24);
    EXPECT_EQ((*onDisk)["payload"].string(), payload(counter));
    NSUserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(defaults().integerForKey("counter"), counter);
}
