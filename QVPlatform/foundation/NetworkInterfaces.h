// NetworkInterfaces: the machine's network interfaces and their numeric addresses.
//
//   for (const auto& i : networkInterfaceAddresses())
//       if (i.isUp && !i.isLoopback) use(i.address);    // "192.168.1.20", "fe80::1%eth0"
//
// One entry per (interface, IPv4 or IPv6 address), in the system's order. Interfaces without
// an address of those families are left out. Wireless is known from the system's own
// description of the interface.
//
// Thread rule: a pure query; any thread.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct NetworkInterfaceAddress {
    std::string name;     // "eth0", "wlan0", "en0"
    std::string address;  // numeric host text
    bool isUp = false;
    bool isRunning = false;
    bool isLoopback = false;
    bool isWireless = false;
};

// Empty when the system cannot list its interfaces.
std::vector<NetworkInterfaceAddress> networkInterfaceAddresses();

}  // namespace platform
