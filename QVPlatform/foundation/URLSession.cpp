#include <QVPlatform/foundation/URLSession.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/foundation/detail/UrlTransfer.h>

#include <map>
#include <vector>

namespace platform {

namespace {

// Runs every HTTP transfer of the process on one curl multi handle. While transfers are
// pending or running, one block on the global utility queue drives them; it ends when none
// are left, and the next added transfer starts another. Without libcurl every added
// transfer fails at once.
class TransferLoop {
public:
    // Never destroyed: a running loop block may outlive static destruction.
    static TransferLoop& shared() {
        static auto* loop = new TransferLoop;
        return *loop;
    }

    void add(std::shared_ptr<URLSessionDataTask> task, const URLLoadLimits& limits) {
        if (!curl_) {
            deliver(*task, detail::httpUnavailable(task->url()));
            return;
        }
        std::lock_guard lock(mutex_);
        pending_.push_back({std::move(task), limits});
        if (running_) {
            curl_->curl_multi_wakeup(multi_);
            return;
        }
        running_ = true;
        DispatchQueue::global(DispatchQoS::utility)->async([this] { run(); });
    }

    // Makes the loop look at its transfers now (a cancel); safe from any thread.
    void wake() {
        if (curl_) curl_->curl_multi_wakeup(multi_);
    }

private:
    struct Pending {
        std::shared_ptr<URLSessionDataTask> task;
        URLLoadLimits limits;
    };
    struct Active {
        std::shared_ptr<URLSessionDataTask> task;
        std::unique_ptr<detail::HttpTransfer> transfer;
    };

    TransferLoop() : curl_(detail::curl()) {
        if (curl_) multi_ = curl_->curl_multi_init();
    }

    static void deliver(URLSessionDataTask& task, detail::TransferOutcome outcome) {
        task.complete(std::move(outcome.data), std::move(outcome.response), std::move(outcome.error));
    }

    // Takes the added transfers; false when there is nothing left to run (the loop then ends).
    bool admit() {
        std::vector<Pending> added;
        {
            std::lock_guard lock(mutex_);
            added.swap(pending_);
            if (added.empty() && active_.empty()) {
                running_ = false;
                return false;
            }
        }
        for (auto& [task, limits] : added) {
            auto transfer = std::make_unique<detail::HttpTransfer>(task->url(), limits, curl_);
            if (!transfer->handle() || curl_->curl_multi_add_handle(multi_, transfer->handle()) != CURLM_OK) {
                deliver(*task, transfer->finish(CURLE_FAILED_INIT));
                continue;
            }
            CURL* handle = transfer->handle();
            active_.emplace(handle, Active{std::move(task), std::move(transfer)});
        }
        return true;
    }

    void dropCancelled() {
        for (auto it = active_.begin(); it != active_.end();) {
            if (!it->second.task->cancelRequested()) {
                ++it;
                continue;
            }
            curl_->curl_multi_remove_handle(multi_, it->first);
            deliver(*it->second.task, detail::failure(NSURLErrorCancelled, it->second.task->url()));
            it = active_.erase(it);
        }
    }

    void collectFinished() {
        std::vector<std::pair<CURL*, CURLcode>> done;
        int left = 0;
        while (CURLMsg* message = curl_->curl_multi_info_read(multi_, &left)) {
            if (message->msg == CURLMSG_DONE) done.emplace_back(message->easy_handle, message->data.result);
        }
        for (const auto& [handle, code] : done) {
            const auto it = active_.find(handle);
            if (it == active_.end()) continue;
            curl_->curl_multi_remove_handle(multi_, handle);
            deliver(*it->second.task, it->second.transfer->finish(code));
            active_.erase(it);
        }
    }

    void run() {
        while (admit()) {
            dropCancelled();
            int running = 0;
            curl_->curl_multi_perform(multi_, &running);
            collectFinished();
            if (!active_.empty()) curl_->curl_multi_poll(multi_, nullptr, 0, 1000, nullptr);
        }
    }

    const detail::CurlFunctions* curl_;  // null when libcurl is missing
    CURLM* multi_ = nullptr;
    std::mutex mutex_;  // guards pending_ and running_
    std::vector<Pending> pending_;
    bool running_ = false;
    std::map<CURL*, Active> active_;  // only the loop block touches it
};

}  // namespace

std::shared_ptr<URLSession> URLSession::shared() {
    static const auto session = make({});
    return session;
}

std::shared_ptr<URLSession> URLSession::make(URLLoadLimits limits) { return std::make_shared<URLSession>(limits); }

std::shared_ptr<URLSessionDataTask> URLSession::dataTaskWithURL(const URL& url, CompletionHandler completion) {
    return std::make_shared<URLSessionDataTask>(url, limits_, std::move(completion));
}

void URLSessionDataTask::resume() {
    {
        std::lock_guard lock(mutex_);
        if (state_ != State::suspended) return;
        state_ = State::running;
    }
    auto self = shared_from_this();
    if (detail::isHttp(url_)) {
        TransferLoop::shared().add(std::move(self), limits_);
        return;
    }
    DispatchQueue::global()->async([self] {
        auto outcome = self->cancelRequested() ? detail::failure(NSURLErrorCancelled, self->url_)
                       : self->url_.isFileURL() ? detail::loadFile(self->url_, self->limits_)
                                                : detail::failure(NSURLErrorUnsupportedURL, self->url_);
        self->complete(std::move(outcome.data), std::move(outcome.response), std::move(outcome.error));
    });
}

void URLSessionDataTask::cancel() {
    bool suspended = false;
    {
        std::lock_guard lock(mutex_);
        if (state_ == State::completed) return;
        cancelRequested_ = true;
        suspended = state_ == State::suspended;
    }
    if (suspended) {
        const auto error = detail::failure(NSURLErrorCancelled, url_).error;
        complete(std::nullopt, std::nullopt, error);
    } else if (detail::isHttp(url_)) {
        TransferLoop::shared().wake();
    }
}

URLSessionDataTask::State URLSessionDataTask::state() const {
    std::lock_guard lock(mutex_);
    if (state_ == State::running && cancelRequested_) return State::canceling;
    return state_;
}

void URLSessionDataTask::complete(std::optional<Data> data, std::optional<URLResponse> response,
                                  std::optional<URLError> error) {
    URLSession::CompletionHandler handler;
    {
        std::lock_guard lock(mutex_);
        if (state_ == State::completed) return;
        state_ = State::completed;
        handler.swap(completion_);
    }
    if (!handler) return;
    DispatchQueue::global()->async([handler = std::move(handler), data = std::move(data),
                                    response = std::move(response), error = std::move(error)]() mutable {
        handler(std::move(data), std::move(response), std::move(error));
    });
}

}  // namespace platform
