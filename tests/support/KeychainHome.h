// A fresh home folder for one keychain test: the item store opens its database there, so
// tests never see each other's items. `reopen()` makes the store open its files again (as a
// new process would), for tests that change the files underneath it.
#pragma once

#include "support/TemporaryFolder.h"

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/security/SecItem.h>

#include <filesystem>

namespace qvtest {

class KeychainHome {
public:
    KeychainHome() { platform::Host::configure({.homePath = home_.folder}); }
    ~KeychainHome() { platform::Host::configure({}); }
    KeychainHome(const KeychainHome&) = delete;
    KeychainHome& operator=(const KeychainHome&) = delete;

    std::filesystem::path folder() const { return platform::SecKeychainFolder(); }
    std::filesystem::path database() const { return folder() / "keychain.db"; }
    std::filesystem::path keyFile() const { return folder() / "keychain.key"; }

    void reopen() {
        TemporaryFolder elsewhere("qv-kc-other");
        platform::Host::configure({.homePath = elsewhere.folder});
        platform::SecItemDelete({{platform::kSecClass, platform::kSecClassGenericPassword}});
        platform::Host::configure({.homePath = home_.folder});
    }

private:
    TemporaryFolder home_{"qv-kc-home"};
};

}  // namespace qvtest
