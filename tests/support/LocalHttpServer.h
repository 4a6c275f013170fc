// A tiny HTTP/1.0 server on 127.0.0.1 for the URL loading tests. It answers each request from
// a table of routes (path -> status, headers, body), serves at most `maxConnections`
// connections, gives up on a silent client after a few seconds, and stops when destroyed.
// A route may "hang": the server reads the request and answers nothing until it stops.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

namespace testhttp {

struct Route {
    int status = 200;
    std::string body;
    std::string contentType = "application/octet-stream";
    bool hang = false;
    std::string extraHeaders;  // "Name: value\r\n" lines
};

class LocalHttpServer {
public:
    explicit LocalHttpServer(std::map<std::string, Route> routes, int maxConnections = 16)
        : routes_(std::move(routes)), maxConnections_(maxConnections) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        if (::pipe2(stopPipe_, O_CLOEXEC) != 0) stopPipe_[0] = stopPipe_[1] = -1;
        thread_ = std::thread([this] { serve(); });
    }
    ~LocalHttpServer() {
        stopping_ = true;
        const char byte = 1;
        (void)::write(stopPipe_[1], &byte, 1);
        thread_.join();
        ::close(listener_);
        ::close(stopPipe_[0]);
        ::close(stopPipe_[1]);
    }

    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    int requestsSeen() const { return requests_.load(); }

private:
    // Waits for `fd` to be readable; false when stopping or after `ms` milliseconds.
    bool readable(int fd, int ms) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        return ::poll(fds, 2, ms) > 0 && !(fds[1].revents & POLLIN) && (fds[0].revents & (POLLIN | POLLHUP));
    }

    void serve() {
        for (int served = 0; served < maxConnections_ && !stopping_; ++served) {
            if (!readable(listener_, 10000)) return;
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            answer(client);
            ::close(client);
        }
    }

    void answer(int client) {
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
            if (!readable(client, 5000)) return;
            const ssize_t n = ::read(client, buffer, sizeof buffer);
            if (n <= 0) return;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        ++requests_;
        const auto start = request.find(' ') + 1;
        const std::string path = request.substr(start, request.find(' ', start) - start);
        const auto it = routes_.find(path);
        const Route route = it == routes_.end() ? Route{404, "not found", "text/plain"} : it->second;
        if (route.hang) {
            readable(stopPipe_[0], 10000);
            return;
        }
        std::string response = "HTTP/1.0 " + std::to_string(route.status) + " X\r\nContent-Type: " + route.contentType +
                               "\r\nContent-Length: " + std::to_string(route.body.size()) + "\r\n" + route.extraHeaders +
                               "Connection: close\r\n\r\n" + route.body;
        std::size_t sent = 0;
        while (sent < response.size()) {
            const ssize_t n = ::send(client, response.data() + sent, response.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
    }

    std::map<std::string, Route> routes_;
    int maxConnections_;
    int listener_ = -1;
    int port_ = 0;
    int stopPipe_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

}  // namespace testhttp
