#include <QVPlatform/foundation/URLLoading.h>

#include <QVPlatform/foundation/detail/UrlTransfer.h>

namespace platform {

std::string URLErrorDescription(std::int64_t code) {
    switch (code) {
        case NSURLErrorCancelled: return "cancelled";
        case NSURLErrorBadURL: return "unsupported URL";
        case NSURLErrorTimedOut: return "The request timed out.";
        case NSURLErrorUnsupportedURL: return "unsupported URL";
        case NSURLErrorCannotFindHost: return "A server with the specified hostname could not be found.";
        case NSURLErrorCannotConnectToHost: return "Could not connect to the server.";
        case NSURLErrorNetworkConnectionLost: return "The network connection was lost.";
        case NSURLErrorHTTPTooManyRedirects: return "too many HTTP redirects";
        case NSURLErrorBadServerResponse: return "The server returned an unusable response.";
        case NSURLErrorCannotDecodeContentData: return "cannot decode raw data";
        case NSURLErrorFileDoesNotExist: return "The requested URL was not found on this server.";
        case NSURLErrorFileIsDirectory: return "The file is a directory.";
        case NSURLErrorNoPermissionsToReadFile: return "The file could not be read.";
        case NSURLErrorDataLengthExceedsMaximum: return "resource exceeds maximum size";
        case NSURLErrorSecureConnectionFailed: return "An SSL error has occurred and a secure connection to the server cannot be made.";
        case NSURLErrorServerCertificateUntrusted: return "The certificate for this server is invalid.";
        default: return "An unknown error occurred.";
    }
}

std::optional<Data> dataWithContentsOfURL(const URL& url, URLError* error, const URLLoadLimits& limits) {
    detail::TransferOutcome outcome;
    if (url.isFileURL()) {
        outcome = detail::loadFile(url, limits);
    } else if (!detail::isHttp(url)) {
        outcome = detail::failure(NSURLErrorUnsupportedURL, url);
    } else {
        detail::HttpTransfer transfer(url, limits);
        outcome = transfer.perform();
        if (outcome.response && outcome.response->statusCode >= 400) {
            const int status = outcome.response->statusCode;
            outcome = detail::failure(NSURLErrorBadServerResponse, url);
            outcome.error->description = "The server returned HTTP status " + std::to_string(status) + ".";
        }
    }
    if (outcome.error) {
        if (error) *error = std::move(*outcome.error);
        return std::nullopt;
    }
    return std::move(outcome.data);
}

}  // namespace platform
