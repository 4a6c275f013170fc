#include <QVPlatform/ui/UINavigationController.h>

#include <QVPlatform/runtime/NSBlock.h>

namespace platform {

namespace {

UINavigationController& navigationOf(NSObject& self) { return static_cast<UINavigationController&>(self); }

Any::List objectList(const std::vector<std::shared_ptr<UIViewController>>& controllers) {
    Any::List list;
    for (const auto& c : controllers) list.emplace_back(c);
    return list;
}

}  // namespace

void UINavigationController::registerClass(ObjCClass& cls) {
    cls.addMethod("pushViewController:animated:", [](NSObject& self, const Any::List& args) {
        navigationOf(self).pushNow(args[0].objectAs<UIViewController>(), args[1].boolValue());
        return Any();
    });
    cls.addMethod("popViewControllerAnimated:", [](NSObject& self, const Any::List& args) {
        const auto popped = navigationOf(self).popNow(navigationOf(self).children().size() - 1, args[0].boolValue());
        return popped.empty() ? Any() : Any(popped.front());
    });
    cls.addMethod("popToRootViewControllerAnimated:", [](NSObject& self, const Any::List& args) {
        return Any(objectList(navigationOf(self).popNow(1, args[0].boolValue())));
    });
}

std::shared_ptr<UINavigationController> UINavigationController::make(const std::shared_ptr<UIViewController>& root) {
    auto nav = std::make_shared<UINavigationController>();
    if (root) nav->setViewControllers({root});
    return nav;
}

void UINavigationController::setViewControllers(const std::vector<std::shared_ptr<UIViewController>>& controllers) {
    const auto old = topViewController();
    replaceChildren(controllers);
    if (old != topViewController()) changeTop(old, false);
}

std::shared_ptr<UIViewController> UINavigationController::topViewController() const {
    return children().empty() ? nullptr : children().back();
}

std::shared_ptr<UIViewController> UINavigationController::visibleViewController() const {
    if (auto presented = presentedViewController()) return presented;
    return topViewController();
}

void UINavigationController::pushViewController(const std::shared_ptr<UIViewController>& controller, bool animated) {
    perform("pushViewController:animated:", Any(controller), Any(animated));
}

std::shared_ptr<UIViewController> UINavigationController::popViewController(bool animated) {
    return perform("popViewControllerAnimated:", Any(animated)).objectAs<UIViewController>();
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::popToRootViewController(bool animated) {
    std::vector<std::shared_ptr<UIViewController>> popped;
    const Any result = perform("popToRootViewControllerAnimated:", Any(animated));
    if (const auto* list = result.asList()) {
        for (const auto& item : *list) popped.push_back(item.objectAs<UIViewController>());
    }
    return popped;
}

void UINavigationController::viewDidLoad() {
    UIViewController::viewDidLoad();
    showChildView(topViewController());
}

void UINavigationController::pushNow(const std::shared_ptr<UIViewController>& controller, bool animated) {
    assertMainThread("UINavigationController::push");
    if (!controller || controller->parentViewController() || controller->presentationController() ||
        controller.get() == this) {
        throw NSException("NSInvalidArgumentException",
                          "Pushing a null controller, or one already shown elsewhere, is not supported");
    }
    const auto old = topViewController();
    addChild(controller);
    changeTop(old, animated);
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::popNow(std::size_t keep, bool animated) {
    assertMainThread("UINavigationController::pop");
    if (children().size() <= 1 || keep == 0 || keep >= children().size()) return {};
    const auto old = topViewController();
    const std::vector<std::shared_ptr<UIViewController>> popped(children().begin() + static_cast<std::ptrdiff_t>(keep),
                                                                children().end());
    for (const auto& c : popped) removeChild(*c);
    changeTop(old, animated);
    return popped;
}

// Swaps the shown child from `from` to the current top: the views at the next turn, with the
// appearance messages while the container is shown.
void UINavigationController::changeTop(std::shared_ptr<UIViewController> from, bool animated) {
    auto to = topViewController();
    const bool shown = isAppearing();
    const auto self = std::static_pointer_cast<UINavigationController>(shared_from_this());
    transition(shown ? std::move(from) : nullptr, shown ? to : nullptr, animated,
               [self] { self->showChildView(self->topViewController()); }, nullptr);
}

}  // namespace platform
