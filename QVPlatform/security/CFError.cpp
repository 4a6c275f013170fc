#include <QVPlatform/security/CFError.h>

#include <QVPlatform/security/SecBase.h>

namespace platform {

std::string CFError::description() const {
    return NSError::from(*this).localizedDescription();
}

std::string NSError::localizedDescription() const {
    const auto found = userInfo.find(NSLocalizedDescriptionKey);
    if (found != userInfo.end() && found->second.isString()) return found->second.string();
    return domain + " error " + std::to_string(code);
}

CFErrorRef makeOSStatusError(std::int32_t status, const std::string& description) {
    return CFError::make(NSOSStatusErrorDomain, status, {{NSLocalizedDescriptionKey, description}});
}

}  // namespace platform
