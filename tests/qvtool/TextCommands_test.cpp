// qvtool's text groups: digest, cipher, encode, validate, text, number; and where a TEXT
// comes from (the text itself, standard input, a file).
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <fstream>

using qvtest::answers;
using qvtest::refuses;
using qvtest::runTool;

namespace {

// Writes the file and answers the argument that names it: "@" and its path.
std::string atFile(const std::string& folder, const std::string& name, const std::string& bytes) {
    std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    path.insert(0, 1, '@');
    return path;
}

}  // namespace

TEST(QvtoolInput, TextComesFromArgumentsStandardInputOrAFileAsBytes) {
    const qvtest::TemporaryFolder folder;
    const std::string abc = "900150983cd24fb0d6963f7d28e17f72\n";
    EXPECT_TRUE(answers({"digest", "md5", "abc"}, abc));
    EXPECT_TRUE(answers({"digest", "md5", "-"}, abc, "abc"));
    EXPECT_TRUE(answers({"digest", "md5", atFile(folder.folder, "abc.txt", "abc")}, abc));
    EXPECT_TRUE(answers({"digest", "md5", "hello", "world"}, "5eb63bbbe01eeed093cb22bb8f5acdc3\n"));  // "hello world"
    EXPECT_TRUE(answers({"digest", "md5", "@@abc"}, "225aba628e7843fc2ba2d3b3b2a6c49f\n"));        // "@abc"
    // NUL bytes and bytes that are not UTF-8 pass whole.
    const std::string bytes("a\0b\xFF", 4);
    EXPECT_TRUE(answers({"digest", "md5", atFile(folder.folder, "bytes.bin", bytes)},
                        "0dd4df5b5be53b9566c53387ec9a7bac\n"));
    EXPECT_TRUE(answers({"encode", "base64", "-"}, "YQBi/w==\n", bytes));
    // A large document reads whole.
    std::string big = "{\"items\":[";
    for (int i = 0; i < 200000; ++i) big += std::to_string(i) + ",";
    big += "0]}";
    const auto check = runTool({"json", "check", atFile(folder.folder, "big.json", big)});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, big + "\n");
    EXPECT_TRUE(refuses({"digest", "md5", "@/nonexistent/missing"}, "TEXT: cannot read /nonexistent/missing"));
}

