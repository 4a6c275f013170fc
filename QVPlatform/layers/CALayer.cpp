#include <QVPlatform/layers/CALayer.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/layers/CAAnimation.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>

namespace platform {

namespace {

// Serialises edits that link layers to each other (a sublayer list and the superlayer link on
// the other side), so a layer is never in two lists and no cycle forms. Always taken before
// any layer's own mutex.
std::mutex& hierarchyMutex() {
    static std::mutex mutex;
    return mutex;
}

bool finite(CGPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }
bool finite(CGRect r) { return finite(r.origin) && std::isfinite(r.size.width) && std::isfinite(r.size.height); }
bool finite(const CGAffineTransform& t) {
    return std::isfinite(t.a) && std::isfinite(t.b) && std::isfinite(t.c) && std::isfinite(t.d) && std::isfinite(t.tx) &&
           std::isfinite(t.ty);
}

// The properties every new layer starts from, shared until the layer changes one.
const std::shared_ptr<LayerState>& plainDefaults() {
    static const auto defaults = std::make_shared<LayerState>();
    return defaults;
}
const std::shared_ptr<LayerState>& shapeDefaults() {
    static const auto defaults = [] {
        auto s = std::make_shared<LayerState>();
        s->shape.emplace();
        return s;
    }();
    return defaults;
}

}  // namespace

CGRect LayerState::frame() const {
    const CGRect b = bounds.standardized();
    const CGRect local{{-anchorPoint.x * b.size.width, -anchorPoint.y * b.size.height}, b.size};
    const CGRect moved = affineTransform.isIdentity() ? local : CGRectApplyAffineTransform(local, affineTransform);
    return moved.offsetBy(position.x, position.y);
}

std::shared_ptr<CALayer> CALayer::layer() { return std::make_shared<CALayer>(); }

CALayer::CALayer() : state_(plainDefaults()) {}

void CALayer::useShapeDefaults() {
    state_ = shapeDefaults();  // from a constructor: no other thread sees this layer yet
    stateShared_ = true;
}

LayerState& CALayer::ownState() {
    if (stateShared_) {
        state_ = std::make_shared<LayerState>(*state_);
        stateShared_ = false;
    }
    return *state_;
}

void CALayer::shareStateWith(CALayer& copy) const {
    stateShared_ = true;
    copy.state_ = state_;
    copy.stateShared_ = true;
}

CGRect CALayer::bounds() const { return read([](const LayerState& s) { return s.bounds; }); }
void CALayer::setBounds(CGRect bounds) {
    if (finite(bounds)) write([&](LayerState& s) { s.bounds = bounds; });
}
CGPoint CALayer::position() const { return read([](const LayerState& s) { return s.position; }); }
void CALayer::setPosition(CGPoint position) {
    if (finite(position)) write([&](LayerState& s) { s.position = position; });
}
CGPoint CALayer::anchorPoint() const { return read([](const LayerState& s) { return s.anchorPoint; }); }
void CALayer::setAnchorPoint(CGPoint anchorPoint) {
    if (finite(anchorPoint)) write([&](LayerState& s) { s.anchorPoint = anchorPoint; });
}
CGFloat CALayer::zPosition() const { return read([](const LayerState& s) { return s.zPosition; }); }
void CALayer::setZPosition(CGFloat zPosition) {
    if (std::isfinite(zPosition)) write([&](LayerState& s) { s.zPosition = zPosition; });
}
CGRect CALayer::frame() const { return read([](const LayerState& s) { return s.frame(); }); }
void CALayer::setFrame(CGRect frame) {
    if (!finite(frame)) return;
    const CGRect f = frame.standardized();
    write([&](LayerState& s) {
        if (s.affineTransform.isIdentity()) s.bounds.size = f.size;
        s.position = {f.origin.x + s.anchorPoint.x * f.size.width, f.origin.y + s.anchorPoint.y * f.size.height};
    });
}
CGAffineTransform CALayer::affineTransform() const { return read([](const LayerState& s) { return s.affineTransform; }); }
void CALayer::setAffineTransform(const CGAffineTransform& transform) {
    if (finite(transform)) write([&](LayerState& s) { s.affineTransform = transform; });
}
double CALayer::opacity() const { return read([](const LayerState& s) { return s.opacity; }); }
void CALayer::setOpacity(double opacity) { write([&](LayerState& s) { s.opacity = opacity; }); }
bool CALayer::isHidden() const { return read([](const LayerState& s) { return s.hidden; }); }
void CALayer::setHidden(bool hidden) { write([&](LayerState& s) { s.hidden = hidden; }); }
std::string CALayer::name() const { return read([](const LayerState& s) { return s.name; }); }
void CALayer::setName(std::string name) { write([&](LayerState& s) { s.name = std::move(name); }); }
std::optional<CGColor> CALayer::backgroundColor() const { return read([](const LayerState& s) { return s.backgroundColor; }); }
void CALayer::setBackgroundColor(std::optional<CGColor> color) { write([&](LayerState& s) { s.backgroundColor = color; }); }
CGFloat CALayer::cornerRadius() const { return read([](const LayerState& s) { return s.cornerRadius; }); }
void CALayer::setCornerRadius(CGFloat radius) { write([&](LayerState& s) { s.cornerRadius = radius; }); }
bool CALayer::masksToBounds() const { return read([](const LayerState& s) { return s.masksToBounds; }); }
void CALayer::setMasksToBounds(bool masks) { write([&](LayerState& s) { s.masksToBounds = masks; }); }
CGFloat CALayer::borderWidth() const { return read([](const LayerState& s) { return s.borderWidth; }); }
void CALayer::setBorderWidth(CGFloat width) { write([&](LayerState& s) { s.borderWidth = width; }); }
std::optional<CGColor> CALayer::borderColor() const { return read([](const LayerState& s) { return s.borderColor; }); }
void CALayer::setBorderColor(std::optional<CGColor> color) { write([&](LayerState& s) { s.borderColor = color; }); }
std::optional<CGColor> CALayer::shadowColor() const { return read([](const LayerState& s) { return s.shadowColor; }); }
void CALayer::setShadowColor(std::optional<CGColor> color) { write([&](LayerState& s) { s.shadowColor = color; }); }
double CALayer::shadowOpacity() const { return read([](const LayerState& s) { return s.shadowOpacity; }); }
void CALayer::setShadowOpacity(double opacity) { write([&](LayerState& s) { s.shadowOpacity = opacity; }); }
CGFloat CALayer::shadowRadius() const { return read([](const LayerState& s) { return s.shadowRadius; }); }
void CALayer::setShadowRadius(CGFloat radius) { write([&](LayerState& s) { s.shadowRadius = radius; }); }
CGSize CALayer::shadowOffset() const { return read([](const LayerState& s) { return s.shadowOffset; }); }
void CALayer::setShadowOffset(CGSize offset) { write([&](LayerState& s) { s.shadowOffset = offset; }); }
CGPathRef CALayer::shadowPath() const { return read([](const LayerState& s) { return s.shadowPath; }); }
void CALayer::setShadowPath(CGPathRef path) { write([&](LayerState& s) { s.shadowPath = std::move(path); }); }
std::shared_ptr<const Bitmap> CALayer::contents() const { return read([](const LayerState& s) { return s.contents; }); }
void CALayer::setContents(std::shared_ptr<const Bitmap> contents) {
    write([&](LayerState& s) { s.contents = std::move(contents); });
}
CAContentsGravity CALayer::contentsGravity() const { return read([](const LayerState& s) { return s.contentsGravity; }); }
void CALayer::setContentsGravity(CAContentsGravity gravity) { write([&](LayerState& s) { s.contentsGravity = gravity; }); }
CGFloat CALayer::contentsScale() const { return read([](const LayerState& s) { return s.contentsScale; }); }
void CALayer::setContentsScale(CGFloat scale) {
    if (std::isfinite(scale) && scale > 0) write([&](LayerState& s) { s.contentsScale = scale; });
}

LayerState CALayer::state() const { return read([](const LayerState& s) { return s; }); }

void CALayer::setState(const LayerState& next) {
    // A layer keeps its kind: a plain layer never gains a shape part, and a shape layer keeps
    // its own when `next` has none.
    auto fresh = std::make_shared<LayerState>(next);
    std::shared_ptr<LayerState> old;
    std::lock_guard lock(mutex_);
    if (!state_->shape) {
        fresh->shape.reset();
    } else if (!next.shape) {
        fresh->shape = state_->shape;
    }
    old = std::exchange(state_, std::move(fresh));
    stateShared_ = false;
}

// --- The tree ---

std::vector<std::shared_ptr<CALayer>> CALayer::sublayers() const {
    std::lock_guard lock(mutex_);
    return sublayers_;
}

std::shared_ptr<CALayer> CALayer::superlayer() const {
    std::lock_guard lock(mutex_);
    return superlayer_.lock();
}

void CALayer::detachFromParent() {
    // Caller holds the hierarchy mutex.
    std::shared_ptr<CALayer> parent;
    {
        std::lock_guard lock(mutex_);
        parent = superlayer_.lock();
        superlayer_.reset();
    }
    if (!parent) return;
    std::lock_guard lock(parent->mutex_);
    auto& list = parent->sublayers_;
    list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& l) { return l.get() == this; }), list.end());
}

