#include <QVToolbox/hud/Toast.h>

#include <QVToolbox/core/Associated.h>
#include <QVToolbox/core/Log.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/dispatch/Timer.h>
#include <QVPlatform/ui/UIActivityIndicatorView.h>
#include <QVPlatform/ui/UIGestureRecognizer.h>
#include <QVPlatform/ui/UIImageView.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIViewAnimation.h>

#include <algorithm>
#include <mutex>

namespace QVToolbox {

using namespace platform;

namespace {

// One key per role; only their addresses matter.
const char kActiveKey = 0;
const char kQueueKey = 0;
const char kActivityKey = 0;
const char kTimerKey = 0;
const char kDurationKey = 0;
const char kPointKey = 0;
const char kCompletionKey = 0;

constexpr UIViewAnimationOptions kFadeIn = UIViewAnimationOptions::curveEaseOut | UIViewAnimationOptions::allowUserInteraction;
constexpr UIViewAnimationOptions kFadeOut = UIViewAnimationOptions::curveEaseIn | UIViewAnimationOptions::beginFromCurrentState;

constexpr const char* kTapSelector = "handleToastTapped:";
constexpr const char* kTimerSelector = "qvstoastTimerDidFinish:";
constexpr const char* kMissing = "Error: message, title, and image are all nil";

using ToastList = std::vector<std::shared_ptr<UIView>>;

// The completion of a toast; `hiding` is set once its fade-out starts, so that it is hidden
// (and its completion called) only once.
struct CompletionHolder {
    ToastCompletion completion;
    bool hiding = false;
};

std::shared_ptr<ToastList> list(const UIView& view, const void* key) {
    if (auto found = hx_getAssociatedObject<std::shared_ptr<ToastList>>(view, key)) return *found;
    auto made = std::make_shared<ToastList>();
    hx_setRetainedAssociatedObject(const_cast<UIView&>(view), key, made);
    return made;
}
std::shared_ptr<ToastList> active(const UIView& view) { return list(view, &kActiveKey); }
std::shared_ptr<ToastList> queue(const UIView& view) { return list(view, &kQueueKey); }

bool contains(const ToastList& l, const UIView* toast) {
    return std::any_of(l.begin(), l.end(), [toast](const auto& t) { return t.get() == toast; });
}
void removeToast(ToastList& l, const UIView* toast) {
    std::erase_if(l, [toast](const auto& t) { return t.get() == toast; });
}

template <class T>
void detach(UIView& view, const void* key) {
    objc_setAssociatedObject(view, key, std::optional<T>(), AssociationPolicy::retainNonatomic);
}

std::shared_ptr<CompletionHolder> holder(const UIView& toast) {
    return hx_getAssociatedObject<std::shared_ptr<CompletionHolder>>(toast, &kCompletionKey).value_or(nullptr);
}
void attachCompletion(UIView& toast, ToastCompletion completion) {
    auto h = std::make_shared<CompletionHolder>();
    h->completion = std::move(completion);
    hx_setRetainedAssociatedObject(toast, &kCompletionKey, h);
}

void stopTimer(UIView& toast) {
    if (auto timer = hx_getAssociatedObject<std::shared_ptr<Timer>>(toast, &kTimerKey); timer && *timer) (*timer)->invalidate();
    detach<std::shared_ptr<Timer>>(toast, &kTimerKey);
}

std::shared_ptr<UIView> self(UIView& view) { return std::static_pointer_cast<UIView>(view.shared_from_this()); }

void hide(UIView& view, const std::shared_ptr<UIView>& toast, bool fromTap);
void show(UIView& view, const std::shared_ptr<UIView>& toast, double duration, CGPoint point, ToastPosition position);

// The two messages the superview answers, added to the view class once.
void registerMessages() {
    static std::once_flag once;
    std::call_once(once, [] {
        UIView::classObject().addMethod(kTapSelector, [](NSObject& target, const Any::List& args) {
            auto recognizer = args.empty() ? nullptr : args[0].objectAs<UIGestureRecognizer>();
            if (auto toast = recognizer ? recognizer->view() : nullptr)
                hide(static_cast<UIView&>(target), toast, true);
            return Any();
        });
        UIView::classObject().addMethod(kTimerSelector, [](NSObject& target, const Any::List& args) {
            auto& view = static_cast<UIView&>(target);
            auto toast = args.empty() ? nullptr : args[0].objectAs<UIView>();
            if (toast && contains(*active(view), toast.get())) hide(view, toast, false);
            return Any();
        });
    });
}

void startTimer(UIView& view, UIView& toast, double duration) {
    std::weak_ptr<UIView> weakView = self(view);
    std::weak_ptr<UIView> weakToast = self(toast);
    auto timer = Timer::make(duration, false, [weakView, weakToast](Timer&) {
        auto v = weakView.lock();
        auto t = weakToast.lock();
        if (v && t) v->perform(kTimerSelector, Any(std::static_pointer_cast<NSObject>(t)));
    });
    RunLoop::main().add(timer, RunLoop::Mode::common);
    hx_setRetainedAssociatedObject(toast, &kTimerKey, timer);
}

void addTapToDismiss(UIView& view, UIView& toast) {
    if (!ToastManager::shared().isTapToDismissEnabled()) return;
    registerMessages();
    toast.addGestureRecognizer(std::make_shared<UITapGestureRecognizer>(self(view), kTapSelector));
    toast.setUserInteractionEnabled(true);
    toast.setExclusiveTouch(true);
}

// Puts `toast` next to the last active one: above it at the bottom, below it elsewhere.
void stack(UIView& view, UIView& toast, ToastPosition position) {
    const auto& shown = *active(view);
    if (shown.empty()) return;
    const CGRect last = shown.back()->frame();
    CGRect frame = toast.frame();
    frame.origin.y = position == ToastPosition::bottom ? last.origin.y - 5 - frame.size.height : last.origin.y + last.size.height + 5;
    toast.setFrame(frame);
}

void show(UIView& view, const std::shared_ptr<UIView>& toast, double duration, CGPoint point, ToastPosition position) {
    toast->setCenter(point);
    toast->setAlpha(0);
    addTapToDismiss(view, *toast);
    stack(view, *toast, position);
    active(view)->push_back(toast);
    view.addSubview(toast);
    std::weak_ptr<UIView> weakView = self(view);
    std::weak_ptr<UIView> weakToast = toast;
    UIView::animate(ToastManager::shared().style().fadeDuration, 0, kFadeIn, [&] { toast->setAlpha(1); },
                         [weakView, weakToast, duration](bool) {
                             auto v = weakView.lock();
                             auto t = weakToast.lock();
                             if (!v || !t || !contains(*active(*v), t.get())) return;
                             if (auto h = holder(*t); h && h->hiding) return;
                             startTimer(*v, *t, duration);
                         });
}

void dequeue(UIView& view) {
    auto waiting = queue(view);
    if (waiting->empty()) return;
    auto next = waiting->front();
    const auto duration = hx_getAssociatedObject<double>(*next, &kDurationKey);
    const auto point = hx_getAssociatedObject<CGPoint>(*next, &kPointKey);
    if (!duration || !point) return;
    waiting->erase(waiting->begin());
    // Placed where it was asked for when it was queued.
    show(view, next, *duration, *point, ToastManager::shared().position());
}

void hide(UIView& view, const std::shared_ptr<UIView>& toast, bool fromTap) {
    auto h = holder(*toast);
    if (h && h->hiding) return;
    if (h) h->hiding = true;
    stopTimer(*toast);
    std::weak_ptr<UIView> weakView = self(view);
    UIView::animate(ToastManager::shared().style().fadeDuration, 0, kFadeOut, [&] { toast->setAlpha(0); },
                         [weakView, toast, h, fromTap](bool) {
                             toast->removeFromSuperview();
                             auto v = weakView.lock();
                             if (v) removeToast(*active(*v), toast.get());
                             if (h && h->completion) std::exchange(h->completion, nullptr)(fromTap);
                             if (v) dequeue(*v);
                         });
}

void enqueueOrShow(UIView& view, const std::shared_ptr<UIView>& toast, double duration, CGPoint point, ToastPosition position) {
    if (ToastManager::shared().isQueueEnabled() && !active(view)->empty()) {
        hx_setRetainedAssociatedObject(*toast, &kDurationKey, duration);
        hx_setRetainedAssociatedObject(*toast, &kPointKey, point);
        queue(view)->push_back(toast);
        return;
    }
    show(view, toast, duration, point, position);
}

std::shared_ptr<UIView> buildOrLog(const UIView& view, ToastText message, ToastText title, std::shared_ptr<UIImage> image,
                                   const std::optional<ToastStyle>& style) {
    try {
        return toastViewForMessage(view, std::move(message), std::move(title), std::move(image),
                                   style ? *style : ToastManager::shared().style());
    } catch (const ToastError&) {
        QVToolboxLog::shared().send(kMissing);
        return nullptr;
    }
}

void applyPanelLook(UIView& panel, const ToastStyle& style, const std::shared_ptr<UIColor>& background) {
    panel.setBackgroundColor(background);
    panel.setAutoresizingMask(UIViewAutoresizing::flexibleLeftMargin | UIViewAutoresizing::flexibleRightMargin |
                              UIViewAutoresizing::flexibleTopMargin | UIViewAutoresizing::flexibleBottomMargin);
    panel.layer()->setCornerRadius(style.cornerRadius);
    if (!style.displayShadow) return;
    panel.layer()->setShadowColor(style.shadowColor->cgColor());
    panel.layer()->setShadowOpacity(style.shadowOpacity());
    panel.layer()->setShadowRadius(style.shadowRadius);
    panel.layer()->setShadowOffset(style.shadowOffset);
}

std::shared_ptr<UILabel> textLabel(const std::string& text, int lines, std::shared_ptr<UIFont> font, NSTextAlignment alignment,
                                   std::shared_ptr<UIColor> color) {
    auto label = std::make_shared<UILabel>();
    label->setNumberOfLines(lines);
    label->setFont(std::move(font));
    label->setTextAlignment(alignment);
    label->setLineBreakMode(NSLineBreakMode::byTruncatingTail);
    label->setTextColor(std::move(color));
    label->setBackgroundColor(UIColor::clearColor());
    label->setText(text);
    return label;
}

void showActivity(UIView& view, std::optional<ToastPosition> position, std::optional<CGPoint> point, const std::string* text) {
    if (toastActivityView(view)) return;
    const ToastStyle style = ToastManager::shared().style();
    auto panel = std::make_shared<UIView>(CGRect{{0, 0}, style.activitySize});
    applyPanelLook(*panel, style, style.activityBackgroundColor);
    auto spinner = std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::large);
    spinner->setCenter({style.activitySize.width / 2, style.activitySize.height / 2});
    spinner->setColor(style.activityIndicatorColor);
    panel->addSubview(spinner);
    spinner->startAnimating();
    if (text) {
        auto label = textLabel(*text, 0, UIFont::systemFontOfSize(12), NSTextAlignment::center, UIColor::whiteColor());
        // Wrapped within the toast's maximum width, so a long text cannot run off the screen.
        const double maxWidth = style.maxWidthPercentage() * view.bounds().size.width;
        const CGSize fit = label->sizeThatFits({maxWidth, 0});
        label->setFrame({{0, 0}, {std::min(fit.width, maxWidth), fit.height}});
        const double width = std::max(style.activitySize.width, label->frame().size.width + 10);
        panel->setBounds({{0, 0}, {width, style.activitySize.height}});
        CGRect s = spinner->frame();
        s.origin = {(width - s.size.width) / 2, s.origin.y - fit.height / 2 - 2};
        spinner->setFrame(s);
        CGRect l = label->frame();
        l.origin = {spinner->center().x - l.size.width / 2, s.origin.y + s.size.height + 4};
        label->setFrame(l);
        panel->addSubview(label);
    }
    panel->setCenter(point ? *point : toastCenterPoint(view, *position, *panel));
    panel->setAlpha(0);
    hx_setRetainedAssociatedObject(view, &kActivityKey, panel);
    view.addSubview(panel);
    UIView::animate(style.fadeDuration, 0, UIViewAnimationOptions::curveEaseOut, [&] { panel->setAlpha(1); });
}

}  // namespace

