#include <QVPlatform/runtime/NSObject.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <thread>
#include <unordered_map>

namespace platform {

// ObjCClass ------------------------------------------------------------------------------

bool ObjCClass::isSubclassOf(const ObjCClass& other) const {
    for (const ObjCClass* c = this; c; c = c->superclass_) {
        if (c == &other) return true;
    }
    return false;
}

void ObjCClass::addMethod(const Selector& selector, IMP imp) {
    std::unique_lock lock(mutex_);
    methods_[selector] = std::make_shared<const IMP>(std::move(imp));
}

std::shared_ptr<const IMP> ObjCClass::findMethod(const Selector& selector) const {
    for (const ObjCClass* c = this; c; c = c->superclass_) {
        std::shared_lock lock(c->mutex_);
        const auto it = c->methods_.find(selector);
        if (it != c->methods_.end()) return it->second;
    }
    return nullptr;
}

bool ObjCClass::exchangeImplementations(const Selector& a, const Selector& b) {
    auto first = findMethod(a);
    auto second = findMethod(b);
    if (!first || !second) return false;
    std::unique_lock lock(mutex_);
    methods_[a] = second;
    methods_[b] = first;
    return true;
}

void ObjCClass::addProperty(const std::string& key, Property property) {
    std::unique_lock lock(mutex_);
    properties_[key] = std::move(property);
}

std::optional<ObjCClass::Property> ObjCClass::findProperty(std::string_view key) const {
    for (const ObjCClass* c = this; c; c = c->superclass_) {
        std::shared_lock lock(c->mutex_);
        const auto it = c->properties_.find(key);
        if (it != c->properties_.end()) return it->second;
    }
    return std::nullopt;
}

// NSObject -------------------------------------------------------------------------------

ObjCClass& NSObject::classObject() {
    static ObjCClass cls("NSObject", nullptr);
    return cls;
}

bool NSObject::respondsToSelector(const Selector& selector) const {
    return objcClass().instancesRespondToSelector(selector);
}

Any NSObject::perform(const Selector& selector) { return perform(selector, Any(), Any()); }

Any NSObject::perform(const Selector& selector, const Any& argument) {
    const auto imp = objcClass().findMethod(selector);
    if (!imp) {
        throw NSException("NSInvalidArgumentException",
                          "-[" + className() + " " + selector + "]: unrecognized selector sent to instance");
    }
    const auto colons = std::count(selector.begin(), selector.end(), ':');
    return colons == 0 ? (*imp)(*this, {}) : (*imp)(*this, {argument});
}

Any NSObject::perform(const Selector& selector, const Any& first, const Any& second) {
    const auto imp = objcClass().findMethod(selector);
    if (!imp) {
        throw NSException("NSInvalidArgumentException",
                          "-[" + className() + " " + selector + "]: unrecognized selector sent to instance");
    }
    const auto colons = std::count(selector.begin(), selector.end(), ':');
    if (colons == 0) return (*imp)(*this, {});
    if (colons == 1) return (*imp)(*this, {first});
    return (*imp)(*this, {first, second});
}

Any NSObject::valueForKey(std::string_view key) const {
    const auto property = objcClass().findProperty(key);
    if (!property || !property->getter) return valueForUndefinedKey(key);
    return property->getter(*this);
}

void NSObject::setValue(const Any& value, std::string_view key) {
    const auto property = objcClass().findProperty(key);
    if (!property || !property->setter) {
        setValueForUndefinedKey(value, key);
        return;
    }
    if (value.isNull() && !property->acceptsNil) {
        setNilValueForKey(key);
        return;
    }
    property->setter(*this, value);
}

Any NSObject::valueForUndefinedKey(std::string_view key) const {
    throw NSException("NSUnknownKeyException",
                      "[<" + className() + "> valueForUndefinedKey:]: this class is not key value coding-compliant for the key " +
                          std::string(key) + ".");
}

void NSObject::setValueForUndefinedKey(const Any&, std::string_view key) {
    throw NSException("NSUnknownKeyException",
                      "[<" + className() + "> setValue:forUndefinedKey:]: this class is not key value coding-compliant for the key " +
                          std::string(key) + ".");
}

void NSObject::setNilValueForKey(std::string_view key) {
    throw NSException("NSInvalidArgumentException",
                      "[<" + className() + "> setNilValueForKey]: could not set nil as the value for the key " +
                          std::string(key) + ".");
}

std::string NSObject::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return "<" + className() + ": " + address + ">";
}

void NSObject::setAssociation(const void* key, std::any value, AssociationPolicy policy) {
    std::any old;  // released outside the lock: it may be the last owner of an object
    std::lock_guard lock(associationsMutex_);
    auto it = associations_.find(key);
    if (!value.has_value()) {
        if (it != associations_.end()) {
            old = std::move(it->second.value);
            associations_.erase(it);
        }
        return;
    }
    if (it != associations_.end()) {
        old = std::move(it->second.value);
        it->second = Association{std::move(value), policy};
    } else {
        associations_.emplace(key, Association{std::move(value), policy});
    }
}

std::any NSObject::association(const void* key) const {
    std::lock_guard lock(associationsMutex_);
    const auto it = associations_.find(key);
    return it == associations_.end() ? std::any() : it->second.value;
}

// objc_sync -----------------------------------------------------------------------------

namespace {

struct SyncLock {
    std::recursive_mutex mutex;
    int users = 0;  // threads holding or waiting; guarded by the table's mutex
};

struct SyncTable {
    std::mutex mutex;  // guards locks
    std::unordered_map<const void*, std::unique_ptr<SyncLock>> locks;
};

SyncTable& syncTable() {
    static auto* table = new SyncTable();
    return *table;
}

}  // namespace

void objc_sync_enter(const void* object) {
    if (!object) return;
    auto& table = syncTable();
    SyncLock* lock;
    {
        std::lock_guard guard(table.mutex);
        auto& slot = table.locks[object];
        if (!slot) slot = std::make_unique<SyncLock>();
        lock = slot.get();
        ++lock->users;
    }
    lock->mutex.lock();
}

void objc_sync_exit(const void* object) {
    if (!object) return;
    auto& table = syncTable();
    std::lock_guard guard(table.mutex);
    const auto it = table.locks.find(object);
    if (it == table.locks.end()) return;
    SyncLock& lock = *it->second;
    lock.mutex.unlock();
    if (--lock.users == 0) table.locks.erase(it);
}

}  // namespace platform
