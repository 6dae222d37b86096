#include "e2e/child_process.h"

#include "e2e/e2e_support.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace quorvel::e2e {

namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& additions) {
    std::map<std::string, std::string> merged;
    std::vector<std::string> order;
    auto put = [&](const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('='));
        if (merged.find(name) == merged.end()) {
            order.push_back(name);
        }
        merged[name] = entry;
    };
    for (char** entry = environ; *entry != nullptr; ++entry) {
        put(*entry);
    }
    for (const auto& entry : additions) {
        put(entry);
    }
    std::vector<std::string> result;
    for (const auto& name : order) {
        result.push_back(merged[name]);
    }
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Only async-signal-safe calls between fork and exec: the test has threads of its own.
[[noreturn]] void BecomeChild(const char* program, char** argv, char** envp, const char* input, const char* log,
                              const char* folder, pid_t parent) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
        ::_exit(127);
    }
    const int in = ::open(input, O_RDONLY | O_CLOEXEC);
    const int out = ::open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (in < 0 || out < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(out, 2) < 0) {
        ::_exit(126);
    }
    if (folder[0] != '\0' && ::chdir(folder) != 0) {
        ::_exit(126);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execve(program, argv, envp);
    ::_exit(127);
}

} // namespace

ChildProcess::~ChildProcess() {
    Stop();
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args, const Options& options,
                         std::string& error) {
    if (::access(program.c_str(), X_OK) != 0) {
        error = program + " cannot be run: " + std::strerror(errno);
        return false;
    }
    std::vector<std::string> argvStrings = {program};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings = MergedEnvironment(options.environment);
    std::vector<char*> argv = Pointers(argvStrings);
    std::vector<char*> envp = Pointers(envStrings);
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid < 0) {
        error = std::string("fork failed: ") + std::strerror(errno);
        return false;
    }
    if (pid == 0) {
        BecomeChild(program.c_str(), argv.data(), envp.data(), options.inputFile.c_str(), options.logFile.c_str(),
                    options.folder.c_str(), parent);
    }
    // Also from this side, so that a Stop right after the start reaches the whole group.
    ::setpgid(pid, pid);
    m_pid = pid;
    m_ended = false;
    m_exitCode.reset();
    return true;
}

void ChildProcess::Reap(int status) {
    m_ended = true;
    if (WIFEXITED(status)) {
        m_exitCode = WEXITSTATUS(status);
    }
}

bool ChildProcess::IsRunning() {
    if (m_pid <= 0 || m_ended) {
        return false;
    }
    int status = 0;
    pid_t result = -1;
    do {
        result = ::waitpid(m_pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == m_pid) {
        Reap(status);
        return false;
    }
    return result == 0;
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds limit) {
    return WaitUntil([this] { return !IsRunning(); }, limit, std::chrono::milliseconds(50));
}

void ChildProcess::Stop(std::chrono::milliseconds grace) {
    if (m_pid <= 0) {
        return;
    }
    if (IsRunning()) {
        ::kill(-m_pid, SIGTERM);
        if (!WaitForExit(grace)) {
            ::kill(-m_pid, SIGKILL);
            WaitForExit(std::chrono::milliseconds(5000));
        }
        // Helpers that outlived the leader belong to its group; the group's number cannot have been given to
        // anyone else while they live.
        ::kill(-m_pid, SIGKILL);
    }
    m_pid = -1;
}

std::optional<std::string> RunAndCapture(const std::string& program, const std::vector<std::string>& args,
                                         const std::string& scratchFolder, std::chrono::milliseconds limit,
                                         const std::string& input) {
    static std::atomic<int> counter{0};
    const std::string stem = scratchFolder + "/capture-" + std::to_string(++counter);
    ChildProcess::Options options;
    options.logFile = stem + ".out";
    if (!input.empty()) {
        options.inputFile = stem + ".in";
        if (!WriteText(options.inputFile, input)) {
            return std::nullopt;
        }
    }
    ChildProcess child;
    std::string error;
    if (!child.Start(program, args, options, error)) {
        Log(error);
        return std::nullopt;
    }
    if (!child.WaitForExit(limit) || child.ExitCode() != 0) {
        Log(program + " failed; its output:\n" + ReadText(options.logFile));
        child.Stop();
        return std::nullopt;
    }
    child.Stop();
    return ReadText(options.logFile);
}

} // namespace quorvel::e2e
