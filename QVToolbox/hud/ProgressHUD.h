// ProgressHUD: the application-wide heads-up display: a rounded panel centred over the first
// window with a status text and one kind of media (a looping animation, a circular gauge, an
// animated check / cross / plus, or a still image), plus an independent top banner.
//
//   ProgressHUD::animate("Loading", AnimationType::circleStrokeSpin);   // stays until dismissed
//   ProgressHUD::progress("Upload", 0.456);                             // gauge showing "45%"
//   ProgressHUD::succeed("Done");                // dismisses itself after 1.25 s + 0.03 s a character
//   ProgressHUD::banner("Title", "Message", 3);
//   ProgressHUD::dismiss();
//
// Every class-level operation and property write returns at once and is applied later on the
// main thread, in call order, to the one shared instance (created there on first use). A show
// while shown keeps the panel and replaces the media and text; only the first fades in. A show
// during the 0.15 s dismissal cancels it. With no window, an operation does nothing and says so
// on the debug channel. The panel follows the keyboard and orientation notifications.
// Thread rule: class-level members from any thread; `shared()` and instance members on the
// main thread only.
#pragma once

#include <QVToolbox/hud/AnimationType.h>
#include <QVToolbox/hud/ProgressView.h>

#include <QVPlatform/ui/UIKeyboard.h>
#include <QVPlatform/dispatch/Timer.h>
#include <QVPlatform/foundation/NotificationCenter.h>
#include <QVPlatform/ui/UIFont.h>
#include <QVPlatform/ui/UIImage.h>
#include <QVPlatform/ui/UIImageView.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIWindow.h>

#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace QVToolbox {

enum class LiveIcon { succeed, failed, added };

// The HUD's appearance; each field takes effect on the next show.
struct ProgressHUDAppearance {
    double mediaSize = 50;
    double marginSize = 30;
    AnimationType animationType = AnimationType::activityIndicator;
    std::string animationSymbol = "sun.max";
    std::shared_ptr<platform::UIColor> colorBackground = platform::UIColor::colorWithWhite(0, 0.2);
    std::shared_ptr<platform::UIColor> colorHUD = platform::UIColor::grayColor();
    std::shared_ptr<platform::UIColor> colorStatus = platform::UIColor::blackColor();
    std::shared_ptr<platform::UIColor> colorProgress = platform::UIColor::lightGrayColor();
    std::shared_ptr<platform::UIColor> colorAnimation = platform::UIColor::lightGrayColor();
    std::shared_ptr<platform::UIFont> fontStatus = platform::UIFont::boldSystemFontOfSize(24);
    std::shared_ptr<platform::UIImage> imageSuccess;  // absent: an empty image
    std::shared_ptr<platform::UIImage> imageError;
    std::shared_ptr<platform::UIColor> colorBanner = platform::UIColor::clearColor();
    std::shared_ptr<platform::UIColor> colorBannerTitle = platform::UIColor::blackColor();
    std::shared_ptr<platform::UIFont> fontBannerTitle = platform::UIFont::boldSystemFontOfSize(16);
    std::shared_ptr<platform::UIColor> colorBannerMessage = platform::UIColor::blackColor();
    std::shared_ptr<platform::UIFont> fontBannerMessage = platform::UIFont::systemFontOfSize(14);
};

class ProgressHUD : public platform::NSObjectSubclass<ProgressHUD, platform::UIView, "ProgressHUD"> {
public:
    using Text = std::optional<std::string>;
    using Delay = std::optional<double>;

