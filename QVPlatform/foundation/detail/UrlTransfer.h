// One load of a URL, shared by dataWithContentsOfURL (blocking) and URLSession (driven by a
// curl multi handle): file URLs read directly, http and https through a curl easy handle set
// up with the limits. Not API.
#pragma once

#include <QVPlatform/foundation/URLLoading.h>

#include <curl/curl.h>

#include <memory>
#include <optional>
#include <vector>

namespace platform::detail {

struct TransferOutcome {
    std::optional<Data> data;
    std::optional<URLResponse> response;
    std::optional<URLError> error;
};

// curl's process-wide set-up, once.
void initialiseCurl();

TransferOutcome failure(std::int64_t code, const URL& url);

// A file URL's bytes within the limits.
TransferOutcome loadFile(const URL& url, const URLLoadLimits& limits);

bool isHttp(const URL& url);

class HttpTransfer {
public:
    // Sets up the transfer; `handle()` is null when that failed (see `finish`).
    HttpTransfer(const URL& url, const URLLoadLimits& limits);
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    CURL* handle() const { return handle_.get(); }
    // Runs the transfer on the calling thread.
    TransferOutcome perform();
    // The outcome once curl has ended the transfer with `code`.
    TransferOutcome finish(CURLcode code);

private:
    static std::size_t receive(char* bytes, std::size_t size, std::size_t count, void* self);

    struct Cleanup {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };
    URL url_;
    URLLoadLimits limits_;
    std::unique_ptr<CURL, Cleanup> handle_;
    std::vector<std::uint8_t> body_;
    bool tooLarge_ = false;
    char errorText_[CURL_ERROR_SIZE] = {};
};

}  // namespace platform::detail
