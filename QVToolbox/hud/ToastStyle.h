// ToastStyle, ToastPosition, ToastManager and ToastError: the appearance of a toast, where it
// goes, the shared defaults of the toast engine (Toast.h) and its one error.
//
//   ToastStyle style;                         // the defaults: black at 0.8, white text, 10-point padding
//   style.setMaxWidthPercentage(1.5);         // stored as 1.0 (clamped to 0...1 on every write)
//   ToastManager::shared().setDuration(2);    // the default duration of later toasts
//
// ToastStyle is a value. ToastManager's fields are guarded, so they may be read and written
// from any thread; the toasts themselves live on the main thread.
#pragma once

#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/graphics/TextLayout.h>
#include <QVPlatform/ui/UIColor.h>
#include <QVPlatform/ui/UIFont.h>

#include <exception>
#include <memory>
#include <mutex>

namespace QVToolbox {

enum class ToastPosition { top, center, bottom };

class ToastStyle {
public:
    std::shared_ptr<platform::UIColor> backgroundColor = platform::UIColor::colorWithWhite(0, 0.8);
    std::shared_ptr<platform::UIColor> titleColor = platform::UIColor::whiteColor();
    std::shared_ptr<platform::UIColor> messageColor = platform::UIColor::whiteColor();
    // Fractions of the superview's width / height a toast's text may take; clamped to 0...1.
    double maxWidthPercentage() const { return maxWidthPercentage_; }
    void setMaxWidthPercentage(double v) { maxWidthPercentage_ = clampUnit(v); }
    double maxHeightPercentage() const { return maxHeightPercentage_; }
    void setMaxHeightPercentage(double v) { maxHeightPercentage_ = clampUnit(v); }
    double horizontalPadding = 10.0;
    double verticalPadding = 10.0;
    double cornerRadius = 10.0;
    std::shared_ptr<platform::UIFont> titleFont = platform::UIFont::boldSystemFontOfSize(16);
    std::shared_ptr<platform::UIFont> messageFont = platform::UIFont::systemFontOfSize(16);
    platform::NSTextAlignment titleAlignment = platform::NSTextAlignment::left;
    platform::NSTextAlignment messageAlignment = platform::NSTextAlignment::left;
    int titleNumberOfLines = 0;  // 0: unlimited
    int messageNumberOfLines = 0;
    bool displayShadow = false;
    std::shared_ptr<platform::UIColor> shadowColor = platform::UIColor::blackColor();
    float shadowOpacity() const { return shadowOpacity_; }
    void setShadowOpacity(float v) { shadowOpacity_ = static_cast<float>(clampUnit(v)); }
    double shadowRadius = 6.0;
    platform::CGSize shadowOffset{4.0, 4.0};
    platform::CGSize imageSize{80.0, 80.0};
    platform::CGSize activitySize{100.0, 100.0};
    double fadeDuration = 0.2;  // seconds
    std::shared_ptr<platform::UIColor> activityIndicatorColor = platform::UIColor::whiteColor();
    std::shared_ptr<platform::UIColor> activityBackgroundColor = platform::UIColor::colorWithWhite(0, 0.8);

    // Above 1 gives 1; at or below 0 (and NaN) gives 0.
    static double clampUnit(double v) { return v > 1 ? 1 : (v > 0 ? v : 0); }

private:
    double maxWidthPercentage_ = 0.8;
    double maxHeightPercentage_ = 0.8;
    float shadowOpacity_ = 0.8f;
};

// The shared defaults. Fade durations, tap-to-dismiss, queueing, the vertical padding used for
// placement and the position of dequeued toasts always come from here.
class ToastManager {
public:
    static ToastManager& shared();

    ToastStyle style() const;
    void setStyle(ToastStyle style);
    bool isTapToDismissEnabled() const;
    void setTapToDismissEnabled(bool enabled);
    bool isQueueEnabled() const;
    void setQueueEnabled(bool enabled);
    double duration() const;
    void setDuration(double seconds);
    ToastPosition position() const;
    void setPosition(ToastPosition position);

private:
    ToastManager() = default;
    template <class T>
    T read(const T& field) const {
        std::lock_guard lock(mutex_);
        return field;
    }
    template <class T>
    void write(T& field, T value) {
        std::lock_guard lock(mutex_);
        field = std::move(value);
    }
    mutable std::mutex mutex_;  // guards the fields below
    ToastStyle style_;
    bool tapToDismiss_ = true;
    bool queueEnabled_ = true;
    double duration_ = 3.0;
    ToastPosition position_ = ToastPosition::bottom;
};

// Thrown by toastViewForMessage when message, title and image are all absent.
class ToastError : public std::exception {
public:
    enum class Code { missingParameters };
    explicit ToastError(Code code) : code_(code) {}
    Code code() const { return code_; }
    const char* what() const noexcept override { return "Error: message, title, and image are all nil"; }

private:
    Code code_;
};

}  // namespace QVToolbox
