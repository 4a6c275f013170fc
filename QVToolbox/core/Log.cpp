#include <QVToolbox/core/Log.h>

namespace QVToolbox {

QVToolboxLog& QVToolboxLog::shared() {
    static QVToolboxLog instance;
    return instance;
}

std::shared_ptr<QVToolboxLogDelegate> QVToolboxLog::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_;
}

void QVToolboxLog::setDelegate(std::shared_ptr<QVToolboxLogDelegate> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

void QVToolboxLog::send(std::optional<std::string_view> log) {
    const auto receiver = delegate();
    if (!receiver) return;
    std::string line = "[QVToolbox]";
    if (log) line += *log;
    receiver->send(line);
}

}  // namespace QVToolbox
