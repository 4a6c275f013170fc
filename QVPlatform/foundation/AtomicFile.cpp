#include <QVPlatform/foundation/AtomicFile.h>

#include <QVPlatform/base/detail/FileDescriptor.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

using detail::FileDescriptor;

bool fail(std::string* error, const std::string& what, int code) {
    if (error) *error = what + ": " + std::strerror(code);
    return false;
}

// Every temporary name for `target` starts with ".NAME.tmp-".
std::string temporaryPrefix(const std::filesystem::path& target) {
    std::string prefix = ".";
    prefix += target.filename().string();
    prefix += ".tmp-";
    return prefix;
}

// A name no other writer uses at the same time: pid, a process-wide counter and a random
// salt (so that a recycled pid does not collide with a stale file).
std::string temporaryName(const std::filesystem::path& target) {
    static const unsigned salt = std::random_device{}();
    static std::atomic<unsigned> counter{0};
    std::string name = temporaryPrefix(target);
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(counter.fetch_add(1));
    name += '-';
    name += std::to_string(salt);
    return name;
}

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// The writer pid a temporary name of `prefix` carries ("<prefix><pid>-..."), or absent.
std::optional<pid_t> writerOf(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) return std::nullopt;
    name.remove_prefix(prefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error != std::errc() || pid <= 0 || end == name.data() + name.size() || *end != '-') return std::nullopt;
    return pid;
}

bool isAlive(pid_t pid) { return pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH; }

}  // namespace

int removeAbandonedTemporaryFiles(const std::filesystem::path& path) {
    if (path.empty() || !path.has_filename()) return 0;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    const std::string prefix = temporaryPrefix(path);
    int removed = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const auto writer = writerOf(name, prefix);
        if (!writer || isAlive(*writer)) continue;
        if (::unlink(entry.path().c_str()) == 0) ++removed;
    }
    return removed;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string* error,
                         std::optional<std::filesystem::perms> permissions) {
    if (path.empty() || !path.has_filename()) return fail(error, "invalid path", EINVAL);
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");

    // Keep the permissions of the file being replaced unless the caller names others.
    std::optional<mode_t> mode;
    if (permissions) {
        mode = static_cast<mode_t>(*permissions) & 07777;
    } else {
        struct stat existing {};
        if (::stat(path.c_str(), &existing) == 0) mode = existing.st_mode & 07777;
    }

    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = folder / temporaryName(path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return fail(error, "cannot create " + temporary.string(), errno);
    }
    if (fd < 0) return fail(error, "cannot create a temporary file in " + folder.string(), EEXIST);
    FileDescriptor file(fd);

    auto abandon = [&](const std::string& what) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return fail(error, what, code);
    };
    if (mode && ::fchmod(file.get(), *mode) != 0) return abandon("cannot set permissions");
    if (!writeAll(file.get(), bytes)) return abandon("cannot write " + temporary.string());
    if (::fsync(file.get()) != 0) return abandon("cannot flush " + temporary.string());
    if (!file.close()) return abandon("cannot close " + temporary.string());
    if (::rename(temporary.c_str(), path.c_str()) != 0) return abandon("cannot replace " + path.string());

    // Flush the folder so that the new directory entry is durable too. The file is already in
    // place; a folder that cannot be flushed (some file systems refuse) is not an error.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        FileDescriptor folderFile(dir);
        ::fsync(folderFile.get());
    }
    return true;
}

}  // namespace platform
