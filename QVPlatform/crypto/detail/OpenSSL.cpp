#include <QVPlatform/crypto/detail/OpenSSL.h>

#include <openssl/provider.h>

#include <map>
#include <mutex>
#include <string>

namespace platform::detail {

namespace {

// The providers and every fetched algorithm, released at exit. Loading "legacy" into the
// default library context switches off the automatic load of "default", so both are loaded
// explicitly. The providers are loaded in the constructor, which starts OpenSSL first: its
// own clean-up at exit therefore runs after this destructor.
class Registry {
public:
    Registry() : default_(OSSL_PROVIDER_load(nullptr, "default")), legacy_(OSSL_PROVIDER_load(nullptr, "legacy")) {}
    ~Registry() {
        for (auto& [name, md] : digests_) EVP_MD_free(md);
        for (auto& [name, cipher] : ciphers_) EVP_CIPHER_free(cipher);
        if (legacy_) OSSL_PROVIDER_unload(legacy_);
        if (default_) OSSL_PROVIDER_unload(default_);
    }
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    const EVP_MD* digest(const char* name) {
        std::lock_guard lock(mutex_);
        auto [it, inserted] = digests_.try_emplace(name, nullptr);
        if (inserted) it->second = EVP_MD_fetch(nullptr, name, nullptr);
        return it->second;
    }
    const EVP_CIPHER* cipher(const char* name) {
        std::lock_guard lock(mutex_);
        auto [it, inserted] = ciphers_.try_emplace(name, nullptr);
        if (inserted) it->second = EVP_CIPHER_fetch(nullptr, name, nullptr);
        return it->second;
    }

private:
    OSSL_PROVIDER* default_;
    OSSL_PROVIDER* legacy_;
    std::mutex mutex_;
    std::map<std::string, EVP_MD*> digests_;      // guarded by mutex_
    std::map<std::string, EVP_CIPHER*> ciphers_;  // guarded by mutex_
};

Registry& registry() {
    static Registry instance;
    return instance;
}

}  // namespace

const EVP_MD* fetchedDigest(const char* name) { return registry().digest(name); }

const EVP_CIPHER* fetchedCipher(const char* name) { return registry().cipher(name); }

}  // namespace platform::detail
