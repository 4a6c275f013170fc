#include <QVPlatform/foundation/URLLoading.h>
#include <QVPlatform/foundation/URLSession.h>

#include "support/LocalHttpServer.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

using namespace platform;
using testhttp::LocalHttpServer;
using testhttp::Route;

namespace {

URL url(const std::string& text) { return *URL::string(text); }

std::string numberedPath(int i) {
    std::string path(1, '/');
    path += std::to_string(i);
    return path;
}

std::int64_t errorCode(const URL& at, const URLLoadLimits& limits = {}) {
    URLError error;
    const auto data = dataWithContentsOfURL(at, &error, limits);
    return data ? 0 : error.code;
}

struct Result {
    std::optional<Data> data;
    std::optional<URLResponse> response;
    std::optional<URLError> error;
    std::thread::id thread;
};

// A task's handler reports into a future; the wait is bounded so a broken loader fails the
// test rather than hanging it.
struct Completion {
    std::promise<Result> promise;
    std::future<Result> future = promise.get_future();
    URLSession::CompletionHandler handler() {
        return [this](auto data, auto response, auto error) {
            promise.set_value({std::move(data), std::move(response), std::move(error), std::this_thread::get_id()});
        };
    }
    Result get() {
        if (future.wait_for(std::chrono::seconds(20)) != std::future_status::ready) return {};
        return future.get();
    }
};

}  // namespace

TEST(URLLoading, FileURLsReadRegularFilesWithinTheBound) {
    qvtest::TemporaryFolder home;
    const auto path = std::filesystem::path(home.folder) / "a b.gif";
    std::ofstream(path) << "GIF89a-bytes";
    URLError error;
    const auto data = dataWithContentsOfURL(URL::fileURLWithPath(path), &error);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->toString(), "GIF89a-bytes");
    EXPECT_EQ(errorCode(URL::fileURLWithPath(path), {.maximumBytes = 5}), NSURLErrorDataLengthExceedsMaximum);
    EXPECT_EQ(errorCode(URL::fileURLWithPath(path), {.maximumBytes = 12}), 0);
    // A file whose size says 0 (as /proc's do) is read to its end, within the bound too.
    const auto status = dataWithContentsOfURL(URL::fileURLWithPath("/proc/self/status"));
    ASSERT_TRUE(status);
    EXPECT_GT(status->count(), 512u);
    EXPECT_EQ(status->toString().rfind("Name:", 0), 0u);
    EXPECT_EQ(errorCode(URL::fileURLWithPath("/proc/self/status"), {.maximumBytes = 600}), NSURLErrorDataLengthExceedsMaximum);
    EXPECT_EQ(errorCode(URL::fileURLWithPath(std::filesystem::path(home.folder) / "missing.gif")), NSURLErrorFileDoesNotExist);
    EXPECT_EQ(errorCode(URL::fileURLWithPath(home.folder)), NSURLErrorFileIsDirectory);
    EXPECT_EQ(errorCode(url("ftp://example.com/a.gif")), NSURLErrorUnsupportedURL);
    EXPECT_EQ(errorCode(url("file://elsewhere/etc/hostname")), NSURLErrorUnsupportedURL);
    dataWithContentsOfURL(url("mailto:a@b.c"), &error);
    EXPECT_EQ(error.domain(), NSURLErrorDomain);
    EXPECT_EQ(error.failingURL, "mailto:a@b.c");
    EXPECT_FALSE(error.localizedDescription().empty());
}

TEST(URLLoading, HttpBodiesRedirectsAndFailures) {
    const std::string big(5000, 'x');
    LocalHttpServer server({{"/a.gif", Route{200, "GIF89a", "image/gif"}},
                            {"/moved", Route{302, "", "text/plain", false, "Location: /a.gif\r\n"}},
                            {"/to-file", Route{302, "", "text/plain", false, "Location: file:///etc/hostname\r\n"}},
                            {"/big", Route{200, big}},
                            {"/gone", Route{410, "gone"}}});
    URLError error;
    auto data = dataWithContentsOfURL(url(server.url("/a.gif")), &error);
    ASSERT_TRUE(data) << error.description;
    EXPECT_EQ(data->toString(), "GIF89a");
    data = dataWithContentsOfURL(url(server.url("/moved")), &error);
    ASSERT_TRUE(data) << error.description;
    EXPECT_EQ(data->toString(), "GIF89a");
    EXPECT_NE(errorCode(url(server.url("/to-file"))), 0);  // never follows a redirect off http(s)
    EXPECT_EQ(errorCode(url(server.url("/big")), {.maximumBytes = 4999}), NSURLErrorDataLengthExceedsMaximum);
    EXPECT_EQ(errorCode(url(server.url("/big")), {.maximumBytes = 5000}), 0);
    EXPECT_FALSE(dataWithContentsOfURL(url(server.url("/gone")), &error));
    EXPECT_EQ(error.code, NSURLErrorBadServerResponse);
    EXPECT_EQ(error.description, "The server returned HTTP status 410.");
}

