#include <QVPlatform/crypto/Base64.h>

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <vector>

namespace platform {

namespace {

bool has(Base64EncodingOptions options, Base64EncodingOptions flag) {
    return (static_cast<std::uint32_t>(options) & static_cast<std::uint32_t>(flag)) != 0;
}

// RFC 4648 table 1; -1 marks characters outside the alphabet.
constexpr std::array<std::int8_t, 256> decodingTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& v : table) v = -1;
    constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < alphabet.size(); ++i) table[static_cast<unsigned char>(alphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}
constexpr auto kDecode = decodingTable();

}  // namespace

std::string base64Encode(std::span<const std::uint8_t> bytes, Base64EncodingOptions options) {
    std::string plain((bytes.size() + 2) / 3 * 4 + 1, '\0');  // + the NUL EVP_EncodeBlock adds
    // EVP_EncodeBlock takes an int length: encode in slices of whole groups.
    std::size_t in = 0, out = 0;
    constexpr std::size_t slice = 3 * (1u << 28);
    while (in < bytes.size()) {
        const std::size_t n = std::min(slice, bytes.size() - in);
        out += static_cast<std::size_t>(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(plain.data() + out),
                                                        bytes.data() + in, static_cast<int>(n)));
        in += n;
    }
    plain.resize(out);  // EVP_EncodeBlock writes a trailing NUL beyond the text; resize drops it

    std::size_t lineLength = has(options, Base64EncodingOptions::lineLength64) ? 64
                             : has(options, Base64EncodingOptions::lineLength76) ? 76
                                                                                  : 0;
    if (lineLength == 0 || plain.size() <= lineLength) return plain;
    std::string ending;
    if (has(options, Base64EncodingOptions::endLineWithCarriageReturn)) ending += '\r';
    if (has(options, Base64EncodingOptions::endLineWithLineFeed)) ending += '\n';
    if (ending.empty()) ending = "\r\n";
    std::string broken;
    broken.reserve(plain.size() + plain.size() / lineLength * ending.size());
    for (std::size_t i = 0; i < plain.size(); i += lineLength) {
        if (i) broken += ending;
        broken.append(plain, i, lineLength);
    }
    return broken;
}

std::optional<Data> base64Decode(std::string_view text, Base64DecodingOptions options) {
    const bool lenient = options == Base64DecodingOptions::ignoreUnknownCharacters;
    std::vector<std::uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t group = 0;
    int inGroup = 0;   // sextets collected in the current group
    int padding = 0;   // "=" seen; only more "=" may follow
    std::size_t symbols = 0;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '=') {
            ++padding;
            ++symbols;
            continue;
        }
        const int v = kDecode[c];
        if (v < 0) {
            if (lenient) continue;
            return std::nullopt;
        }
        if (padding) return std::nullopt;  // data after padding
        ++symbols;
        group = (group << 6) | static_cast<std::uint32_t>(v);
        if (++inGroup == 4) {
            out.push_back(static_cast<std::uint8_t>(group >> 16));
            out.push_back(static_cast<std::uint8_t>(group >> 8));
            out.push_back(static_cast<std::uint8_t>(group));
            group = 0;
            inGroup = 0;
        }
    }
    // RFC 4648 3.2: the encoded length is a whole number of quads, padded with "=".
    if (symbols % 4 != 0 || padding > 2) return std::nullopt;
    if (inGroup == 0 && padding == 0) return Data(std::move(out));
    if (inGroup == 2 && padding == 2) {
        out.push_back(static_cast<std::uint8_t>(group >> 4));
    } else if (inGroup == 3 && padding == 1) {
        out.push_back(static_cast<std::uint8_t>(group >> 10));
        out.push_back(static_cast<std::uint8_t>(group >> 2));
    } else {
        return std::nullopt;
    }
    return Data(std::move(out));
}

}  // namespace platform
