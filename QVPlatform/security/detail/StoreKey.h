// The store's AES-256 key, kept in a file beside the database, and the sealing of secrets
// with AES-256-GCM. The key bytes are wiped when the key is dropped.
//
// Sealing and opening may run on any thread at once. Each runs on a cipher context already
// keyed (the AES key schedule is made once per context, not per secret), borrowed from a
// small pool under a lock and given back after use; contexts beyond the pool's size are freed.
#pragma once

#include <QVPlatform/base/Data.h>
#include <QVPlatform/security/SecBase.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <openssl/types.h>

namespace platform::detail {

struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* context) const;
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;

class StoreKey {
public:
    explicit StoreKey(const std::array<std::uint8_t, 32>& bytes);
    ~StoreKey();
    StoreKey(const StoreKey&) = delete;
    StoreKey& operator=(const StoreKey&) = delete;

    // A public identifier of the key (hex of a hash of it), recorded in the database.
    const std::string& identifier() const { return identifier_; }

    // nonce (12) + ciphertext + tag (16); `associated` is authenticated but not stored.
    std::optional<Data> seal(std::span<const std::uint8_t> plaintext, std::span<const std::uint8_t> associated) const;
    // The plaintext, or absent when the sealed bytes do not authenticate.
    std::optional<Data> open(std::span<const std::uint8_t> sealed, std::span<const std::uint8_t> associated) const;

private:
    class Lease;
    enum class Direction { seal, open };

    std::array<std::uint8_t, 32> bytes_;
    std::string identifier_;
    mutable std::mutex poolMutex_;                 // guards sealers_ and openers_
    mutable std::vector<CipherContext> sealers_;   // keyed for encryption, idle
    mutable std::vector<CipherContext> openers_;   // keyed for decryption, idle
};

// Reads the key file at `path`. errSecItemNotFound when there is none; errSecInvalidKeychain
// when it is not a key.
OSStatus readKeyFile(const std::filesystem::path& path, std::shared_ptr<const StoreKey>& out);
// Creates the key file once, atomically across processes: a new key is written to a
// temporary file, flushed and linked to `path`; when another process linked first, its key
// is read instead.
OSStatus createKeyFile(const std::filesystem::path& path, std::shared_ptr<const StoreKey>& out);

// The associated data that binds a sealed secret to its row: a tag naming the table and the
// row's fixed random identifier.
std::vector<std::uint8_t> rowBinding(char tableTag, std::span<const std::uint8_t> rowIdentifier);

// `count` random bytes from OpenSSL; empty on failure.
std::vector<std::uint8_t> randomBytes(std::size_t count);

// Wipes a buffer that held secret bytes.
void wipe(void* bytes, std::size_t count);

}  // namespace platform::detail
