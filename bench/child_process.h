// SPDX-License-Identifier: MIT
#pragma once

// The benchmark's clock and the programs it starts: spawned with a pidfd, reaped with their
// peak memory, and the files they write watched with inotify.

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench {

namespace fs = std::filesystem;

inline constexpr double kTimeoutMs = 20000;

inline double NowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

[[noreturn]] inline void Die(const std::string& what)
{
    std::fprintf(stderr, "vexalo-bench: %s\n", what.c_str());
    std::exit(2);
}

struct Candidate {
    std::string name;
    std::vector<std::string> argv;
    std::vector<std::string> env; // NAME=value added to ours
};

// A started program, with a pidfd to wait on.
struct Child {
    pid_t pid = -1;
    int pidfd = -1;
};

inline Child Spawn(const Candidate& candidate, const fs::path& cwd)
{
    Child child;
    child.pid = fork();
    if (child.pid < 0)
        Die("fork failed");
    if (child.pid == 0) {
        if (chdir(cwd.c_str()) != 0)
            _exit(127);
        for (const std::string& e : candidate.env)
            putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : candidate.argv)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        // The benchmark's own output stays readable; what the candidates say is noise here.
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDOUT_FILENO);
        dup2(devnull, STDERR_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    child.pidfd = static_cast<int>(syscall(SYS_pidfd_open, child.pid, 0));
    if (child.pidfd < 0)
        Die("pidfd_open failed");
    return child;
}

// Waits for the child to end; returns its peak resident memory in KiB, or -1 on timeout.
inline long Reap(Child& child, double deadline)
{
    pollfd p{child.pidfd, POLLIN, 0};
    while (poll(&p, 1, 10) == 0) {
        if (NowMs() > deadline) {
            kill(child.pid, SIGKILL);
            deadline = NowMs() + kTimeoutMs;
        }
    }
    int status = 0;
    rusage usage{};
    wait4(child.pid, &status, 0, &usage);
    close(child.pidfd);
    child = {};
    return usage.ru_maxrss;
}

inline long PrivateDirtyKb(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    for (std::string key; in >> key;) {
        long value = 0;
        if (key == "Private_Dirty:" && in >> value)
            return value;
        in.ignore(LONG_MAX, '\n');
    }
    return -1;
}

// Waits for a file named `name` to be created or renamed into the directory watched by `fd`.
inline bool WaitForFile(int fd, const char* name, double deadline)
{
    alignas(inotify_event) char buffer[4096];
    while (NowMs() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10) <= 0)
            continue;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && std::strcmp(event->name, name) == 0 &&
                (event->mask & (IN_MOVED_TO | IN_CREATE)))
                return true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return false;
}

class Watch {
public:
    explicit Watch(const fs::path& dir) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (fd_ < 0 || inotify_add_watch(fd_, dir.c_str(), IN_MOVED_TO | IN_CREATE) < 0)
            Die("cannot watch " + dir.string());
    }
    ~Watch() { close(fd_); }
    bool Wait(const char* name, double deadline) { return WaitForFile(fd_, name, deadline); }

private:
    int fd_;
};

} // namespace bench