TEST(URLLoading, ClosedPortCannotConnect) {
    int port = 0;
    {
        LocalHttpServer server({}, 0);
        port = std::stoi(server.url("").substr(17));
    }
    EXPECT_EQ(errorCode(url("http://127.0.0.1:" + std::to_string(port) + "/x")), NSURLErrorCannotConnectToHost);
}

TEST(URLSession, DataTasksCompleteOnABackgroundQueueWithTheResponse) {
    LocalHttpServer server({{"/a.gif", Route{200, "GIF89a", "image/gif; charset=binary"}}, {"/missing", Route{404, "nope"}}});
    Completion ok;
    auto task = URLSession::shared()->dataTaskWithURL(url(server.url("/a.gif")), ok.handler());
    EXPECT_EQ(task->state(), URLSessionDataTask::State::suspended);
    task->resume();
    const Result result = ok.get();
    ASSERT_TRUE(result.data);
    EXPECT_EQ(result.data->toString(), "GIF89a");
    ASSERT_TRUE(result.response);
    EXPECT_EQ(result.response->statusCode, 200);
    EXPECT_EQ(result.response->mimeType, "image/gif");
    EXPECT_EQ(result.response->expectedContentLength, 6);
    EXPECT_FALSE(result.error);
    EXPECT_NE(result.thread, std::this_thread::get_id());
    EXPECT_EQ(task->state(), URLSessionDataTask::State::completed);
    // An error status is a response, not an error, for a session.
    Completion missing;
    URLSession::shared()->dataTaskWithURL(url(server.url("/missing")), missing.handler())->resume();
    const Result notFound = missing.get();
    ASSERT_TRUE(notFound.response);
    EXPECT_EQ(notFound.response->statusCode, 404);
    EXPECT_EQ(notFound.data->toString(), "nope");
    EXPECT_FALSE(notFound.error);
}

TEST(URLSession, ManyTransfersRunSideBySide) {
    std::map<std::string, Route> routes;
    for (int i = 0; i < 6; ++i) routes[numberedPath(i)] = Route{200, std::string(1000 * (i + 1), char('a' + i))};
    LocalHttpServer server(routes);
    std::vector<std::unique_ptr<Completion>> completions;
    for (int i = 0; i < 6; ++i) {
        completions.push_back(std::make_unique<Completion>());
        URLSession::shared()->dataTaskWithURL(url(server.url(numberedPath(i))), completions.back()->handler())->resume();
    }
    for (int i = 0; i < 6; ++i) {
        const Result r = completions[static_cast<std::size_t>(i)]->get();
        ASSERT_TRUE(r.data) << i;
        EXPECT_EQ(r.data->count(), 1000u * (i + 1));
    }
}

TEST(URLSession, CancelEndsATaskOnceWithCancelled) {
    LocalHttpServer server({{"/hang", Route{.hang = true}}});
    // Before it starts.
    Completion early;
    auto suspended = URLSession::shared()->dataTaskWithURL(url(server.url("/hang")), early.handler());
    suspended->cancel();
    suspended->resume();  // too late: nothing more happens
    suspended->cancel();
    Result r = early.get();
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.error->code, NSURLErrorCancelled);
    // While the server keeps it waiting.
    Completion late;
    auto hanging = URLSession::shared()->dataTaskWithURL(url(server.url("/hang")), late.handler());
    hanging->resume();
    hanging->cancel();
    r = late.get();
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.error->code, NSURLErrorCancelled);
    EXPECT_FALSE(r.data);
}

TEST(URLSession, FileTasksAndUnsupportedSchemes) {
    qvtest::TemporaryFolder home;
    const auto path = std::filesystem::path(home.folder) / "x.bin";
    std::ofstream(path) << "abc";
    Completion file;
    URLSession::shared()->dataTaskWithURL(URL::fileURLWithPath(path), file.handler())->resume();
    Result r = file.get();
    ASSERT_TRUE(r.data);
    EXPECT_EQ(r.data->toString(), "abc");
    EXPECT_EQ(r.response->expectedContentLength, 3);
    Completion other;
    URLSession::make({.maximumBytes = 2})->dataTaskWithURL(URL::fileURLWithPath(path), other.handler())->resume();
    r = other.get();
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.error->code, NSURLErrorDataLengthExceedsMaximum);
    Completion ftp;
    URLSession::shared()->dataTaskWithURL(url("ftp://example.com/x"), ftp.handler())->resume();
    EXPECT_EQ(ftp.get().error->code, NSURLErrorUnsupportedURL);
}

TEST(URLLoading, AServerThatNeverAnswersTimesOut) {
    LocalHttpServer server({{"/hang", Route{.hang = true}}});
    URLError error;
    EXPECT_FALSE(dataWithContentsOfURL(url(server.url("/hang")), &error, {.timeoutIntervalForResource = 0.2}));
    EXPECT_EQ(error.code, NSURLErrorTimedOut);
    EXPECT_EQ(error.localizedDescription(), "The request timed out.");
}