bool CALayer::insert(const std::shared_ptr<CALayer>& layer, Place place, std::size_t index, const CALayer* sibling) {
    if (!layer) return false;
    std::lock_guard hierarchy(hierarchyMutex());
    for (auto up = weak_from_this().lock(); up;) {
        if (up.get() == layer.get()) return false;
        auto* upLayer = static_cast<CALayer*>(up.get());
        up = upLayer->superlayer();
    }
    if (layer.get() == this) return false;
    layer->detachFromParent();
    {
        std::lock_guard lock(mutex_);
        auto& list = sublayers_;
        auto at = list.end();
        if (place == Place::index) {
            at = list.begin() + static_cast<std::ptrdiff_t>(std::min(index, list.size()));
        } else {
            const auto found = std::find_if(list.begin(), list.end(), [&](const auto& l) { return l.get() == sibling; });
            if (found != list.end()) at = place == Place::below ? found : found + 1;
        }
        list.insert(at, layer);
    }
    std::shared_ptr<CALayer> self = std::static_pointer_cast<CALayer>(weak_from_this().lock());
    std::lock_guard lock(layer->mutex_);
    layer->superlayer_ = self;
    return true;
}

bool CALayer::addSublayer(const std::shared_ptr<CALayer>& layer) {
    return insert(layer, Place::index, static_cast<std::size_t>(-1), nullptr);
}
bool CALayer::insertSublayer(const std::shared_ptr<CALayer>& layer, std::size_t index) {
    return insert(layer, Place::index, index, nullptr);
}
bool CALayer::insertSublayerBelow(const std::shared_ptr<CALayer>& layer, const CALayer* sibling) {
    return insert(layer, Place::below, 0, sibling);
}
bool CALayer::insertSublayerAbove(const std::shared_ptr<CALayer>& layer, const CALayer* sibling) {
    return insert(layer, Place::above, 0, sibling);
}

