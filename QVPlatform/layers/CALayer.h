// CALayer: a rectangle in a tree of layers, with a background, border, rounded corners,
// shadow, contents bitmap and a 2D transform around its anchor point. LayerRenderer draws a tree.
//
//   auto layer = CALayer::layer();
//   layer->setFrame({{10, 10}, {100, 50}});            // bounds {0, 0, 100, 50}, position (60, 35)
//   layer->setBackgroundColor(CGColor{1, 0, 0, 1});
//   layer->setCornerRadius(8); layer->setMasksToBounds(true);
//   parent->addSublayer(layer);
//   LayerState s = layer->state();                     // every property at once, as a value
//   auto copy = parent->deepCopy();                    // same classes, same properties, own tree
//
// Defaults are the platform's: anchor point (0.5, 0.5), opacity 1, no background, border 0
// wide in opaque black, shadow black with opacity 0, radius 3 and offset (0, -3), contents
// gravity "resize", contents scale 1. `frame` is derived: the bounding box of the bounds
// moved so the anchor point sits at `position`, after the affine transform around the anchor.
// Setting `frame` sets position (anchor point at its place in the frame) and, when the
// transform is the identity, the bounds size. Non-finite geometry (bounds, position, anchor,
// frame, transform) is ignored: the property keeps its value.
//
// Threads: every property getter and setter, and the sublayer edits, may be called from any
// thread. Each layer has one mutex guarding its properties and its sublayer list; edits that
// link two layers (add, insert, remove, replace) also hold one process-wide hierarchy mutex,
// always taken before a layer's own, so a layer never sits in two lists and no cycle forms
// (adding a layer to itself or to one of its own sublayers is refused).
#pragma once

#include <QVPlatform/graphics/AffineTransform.h>
#include <QVPlatform/graphics/Color.h>
#include <QVPlatform/graphics/DrawingContext.h>
#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/runtime/NSObject.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class CAAnimation;

// How the contents bitmap is placed in the bounds.
enum class CAContentsGravity {
    resize, resizeAspect, resizeAspectFill, center, top, bottom, left, right, topLeft, topRight, bottomLeft, bottomRight
};

// The shape-layer part of a snapshot. Cap, join and fill rule are the platform's texts
// ("butt", "round", "square"; "miter", "round", "bevel"; "non-zero", "even-odd"); an unknown
// text draws as the default.
struct ShapeState {
    CGPathRef path;
    std::optional<CGColor> fillColor = CGColor::black();
    std::optional<CGColor> strokeColor;
    CGFloat lineWidth = 1;
    CGFloat miterLimit = 10;
    std::string lineCap = "butt";
    std::string lineJoin = "miter";
    std::string fillRule = "non-zero";
    CGFloat strokeStart = 0;
    CGFloat strokeEnd = 1;
    std::vector<CGFloat> lineDashPattern;
    CGFloat lineDashPhase = 0;
};

// Every drawable property of one layer at one moment, as a value. The renderer draws from
// these, so animated (presentation) values can be put in their place.
struct LayerState {
    CGRect bounds{};
    CGPoint position{};
    CGPoint anchorPoint{0.5, 0.5};
    CGFloat zPosition = 0;
    CGAffineTransform affineTransform{};
    double opacity = 1;
    bool hidden = false;
    std::string name;
    std::optional<CGColor> backgroundColor;
    CGFloat cornerRadius = 0;
    bool masksToBounds = false;
    CGFloat borderWidth = 0;
    std::optional<CGColor> borderColor = CGColor::black();
    std::optional<CGColor> shadowColor = CGColor::black();
    double shadowOpacity = 0;
    CGFloat shadowRadius = 3;
    CGSize shadowOffset{0, -3};
    CGPathRef shadowPath;
    std::shared_ptr<const Bitmap> contents;
    CAContentsGravity contentsGravity = CAContentsGravity::resize;
    CGFloat contentsScale = 1;
    std::optional<ShapeState> shape;  // present for shape layers

    // The frame these values give (see CALayer::frame).
    CGRect frame() const;
};

class CALayer : public NSObjectSubclass<CALayer, NSObject, "CALayer"> {
public:
    static std::shared_ptr<CALayer> layer();
    CALayer();

    CGRect bounds() const;
    void setBounds(CGRect bounds);
    CGPoint position() const;
    void setPosition(CGPoint position);
    CGPoint anchorPoint() const;
    void setAnchorPoint(CGPoint anchorPoint);
    CGFloat zPosition() const;
    void setZPosition(CGFloat zPosition);
    CGRect frame() const;
    void setFrame(CGRect frame);
    CGAffineTransform affineTransform() const;
    void setAffineTransform(const CGAffineTransform& transform);
    double opacity() const;
    void setOpacity(double opacity);
    bool isHidden() const;
    void setHidden(bool hidden);
    std::string name() const;
    void setName(std::string name);
    std::optional<CGColor> backgroundColor() const;
    void setBackgroundColor(std::optional<CGColor> color);
    CGFloat cornerRadius() const;
    void setCornerRadius(CGFloat radius);
    bool masksToBounds() const;
    void setMasksToBounds(bool masks);
    CGFloat borderWidth() const;
    void setBorderWidth(CGFloat width);
    std::optional<CGColor> borderColor() const;
    void setBorderColor(std::optional<CGColor> color);
    std::optional<CGColor> shadowColor() const;
    void setShadowColor(std::optional<CGColor> color);
    double shadowOpacity() const;
    void setShadowOpacity(double opacity);
    CGFloat shadowRadius() const;
    void setShadowRadius(CGFloat radius);
    CGSize shadowOffset() const;
    void setShadowOffset(CGSize offset);
    // The shadow's outline; without one, the shadow follows what the layer draws.
    CGPathRef shadowPath() const;
    void setShadowPath(CGPathRef path);
    std::shared_ptr<const Bitmap> contents() const;
    void setContents(std::shared_ptr<const Bitmap> contents);
    CAContentsGravity contentsGravity() const;
    void setContentsGravity(CAContentsGravity gravity);
    CGFloat contentsScale() const;
    void setContentsScale(CGFloat scale);

