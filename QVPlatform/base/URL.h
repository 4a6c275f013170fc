// URL: a parsed URL value, and the percent-encoding helpers.
//
//   auto url = URL::string("https://example.com:8443/a%20b/c.txt?x=1#top");
//   url->host();                // "example.com"     url->port();  // 8443
//   url->path();                // "/a b/c.txt"      url->pathExtension();  // "txt"
//
// Parsing follows RFC 3986 (uriparser) and accepts every absolute URI, of any scheme, with or
// without an authority ("tel://123", "weixin://", "mailto:a@b.c", "urn:isbn:0451450523"); a
// text that is no URI (no scheme, spaces, control characters, a port above 65535...) gives no
// URL. The components are read from the text exactly as written (RFC 3986 appendix B), so
// `absoluteString()` is the text itself and the query and fragment keep their percent-escapes;
// `path()` is decoded. A reference resolves against a base as RFC 3986 section 5 says:
//
//   auto base = URL::string("http://a/b/c/d;p?q");
//   URL::string("../g", *base)->absoluteString();    // "http://a/b/g"
//
// A plain value type; thread-safe like any value.
#pragma once

#include <QVPlatform/base/CharacterSet.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class URL {
public:
    // Absent when the text is no absolute URI.
    static std::optional<URL> string(std::string_view text);
    // The URI reference `text` ("g", "../g", "?y", "//h/p", or an absolute URI) resolved against
    // `relativeTo`; absent when `text` is no URI reference. The URL's components and
    // absoluteString() are those of the resolved URL; relativeString() is `text`.
    static std::optional<URL> string(std::string_view text, const URL& relativeTo);
    // "file://" + the absolute path, percent-encoded; a relative path is taken from the current
    // folder. A trailing "/" marks a folder: added when `isDirectory` says so or, when it is
    // not given, when the path names an existing folder.
    static URL fileURLWithPath(const std::filesystem::path& path, std::optional<bool> isDirectory = std::nullopt);

    // As written ("HTTP" stays "HTTP").
    const std::string& scheme() const { return scheme_; }
    // Absent when the URL has no authority or an empty host; IPv6 hosts without brackets.
    const std::optional<std::string>& host() const { return host_; }
    // Only a port written in the URL.
    std::optional<int> port() const { return port_; }
    // The user name written before "@" in the authority (percent-escapes kept).
    const std::optional<std::string>& user() const { return user_; }
    // Percent-decoded, without a trailing "/" (except the root "/"); empty when the URL has
    // none. Escapes that do not decode to UTF-8 are kept as written.
    std::string path() const;
    // The text after "?" (up to "#"), percent-escapes kept; absent without "?".
    const std::optional<std::string>& query() const { return query_; }
    // The text after "#", percent-escapes kept; absent without "#".
    const std::optional<std::string>& fragment() const { return fragment_; }
    const std::string& absoluteString() const { return text_; }
    // The text the URL was made from: the reference for a resolved URL, else absoluteString().
    const std::string& relativeString() const { return relative_ ? *relative_ : text_; }
    // The same URL with no trace of a reference it was resolved from.
    URL absoluteURL() const;
    bool isFileURL() const;

    // The last component of `path()`: "c.txt" for "/a/c.txt", "/" for the root, "" for none.
    std::string lastPathComponent() const;
    // Text after the last "." of the last component ("gz" for "a.tar.gz"); empty when the
    // component has no dot, starts with its only dot (".profile") or ends with one.
    std::string pathExtension() const;
    // The URL with `component` appended to its path (percent-encoded; "/" inside it separates
    // further components); query and fragment are kept. For file URLs a trailing "/" is added
    // when the result names an existing folder.
    URL appendingPathComponent(std::string_view component) const;
    // The URL with its last path component removed, keeping the trailing "/": "/a/b" gives
    // "/a/". The root and an empty path stay as they are.
    URL deletingLastPathComponent() const;

    // Equal absolute texts.
    friend bool operator==(const URL& a, const URL& b) { return a.text_ == b.text_; }

private:
    URL() = default;
    static std::optional<URL> parse(std::string_view text);
    std::string withRawPath(const std::string& rawPath) const;

    std::string text_;
    std::string scheme_;
    std::optional<std::string> authority_;  // raw, present when the text has "//"
    std::optional<std::string> host_;
    std::optional<int> port_;
    std::optional<std::string> user_;
    std::string rawPath_;
    std::optional<std::string> query_;
    std::optional<std::string> fragment_;
    std::optional<std::string> relative_;  // the reference, for a URL resolved against a base
};

// Percent-encodes (RFC 3986 2.1, upper-case hex) every byte of the UTF-8 text that is not in
// `allowed`; bytes beyond ASCII are always encoded.
std::string addingPercentEncoding(std::string_view text, const CharacterSet& allowed);
// Decodes every "%XX". Absent for a "%" not followed by two hex digits, or when the result is
// not valid UTF-8.
std::optional<std::string> removingPercentEncoding(std::string_view text);

}  // namespace platform
