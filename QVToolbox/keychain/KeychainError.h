// KeychainError: the one exception the keychain store throws: an error domain, a code and a
// user-info dictionary, whose `what()` is its description. `Status` (KeychainStatus.h)
// derives from it; so does the error converted from a platform CFError.
//
//   try { keychain->set("pw", "alice"); }
//   catch (const KeychainError& e) { e.domain(); e.code(); e.what(); }
//
// A value: copy it freely; immutable after construction.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/security/CFError.h>

#include <cstdint>
#include <exception>
#include <string>

namespace QVToolbox {

class KeychainError : public std::exception {
public:
    // `description` is what `what()` answers.
    KeychainError(std::string domain, std::int64_t code, platform::Any::Dictionary userInfo, std::string description);
    // The platform error value: domain, code and user info as CFErrorGetDomain, CFErrorGetCode
    // and CFErrorCopyUserInfo give them.
    static KeychainError fromCFError(const platform::CFError& error);

    const std::string& domain() const { return domain_; }
    std::int64_t code() const { return code_; }
    const platform::Any::Dictionary& userInfo() const { return userInfo_; }
    const std::string& localizedDescription() const { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    std::string domain_;
    std::int64_t code_;
    platform::Any::Dictionary userInfo_;
    std::string description_;
};

}  // namespace QVToolbox
