// qvtool's text-utility commands: digest, cipher, encode, validate, text and number.
// Each prints its result on one line; an absent or empty result prints an empty line and
// exits with 1.
#include "Command.h"

#include <QVToolbox/QVToolbox.h>

#include <charconv>
#include <iostream>
#include <map>

namespace qvtool {
namespace {

using namespace QVToolbox;

// The remaining arguments as one text (several words are joined by single spaces).
std::optional<std::string> textArgument(const Args& args, std::size_t from) {
    if (args.size() <= from) return std::nullopt;
    std::string text = args[from];
    for (std::size_t i = from + 1; i < args.size(); ++i) text += " " + args[i];
    return text;
}

int printResult(const std::optional<std::string>& result) {
    std::cout << result.value_or("") << "\n";
    return result && !result->empty() ? 0 : 1;
}

int printBool(bool value) {
    std::cout << (value ? "true" : "false") << "\n";
    return 0;
}

std::optional<long> integerArgument(std::string_view text) {
    long v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

int runDigest(const Args& input) {
    Args args = input;
    bool error = false;
    const bool upper = takeFlag(args, "--upper");
    const auto key = takeOption(args, "--key", error);
    if (error) return usageError("--key needs a value");
    const auto text = textArgument(args, 1);
    if (args.empty() || !text) return usageError("digest needs an algorithm and a text");
    static const std::map<std::string, MD5EncryptType> md5{{"md5", MD5EncryptType::lowercase32},
                                                           {"MD5", MD5EncryptType::uppercase32},
                                                           {"md5-16", MD5EncryptType::lowercase16},
                                                           {"MD5-16", MD5EncryptType::uppercase16}};
    static const std::map<std::string, LuxSHAType> sha{{"sha1", LuxSHAType::SHA1}, {"sha224", LuxSHAType::SHA224},
                                                       {"sha256", LuxSHAType::SHA256}, {"sha384", LuxSHAType::SHA384},
                                                       {"sha512", LuxSHAType::SHA512}};
    if (const auto m = md5.find(args[0]); m != md5.end()) return printResult(hx(*text).md5Encrypt(m->second));
    const auto s = sha.find(args[0]);
    if (s == sha.end()) return usageError("unknown digest '" + args[0] + "'");
    return printResult(hx(*text).shaCrypt(s->second, key ? std::optional<std::string_view>(*key) : std::nullopt, !upper));
}

int runCipher(const Args& input) {
    Args args = input;
    bool error = false;
    const auto type = takeOption(args, "--type", error);
    const auto key = takeOption(args, "--key", error);
    if (error || !type || !key) return usageError("cipher needs --type TYPE and --key KEY");
    const auto text = textArgument(args, 1);
    if (args.empty() || (args[0] != "encrypt" && args[0] != "decrypt") || !text) {
        return usageError("cipher encrypt|decrypt --type TYPE --key KEY TEXT");
    }
    static const std::map<std::string, LuxSCAType> types{
        {"AES", LuxSCAType::AES},   {"AES128", LuxSCAType::AES128}, {"DES", LuxSCAType::DES}, {"DES3", LuxSCAType::DES3},
        {"CAST", LuxSCAType::CAST}, {"RC2", LuxSCAType::RC2},       {"RC4", LuxSCAType::RC4}, {"Blowfish", LuxSCAType::Blowfish}};
    const auto t = types.find(*type);
    if (t == types.end()) return usageError("unknown cipher type '" + *type + "'");
    return printResult(hx(*text).scaCrypt(t->second, *key, args[0] == "encrypt"));
}

int runEncode(const Args& args) {
    const auto text = textArgument(args, 1);
    if (args.empty() || !text) return usageError("encode needs a kind and a text");
    const auto t = hx(*text);
    const std::string& kind = args[0];
    if (kind == "base64") return printResult(t.base64Encode());
    if (kind == "base64-decode") return printResult(t.base64Decode());
    if (kind == "url") return printResult(t.urlEncode());
    if (kind == "url-decode") return printResult(t.urlDecode());
    if (kind == "url-encoded") return printResult(t.urlEncoded());
    if (kind == "url-all") return printResult(t.urlAllEncoded());
    if (kind == "unicode") return printResult(t.unicodeEncode());
    if (kind == "unicode-decode") return printResult(t.unicodeDecode());
    if (kind == "html") return printResult(t.toHtmlEncodedString());
    if (kind == "html-decode") return printResult(t.htmlEncodedStringToString());
    return usageError("unknown encoding '" + kind + "'");
}

int runValidate(const Args& args) {
    if (args.empty()) return usageError("validate needs a kind and a text");
    const auto t = hx(textArgument(args, 1).value_or(""));
    static const std::map<std::string, bool (*)(std::string_view)> checks{
        {"email", isValidEmail},           {"mobile", isValidMobile},     {"idcard", isValidIDCardNumber},
        {"idcard-strict", isValidIDCardNumStrict}, {"nickname", isValidNickName}, {"chinese", isChinese},
        {"emoji", containsEmoji},          {"number", isValidNumber},     {"digits", isDecimalDigits},
        {"letters", isLetters},            {"blank", isBlank},            {"int", isPureInt},
        {"float", isPureFloat},            {"video", isVideoUrl},         {"file-url", isValidFileUrl}};
    const auto c = checks.find(args[0]);
    if (c == checks.end()) return usageError("unknown check '" + args[0] + "'");
    return printBool(c->second(t.base));
}

int runText(const Args& input) {
    Args args = input;
    const bool tone = takeFlag(args, "--tone");
    const bool upper = takeFlag(args, "--upper");
    const auto text = textArgument(args, 1);
    if (args.empty() || !text) return usageError("text needs an operation and a text");
    const auto t = hx(*text);
    const std::string& op = args[0];
    if (op == "pinyin") return printResult(t.toPinyin(tone));
    if (op == "initials") return printResult(t.pinyinInitials(upper));
    if (op == "mask-phone") return printResult(t.hidePhone("*", 3, 4));
    if (op == "mask-email") return printResult(t.hideEmail());
    if (op == "width") return printResult(std::to_string(t.countOfChars()));
    if (op == "delete-emoji") return printResult(t.deleteEmoji());
    return usageError("unknown text operation '" + op + "'");
}

std::optional<std::string> convertBase(const std::string& from, const std::string& to, const std::string& text) {
    const auto t = hx(text);
    static const std::map<std::string, std::string (HxPOP<std::string>::*)() const> table{
        {"2>10", &HxPOP<std::string>::binaryTodecimal},        {"8>10", &HxPOP<std::string>::octalTodecimal},
        {"16>10", &HxPOP<std::string>::hexadecimalToDecimal},  {"10>2", &HxPOP<std::string>::decimalToBinary},
        {"10>8", &HxPOP<std::string>::decimalToOctal},         {"10>16", &HxPOP<std::string>::decimalToHexadecimal},
        {"2>8", &HxPOP<std::string>::binaryToOctal},           {"2>16", &HxPOP<std::string>::binaryToHexadecimal},
        {"8>2", &HxPOP<std::string>::octalTobinary},           {"8>16", &HxPOP<std::string>::octalToHexadecimal},
        {"16>2", &HxPOP<std::string>::hexadecimalToBinary},    {"16>8", &HxPOP<std::string>::hexadecimalToOctal}};
    if (from == to) return text;
    const auto f = table.find(from + ">" + to);
    if (f == table.end()) return std::nullopt;
    return (t.*(f->second))();
}

int runNumber(const Args& input) {
    Args args = input;
    bool error = false;
    const auto scale = takeOption(args, "--scale", error);
    if (error) return usageError("--scale needs a value");
    if (args.empty()) return usageError("number needs an operation");
    const std::string& op = args[0];
    if (op == "add" || op == "subtract" || op == "multiply" || op == "divide" || op == "divisible") {
        if (args.size() != 3) return usageError("number " + op + " A B");
        const auto a = hx(args[1]);
        if (op == "add") return printResult(a.adding(args[2]));
        if (op == "subtract") return printResult(a.subtracting(args[2]));
        if (op == "multiply") return printResult(a.multiplying(args[2]));
        if (op == "divide") return printResult(a.dividing(args[2]));
        return printBool(HxPOP<platform::NSDecimalNumberHandler>::isDivisible(args[1], args[2]));
    }
    if (op == "thousands") {
        if (args.size() != 2) return usageError("number thousands TEXT");
        return printResult(hx(args[1]).toThousands());
    }
    if (op == "tenthousand") {
        if (args.size() != 2) return usageError("number tenthousand N [--scale S]");
        const auto n = integerArgument(args[1]);
        const auto s = integerArgument(scale.value_or("1"));
        if (!n || !s || *s < 0 || *s > 17) return inputError("tenthousand takes an integer and a scale from 0 to 17");
        return printResult(hx(*n).toTenThousandString(static_cast<int>(*s)));
    }
    if (op == "base") {
        if (args.size() != 4) return usageError("number base FROM TO TEXT");
        for (const auto& b : {args[1], args[2]}) {
            if (b != "2" && b != "8" && b != "10" && b != "16") return usageError("bases are 2, 8, 10 and 16");
        }
        return printResult(convertBase(args[1], args[2], args[3]));
    }
    return usageError("unknown number operation '" + op + "'");
}

const Registration digest{"digest",
                          "digest md5|md5-16|MD5|MD5-16 TEXT          MD5 in hex (lower/upper case, 32 or 16 digits)\n"
                          "digest sha1|sha224|sha256|sha384|sha512 [--upper] [--key KEY] TEXT   SHA digest or HMAC",
                          runDigest, 20};
const Registration cipher{"cipher",
                          "cipher encrypt|decrypt --type AES|AES128|DES|DES3|CAST|RC2|RC4|Blowfish --key KEY TEXT\n"
                          "                                           ECB/PKCS#7; encryption prints Base64, decryption takes it",
                          runCipher, 21};
const Registration encode{"encode",
                          "encode base64|base64-decode|url|url-decode|url-encoded|url-all|unicode|unicode-decode|html|html-decode TEXT",
                          runEncode, 22};
const Registration validate{"validate",
                            "validate email|mobile|idcard|idcard-strict|nickname|chinese|emoji|number|digits|letters|blank|int|float|video|file-url TEXT\n"
                            "                                           prints true or false",
                            runValidate, 23};
const Registration text{"text",
                        "text pinyin [--tone] TEXT | initials [--upper] TEXT | mask-phone TEXT | mask-email TEXT |\n"
                        "     width TEXT | delete-emoji TEXT       pinyin, masking, display width",
                        runText, 24};
const Registration number{"number",
                          "number add|subtract|multiply|divide A B | thousands TEXT | tenthousand N [--scale S] |\n"
                          "       base FROM TO TEXT | divisible A B  exact decimal arithmetic and base conversion",
                          runNumber, 25};

const DemoRegistration demo{"Text utilities", [](const std::string&) {
    const auto show = [](std::string_view what, const std::string& value) { std::cout << "  " << what << ": " << value << "\n"; };
    show("md5(\"abc\")", hx("abc").md5Encrypt(MD5EncryptType::lowercase32));
    show("HMAC-SHA256(\"Jefe\", \"what do ya want for nothing?\")",
         hx("what do ya want for nothing?").shaCrypt(LuxSHAType::SHA256, "Jefe").value_or(""));
    const auto sealed = hx("你好, QVToolbox").scaCrypt(LuxSCAType::AES, "secret-key", true).value_or("");
    show("AES encrypt \"你好, QVToolbox\"", sealed);
    show("AES decrypt of that", hx(sealed).scaCrypt(LuxSCAType::AES, "secret-key", false).value_or(""));
    show("0.1 + 0.2", hx("0.1").adding("0.2"));
    show("1 ÷ 3", hx("1").dividing("3"));
    show("thousands of 1234567.891", hx("1234567.891").toThousands());
    show("25000 in 万", hx(25000).toTenThousandString(1));
    show("ff hex to decimal", hx("ff").hexadecimalToDecimal());
    show("urlAllEncoded(\"a b/c\")", hx("a b/c").urlAllEncoded());
    show("unicodeEncode(\"中文\")", hx("中文").unicodeEncode());
    show("isValidMobile(13912345678)", hx("13912345678").isValidMobile() ? "true" : "false");
    show("isValidEmail(\"qv@example.cn\")", hx("qv@example.cn").isValidEmail() ? "true" : "false");
    show("toPinyin(\"中华人民共和国\")", hx("中华人民共和国").toPinyin(true));
    show("pinyinInitials(\"中华人民共和国\", upper)", hx("中华人民共和国").pinyinInitials(true));
    show("hidePhone(13800138000)", hx("13800138000").hidePhone("*", 3, 4));
    show("hideEmail(abcdef@qq.com)", hx("abcdef@qq.com").hideEmail());
    show("deleteEmoji(\"好😀的\")", hx("好😀的").deleteEmoji());
    show("sub(start 2, length 3) of \"abcdef\"", hx("abcdef").sub({.start = 2, .length = 3}));
}, 20};

}  // namespace
}  // namespace qvtool
