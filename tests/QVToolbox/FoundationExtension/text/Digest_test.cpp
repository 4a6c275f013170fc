#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/base/Debug.h>

#include <gtest/gtest.h>

using namespace QVToolbox;

TEST(Digest, Md5FormsAndTheEmptyTextWarning) {
    const auto abc = hx("abc");
    EXPECT_EQ(abc.md5Encrypt(MD5EncryptType::lowercase32), "900150983cd24fb0d6963f7d28e17f72");  // RFC 1321
    EXPECT_EQ(abc.md5Encrypt(MD5EncryptType::uppercase32), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(abc.md5Encrypt(MD5EncryptType::lowercase16), "3cd24fb0d6963f7d");
    EXPECT_EQ(hx(platform::NSString("abc")).md5Encrypt(HxPOP<platform::NSString>::MD5EncryptType::uppercase16), "3CD24FB0D6963F7D");
    // Every byte counts, NULs included.
    EXPECT_NE(hx(std::string("a\0b", 3)).md5Encrypt(MD5EncryptType::lowercase32), hx("a").md5Encrypt(MD5EncryptType::lowercase32));
    std::vector<std::string> seen;
    auto previous = platform::setDebugSink([&](std::string_view m, std::string_view) { seen.emplace_back(m); });
    EXPECT_EQ(hx("").md5Encrypt(MD5EncryptType::lowercase32), "");
    platform::setDebugSink(previous);
    EXPECT_EQ(seen, std::vector<std::string>{"⚠️⚠️⚠️md5加密无效的字符串⚠️⚠️⚠️"});
}

TEST(Digest, ShaAndHmac) {
    EXPECT_EQ(hx("abc").shaCrypt(LuxSHAType::SHA256), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hx("abc").shaCrypt(LuxSHAType::SHA1, std::nullopt, false), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(hx("abc").shaCrypt(LuxSHAType::SHA224, ""), hx("abc").shaCrypt(LuxSHAType::SHA224));  // empty key: plain
    EXPECT_EQ(hx(std::string("abc\0def", 7)).shaCrypt(LuxSHAType::SHA512), hx("abc").shaCrypt(LuxSHAType::SHA512));
    // RFC 4231 test case 2.
    EXPECT_EQ(hx("what do ya want for nothing?").shaCrypt(LuxSHAType::SHA256, "Jefe"),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    EXPECT_EQ(hx("what do ya want for nothing?").shaCrypt(LuxSHAType::SHA384, "Jefe")->size(), 96u);
}

TEST(Digest, CiphersMatchOpensslAndRoundTrip) {
    // Expected values: `openssl enc -e -<cipher> -K <key text zero-padded to the key length> -nosalt | base64`.
    const std::string plain = "hello, 世界";
    EXPECT_EQ(hx(plain).scaCrypt(LuxSCAType::AES, "qvtoolbox-key", true), "oCqupoRZ/OmmojuVF5BeQA==");
    EXPECT_EQ(hx(plain).scaCrypt(LuxSCAType::AES128, "qvtoolbox-key", true), "MQTeUM9WpuJajMuWtBc6Kw==");
    EXPECT_EQ(hx(plain).scaCrypt(LuxSCAType::DES, "qvtoolbox-key", true), "6rWXvyKSEQz2Dz2miaDByQ==");
    EXPECT_EQ(hx(plain).scaCrypt(LuxSCAType::DES3, "qvtoolbox-key", true), "TKhutoXD1/+pwfQKGOy8nw==");
    for (auto type : {LuxSCAType::AES, LuxSCAType::AES128, LuxSCAType::DES, LuxSCAType::DES3, LuxSCAType::CAST,
                      LuxSCAType::RC2, LuxSCAType::RC4, LuxSCAType::Blowfish}) {
        const auto sealed = hx(plain).scaCrypt(type, "k", true, "ignored iv");
        ASSERT_TRUE(sealed) << static_cast<int>(type);
        EXPECT_EQ(hx(*sealed).scaCrypt(type, "k", false), plain) << static_cast<int>(type);
        EXPECT_NE(hx(*sealed).scaCrypt(type, "other", false), plain);
    }
    // 100 bytes with AES: 112 bytes, 152 Base64 characters broken after 64 and 128.
    const auto sealed = *hx(std::string(100, 'x')).scaCrypt(LuxSCAType::AES, "key", true);
    ASSERT_EQ(sealed.size(), 156u);
    EXPECT_EQ(sealed.substr(64, 2), "\r\n");
    EXPECT_EQ(sealed.substr(130, 2), "\r\n");
    EXPECT_EQ(hx(sealed).scaCrypt(LuxSCAType::AES, "key", false), std::string(100, 'x'));
    EXPECT_EQ(hx(plain).scaCrypt(LuxSCAType::AES, std::nullopt, true), std::nullopt);
    EXPECT_EQ(hx("!!!!").scaCrypt(LuxSCAType::AES, "key", false), std::nullopt);  // no Base64 at all
    EXPECT_EQ(hx("AAAA").scaCrypt(LuxSCAType::AES, "key", false), std::nullopt);  // not a whole block
}
