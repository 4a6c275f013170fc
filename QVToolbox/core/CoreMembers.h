// The core frame's member sets:
//   qv(seconds).toClock(ignoreZeroHour)                 on double
//   HxPOP<platform::DispatchQueue>::async / asyncDelay / once   (as HxAsyncs)
#pragma once

#include <QVToolbox/core/Asyncs.h>
#include <QVToolbox/core/ClockText.h>
#include <QVToolbox/core/HxPOP.h>

#include <QVPlatform/dispatch/DispatchQueue.h>

namespace QVToolbox {

template <class W>
struct QVMembers<W, double> {
    std::string toClock(bool ignoreZeroHour) const {
        return QVToolbox::toClock(static_cast<const W&>(*this).object, ignoreZeroHour);
    }
};

template <class W>
struct CoreMembers<W, platform::DispatchQueue> {
    using Task = HxAsyncs::Task;
    static platform::DispatchWorkItemPtr async(Task task) { return HxAsyncs::async(std::move(task)); }
    static platform::DispatchWorkItemPtr async(Task task, Task mainTask) {
        return HxAsyncs::async(std::move(task), std::move(mainTask));
    }
    static platform::DispatchWorkItemPtr asyncDelay(double seconds, Task task) {
        return HxAsyncs::asyncDelay(seconds, std::move(task));
    }
    static platform::DispatchWorkItemPtr asyncDelay(double seconds, Task task, Task mainTask) {
        return HxAsyncs::asyncDelay(seconds, std::move(task), std::move(mainTask));
    }
    static void once(const std::string& token, const std::function<void()>& block) { HxAsyncs::once(token, block); }
};

}  // namespace QVToolbox
