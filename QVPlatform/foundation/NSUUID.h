// NSUUID: a random (version 4, RFC 4122 section 4.4) universally unique identifier.
//
//   auto id = NSUUID::make();
//   id->UUIDString();     // "E621E1F8-C36C-495A-93FC-0C247A3E6E5F": 36 characters, upper case
//
// Random bytes come from OpenSSL's generator. Thread rule: callable from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class NSUUID {
public:
    // A new identifier; absent when the system has no randomness to give.
    static std::optional<NSUUID> make();
    const std::array<std::uint8_t, 16>& bytes() const { return bytes_; }
    // Upper-case hexadecimal in groups of 8, 4, 4, 4 and 12 joined by "-".
    std::string UUIDString() const;

private:
    explicit NSUUID(const std::array<std::uint8_t, 16>& bytes) : bytes_(bytes) {}
    std::array<std::uint8_t, 16> bytes_;
};

}  // namespace platform