    // --- Class-level operations (any thread; applied on the main thread in order) ---
    static void animate(Text text = std::nullopt, bool interaction = false);
    static void animate(Text text, AnimationType type, bool interaction = false);
    static void animate(Text text, std::string symbol, bool interaction = false);
    static void progress(double value, bool interaction = false);
    static void progress(Text text, double value, bool interaction = false);
    static void liveIcon(Text text, LiveIcon icon, bool interaction = false, Delay delay = std::nullopt);
    static void succeed(Text text = std::nullopt, bool interaction = false, Delay delay = std::nullopt);
    static void failed(Text text = std::nullopt, bool interaction = false, Delay delay = std::nullopt);
    static void failed(const std::exception* error, bool interaction = false, Delay delay = std::nullopt);
    static void added(Text text = std::nullopt, bool interaction = false, Delay delay = std::nullopt);
    static void image(Text text, std::shared_ptr<platform::UIImage> image, bool interaction = false, Delay delay = std::nullopt);
    static void success(Text text, std::shared_ptr<platform::UIImage> image = nullptr, bool interaction = false, Delay delay = std::nullopt);
    static void error(Text text, std::shared_ptr<platform::UIImage> image = nullptr, bool interaction = false, Delay delay = std::nullopt);
    static void error(const std::exception* error, std::shared_ptr<platform::UIImage> image = nullptr, bool interaction = false,
                      Delay delay = std::nullopt);
    static void banner(Text title, Text message, double delay = 3);
    static void bannerHide();
    static void dismiss();
    static void remove();

    // --- Class-level appearance: reads see the last applied write ---
    static ProgressHUDAppearance appearance();
    // Applies `change` to the appearance on the main thread, in order with the operations.
    static void configure(std::function<void(ProgressHUDAppearance&)> change);
    static double mediaSize() { return appearance().mediaSize; }
    static void setMediaSize(double v) { configure([v](auto& a) { a.mediaSize = v; }); }
    static double marginSize() { return appearance().marginSize; }
    static void setMarginSize(double v) { configure([v](auto& a) { a.marginSize = v; }); }
    static AnimationType animationType() { return appearance().animationType; }
    static void setAnimationType(AnimationType v) { configure([v](auto& a) { a.animationType = v; }); }
    static std::string animationSymbol() { return appearance().animationSymbol; }
    static void setAnimationSymbol(std::string v) { configure([v](auto& a) { a.animationSymbol = v; }); }
    static void setColorBackground(std::shared_ptr<platform::UIColor> v) { configure([v](auto& a) { a.colorBackground = v; }); }
    static void setColorHUD(std::shared_ptr<platform::UIColor> v) { configure([v](auto& a) { a.colorHUD = v; }); }
    static void setColorStatus(std::shared_ptr<platform::UIColor> v) { configure([v](auto& a) { a.colorStatus = v; }); }
    static void setColorProgress(std::shared_ptr<platform::UIColor> v) { configure([v](auto& a) { a.colorProgress = v; }); }
    static void setColorAnimation(std::shared_ptr<platform::UIColor> v) { configure([v](auto& a) { a.colorAnimation = v; }); }
    static void setFontStatus(std::shared_ptr<platform::UIFont> v) { configure([v](auto& a) { a.fontStatus = v; }); }
    static void setImageSuccess(std::shared_ptr<platform::UIImage> v) { configure([v](auto& a) { a.imageSuccess = v; }); }
    static void setImageError(std::shared_ptr<platform::UIImage> v) { configure([v](auto& a) { a.imageError = v; }); }
    static void setColorBanner(std::shared_ptr<platform::UIColor> v) { configure([v](auto& a) { a.colorBanner = v; }); }
    static void setColorBannerTitle(std::shared_ptr<platform::UIColor> v) { configure([v](auto& a) { a.colorBannerTitle = v; }); }
    static void setFontBannerTitle(std::shared_ptr<platform::UIFont> v) { configure([v](auto& a) { a.fontBannerTitle = v; }); }
    static void setColorBannerMessage(std::shared_ptr<platform::UIColor> v) { configure([v](auto& a) { a.colorBannerMessage = v; }); }
    static void setFontBannerMessage(std::shared_ptr<platform::UIFont> v) { configure([v](auto& a) { a.fontBannerMessage = v; }); }

    // --- The shared instance (main thread) ---
    static const std::shared_ptr<ProgressHUD>& shared();
    ProgressHUD();
    ~ProgressHUD() override;

