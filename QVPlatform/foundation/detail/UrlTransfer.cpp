#include <QVPlatform/foundation/detail/UrlTransfer.h>

#include <QVPlatform/base/detail/FileDescriptor.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::detail {

namespace {

std::int64_t codeOfCurl(CURLcode code) {
    switch (code) {
        case CURLE_OPERATION_TIMEDOUT: return NSURLErrorTimedOut;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: return NSURLErrorCannotFindHost;
        case CURLE_COULDNT_CONNECT: return NSURLErrorCannotConnectToHost;
        case CURLE_UNSUPPORTED_PROTOCOL: return NSURLErrorUnsupportedURL;
        case CURLE_URL_MALFORMAT: return NSURLErrorBadURL;
        case CURLE_TOO_MANY_REDIRECTS: return NSURLErrorHTTPTooManyRedirects;
        case CURLE_BAD_CONTENT_ENCODING: return NSURLErrorCannotDecodeContentData;
        case CURLE_PEER_FAILED_VERIFICATION: return NSURLErrorServerCertificateUntrusted;
        case CURLE_SSL_CONNECT_ERROR: return NSURLErrorSecureConnectionFailed;
        case CURLE_FILESIZE_EXCEEDED: return NSURLErrorDataLengthExceedsMaximum;
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
        case CURLE_GOT_NOTHING: return NSURLErrorNetworkConnectionLost;
        default: return NSURLErrorUnknown;
    }
}

// Seconds as curl's milliseconds; a value that is not a positive number gives the default
// (curl reads 0 as "no limit", which a load must never have).
long milliseconds(double seconds, double fallback) {
    if (!(seconds > 0) || !std::isfinite(seconds)) seconds = fallback;
    return static_cast<long>(std::clamp(seconds * 1000, 1.0, 1e9));
}

std::string mimeTypeOf(const char* contentType) {
    if (!contentType) return {};
    std::string type(contentType);
    if (const auto semicolon = type.find(';'); semicolon != std::string::npos) type.resize(semicolon);
    while (!type.empty() && type.back() == ' ') type.pop_back();
    return type;
}

}  // namespace

TransferOutcome failure(std::int64_t code, const URL& url) {
    return {std::nullopt, std::nullopt, URLError{code, url.absoluteString(), URLErrorDescription(code)}};
}

TransferOutcome httpUnavailable(const URL& url) {
    TransferOutcome outcome = failure(NSURLErrorUnsupportedURL, url);
    outcome.error->description = std::string("HTTP loading is unavailable: ") + CurlLibrary::soname + " could not be loaded.";
    return outcome;
}

bool isHttp(const URL& url) {
    std::string scheme = url.scheme();
    for (char& c : scheme) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return scheme == "http" || scheme == "https";
}

