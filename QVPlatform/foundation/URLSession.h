// URLSession: loads URLs in the background and hands the result to a completion handler.
//
//   auto task = URLSession::shared()->dataTaskWithURL(url, [](auto data, auto response, auto error) {
//       // on a global queue: data and response, or an error
//   });
//   task->resume();     // tasks start suspended
//   task->cancel();     // the handler then gets NSURLErrorCancelled (unless it already ran)
//
// file, http and https URLs, with the limits of URLLoading.h (the session's `limits`). An HTTP
// status of 400 or more is no error here: the response says it and the body comes with it,
// as the platform does. Every task's handler runs exactly once, on the global queue of default
// quality of service, with no lock held. HTTP transfers share one curl multi handle, driven by
// one block on the global utility queue while any transfer is running (so loading holds at
// most one pool worker, however many transfers run side by side).
//
// Thread rule: every member may be called from any thread.
#pragma once

#include <QVPlatform/foundation/URLLoading.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace platform {

class URLSessionDataTask;

class URLSession : public std::enable_shared_from_this<URLSession> {
public:
    using CompletionHandler =
        std::function<void(std::optional<Data> data, std::optional<URLResponse> response, std::optional<URLError> error)>;

    // The process's session, with the default limits.
    static std::shared_ptr<URLSession> shared();
    static std::shared_ptr<URLSession> make(URLLoadLimits limits);

    // A suspended task loading `url`; `completion` runs once when it ends.
    std::shared_ptr<URLSessionDataTask> dataTaskWithURL(const URL& url, CompletionHandler completion);

    const URLLoadLimits& limits() const { return limits_; }

    explicit URLSession(URLLoadLimits limits) : limits_(limits) {}

private:
    const URLLoadLimits limits_;
};

class URLSessionDataTask : public std::enable_shared_from_this<URLSessionDataTask> {
public:
    enum class State { running, suspended, canceling, completed };

    URLSessionDataTask(URL url, URLLoadLimits limits, URLSession::CompletionHandler completion)
        : url_(std::move(url)), limits_(limits), completion_(std::move(completion)) {}

    // Starts a suspended task; does nothing otherwise.
    void resume();
    // Ends the task: its handler gets NSURLErrorCancelled, unless it has already completed.
    void cancel();
    State state() const;
    const URL& url() const { return url_; }

    // For the loader: whether cancel() was called; and the one delivery of the result.
    bool cancelRequested() const { return cancelRequested_.load(); }
    void complete(std::optional<Data> data, std::optional<URLResponse> response, std::optional<URLError> error);

private:
    const URL url_;
    const URLLoadLimits limits_;
    std::atomic<bool> cancelRequested_{false};
    mutable std::mutex mutex_;  // guards state_ and completion_
    State state_ = State::suspended;
    URLSession::CompletionHandler completion_;
};

}  // namespace platform
