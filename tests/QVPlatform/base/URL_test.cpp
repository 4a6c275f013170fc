#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/base/URL.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

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

TEST(URL, ParsesEveryAbsoluteUriOfRfc3986) {
    // RFC 3986 1.1.2, and URIs without an authority that curl's URL API refuses.
    for (const char* text : {"ftp://ftp.is.co.za/rfc/rfc1808.txt", "http://www.ietf.org/rfc/rfc2396.txt",
                             "ldap://[2001:db8::7]/c=GB?objectClass?one", "mailto:John.Doe@example.com",
                             "news:comp.infosystems.www.servers.unix", "tel:+1-816-555-1212", "telnet://192.0.2.16:80/",
                             "urn:oasis:names:specification:docbook:dtd:xml:4.1.2", "mailto:a@b.c", "tel:10086",
                             "about:blank", "urn:isbn:0451450523"}) {
        const auto url = URL::string(text);
        ASSERT_TRUE(url) << text;
        EXPECT_EQ(url->absoluteString(), text);
    }
    const auto ldap = URL::string("ldap://[2001:db8::7]/c=GB?objectClass?one");
    EXPECT_EQ(ldap->host(), "2001:db8::7");
    EXPECT_EQ(ldap->path(), "/c=GB");
    EXPECT_EQ(ldap->query(), "objectClass?one");
    const auto mail = URL::string("mailto:John.Doe@example.com");
    EXPECT_EQ(mail->scheme(), "mailto");
    EXPECT_EQ(mail->host(), std::nullopt);
    EXPECT_EQ(mail->user(), std::nullopt);
    EXPECT_EQ(mail->path(), "John.Doe@example.com");
    const auto tel = URL::string("tel:10086");
    EXPECT_EQ(tel->path(), "10086");
    EXPECT_EQ(tel->host(), std::nullopt);
    const auto urn = URL::string("urn:isbn:0451450523");
    EXPECT_EQ(urn->scheme(), "urn");
    EXPECT_EQ(urn->path(), "isbn:0451450523");
    const auto telnet = URL::string("telnet://192.0.2.16:80/");
    EXPECT_EQ(telnet->host(), "192.0.2.16");
    EXPECT_EQ(telnet->port(), 80);
    EXPECT_EQ(URL::string("about:blank")->lastPathComponent(), "blank");

    EXPECT_EQ(URL::string("http://a.com:65535/")->port(), 65535);
    for (const char* bad : {"http://a.com:65536/", "mailto:a b@c.d", "tel:1\x7f", "1tel:10086", ":x", "a:b\xC3\xA9",
                            "http://[::1/", "http://a.com/%zz", "http://a.com/#a#b"}) {
        EXPECT_FALSE(URL::string(bad)) << bad;
    }
}

TEST(URL, ResolvesReferencesAsRfc3986Section5) {
    const auto base = URL::string("http://a/b/c/d;p?q");
    ASSERT_TRUE(base);
    const std::pair<const char*, const char*> examples[] = {
        // 5.4.1 normal examples
        {"g:h", "g:h"}, {"g", "http://a/b/c/g"}, {"./g", "http://a/b/c/g"}, {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"}, {"//g", "http://g"}, {"?y", "http://a/b/c/d;p?y"}, {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"}, {"g#s", "http://a/b/c/g#s"}, {"g?y#s", "http://a/b/c/g?y#s"},
        {";x", "http://a/b/c/;x"}, {"g;x", "http://a/b/c/g;x"}, {"g;x?y#s", "http://a/b/c/g;x?y#s"},
        {"", "http://a/b/c/d;p?q"}, {".", "http://a/b/c/"}, {"./", "http://a/b/c/"}, {"..", "http://a/b/"},
        {"../", "http://a/b/"}, {"../g", "http://a/b/g"}, {"../..", "http://a/"}, {"../../", "http://a/"},
        {"../../g", "http://a/g"},
        // 5.4.2 abnormal examples
        {"../../../g", "http://a/g"}, {"../../../../g", "http://a/g"}, {"/./g", "http://a/g"},
        {"/../g", "http://a/g"}, {"g.", "http://a/b/c/g."}, {".g", "http://a/b/c/.g"}, {"g..", "http://a/b/c/g.."},
        {"..g", "http://a/b/c/..g"}, {"./../g", "http://a/b/g"}, {"./g/.", "http://a/b/c/g/"},
        {"g/./h", "http://a/b/c/g/h"}, {"g/../h", "http://a/b/c/h"}, {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
        {"g;x=1/../y", "http://a/b/c/y"}, {"g?y/./x", "http://a/b/c/g?y/./x"},
        {"g?y/../x", "http://a/b/c/g?y/../x"}, {"g#s/./x", "http://a/b/c/g#s/./x"},
        {"g#s/../x", "http://a/b/c/g#s/../x"}, {"http:g", "http:g"},
    };
    for (const auto& [reference, expected] : examples) {
        const auto url = URL::string(reference, *base);
        ASSERT_TRUE(url) << reference;
        EXPECT_EQ(url->absoluteString(), expected) << reference;
        EXPECT_EQ(url->relativeString(), reference);
        EXPECT_EQ(url->absoluteURL().relativeString(), expected);
    }
    const auto resolved = URL::string("../g?x=1#top", *base);
    EXPECT_EQ(resolved->host(), "a");
    EXPECT_EQ(resolved->path(), "/b/g");
    EXPECT_EQ(resolved->query(), "x=1");
    EXPECT_EQ(resolved->fragment(), "top");
    EXPECT_EQ(*resolved, *URL::string("http://a/b/g?x=1#top"));
    EXPECT_EQ(URL::string("x", *URL::string("mailto:a@b.c"))->absoluteString(), "mailto:x");

    for (const char* bad : {"a b", "\x01", "g#a#b", "%zz", "http://a:99999/"}) {
        EXPECT_FALSE(URL::string(bad, *base)) << bad;
    }
    EXPECT_FALSE(URL::string(std::string_view("g\0h", 3), *base));
}
