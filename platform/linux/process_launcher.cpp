#include "platform/process_launcher.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace quorvel {

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// A name without '/' is looked up in $PATH, as a shell would, so that "xdg-open" works.
std::optional<std::string> ResolveProgram(const std::string& program) {
    if (program.empty()) {
        return std::nullopt;
    }
    if (program.find('/') != std::string::npos) {
        return IsExecutableFile(program) ? std::optional(program) : std::nullopt;
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        std::string folder = folders.substr(start, end - start);
        std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + program;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

// What this process knows about the children it started. Once a child is reaped its number may be given to an
// unrelated process, so the record, not kill(), answers for it from then on.
struct Children {
    std::mutex mutex;
    std::map<ProcessId, bool> running; // pid -> still running
};

Children& KnownChildren() {
    static Children children;
    return children;
}

// Reaps the child if it has ended. Nothing when `pid` is not (or no longer) a child of this process.
std::optional<bool> ChildRunning(ProcessId pid) {
    int status = 0;
    pid_t result = -1;
    do {
        result = ::waitpid(pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) {
        return true;
    }
    if (result == pid) {
        return false;
    }
    return std::nullopt;
}

// Ended children stay zombies until someone waits for them; collect those nobody asks about (an xdg-open that
// has done its work) so they do not pile up over a long session.
void ReapEndedChildren(Children& children) {
    for (auto& [pid, running] : children.running) {
        if (running && ChildRunning(pid) == false) {
            running = false;
        }
    }
}

} // namespace

std::optional<ProcessId> LinuxProcessLauncher::Launch(const std::string& program,
                                                      const std::vector<std::string>& args) {
    // Checked first so that a missing or non-executable program is reported here and not as a child that ends
    // at once; posix_spawn's own error covers the rest (for example a file that is not a valid executable).
    auto resolved = ResolveProgram(program);
    if (!resolved) {
        return std::nullopt;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // Hidden: no terminal, and standard streams that lead nowhere.
    for (int fd = 0; fd <= 2; ++fd) {
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    // No descriptor of ours (the control connection, lock files) leaks into the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    // The child starts with default signal handling and nothing blocked, whatever this process has set up.
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    Children& children = KnownChildren();
    std::lock_guard lock(children.mutex);
    ReapEndedChildren(children);
    pid_t pid = -1;
    int error = ::posix_spawn(&pid, resolved->c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0 || pid <= 0) {
        return std::nullopt;
    }
    children.running[pid] = true;
    return pid;
}

bool LinuxProcessLauncher::IsRunning(ProcessId pid) {
    // 0 and negative numbers name process groups to kill(); never a process.
    if (pid <= 0) {
        return false;
    }
    Children& children = KnownChildren();
    {
        std::lock_guard lock(children.mutex);
        auto known = children.running.find(pid);
        if (known != children.running.end()) {
            if (known->second) {
                known->second = ChildRunning(pid).value_or(false);
            }
            return known->second;
        }
    }
    // A child someone else started (not through this launcher) is theirs to reap: only look.
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0) {
        return info.si_pid != pid;
    }
    // Not a child of ours: it exists when it can be signalled (EPERM: it exists but belongs to someone else).
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

bool LinuxProcessLauncher::WaitForExit(ProcessId pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (!IsRunning(pid)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace quorvel
