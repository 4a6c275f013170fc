// PerformRequests: sending a message to an object later, on the main run loop, and taking
// such requests back (the platform's `perform(_:with:afterDelay:)` and
// `cancelPreviousPerformRequests(withTarget:)`).
//
//   performAfterDelay(player, "play:", Any("song"), 0.5);   // player->perform("play:", "song") in 0.5 s
//   cancelPreviousPerformRequests(*player);                 // every request for player, gone
//   cancelPreviousPerformRequests(*player, "play:", Any("song"));  // only the matching ones
//
// Each request is a one-shot main run-loop timer (so the manual clock drives it). The target
// and the argument are held until the message is sent or the request cancelled, as the
// platform retains them. A selector ending in ':' is sent with the argument, one without a
// colon with none. The request is refused (false, nothing scheduled) for a null target, a
// selector the target does not respond to, or a delay that is NaN or infinite; a negative
// delay counts as 0 (the next turn). An exception the method throws when the message is sent
// is caught and reported on the debug channel, so it never unwinds through the run loop.
// Cancelling with a selector matches requests with that selector and an equal argument.
//
// Thread rule: any thread may schedule or cancel; messages are sent on the main thread.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/runtime/NSObject.h>

#include <memory>

namespace platform {

bool performAfterDelay(const std::shared_ptr<NSObject>& target, const Selector& selector, const Any& argument,
                       double delay);
void cancelPreviousPerformRequests(const NSObject& target);
void cancelPreviousPerformRequests(const NSObject& target, const Selector& selector, const Any& argument);

}  // namespace platform
