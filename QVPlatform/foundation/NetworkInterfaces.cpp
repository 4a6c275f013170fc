#include <QVPlatform/foundation/NetworkInterfaces.h>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>

#include <filesystem>
#include <memory>
#include <optional>

namespace platform {

namespace {

std::optional<std::string> numericHost(const sockaddr* address) {
    if (!address || (address->sa_family != AF_INET && address->sa_family != AF_INET6)) return std::nullopt;
    char host[NI_MAXHOST];
    const socklen_t length = address->sa_family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
    if (getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) return std::nullopt;
    return std::string(host);
}

// Linux describes a wireless interface with a "wireless" folder in its sysfs entry.
bool isWireless(const char* name) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::path("/sys/class/net") / name / "wireless", ignored);
}

}  // namespace

std::vector<NetworkInterfaceAddress> networkInterfaceAddresses() {
    ifaddrs* raw = nullptr;
    if (getifaddrs(&raw) != 0) return {};
    const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> list(raw, &freeifaddrs);
    std::vector<NetworkInterfaceAddress> result;
    for (const ifaddrs* i = list.get(); i; i = i->ifa_next) {
        if (!i->ifa_name) continue;
        auto host = numericHost(i->ifa_addr);
        if (!host) continue;
        const unsigned flags = i->ifa_flags;
        result.push_back({i->ifa_name, std::move(*host), (flags & IFF_UP) != 0, (flags & IFF_RUNNING) != 0,
                          (flags & IFF_LOOPBACK) != 0, isWireless(i->ifa_name)});
    }
    return result;
}

}  // namespace platform
