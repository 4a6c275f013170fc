// SecAccessControl: the access-control object of an item: a protection (one of the seven
// kSecAttrAccessible values) and the constraints a read must satisfy.
//
//   CFErrorRef error;
//   auto acl = SecAccessControlCreateWithFlags(nullptr, kSecAttrAccessibleWhenUnlocked,
//                                              kSecAccessControlUserPresence, &error);
//   // acl->flags() == 1; an item added with it needs user presence to be read
//
// Here every constraint means the same thing: the host's authentication agent must approve
// the read (see SecItem.h). The flags are stored and returned as given. Immutable: safe to
// share between threads.
#pragma once

#include <QVPlatform/runtime/NSObject.h>
#include <QVPlatform/security/CFError.h>

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

using SecAccessControlCreateFlags = std::uint64_t;
inline constexpr SecAccessControlCreateFlags kSecAccessControlUserPresence = 1u << 0;
inline constexpr SecAccessControlCreateFlags kSecAccessControlBiometryAny = 1u << 1;
inline constexpr SecAccessControlCreateFlags kSecAccessControlBiometryCurrentSet = 1u << 3;
inline constexpr SecAccessControlCreateFlags kSecAccessControlDevicePasscode = 1u << 4;
inline constexpr SecAccessControlCreateFlags kSecAccessControlWatch = 1u << 5;
inline constexpr SecAccessControlCreateFlags kSecAccessControlOr = 1u << 14;
inline constexpr SecAccessControlCreateFlags kSecAccessControlAnd = 1u << 15;
inline constexpr SecAccessControlCreateFlags kSecAccessControlPrivateKeyUsage = 1u << 30;
inline constexpr SecAccessControlCreateFlags kSecAccessControlApplicationPassword = 1u << 31;

class SecAccessControl : public NSObjectSubclass<SecAccessControl, NSObject, "SecAccessControl"> {
public:
    SecAccessControl(std::string protection, SecAccessControlCreateFlags flags)
        : protection_(std::move(protection)), flags_(flags) {}
    const std::string& protection() const { return protection_; }
    SecAccessControlCreateFlags flags() const { return flags_; }
    // True when a read needs the authentication agent's approval (any constraint bit set).
    bool requiresUserPresence() const;
    std::string description() const override;

private:
    const std::string protection_;
    const SecAccessControlCreateFlags flags_;
};

using SecAccessControlRef = std::shared_ptr<SecAccessControl>;

// True for the seven kSecAttrAccessible values.
bool isKnownProtection(const std::string& protection);

// Null, with a CFError (domain NSOSStatusErrorDomain, code errSecParam) in `error` when given,
// for a protection outside the seven, a bit outside the named ones, or `or` with `and`.
// `allocator` is accepted for the platform's signature and ignored.
SecAccessControlRef SecAccessControlCreateWithFlags(const void* allocator, const std::string& protection,
                                                    SecAccessControlCreateFlags flags, CFErrorRef* error);

}  // namespace platform
