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

template <class F>
std::shared_ptr<const F> ObjCClass::find(const ObjCClass* from, MethodMap<F> ObjCClass::*table, const Selector& selector) {
    for (const ObjCClass* c = from; c; c = c->superclass_) {
        std::shared_lock lock(c->mutex_);
        const auto& methods = c->*table;
        const auto it = methods.find(selector);
        if (it != methods.end()) return it->second;
    }
    return nullptr;
}

template <class F>
bool ObjCClass::exchange(MethodMap<F> ObjCClass::*table, const Selector& a, const Selector& b) {
    std::unique_lock lock(mutex_);
    // Look up under this class's lock so two exchanges on one class cannot interleave; the
    // superclasses' own locks are taken one at a time below it.
    const auto lookUp = [&](const Selector& selector) -> std::shared_ptr<const F> {
        const auto& own = this->*table;
        if (const auto it = own.find(selector); it != own.end()) return it->second;
        return find(superclass_, table, selector);
    };
    auto first = lookUp(a);
    auto second = lookUp(b);
    if (!first || !second) return false;
    (this->*table)[a] = std::move(second);
    (this->*table)[b] = std::move(first);
    return true;
}

template <class F>
bool ObjCClass::addIfAbsent(MethodMap<F> ObjCClass::*table, const Selector& selector, F imp) {
    std::unique_lock lock(mutex_);
    return (this->*table).try_emplace(selector, std::make_shared<const F>(std::move(imp))).second;
}

void ObjCClass::addMethod(const Selector& selector, IMP imp) {
    std::unique_lock lock(mutex_);
    methods_[selector] = std::make_shared<const IMP>(std::move(imp));
}

bool ObjCClass::addMethodIfAbsent(const Selector& selector, IMP imp) {
    return addIfAbsent(&ObjCClass::methods_, selector, std::move(imp));
}

std::shared_ptr<const IMP> ObjCClass::findMethod(const Selector& selector) const {
    return find(this, &ObjCClass::methods_, selector);
}

std::shared_ptr<const IMP> ObjCClass::ownMethod(const Selector& selector) const {
    std::shared_lock lock(mutex_);
    const auto it = methods_.find(selector);
    return it == methods_.end() ? nullptr : it->second;
}

bool ObjCClass::exchangeImplementations(const Selector& a, const Selector& b) {
    return exchange(&ObjCClass::methods_, a, b);
}

void ObjCClass::addClassMethod(const Selector& selector, ClassIMP imp) {
    std::unique_lock lock(mutex_);
    classMethods_[selector] = std::make_shared<const ClassIMP>(std::move(imp));
}

bool ObjCClass::addClassMethodIfAbsent(const Selector& selector, ClassIMP imp) {
    return addIfAbsent(&ObjCClass::classMethods_, selector, std::move(imp));
}

std::shared_ptr<const ClassIMP> ObjCClass::findClassMethod(const Selector& selector) const {
    return find(this, &ObjCClass::classMethods_, selector);
}

std::shared_ptr<const ClassIMP> ObjCClass::ownClassMethod(const Selector& selector) const {
    std::shared_lock lock(mutex_);
    const auto it = classMethods_.find(selector);
    return it == classMethods_.end() ? nullptr : it->second;
}

bool ObjCClass::exchangeClassImplementations(const Selector& a, const Selector& b) {
    return exchange(&ObjCClass::classMethods_, a, b);
}

