// URL loading: reading the bytes at a file, http or https URL (Data(contentsOf:)), and the
// values a load gives back, the response and the error.
//
//   URLError error;
//   auto bytes = dataWithContentsOfURL(*URL::string("https://example.com/a.gif"), &error);
//   if (!bytes) error.localizedDescription();   // "Could not connect to the server."
//
// HTTP(S) goes through libcurl, loaded on the first http(s) load rather than when the program
// starts (file URLs never need it); where it is missing, such loads fail with
// NSURLErrorUnsupportedURL and a description that says so. Redirects are followed (at most
// 10, and only to http or https), compressed bodies are decoded, and every load is bounded:
// at most `maximumBytes` (256 MiB by default, counted after decoding), no more than
// `timeoutInterval` seconds without progress (60 by default) and
// `timeoutIntervalForResource` seconds in all. A file URL reads a regular file (its host
// empty or "localhost"). Errors are NSURLErrorDomain codes with a plain description; an HTTP
// status of 400 or more is an error here (the bytes of an error page are not the resource).
//
// Thread rule: a function of values; call it from any thread (it blocks the caller for the
// transfer; URLSession loads in the background).
#pragma once

#include <QVPlatform/base/Data.h>
#include <QVPlatform/base/URL.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

inline constexpr const char* NSURLErrorDomain = "NSURLErrorDomain";

enum NSURLErrorCode : std::int64_t {
    NSURLErrorCancelled = -999,
    NSURLErrorBadURL = -1000,
    NSURLErrorTimedOut = -1001,
    NSURLErrorUnsupportedURL = -1002,
    NSURLErrorCannotFindHost = -1003,
    NSURLErrorCannotConnectToHost = -1004,
    NSURLErrorNetworkConnectionLost = -1005,
    NSURLErrorHTTPTooManyRedirects = -1007,
    NSURLErrorBadServerResponse = -1011,
    NSURLErrorCannotDecodeContentData = -1016,
    NSURLErrorFileDoesNotExist = -1100,
    NSURLErrorFileIsDirectory = -1101,
    NSURLErrorNoPermissionsToReadFile = -1102,
    NSURLErrorDataLengthExceedsMaximum = -1103,
    NSURLErrorSecureConnectionFailed = -1200,
    NSURLErrorServerCertificateUntrusted = -1202,
    NSURLErrorUnknown = -1,
};

// A failed load: an NSURLErrorDomain code, the URL, and what went wrong in words.
struct URLError {
    std::int64_t code = NSURLErrorUnknown;
    std::string failingURL;
    std::string description;  // e.g. "The request timed out."

    std::string domain() const { return NSURLErrorDomain; }
    const std::string& localizedDescription() const { return description; }
};

// What a server (or the file system) said about a loaded resource.
struct URLResponse {
    std::string url;                        // after redirects
    int statusCode = 0;                     // HTTP status; 0 for a file
    std::string mimeType;                   // Content-Type without parameters; may be empty
    std::int64_t expectedContentLength = -1;  // -1 when unknown
};

// Bounds of one load; a timeout that is not a positive number counts as its default.
struct URLLoadLimits {
    std::size_t maximumBytes = std::size_t{256} << 20;
    double timeoutInterval = 60;              // seconds without progress
    double timeoutIntervalForResource = 600;  // seconds for the whole load
};

// The description the platform gives each code ("The request timed out.").
std::string URLErrorDescription(std::int64_t code);

// The bytes at `url` (file, http or https); absent on failure, with `error` filled when given.
std::optional<Data> dataWithContentsOfURL(const URL& url, URLError* error = nullptr, const URLLoadLimits& limits = {});

}  // namespace platform
