// Data: an immutable-by-default run of bytes, the platform's binary value.
//
//   Data d = Data::fromString("abc");   // 3 bytes
//   d.count();                          // 3
//   d.toString();                       // "abc" (bytes read as UTF-8, unchecked)
//
// A plain value type: copy it, compare it, hash it. Not synchronised.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Data {
public:
    Data() = default;
    explicit Data(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    Data(const void* bytes, std::size_t count)
        : bytes_(static_cast<const std::uint8_t*>(bytes), static_cast<const std::uint8_t*>(bytes) + count) {}

    // The bytes of a text, unchanged (UTF-8 stays UTF-8).
    static Data fromString(std::string_view text) { return Data(text.data(), text.size()); }

    std::size_t count() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }
    const std::uint8_t* bytes() const { return bytes_.data(); }
    std::uint8_t* mutableBytes() { return bytes_.data(); }
    std::span<const std::uint8_t> span() const { return bytes_; }
    const std::vector<std::uint8_t>& vector() const { return bytes_; }
    std::vector<std::uint8_t>& vector() { return bytes_; }

    // The bytes as a std::string (no validation; for UTF-8 content).
    std::string toString() const { return std::string(bytes_.begin(), bytes_.end()); }
    std::string_view view() const {
        return std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size());
    }

    void append(const void* bytes, std::size_t count) {
        auto p = static_cast<const std::uint8_t*>(bytes);
        bytes_.insert(bytes_.end(), p, p + count);
    }
    void append(const Data& other) { append(other.bytes(), other.count()); }

    friend bool operator==(const Data&, const Data&) = default;
    friend auto operator<=>(const Data&, const Data&) = default;

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace platform