    bool isShowing() const { return alpha() >= 1; }
    std::shared_ptr<platform::UIWindow> mainWindow() const { return main_.lock(); }
    const std::shared_ptr<platform::UIView>& viewBackground() const { return viewBackground_; }
    const std::shared_ptr<platform::UIView>& toolbarHUD() const { return toolbarHUD_; }
    const std::shared_ptr<platform::UILabel>& labelStatus() const { return labelStatus_; }
    const std::shared_ptr<ProgressView>& viewProgress() const { return viewProgress_; }
    const std::shared_ptr<platform::UIView>& viewLiveIcon() const { return viewLiveIcon_; }
    const std::shared_ptr<platform::UIImageView>& viewStaticImage() const { return viewStaticImage_; }
    const std::shared_ptr<platform::UIView>& viewAnimation() const { return viewAnimation_; }
    const std::shared_ptr<platform::UIView>& viewBanner() const { return viewBanner_; }
    const std::shared_ptr<platform::UILabel>& labelBannerTitle() const { return labelBannerTitle_; }
    const std::shared_ptr<platform::UILabel>& labelBannerMessage() const { return labelBannerMessage_; }
    const std::shared_ptr<platform::Timer>& timerHUD() const { return timerHUD_; }
    const std::shared_ptr<platform::Timer>& timerBanner() const { return timerBanner_; }

private:
    enum class Media { animation, progress, liveIcon, image };
    struct Show {
        Media media;
        Text text;
        bool interaction = false;
        double value = 0;                             // progress
        LiveIcon icon = LiveIcon::succeed;            // liveIcon
        std::shared_ptr<platform::UIImage> picture;  // image
        Delay delay;
        // For success / error without an image: the appearance's image, read when the show is
        // applied, so that a setImageSuccess / setImageError queued before it counts.
        enum class Fallback { none, success, error } fallback = Fallback::none;
    };
    static void post(std::function<void(ProgressHUD&)> work);
    static void post(Show show);
    // An image show; without a picture, `fallback` names the appearance image to use.
    static void stillImage(Text text, std::shared_ptr<platform::UIImage> picture, bool interaction, Delay delay,
                           Show::Fallback fallback);

    void show(const Show& show);
    std::shared_ptr<platform::UIWindow> window();
    void setupBackdropAndPanel(platform::UIWindow& window, const Show& show);
    void setupStatus(const Show& show);
    void removeUnusedMedia(Media media);
    void buildMedia(const Show& show);
    void buildAnimation();
    void buildLiveIcon(LiveIcon icon);
    void startDismissTimer(const Show& show);
    void layoutPanel(const Show& show);
    void setupNotifications();
    void position(const platform::NSNotification* notification);
    void display();
    void cancelDismissal();
    void dismissNow();
    void removeNow();
    void destroy();

    void showBanner(Text title, Text message, double delay);
    void layoutBanner();
    void hideBanner(const std::shared_ptr<platform::UIView>& banner);
    void removeBanner();

    std::weak_ptr<platform::UIWindow> main_;
    ProgressHUDAppearance look_;  // the applied appearance (main thread)
    std::shared_ptr<platform::UIView> viewBanner_;
    std::shared_ptr<platform::Timer> timerBanner_;
    platform::NSNotificationCenter::ObserverToken observerBanner_;
    std::string textBannerTitle_, textBannerMessage_;
    std::shared_ptr<platform::UILabel> labelBannerTitle_, labelBannerMessage_;
    std::shared_ptr<platform::Timer> timerHUD_;
    std::shared_ptr<platform::UIView> viewBackground_;
    std::shared_ptr<platform::UIView> toolbarHUD_;
    std::shared_ptr<platform::UILabel> labelStatus_;
    std::shared_ptr<ProgressView> viewProgress_;
    std::shared_ptr<platform::UIView> viewLiveIcon_;
    std::shared_ptr<platform::UIImageView> viewStaticImage_;
    std::shared_ptr<platform::UIView> viewAnimation_;
    std::vector<platform::NSNotificationCenter::ObserverToken> observers_;
    bool didSetupNotifications_ = false;
    bool dismissing_ = false;
    unsigned dismissal_ = 0;  // counts dismissals, so a cancelled one does nothing when it ends
};

// The automatic dismissal delay of a live icon or image: `delay`, or 1.25 s plus 0.03 s per
// user-perceived character of the text.
double autoDismissDelay(const std::optional<std::string>& text, std::optional<double> delay);

}  // namespace QVToolbox
