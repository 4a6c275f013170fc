#include <QVPlatform/base/URL.h>

#include <QVPlatform/base/Text.h>

#include <curl/curl.h>

#include <algorithm>
#include <charconv>
#include <memory>

namespace platform {

namespace {

struct CurlUrlDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};
using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;

// One component of a parsed handle, or absent when curl has none.
std::optional<std::string> curlPart(CURLU* handle, CURLUPart part) {
    char* value = nullptr;
    if (curl_url_get(handle, part, &value, 0) != CURLUE_OK || !value) return std::nullopt;
    std::string result(value);
    curl_free(value);
    return result;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::optional<URL> URL::parse(std::string_view text) {
    if (text.empty() || text.find('\0') != std::string_view::npos) return std::nullopt;
    CurlUrl handle(curl_url());
    if (!handle) return std::nullopt;
    // Any scheme, an empty authority where the scheme wants none ("weixin://"), and the path
    // as written (no "../" folding: the text is the URL).
    const unsigned flags = CURLU_NON_SUPPORT_SCHEME | CURLU_NO_AUTHORITY | CURLU_PATH_AS_IS;
    if (curl_url_set(handle.get(), CURLUPART_URL, std::string(text).c_str(), flags) != CURLUE_OK) {
        return std::nullopt;
    }

    // RFC 3986 appendix B: scheme ":" ["//" authority] path ["?" query] ["#" fragment].
    URL url;
    url.text_ = std::string(text);
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || text.substr(0, colon).find_first_of("/?#") != std::string_view::npos) {
        return std::nullopt;
    }
    url.scheme_ = std::string(text.substr(0, colon));
    std::string_view rest = text.substr(colon + 1);
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const std::size_t end = std::min(rest.find_first_of("/?#"), rest.size());
        url.authority_ = std::string(rest.substr(0, end));
        rest.remove_prefix(end);
    }
    if (const std::size_t hash = rest.find('#'); hash != std::string_view::npos) {
        url.fragment_ = std::string(rest.substr(hash + 1));
        rest = rest.substr(0, hash);
    }
    if (const std::size_t question = rest.find('?'); question != std::string_view::npos) {
        url.query_ = std::string(rest.substr(question + 1));
        rest = rest.substr(0, question);
    }
    url.rawPath_ = std::string(rest);

    if (url.authority_) {
        // The host as written (curl would rewrite "tel://123" as the IPv4 address 0.0.0.123):
        // RFC 3986 3.2.2, after any userinfo and before any port, without IPv6 brackets.
        std::string_view host = *url.authority_;
        if (const std::size_t at = host.rfind('@'); at != std::string_view::npos) host.remove_prefix(at + 1);
        if (host.starts_with('[')) {
            host = host.substr(1, host.find(']') == std::string_view::npos ? 0 : host.find(']') - 1);
        } else if (const std::size_t portColon = host.rfind(':'); portColon != std::string_view::npos) {
            host = host.substr(0, portColon);
        }
        if (!host.empty()) url.host_ = removingPercentEncoding(host).value_or(std::string(host));
        if (auto port = curlPart(handle.get(), CURLUPART_PORT)) {
            int value = 0;
            const auto [end, error] = std::from_chars(port->data(), port->data() + port->size(), value);
            if (error == std::errc() && end == port->data() + port->size()) url.port_ = value;
        }
        url.user_ = curlPart(handle.get(), CURLUPART_USER);
    }
    return url;
}

std::optional<URL> URL::string(std::string_view text) { return parse(text); }

URL URL::fileURLWithPath(const std::filesystem::path& path, std::optional<bool> isDirectory) {
    std::error_code ignored;
    std::filesystem::path absolute = path.is_absolute() ? path : std::filesystem::absolute(path, ignored);
    if (absolute.empty()) absolute = "/";
    std::string text = absolute.string();
    const bool folder = isDirectory ? *isDirectory : std::filesystem::is_directory(absolute, ignored);
    if (folder && text.back() != '/') text += '/';
    const std::string encoded = "file://" + addingPercentEncoding(text, CharacterSet::urlPathAllowed());
    if (auto url = parse(encoded)) return *url;
    // Every percent-encoded absolute path parses; keep a usable value regardless.
    URL url;
    url.text_ = encoded;
    url.scheme_ = "file";
    url.authority_ = "";
    url.rawPath_ = encoded.substr(7);
    return url;
}

bool URL::isFileURL() const {
    return scheme_.size() == 4 && (scheme_[0] | 0x20) == 'f' && (scheme_[1] | 0x20) == 'i' &&
           (scheme_[2] | 0x20) == 'l' && (scheme_[3] | 0x20) == 'e';
}

std::string URL::path() const {
    const std::string decoded = removingPercentEncoding(rawPath_).value_or(rawPath_);
    return withoutTrailingSlash(decoded);
}

std::string URL::lastPathComponent() const {
    const std::string p = path();
    if (p.empty() || p == "/") return p;
    const std::size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string URL::pathExtension() const {
    const std::string last = lastPathComponent();
    const std::size_t dot = last.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == last.size()) return "";
    return last.substr(dot + 1);
}

std::string URL::withRawPath(const std::string& rawPath) const {
    std::string text = scheme_ + ":";
    if (authority_) text += "//" + *authority_;
    text += rawPath;
    if (query_) text += "?" + *query_;
    if (fragment_) text += "#" + *fragment_;
    return text;
}

URL URL::appendingPathComponent(std::string_view component) const {
    std::string raw = rawPath_;
    if (raw.empty() || raw.back() != '/') raw += '/';
    std::string_view piece = component;
    while (piece.starts_with('/')) piece.remove_prefix(1);
    raw += addingPercentEncoding(piece, CharacterSet::urlPathAllowed());
    if (isFileURL() && !raw.ends_with('/')) {
        std::error_code ignored;
        const auto decoded = removingPercentEncoding(raw);
        if (decoded && std::filesystem::is_directory(*decoded, ignored)) raw += '/';
    }
    auto url = parse(withRawPath(raw));
    return url ? *url : *this;
}

URL URL::deletingLastPathComponent() const {
    std::string raw = withoutTrailingSlash(rawPath_);
    if (raw.empty() || raw == "/") return *this;
    const std::size_t slash = raw.rfind('/');
    raw = slash == std::string::npos ? "" : raw.substr(0, slash + 1);
    auto url = parse(withRawPath(raw));
    return url ? *url : *this;
}

std::string addingPercentEncoding(std::string_view text, const CharacterSet& allowed) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (allowed.contains(c)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}

std::optional<std::string> removingPercentEncoding(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int high = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (!isValidUtf8(out)) return std::nullopt;
    return out;
}

}  // namespace platform
