// Shared web credentials: passwords kept per (domain, account) for web sites, in the same
// database as the keychain items and sealed the same way (see SecItem.h), and the
// password generator.
//
//   SecAddSharedWebCredential("example.com", "alice", "pw", [](CFErrorRef error) { ... });
//   SecRequestSharedWebCredential("example.com", std::nullopt,
//       [](std::optional<Any::List> credentials, CFErrorRef error) { ... });
//   SecCreateSharedWebCredentialPassword();   // "k7m-Qx2-9pa-Rt4"
//
// Completions run on the global dispatch queue, never under a store lock. Thread rule: any
// thread, any process.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/security/CFError.h>

#include <functional>
#include <optional>
#include <string>

namespace platform {

// Stores (or, with no password, removes) the password of `account` at `domain`. The
// completion receives null on success, else an error in NSOSStatusErrorDomain (an empty
// domain or account: errSecParam; removing a missing one: errSecItemNotFound).
void SecAddSharedWebCredential(const std::string& domain, const std::string& account,
                               const std::optional<std::string>& password, std::function<void(CFErrorRef)> completion);

// The credentials matching the domain and account when given (all when absent), oldest
// first, each a dictionary with kSecAttrServer, kSecAttrAccount and kSecSharedPassword.
// None found: an empty list and no error. A store failure: no list and an error.
void SecRequestSharedWebCredential(const std::optional<std::string>& domain, const std::optional<std::string>& account,
                                   std::function<void(std::optional<Any::List>, CFErrorRef)> completion);

// A new random password: four groups of three letters and digits joined by "-" (15
// characters), drawn without bias from OpenSSL's random bytes. Absent only when the random
// source fails.
std::optional<std::string> SecCreateSharedWebCredentialPassword();

}  // namespace platform
