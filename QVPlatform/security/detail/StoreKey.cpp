#include <QVPlatform/security/detail/StoreKey.h>

#include <QVPlatform/base/detail/FileDescriptor.h>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform::detail {

namespace {

constexpr std::size_t kNonceSize = 12;
constexpr std::size_t kTagSize = 16;
// The key file: a 4-byte magic and the 32 key bytes.
constexpr std::array<std::uint8_t, 4> kKeyMagic{'Q', 'V', 'K', '1'};
constexpr std::size_t kKeyFileSize = kKeyMagic.size() + 32;


bool writeAll(int fd, const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

void syncFolder(const std::filesystem::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

// Freeing a context also wipes the key schedule it holds.
void CipherContextFree::operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }

void wipe(void* bytes, std::size_t count) {
    if (bytes && count) OPENSSL_cleanse(bytes, count);
}

std::vector<std::uint8_t> rowBinding(char tableTag, std::span<const std::uint8_t> rowIdentifier) {
    std::vector<std::uint8_t> out(5 + rowIdentifier.size());
    std::memcpy(out.data(), "QVKC", 4);
    out[4] = static_cast<std::uint8_t>(tableTag);
    if (!rowIdentifier.empty()) std::memcpy(out.data() + 5, rowIdentifier.data(), rowIdentifier.size());
    return out;
}

std::vector<std::uint8_t> randomBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    if (count && RAND_bytes(bytes.data(), static_cast<int>(count)) != 1) return {};
    return bytes;
}

StoreKey::StoreKey(const std::array<std::uint8_t, 32>& bytes) : bytes_(bytes) {
    static const char* const kDomain = "QVKeychain key identifier";
    std::array<std::uint8_t, EVP_MAX_MD_SIZE> digest{};
    unsigned length = 0;
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (context && EVP_DigestInit_ex(context, EVP_sha256(), nullptr) == 1 &&
        EVP_DigestUpdate(context, kDomain, std::char_traits<char>::length(kDomain)) == 1 &&
        EVP_DigestUpdate(context, bytes_.data(), bytes_.size()) == 1) {
        EVP_DigestFinal_ex(context, digest.data(), &length);
    }
    EVP_MD_CTX_free(context);
    static const char* const hex = "0123456789abcdef";
    for (unsigned i = 0; i < length && i < 16; ++i) {
        identifier_ += hex[digest[i] >> 4];
        identifier_ += hex[digest[i] & 15];
    }
}

StoreKey::~StoreKey() { wipe(bytes_.data(), bytes_.size()); }

// A cipher context keyed with the store key, borrowed from the key's pool for one
// operation. A context that failed (an OpenSSL error or a secret that did not authenticate)
// is freed rather than pooled, so the pool only ever holds contexts in a known state.
class StoreKey::Lease {
public:
    Lease(const StoreKey& key, Direction direction) : key_(key), direction_(direction) {
        {
            std::lock_guard lock(key_.poolMutex_);
            std::vector<CipherContext>& pool = idle();
            if (!pool.empty()) {
                context_ = std::move(pool.back());
                pool.pop_back();
                return;
            }
        }
        context_.reset(EVP_CIPHER_CTX_new());
        if (!context_) return;
        const std::uint8_t* bytes = key_.bytes_.data();
        const int keyed = direction == Direction::seal
                              ? EVP_EncryptInit_ex(context_.get(), EVP_aes_256_gcm(), nullptr, bytes, nullptr)
                              : EVP_DecryptInit_ex(context_.get(), EVP_aes_256_gcm(), nullptr, bytes, nullptr);
        if (keyed != 1) context_.reset();
    }
    ~Lease() {
        if (!context_) return;
        std::lock_guard lock(key_.poolMutex_);
        if (std::vector<CipherContext>& pool = idle(); pool.size() < kIdleContexts) pool.push_back(std::move(context_));
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    EVP_CIPHER_CTX* get() const { return context_.get(); }
    void discard() { context_.reset(); }

private:
    static constexpr std::size_t kIdleContexts = 8;
    std::vector<CipherContext>& idle() const { return direction_ == Direction::seal ? key_.sealers_ : key_.openers_; }

    const StoreKey& key_;
    Direction direction_;
    CipherContext context_;
};

std::optional<Data> StoreKey::seal(std::span<const std::uint8_t> plaintext,
                                   std::span<const std::uint8_t> associated) const {
    Lease context(*this, Direction::seal);
    if (!context.get()) return std::nullopt;
    std::vector<std::uint8_t> out(kNonceSize + plaintext.size() + kTagSize);
    if (RAND_bytes(out.data(), static_cast<int>(kNonceSize)) != 1) return std::nullopt;
    int length = 0;
    int finalLength = 0;
    // The context already holds the key: only the nonce is set per secret.
    if (EVP_EncryptInit_ex(context.get(), nullptr, nullptr, nullptr, out.data()) != 1 ||
        EVP_EncryptUpdate(context.get(), nullptr, &length, associated.data(), static_cast<int>(associated.size())) != 1 ||
        EVP_EncryptUpdate(context.get(), out.data() + kNonceSize, &length, plaintext.data(),
                          static_cast<int>(plaintext.size())) != 1 ||
        EVP_EncryptFinal_ex(context.get(), out.data() + kNonceSize + length, &finalLength) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kTagSize,
                            out.data() + kNonceSize + plaintext.size()) != 1) {
        context.discard();
        wipe(out.data(), out.size());
        return std::nullopt;
    }
    return Data(std::move(out));
}

std::optional<Data> StoreKey::open(std::span<const std::uint8_t> sealed,
                                   std::span<const std::uint8_t> associated) const {
    if (sealed.size() < kNonceSize + kTagSize) return std::nullopt;
    const std::size_t textSize = sealed.size() - kNonceSize - kTagSize;
    Lease context(*this, Direction::open);
    if (!context.get()) return std::nullopt;
    std::vector<std::uint8_t> out(textSize);
    std::array<std::uint8_t, kTagSize> tag{};
    std::copy(sealed.end() - kTagSize, sealed.end(), tag.begin());
    int length = 0;
    int finalLength = 0;
    const bool ok =
        EVP_DecryptInit_ex(context.get(), nullptr, nullptr, nullptr, sealed.data()) == 1 &&
        EVP_DecryptUpdate(context.get(), nullptr, &length, associated.data(), static_cast<int>(associated.size())) == 1 &&
        EVP_DecryptUpdate(context.get(), out.data(), &length, sealed.data() + kNonceSize, static_cast<int>(textSize)) == 1 &&
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kTagSize, tag.data()) == 1 &&
        EVP_DecryptFinal_ex(context.get(), out.data() + length, &finalLength) == 1;
    if (!ok) {
        context.discard();
        wipe(out.data(), out.size());
        return std::nullopt;
    }
    return Data(std::move(out));
}

