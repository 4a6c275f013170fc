// The first URL loads of a process that links no libcurl: file loads never open it; the first
// http loads, blocking and in sessions, started from several threads at once, open it once
// under them and every load gets its bytes.
#include <QVPlatform/foundation/URLLoading.h>
#include <QVPlatform/foundation/URLSession.h>

#include "support/LocalHttpServer.h"
#include "support/MappedLibraries.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

using namespace platform;

namespace {

// Loads `url` as a session task and waits (bounded) for its bytes; empty on any failure.
std::string loadInSession(const URL& url) {
    auto done = std::make_shared<std::promise<std::string>>();
    auto bytes = done->get_future();
    URLSession::shared()->dataTaskWithURL(url, [done](auto data, auto, auto error) {
        done->set_value(data && !error ? data->toString() : std::string());
    })->resume();
    if (bytes.wait_for(std::chrono::seconds(20)) != std::future_status::ready) return {};
    return bytes.get();
}

std::string loadBlocking(const URL& url) {
    URLError error;
    const auto data = dataWithContentsOfURL(url, &error);
    return data ? data->toString() : "error: " + error.description;
}

}  // namespace

TEST(URLLoadingConcurrency, FileLoadsNeverOpenLibcurlAndFirstHttpLoadsFromManyThreadsOpenItOnce) {
    qvtest::TemporaryFolder home("qv-url");
    const auto path = std::filesystem::path(home.folder) / "a.txt";
    std::ofstream(path) << "file bytes";
    ASSERT_FALSE(qvtest::isMapped("libcurl.so"));  // linking our libraries loads no libcurl
    EXPECT_EQ(loadBlocking(URL::fileURLWithPath(path)), "file bytes");
    EXPECT_EQ(loadInSession(URL::fileURLWithPath(path)), "file bytes");
    EXPECT_FALSE(qvtest::isMapped("libcurl.so"));

    testhttp::LocalHttpServer server({{"/a", testhttp::Route{200, "http bytes"}}}, 32);
    const URL http = *URL::string(server.url("/a"));
    std::promise<void> go;
    const std::shared_future<void> start = go.get_future().share();
    std::vector<std::future<std::string>> loads;
    for (int i = 0; i < 6; ++i) {
        loads.push_back(std::async(std::launch::async, [start, http, i] {
            start.wait();
            return i % 2 ? loadInSession(http) : loadBlocking(http);
        }));
    }
    go.set_value();
    for (auto& load : loads) EXPECT_EQ(load.get(), "http bytes");
    EXPECT_TRUE(qvtest::isMapped("libcurl.so"));
}
