// NSObject: the root of the platform's object runtime.
//
//   class Player : public NSObjectSubclass<Player, NSObject, "Player"> {};
//   class LoudPlayer : public NSObjectSubclass<LoudPlayer, Player, "LoudPlayer"> {};
//   Player::classObject().addMethod("play:", [](NSObject& self, const Any::List& args) { ...; return Any(); });
//   player->respondsToSelector("play:");        // true
//   player->perform("play:", Any("song"));       // calls the method
//
// Every object has class metadata (`ObjCClass`: name, superclass, a method table keyed by
// selector text, registered key-value properties), associated objects, and takes part in
// `objc_sync_enter`/`objc_sync_exit`. Objects are shared through std::shared_ptr.
//
// Errors the platform raises as exceptions (an unknown selector, an undefined key, nil for a
// scalar property) are thrown as NSException. Thread rule: class tables and associations are
// guarded and may be used from any thread; subclasses state their own rules.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/NSException.h>

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

class NSObject;
using NSObjectPtr = std::shared_ptr<NSObject>;

using Selector = std::string;
// A method: receives the object and the arguments (zero or one for perform), returns a value.
using IMP = std::function<Any(NSObject& self, const Any::List& arguments)>;

class ObjCClass {
public:
    ObjCClass(std::string name, const ObjCClass* superclass) : name_(std::move(name)), superclass_(superclass) {}
    ObjCClass(const ObjCClass&) = delete;
    ObjCClass& operator=(const ObjCClass&) = delete;

    const std::string& name() const { return name_; }
    const ObjCClass* superclass() const { return superclass_; }
    bool isSubclassOf(const ObjCClass& other) const;

    // Adds or replaces this class's own method for `selector`.
    void addMethod(const Selector& selector, IMP imp);
    // The method for `selector` here or in the nearest superclass that has one.
    std::shared_ptr<const IMP> findMethod(const Selector& selector) const;
    bool instancesRespondToSelector(const Selector& selector) const { return findMethod(selector) != nullptr; }
    // Swaps the implementations of two selectors; each must be found from this class.
    // Inherited methods are first copied into this class, so the superclass is untouched.
    bool exchangeImplementations(const Selector& a, const Selector& b);

    // Key-value coding. A property whose `acceptsNil` is false routes a null value to
    // setNilValueForKey, as a scalar property does on the platform.
    struct Property {
        std::function<Any(const NSObject&)> getter;
        std::function<void(NSObject&, const Any&)> setter;  // null: read-only
        bool acceptsNil = true;
    };
    void addProperty(const std::string& key, Property property);
    std::optional<Property> findProperty(std::string_view key) const;

private:
    const std::string name_;
    const ObjCClass* const superclass_;
    mutable std::shared_mutex mutex_;  // guards methods_ and properties_
    std::map<Selector, std::shared_ptr<const IMP>, std::less<>> methods_;
    std::map<std::string, Property, std::less<>> properties_;
};

enum class AssociationPolicy { assign, retainNonatomic, copyNonatomic, retain, copy };

class NSObject : public std::enable_shared_from_this<NSObject> {
public:
    NSObject() = default;
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;
    virtual ~NSObject() = default;

    static ObjCClass& classObject();
    virtual ObjCClass& objcClass() const { return classObject(); }
    const std::string& className() const { return objcClass().name(); }
    bool isKindOfClass(const ObjCClass& cls) const { return objcClass().isSubclassOf(cls); }

    bool respondsToSelector(const Selector& selector) const;
    // Sends a message; an unknown selector throws NSException "NSInvalidArgumentException".
    Any perform(const Selector& selector);
    Any perform(const Selector& selector, const Any& argument);
    Any perform(const Selector& selector, const Any& first, const Any& second);

    // Key-value coding over the registered properties.
    Any valueForKey(std::string_view key) const;
    void setValue(const Any& value, std::string_view key);
    virtual Any valueForUndefinedKey(std::string_view key) const;
    virtual void setValueForUndefinedKey(const Any& value, std::string_view key);
    virtual void setNilValueForKey(std::string_view key);

    virtual std::string description() const;

    // Associated objects; see the free functions below.
    void setAssociation(const void* key, std::any value, AssociationPolicy policy);
    std::any association(const void* key) const;

private:
    struct Association {
        std::any value;
        AssociationPolicy policy;
    };
    mutable std::mutex associationsMutex_;  // guards associations_
    std::map<const void*, Association> associations_;
};

// Attaches `value` to `object` under `key` (an address used only as an identity). With the
// `assign` policy a shared pointer is held weakly. A std::nullopt value removes the entry.
template <class T>
void objc_setAssociatedObject(NSObject& object, const void* key, T value, AssociationPolicy policy) {
    if constexpr (requires { typename T::element_type; value.use_count(); }) {
        if (policy == AssociationPolicy::assign) {
            object.setAssociation(key, std::weak_ptr<typename T::element_type>(value), policy);
            return;
        }
    }
    object.setAssociation(key, std::any(std::move(value)), policy);
}
inline void objc_removeAssociatedObject(NSObject& object, const void* key) {
    object.setAssociation(key, std::any(), AssociationPolicy::assign);
}

// The value attached under `key` if it has type T (a weakly held object that is gone reads
// as absent).
template <class T>
std::optional<T> objc_getAssociatedObject(const NSObject& object, const void* key) {
    const std::any stored = object.association(key);
    if (const T* v = std::any_cast<T>(&stored)) return *v;
    if constexpr (requires { typename T::element_type; T().use_count(); }) {
        if (const auto* weak = std::any_cast<std::weak_ptr<typename T::element_type>>(&stored)) {
            if (auto strong = weak->lock()) return strong;
        }
    }
    return std::nullopt;
}

// Recursive per-object locks, as the platform's @synchronized uses.
void objc_sync_enter(const void* object);
void objc_sync_exit(const void* object);

class SynchronizedScope {
public:
    explicit SynchronizedScope(const void* object) : object_(object) { objc_sync_enter(object_); }
    ~SynchronizedScope() { objc_sync_exit(object_); }
    SynchronizedScope(const SynchronizedScope&) = delete;
    SynchronizedScope& operator=(const SynchronizedScope&) = delete;

private:
    const void* object_;
};

// The name of a platform class, given as a template argument: NSObjectSubclass<..., "UIView">.
template <std::size_t N>
struct ObjCClassName {
    constexpr ObjCClassName(const char (&text)[N]) {  // NOLINT: implicit from a literal
        for (std::size_t i = 0; i < N; ++i) value[i] = text[i];
    }
    constexpr std::string_view view() const { return {value, N - 1}; }
    char value[N];
};

// Declares a platform class once: its metadata is named `Name` and its superclass is the
// metadata of its C++ base, so the two cannot disagree.
//
//   class UILabel : public NSObjectSubclass<UILabel, UIView, "UILabel"> { ... };
//
// A class that registers methods or properties up front defines
// `static void registerClass(ObjCClass&)`; it runs once, when the metadata is first used.
// Constructors of the base are inherited.
template <class Derived, class Base, ObjCClassName Name>
class NSObjectSubclass : public Base {
public:
    using Base::Base;
    using Superclass = Base;

    static ObjCClass& classObject() {
        static ObjCClass& cls = [] () -> ObjCClass& {
            static ObjCClass made(std::string(Name.view()), &Base::classObject());
            if constexpr (requires { Derived::registerClass(made); }) Derived::registerClass(made);
            return made;
        }();
        return cls;
    }
    ObjCClass& objcClass() const override { return classObject(); }
};

}  // namespace platform