Any ObjCClass::performClassMethod(const Selector& selector, Any::List arguments) {
    const auto imp = findClassMethod(selector);
    if (!imp) {
        throw NSException("NSInvalidArgumentException",
                          "+[" + name_ + " " + selector + "]: unrecognized selector sent to class");
    }
    return (*imp)(*this, argumentsForSelector(selector, std::move(arguments)));
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

Any::List argumentsForSelector(const Selector& selector, Any::List arguments) {
    arguments.resize(static_cast<std::size_t>(std::count(selector.begin(), selector.end(), ':')));
    return arguments;
}

namespace {

std::string keyArgument(const Any::List& arguments, std::size_t index) {
    return index < arguments.size() ? arguments[index].string() : std::string();
}

[[noreturn]] void throwUnknownKey(const NSObject& self, const char* method, const std::string& key) {
    throw NSException("NSUnknownKeyException", "[<" + self.className() + "> " + method +
                                                   "]: this class is not key value coding-compliant for the key " +
                                                   key + ".");
}

// Key-value coding as methods of the root class, so that subclasses and exchanges reach it.
void registerKeyValueCoding(ObjCClass& cls) {
    cls.addMethod("valueForKey:", [](NSObject& self, const Any::List& args) {
        const std::string key = keyArgument(args, 0);
        const auto property = self.objcClass().findProperty(key);
        if (!property || !property->getter) return self.perform("valueForUndefinedKey:", Any(key));
        return property->getter(self);
    });
    cls.addMethod("setValue:forKey:", [](NSObject& self, const Any::List& args) {
        const Any& value = args.empty() ? Any::null() : args[0];
        const std::string key = keyArgument(args, 1);
        const auto property = self.objcClass().findProperty(key);
        if (!property || !property->setter) return self.perform("setValue:forUndefinedKey:", value, Any(key));
        if (value.isNull() && !property->acceptsNil) return self.perform("setNilValueForKey:", Any(key));
        property->setter(self, value);
        return Any();
    });
    cls.addMethod("setValuesForKeysWithDictionary:", [](NSObject& self, const Any::List& args) {
        const Any::Dictionary* entries = args.empty() ? nullptr : args[0].asDictionary();
        if (!entries) {
            throw NSException("NSInvalidArgumentException",
                              "-[" + self.className() + " setValuesForKeysWithDictionary:]: argument is not a dictionary");
        }
        for (const auto& [key, value] : *entries) self.perform("setValue:forKey:", value, Any(key));
        return Any();
    });
    cls.addMethod("valueForUndefinedKey:", [](NSObject& self, const Any::List& args) -> Any {
        throwUnknownKey(self, "valueForUndefinedKey:", keyArgument(args, 0));
    });
    cls.addMethod("setValue:forUndefinedKey:", [](NSObject& self, const Any::List& args) -> Any {
        throwUnknownKey(self, "setValue:forUndefinedKey:", keyArgument(args, 1));
    });
    cls.addMethod("setNilValueForKey:", [](NSObject& self, const Any::List& args) -> Any {
        throw NSException("NSInvalidArgumentException", "[<" + self.className() +
                                                            "> setNilValueForKey]: could not set nil as the value for the key " +
                                                            keyArgument(args, 0) + ".");
    });
}

}  // namespace

ObjCClass& NSObject::classObject() {
    static ObjCClass& cls = []() -> ObjCClass& {
        static ObjCClass made("NSObject", nullptr);
        registerKeyValueCoding(made);
        return made;
    }();
    return cls;
}

bool NSObject::respondsToSelector(const Selector& selector) const {
    return objcClass().instancesRespondToSelector(selector);
}

Any NSObject::performWithArguments(const Selector& selector, Any::List arguments) {
    const auto imp = objcClass().findMethod(selector);
    if (!imp) {
        throw NSException("NSInvalidArgumentException",
                          "-[" + className() + " " + selector + "]: unrecognized selector sent to instance");
    }
    return (*imp)(*this, argumentsForSelector(selector, std::move(arguments)));
}

Any NSObject::valueForKey(std::string_view key) { return perform("valueForKey:", Any(key)); }

void NSObject::setValue(const Any& value, std::string_view key) { perform("setValue:forKey:", value, Any(key)); }

void NSObject::setValuesForKeys(const Any& dictionary) { perform("setValuesForKeysWithDictionary:", dictionary); }

Any NSObject::valueForUndefinedKey(std::string_view key) { return perform("valueForUndefinedKey:", Any(key)); }

void NSObject::setValueForUndefinedKey(const Any& value, std::string_view key) {
    perform("setValue:forUndefinedKey:", value, Any(key));
}

void NSObject::setNilValueForKey(std::string_view key) { perform("setNilValueForKey:", Any(key)); }

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