bool CALayer::replaceSublayer(const CALayer& old, const std::shared_ptr<CALayer>& replacement) {
    if (!replacement) return false;
    std::size_t index = 0;
    std::shared_ptr<CALayer> oldShared;
    {
        std::lock_guard lock(mutex_);
        const auto found = std::find_if(sublayers_.begin(), sublayers_.end(), [&](const auto& l) { return l.get() == &old; });
        if (found == sublayers_.end()) return false;
        index = static_cast<std::size_t>(found - sublayers_.begin());
        oldShared = *found;
    }
    if (oldShared == replacement) return true;
    // Insert first (it may refuse), then take the old one out.
    if (!insertSublayer(replacement, index)) return false;
    oldShared->removeFromSuperlayer();
    return true;
}

void CALayer::removeFromSuperlayer() {
    std::lock_guard hierarchy(hierarchyMutex());
    detachFromParent();
}

void CALayer::setSublayers(const std::vector<std::shared_ptr<CALayer>>& layers) {
    for (const auto& l : sublayers()) l->removeFromSuperlayer();
    for (const auto& l : layers) addSublayer(l);
}

std::shared_ptr<CALayer> CALayer::copyLayer() const {
    auto copy = CALayer::layer();
    std::lock_guard lock(mutex_);
    shareStateWith(*copy);
    return copy;
}

std::shared_ptr<CALayer> CALayer::deepCopy() const { return copyTree(nullptr); }

std::shared_ptr<CALayer> CALayer::copyTree(const std::shared_ptr<CALayer>& parent) const {
    auto copy = copyLayer();
    // The copies are new and in no tree yet, so they are linked directly: no hierarchy lock
    // and no cycle walk, which insert needs only for layers that may already be in use. The
    // link to the parent is made before copied animations let the main thread see the copy.
    copy->superlayer_ = parent;
    std::vector<RunningAnimation> running;
    std::vector<std::shared_ptr<CALayer>> subs;
    {
        std::lock_guard lock(mutex_);
        running = animations_;
        subs = sublayers_;
    }
    if (!running.empty()) copyAnimationsTo(running, *copy);
    if (subs.empty()) return copy;
    std::vector<std::shared_ptr<CALayer>> copies;
    copies.reserve(subs.size());
    for (const auto& sub : subs) copies.push_back(sub->copyTree(copy));
    std::lock_guard lock(copy->mutex_);
    copy->sublayers_ = std::move(copies);
    return copy;
}

void CALayer::drawInContext(CGContext&) const {}

std::string CALayer::description() const {
    const LayerState s = state();
    const CGRect f = s.frame();
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "<%s; frame = (%g %g; %g %g)", className().c_str(), f.origin.x, f.origin.y,
                  f.size.width, f.size.height);
    std::string text = buffer;
    if (!s.name.empty()) text += "; name = " + s.name;
    return text + ">";
}

}  // namespace platform

// --- Animations ---