TEST(QvtoolDigest, PrintsMd5AndShaDigestsAndHmacs) {
    EXPECT_TRUE(answers({"digest", "md5-16", "abc"}, "3cd24fb0d6963f7d\n"));
    EXPECT_TRUE(answers({"digest", "MD5", "abc"}, "900150983CD24FB0D6963F7D28E17F72\n"));
    EXPECT_TRUE(answers({"digest", "MD5-16", "abc"}, "3CD24FB0D6963F7D\n"));
    EXPECT_TRUE(answers({"digest", "sha256", "abc"}, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n"));
    EXPECT_TRUE(answers({"digest", "sha1", "--upper", "abc"}, "A9993E364706816ABA3E25717850C26C9CD0D89D\n"));
    EXPECT_TRUE(answers({"digest", "sha256", "--key", "Jefe", "what", "do", "ya", "want", "for", "nothing?"},
                        "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843\n"));
    // An empty text has no MD5 here: an empty line and status 1.
    const auto empty = runTool({"digest", "md5", ""});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.out, "\n");
    // SHA digests stop at a NUL byte: refused rather than the digest of a part.
    EXPECT_TRUE(refuses({"digest", "sha256", "-"}, "TEXT holds a NUL byte at offset 1", std::string("a\0b", 3)));
    EXPECT_TRUE(refuses({"digest", "md5", "--key", "k", "abc"}, "unknown option --key"));
    EXPECT_TRUE(answers({"digest", "md5", "-"}, "5fde7b30e732e80b3820087d8ff04215\n", "--key"));
}

TEST(QvtoolCipher, EncryptsAndDecryptsAndRefusesWrongKeysAndBadBase64) {
    EXPECT_TRUE(answers({"cipher", "encrypt", "--type", "AES", "--key", "secret", "hello"}, "wpDott5OpXc0FOAZ/n8Xow==\n"));
    EXPECT_TRUE(answers({"cipher", "decrypt", "--type", "AES", "--key", "secret", "wpDott5OpXc0FOAZ/n8Xow=="}, "hello\n"));
    EXPECT_TRUE(answers({"cipher", "decrypt", "--type", "AES", "--key", "secret", "-"}, "hello\n", "wpDott5O\r\npXc0FOAZ/n8Xow==\n"));
    const auto sealed = runTool({"cipher", "encrypt", "--type", "DES3", "--key", "k", "你好"});
    EXPECT_EQ(sealed.status, 0);
    EXPECT_TRUE(answers({"cipher", "decrypt", "--type", "DES3", "--key", "k", "-"}, "你好\n", sealed.out));
    EXPECT_TRUE(refuses({"cipher", "decrypt", "--type", "AES", "--key", "wrong", "wpDott5OpXc0FOAZ/n8Xow=="},
                        "cannot decrypt TEXT with this key and type"));
    EXPECT_TRUE(refuses({"cipher", "decrypt", "--type", "AES", "--key", "secret", "wpDott5!pXc0FOAZ"}, "TEXT is not Base64"));
    EXPECT_TRUE(refuses({"cipher", "decrypt", "--type", "AES", "--key", "secret", "abc"}, "TEXT is not Base64"));
    EXPECT_TRUE(refuses({"cipher", "encrypt", "--type", "XX", "--key", "k", "a"}, "--type 'XX' is not one of AES|AES128"));
    EXPECT_TRUE(refuses({"cipher", "encrypt", "--type", "AES", "--key", "k", "-"}, "TEXT is not valid UTF-8", "\xFF"));
}

TEST(QvtoolEncode, EncodesEachWayAndTakesTextAsUtf8) {
    EXPECT_TRUE(answers({"encode", "base64", "abc"}, "YWJj\n"));
    EXPECT_TRUE(answers({"encode", "base64-decode", "YWJj"}, "abc\n"));
    EXPECT_TRUE(answers({"encode", "url", "a b/c"}, "a%20b/c\n"));
    EXPECT_TRUE(answers({"encode", "url-decode", "a%20b"}, "a b\n"));
    EXPECT_TRUE(answers({"encode", "url-encoded", "a b/c?"}, "a%20b/c?\n"));
    EXPECT_TRUE(answers({"encode", "url-all", "a b/c"}, "a%20b%2Fc\n"));
    EXPECT_TRUE(answers({"encode", "unicode", "中文"}, "\\u4e2d\\u6587\n"));
    EXPECT_TRUE(answers({"encode", "unicode-decode", "\\u4e2d"}, "中\n"));
    EXPECT_TRUE(answers({"encode", "html", "A"}, "&#x0041;\n"));
    EXPECT_TRUE(answers({"encode", "html-decode", "&lt;b&gt;"}, "<b>\n"));
    // A decoding that fails is an empty line with status 1.
    const auto bad = runTool({"encode", "url-decode", "%zz"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "\n");
    EXPECT_TRUE(refuses({"encode", "url", "-"}, "TEXT is not valid UTF-8", "a\xC0\xAF"));
}

TEST(QvtoolValidate, PrintsTrueOrFalseForUtf8Text) {
    EXPECT_TRUE(answers({"validate", "email", "qv@example.cn"}, "true\n"));
    EXPECT_TRUE(answers({"validate", "email", "qv@"}, "false\n"));
    EXPECT_TRUE(answers({"validate", "mobile", "13912345678"}, "true\n"));
    EXPECT_TRUE(answers({"validate", "int", "12"}, "true\n"));
    EXPECT_TRUE(answers({"validate", "float", "x"}, "false\n"));
    EXPECT_TRUE(answers({"validate", "blank"}, "true\n"));  // no text is the empty text
    EXPECT_TRUE(answers({"validate", "chinese", "-"}, "true\n", "中文"));
    EXPECT_TRUE(refuses({"validate", "email", "-"}, "validate email: TEXT is not valid UTF-8", "a@b.c\xFF"));
}

TEST(QvtoolText, PinyinMaskingWidthAndEmoji) {
    EXPECT_TRUE(answers({"text", "pinyin", "--tone", "中华"}, "zhōng huá\n"));
    EXPECT_TRUE(answers({"text", "pinyin", "中华"}, "zhong hua\n"));
    EXPECT_TRUE(answers({"text", "initials", "--upper", "中华人民"}, "ZHRM\n"));
    EXPECT_TRUE(answers({"text", "mask-phone", "13800138000"}, "138****8000\n"));
    EXPECT_TRUE(answers({"text", "mask-email", "abcdef@qq.com"}, "a****f@qq.com\n"));
    EXPECT_TRUE(answers({"text", "width", "中文ab"}, "6\n"));
    EXPECT_TRUE(answers({"text", "delete-emoji", "好😀的"}, "好的\n"));
    EXPECT_TRUE(refuses({"text", "width", "-"}, "TEXT is not valid UTF-8", "\xED\xA0\x80"));  // a surrogate
    EXPECT_TRUE(refuses({"text", "width", "--tone", "x"}, "text width: unknown option --tone"));
    EXPECT_TRUE(answers({"text", "width", "-5"}, "2\n"));
}

TEST(QvtoolNumber, ExactArithmeticOnDecimalsWithinTheirRange) {
    EXPECT_TRUE(answers({"number", "add", "0.1", "0.2"}, "0.3\n"));
    EXPECT_TRUE(answers({"number", "subtract", "1", "0.3"}, "0.7\n"));
    EXPECT_TRUE(answers({"number", "multiply", "-1.5", "2e3"}, "-3000\n"));
    EXPECT_TRUE(answers({"number", "divide", "1", "3"}, "0.33333333333333333333333333333333333333\n"));
    EXPECT_TRUE(answers({"number", "add", "12345678901234567890123456789012345678", "0"},
                        "12345678901234567890123456789012345678\n"));
    EXPECT_TRUE(answers({"number", "add", "1e130", "0"}, "1" + std::string(130, '0') + "\n"));  // a short mantissa
    EXPECT_TRUE(answers({"number", "divisible", "10", "5"}, "true\n"));
    EXPECT_TRUE(answers({"number", "divisible", "10", "4"}, "false\n"));
    EXPECT_TRUE(answers({"number", "thousands", "1234567.891"}, "1,234,567.89\n"));
    EXPECT_TRUE(answers({"number", "thousands", "1234567"}, "1,234,567\n"));
    // A result beyond the range prints NaN with status 1.
    const auto overflow = runTool({"number", "multiply", "9e127", "9e127"});
    EXPECT_EQ(overflow.status, 1);
    EXPECT_EQ(overflow.out, "NaN\n");

    EXPECT_TRUE(refuses({"number", "add", "abc", "1"}, "number add: A 'abc' is not a decimal number"));
    EXPECT_TRUE(refuses({"number", "add", "1", "1x"}, "B '1x' is not a decimal number"));
    EXPECT_TRUE(refuses({"number", "add", " 1", "1"}, "is not a decimal number"));
    EXPECT_TRUE(refuses({"number", "add", "1e", "1"}, "is not a decimal number"));
    EXPECT_TRUE(refuses({"number", "add", "1e200", "1"}, "A '1e200' is beyond the decimal's range"));
    EXPECT_TRUE(refuses({"number", "add", "1e-129", "1"}, "beyond the decimal's range"));
    EXPECT_TRUE(refuses({"number", "add", "123456789012345678901234567890123456789", "1"}, "more than 38 significant digits"));
    EXPECT_TRUE(refuses({"number", "thousands", "12,345"}, "NUMBER '12,345' is not a decimal number"));
    EXPECT_TRUE(refuses({"number", "divide", "10", "0.00"}, "B is zero: division by zero"));
    EXPECT_TRUE(refuses({"number", "divisible", "x", "1"}, "is not a decimal number"));
}

TEST(QvtoolNumber, TenThousandsAndBasesRefuseWhatTheLibraryWouldMisread) {
    EXPECT_TRUE(answers({"number", "tenthousand", "25000"}, "2.5万\n"));
    EXPECT_TRUE(answers({"number", "tenthousand", "25000", "--scale", "2"}, "2.5万\n"));
    EXPECT_TRUE(answers({"number", "base", "16", "10", "ff"}, "255\n"));
    EXPECT_TRUE(answers({"number", "base", "10", "2", "10"}, "1010\n"));
    EXPECT_TRUE(answers({"number", "base", "10", "16", "255"}, "FF\n"));
    EXPECT_TRUE(answers({"number", "base", "2", "8", "1010"}, "12\n"));
    EXPECT_TRUE(answers({"number", "base", "10", "8", "-1"}, "1777777777777777777777\n"));
    EXPECT_TRUE(answers({"number", "base", "16", "10", "7fffffffffffffff"}, "9223372036854775807\n"));
    EXPECT_TRUE(answers({"number", "base", "10", "10", "99"}, "99\n"));
    const auto zero = runTool({"number", "base", "10", "2", "0"});  // base 2 has no text for 0
    EXPECT_EQ(zero.status, 1);

    EXPECT_TRUE(refuses({"number", "base", "2", "10", "99999999999999999999999"}, "DIGITS '99999999999999999999999' is not a base-2 number"));
    EXPECT_TRUE(refuses({"number", "base", "16", "10", "8000000000000000"}, "beyond the signed 64-bit range"));
    EXPECT_TRUE(refuses({"number", "base", "10", "16", "9223372036854775808"}, "beyond the 64-bit range"));
    EXPECT_TRUE(refuses({"number", "base", "8", "10", "9"}, "not a base-8 number"));
    EXPECT_TRUE(refuses({"number", "base", "16", "10", "-1"}, "not a base-16 number"));
    EXPECT_TRUE(refuses({"number", "base", "3", "10", "1"}, "FROM '3' is not one of the bases 2, 8, 10, 16"));
    EXPECT_TRUE(refuses({"number", "tenthousand", "1.5"}, "N '1.5' is not a whole number"));
    EXPECT_TRUE(refuses({"number", "tenthousand", "5", "--scale", "18"}, "--scale '18' is not from 0 to 17"));
}