std::shared_ptr<UIView> toastViewForMessage(const UIView& view, ToastText message, ToastText title, std::shared_ptr<UIImage> image,
                                            const ToastStyle& style) {
    if (!message && !title && !image) throw ToastError(ToastError::Code::missingParameters);
    const double hPad = style.horizontalPadding, vPad = style.verticalPadding;
    const CGSize bounds = view.bounds().size;
    auto wrapper = std::make_shared<UIView>();
    applyPanelLook(*wrapper, style, style.backgroundColor);

    std::shared_ptr<UIImageView> imageView;
    CGRect imageRect{};
    if (image) {
        imageView = std::make_shared<UIImageView>(CGRect{{hPad, vPad}, style.imageSize});
        imageView->setImage(image);
        imageView->setContentMode(UIViewContentMode::scaleAspectFit);
        imageRect = imageView->frame();
    }
    const CGSize maxSize{style.maxWidthPercentage() * bounds.width - imageRect.size.width, style.maxHeightPercentage() * bounds.height};

    std::shared_ptr<UILabel> titleLabel, messageLabel;
    CGRect titleRect{}, messageRect{};
    const double textLeft = imageRect.origin.x + imageRect.size.width + hPad;
    if (title) {
        titleLabel = textLabel(*title, style.titleNumberOfLines, style.titleFont, style.titleAlignment, style.titleColor);
        titleRect = {{textLeft, vPad}, titleLabel->sizeThatFits(maxSize)};
    }
    if (message) {
        messageLabel = textLabel(*message, style.messageNumberOfLines, style.messageFont, style.messageAlignment, style.messageColor);
        messageLabel->setTag(kToastMessageTag);
        const CGSize fit = messageLabel->sizeThatFits(maxSize);
        messageRect = {{textLeft, titleRect.origin.y + titleRect.size.height + vPad},
                       {std::min(fit.width, maxSize.width), std::min(fit.height, maxSize.height)}};
    }
    const double longerWidth = std::max(titleRect.size.width, messageRect.size.width);
    const double longerLeft = std::max(titleRect.origin.x, messageRect.origin.x);
    const double width = std::max(imageRect.size.width + 2 * hPad, longerLeft + longerWidth + hPad);
    // A title without a message still needs its own height (plus padding) in the panel.
    const double textBottom = message ? messageRect.origin.y + messageRect.size.height : titleRect.origin.y + titleRect.size.height;
    const double height = std::max(textBottom + vPad, imageRect.size.height + 2 * vPad);
    wrapper->setFrame({{0, 0}, {width, height}});
    if (titleLabel) {
        titleLabel->setFrame({titleRect.origin, {longerWidth, titleRect.size.height}});
        wrapper->addSubview(titleLabel);
    }
    if (messageLabel) {
        messageLabel->setFrame({messageRect.origin, {longerWidth, messageRect.size.height}});
        wrapper->addSubview(messageLabel);
    }
    if (imageView) wrapper->addSubview(imageView);
    return wrapper;
}

