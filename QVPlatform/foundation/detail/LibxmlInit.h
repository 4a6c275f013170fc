// libxml2 sets up its global state lazily and not thread-safely; every reader calls this
// first, so the set-up happens once, before any parse on any thread.
#pragma once

namespace platform::detail {

void initializeLibxml();

}  // namespace platform::detail
