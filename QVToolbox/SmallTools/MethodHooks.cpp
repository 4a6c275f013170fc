#include <QVToolbox/SmallTools/MethodHooks.h>

#include <QVToolbox/core/Asyncs.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/ui/UINavigationController.h>
#include <QVPlatform/ui/UIViewController.h>

#include <string>
#include <utility>

namespace QVToolbox {

using platform::Any;
using platform::NSObject;
using platform::ObjCClass;
using platform::Selector;

namespace {

std::string notFound(const std::string& prefix, const Selector& selector, const ObjCClass& cls) {
    return prefix + selector + ") not found while swizzling class " + cls.name() + ".";
}

// The exchange on one of `cls`'s tables (instance or class methods): both methods must be
// found from `cls`; then add the replacement under the original's name when `cls` only
// inherits the original, else swap. `prefixes` start the two "not found" lines.
template <class Find, class AddIfAbsent, class Add, class Exchange>
bool exchange(const ObjCClass& cls, const Selector& original, const Selector& swizzled,
              std::pair<const char*, const char*> prefixes, Find find, AddIfAbsent addIfAbsent, Add add, Exchange swap) {
    const auto originalMethod = find(original);
    if (!originalMethod) {
        platform::debugPrint(notFound(prefixes.first, original, cls));
        return false;
    }
    const auto swizzledMethod = find(swizzled);
    if (!swizzledMethod) {
        platform::debugPrint(notFound(prefixes.second, swizzled, cls));
        return false;
    }
    if (addIfAbsent(original, *swizzledMethod)) {
        add(swizzled, *originalMethod);
    } else {
        swap(original, swizzled);
    }
    return true;
}

void installOnce(const ObjCClass& cls, const std::function<void()>& install) {
    HxAsyncs::once("Hook_" + cls.name(), install);
}

std::string keyArgument(const Any::List& arguments, std::size_t index) {
    if (index >= arguments.size()) return {};
    const auto* text = arguments[index].asString();
    return text ? *text : std::string();
}

void registerObjectHooks(ObjCClass& root) {
    root.addMethod("hook_setValue:forUndefinedKey:", [](NSObject&, const Any::List& arguments) {
        platform::debugPrint("setValue: forUndefinedKey:, 未知键Key: " + keyArgument(arguments, 1));
        return Any();
    });
    root.addMethod("hook_valueForUndefinedKey:", [](NSObject&, const Any::List& arguments) {
        platform::debugPrint("valueForUndefinedKey:, 未知键: " + keyArgument(arguments, 0));
        return Any();
    });
    root.addMethod("hook_setNilValueForKey:", [](NSObject&, const Any::List&) {
        platform::debugPrint("Invoke setNilValueForKey:, 不能给非指针对象(如NSInteger)赋值 nil");
        return Any();
    });
    // Each entry through setValue:forKey:, so unknown keys meet the hooks above and a null
    // reaches setNilValueForKey: where the property takes no null.
    root.addMethod("hook_setValuesForKeys:", [](NSObject& self, const Any::List& arguments) {
        if (arguments.empty()) return Any();
        if (const auto* entries = arguments[0].asDictionary()) {
            for (const auto& [key, value] : *entries) self.setValue(value, key);
        }
        return Any();
    });
}

void registerControllerHooks(ObjCClass& controllers) {
    // After the exchange each of these selectors names the original implementation.
    controllers.addMethod("hook_viewDidLoadWithAnimated:", [](NSObject& self, const Any::List&) {
        return self.perform("hook_viewDidLoadWithAnimated:");
    });
    controllers.addMethod("hook_viewWillAppearWithAnimated:", [](NSObject& self, const Any::List& arguments) {
        return self.performWithArguments("hook_viewWillAppearWithAnimated:", arguments);
    });
    controllers.addMethod("hook_viewWillDisappearWithAnimated:", [](NSObject& self, const Any::List& arguments) {
        return self.performWithArguments("hook_viewWillDisappearWithAnimated:", arguments);
    });
    controllers.addMethod("hook_present:animated:completion:", [](NSObject& self, const Any::List& arguments) {
        const auto incoming = arguments.empty() ? nullptr : arguments[0].objectAs<platform::UIViewController>();
        // What the platform refuses to present: nothing, a controller presented already, or
        // one inside a container.
        if (!incoming || incoming->presentationController() || incoming->parentViewController()) {
            platform::debugPrint("viewControllerToPresent.presentationController 不能为 nil");
            return Any();
        }
        return self.performWithArguments("hook_present:animated:completion:", arguments);
    });
}

void registerNavigationHooks(ObjCClass& navigation) {
    navigation.addMethod("hook_pushViewController:animated:", [](NSObject& self, const Any::List& arguments) {
        return self.performWithArguments("hook_pushViewController:animated:", arguments);
    });
}

void initializeObjectHooks() {
    ObjCClass& root = NSObject::classObject();
    installOnce(root, [&root] {
        registerObjectHooks(root);
        hookInstanceMethod(root, "setValue:forUndefinedKey:", "hook_setValue:forUndefinedKey:");
        hookInstanceMethod(root, "valueForUndefinedKey:", "hook_valueForUndefinedKey:");
        hookInstanceMethod(root, "setNilValueForKey:", "hook_setNilValueForKey:");
        hookInstanceMethod(root, "setValuesForKeysWithDictionary:", "hook_setValuesForKeys:");
    });
}

}  // namespace

bool hookInstanceMethod(ObjCClass& cls, const Selector& originalSelector, const Selector& swizzledSelector) {
    return exchange(
        cls, originalSelector, swizzledSelector, {"原 实例方法：Swizzling Method(", "新 实例方法：Swizzling Method("},
        [&](const Selector& s) { return cls.findMethod(s); },
        [&](const Selector& s, const platform::IMP& imp) { return cls.addMethodIfAbsent(s, imp); },
        [&](const Selector& s, const platform::IMP& imp) { cls.addMethod(s, imp); },
        [&](const Selector& a, const Selector& b) { cls.exchangeImplementations(a, b); });
}

bool hookClassMethod(ObjCClass& cls, const Selector& originalSelector, const Selector& swizzledSelector) {
    return exchange(
        cls, originalSelector, swizzledSelector, {"原 类方法：Swizzling Method(", "新 类方法 replSel：Swizzling Method("},
        [&](const Selector& s) { return cls.findClassMethod(s); },
        [&](const Selector& s, const platform::ClassIMP& imp) { return cls.addClassMethodIfAbsent(s, imp); },
        [&](const Selector& s, const platform::ClassIMP& imp) { cls.addClassMethod(s, imp); },
        [&](const Selector& a, const Selector& b) { cls.exchangeClassImplementations(a, b); });
}

bool hookMethod(ObjCClass& cls, const Selector& originalSelector, const Selector& swizzledSelector, bool isClassMethod) {
    const bool done = isClassMethod ? hookClassMethod(cls, originalSelector, swizzledSelector)
                                    : hookInstanceMethod(cls, originalSelector, swizzledSelector);
    if (!done) platform::debugPrint("Swizzling Method(s) not found while swizzling class " + cls.name() + ".");
    return done;
}

void initializeMethod(ObjCClass& cls) {
    if (&cls == &NSObject::classObject()) {
        initializeObjectHooks();
        return;
    }
    ObjCClass& controllers = platform::UIViewController::classObject();
    ObjCClass& navigation = platform::UINavigationController::classObject();
    if (&cls != &controllers && &cls != &navigation) return;
    initializeObjectHooks();
    if (&cls == &controllers) {
        installOnce(controllers, [&controllers] {
            registerControllerHooks(controllers);
            hookInstanceMethod(controllers, "viewDidLoad", "hook_viewDidLoadWithAnimated:");
            hookInstanceMethod(controllers, "viewWillAppear:", "hook_viewWillAppearWithAnimated:");
            hookInstanceMethod(controllers, "viewWillDisappear:", "hook_viewWillDisappearWithAnimated:");
            hookInstanceMethod(controllers, "presentViewController:animated:completion:", "hook_present:animated:completion:");
        });
    } else {
        installOnce(navigation, [&navigation] {
            registerNavigationHooks(navigation);
            hookInstanceMethod(navigation, "pushViewController:animated:", "hook_pushViewController:animated:");
        });
    }
}

}  // namespace QVToolbox
