// CFError: the platform's error object (a domain, a code and a user-info dictionary), and
// NSError, the plain error value it converts to.
//
//   auto error = CFError::make(NSOSStatusErrorDomain, errSecParam, {{NSLocalizedDescriptionKey, "bad flags"}});
//   CFErrorGetCode(*error);                 // -50
//   NSError value = NSError::from(*error);  // same domain, code and user info
//
// Both are immutable once made: safe to share between threads.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/runtime/NSObject.h>

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The user-info key of an error's human-readable description.
inline constexpr const char* NSLocalizedDescriptionKey = "NSLocalizedDescription";

class CFError : public NSObjectSubclass<CFError, NSObject, "CFError"> {
public:
    CFError(std::string domain, std::int64_t code, Any::Dictionary userInfo)
        : domain_(std::move(domain)), code_(code), userInfo_(std::move(userInfo)) {}
    static std::shared_ptr<CFError> make(std::string domain, std::int64_t code, Any::Dictionary userInfo = {}) {
        return std::make_shared<CFError>(std::move(domain), code, std::move(userInfo));
    }

    const std::string& domain() const { return domain_; }
    std::int64_t code() const { return code_; }
    const Any::Dictionary& userInfo() const { return userInfo_; }
    std::string description() const override;

private:
    const std::string domain_;
    const std::int64_t code_;
    const Any::Dictionary userInfo_;
};

using CFErrorRef = std::shared_ptr<CFError>;

inline const std::string& CFErrorGetDomain(const CFError& error) { return error.domain(); }
inline std::int64_t CFErrorGetCode(const CFError& error) { return error.code(); }
inline Any::Dictionary CFErrorCopyUserInfo(const CFError& error) { return error.userInfo(); }

// The error value: what a CFError converts to.
struct NSError {
    std::string domain;
    std::int64_t code = 0;
    Any::Dictionary userInfo;

    static NSError from(const CFError& error) {
        return {CFErrorGetDomain(error), CFErrorGetCode(error), CFErrorCopyUserInfo(error)};
    }
    // The text under NSLocalizedDescriptionKey, or "<domain> error <code>" when there is none.
    std::string localizedDescription() const;
};

// A CFError in NSOSStatusErrorDomain for a store result code, with a description.
CFErrorRef makeOSStatusError(std::int32_t status, const std::string& description);

}  // namespace platform
