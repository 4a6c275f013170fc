// NSObject: the root of the platform's object runtime.
//
//   class Player : public NSObjectSubclass<Player, NSObject, "Player"> {};
//   class LoudPlayer : public NSObjectSubclass<LoudPlayer, Player, "LoudPlayer"> {};
//   Player::classObject().addMethod("play:", [](NSObject& self, const Any::List& args) { ...; return Any(); });
//   player->respondsToSelector("play:");        // true
//   player->perform("play:", Any("song"));       // calls the method
//
// Every object has class metadata (`ObjCClass`: name, superclass, instance and class method
// tables keyed by selector text, registered key-value properties), associated objects, and
// takes part in `objc_sync_enter`/`objc_sync_exit`. Objects are shared through std::shared_ptr.
//
// Key-value coding is itself a set of methods on NSObject's table ("valueForKey:",
// "setValue:forKey:", "setValuesForKeysWithDictionary:", "valueForUndefinedKey:",
// "setValue:forUndefinedKey:", "setNilValueForKey:"); the C++ members send them, so a class
// changes the behaviour by adding or exchanging one of those methods:
//
//   Player::classObject().addMethod("valueForUndefinedKey:", [](NSObject&, const Any::List&) { return Any(); });
//   Player::classObject().addClassMethod("shared", [](ObjCClass& cls, const Any::List&) { ... });
//   Player::classObject().performClassMethod("shared");
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
class ObjCClass;
using NSObjectPtr = std::shared_ptr<NSObject>;

using Selector = std::string;
// A method: receives the object and the arguments (zero or one for perform), returns a value.
using IMP = std::function<Any(NSObject& self, const Any::List& arguments)>;
// A class method: receives the class the message was sent to (a subclass when inherited).
using ClassIMP = std::function<Any(ObjCClass& self, const Any::List& arguments)>;

class ObjCClass {
public:
    ObjCClass(std::string name, const ObjCClass* superclass) : name_(std::move(name)), superclass_(superclass) {}
    ObjCClass(const ObjCClass&) = delete;
    ObjCClass& operator=(const ObjCClass&) = delete;

    const std::string& name() const { return name_; }
    const ObjCClass* superclass() const { return superclass_; }
    bool isSubclassOf(const ObjCClass& other) const;

    // Instance methods. addMethod adds or replaces this class's own method for `selector`
    // (class_replaceMethod); addMethodIfAbsent adds it only when the class has no method of
    // its own for it, an inherited one being overridden (class_addMethod), and says whether
    // it did.
    void addMethod(const Selector& selector, IMP imp);
    bool addMethodIfAbsent(const Selector& selector, IMP imp);
    // The method for `selector` here or in the nearest superclass that has one.
    std::shared_ptr<const IMP> findMethod(const Selector& selector) const;
    // This class's own method, not looking at superclasses.
    std::shared_ptr<const IMP> ownMethod(const Selector& selector) const;
    bool instancesRespondToSelector(const Selector& selector) const { return findMethod(selector) != nullptr; }
    // Swaps the implementations of two selectors; each must be found from this class, else
    // nothing changes and the result is false. Inherited methods are first copied into this
    // class, so the superclass is untouched.
    bool exchangeImplementations(const Selector& a, const Selector& b);

    // Class methods, with the same rules, inherited by subclasses.
    void addClassMethod(const Selector& selector, ClassIMP imp);
    bool addClassMethodIfAbsent(const Selector& selector, ClassIMP imp);
    std::shared_ptr<const ClassIMP> findClassMethod(const Selector& selector) const;
    std::shared_ptr<const ClassIMP> ownClassMethod(const Selector& selector) const;
    bool respondsToClassSelector(const Selector& selector) const { return findClassMethod(selector) != nullptr; }
    bool exchangeClassImplementations(const Selector& a, const Selector& b);
    // Sends a class message to this class; an unknown selector throws NSException
    // "NSInvalidArgumentException". Arguments are fitted to the selector's colon count.
    Any performClassMethod(const Selector& selector, Any::List arguments = {});

