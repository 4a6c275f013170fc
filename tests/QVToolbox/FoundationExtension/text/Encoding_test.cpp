#include <QVToolbox/QVToolbox.h>

#include <gtest/gtest.h>

using namespace QVToolbox;

TEST(Encoding, Base64PercentUnicodeAndHtml) {
    EXPECT_EQ(hx("abc").base64Encode(), "YWJj");
    EXPECT_EQ(hx("YW\r\nJj").base64Decode(), "abc");
    EXPECT_EQ(hx("/w==").base64Decode(), std::nullopt);  // 0xFF is not UTF-8
    EXPECT_EQ(hx("abc").base64(true), "YWJj");
    const platform::Data broken = platform::Data::fromString("YW\nJj");
    EXPECT_EQ(hx(broken).decodeToDada(), std::nullopt);
    EXPECT_EQ(hx(platform::Data::fromString("YWJj")).decodeToDada()->toString(), "abc");
    EXPECT_EQ(hx(platform::Data::fromString("abc")).encodeToData()->toString(), "YWJj");
    EXPECT_EQ(hx(platform::Data::fromString("ab")).bytes(), (std::vector<std::uint8_t>{'a', 'b'}));

    EXPECT_EQ(hx("a b/c").urlAllEncoded(), "a%20b%2Fc");
    EXPECT_EQ(hx("a b/c").urlEncoded(), "a%20b/c");
    EXPECT_EQ(hx("100%").urlEncode(), "100%");
    EXPECT_EQ(hx("a b&中").urlEncode(), "a%20b&%E4%B8%AD");
    EXPECT_EQ(hx("%E4%B8%AD%20").urlDecode(), "中 ");
    EXPECT_EQ(hx("%zz").urlDecode(), "");
    EXPECT_EQ(hx("%FF").urlDecode(), "");
    EXPECT_EQ(hx("a-b").urlEncoding(platform::CharacterSet("ab")), "a%2Db");

    EXPECT_EQ(hx("é").unicodeEncode(), "\\ue9");
    EXPECT_EQ(hx("\n").unicodeEncode(), "\\n");
    EXPECT_EQ(hx(std::string("中a\"\\\x01\0", 8)).unicodeEncode(), "\\u4e2da\\\"\\\\\\u{1}\\0");
    EXPECT_EQ(hx("😀").unicodeEncode(), "\\ud83d\\ude00");
    EXPECT_EQ(hx("\\u4e2d").unicodeDecode(), "中");
    EXPECT_EQ(hx("\\ud83d\\ude00 \"q\"").unicodeDecode(), "😀 \"q\"");
    EXPECT_EQ(hx(hx("a\tb\\c😀").unicodeEncode()).unicodeDecode(), "a\tb\\c😀");
    EXPECT_EQ(hx("x\\\\r\\\\ny").unicodeDecode(), "x\ny");
    EXPECT_EQ(hx("ends with \\").unicodeDecode(), "");  // not a quoted string

    EXPECT_EQ(hx("A").toHtmlEncodedString(), "&#x0041;");
    EXPECT_EQ(hx("中😀").toHtmlEncodedString(), "&#x4e2d;&#xd83d;&#xde00;");
    EXPECT_EQ(hx("&#x4e2d;&lt;b&gt;").htmlEncodedStringToString(), "中<b>");
    EXPECT_EQ(hx("<p>x &amp; <i>y</i></p>").htmlEncodedStringToString(), "x & y");
}
