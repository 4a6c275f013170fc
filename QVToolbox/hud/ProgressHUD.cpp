#include <QVToolbox/hud/ProgressHUD.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/base/Text.h>
#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/layers/CAAnimation.h>
#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/ui/UIActivityIndicatorView.h>
#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UIGestureRecognizer.h>
#include <QVPlatform/ui/UIScreen.h>
#include <QVPlatform/ui/UIViewAnimation.h>

#include <algorithm>
#include <cmath>
#include <string_view>

namespace QVToolbox {

using namespace platform;

namespace {

constexpr double kFade = 0.15;
constexpr UIViewAnimationOptions kFadeOptions = UIViewAnimationOptions::curveEaseIn | UIViewAnimationOptions::allowUserInteraction;
constexpr double kBannerSlide = 0.25;
constexpr double kBannerHiddenY = -100;

std::mutex& appearanceMutex() {
    static std::mutex m;
    return m;
}
// Guarded by appearanceMutex(): the appearance as the main thread last applied it.
ProgressHUDAppearance& appliedAppearance() {
    static ProgressHUDAppearance a;
    return a;
}

template <class V>
void drop(std::shared_ptr<V>& view) {
    if (view) view->removeFromSuperview();
    view.reset();
}

std::shared_ptr<UIImage> emptyImage() {
    static const auto image = UIImage::imageWithBitmap(Bitmap{});
    return image;
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// The platform's keyboard: the height of the input host view that is on screen, or 0.
double measuredKeyboardHeight() {
    const CGRect screen = UIScreen::main()->bounds();
    for (const auto& window : UIApplication::shared()->windows()) {
        for (const auto& container : window->subviews()) {
            if (!startsWith(container->className(), "UIInputSetContainerView")) continue;
            for (const auto& host : container->subviews()) {
                if (!startsWith(host->className(), "UIInputSetHostView")) continue;
                const CGRect inWindow = host->convertRect(host->bounds(), nullptr);
                if (CGRectIntersectsRect(inWindow, screen)) return inWindow.size.height;
            }
        }
    }
    return 0;
}

}  // namespace

double autoDismissDelay(const std::optional<std::string>& text, std::optional<double> delay) {
    if (delay) return *delay;
    return 1.25 + 0.03 * static_cast<double>(text ? characterCount(*text) : 0);
}

// --- Class level ---

void ProgressHUD::post(std::function<void(ProgressHUD&)> work) {
    DispatchQueue::main()->async([work = std::move(work)] { work(*shared()); });
}
void ProgressHUD::post(Show show) {
    post([show = std::move(show)](ProgressHUD& hud) { hud.show(show); });
}

void ProgressHUD::animate(Text text, bool interaction) { post(Show{Media::animation, std::move(text), interaction}); }
void ProgressHUD::animate(Text text, AnimationType type, bool interaction) {
    setAnimationType(type);
    animate(std::move(text), interaction);
}
void ProgressHUD::animate(Text text, std::string symbol, bool interaction) {
    configure([symbol = std::move(symbol)](ProgressHUDAppearance& a) {
        a.animationType = AnimationType::sfSymbolBounce;
        a.animationSymbol = symbol;
    });
    animate(std::move(text), interaction);
}
void ProgressHUD::progress(double value, bool interaction) { progress(std::nullopt, value, interaction); }
void ProgressHUD::progress(Text text, double value, bool interaction) {
    Show s{Media::progress, std::move(text), interaction};
    s.value = value;
    post(std::move(s));
}
void ProgressHUD::liveIcon(Text text, LiveIcon icon, bool interaction, Delay delay) {
    Show s{Media::liveIcon, std::move(text), interaction};
    s.icon = icon;
    s.delay = delay;
    post(std::move(s));
}
void ProgressHUD::succeed(Text text, bool interaction, Delay delay) { liveIcon(std::move(text), LiveIcon::succeed, interaction, delay); }
void ProgressHUD::failed(Text text, bool interaction, Delay delay) { liveIcon(std::move(text), LiveIcon::failed, interaction, delay); }
void ProgressHUD::failed(const std::exception* error, bool interaction, Delay delay) {
    liveIcon(error ? Text(error->what()) : std::nullopt, LiveIcon::failed, interaction, delay);
}
void ProgressHUD::added(Text text, bool interaction, Delay delay) { liveIcon(std::move(text), LiveIcon::added, interaction, delay); }
void ProgressHUD::image(Text text, std::shared_ptr<UIImage> picture, bool interaction, Delay delay) {
    stillImage(std::move(text), std::move(picture), interaction, delay, Show::Fallback::none);
}
void ProgressHUD::success(Text text, std::shared_ptr<UIImage> picture, bool interaction, Delay delay) {
    stillImage(std::move(text), std::move(picture), interaction, delay, Show::Fallback::success);
}
void ProgressHUD::error(Text text, std::shared_ptr<UIImage> picture, bool interaction, Delay delay) {
    stillImage(std::move(text), std::move(picture), interaction, delay, Show::Fallback::error);
}
void ProgressHUD::stillImage(Text text, std::shared_ptr<UIImage> picture, bool interaction, Delay delay, Show::Fallback fallback) {
    Show s{Media::image, std::move(text), interaction};
    s.picture = std::move(picture);
    s.delay = delay;
    if (!s.picture) s.fallback = fallback;
    post(std::move(s));
}
void ProgressHUD::error(const std::exception* e, std::shared_ptr<UIImage> picture, bool interaction, Delay delay) {
    error(e ? Text(e->what()) : std::nullopt, std::move(picture), interaction, delay);
}
void ProgressHUD::banner(Text title, Text message, double delay) {
    post([title = std::move(title), message = std::move(message), delay](ProgressHUD& hud) { hud.showBanner(title, message, delay); });
}
void ProgressHUD::bannerHide() {
    post([](ProgressHUD& hud) { hud.hideBanner(hud.viewBanner_); });
}
void ProgressHUD::dismiss() {
    post([](ProgressHUD& hud) { hud.dismissNow(); });
}
void ProgressHUD::remove() {
    post([](ProgressHUD& hud) { hud.removeNow(); });
}

ProgressHUDAppearance ProgressHUD::appearance() {
    std::lock_guard lock(appearanceMutex());
    return appliedAppearance();
}
void ProgressHUD::configure(std::function<void(ProgressHUDAppearance&)> change) {
    DispatchQueue::main()->async([change = std::move(change)] {
        std::lock_guard lock(appearanceMutex());
        change(appliedAppearance());
    });
}

const std::shared_ptr<ProgressHUD>& ProgressHUD::shared() {
    assertMainThread("ProgressHUD::shared");
    static const auto instance = std::make_shared<ProgressHUD>();
    return instance;
}

ProgressHUD::ProgressHUD() : NSObjectSubclass(UIScreen::main()->bounds()) { setAlpha(0); }

ProgressHUD::~ProgressHUD() {
    for (const auto& token : observers_) NSNotificationCenter::defaultCenter().removeObserver(token);
    NSNotificationCenter::defaultCenter().removeObserver(observerBanner_);
}

// --- Showing ---

std::shared_ptr<UIWindow> ProgressHUD::window() {
    auto window = main_.lock();
    if (!window) {
        const auto windows = UIApplication::shared()->windows();
        if (!windows.empty()) window = windows.front();
        main_ = window;
    }
    if (!window) debugPrint("ProgressHUD: no window to show in; nothing done");
    return window;
}

void ProgressHUD::show(const Show& s) {
    look_ = appearance();
    if (timerHUD_) timerHUD_->invalidate();
    timerHUD_.reset();
    const auto host = window();
    if (!host) return;
    cancelDismissal();
    setupBackdropAndPanel(*host, s);
    setupStatus(s);
    removeUnusedMedia(s.media);
    buildMedia(s);
    startDismissTimer(s);
    layoutPanel(s);
    setupNotifications();
    position(nullptr);
    display();
}

void ProgressHUD::setupBackdropAndPanel(UIWindow& host, const Show& s) {
    if (!viewBackground_) {
        viewBackground_ = std::make_shared<UIView>(bounds());
        host.addSubview(viewBackground_);
    }
    viewBackground_->setBackgroundColor(s.interaction ? UIColor::clearColor() : look_.colorBackground);
    viewBackground_->setUserInteractionEnabled(!s.interaction);
    if (!toolbarHUD_) {
        toolbarHUD_ = std::make_shared<UIView>();
        toolbarHUD_->layer()->setCornerRadius(10);
        toolbarHUD_->setClipsToBounds(true);
        viewBackground_->addSubview(toolbarHUD_);
    }
    toolbarHUD_->setBackgroundColor(look_.colorHUD);
}

void ProgressHUD::setupStatus(const Show& s) {
    if (!labelStatus_) {
        labelStatus_ = std::make_shared<UILabel>();
        labelStatus_->setTextAlignment(NSTextAlignment::center);
        labelStatus_->setNumberOfLines(0);
        toolbarHUD_->addSubview(labelStatus_);
    }
    labelStatus_->setText(s.text.value_or(""));
    labelStatus_->setFont(look_.fontStatus);
    labelStatus_->setTextColor(look_.colorStatus);
    labelStatus_->setHidden(!s.text);
}

void ProgressHUD::removeUnusedMedia(Media media) {
    if (media != Media::liveIcon) drop(viewLiveIcon_);
    if (media != Media::image) drop(viewStaticImage_);
    if (media != Media::progress) drop(viewProgress_);
    if (media != Media::animation) drop(viewAnimation_);
}

void ProgressHUD::buildMedia(const Show& s) {
    const CGRect square{{0, 0}, {look_.mediaSize, look_.mediaSize}};
    switch (s.media) {
        case Media::animation:
            if (!viewAnimation_) {
                viewAnimation_ = std::make_shared<UIView>(square);
                toolbarHUD_->addSubview(viewAnimation_);
            }
            buildAnimation();
            return;
        case Media::progress:
            if (!viewProgress_) {
                viewProgress_ = std::make_shared<ProgressView>(square, look_.colorProgress);
                toolbarHUD_->addSubview(viewProgress_);
            }
            viewProgress_->setProgress(s.value);
            return;
        case Media::liveIcon:
            if (!viewLiveIcon_) {
                viewLiveIcon_ = std::make_shared<UIView>(square);
                toolbarHUD_->addSubview(viewLiveIcon_);
            }
            buildLiveIcon(s.icon);
            return;
        case Media::image:
            if (!viewStaticImage_) {
                viewStaticImage_ = std::make_shared<UIImageView>(square);
                viewStaticImage_->setContentMode(UIViewContentMode::scaleAspectFit);
                toolbarHUD_->addSubview(viewStaticImage_);
            }
            if (s.fallback == Show::Fallback::none) viewStaticImage_->setImage(s.picture);
            else {
                const auto& fallback = s.fallback == Show::Fallback::success ? look_.imageSuccess : look_.imageError;
                viewStaticImage_->setImage(fallback ? fallback : emptyImage());
            }
            return;
    }
}

void ProgressHUD::buildAnimation() {
    while (!viewAnimation_->subviews().empty()) viewAnimation_->subviews().back()->removeFromSuperview();
    viewAnimation_->layer()->setSublayers({});
    const AnimationType type = look_.animationType;
    if (type == AnimationType::activityIndicator) {
        auto spinner = std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::large);
        spinner->setFrame(viewAnimation_->bounds());
        spinner->setColor(look_.colorAnimation);
        spinner->setHidesWhenStopped(true);
        spinner->startAnimating();
        viewAnimation_->addSubview(spinner);
        return;
    }
    addAnimationContent(type, *viewAnimation_->layer(), viewAnimation_->bounds().size.width, look_.colorAnimation->cgColor());
}

void ProgressHUD::buildLiveIcon(LiveIcon icon) {
    viewLiveIcon_->layer()->setSublayers({});
    const double w = viewLiveIcon_->bounds().size.width;
    const double later = isShowing() ? 0 : 0.25;  // still to fade in: start after the fade
    auto stroke = [&](std::vector<CGPoint> points, double duration, double begin) {
        CGMutablePath p;
        p.moveTo(points.front());
        for (std::size_t i = 1; i < points.size(); ++i) p.addLineTo(points[i]);
        auto layer = CAShapeLayer::layer();
        layer->setPath(p.copy());
        layer->setLineWidth(9);
        layer->setLineCap(kCALineCapRound);
        layer->setLineJoin(kCALineJoinRound);
        layer->setFillColor(std::nullopt);
        layer->setStrokeColor(look_.colorAnimation->cgColor());
        layer->setStrokeEnd(0);
        CABasicAnimation draw("strokeEnd");
        draw.fromValue = 0.0;
        draw.toValue = 1.0;
        draw.duration = duration;
        draw.beginTime = CACurrentMediaTime() + begin + later;
        draw.fillMode = CAFillMode::forwards;
        draw.removedOnCompletion = false;
        layer->addAnimation(draw, "animation");
        viewLiveIcon_->layer()->addSublayer(layer);
    };
    switch (icon) {
        case LiveIcon::succeed:
            stroke({{0.15 * w, 0.5 * w}, {0.5 * w, 0.8 * w}, {w, 0.25 * w}}, 0.25, 0);
            return;
        case LiveIcon::failed:
            stroke({{0.15 * w, 0.15 * w}, {0.85 * w, 0.85 * w}}, 0.15, 0);
            stroke({{0.15 * w, 0.85 * w}, {0.85 * w, 0.15 * w}}, 0.15, 0.25);
            return;
        case LiveIcon::added:
            stroke({{0.1 * w, 0.5 * w}, {0.9 * w, 0.5 * w}}, 0.15, 0);
            stroke({{0.5 * w, 0.1 * w}, {0.5 * w, 0.9 * w}}, 0.15, 0.25);
            return;
    }
}

void ProgressHUD::startDismissTimer(const Show& s) {
    if (s.media != Media::liveIcon && s.media != Media::image) return;
    std::weak_ptr<ProgressHUD> weak = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    timerHUD_ = Timer::scheduledTimer(autoDismissDelay(s.text, s.delay), false, [weak](Timer&) {
        if (auto hud = weak.lock(); hud && hud->isShowing()) hud->dismissNow();
    });
}

void ProgressHUD::layoutPanel(const Show& s) {
    const double media = look_.mediaSize, margin = look_.marginSize;
    const double side = media + 2 * margin;
    const bool textOnly = s.media == Media::animation && look_.animationType == AnimationType::none;
    auto placeMedia = [&](CGPoint centre) {
        for (UIView* v : std::initializer_list<UIView*>{viewProgress_.get(), viewLiveIcon_.get(), viewStaticImage_.get(),
                                                         viewAnimation_.get()})
            if (v) v->setCenter(centre);
    };
    if (!s.text) {
        toolbarHUD_->setBounds({{0, 0}, {std::ceil(side), std::ceil(side)}});
        placeMedia({side / 2, side / 2});
        labelStatus_->setFrame({});
        return;
    }
    const CGSize t = boundingRect(*s.text, {250, 250}, NSStringDrawingOptions::usesLineFragmentOrigin, {look_.fontStatus}).size;
    const double w = std::max(side, t.width + 2 * margin);
    if (textOnly) {
        const double h = std::max(side, t.height + 2 * margin);
        toolbarHUD_->setBounds({{0, 0}, {std::ceil(w), std::ceil(h)}});
        labelStatus_->setFrame({{(w - t.width) / 2, (h - t.height) / 2}, t});
        return;
    }
    const double h = std::max(side, media + t.height + 2 * margin);
    toolbarHUD_->setBounds({{0, 0}, {std::ceil(w), std::ceil(h)}});
    placeMedia({w / 2, media / 2 + margin});
    labelStatus_->setFrame({{(w - t.width) / 2, (media + margin) / 2 + (h - t.height) / 2}, t});
}

void ProgressHUD::setupNotifications() {
    if (didSetupNotifications_) return;
    didSetupNotifications_ = true;
    std::weak_ptr<ProgressHUD> weak = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    for (const std::string* name :
         {&platform::UIKeyboardWillShowNotification, &platform::UIKeyboardWillHideNotification,
          &platform::UIKeyboardDidShowNotification, &platform::UIKeyboardDidHideNotification,
          &platform::UIDeviceOrientationDidChangeNotification}) {
        observers_.push_back(NSNotificationCenter::defaultCenter().addObserver(*name, nullptr, [weak](const NSNotification& n) {
            if (auto hud = weak.lock()) hud->position(&n);
        }));
    }
}

void ProgressHUD::position(const NSNotification* n) {
    double keyboard = 0, duration = 0;
    if (n && (n->name == platform::UIKeyboardWillShowNotification || n->name == platform::UIKeyboardDidShowNotification)) {
        keyboard = n->userInfo[platform::UIKeyboardFrameEndUserInfoKey]["height"].doubleValue();
        duration = n->userInfo[platform::UIKeyboardAnimationDurationUserInfoKey].doubleValue();
    } else if (!n || n->name == platform::UIDeviceOrientationDidChangeNotification) {
        keyboard = measuredKeyboardHeight();
    }
    if (!std::isfinite(keyboard)) keyboard = 0;
    if (!std::isfinite(duration) || duration < 0) duration = 0;
    std::weak_ptr<ProgressHUD> weak = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    DispatchQueue::main()->async([weak, keyboard, duration] {
        auto hud = weak.lock();
        const auto host = hud ? hud->main_.lock() : nullptr;
        if (!host || !hud->viewBackground_ || !hud->toolbarHUD_) return;
        const CGRect b = host->bounds();
        hud->viewBackground_->setFrame(b);
        const CGPoint centre{b.size.width / 2, (b.size.height - keyboard) / 2};
        if (duration <= 0) return hud->toolbarHUD_->setCenter(centre);
        UIView::animate(duration, 0, UIViewAnimationOptions::allowUserInteraction, [&] { hud->toolbarHUD_->setCenter(centre); });
    });
}

void ProgressHUD::display() {
    if (isShowing()) return;
    setAlpha(1);
    toolbarHUD_->setAlpha(0);
    UIView::animate(kFade, 0, kFadeOptions, [this] { toolbarHUD_->setAlpha(1); });
}

// A show during the dismissal keeps the HUD: the dismissal's end then does nothing.
void ProgressHUD::cancelDismissal() {
    if (!dismissing_) return;
    dismissing_ = false;
    ++dismissal_;
    if (toolbarHUD_) {
        toolbarHUD_->layer()->removeAnimation("opacity");
        toolbarHUD_->layer()->removeAnimation("transform");
        toolbarHUD_->setTransform(CGAffineTransform::identity());
        toolbarHUD_->setAlpha(1);
    }
}

void ProgressHUD::dismissNow() {
    if (!isShowing() || dismissing_ || !toolbarHUD_) return;
    dismissing_ = true;
    const unsigned token = ++dismissal_;
    std::weak_ptr<ProgressHUD> weak = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    UIView::animate(kFade, 0, kFadeOptions,
                         [this] {
                             toolbarHUD_->setTransform(CGAffineTransformMakeScale(0.3, 0.3));
                             toolbarHUD_->setAlpha(0);
                         },
                         [weak, token](bool) {
                             auto hud = weak.lock();
                             if (!hud || hud->dismissal_ != token) return;
                             hud->destroy();
                             hud->setAlpha(0);
                         });
}

void ProgressHUD::removeNow() {
    if (isShowing() && toolbarHUD_) toolbarHUD_->setAlpha(0);
    destroy();
    setAlpha(0);
}

void ProgressHUD::destroy() {
    dismissing_ = false;
    ++dismissal_;
    if (timerHUD_) timerHUD_->invalidate();
    timerHUD_.reset();
    if (didSetupNotifications_) {
        for (const auto& token : observers_) NSNotificationCenter::defaultCenter().removeObserver(token);
        observers_.clear();
        didSetupNotifications_ = false;
    }
    drop(viewLiveIcon_);
    drop(viewStaticImage_);
    drop(viewProgress_);
    drop(viewAnimation_);
    drop(labelStatus_);
    drop(toolbarHUD_);
    drop(viewBackground_);
}

// --- Banner ---

void ProgressHUD::removeBanner() {
    NSNotificationCenter::defaultCenter().removeObserver(observerBanner_);
    observerBanner_.reset();
    drop(labelBannerMessage_);
    drop(labelBannerTitle_);
    drop(viewBanner_);
}

void ProgressHUD::showBanner(Text title, Text message, double delay) {
    look_ = appearance();
    const auto host = window();
    if (!host) return;
    removeBanner();  // also the old banner's orientation observer
    textBannerTitle_ = title.value_or("");
    textBannerMessage_ = message.value_or("");
    viewBanner_ = std::make_shared<UIView>();
    viewBanner_->setClipsToBounds(true);
    viewBanner_->layer()->setCornerRadius(10);
    viewBanner_->setBackgroundColor(look_.colorBanner);
    labelBannerTitle_ = std::make_shared<UILabel>();
    labelBannerTitle_->setFont(look_.fontBannerTitle);
    labelBannerTitle_->setTextColor(look_.colorBannerTitle);
    labelBannerTitle_->setText(textBannerTitle_);
    labelBannerMessage_ = std::make_shared<UILabel>();
    labelBannerMessage_->setFont(look_.fontBannerMessage);
    labelBannerMessage_->setTextColor(look_.colorBannerMessage);
    labelBannerMessage_->setText(textBannerMessage_);
    layoutBanner();
    host->addSubview(viewBanner_);
    viewBanner_->addSubview(labelBannerTitle_);
    viewBanner_->addSubview(labelBannerMessage_);

    const CGRect frame = viewBanner_->frame();
    viewBanner_->setFrame({{frame.origin.x, kBannerHiddenY}, frame.size});
    const auto banner = viewBanner_;
    UIView::animate(kBannerSlide, [&] { banner->setFrame(frame); });

    if (timerBanner_) timerBanner_->invalidate();
    std::weak_ptr<ProgressHUD> weak = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    std::weak_ptr<UIView> shown = banner;
    timerBanner_ = Timer::scheduledTimer(delay, false, [weak, shown](Timer&) {
        if (auto hud = weak.lock()) hud->hideBanner(shown.lock());
    });
    banner->addGestureRecognizer(std::make_shared<UITapGestureRecognizer>([weak, shown](UIGestureRecognizer&) {
        if (auto hud = weak.lock()) hud->hideBanner(shown.lock());
    }));
    observerBanner_ = NSNotificationCenter::defaultCenter().addObserver(
        platform::UIDeviceOrientationDidChangeNotification, DispatchQueue::main(), [weak, shown](const NSNotification&) {
            DispatchQueue::main()->async([weak, shown] {
                auto hud = weak.lock();
                if (hud && hud->viewBanner_ && hud->viewBanner_ == shown.lock()) hud->layoutBanner();
            });
        });
}

void ProgressHUD::layoutBanner() {
    const auto host = main_.lock();
    if (!host || !viewBanner_) return;
    const double width = host->bounds().size.width;
    const double tw = width - 64;
    const auto font = look_.fontBannerMessage;
    const double measured = boundingRect(textBannerMessage_, {tw, 0},
                                         NSStringDrawingOptions::usesLineFragmentOrigin | NSStringDrawingOptions::usesFontLeading,
                                         {font})
                                .size.height;
    const bool twoLines = measured > font->lineHeight();
    viewBanner_->setFrame({{16, host->safeAreaInsets().top}, {width - 32, twoLines ? 80.0 : 64.0}});
    labelBannerTitle_->setFrame({{16, 8}, {tw, 24}});
    // 40 points hold two lines of the platform's 14-point font; our font's lines are a little
    // taller, so the label grows just enough to keep its second line.
    const double twoLineHeight = std::max(40.0, std::ceil(2 * font->lineHeight()));
    labelBannerMessage_->setFrame({{16, 32}, {tw, twoLines ? twoLineHeight : 20.0}});
    labelBannerMessage_->setNumberOfLines(twoLines ? 2 : 1);
}

// Hides `banner` if it is still the one shown: a newer banner is never removed by an older
// banner's timer, tap or slide.
void ProgressHUD::hideBanner(const std::shared_ptr<UIView>& banner) {
    if (!banner || banner != viewBanner_) return;
    NSNotificationCenter::defaultCenter().removeObserver(observerBanner_);
    observerBanner_.reset();
    const CGRect frame = banner->frame();
    std::weak_ptr<ProgressHUD> weak = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    std::weak_ptr<UIView> hidden = banner;
    UIView::animate(kBannerSlide,
                         [&] { banner->setFrame({{frame.origin.x, kBannerHiddenY}, frame.size}); },
                         [weak, hidden](bool) {
                             auto hud = weak.lock();
                             if (hud && hud->viewBanner_ && hud->viewBanner_ == hidden.lock()) hud->removeBanner();
                         });
}

}  // namespace QVToolbox