namespace platform {

namespace {

std::atomic<std::uint64_t> nextAnimationId{1};

void reportStop(const std::shared_ptr<const CAAnimation>& animation, bool finished) {
    if (!animation || !animation->completion) return;
    RunLoop::main().perform([animation, finished] { animation->completion(finished); });
}

}  // namespace

void CALayer::addAnimation(const CAAnimation& animation, const std::string& key) {
    const double now = CACurrentMediaTime();
    RunningAnimation running{key, animation.copy(), animation.beginTime == 0 ? now : animation.beginTime,
                             nextAnimationId.fetch_add(1)};
    std::shared_ptr<const CAAnimation> replaced;
    {
        std::lock_guard lock(mutex_);
        if (!key.empty()) {
            const auto it = std::find_if(animations_.begin(), animations_.end(),
                                         [&](const RunningAnimation& r) { return r.key == key; });
            if (it != animations_.end()) {
                replaced = it->animation;
                animations_.erase(it);
            }
        }
        animations_.push_back(running);
    }
    reportStop(replaced, false);
    scheduleEnd(running);
}

void CALayer::scheduleEnd(const RunningAnimation& running) {
    const double end = running.begin + running.animation->activeDuration();
    const double waitNanoseconds = std::ceil(std::max(0.0, end - CACurrentMediaTime()) * 1e9);
    // Endless repeats (and ends centuries away) finish only when removed.
    if (!std::isfinite(waitNanoseconds) || waitNanoseconds >= 9e18) return;
    const auto deadline = DispatchTime::now().adding(static_cast<std::int64_t>(waitNanoseconds));
    const std::weak_ptr<NSObject> weak = weak_from_this();  // empty for a layer not held by a shared_ptr
    const bool remove = running.animation->removedOnCompletion;
    DispatchQueue::main()->asyncAfter(deadline, [weak, id = running.id, remove] {
        if (const auto layer = weak.lock()) static_cast<CALayer&>(*layer).finish(id, true, remove);
    });
}

void CALayer::finish(std::uint64_t id, bool finished, bool remove) {
    std::shared_ptr<const CAAnimation> stopped;
    {
        std::lock_guard lock(mutex_);
        const auto it = std::find_if(animations_.begin(), animations_.end(),
                                     [&](const RunningAnimation& r) { return r.id == id; });
        if (it == animations_.end()) return;  // removed or replaced meanwhile: reported then
        stopped = it->animation;
        if (remove) animations_.erase(it);
    }
    if (stopped->completion) stopped->completion(finished);
}

void CALayer::copyAnimationsTo(const std::vector<RunningAnimation>& running, CALayer& copy) {
    std::vector<RunningAnimation> copies = running;
    for (auto& r : copies) {
        // Same key and start, so the copy shows the same frame; the completion stays with the
        // original, which reports the end once.
        auto animation = r.animation->copy();
        animation->completion = nullptr;
        r.animation = std::move(animation);
        r.id = nextAnimationId.fetch_add(1);
    }
    {
        std::lock_guard lock(copy.mutex_);
        copy.animations_ = copies;
    }
    for (const auto& r : copies) copy.scheduleEnd(r);
}

std::shared_ptr<const CAAnimation> CALayer::animation(const std::string& key) const {
    if (key.empty()) return nullptr;
    std::lock_guard lock(mutex_);
    for (const auto& r : animations_)
        if (r.key == key) return r.animation;
    return nullptr;
}

void CALayer::removeAnimation(const std::string& key) {
    if (key.empty()) return;
    std::shared_ptr<const CAAnimation> removed;
    {
        std::lock_guard lock(mutex_);
        const auto it = std::find_if(animations_.begin(), animations_.end(),
                                     [&](const RunningAnimation& r) { return r.key == key; });
        if (it == animations_.end()) return;
        removed = it->animation;
        animations_.erase(it);
    }
    reportStop(removed, false);
}

void CALayer::removeAllAnimations() {
    std::vector<RunningAnimation> removed;
    {
        std::lock_guard lock(mutex_);
        removed.swap(animations_);
    }
    for (const auto& r : removed) reportStop(r.animation, false);
}

std::vector<std::string> CALayer::animationKeys() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> keys;
    for (const auto& r : animations_)
        if (!r.key.empty()) keys.push_back(r.key);
    return keys;
}

LayerState CALayer::presentationState(std::optional<double> mediaTime) const {
    LayerState s = state();
    // Only the animations and their starts are copied (not the keys): this runs per layer per frame.
    std::vector<std::pair<std::shared_ptr<const CAAnimation>, double>> running;
    {
        std::lock_guard lock(mutex_);
        if (animations_.empty()) return s;
        running.reserve(animations_.size());
        for (const auto& r : animations_) running.emplace_back(r.animation, r.begin);
    }
    const double now = mediaTime.value_or(CACurrentMediaTime());
    for (const auto& [animation, begin] : running) animation->apply(now - begin, s);
    return s;
}

}  // namespace platform
