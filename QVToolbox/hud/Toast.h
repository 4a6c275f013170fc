// The toast engine: small rounded panels with an image, a title and a message that fade in
// over a view (their superview), stay for a duration and fade out; they stack, wait in a
// queue, and an activity panel with a spinner stays until hidden.
//
//   makeToast(*view, "已保存");                                   // bottom, 3 s, the shared style
//   makeToast(*view, "Done", 2.0, ToastPosition::top, "Title");
//   makeToastActivity(*view, ToastPosition::center, "Loading");
//   hideToastActivity(*view);
//
// The state lives on the views as associated values: the superview's active list, queue and
// activity view; each toast's timer, queued duration and point, and completion holder. The
// fades, tap-to-dismiss, queueing, the vertical padding used for placement and the position of
// dequeued toasts come from ToastManager::shared(). The superview receives the messages
// `handleToastTapped:` (the tap) and `qvstoastTimerDidFinish:` (a toast's timer).
// A completion runs once, with true when the toast was tapped.
// Thread rule: main thread only; views must be owned by shared pointers.
#pragma once

#include <QVToolbox/hud/ToastStyle.h>

#include <QVPlatform/ui/UIImage.h>
#include <QVPlatform/ui/UIView.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace QVToolbox {

using ToastCompletion = std::function<void(bool didTap)>;
using ToastText = std::optional<std::string>;

// The tag of a toast's message label.
inline constexpr int kToastMessageTag = 9999;

// Shows (or queues) a toast; absent arguments take the shared manager's values. With message,
// title and image all absent, logs "Error: message, title, and image are all nil" and shows
// nothing.
void makeToast(platform::UIView& view, ToastText message, std::optional<double> duration = std::nullopt,
               std::optional<ToastPosition> position = std::nullopt, ToastText title = std::nullopt,
               std::shared_ptr<platform::UIImage> image = nullptr, std::optional<ToastStyle> style = std::nullopt,
               ToastCompletion completion = nullptr);
// The same centred at `point`; stacking follows the shared manager's position.
void makeToast(platform::UIView& view, ToastText message, double duration, platform::CGPoint point, ToastText title = std::nullopt,
               std::shared_ptr<platform::UIImage> image = nullptr, std::optional<ToastStyle> style = std::nullopt,
               ToastCompletion completion = nullptr);
// Shows a ready-made view as a toast; with a point, the position only steers stacking.
void showToast(platform::UIView& view, const std::shared_ptr<platform::UIView>& toast, std::optional<double> duration = std::nullopt,
               std::optional<ToastPosition> position = std::nullopt, ToastCompletion completion = nullptr);
void showToast(platform::UIView& view, const std::shared_ptr<platform::UIView>& toast, double duration, platform::CGPoint point,
               std::optional<ToastPosition> position = std::nullopt, ToastCompletion completion = nullptr);
// Shows at once: no queue, no fade-in; the timer starts now.
void makeToastImmediately(platform::UIView& view, ToastText message, std::optional<double> duration = std::nullopt,
                          std::optional<ToastPosition> position = std::nullopt, ToastText title = std::nullopt,
                          std::shared_ptr<platform::UIImage> image = nullptr, std::optional<ToastStyle> style = std::nullopt,
                          ToastCompletion completion = nullptr);

// Hides the oldest active toast / `toast` if it is active (completion with false).
void hideToast(platform::UIView& view);
void hideToast(platform::UIView& view, const std::shared_ptr<platform::UIView>& toast);
void hideAllToasts(platform::UIView& view, bool includeActivity = false, bool clearQueue = true);
void clearToastQueue(platform::UIView& view);
// Removes every toast and the activity panel at once; no queued toast follows.
void hideAllToastsImmediately(platform::UIView& view);

// The activity panel; nothing while one is shown.
void makeToastActivity(platform::UIView& view, ToastPosition position);
void makeToastActivity(platform::UIView& view, ToastPosition position, const std::string& text);
void makeToastActivity(platform::UIView& view, platform::CGPoint point);
void hideToastActivity(platform::UIView& view);

// The panel for a toast laid out within `view`'s size. Throws ToastError::missingParameters.
std::shared_ptr<platform::UIView> toastViewForMessage(const platform::UIView& view, ToastText message, ToastText title,
                                                      std::shared_ptr<platform::UIImage> image, const ToastStyle& style);
// Where a toast of `toast`'s size is centred for `position` inside `view`'s safe area.
platform::CGPoint toastCenterPoint(const platform::UIView& view, ToastPosition position, const platform::UIView& toast);

// The engine's state on `view`, for hosts and tests.
std::vector<std::shared_ptr<platform::UIView>> activeToasts(const platform::UIView& view);
std::vector<std::shared_ptr<platform::UIView>> queuedToasts(const platform::UIView& view);
std::shared_ptr<platform::UIView> toastActivityView(const platform::UIView& view);

}  // namespace QVToolbox