CGPoint toastCenterPoint(const UIView& view, ToastPosition position, const UIView& toast) {
    const double vPad = ToastManager::shared().style().verticalPadding;
    const UIEdgeInsets insets = view.safeAreaInsets();
    const CGSize b = view.bounds().size;
    const double h = toast.frame().size.height;
    switch (position) {
        case ToastPosition::top: return {b.width / 2, vPad + insets.top + h / 2};
        case ToastPosition::center: return {b.width / 2, b.height / 2};
        case ToastPosition::bottom: break;
    }
    return {b.width / 2, b.height - h / 2 - vPad - insets.bottom};
}

void makeToast(UIView& view, ToastText message, std::optional<double> duration, std::optional<ToastPosition> position,
               ToastText title, std::shared_ptr<UIImage> image, std::optional<ToastStyle> style, ToastCompletion completion) {
    auto toast = buildOrLog(view, std::move(message), std::move(title), std::move(image), style);
    if (toast) showToast(view, toast, duration, position, std::move(completion));
}

void makeToast(UIView& view, ToastText message, double duration, CGPoint point, ToastText title, std::shared_ptr<UIImage> image,
               std::optional<ToastStyle> style, ToastCompletion completion) {
    auto toast = buildOrLog(view, std::move(message), std::move(title), std::move(image), style);
    if (toast) showToast(view, toast, duration, point, std::nullopt, std::move(completion));
}