TransferOutcome loadFile(const URL& url, const URLLoadLimits& limits) {
    if (!url.isFileURL() || (url.host() && *url.host() != "localhost")) return failure(NSURLErrorUnsupportedURL, url);
    const std::string path = url.path();
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        if (errno == EISDIR) return failure(NSURLErrorFileIsDirectory, url);
        if (errno == EACCES || errno == EPERM) return failure(NSURLErrorNoPermissionsToReadFile, url);
        return failure(NSURLErrorFileDoesNotExist, url);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return failure(NSURLErrorFileDoesNotExist, url);
    if (S_ISDIR(info.st_mode)) return failure(NSURLErrorFileIsDirectory, url);
    if (!S_ISREG(info.st_mode)) return failure(NSURLErrorNoPermissionsToReadFile, url);
    if (static_cast<std::uint64_t>(info.st_size) > limits.maximumBytes) return failure(NSURLErrorDataLengthExceedsMaximum, url);
    // Read to the end rather than to the size seen: the file may change meanwhile, within the bound.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t used = 0;
    for (;;) {
        // A full buffer is usually the whole file: a small probe finds the end without
        // growing (and zeroing) the buffer first.
        std::uint8_t probe[512];
        const bool full = used == bytes.size();
        const ssize_t n = full ? ::read(file.get(), probe, sizeof probe)
                               : ::read(file.get(), bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failure(NSURLErrorNoPermissionsToReadFile, url);
        if (n == 0) break;
        if (full) {
            if (bytes.size() >= limits.maximumBytes + 1) return failure(NSURLErrorDataLengthExceedsMaximum, url);
            bytes.resize(std::min(limits.maximumBytes + 1, std::max<std::size_t>(bytes.size() * 2, 4096)));
            const auto kept = std::min(static_cast<std::size_t>(n), bytes.size() - used);
            std::copy_n(probe, kept, bytes.begin() + static_cast<std::ptrdiff_t>(used));
            used += kept;
            if (kept < static_cast<std::size_t>(n)) return failure(NSURLErrorDataLengthExceedsMaximum, url);
            continue;
        }
        used += static_cast<std::size_t>(n);
    }
    if (used > limits.maximumBytes) return failure(NSURLErrorDataLengthExceedsMaximum, url);
    bytes.resize(used);
    URLResponse response{url.absoluteString(), 0, {}, static_cast<std::int64_t>(used)};
    return {Data(std::move(bytes)), response, std::nullopt};
}

HttpTransfer::HttpTransfer(const URL& url, const URLLoadLimits& limits, const CurlFunctions* curl)
    : curl_(curl), url_(url), limits_(limits) {
    if (!curl_ || !isHttp(url)) return;
    handle_ = Handle(curl_->curl_easy_init(), EasyCleanup{curl_->curl_easy_cleanup});
    CURL* h = handle_.get();
    if (!h) return;
    const auto setopt = curl_->curl_easy_setopt;
    const long idleMs = milliseconds(limits.timeoutInterval, URLLoadLimits{}.timeoutInterval);
    setopt(h, CURLOPT_URL, url.absoluteString().c_str());
    setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    setopt(h, CURLOPT_MAXREDIRS, 10L);
    setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    setopt(h, CURLOPT_NOSIGNAL, 1L);
    setopt(h, CURLOPT_CONNECTTIMEOUT_MS, idleMs);
    // No progress for the timeout interval ends the transfer: under 1 byte/s over that time
    // (curl counts it in whole seconds).
    setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    setopt(h, CURLOPT_LOW_SPEED_TIME, std::max(1L, (idleMs + 999) / 1000));
    setopt(h, CURLOPT_TIMEOUT_MS, milliseconds(limits.timeoutIntervalForResource, URLLoadLimits{}.timeoutIntervalForResource));
    // A body announced as larger than the bound is refused before it is read.
    setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(std::min<std::size_t>(limits.maximumBytes, INT64_MAX)));
    setopt(h, CURLOPT_WRITEFUNCTION, &HttpTransfer::receive);
    setopt(h, CURLOPT_WRITEDATA, this);
    setopt(h, CURLOPT_ERRORBUFFER, errorText_);
    setopt(h, CURLOPT_PRIVATE, this);
}

std::size_t HttpTransfer::receive(char* bytes, std::size_t size, std::size_t count, void* self) {
    auto* transfer = static_cast<HttpTransfer*>(self);
    const std::size_t n = size * count;
    if (n > transfer->limits_.maximumBytes - transfer->body_.size()) {
        transfer->tooLarge_ = true;
        return 0;  // curl ends the transfer with a write error
    }
    transfer->body_.insert(transfer->body_.end(), bytes, bytes + n);
    return n;
}

TransferOutcome HttpTransfer::perform() {
    if (!handle_) return finish(CURLE_UNSUPPORTED_PROTOCOL);
    return finish(curl_->curl_easy_perform(handle_.get()));
}

TransferOutcome HttpTransfer::finish(CURLcode code) {
    if (!handle_) {
        if (!isHttp(url_)) return failure(NSURLErrorUnsupportedURL, url_);
        return curl_ ? failure(NSURLErrorUnknown, url_) : httpUnavailable(url_);
    }
    if (tooLarge_) return failure(NSURLErrorDataLengthExceedsMaximum, url_);
    if (code != CURLE_OK) {
        auto outcome = failure(codeOfCurl(code), url_);
        if (errorText_[0] && outcome.error->code == NSURLErrorUnknown) outcome.error->description += std::string(" (") + errorText_ + ")";
        return outcome;
    }
    const auto getinfo = curl_->curl_easy_getinfo;
    URLResponse response;
    long status = 0;
    getinfo(handle_.get(), CURLINFO_RESPONSE_CODE, &status);
    response.statusCode = static_cast<int>(status);
    char* effective = nullptr;
    getinfo(handle_.get(), CURLINFO_EFFECTIVE_URL, &effective);
    response.url = effective ? effective : url_.absoluteString();
    char* contentType = nullptr;
    getinfo(handle_.get(), CURLINFO_CONTENT_TYPE, &contentType);
    response.mimeType = mimeTypeOf(contentType);
    curl_off_t length = -1;
    getinfo(handle_.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    response.expectedContentLength = length;
    return {Data(std::move(body_)), response, std::nullopt};
}

}  // namespace platform::detail
