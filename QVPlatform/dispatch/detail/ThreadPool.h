// The global worker pool behind every non-main queue. Work is taken highest quality of
// service first. The pool grows when every worker is busy (a worker blocked in `sync` or
// `wait` must not starve the rest) up to a fixed cap; workers live for the process.
#pragma once

#include <functional>

namespace platform::detail {

// Priority 0 (background) .. 4 (user interactive).
void submitToPool(int priority, std::function<void()> work);

}  // namespace platform::detail
