#include <QVPlatform/ui/UIViewController.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/runtime/NSBlock.h>
#include <QVPlatform/ui/UIScreen.h>
#include <QVPlatform/ui/UIWindow.h>

#include <algorithm>

namespace platform {

namespace {

UIViewController& controllerOf(NSObject& self) { return static_cast<UIViewController&>(self); }

bool flag(const Any::List& args, std::size_t index) { return index < args.size() && args[index].boolValue(); }

}  // namespace

// The messages' default implementations. The lifecycle ones reach the protected virtuals
// through this class, which may call them.
void UIViewController::registerClass(ObjCClass& cls) {
    cls.addMethod("loadView", [](NSObject& self, const Any::List&) {
        controllerOf(self).loadView();
        return Any();
    });
    cls.addMethod("viewDidLoad", [](NSObject& self, const Any::List&) {
        controllerOf(self).viewDidLoad();
        return Any();
    });
    cls.addMethod("viewWillAppear:", [](NSObject& self, const Any::List& args) {
        controllerOf(self).viewWillAppear(flag(args, 0));
        return Any();
    });
    cls.addMethod("viewDidAppear:", [](NSObject& self, const Any::List& args) {
        controllerOf(self).viewDidAppear(flag(args, 0));
        return Any();
    });
    cls.addMethod("viewWillDisappear:", [](NSObject& self, const Any::List& args) {
        controllerOf(self).viewWillDisappear(flag(args, 0));
        return Any();
    });
    cls.addMethod("viewDidDisappear:", [](NSObject& self, const Any::List& args) {
        controllerOf(self).viewDidDisappear(flag(args, 0));
        return Any();
    });
    cls.addMethod("presentViewController:animated:completion:", [](NSObject& self, const Any::List& args) {
        controllerOf(self).presentNow(args[0].objectAs<UIViewController>(), flag(args, 1), NSBlock::from(args[2]));
        return Any();
    });
    cls.addMethod("dismissViewControllerAnimated:completion:", [](NSObject& self, const Any::List& args) {
        controllerOf(self).dismissNow(flag(args, 0), NSBlock::from(args[1]));
        return Any();
    });
}

UIViewController::~UIViewController() = default;

// --- The view ---

std::shared_ptr<UIView> UIViewController::view() {
    assertMainThread("UIViewController::view");
    if (view_ || loadingView_) return view_;
    loadingView_ = true;  // a loadView that asks for the view gets null, not a loop
    try {
        perform("loadView");
    } catch (...) {
        loadingView_ = false;
        throw;
    }
    loadingView_ = false;
    if (!view_) view_ = std::make_shared<UIView>(UIScreen::main()->bounds());  // loadView set none
    perform("viewDidLoad");
    return view_;
}

void UIViewController::setView(std::shared_ptr<UIView> view) { view_ = std::move(view); }

void UIViewController::loadView() { view_ = std::make_shared<UIView>(UIScreen::main()->bounds()); }

std::shared_ptr<UIResponder> UIViewController::nextResponder() const {
    if (view_) {
        if (auto superview = view_->superview()) return superview;
    }
    return parent_.lock();
}

// --- Appearance ---

void UIViewController::beginAppearance(UIViewController& controller, bool appearing, bool animated) {
    if (controller.isAppearing() == appearing) return;
    controller.appearance_ = appearing ? Appearance::appearing : Appearance::disappearing;
    controller.perform(appearing ? "viewWillAppear:" : "viewWillDisappear:", Any(animated));
    if (auto child = controller.visibleChild()) beginAppearance(*child, appearing, animated);
}

void UIViewController::endAppearance(UIViewController& controller) {
    const bool appearing = controller.appearance_ == Appearance::appearing;
    if (!appearing && controller.appearance_ != Appearance::disappearing) return;
    controller.appearance_ = appearing ? Appearance::appeared : Appearance::disappeared;
    controller.perform(appearing ? "viewDidAppear:" : "viewDidDisappear:", Any(false));
    if (auto child = controller.visibleChild()) endAppearance(*child);
}

void UIViewController::nextTurn(std::function<void()> work) { RunLoop::main().perform(std::move(work)); }

void UIViewController::transition(std::shared_ptr<UIViewController> from, std::shared_ptr<UIViewController> to,
                                  bool animated, std::function<void()> place, std::function<void()> after) {
    nextTurn([from = std::move(from), to = std::move(to), animated, place = std::move(place),
              after = std::move(after)] {
        if (to) to->view();  // loaded before it hears it will appear
        if (from) beginAppearance(*from, false, animated);
        if (to) beginAppearance(*to, true, animated);
        if (place) place();
        if (from) endAppearance(*from);
        if (to) endAppearance(*to);
        if (after) after();
    });
}

// --- Containment ---

void UIViewController::addChild(const std::shared_ptr<UIViewController>& child) {
    child->parent_ = std::static_pointer_cast<UIViewController>(shared_from_this());
    children_.push_back(child);
}

void UIViewController::removeChild(const UIViewController& child) {
    std::erase_if(children_, [&](const auto& c) {
        if (c.get() != &child) return false;
        c->parent_.reset();
        if (c->view_ && view_ && c->view_->superview() == view_) c->view_->removeFromSuperview();
        return true;
    });
}

void UIViewController::replaceChildren(const std::vector<std::shared_ptr<UIViewController>>& controllers) {
    for (const auto& c : controllers) {
        const auto parent = c ? c->parent_.lock() : nullptr;
        if (!c || (parent && parent.get() != this) || c->presentation_ || c.get() == this ||
            std::count(controllers.begin(), controllers.end(), c) > 1) {
            throw NSException("NSInvalidArgumentException",
                              "A child controller is null, listed twice, or already shown by another controller");
        }
    }
    const auto leaving = children_;  // removeChild changes the list
    for (const auto& c : leaving) removeChild(*c);
    for (const auto& c : controllers) addChild(c);
}

void UIViewController::showChildView(const std::shared_ptr<UIViewController>& child) {
    if (!view_) return;  // placed when the view loads
    for (const auto& c : children_) {
        if (c != child && c->view_ && c->view_->superview() == view_) c->view_->removeFromSuperview();
    }
    if (!child || child->parent_.lock().get() != this) return;  // left the container meanwhile
    const auto childView = child->view();
    childView->setFrame(view_->bounds());
    childView->setAutoresizingMask(UIViewAutoresizing::flexibleWidth | UIViewAutoresizing::flexibleHeight);
    view_->addSubview(childView);
}

// --- Presentation ---

const UIViewController* UIViewController::outermost() const {
    const UIViewController* c = this;
    for (auto parent = c->parent_.lock(); parent; parent = parent->parent_.lock()) c = parent.get();
    return c;
}

std::shared_ptr<UIViewController> UIViewController::outermostShared() {
    auto c = std::static_pointer_cast<UIViewController>(shared_from_this());
    while (auto parent = c->parent_.lock()) c = parent;
    return c;
}

std::shared_ptr<UIViewController> UIViewController::presentedViewController() const { return outermost()->presented_; }

std::shared_ptr<UIViewController> UIViewController::presentingViewController() const {
    const auto& presentation = outermost()->presentation_;
    return presentation ? presentation->presentingViewController() : nullptr;
}

std::shared_ptr<UIPresentationController> UIViewController::presentationController() const {
    return outermost()->presentation_;
}

void UIViewController::present(const std::shared_ptr<UIViewController>& controller, bool animated,
                               std::function<void()> completion) {
    perform("presentViewController:animated:completion:", Any(controller), Any(animated),
            NSBlock::make(std::move(completion)));
}

void UIViewController::dismiss(bool animated, std::function<void()> completion) {
    perform("dismissViewControllerAnimated:completion:", Any(animated), NSBlock::make(std::move(completion)));
}

void UIViewController::presentNow(const std::shared_ptr<UIViewController>& controller, bool animated,
                                  std::function<void()> completion) {
    assertMainThread("UIViewController::present");
    const auto presenter = outermostShared();
    if (!controller) {
        throw NSException("NSInvalidArgumentException",
                          "Application tried to present a nil modal view controller on target " + description() + ".");
    }
    if (controller->presentation_ || controller->parent_.lock() || controller == presenter) {
        throw NSException("NSInvalidArgumentException",
                          "Application tried to present modally a view controller " + controller->description() +
                              " that is already presented or shown by " + description() + ".");
    }
    if (presenter->presented_) {
        debugPrint("Attempt to present " + controller->description() + " on " + presenter->description() +
                   " which is already presenting " + presenter->presented_->description());
        return;
    }
    const auto window = presenter->view_ ? presenter->view_->window() : nullptr;
    if (!window) {
        debugPrint("Attempt to present " + controller->description() + " on " + presenter->description() +
                   " whose view is not in the window hierarchy");
        return;
    }
    presenter->presented_ = controller;
    controller->presentation_ = std::make_shared<UIPresentationController>(controller, presenter);

    transition(presenter, controller, animated,
               [presenter, controller, window = std::weak_ptr<UIWindow>(window)] {
                   const auto shownIn = window.lock();
                   if (!shownIn || presenter->presented_ != controller) return;  // dismissed before this turn
                   const auto presenterView = presenter->view_;
                   const auto superview = presenterView ? presenterView->superview() : nullptr;
                   if (superview) {
                       const auto& siblings = superview->subviews();
                       const auto at = std::find(siblings.begin(), siblings.end(), presenterView);
                       presenter->presentingSlot_ = {superview, static_cast<std::size_t>(at - siblings.begin())};
                   } else {
                       presenter->presentingSlot_ = {};
                   }
                   const auto presentedView = controller->view();
                   presentedView->setFrame(shownIn->bounds());
                   shownIn->addSubview(presentedView);
                   if (superview) presenterView->removeFromSuperview();
               },
               std::move(completion));
}

void UIViewController::dismissNow(bool animated, std::function<void()> completion) {
    assertMainThread("UIViewController::dismiss");
    // The receiver dismisses what it presented; a controller presenting nothing asks its
    // presenter to dismiss it.
    auto presenter = outermostShared();
    if (!presenter->presented_) {
        presenter = presenter->presentation_ ? presenter->presentation_->presentingViewController() : nullptr;
    }
    if (!presenter || !presenter->presented_) return;  // nothing presented: nothing to do

    // Unlink the whole chain above the presenter, topmost first.
    std::vector<std::shared_ptr<UIViewController>> dismissed;
    for (auto c = presenter->presented_; c; c = c->presented_) dismissed.insert(dismissed.begin(), c);
    for (const auto& c : dismissed) {
        c->presented_.reset();
        c->presentation_.reset();
        c->presentingSlot_ = {};
    }
    presenter->presented_.reset();

    transition(dismissed.front(), presenter, animated,
               [presenter, dismissed] {
                   const auto slot = presenter->presentingSlot_;
                   presenter->presentingSlot_ = {};
                   if (const auto superview = slot.superview.lock(); superview && presenter->view_) {
                       superview->insertSubview(presenter->view_, slot.index);
                   }
                   for (const auto& c : dismissed) {
                       if (c->view_) c->view_->removeFromSuperview();
                   }
               },
               std::move(completion));
}

}  // namespace platform
