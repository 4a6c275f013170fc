// QVToolboxLog: the library's log facility. The host receives each line, prefixed
// "[QVToolbox]", through a delegate; without one, nothing is written anywhere.
//
//   struct Host : QVToolboxLogDelegate { void send(const std::string& log) override { ... } };
//   QVToolboxLog::shared().setDelegate(std::make_shared<Host>());
//   QVToolboxLog::shared().send("x");   // the delegate receives "[QVToolbox]x"
//
// Thread rule: `send` calls the delegate synchronously on the sending thread. The delegate
// may be set from any thread; a send that races with a change uses the old or the new one.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

class QVToolboxLogDelegate {
public:
    virtual ~QVToolboxLogDelegate() = default;
    virtual void send(const std::string& log) = 0;
};

class QVToolboxLog {
public:
    static QVToolboxLog& shared();

    std::shared_ptr<QVToolboxLogDelegate> delegate() const;
    void setDelegate(std::shared_ptr<QVToolboxLogDelegate> delegate);

    // An absent text counts as empty.
    void send(std::optional<std::string_view> log);

private:
    QVToolboxLog() = default;
    mutable std::mutex mutex_;  // guards delegate_
    std::shared_ptr<QVToolboxLogDelegate> delegate_;
};

}  // namespace QVToolbox
