// One load of a URL, shared by dataWithContentsOfURL (blocking) and URLSession (driven by a
// curl multi handle): file URLs read directly, http and https through a curl easy handle set
// up with the limits, libcurl being opened on the first of them (CurlLibrary). Not API.
#pragma once

#include <QVPlatform/foundation/URLLoading.h>

#include <QVPlatform/foundation/detail/CurlLibrary.h>

#include <memory>
#include <optional>
#include <vector>

namespace platform::detail {

struct TransferOutcome {
    std::optional<Data> data;
    std::optional<URLResponse> response;
    std::optional<URLError> error;
};

TransferOutcome failure(std::int64_t code, const URL& url);
// The failure of an http(s) load in a process where libcurl could not be opened.
TransferOutcome httpUnavailable(const URL& url);

// A file URL's bytes within the limits.
TransferOutcome loadFile(const URL& url, const URLLoadLimits& limits);

bool isHttp(const URL& url);

// Frees an easy handle through the loaded library's own curl_easy_cleanup.
struct EasyCleanup {
    decltype(&::curl_easy_cleanup) cleanup = nullptr;
    void operator()(CURL* handle) const { cleanup(handle); }
};

class HttpTransfer {
public:
    // Sets up the transfer through `curl`'s functions; `handle()` is null when that failed or
    // `curl` is null (see `finish`).
    HttpTransfer(const URL& url, const URLLoadLimits& limits, const CurlFunctions* curl = detail::curl());
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    CURL* handle() const { return handle_.get(); }
    // Runs the transfer on the calling thread.
    TransferOutcome perform();
    // The outcome once curl has ended the transfer with `code`.
    TransferOutcome finish(CURLcode code);

private:
    static std::size_t receive(char* bytes, std::size_t size, std::size_t count, void* self);

    using Handle = std::unique_ptr<CURL, EasyCleanup>;
    const CurlFunctions* curl_;
    URL url_;
    URLLoadLimits limits_;
    Handle handle_;
    std::vector<std::uint8_t> body_;
    bool tooLarge_ = false;
    char errorText_[CURL_ERROR_SIZE] = {};
};

}  // namespace platform::detail
