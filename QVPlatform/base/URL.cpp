#include <QVPlatform/base/URL.h>

#include <QVPlatform/base/Text.h>

#include <uriparser/Uri.h>

#include <algorithm>
#include <charconv>

namespace platform {

namespace {

// One URI as uriparser holds it: parsed from a text, or resolved from a reference and a base.
// The text ranges point into the texts it came from, which must outlive it.
class Uri {
public:
    explicit Uri(std::string_view text) {
        const char* first = text.empty() ? "" : text.data();
        const char* error = nullptr;
        valid_ = uriParseSingleUriExA(&uri_, first, first + text.size(), &error) == URI_SUCCESS;
    }
    // RFC 3986 5.2: `reference` resolved against `base`, strictly ("http:g" keeps its scheme).
    Uri(const Uri& reference, const Uri& base) {
        valid_ = reference.valid_ && base.valid_ &&
                 uriAddBaseUriExA(&uri_, &reference.uri_, &base.uri_, URI_RESOLVE_STRICTLY) == URI_SUCCESS;
    }
    ~Uri() {
        if (valid_) uriFreeUriMembersA(&uri_);
    }
    Uri(const Uri&) = delete;
    Uri& operator=(const Uri&) = delete;

    bool valid() const { return valid_; }
    const UriUriA& get() const { return uri_; }

    // RFC 3986 5.3: the components joined back into a text.
    std::optional<std::string> text() const {
        int required = 0;
        if (!valid_ || uriToStringCharsRequiredA(&uri_, &required) != URI_SUCCESS) return std::nullopt;
        std::string out(static_cast<std::size_t>(required) + 1, '\0');
        if (uriToStringA(out.data(), &uri_, required + 1, nullptr) != URI_SUCCESS) return std::nullopt;
        out.resize(static_cast<std::size_t>(required));
        return out;
    }

private:
    UriUriA uri_{};
    bool valid_ = false;
};

// The text of a range; absent when uriparser found no such component.
std::optional<std::string_view> rangeText(const UriTextRangeA& range) {
    if (!range.first) return std::nullopt;
    return std::string_view(range.first, static_cast<std::size_t>(range.afterLast - range.first));
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
    const Uri uri(text);
    // Only an absolute URI: a scheme is required.
    if (!uri.valid() || !uri.get().scheme.first) return std::nullopt;

    // RFC 3986 appendix B, on a text now known to be a URI:
    // scheme ":" ["//" authority] path ["?" query] ["#" fragment].
    URL url;
    url.text_ = std::string(text);
    const std::size_t colon = text.find(':');
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
        // The host as written, without IPv6 brackets, percent-decoded where that gives UTF-8.
        const auto host = rangeText(uri.get().hostText).value_or("");
        if (!host.empty()) url.host_ = removingPercentEncoding(host).value_or(std::string(host));
        // RFC 3986 allows any run of digits; a TCP port stops at 65535.
        if (const auto port = rangeText(uri.get().portText); port && !port->empty()) {
            int value = 0;
            const auto [end, error] = std::from_chars(port->data(), port->data() + port->size(), value);
            if (error != std::errc() || end != port->data() + port->size() || value > 65535) return std::nullopt;
            url.port_ = value;
        }
        if (const auto userInfo = rangeText(uri.get().userInfo)) {
            url.user_ = std::string(userInfo->substr(0, userInfo->find(':')));
        }
    }
    return url;
}

std::optional<URL> URL::string(std::string_view text) { return parse(text); }

std::optional<URL> URL::string(std::string_view text, const URL& relativeTo) {
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    const Uri reference(text);
    const Uri base(relativeTo.text_);
    const Uri resolved(reference, base);
    const auto absolute = resolved.text();
    if (!absolute) return std::nullopt;
    auto url = parse(*absolute);
    if (url) url->relative_ = std::string(text);
    return url;
}

URL URL::absoluteURL() const {
    URL url = *this;
    url.relative_.reset();
    return url;
}

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
