// FileDescriptor: sole owner of a POSIX file descriptor, closed when the owner goes.
//
//   FileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC));
//   if (file.get() < 0) return fail();
//   ::read(file.get(), buffer, size);
//   if (!file.close()) return fail();   // close can report a delayed write error
#pragma once

#include <unistd.h>

namespace platform::detail {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and reports the result.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

}  // namespace platform::detail
