#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/base/URL.h>

#include <gtest/gtest.h>

#include <filesystem>

using namespace platform;

TEST(URL, ParsesHttpUrlsIntoTheirComponents) {
    const auto url = URL::string("https://user:pw@Example.com:8443/a%20b/c.tar.gz?x=1&y=%2F#frag%20x");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), "https");
    EXPECT_EQ(url->host(), "Example.com");
    EXPECT_EQ(url->port(), 8443);
    EXPECT_EQ(url->user(), "user");
    EXPECT_EQ(url->path(), "/a b/c.tar.gz");
    EXPECT_EQ(url->query(), "x=1&y=%2F");
    EXPECT_EQ(url->fragment(), "frag%20x");
    EXPECT_EQ(url->absoluteString(), "https://user:pw@Example.com:8443/a%20b/c.tar.gz?x=1&y=%2F#frag%20x");
    EXPECT_EQ(url->lastPathComponent(), "c.tar.gz");
    EXPECT_EQ(url->pathExtension(), "gz");
    EXPECT_FALSE(url->isFileURL());

    const auto bare = URL::string("http://example.com");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->path(), "");
    EXPECT_EQ(bare->port(), std::nullopt);
    EXPECT_EQ(bare->query(), std::nullopt);
    EXPECT_EQ(bare->fragment(), std::nullopt);
    EXPECT_EQ(bare->lastPathComponent(), "");
    EXPECT_EQ(bare->absoluteString(), "http://example.com");

    const auto v6 = URL::string("http://[::1]:8080/x/");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host(), "::1");
    EXPECT_EQ(v6->port(), 8080);
    EXPECT_EQ(v6->path(), "/x");  // no trailing slash
    EXPECT_EQ(URL::string("http://a.com/")->path(), "/");
    EXPECT_EQ(URL::string("http://a.com/?")->query(), "");
    EXPECT_EQ(URL::string("http://a.com/.profile")->pathExtension(), "");
    // An escape that does not decode to UTF-8 stays as written in the path.
    EXPECT_EQ(URL::string("http://a.com/%FF")->path(), "/%FF");
}

TEST(URL, AcceptsCustomSchemesAndRejectsWhatCurlRejects) {
    const auto tel = URL::string("tel://10086");
    ASSERT_TRUE(tel);
    EXPECT_EQ(tel->scheme(), "tel");
    EXPECT_EQ(tel->host(), "10086");  // as written, not read as an IPv4 number
    const auto wx = URL::string("weixin://");
    ASSERT_TRUE(wx);
    EXPECT_EQ(wx->scheme(), "weixin");
    EXPECT_EQ(wx->host(), std::nullopt);
    const auto app = URL::string("myapp://open/item/../x?id=3");
    ASSERT_TRUE(app);
    EXPECT_EQ(app->path(), "/item/../x");  // kept as written
    EXPECT_EQ(app->query(), "id=3");

    for (const char* bad : {"", "no scheme", "relative/path", "http://a b.com/", "http://a.com/\x01",
                            "http://a.com:99999/", "http://a.com:port/"}) {
        EXPECT_FALSE(URL::string(bad)) << bad;
    }
    EXPECT_FALSE(URL::string(std::string_view("http://a.com/\0x", 15)));
}

TEST(URL, FileUrlsAndPathEditing) {
    const auto folder = Host::temporaryDirectory() / "url test 中";
    std::filesystem::create_directories(folder / "sub");

    const URL file = URL::fileURLWithPath("/tmp/a b/c%.txt");
    EXPECT_EQ(file.absoluteString(), "file:///tmp/a%20b/c%25.txt");
    EXPECT_TRUE(file.isFileURL());
    EXPECT_EQ(file.host(), std::nullopt);
    EXPECT_EQ(file.path(), "/tmp/a b/c%.txt");
    EXPECT_EQ(file.lastPathComponent(), "c%.txt");
    EXPECT_EQ(file.pathExtension(), "txt");
    EXPECT_EQ(file.deletingLastPathComponent().absoluteString(), "file:///tmp/a%20b/");

    const URL dir = URL::fileURLWithPath(folder);
    EXPECT_TRUE(dir.absoluteString().ends_with("/url%20test%20%E4%B8%AD/"));
    EXPECT_EQ(dir.path(), folder.string());
    EXPECT_TRUE(dir.appendingPathComponent("sub").absoluteString().ends_with("/sub/"));
    EXPECT_TRUE(dir.appendingPathComponent("new file").absoluteString().ends_with("/new%20file"));
    EXPECT_EQ(URL::fileURLWithPath("/tmp/x", true).absoluteString(), "file:///tmp/x/");

    const auto web = URL::string("https://a.com/v1/items?page=2#top");
    ASSERT_TRUE(web);
    EXPECT_EQ(web->appendingPathComponent("a b/c").absoluteString(), "https://a.com/v1/items/a%20b/c?page=2#top");
    EXPECT_EQ(web->deletingLastPathComponent().absoluteString(), "https://a.com/v1/?page=2#top");
    EXPECT_EQ(URL::string("https://a.com/")->deletingLastPathComponent().absoluteString(), "https://a.com/");
    EXPECT_EQ(URL::string("https://a.com")->appendingPathComponent("x").absoluteString(), "https://a.com/x");
}

TEST(URL, PercentEncodingUsesThePlatformsSets) {
    EXPECT_EQ(addingPercentEncoding("tel://138 0013 8000", CharacterSet::urlQueryAllowed()), "tel://138%200013%208000");
    EXPECT_EQ(addingPercentEncoding("a b&c=d/e?f#g", CharacterSet::urlQueryAllowed()), "a%20b&c=d/e?f%23g");
    EXPECT_EQ(addingPercentEncoding("a/b?c", CharacterSet::urlPathAllowed()), "a/b%3Fc");
    EXPECT_EQ(addingPercentEncoding("u:s@h", CharacterSet::urlUserAllowed()), "u%3As%40h");
    EXPECT_EQ(addingPercentEncoding("[::1]:80", CharacterSet::urlHostAllowed()), "[::1]:80");
    EXPECT_EQ(addingPercentEncoding("中-_.~", CharacterSet::alphanumerics()), "%E4%B8%AD%2D%5F%2E%7E");
    EXPECT_EQ(addingPercentEncoding("-._~!$&'()*+,;=:@/?", CharacterSet::urlFragmentAllowed()), "-._~!$&'()*+,;=:@/?");
    EXPECT_EQ(addingPercentEncoding("\"<>\\^`{|}%", CharacterSet::urlQueryAllowed()), "%22%3C%3E%5C%5E%60%7B%7C%7D%25");
    EXPECT_TRUE(CharacterSet::urlPasswordAllowed() == CharacterSet::urlUserAllowed());
    EXPECT_FALSE(CharacterSet::urlPathAllowed().contains('?'));
    EXPECT_FALSE(CharacterSet::alphanumerics().contains(U'中'));

    EXPECT_EQ(removingPercentEncoding("a%20b%E4%b8%AD+"), "a b中+");
    EXPECT_EQ(removingPercentEncoding(""), "");
    EXPECT_FALSE(removingPercentEncoding("%"));
    EXPECT_FALSE(removingPercentEncoding("%4"));
    EXPECT_FALSE(removingPercentEncoding("%zz"));
    EXPECT_FALSE(removingPercentEncoding("%FF"));      // not UTF-8
    EXPECT_FALSE(removingPercentEncoding("%E4%B8"));   // truncated sequence
    EXPECT_EQ(removingPercentEncoding("%00"), std::string(1, '\0'));
}
