#include <QVPlatform/ui/UIPasteboard.h>

namespace platform {

UIPasteboard& UIPasteboard::general() {
    static UIPasteboard* board = new UIPasteboard;  // lives to the end of the process
    return *board;
}

std::optional<std::string> UIPasteboard::string() const {
    std::lock_guard lock(mutex_);
    if (strings_.empty()) return std::nullopt;
    return strings_.front();
}

void UIPasteboard::setString(std::string text) {
    std::lock_guard lock(mutex_);
    strings_.assign(1, std::move(text));
    ++changeCount_;
}

std::vector<std::string> UIPasteboard::strings() const {
    std::lock_guard lock(mutex_);
    return strings_;
}

void UIPasteboard::setStrings(std::vector<std::string> items) {
    std::lock_guard lock(mutex_);
    strings_ = std::move(items);
    ++changeCount_;
}

bool UIPasteboard::hasStrings() const {
    std::lock_guard lock(mutex_);
    return !strings_.empty();
}

std::int64_t UIPasteboard::changeCount() const {
    std::lock_guard lock(mutex_);
    return changeCount_;
}

}  // namespace platform