void showToast(UIView& view, const std::shared_ptr<UIView>& toast, std::optional<double> duration, std::optional<ToastPosition> position,
               ToastCompletion completion) {
    if (!toast) return;
    const ToastPosition where = position.value_or(ToastManager::shared().position());
    showToast(view, toast, duration.value_or(ToastManager::shared().duration()), toastCenterPoint(view, where, *toast), where,
              std::move(completion));
}

void showToast(UIView& view, const std::shared_ptr<UIView>& toast, double duration, CGPoint point, std::optional<ToastPosition> position,
               ToastCompletion completion) {
    if (!toast) return;
    attachCompletion(*toast, std::move(completion));
    enqueueOrShow(view, toast, duration, point, position.value_or(ToastManager::shared().position()));
}

void makeToastImmediately(UIView& view, ToastText message, std::optional<double> duration, std::optional<ToastPosition> position,
                          ToastText title, std::shared_ptr<UIImage> image, std::optional<ToastStyle> style, ToastCompletion completion) {
    auto toast = buildOrLog(view, std::move(message), std::move(title), std::move(image), style);
    if (!toast) return;
    const ToastPosition where = position.value_or(ToastManager::shared().position());
    attachCompletion(*toast, std::move(completion));
    toast->setCenter(toastCenterPoint(view, where, *toast));
    addTapToDismiss(view, *toast);
    stack(view, *toast, where);
    active(view)->push_back(toast);
    view.addSubview(toast);
    startTimer(view, *toast, duration.value_or(ToastManager::shared().duration()));
}

