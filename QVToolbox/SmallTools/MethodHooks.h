// MethodHooks: exchanges of a few platform methods, on the host's request, so that key-value
// coding on unknown keys and presenting a controller that cannot be presented no longer stop
// the application.
//
//   initializeMethod(NSObject::classObject());             // tolerant key-value coding
//   initializeMethod(UIViewController::classObject());     // also guarded presentation
//   object->valueForKey("nope");                           // null, with a line on the debug channel
//
// Each installation runs once per process under the run-once token "Hook_" + class name
// (HxAsyncs::once); a second call changes nothing, where a second exchange would restore the
// originals. The replacements are registered under their own selectors ("hook_..."), and
// after the exchange calling a replacement selector runs the original implementation:
//   hook_setValue:forUndefinedKey:   ignores the assignment
//   hook_valueForUndefinedKey:       answers null
//   hook_setNilValueForKey:          ignores the assignment
//   hook_setValuesForKeys:           sends setValue:forKey: per entry; a null value goes to
//                                    setNilValueForKey: where the property takes no null, as
//                                    the platform does, instead of being stored as an object
//   hook_viewDidLoadWithAnimated:, hook_viewWillAppearWithAnimated:,
//   hook_viewWillDisappearWithAnimated:, hook_pushViewController:animated:   call the original
//   hook_present:animated:completion: presents only a controller that can be presented: not
//                                    null, not presented already (it has a presentation
//                                    controller) and not inside a container; otherwise nothing
//                                    is presented and the completion does not run.
// Every refusal is a line on the debug channel, with the texts below. The library never
// installs the hooks by itself. Thread rule: any thread; installations are serialised by the
// run-once lock.
#pragma once

#include <QVPlatform/runtime/NSObject.h>

namespace QVToolbox {

// Exchanges `originalSelector` and `swizzledSelector` on `cls` (instance or class methods).
// When either is missing nothing changes, a line goes to the debug channel and the result is
// false. When `cls` only inherits the original, the replacement is added to `cls` under the
// original's selector and the original's implementation under the replacement's (the
// superclass keeps its own); otherwise the two implementations are exchanged.
bool hookInstanceMethod(platform::ObjCClass& cls, const platform::Selector& originalSelector,
                        const platform::Selector& swizzledSelector);
bool hookClassMethod(platform::ObjCClass& cls, const platform::Selector& originalSelector,
                     const platform::Selector& swizzledSelector);
bool hookMethod(platform::ObjCClass& cls, const platform::Selector& originalSelector,
                const platform::Selector& swizzledSelector, bool isClassMethod);

// `initializeMethod`: on the root object class, the key-value coding hooks; on the view
// controller class, those and the controller hooks; on the navigation controller class,
// those and the push hook. Any other class: nothing. Once per class per process.
void initializeMethod(platform::ObjCClass& cls);

}  // namespace QVToolbox
