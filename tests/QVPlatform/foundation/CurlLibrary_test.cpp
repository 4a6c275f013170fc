#include <QVPlatform/foundation/detail/CurlLibrary.h>
#include <QVPlatform/foundation/detail/UrlTransfer.h>

#include <gtest/gtest.h>

using namespace platform;
using namespace platform::detail;

TEST(CurlLibrary, OpensTheAbiSonameAndResolvesTheFunctionsThisProcessLinks) {
    const CurlFunctions* c = curl();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(curl(), c);  // loaded once
    // The test program links libcurl itself: the table must point at the very same functions.
    EXPECT_EQ(c->curl_global_init, &::curl_global_init);
    EXPECT_EQ(c->curl_easy_setopt, &::curl_easy_setopt);
    EXPECT_EQ(c->curl_easy_getinfo, &::curl_easy_getinfo);
    EXPECT_EQ(c->curl_multi_poll, &::curl_multi_poll);
    EXPECT_EQ(c->curl_multi_info_read, &::curl_multi_info_read);
    EXPECT_GE(c->curl_version_info(CURLVERSION_NOW)->version_num, CurlLibrary::minimumVersion);
}

TEST(CurlLibrary, AMissingLibraryOrFunctionMakesItUnavailableWithTheReason) {
    std::string why;
    EXPECT_EQ(CurlLibrary::open("libcurl.so.999", &why), nullptr);
    EXPECT_NE(why.find("libcurl.so.999"), std::string::npos) << why;

    EXPECT_EQ(CurlLibrary::open("libc.so.6", &why), nullptr);  // loads, but has none of curl's functions
    EXPECT_NE(why.find("curl_global_init"), std::string::npos) << why;

    EXPECT_EQ(CurlLibrary::open("libc.so.6", nullptr), nullptr);  // no reason asked for
    EXPECT_NE(CurlLibrary::open(CurlLibrary::soname, nullptr), nullptr);
}

TEST(CurlLibrary, WithoutLibcurlHttpLoadsFailWithAClearErrorAndOtherSchemesAreUnchanged) {
    const URL http = *URL::string("http://127.0.0.1:1/a.gif");
    HttpTransfer missing(http, {}, nullptr);
    EXPECT_EQ(missing.handle(), nullptr);
    const TransferOutcome outcome = missing.perform();
    ASSERT_TRUE(outcome.error);
    EXPECT_FALSE(outcome.data);
    EXPECT_EQ(outcome.error->code, NSURLErrorUnsupportedURL);
    EXPECT_EQ(outcome.error->domain(), NSURLErrorDomain);
    EXPECT_EQ(outcome.error->failingURL, "http://127.0.0.1:1/a.gif");
    EXPECT_EQ(outcome.error->description, "HTTP loading is unavailable: libcurl.so.4 could not be loaded.");

    HttpTransfer ftp(*URL::string("ftp://example.com/a.gif"), {}, nullptr);
    EXPECT_EQ(ftp.perform().error->description, URLErrorDescription(NSURLErrorUnsupportedURL));
}
