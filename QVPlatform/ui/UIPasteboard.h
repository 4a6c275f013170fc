// UIPasteboard: the general pasteboard, kept in this process (there is no system-wide one
// here): what one part of the host copies, another can paste.
//
//   UIPasteboard::general().setString("abc");
//   UIPasteboard::general().string();      // "abc"
//   UIPasteboard::general().changeCount(); // grows by one per change
//
// Thread rule: callable from any thread; a mutex guards the contents.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class UIPasteboard {
public:
    static UIPasteboard& general();

    // The first string item, or absent when the pasteboard holds none.
    std::optional<std::string> string() const;
    // Replaces the string content with one item.
    void setString(std::string text);
    std::vector<std::string> strings() const;
    void setStrings(std::vector<std::string> items);
    bool hasStrings() const;
    std::int64_t changeCount() const;

private:
    UIPasteboard() = default;
    mutable std::mutex mutex_;
    std::vector<std::string> strings_;  // guarded by mutex_
    std::int64_t changeCount_ = 0;      // guarded by mutex_
};

}  // namespace platform
