#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace qvtest {

namespace {

// A pipe whose ends close with it.
struct Pipe {
    std::array<int, 2> fd{-1, -1};
    Pipe() {
        if (pipe2(fd.data(), O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    void closeEnd(int i) {
        if (fd[i] >= 0) close(fd[i]);
        fd[i] = -1;
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
};

// The tool's fixed environment; QV_HOME is a folder made once per test run and removed
// with everything in it when the run ends.
std::vector<std::string> fixedEnvironment() {
    static const qvtest::TemporaryFolder folder("qvtool-test-home");
    const std::string& home = folder.folder;
    const char* path = std::getenv("PATH");
    return {"PATH=" + std::string(path ? path : "/usr/bin:/bin"), "TZ=UTC", "LC_ALL=en_US.UTF-8", "QV_HOME=" + home};
}

// The fixed environment with `changes` ("NAME=VALUE") replacing the entries of the same name.
std::vector<std::string> environmentWith(const std::vector<std::string>& changes) {
    auto entries = fixedEnvironment();
    for (const auto& change : changes) {
        const std::string name = change.substr(0, change.find('=') + 1);
        std::erase_if(entries, [&name](const std::string& entry) { return entry.starts_with(name); });
        entries.push_back(change);
    }
    return entries;
}

// Writes `input` to the child's standard input while reading its two outputs, so that no
// side waits on a full pipe.
void exchange(Pipe& in, Pipe& out, Pipe& err, const std::string& input, ToolRun& run) {
    std::size_t written = 0;
    if (input.empty()) in.closeEnd(1);
    char buffer[65536];
    while (out.fd[0] >= 0 || err.fd[0] >= 0) {
        std::vector<pollfd> fds;
        if (in.fd[1] >= 0) fds.push_back({in.fd[1], POLLOUT, 0});
        if (out.fd[0] >= 0) fds.push_back({out.fd[0], POLLIN, 0});
        if (err.fd[0] >= 0) fds.push_back({err.fd[0], POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("poll failed");
        }
        for (const auto& p : fds) {
            if (p.revents == 0) continue;
            if (p.fd == in.fd[1]) {
                const auto n = write(p.fd, input.data() + written, input.size() - written);
                if (n > 0) written += static_cast<std::size_t>(n);
                if (n < 0 || written == input.size()) in.closeEnd(1);
                continue;
            }
            Pipe& source = p.fd == out.fd[0] ? out : err;
            const auto n = read(p.fd, buffer, sizeof buffer);
            if (n > 0) {
                (p.fd == out.fd[0] ? run.out : run.err).append(buffer, static_cast<std::size_t>(n));
            } else {
                source.closeEnd(0);
            }
        }
    }
}

}  // namespace

std::string toolPath() { return QVTOOL_PATH; }

ToolRun runTool(const std::vector<std::string>& arguments, const std::string& input, const std::string& workingFolder,
                const std::vector<std::string>& environment) {
    // A tool that exits without reading all its input must not end the test with SIGPIPE.
    static const bool ignoringSigpipe = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    (void)ignoringSigpipe;
    Pipe in, out, err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.fd[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.fd[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err.fd[1], 2);
    if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());

    const std::string path = toolPath();
    std::vector<std::string> argStrings{path};
    argStrings.insert(argStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : argStrings) argv.push_back(a.data());
    argv.push_back(nullptr);
    auto envStrings = environmentWith(environment);
    std::vector<char*> envp;
    for (auto& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + path);
    in.closeEnd(0);
    out.closeEnd(1);
    err.closeEnd(1);

    ToolRun run;
    exchange(in, out, err, input, run);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace qvtest
