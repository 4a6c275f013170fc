#include <QVPlatform/crypto/detail/OpenSSL.h>

#include <openssl/provider.h>

#include <map>
#include <mutex>
#include <string>

namespace platform::detail {

namespace {

// Loading "legacy" into the default library context switches off the automatic load of
// "default", so both are loaded explicitly. The handles live as long as the process.
void loadProviders() {
    static std::once_flag once;
    std::call_once(once, [] {
        OSSL_PROVIDER_load(nullptr, "default");
        OSSL_PROVIDER_load(nullptr, "legacy");
    });
}

template <class T, class Fetch>
const T* fetchOnce(const char* name, Fetch fetch) {
    static std::mutex mutex;
    static std::map<std::string, T*> fetched;  // guarded by mutex; entries are never freed
    std::lock_guard lock(mutex);
    auto [it, inserted] = fetched.try_emplace(name, nullptr);
    if (inserted) it->second = fetch(nullptr, name, nullptr);
    return it->second;
}

}  // namespace

const EVP_MD* fetchedDigest(const char* name) {
    loadProviders();
    return fetchOnce<EVP_MD>(name, EVP_MD_fetch);
}

const EVP_CIPHER* fetchedCipher(const char* name) {
    loadProviders();
    return fetchOnce<EVP_CIPHER>(name, EVP_CIPHER_fetch);
}

}  // namespace platform::detail
