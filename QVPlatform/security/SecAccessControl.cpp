#include <QVPlatform/security/SecAccessControl.h>

#include <QVPlatform/security/SecBase.h>

#include <array>
#include <string_view>

namespace platform {

namespace {

constexpr SecAccessControlCreateFlags kKnownFlags =
    kSecAccessControlUserPresence | kSecAccessControlBiometryAny | kSecAccessControlBiometryCurrentSet |
    kSecAccessControlDevicePasscode | kSecAccessControlWatch | kSecAccessControlOr | kSecAccessControlAnd |
    kSecAccessControlPrivateKeyUsage | kSecAccessControlApplicationPassword;

}  // namespace

bool isKnownProtection(const std::string& protection) {
    static constexpr std::array<std::string_view, 7> known{
        kSecAttrAccessibleWhenUnlocked,
        kSecAttrAccessibleAfterFirstUnlock,
        kSecAttrAccessibleAlways,
        kSecAttrAccessibleWhenPasscodeSetThisDeviceOnly,
        kSecAttrAccessibleWhenUnlockedThisDeviceOnly,
        kSecAttrAccessibleAfterFirstUnlockThisDeviceOnly,
        kSecAttrAccessibleAlwaysThisDeviceOnly,
    };
    for (std::string_view k : known) {
        if (k == protection) return true;
    }
    return false;
}

bool SecAccessControl::requiresUserPresence() const {
    return (flags_ & ~(kSecAccessControlOr | kSecAccessControlAnd)) != 0;
}

std::string SecAccessControl::description() const {
    return "<SecAccessControl protection: " + protection_ + ", flags: " + std::to_string(flags_) + ">";
}

SecAccessControlRef SecAccessControlCreateWithFlags(const void*, const std::string& protection,
                                                    SecAccessControlCreateFlags flags, CFErrorRef* error) {
    auto fail = [&](const std::string& why) -> SecAccessControlRef {
        if (error) *error = makeOSStatusError(errSecParam, why);
        return nullptr;
    };
    if (!isKnownProtection(protection)) return fail("Unknown protection \"" + protection + "\".");
    if ((flags & ~kKnownFlags) != 0) return fail("Unknown access-control flags " + std::to_string(flags & ~kKnownFlags) + ".");
    if ((flags & kSecAccessControlOr) && (flags & kSecAccessControlAnd)) {
        return fail("Access-control flags cannot combine Or with And.");
    }
    return std::make_shared<SecAccessControl>(protection, flags);
}

}  // namespace platform
