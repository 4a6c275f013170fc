// The process's one connection to the keychain database, with its key, behind one lock.
// Every public call of the item store and of the shared web credentials runs its
// transaction through `withDatabase`.
#pragma once

#include <QVPlatform/security/SecBase.h>
#include <QVPlatform/security/detail/Database.h>
#include <QVPlatform/security/detail/StoreKey.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

namespace platform::detail {

class ItemStore {
public:
    static ItemStore& shared();

    // Runs `work` under the store lock with the open database and its key; opens (or
    // reopens, after a fork or a change of home folder) first. Answers the open's failure
    // without running `work`.
    // `work` is called as work(Database&, const std::shared_ptr<const StoreKey>&).
    template <class Work>
    OSStatus withDatabase(Work&& work) {
        std::lock_guard lock(mutex_);
        if (OSStatus s = ensureOpen(); s != errSecSuccess) return s;
        return work(*database_, key_);
    }

private:
    OSStatus ensureOpen();
    OSStatus openAt(std::string home);

    std::mutex mutex_;  // guards database_, key_, home_ and forks_
    std::unique_ptr<Database> database_;
    std::shared_ptr<const StoreKey> key_;
    std::string home_;  // the home folder the database was opened under
    unsigned forks_ = 0;  // the fork count the database was opened under
};

}  // namespace platform::detail
