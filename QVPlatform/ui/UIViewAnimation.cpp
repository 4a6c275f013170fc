#include <QVPlatform/ui/UIViewAnimation.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/layers/CAAnimation.h>
#include <QVPlatform/ui/UIView.h>
#include <QVPlatform/ui/detail/ViewAnimation.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace platform {

namespace {

// The animation a block adds: a basic animation that remembers whether touches may reach the view.
class ViewPropertyAnimation : public CABasicAnimation {
public:
    using CABasicAnimation::CABasicAnimation;
    std::shared_ptr<CAAnimation> copy() const override { return std::make_shared<ViewPropertyAnimation>(*this); }
    bool allowsUserInteraction = false;
};

// One block's completion, run once all of its animations have ended. Freed unfinished (every
// animation gone with its layer), it reports false rather than never.
class CompletionGroup {
public:
    explicit CompletionGroup(std::function<void(bool)> completion) : completion_(std::move(completion)) {}
    CompletionGroup(const CompletionGroup&) = delete;
    CompletionGroup& operator=(const CompletionGroup&) = delete;
    ~CompletionGroup() {
        if (pending_ > 0 && completion_) RunLoop::main().perform([c = std::move(completion_)] { c(false); });
    }

    void started() { ++pending_; }
    // Called on the main run loop as each animation ends.
    void ended(bool finished) {
        allFinished_ = allFinished_ && finished;
        if (pending_ == 0 || --pending_ > 0) return;
        if (auto completion = std::move(completion_)) completion(allFinished_);
    }

private:
    std::function<void(bool)> completion_;
    int pending_ = 0;
    bool allFinished_ = true;
};

// A property noted inside a block: the layer, its key path and where it was.
struct Change {
    std::shared_ptr<CALayer> layer;
    std::string keyPath;
    CAAnimationValue from;
};

// One open block (or a performWithoutAnimation, which records nothing).
struct Transaction {
    bool records = true;
    bool fromPresentation = false;
    std::vector<Change> changes;
};

// Open blocks, innermost last. Main thread only, so no lock.
std::vector<Transaction>& transactions() {
    static std::vector<Transaction> open;
    return open;
}

std::optional<CAMediaTimingFunction> curveFor(UIViewAnimationOptions options) {
    using Name = CAMediaTimingFunction::Name;
    switch (curveOf(options)) {
        case UIViewAnimationOptions::curveEaseIn: return CAMediaTimingFunction::named(Name::easeIn);
        case UIViewAnimationOptions::curveEaseOut: return CAMediaTimingFunction::named(Name::easeOut);
        case UIViewAnimationOptions::curveLinear: return std::nullopt;
        default: return CAMediaTimingFunction::named(Name::easeInEaseOut);
    }
}

// Runs `body` inside an open transaction and returns what it recorded. The transaction is
// closed even when `body` throws.
Transaction record(Transaction open, const std::function<void()>& body) {
    auto& stack = transactions();
    stack.push_back(std::move(open));
    struct Close {
        Transaction* out;
        ~Close() {
            *out = std::move(transactions().back());
            transactions().pop_back();
        }
    };
    Transaction closed;
    {
        Close close{&closed};
        if (body) body();
    }
    return closed;
}

void completeNextTurn(std::function<void(bool)> completion) {
    if (completion) RunLoop::main().perform([c = std::move(completion)] { c(true); });
}

}  // namespace

namespace detail {

void viewWillChange(CALayer& layer, std::initializer_list<const char*> keyPaths) {
    auto& stack = transactions();
    if (stack.empty() || !stack.back().records) return;
    Transaction& open = stack.back();
    auto shared = std::static_pointer_cast<CALayer>(layer.shared_from_this());
    std::optional<LayerState> state;
    for (const char* keyPath : keyPaths) {
        const bool noted = std::any_of(open.changes.begin(), open.changes.end(), [&](const Change& c) {
            return c.layer.get() == &layer && c.keyPath == keyPath;
        });
        if (noted) continue;  // the first value in the block is where the change starts
        if (!state) state = open.fromPresentation ? layer.presentationState() : layer.state();
        if (auto from = CAPropertyAnimation::read(*state, keyPath)) open.changes.push_back({shared, keyPath, *from});
    }
}

bool animationBlocksTouches(const CALayer& layer) {
    for (const auto& key : layer.animationKeys()) {
        const auto* running = dynamic_cast<const ViewPropertyAnimation*>(layer.animation(key).get());
        if (running && !running->allowsUserInteraction) return true;
    }
    return false;
}

}  // namespace detail

void UIView::animate(double duration, double delay, UIViewAnimationOptions options,
                     const std::function<void()>& animations, std::function<void(bool)> completion) {
    assertMainThread("UIView::animate");
    Transaction open;
    open.fromPresentation = contains(options, UIViewAnimationOptions::beginFromCurrentState);
    const Transaction done = record(std::move(open), animations);

    if (!(duration > 0) || !std::isfinite(duration)) {
        // Applied at once: nothing may keep showing an older animation of these properties.
        for (const Change& change : done.changes) change.layer->removeAnimation(change.keyPath);
        return completeNextTurn(std::move(completion));
    }

    const auto group = std::make_shared<CompletionGroup>(std::move(completion));
    const bool delayed = delay > 0 && std::isfinite(delay);
    const double begin = delayed ? CACurrentMediaTime() + delay : 0;  // 0: when added
    ViewPropertyAnimation animation;
    animation.duration = duration;
    animation.beginTime = begin;
    animation.fillMode = delayed ? CAFillMode::backwards : CAFillMode::removed;
    animation.timingFunction = curveFor(options);
    animation.repeatCount = contains(options, UIViewAnimationOptions::repeat) ? std::numeric_limits<double>::infinity() : 0;
    animation.autoreverses = contains(options, UIViewAnimationOptions::autoreverse);
    animation.allowsUserInteraction = contains(options, UIViewAnimationOptions::allowUserInteraction);
    animation.completion = [group](bool finished) { group->ended(finished); };

    group->started();  // held until the next turn, so a block that animates nothing completes then
    for (const Change& change : done.changes) {
        const auto to = CAPropertyAnimation::read(change.layer->state(), change.keyPath);
        if (!to || *to == change.from) continue;  // unchanged: the running animation, if any, goes on
        animation.keyPath = change.keyPath;
        animation.fromValue = change.from;
        animation.toValue = *to;
        group->started();
        change.layer->addAnimation(animation, change.keyPath);
    }
    RunLoop::main().perform([group] { group->ended(true); });
}

void UIView::animate(double duration, const std::function<void()>& animations, std::function<void(bool)> completion) {
    animate(duration, 0, UIViewAnimationOptions::none, animations, std::move(completion));
}

void UIView::performWithoutAnimation(const std::function<void()>& actions) {
    assertMainThread("UIView::performWithoutAnimation");
    Transaction open;
    open.records = false;
    record(std::move(open), actions);
}

}  // namespace platform
