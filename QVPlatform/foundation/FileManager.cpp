#include <QVPlatform/foundation/FileManager.h>

#include <QVPlatform/foundation/AtomicFile.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fts.h>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

void setError(std::string* error, std::string message) {
    if (error) *error = std::move(message);
}

void setErrno(std::string* error, std::string_view what, std::string_view path) {
    if (error) *error = std::string(what) + " " + std::string(path) + ": " + std::strerror(errno);
}

// Closes a file descriptor when it goes out of scope.
struct FileDescriptor {
    int fd = -1;
    explicit FileDescriptor(int f) : fd(f) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

struct DirHandle {
    DIR* dir;
    explicit DirHandle(DIR* d) : dir(d) {}
    DirHandle(const DirHandle&) = delete;
    DirHandle& operator=(const DirHandle&) = delete;
    ~DirHandle() {
        if (dir) ::closedir(dir);
    }
};

bool lstatPath(const std::string& path, struct stat& st) { return ::lstat(path.c_str(), &st) == 0; }

// The folder's entry names in byte order, without "." and "..".
std::optional<std::vector<std::string>> listNames(const std::string& path, std::string* error) {
    DirHandle handle(::opendir(path.c_str()));
    if (!handle.dir) {
        setErrno(error, "cannot list", path);
        return std::nullopt;
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(handle.dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    if (errno != 0) {
        setErrno(error, "cannot list", path);
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string parentOf(std::string_view path) {
    std::string p(path);
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    const auto slash = p.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return p.substr(0, slash);
}

const char* typeName(mode_t mode) {
    if (S_ISREG(mode)) return FileAttributeType::regular;
    if (S_ISDIR(mode)) return FileAttributeType::directory;
    if (S_ISLNK(mode)) return FileAttributeType::symbolicLink;
    if (S_ISCHR(mode)) return FileAttributeType::characterSpecial;
    if (S_ISBLK(mode)) return FileAttributeType::blockSpecial;
    if (S_ISSOCK(mode)) return FileAttributeType::socket;
    return FileAttributeType::unknown;
}

Date dateOf(const struct timespec& t) {
    return Date(static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9);
}

bool filesEqual(const std::string& a, const std::string& b, off_t size) {
    FileDescriptor fa(::open(a.c_str(), O_RDONLY | O_CLOEXEC));
    FileDescriptor fb(::open(b.c_str(), O_RDONLY | O_CLOEXEC));
    if (fa.fd < 0 || fb.fd < 0) return false;
    std::array<char, 64 * 1024> bufA{};
    std::array<char, 64 * 1024> bufB{};
    off_t left = size;
    while (left > 0) {
        const auto want = static_cast<std::size_t>(std::min<off_t>(left, static_cast<off_t>(bufA.size())));
        for (auto [fd, buf] : {std::pair{fa.fd, bufA.data()}, std::pair{fb.fd, bufB.data()}}) {
            std::size_t got = 0;
            while (got < want) {
                const ssize_t n = ::read(fd, buf + got, want - got);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) return false;  // shrank under us or failed
                got += static_cast<std::size_t>(n);
            }
        }
        if (std::memcmp(bufA.data(), bufB.data(), want) != 0) return false;
        left -= static_cast<off_t>(want);
    }
    return true;
}

bool itemsEqual(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    if (!lstatPath(a, sa) || !lstatPath(b, sb)) return false;
    if (sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino) return true;
    if ((sa.st_mode & S_IFMT) != (sb.st_mode & S_IFMT)) return false;
    if (S_ISREG(sa.st_mode)) return sa.st_size == sb.st_size && filesEqual(a, b, sa.st_size);
    if (S_ISLNK(sa.st_mode)) {
        std::error_code e1, e2;
        const auto ta = fs::read_symlink(a, e1);
        const auto tb = fs::read_symlink(b, e2);
        return !e1 && !e2 && ta == tb;
    }
    if (S_ISDIR(sa.st_mode)) {
        const auto na = listNames(a, nullptr);
        const auto nb = listNames(b, nullptr);
        if (!na || !nb || *na != *nb) return false;
        for (const auto& name : *na) {
            if (!itemsEqual(joinPath(a, name), joinPath(b, name))) return false;
        }
        return true;
    }
    if (S_ISCHR(sa.st_mode) || S_ISBLK(sa.st_mode)) return sa.st_rdev == sb.st_rdev;
    return false;
}

}  // namespace

// DirectoryEnumerator ---------------------------------------------------------

DirectoryEnumerator::DirectoryEnumerator(std::string root) : root_(std::move(root)) {
    if (auto names = listNames(root_, nullptr)) frames_.push_back({"", std::move(*names), 0});
}

std::optional<std::string> DirectoryEnumerator::nextObject() {
    if (pendingFolder_ && !skipLast_) {
        if (auto names = listNames(joinPath(root_, *pendingFolder_), nullptr)) {
            frames_.push_back({*pendingFolder_, std::move(*names), 0});
        }
    }
    pendingFolder_.reset();
    skipLast_ = false;
    while (!frames_.empty()) {
        Frame& frame = frames_.back();
        if (frame.next == frame.names.size()) {
            frames_.pop_back();
            continue;
        }
        std::string relative = joinPath(frame.relative, frame.names[frame.next++]);
        lastLevel_ = frames_.size();
        struct stat st {};
        if (lstatPath(joinPath(root_, relative), st) && S_ISDIR(st.st_mode)) pendingFolder_ = relative;
        return relative;
    }
    return std::nullopt;
}

std::vector<std::string> DirectoryEnumerator::allObjects() {
    std::vector<std::string> all;
    while (auto next = nextObject()) all.push_back(std::move(*next));
    return all;
}

// FileManager -----------------------------------------------------------------

std::shared_ptr<FileManager> FileManager::defaultManager() {
    static const auto manager = std::make_shared<FileManager>();
    return manager;
}

bool FileManager::fileExistsAtPath(std::string_view path) const {
    bool ignored = false;
    return fileExistsAtPath(path, ignored);
}

bool FileManager::itemExistsAtPath(std::string_view path) const {
    struct stat st {};
    return !path.empty() && ::lstat(std::string(path).c_str(), &st) == 0;
}

std::uint64_t FileManager::sizeOfFilesBelowPath(std::string_view folder) const {
    std::string root(folder);
    char* paths[] = {root.data(), nullptr};
    // FTS_PHYSICAL: links are reported as links; FTS_COMFOLLOW: the root itself may be a link
    // to the folder asked about; FTS_NOCHDIR: the process's working folder is left alone.
    const auto closer = [](FTS* f) { fts_close(f); };
    std::unique_ptr<FTS, decltype(closer)> tree(fts_open(paths, FTS_PHYSICAL | FTS_COMFOLLOW | FTS_NOCHDIR, nullptr), closer);
    if (!tree) return 0;
    std::uint64_t total = 0;
    while (FTSENT* entry = fts_read(tree.get())) {
        switch (entry->fts_info) {
            case FTS_F:
            case FTS_SL:
            case FTS_SLNONE:
            case FTS_DEFAULT:
                if (entry->fts_statp && entry->fts_statp->st_size > 0) {
                    total += static_cast<std::uint64_t>(entry->fts_statp->st_size);
                }
                break;
            default: break;  // folders, unreadable folders, errors
        }
    }
    return total;
}

bool FileManager::fileExistsAtPath(std::string_view path, bool& isDirectory) const {
    struct stat st {};
    const std::string p(path);
    if (p.empty() || ::stat(p.c_str(), &st) != 0) {
        isDirectory = false;
        return false;
    }
    isDirectory = S_ISDIR(st.st_mode);
    return true;
}

bool FileManager::isReadableFileAtPath(std::string_view path) const {
    const std::string p(path);
    return !p.empty() && ::access(p.c_str(), R_OK) == 0;
}

bool FileManager::isWritableFileAtPath(std::string_view path) const {
    const std::string p(path);
    return !p.empty() && ::access(p.c_str(), W_OK) == 0;
}

bool FileManager::isExecutableFileAtPath(std::string_view path) const {
    const std::string p(path);
    return !p.empty() && ::access(p.c_str(), X_OK) == 0;
}

bool FileManager::isDeletableFileAtPath(std::string_view path) const {
    const std::string p(path);
    struct stat item {};
    if (p.empty() || !lstatPath(p, item)) return false;
    const std::string parent = parentOf(p);
    if (::access(parent.c_str(), W_OK | X_OK) != 0) return false;
    struct stat folder {};
    if (::stat(parent.c_str(), &folder) != 0) return false;
    if (folder.st_mode & S_ISVTX) {
        const uid_t me = ::geteuid();
        return me == 0 || item.st_uid == me || folder.st_uid == me;
    }
    return true;
}

std::optional<Any::Dictionary> FileManager::attributesOfItemAtPath(std::string_view path, std::string* error) const {
    const std::string p(path);
    struct stat st {};
    if (p.empty() || !lstatPath(p, st)) {
        setErrno(error, "cannot read attributes of", p);
        return std::nullopt;
    }
    Any::Dictionary attributes;
    attributes[FileAttributeKey::size] = static_cast<std::int64_t>(st.st_size);
    attributes[FileAttributeKey::type] = typeName(st.st_mode);
    attributes[FileAttributeKey::modificationDate] = dateOf(st.st_mtim);
    Date created = dateOf(st.st_ctim);
    struct statx sx {};
    if (::statx(AT_FDCWD, p.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME)) {
        created = Date(static_cast<double>(sx.stx_btime.tv_sec) + static_cast<double>(sx.stx_btime.tv_nsec) / 1e9);
    }
    attributes[FileAttributeKey::creationDate] = created;
    attributes[FileAttributeKey::posixPermissions] = static_cast<std::int64_t>(st.st_mode & 07777);
    attributes[FileAttributeKey::referenceCount] = static_cast<std::int64_t>(st.st_nlink);
    attributes[FileAttributeKey::ownerAccountID] = static_cast<std::int64_t>(st.st_uid);
    attributes[FileAttributeKey::groupOwnerAccountID] = static_cast<std::int64_t>(st.st_gid);
    attributes[FileAttributeKey::systemNumber] = static_cast<std::int64_t>(st.st_dev);
    attributes[FileAttributeKey::systemFileNumber] = static_cast<std::int64_t>(st.st_ino);
    // Account names through the reentrant lookups (the plain ones share static buffers).
    std::array<char, 4096> buffer{};
    struct passwd pw {};
    struct passwd* pwResult = nullptr;
    if (::getpwuid_r(st.st_uid, &pw, buffer.data(), buffer.size(), &pwResult) == 0 && pwResult) {
        attributes[FileAttributeKey::ownerAccountName] = std::string(pw.pw_name);
    }
    struct group gr {};
    struct group* grResult = nullptr;
    if (::getgrgid_r(st.st_gid, &gr, buffer.data(), buffer.size(), &grResult) == 0 && grResult) {
        attributes[FileAttributeKey::groupOwnerAccountName] = std::string(gr.gr_name);
    }
    return attributes;
}

bool FileManager::createDirectoryAtPath(std::string_view path, bool intermediates, std::string* error) const {
    const std::string p(path);
    if (p.empty()) {
        setError(error, "cannot create a folder at the empty path");
        return false;
    }
    if (!intermediates) {
        if (::mkdir(p.c_str(), 0777) == 0) return true;
        setErrno(error, "cannot create folder", p);
        return false;
    }
    std::error_code ec;
    fs::create_directories(fs::path(p), ec);
    if (!ec) {
        bool isDirectory = false;
        if (fileExistsAtPath(p, isDirectory) && isDirectory) return true;
        setError(error, "cannot create folder " + p + ": an item that is not a folder is in the way");
        return false;
    }
    setError(error, "cannot create folder " + p + ": " + ec.message());
    return false;
}

bool FileManager::createFileAtPath(std::string_view path, const Data* contents) const {
    return writeAtomically(path, contents ? contents->view() : std::string_view());
}

bool FileManager::removeItemAtPath(std::string_view path, std::string* error) const {
    const std::string p(path);
    struct stat st {};
    if (p.empty() || !lstatPath(p, st)) {
        setErrno(error, "cannot remove", p);
        return false;
    }
    std::error_code ec;
    fs::remove_all(fs::path(p), ec);
    if (ec) {
        setError(error, "cannot remove " + p + ": " + ec.message());
        return false;
    }
    return true;
}

bool FileManager::copyItemAtPath(std::string_view from, std::string_view to, std::string* error) const {
    const std::string src(from), dst(to);
    struct stat st {};
    struct stat existing {};
    if (src.empty() || !lstatPath(src, st)) {
        setErrno(error, "cannot copy", src);
        return false;
    }
    if (dst.empty() || lstatPath(dst, existing)) {
        setError(error, "cannot copy to " + dst + ": an item already exists there");
        return false;
    }
    std::error_code ec;
    if (S_ISLNK(st.st_mode)) {
        fs::copy_symlink(src, dst, ec);
    } else if (S_ISDIR(st.st_mode)) {
        fs::copy(src, dst, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    } else {
        fs::copy_file(src, dst, fs::copy_options::none, ec);
    }
    if (ec) {
        setError(error, "cannot copy " + src + " to " + dst + ": " + ec.message());
        return false;
    }
    return true;
}

bool FileManager::moveItemAtPath(std::string_view from, std::string_view to, std::string* error) const {
    const std::string src(from), dst(to);
    struct stat st {};
    struct stat existing {};
    if (src.empty() || !lstatPath(src, st)) {
        setErrno(error, "cannot move", src);
        return false;
    }
    if (dst.empty() || lstatPath(dst, existing)) {
        setError(error, "cannot move to " + dst + ": an item already exists there");
        return false;
    }
    if (::rename(src.c_str(), dst.c_str()) == 0) return true;
    if (errno != EXDEV) {
        setErrno(error, "cannot move", src);
        return false;
    }
    // Another file system: copy, then remove the source; a failed copy leaves the source.
    if (!copyItemAtPath(src, dst, error)) return false;
    return removeItemAtPath(src, error);
}

std::optional<std::vector<std::string>> FileManager::contentsOfDirectoryAtPath(std::string_view path,
                                                                               std::string* error) const {
    return listNames(std::string(path), error);
}

std::optional<std::vector<std::string>> FileManager::subpathsOfDirectoryAtPath(std::string_view path,
                                                                               std::string* error) const {
    const std::string p(path);
    if (!listNames(p, error)) return std::nullopt;
    return DirectoryEnumerator(p).allObjects();
}

std::unique_ptr<DirectoryEnumerator> FileManager::enumeratorAtPath(std::string_view path) const {
    bool isDirectory = false;
    if (!fileExistsAtPath(path, isDirectory) || !isDirectory) return nullptr;
    return std::make_unique<DirectoryEnumerator>(std::string(path));
}

bool FileManager::contentsEqualAtPath(std::string_view path1, std::string_view path2) const {
    return itemsEqual(std::string(path1), std::string(path2));
}

std::optional<Data> FileManager::contentsAtPath(std::string_view path) const {
    const std::string p(path);
    FileDescriptor file(::open(p.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (S_ISREG(st.st_mode)) bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::array<std::uint8_t, 64 * 1024> chunk{};
    for (;;) {
        const ssize_t n = ::read(file.fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + n);
    }
    return Data(std::move(bytes));
}

bool FileManager::writeAtomically(std::string_view path, std::string_view bytes, std::string* error) const {
    if (path.empty()) {
        setError(error, "cannot write to the empty path");
        return false;
    }
    return writeFileAtomically(fs::path(std::string(path)), bytes, error);
}

bool FileManager::writeContents(std::string_view path, std::string_view bytes, std::string* error) const {
    const std::string p(path);
    FileDescriptor file(::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.fd < 0) {
        setErrno(error, "cannot write", p);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            setErrno(error, "cannot write", p);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(file.fd) != 0) {
        file.fd = -1;
        setErrno(error, "cannot write", p);
        return false;
    }
    file.fd = -1;
    return true;
}

}  // namespace platform
