#include <QVToolbox/core/Asyncs.h>

#include <mutex>
#include <set>

namespace QVToolbox {

platform::DispatchWorkItemPtr HxAsyncs::asyncDelay(double seconds, Task task, Task mainTask) {
    using namespace platform;
    auto item = DispatchWorkItem::make(std::move(task));
    if (mainTask) item->notify(DispatchQueue::main(), std::move(mainTask));
    DispatchQueue::global(DispatchQoS::default_)->asyncAfter(DispatchTime::now() + seconds, item);
    return item;
}

void HxAsyncs::once(const std::string& token, const std::function<void()>& block) {
    static std::recursive_mutex lock;  // guards tokens; held while a block runs
    static std::set<std::string, std::less<>> tokens;
    std::lock_guard guard(lock);
    if (!tokens.insert(token).second) return;
    if (block) block();
}

}  // namespace QVToolbox
