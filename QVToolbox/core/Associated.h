// Attached values: store a value on a platform object under a key's identity.
//
//   static const char kTitleKey = 0;
//   hx_setRetainedAssociatedObject(*view, &kTitleKey, std::string("t"), AssociationPolicy::retainNonatomic);
//   hx_getAssociatedObject<std::string>(*view, &kTitleKey);   // "t"
//   hx_getAssociatedObject<int>(*view, &kTitleKey);           // absent: another type
//
// `key` is an address used only as an identity. With `assign`, a shared pointer is held
// weakly. Thread rule: callable from any thread (the object guards its attachments).
#pragma once

#include <QVPlatform/runtime/NSObject.h>

#include <optional>

namespace QVToolbox {

using platform::AssociationPolicy;

template <class T>
void hx_setRetainedAssociatedObject(platform::NSObject& object, const void* key, T value,
                                    AssociationPolicy policy = AssociationPolicy::retainNonatomic) {
    platform::objc_setAssociatedObject(object, key, std::move(value), policy);
}

template <class T>
std::optional<T> hx_getAssociatedObject(const platform::NSObject& object, const void* key) {
    return platform::objc_getAssociatedObject<T>(object, key);
}

}  // namespace QVToolbox
