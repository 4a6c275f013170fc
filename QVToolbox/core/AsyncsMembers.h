// HxAsyncs as static members of HxPOP<platform::DispatchQueue>:
//
//   HxPOP<platform::DispatchQueue>::asyncDelay(1.5, [] { load(); }, [] { show(); });
//   HxPOP<platform::DispatchQueue>::once("setup", [] { configure(); });
//
// Asyncs.h holds the contracts and the thread rule.
#pragma once

#include <QVToolbox/core/Asyncs.h>
#include <QVToolbox/core/HxPOP.h>

#include <QVPlatform/dispatch/DispatchQueue.h>

#include <functional>
#include <string>

namespace QVToolbox {

template <class W, class Base>
struct AsyncsMembers {};

template <class W>
struct AsyncsMembers<W, platform::DispatchQueue> {
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