OSStatus readKeyFile(const std::filesystem::path& path, std::shared_ptr<const StoreKey>& out) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return errno == ENOENT ? errSecItemNotFound : errSecNotAvailable;
    std::array<std::uint8_t, kKeyFileSize + 1> buffer{};
    std::size_t total = 0;
    while (total < buffer.size()) {
        const ssize_t got = ::read(fd.get(), buffer.data() + total, buffer.size() - total);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        total += static_cast<std::size_t>(got);
    }
    if (total != kKeyFileSize || !std::equal(kKeyMagic.begin(), kKeyMagic.end(), buffer.begin())) {
        wipe(buffer.data(), buffer.size());
        return errSecInvalidKeychain;
    }
    std::array<std::uint8_t, 32> bytes{};
    std::copy(buffer.begin() + kKeyMagic.size(), buffer.begin() + kKeyFileSize, bytes.begin());
    out = std::make_shared<const StoreKey>(bytes);
    wipe(bytes.data(), bytes.size());
    wipe(buffer.data(), buffer.size());
    return errSecSuccess;
}

OSStatus createKeyFile(const std::filesystem::path& path, std::shared_ptr<const StoreKey>& out) {
    std::vector<std::uint8_t> key = randomBytes(32);
    if (key.size() != 32) return errSecAllocate;
    std::array<std::uint8_t, kKeyFileSize> contents{};
    std::copy(kKeyMagic.begin(), kKeyMagic.end(), contents.begin());
    std::copy(key.begin(), key.end(), contents.begin() + kKeyMagic.size());
    wipe(key.data(), key.size());

    std::string temporary = (path.parent_path() / ".keychain.key.XXXXXX").string();
    FileDescriptor fd(::mkstemp(temporary.data()));  // mode 0600
    if (fd.get() < 0) return errSecNotAvailable;
    const bool written = writeAll(fd.get(), contents.data(), contents.size()) && ::fsync(fd.get()) == 0;
    wipe(contents.data(), contents.size());
    // link() fails with EEXIST when another process made the key first: its key wins.
    const bool linked = written && ::link(temporary.c_str(), path.c_str()) == 0;
    const int linkError = errno;
    ::unlink(temporary.c_str());
    if (!written) return errSecIO;
    if (!linked && linkError != EEXIST) return errSecIO;
    syncFolder(path.parent_path());
    return readKeyFile(path, out);
}

}  // namespace platform::detail
