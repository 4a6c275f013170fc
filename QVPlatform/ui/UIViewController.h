// UIViewController: manages one view and its appearance, and presents other controllers.
//
//   class Home : public NSObjectSubclass<Home, UIViewController, "Home"> {
//       void viewDidLoad() override { view()->setBackgroundColor(UIColor::white()); }
//   };
//   window->setRootViewController(std::make_shared<Home>());   // its view fills the window
//   home->present(alert, true, [] { shown(); });              // full screen, no transition
//   RunLoop::main().runUntilIdle();                           // appearance callbacks, then `shown`
//
// The view is made on first access: "loadView" (by default a plain view the size of the
// screen), then "viewDidLoad". Every lifecycle, present and dismiss call is a message sent
// through the class's method table ("loadView", "viewDidLoad", "viewWillAppear:",
// "viewDidAppear:", "viewWillDisappear:", "viewDidDisappear:",
// "presentViewController:animated:completion:", "dismissViewControllerAnimated:completion:"),
// whose default implementations call the virtual members below: a subclass overrides the
// virtuals, and exchanging a method in the table changes what runs.
//
// Presenting links the two controllers at once; on the next main turn the presented view
// replaces the presenting one full-screen in the window, in this order: the outgoing
// controller's viewWillDisappear:, the incoming one's viewWillAppear:, the views swap,
// viewDidDisappear:, viewDidAppear:, then the completion. Dismissing reverses it for every
// controller presented above the receiver. A controller inside a navigation or tab bar
// controller presents and dismisses through its outermost container, and reports that
// container's presentation. Presenting while already presenting, or from a controller whose
// view is in no window, does nothing (a debug message says why; the completion does not run);
// presenting null or a controller already presented or contained throws NSException
// "NSInvalidArgumentException". Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIView.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class UIViewController;
class UIWindow;

// Describes one presentation: who presented whom. Every presented controller has one.
class UIPresentationController : public NSObjectSubclass<UIPresentationController, NSObject, "UIPresentationController"> {
public:
    UIPresentationController(const std::shared_ptr<UIViewController>& presented,
                             const std::shared_ptr<UIViewController>& presenting)
        : presented_(presented), presenting_(presenting) {}
    std::shared_ptr<UIViewController> presentedViewController() const { return presented_.lock(); }
    std::shared_ptr<UIViewController> presentingViewController() const { return presenting_.lock(); }

private:
    std::weak_ptr<UIViewController> presented_;
    std::weak_ptr<UIViewController> presenting_;
};

class UIViewController : public NSObjectSubclass<UIViewController, UIResponder, "UIViewController"> {
public:
    static void registerClass(ObjCClass& cls);
    ~UIViewController() override;

    // The view, loaded first when needed.
    std::shared_ptr<UIView> view();
    bool isViewLoaded() const { return view_ != nullptr; }
    // Sets the view (null unloads it, so the next access loads it again).
    void setView(std::shared_ptr<UIView> view);

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

    // --- Presentation ---
    void present(const std::shared_ptr<UIViewController>& controller, bool animated,
                 std::function<void()> completion = nullptr);
    void dismiss(bool animated, std::function<void()> completion = nullptr);
    // The controller presented by this one (or by its outermost container).
    std::shared_ptr<UIViewController> presentedViewController() const;
    // The controller that presented this one (or its outermost container).
    std::shared_ptr<UIViewController> presentingViewController() const;
    // Present while this controller is presented; null otherwise.
    std::shared_ptr<UIPresentationController> presentationController() const;

    // --- Containment ---
    // The navigation or tab bar controller holding this one; null at the top.
    std::shared_ptr<UIViewController> parentViewController() const { return parent_.lock(); }
    const std::vector<std::shared_ptr<UIViewController>>& children() const { return children_; }

    // Sends the appearance messages to `controller` and to its visible child, when the
    // change is real (a controller already shown does not appear again).
    static void beginAppearance(UIViewController& controller, bool appearing, bool animated);
    static void endAppearance(UIViewController& controller);
    bool isAppearing() const { return appearance_ == Appearance::appearing || appearance_ == Appearance::appeared; }

    std::shared_ptr<UIResponder> nextResponder() const override;

protected:
    // The implementations behind the messages; overriding ones call the base.
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}
    // The child whose view is shown (a container's current child); null for a plain controller.
    virtual std::shared_ptr<UIViewController> visibleChild() const { return nullptr; }

    // For containers: adopt or release a child controller, or replace them all (null or a
    // controller shown elsewhere throws NSException "NSInvalidArgumentException", changing
    // nothing).
    void addChild(const std::shared_ptr<UIViewController>& child);
    void removeChild(const UIViewController& child);
    void replaceChildren(const std::vector<std::shared_ptr<UIViewController>>& controllers);
    // Shows `child`'s view filling this controller's view (when loaded), removing the other
    // children's views.
    void showChildView(const std::shared_ptr<UIViewController>& child);
    // Runs `work` on the next main turn.
    static void nextTurn(std::function<void()> work);
    // Queues the appearance change from `from` to `to` (either may be null), with `after`
    // run at the end; `place` swaps the views between the will and did messages.
    static void transition(std::shared_ptr<UIViewController> from, std::shared_ptr<UIViewController> to, bool animated,
                           std::function<void()> place, std::function<void()> after);

private:
    friend class UIWindow;  // shows its root controller through transition()
    enum class Appearance { disappeared, appearing, appeared, disappearing };
    // Where the presenting view was, to put it back on dismissal.
    struct Slot {
        std::weak_ptr<UIView> superview;
        std::size_t index = 0;
    };

    const UIViewController* outermost() const;
    std::shared_ptr<UIViewController> outermostShared();
    void presentNow(const std::shared_ptr<UIViewController>& controller, bool animated, std::function<void()> completion);
    void dismissNow(bool animated, std::function<void()> completion);

    std::shared_ptr<UIView> view_;
    std::string title_;
    std::weak_ptr<UIViewController> parent_;
    std::vector<std::shared_ptr<UIViewController>> children_;
    std::shared_ptr<UIViewController> presented_;     // held while presented
    std::shared_ptr<UIPresentationController> presentation_;  // set on the presented controller
    Slot presentingSlot_;  // on the presenting controller
    Appearance appearance_ = Appearance::disappeared;
    bool loadingView_ = false;
};

}  // namespace platform