    // Every property at once, read under the layer's lock.
    virtual LayerState state() const;
    // Sets every property from `s` under the layer's lock; the shape part only on a layer that
    // has one (a plain layer ignores `s.shape`; a shape layer keeps its own when it is absent).
    virtual void setState(const LayerState& s);

    // --- Animations (CAAnimation.h) ---
    // Adds a copy of `animation` under `key`, replacing (and stopping, `finished` false) the
    // one there; an empty key adds one that no key names. A begin time of 0 means now. The
    // end is reported on the main run loop, where a finished animation is also removed.
    void addAnimation(const CAAnimation& animation, const std::string& key);
    std::shared_ptr<const CAAnimation> animation(const std::string& key) const;
    void removeAnimation(const std::string& key);
    void removeAllAnimations();
    std::vector<std::string> animationKeys() const;
    // The model values with the running animations applied at `mediaTime` (CACurrentMediaTime
    // seconds; now when absent). The model itself is not changed.
    LayerState presentationState(std::optional<double> mediaTime = std::nullopt) const;

    // --- The tree ---
    std::vector<std::shared_ptr<CALayer>> sublayers() const;
    std::shared_ptr<CALayer> superlayer() const;
    // Appends `layer`, first removing it from its current superlayer. Refused (false) for a
    // null layer, this layer itself or one of its ancestors.
    bool addSublayer(const std::shared_ptr<CALayer>& layer);
    // Inserts at `index` (clamped to the count).
    bool insertSublayer(const std::shared_ptr<CALayer>& layer, std::size_t index);
    // Inserts just below / above `sibling`; appends when `sibling` is not a sublayer here.
    bool insertSublayerBelow(const std::shared_ptr<CALayer>& layer, const CALayer* sibling);
    bool insertSublayerAbove(const std::shared_ptr<CALayer>& layer, const CALayer* sibling);
    // Puts `replacement` where `old` was; false when `old` is not a sublayer here.
    bool replaceSublayer(const CALayer& old, const std::shared_ptr<CALayer>& replacement);
    void removeFromSuperlayer();
    // Replaces every sublayer with `layers`.
    void setSublayers(const std::vector<std::shared_ptr<CALayer>>& layers);

    // A new tree: each layer of the same class with every property, paths and bitmaps shared,
    // and copies of its running animations (same keys and start times, without completions).
    std::shared_ptr<CALayer> deepCopy() const;

    // Custom drawing, called by the renderer after the background and contents and before
    // the sublayers, in the layer's own coordinates. Does nothing here.
    virtual void drawInContext(CGContext& context) const;

    std::string description() const override;

protected:
    // A new layer of this layer's class with every property copied and no sublayers.
    // Subclasses with state of their own override it.
    virtual std::shared_ptr<CALayer> copyLayer() const;
    // Gives `copy` this layer's properties, shared by both until either changes one. The caller
    // holds this layer's mutex_; `copy` is new and not yet seen by any other thread.
    void shareStateWith(CALayer& copy) const;
    // Starts this layer with the shape layer's defaults; for CAShapeLayer's constructor only.
    void useShapeDefaults();

    // Reads / changes the properties under the layer's lock.
    template <class F>
    auto read(F&& f) const {
        std::lock_guard lock(mutex_);
        return f(std::as_const(*state_));
    }
    template <class F>
    void write(F&& f) {
        std::lock_guard lock(mutex_);
        f(ownState());
    }

    // Guards the properties, sublayers_ and superlayer_.
    mutable std::mutex mutex_;

private:
    // The properties, to change in place: a private copy first when they are shared. Caller
    // holds mutex_.
    LayerState& ownState();

    // Copy on write: while stateShared_ is set, state_ may be held by other layers (copies, or
    // the defaults every new layer starts from) and is never changed in place. The flag is
    // set on every holder before the second holder exists, so a layer without it holds the
    // only reference. Both guarded by mutex_.
    mutable std::shared_ptr<LayerState> state_;
    mutable bool stateShared_ = true;

    enum class Place { index, below, above };
    bool insert(const std::shared_ptr<CALayer>& layer, Place place, std::size_t index, const CALayer* sibling);
    void detachFromParent();
    struct RunningAnimation {
        std::string key;
        std::shared_ptr<const CAAnimation> animation;
        double begin = 0;     // media time of its start
        std::uint64_t id = 0; // tells a replaced animation from its successor
    };
    void scheduleEnd(const RunningAnimation& running);
    // deepCopy's step: a copy of this layer and its tree, linked under `parent`.
    std::shared_ptr<CALayer> copyTree(const std::shared_ptr<CALayer>& parent) const;
    // Gives `copy` copies of `running` (this layer's animations), started at the same times.
    static void copyAnimationsTo(const std::vector<RunningAnimation>& running, CALayer& copy);
    // Removes the entry with `id` (if still there) and reports it stopped.
    void finish(std::uint64_t id, bool finished, bool remove);

    std::vector<std::shared_ptr<CALayer>> sublayers_;
    std::weak_ptr<CALayer> superlayer_;
    std::vector<RunningAnimation> animations_;  // in the order added, applied in that order
};

}  // namespace platform
