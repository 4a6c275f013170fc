// CADisplayLink: calls a target once per display frame (1/60 s) on the main run loop.
//
//   auto link = CADisplayLink::make(view, [](UIView& v, CADisplayLink& l) { v.step(l.timestamp()); });
//   link->addToRunLoop(RunLoop::main(), RunLoop::Mode::common);   // starts ticking
//   link->setPaused(true);                                        // skips frames while paused
//   link->invalidate();                                           // from any thread: no more ticks
//
// The link holds its target weakly (the platform's weak proxy): it never keeps the target
// alive, and invalidates itself at the first frame after the target is gone. Frames keep
// their phase from the moment the link is added; under the manual clock they fire as time
// is advanced. `addToRunLoop` works once; later calls, or calls after `invalidate`, do nothing.
//
// Thread rule: every member may be called from any thread; the callback runs on the main
// thread. Once `invalidate` returns, no further callback starts (one already running on the
// main thread finishes first; invalidating from inside the callback is fine).
#pragma once

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/dispatch/Timer.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

class CADisplayLink : public std::enable_shared_from_this<CADisplayLink> {
public:
    using Callback = std::function<void(CADisplayLink&)>;

    // A link calling `selector(target, link)` while `target` lives.
    template <class T, class F>
    static std::shared_ptr<CADisplayLink> make(const std::shared_ptr<T>& target, F selector) {
        std::weak_ptr<T> weak = target;
        return std::shared_ptr<CADisplayLink>(new CADisplayLink([weak, selector](CADisplayLink& link) {
            if (const auto strong = weak.lock()) return selector(*strong, link), true;
            return false;
        }));
    }
    // A link calling `callback` (which should not own what would own the link).
    static std::shared_ptr<CADisplayLink> make(Callback callback);

    CADisplayLink(const CADisplayLink&) = delete;
    CADisplayLink& operator=(const CADisplayLink&) = delete;
    ~CADisplayLink();

    static constexpr double kFrameDuration = 1.0 / 60;

    // Starts ticking on the main run loop; false when already added or invalidated.
    bool addToRunLoop(RunLoop& runLoop, const std::string& mode = RunLoop::Mode::defaultMode);
    void invalidate();
    bool isValid() const;
    bool isPaused() const;
    void setPaused(bool paused);

    // The nominal time between frames, 1/60 s.
    double duration() const { return kFrameDuration; }
    // CACurrentMediaTime seconds of the frame being delivered, and of the next one.
    double timestamp() const;
    double targetTimestamp() const;

private:
    // Returns false when the target is gone.
    using Tick = std::function<bool(CADisplayLink&)>;
    explicit CADisplayLink(Tick tick);
    void frame();

    mutable std::mutex mutex_;           // guards the fields below
    std::recursive_mutex firing_;        // held while the callback runs, so invalidate can wait
    Tick tick_;
    std::shared_ptr<Timer> timer_;
    bool added_ = false;
    bool valid_ = true;
    bool paused_ = false;
    double timestamp_ = 0;
};

}  // namespace platform
