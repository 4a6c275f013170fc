// Background helpers: run a task on the global default-priority queue, optionally after a
// delay, optionally followed by a callback on the main queue; and run-once by token.
//
//   auto item = HxAsyncs::asyncDelay(1.5, [] { load(); }, [] { show(); });
//   item->cancel();                                  // before it starts: neither runs
//   HxAsyncs::once("setup", [] { configure(); });    // at most once per process
//
// The same operations are static members of HxPOP<platform::DispatchQueue>.
// Thread rule: callable from any thread. `once` serialises every caller through one
// re-entrant lock held while the block runs, so a block may itself call `once` (with another
// token); a block must not wait for another thread that calls `once`.
#pragma once

#include <QVPlatform/dispatch/DispatchWorkItem.h>

#include <functional>
#include <string>

namespace QVToolbox {

struct HxAsyncs {
    using Task = std::function<void()>;

    static platform::DispatchWorkItemPtr async(Task task) { return asyncDelay(0, std::move(task), nullptr); }
    static platform::DispatchWorkItemPtr async(Task task, Task mainTask) {
        return asyncDelay(0, std::move(task), std::move(mainTask));
    }
    static platform::DispatchWorkItemPtr asyncDelay(double seconds, Task task) {
        return asyncDelay(seconds, std::move(task), nullptr);
    }
    // Schedules `task` on the global default queue at now + seconds; `mainTask` (if any) runs
    // on the main queue after `task` has run. Returns the cancellable work item at once.
    static platform::DispatchWorkItemPtr asyncDelay(double seconds, Task task, Task mainTask);

    // Runs `block` at most once per token text for the life of the process.
    static void once(const std::string& token, const std::function<void()>& block);
};

}  // namespace QVToolbox
