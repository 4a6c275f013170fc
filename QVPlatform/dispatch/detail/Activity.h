// Counts dispatched blocks that are queued or running on non-main queues, so that the
// manual clock can wait for the system to settle between releases.
#pragma once

namespace platform::detail {

void workQueued();
void workFinished();
// Signals waiters that the main queue received work or time moved.
void activityChanged();
// Waits until no non-main work is outstanding; when on the main thread, runs the main queue
// meanwhile, and returns only once it is empty too.
void waitForQuiescence();

}  // namespace platform::detail