void hideToast(UIView& view) {
    const auto shown = active(view);
    if (!shown->empty()) hide(view, shown->front(), false);
}

void hideToast(UIView& view, const std::shared_ptr<UIView>& toast) {
    if (toast && contains(*active(view), toast.get())) hide(view, toast, false);
}

void hideAllToasts(UIView& view, bool includeActivity, bool clearQueue) {
    if (clearQueue) clearToastQueue(view);
    for (const auto& toast : ToastList(*active(view))) hide(view, toast, false);
    if (includeActivity) hideToastActivity(view);
}

void clearToastQueue(UIView& view) { queue(view)->clear(); }

void hideAllToastsImmediately(UIView& view) {
    clearToastQueue(view);
    if (auto activity = toastActivityView(view)) {
        activity->removeFromSuperview();
        detach<std::shared_ptr<UIView>>(view, &kActivityKey);
    }
    const ToastList shown = std::move(*active(view));
    active(view)->clear();
    for (const auto& toast : shown) {
        stopTimer(*toast);
        toast->removeFromSuperview();
        auto h = holder(*toast);
        if (h && !h->hiding && h->completion) std::exchange(h->completion, nullptr)(false);
        if (h) h->hiding = true;
    }
}

void makeToastActivity(UIView& view, ToastPosition position) { showActivity(view, position, std::nullopt, nullptr); }
void makeToastActivity(UIView& view, ToastPosition position, const std::string& text) { showActivity(view, position, std::nullopt, &text); }
void makeToastActivity(UIView& view, CGPoint point) { showActivity(view, std::nullopt, point, nullptr); }

void hideToastActivity(UIView& view) {
    auto activity = toastActivityView(view);
    if (!activity) return;
    // Detached now, so that a new activity panel can be shown while this one fades out.
    detach<std::shared_ptr<UIView>>(view, &kActivityKey);
    UIView::animate(ToastManager::shared().style().fadeDuration, 0, kFadeOut, [&] { activity->setAlpha(0); },
                         [activity](bool) { activity->removeFromSuperview(); });
}

std::vector<std::shared_ptr<UIView>> activeToasts(const UIView& view) { return *active(view); }
std::vector<std::shared_ptr<UIView>> queuedToasts(const UIView& view) { return *queue(view); }
std::shared_ptr<UIView> toastActivityView(const UIView& view) {
    return hx_getAssociatedObject<std::shared_ptr<UIView>>(view, &kActivityKey).value_or(nullptr);
}

}  // namespace QVToolbox
