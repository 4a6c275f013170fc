#include <QVToolbox/keychain/KeychainError.h>

namespace QVToolbox {

KeychainError::KeychainError(std::string domain, std::int64_t code, platform::Any::Dictionary userInfo,
                             std::string description)
    : domain_(std::move(domain)), code_(code), userInfo_(std::move(userInfo)), description_(std::move(description)) {}

KeychainError KeychainError::fromCFError(const platform::CFError& error) {
    const platform::NSError value = platform::NSError::from(error);
    return KeychainError(value.domain, value.code, value.userInfo, value.localizedDescription());
}

}  // namespace QVToolbox