    // Key-value coding. A property whose `acceptsNil` is false routes a null value to
    // setNilValueForKey, as a scalar property does on the platform.
    struct Property {
        std::function<Any(const NSObject&)> getter;
        std::function<void(NSObject&, const Any&)> setter;  // null: read-only
        bool acceptsNil = true;
    };
    void addProperty(const std::string& key, Property property);
    std::optional<Property> findProperty(std::string_view key) const;

    template <class F>
    using MethodMap = std::map<Selector, std::shared_ptr<const F>, std::less<>>;

private:
    template <class F>
    static std::shared_ptr<const F> find(const ObjCClass* from, MethodMap<F> ObjCClass::*table, const Selector& selector);
    template <class F>
    bool exchange(MethodMap<F> ObjCClass::*table, const Selector& a, const Selector& b);
    template <class F>
    bool addIfAbsent(MethodMap<F> ObjCClass::*table, const Selector& selector, F imp);

    const std::string name_;
    const ObjCClass* const superclass_;
    mutable std::shared_mutex mutex_;  // guards methods_, classMethods_ and properties_
    MethodMap<IMP> methods_;
    MethodMap<ClassIMP> classMethods_;
    std::map<std::string, Property, std::less<>> properties_;
};

// Fits `arguments` to the number of colons in `selector`: extra ones are dropped, missing
// ones are null.
Any::List argumentsForSelector(const Selector& selector, Any::List arguments);

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
    // Arguments are fitted to the selector's colon count (see argumentsForSelector).
    Any perform(const Selector& selector) { return performWithArguments(selector, {}); }
    Any perform(const Selector& selector, const Any& argument) { return performWithArguments(selector, {argument}); }
    Any perform(const Selector& selector, const Any& first, const Any& second) {
        return performWithArguments(selector, {first, second});
    }
    Any perform(const Selector& selector, const Any& first, const Any& second, const Any& third) {
        return performWithArguments(selector, {first, second, third});
    }
    Any performWithArguments(const Selector& selector, Any::List arguments);

    // Key-value coding over the registered properties, each member sending the method of
    // the same name. A missing property goes to valueForUndefinedKey / setValueForUndefinedKey
    // (which throw NSException "NSUnknownKeyException"), and null for a property that does not
    // accept it to setNilValueForKey (which throws "NSInvalidArgumentException").
    Any valueForKey(std::string_view key);
    void setValue(const Any& value, std::string_view key);
    // Sets every entry of a dictionary with text keys through setValue:forKey:; anything
    // else than a dictionary throws NSException "NSInvalidArgumentException".
    void setValuesForKeys(const Any& dictionary);
    Any valueForUndefinedKey(std::string_view key);
    void setValueForUndefinedKey(const Any& value, std::string_view key);
    void setNilValueForKey(std::string_view key);

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
// `static void registerClass(ObjCClass&)`; it runs once, when the metadata is first used
// (a subclass that does not define its own does not run its base's again).
// Constructors of the base are inherited.
template <class Derived, class Base, ObjCClassName Name>
class NSObjectSubclass : public Base {
public:
    using Base::Base;
    using Superclass = Base;

    static ObjCClass& classObject() {
        static ObjCClass& cls = [] () -> ObjCClass& {
            static ObjCClass made(std::string(Name.view()), &Base::classObject());
            if constexpr (requires { Derived::registerClass(made); }) {
                // Only a class's own registerClass: one inherited from the base already ran
                // for the base, whose methods this class inherits.
                bool own = true;
                if constexpr (requires { Base::registerClass(made); }) own = &Derived::registerClass != &Base::registerClass;
                if (own) Derived::registerClass(made);
            }
            return made;
        }();
        return cls;
    }
    ObjCClass& objcClass() const override { return classObject(); }
};

}  // namespace platform
