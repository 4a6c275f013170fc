// Method hooks exchange methods of the platform's classes for the life of the process: these
// tests run in their own executable (hooks_tests), so no other test sees the exchanges.
#include <QVToolbox/SmallTools/MethodHooks.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/ui/UINavigationController.h>
#include <QVPlatform/ui/UIViewController.h>
#include <QVPlatform/ui/UIWindow.h>

#include "support/DebugMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace QVToolbox;
using platform::Any;
using platform::NSObject;

namespace {

class Probe : public platform::NSObjectSubclass<Probe, NSObject, "HookProbe"> {
public:
    std::string name;
    std::int64_t age = 0;
    static void registerClass(platform::ObjCClass& cls) {
        cls.addMethod("greet", [](NSObject&, const Any::List&) { return Any("hello"); });
        cls.addMethod("hook_greet", [](NSObject&, const Any::List&) { return Any("hooked"); });
        cls.addClassMethod("make", [](platform::ObjCClass&, const Any::List&) { return Any("made"); });
        cls.addProperty("name", {[](const NSObject& s) { return Any(static_cast<const Probe&>(s).name); },
                                 [](NSObject& s, const Any& v) { static_cast<Probe&>(s).name = v.string(); }, true});
        cls.addProperty("age", {[](const NSObject& s) { return Any(static_cast<const Probe&>(s).age); },
                                [](NSObject& s, const Any& v) { static_cast<Probe&>(s).age = v.integerValue(); }, false});
    }
};

class ProbeChild : public platform::NSObjectSubclass<ProbeChild, Probe, "HookProbeChild"> {
public:
    static void registerClass(platform::ObjCClass& cls) {
        cls.addMethod("hook_child", [](NSObject&, const Any::List&) { return Any("child"); });
    }
};

bool saw(const qvtest::DebugMessages& messages, const std::string& text) {
    return std::find(messages.seen.begin(), messages.seen.end(), text) != messages.seen.end();
}

}  // namespace

TEST(MethodHooks, MissingMethodsChangeNothingAndSayWhich) {
    qvtest::DebugMessages messages;
    auto& cls = Probe::classObject();
    EXPECT_FALSE(hookInstanceMethod(cls, "greet", "absent"));
    EXPECT_TRUE(saw(messages, "新 实例方法：Swizzling Method(absent) not found while swizzling class HookProbe."));
    EXPECT_FALSE(hookInstanceMethod(cls, "absent", "greet"));
    EXPECT_TRUE(saw(messages, "原 实例方法：Swizzling Method(absent) not found while swizzling class HookProbe."));
    EXPECT_FALSE(hookMethod(cls, "make", "absent", true));
    EXPECT_TRUE(saw(messages, "新 类方法 replSel：Swizzling Method(absent) not found while swizzling class HookProbe."));
    EXPECT_TRUE(saw(messages, "Swizzling Method(s) not found while swizzling class HookProbe."));
    EXPECT_FALSE(hookClassMethod(cls, "absent", "make"));
    EXPECT_TRUE(saw(messages, "原 类方法：Swizzling Method(absent) not found while swizzling class HookProbe."));
    EXPECT_EQ(std::make_shared<Probe>()->perform("greet").string(), "hello");
}

TEST(MethodHooks, AnInheritedOriginalIsOverriddenInTheSubclassOnly) {
    auto& child = ProbeChild::classObject();
    ASSERT_TRUE(hookInstanceMethod(child, "greet", "hook_child"));
    auto object = std::make_shared<ProbeChild>();
    EXPECT_EQ(object->perform("greet").string(), "child");
    EXPECT_EQ(object->perform("hook_child").string(), "hello");  // the original, under the new name
    EXPECT_EQ(std::make_shared<Probe>()->perform("greet").string(), "hello");
}

TEST(MethodHooks, KeyValueCodingToleratesUnknownKeysAndNullsOnceInstalledTwice) {
    auto probe = std::make_shared<Probe>();
    EXPECT_THROW(probe->valueForKey("nope"), platform::NSException);

    qvtest::DebugMessages messages;
    initializeMethod(NSObject::classObject());
    initializeMethod(NSObject::classObject());  // a second exchange would restore the originals
    EXPECT_TRUE(probe->valueForKey("nope").isNull());
    EXPECT_TRUE(saw(messages, "valueForUndefinedKey:, 未知键: nope"));
    probe->setValue(Any(1), "nope");
    EXPECT_TRUE(saw(messages, "setValue: forUndefinedKey:, 未知键Key: nope"));

    probe->setValuesForKeys(Any::Dictionary{{"name", "Ann"}, {"unknown", 3}});
    EXPECT_EQ(probe->name, "Ann");
    probe->age = 7;
    probe->setValuesForKeys(Any::Dictionary{{"age", Any()}, {"name", Any()}});
    EXPECT_EQ(probe->age, 7);  // a null for a scalar goes to setNilValueForKey:, hooked
    EXPECT_TRUE(saw(messages, "Invoke setNilValueForKey:, 不能给非指针对象(如NSInteger)赋值 nil"));
    EXPECT_EQ(probe->name, "");  // a text property takes the null
}

TEST(MethodHooks, PresentationIsGuardedAndTheLifecycleStillRuns) {
    qvtest::DebugMessages messages;
    initializeMethod(platform::UIViewController::classObject());
    initializeMethod(platform::UINavigationController::classObject());
    EXPECT_TRUE(std::make_shared<Probe>()->valueForKey("nope").isNull());  // the root's hooks came first

    auto root = std::make_shared<platform::UIViewController>();
    auto nav = platform::UINavigationController::make(root);
    auto window = std::make_shared<platform::UIWindow>();
    window->setRootViewController(nav);
    platform::RunLoop::main().runUntilIdle();
    ASSERT_TRUE(root->isViewLoaded());

    nav->pushViewController(std::make_shared<platform::UIViewController>(), false);
    platform::RunLoop::main().runUntilIdle();
    EXPECT_EQ(nav->viewControllers().size(), 2u);

    // A controller inside a container cannot be presented: nothing happens, no throw.
    bool completed = false;
    nav->present(root, false, [&] { completed = true; });
    platform::RunLoop::main().runUntilIdle();
    EXPECT_FALSE(completed);
    EXPECT_EQ(nav->presentedViewController(), nullptr);
    EXPECT_TRUE(saw(messages, "viewControllerToPresent.presentationController 不能为 nil"));

    auto sheet = std::make_shared<platform::UIViewController>();
    nav->present(sheet, false, [&] { completed = true; });
    platform::RunLoop::main().runUntilIdle();
    EXPECT_TRUE(completed);
    EXPECT_EQ(nav->presentedViewController(), sheet);
}
