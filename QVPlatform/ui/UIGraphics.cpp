#include <QVPlatform/ui/UIGraphics.h>

#include <QVPlatform/ui/UIImage.h>
#include <QVPlatform/ui/UIScreen.h>
#include <QVPlatform/ui/detail/LazyContext.h>

#include <cmath>
#include <vector>

namespace platform {

namespace {

enum class SlotKind { image, lazy, pushed };

struct Slot {
    SlotKind kind = SlotKind::image;
    std::unique_ptr<CGContext> owned;
    CGContext* borrowed = nullptr;
    int pixelWidth = 0, pixelHeight = 0;  // of a lazy slot not yet made
    double scale = 1;
    CGPoint origin;  // of a lazy slot's user space

    CGContext* context() {
        if (borrowed) return borrowed;
        if (!owned && kind == SlotKind::lazy && pixelWidth > 0 && pixelHeight > 0) {
            owned = CGContext::make(pixelWidth, pixelHeight, scale);
            if (owned) owned->translateBy(-origin.x, -origin.y);
            pixelWidth = pixelHeight = 0;  // made once, even if making failed
        }
        return owned.get();
    }
};

std::vector<Slot>& stack() {
    thread_local std::vector<Slot> slots;
    return slots;
}

// The last slot of `kind`, counted from the top.
Slot* topOf(SlotKind kind) {
    auto& slots = stack();
    for (auto it = slots.rbegin(); it != slots.rend(); ++it) {
        if (it->kind == kind) return &*it;
    }
    return nullptr;
}

void popLast(SlotKind kind) {
    auto& slots = stack();
    if (!slots.empty() && slots.back().kind == kind) slots.pop_back();
}

}  // namespace

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool, double scale) {
    if (!(scale > 0) || !std::isfinite(scale)) scale = UIScreen::main()->scale();
    Slot slot;
    slot.kind = SlotKind::image;
    const double w = std::ceil(size.width * scale), h = std::ceil(size.height * scale);
    if (w >= 1 && h >= 1 && w <= kMaxImageDimension && h <= kMaxImageDimension)
        slot.owned = CGContext::make(static_cast<int>(w), static_cast<int>(h), scale);
    slot.scale = scale;
    stack().push_back(std::move(slot));
}

CGContext* UIGraphicsGetCurrentContext() {
    auto& slots = stack();
    return slots.empty() ? nullptr : slots.back().context();
}

std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext() {
    Slot* slot = topOf(SlotKind::image);
    if (!slot || !slot->owned) return nullptr;
    return UIImage::imageWithBitmap(slot->owned->bitmap(), slot->scale);
}

void UIGraphicsEndImageContext() { popLast(SlotKind::image); }

void UIGraphicsPushContext(CGContext& context) {
    Slot slot;
    slot.kind = SlotKind::pushed;
    slot.borrowed = &context;
    stack().push_back(std::move(slot));
}

void UIGraphicsPopContext() { popLast(SlotKind::pushed); }

namespace detail {

void pushLazyContext(int pixelWidth, int pixelHeight, double scale, CGPoint origin) {
    Slot slot;
    slot.kind = SlotKind::lazy;
    slot.pixelWidth = pixelWidth;
    slot.pixelHeight = pixelHeight;
    slot.scale = scale;
    slot.origin = origin;
    stack().push_back(std::move(slot));
}

std::unique_ptr<CGContext> popLazyContext() {
    // Contexts that drawing code began and never ended are dropped with the slot.
    auto& slots = stack();
    for (auto i = slots.size(); i-- > 0;) {
        if (slots[i].kind != SlotKind::lazy) continue;
        auto context = std::move(slots[i].owned);
        slots.resize(i);
        return context;
    }
    return nullptr;
}

}  // namespace detail

}  // namespace platform
