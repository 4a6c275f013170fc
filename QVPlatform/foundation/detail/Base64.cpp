#include <QVPlatform/foundation/detail/Base64.h>

#include <openssl/evp.h>

#include <algorithm>

namespace platform::detail {

namespace {

bool isBase64Space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

bool isAlphabet(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

}  // namespace

std::string base64Encode(const Data& data) {
    if (data.empty()) return {};
    std::string out(4 * ((data.count() + 2) / 3) + 1, '\0');
    // EVP_EncodeBlock takes an int length; feed it in chunks of whole 3-byte groups.
    constexpr std::size_t chunk = 3u << 20;
    std::size_t written = 0;
    for (std::size_t offset = 0; offset < data.count(); offset += chunk) {
        const std::size_t n = std::min(chunk, data.count() - offset);
        written += static_cast<std::size_t>(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data() + written),
                                                            data.bytes() + offset, static_cast<int>(n)));
    }
    out.resize(written);
    return out;
}

std::optional<Data> base64Decode(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char c : text) {
        if (!isBase64Space(c)) compact.push_back(c);
    }
    if (compact.size() % 4 != 0) return std::nullopt;
    std::size_t padding = 0;
    for (std::size_t i = 0; i < compact.size(); ++i) {
        const char c = compact[i];
        if (c == '=') {
            // RFC 4648 3.2: padding only at the very end, at most two characters.
            if (i + 2 < compact.size()) return std::nullopt;
            ++padding;
        } else if (!isAlphabet(c) || padding > 0) {
            return std::nullopt;
        }
    }
    if (compact.empty()) return Data();
    std::vector<std::uint8_t> bytes(compact.size() / 4 * 3);
    // Decode in chunks of whole 4-character groups so that the int lengths never overflow.
    constexpr std::size_t chunk = 4u << 20;
    std::size_t written = 0;
    for (std::size_t offset = 0; offset < compact.size(); offset += chunk) {
        const std::size_t n = std::min(chunk, compact.size() - offset);
        const int got = EVP_DecodeBlock(bytes.data() + written,
                                        reinterpret_cast<const unsigned char*>(compact.data() + offset),
                                        static_cast<int>(n));
        if (got < 0) return std::nullopt;
        written += static_cast<std::size_t>(got);
    }
    // EVP_DecodeBlock counts the zero bytes that padding stands for; drop them.
    bytes.resize(written - padding);
    return Data(std::move(bytes));
}

}  // namespace platform::detail
