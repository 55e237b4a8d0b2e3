// SPDX-License-Identifier: MIT
#include "launch/launch.h"

#include "core/error.h"
#include "core/fd.h"
#include "launch/activation_platform.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace vexalo {
namespace {

class LaunchErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "vexalo-launch"; }
    std::string message(int code) const override
    {
        switch (static_cast<LaunchError>(code)) {
        case LaunchError::ForeignOwner:
            return "owned by another user, not started";
        case LaunchError::WritableByOthers:
            return "writable by other users, not started";
        case LaunchError::InvalidWindowsProgram:
            return "not a valid Windows program";
        case LaunchError::NeedsWine:
            return "a Windows program; install Wine to start it";
        case LaunchError::NotFound:
            return "not found beside vexalo-config, in the working directory or in PATH";
        case LaunchError::ForeignMachine:
            return "a Windows program for a processor that Wine on this machine cannot run";
        case LaunchError::NeedsWine32:
            return "a 32-bit Windows program; install Wine's 32-bit part (on Debian: dpkg "
                   "--add-architecture i386, then apt install wine32:i386)";
        case LaunchError::NeedsWine64:
            return "a 64-bit Windows program; install Wine's 64-bit part (on Debian: apt "
                   "install wine64)";
        case LaunchError::WineFailed:
            return "Wine could not start it";
        }
        return "unknown launch error";
    }
};

[[noreturn]] void FailToStart(std::error_code code)
{
    throw Error(kRendererName, code);
}

[[noreturn]] void FailToStart(int error)
{
    FailToStart(std::error_code(error, std::generic_category()));
}

// The directory the running binary was started from, as the kernel names it: an install
// path need not be valid in the locale's encoding. Empty when the kernel does not say.
std::string ToolDirectory()
{
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < path.size()) {
            path.resize(static_cast<std::size_t>(length));
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WorkingDirectory()
{
    std::string path(256, '\0');
    while (!::getcwd(path.data(), path.size())) {
        if (errno != ERANGE)
            return {};
        path.resize(path.size() * 2);
    }
    path.resize(std::strlen(path.c_str()));
    return path;
}

// PATH's absolute entries. Empty and relative ones would mean wherever the user happens to
// stand, where a planted file must not run unchecked: the working directory is searched, but
// with the owner's checks.
std::vector<std::string_view> AbsoluteEntries(std::string_view path)
{
    std::vector<std::string_view> entries;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        if (const std::string_view entry = path.substr(start, end - start); entry.starts_with('/'))
            entries.push_back(entry);
        start = end + 1;
    }
    return entries;
}

std::string InDirectory(std::string_view directory, std::string_view name)
{
    std::string path(directory);
    if (!path.ends_with('/'))
        path += '/';
    return path += name;
}

bool IsExecutableFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Whether `gid` is the private group of user `uid`: the user is its one member, as primary
// or supplementary group (Debian's user-private groups).
bool IsPrivateGroupOf(gid_t gid, uid_t uid)
{
    const passwd* user = ::getpwuid(uid);
    const group* candidate = user ? ::getgrgid(gid) : nullptr;
    if (!candidate)
        return false;
    const std::string name = user->pw_name;
    bool member = user->pw_gid == gid;
    for (char** listed = candidate->gr_mem; *listed; ++listed) {
        if (name != *listed)
            return false;
        member = true;
    }
    if (!member)
        return false;
    ::setpwent();
    bool alone = true;
    while (const passwd* other = ::getpwent()) {
        if (other->pw_gid == gid && other->pw_uid != uid)
            alone = false;
    }
    ::endpwent();
    return alone;
}

// Whether a file in the working directory may run: the user's or root's, and changeable by
// no one else, so that a file planted in a shared directory does not run.
std::optional<LaunchError> RefusalOf(const struct stat& status)
{
    const uid_t user = ::geteuid();
    if (status.st_uid != user && status.st_uid != 0)
        return LaunchError::ForeignOwner;
    if ((status.st_mode & S_IWOTH) != 0 ||
        ((status.st_mode & S_IWGRP) != 0 && !IsPrivateGroupOf(status.st_gid, user)))
        return LaunchError::WritableByOthers;
    return std::nullopt;
}

// Where to look, in order: beside the tool, then, `withWorking`, the working directory, then
// PATH's absolute entries.
std::vector<std::string_view> Directories(const SearchPlaces& places, bool withWorking)
{
    std::vector<std::string_view> directories;
    if (!places.toolDirectory.empty())
        directories.push_back(places.toolDirectory);
    if (withWorking && !places.workingDirectory.empty())
        directories.push_back(places.workingDirectory);
    const auto entries = AbsoluteEntries(places.path);
    directories.insert(directories.end(), entries.begin(), entries.end());
    return directories;
}

struct Found {
    std::string path; // absolute
    Fd file;          // open on the file that was checked
};

// The PE header's Machine field of a Windows program: "MZ", and at 0x3C the offset of
// "PE\0\0" inside the file, followed by the machine. nullopt for any other file; 0 for "MZ"
// without a valid PE header.
std::optional<std::uint16_t> WindowsMachineOf(int fd)
{
    std::array<unsigned char, 0x40> dos{};
    if (::pread(fd, dos.data(), dos.size(), 0) < 2 || dos[0] != 'M' || dos[1] != 'Z')
        return std::nullopt;
    const off_t at =
        dos[0x3C] | dos[0x3D] << 8 | dos[0x3E] << 16 | static_cast<off_t>(dos[0x3F]) << 24;
    std::array<unsigned char, 6> header{};
    if (::pread(fd, header.data(), header.size(), at) != 6 ||
        std::string_view(reinterpret_cast<const char*>(header.data()), 4) !=
            std::string_view("PE\0\0", 4))
        return 0;
    return static_cast<std::uint16_t>(header[4] | header[5] << 8);
}

// Looks in the tool's directory, then the working directory, then PATH's absolute entries.
// As execvp does, a match that may not run is remembered and the search goes on; the most
// telling of those is reported when nothing runs. A Windows program needs no execute bit
// (Wine reads it, and archives made on Windows carry none), except on PATH, where only
// programs count.
Found FindRenderer(const SearchPlaces& places)
{
    const std::vector<std::string_view> directories = Directories(places, true);
    const std::size_t working = places.workingDirectory.empty() ? std::string::npos
                                : places.toolDirectory.empty()  ? 0
                                                                : 1;
    const std::size_t firstOnPath =
        working == std::string::npos ? (places.toolDirectory.empty() ? 0 : 1) : working + 1;
    std::error_code failure = LaunchError::NotFound;
    const auto remember = [&failure](std::error_code code) {
        if (failure == LaunchError::NotFound || code.category() == LaunchCategory())
            failure = code;
    };
    for (std::size_t i = 0; i < directories.size(); ++i) {
        std::string candidate = InDirectory(directories[i], kRendererName);
        struct stat status {};
        if (::stat(candidate.c_str(), &status) != 0)
            continue;
        // Readable, to judge the content; a program the user may run but not read is opened
        // only to run it.
        Fd file(::open(candidate.c_str(), O_RDONLY | O_CLOEXEC));
        if (file.get() < 0)
            file = Fd(::open(candidate.c_str(), O_PATH | O_CLOEXEC));
        if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
            remember(std::error_code(EACCES, std::generic_category()));
            continue;
        }
        if (::access(candidate.c_str(), X_OK) != 0 &&
            (i >= firstOnPath || WindowsMachineOf(file.get()).value_or(0) == 0)) {
            remember(std::error_code(EACCES, std::generic_category()));
            continue;
        }
        if (const auto refusal = i == working ? RefusalOf(status) : std::nullopt) {
            remember(*refusal);
            continue;
        }
        return {std::move(candidate), std::move(file)};
    }
    FailToStart(failure);
}

// What the first bytes of the renderer say about how to run it.
enum class Kind {
    Program, // left to the kernel
    Script,  // "#!": its interpreter reads it through the descriptor
    Text,    // no "#!": /bin/sh runs it if the kernel will not, as the shells do
    Windows, // a PE image, run through Wine
};

Kind KindOf(int fd)
{
    if (const auto machine = WindowsMachineOf(fd)) {
        if (*machine == 0)
            FailToStart(LaunchError::InvalidWindowsProgram);
        return Kind::Windows;
    }
    std::array<char, 4096> head{};
    const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
    if (got < 0)
        return Kind::Program; // opened only to run
    const std::string_view start(head.data(), static_cast<std::size_t>(got));
    if (start.starts_with("#!"))
        return Kind::Script;
    if (start.starts_with("\x7f"
                          "ELF") ||
        start.find('\0') != std::string_view::npos)
        return Kind::Program;
    return Kind::Text;
}

// PE machines.
constexpr std::uint16_t kI386 = 0x14c;
constexpr std::uint16_t kAmd64 = 0x8664;

// Whether the Wine at `wine` runs programs for `machine`, judged by Wine's own installed
// parts beside it: each architecture's Windows side (<arch>-windows/ntdll.dll) and the Unix
// side that runs it (<arch>-unix/ntdll.so). Debian installs the 32-bit part (wine32:i386)
// apart from the 64-bit one; a WoW64 build runs 32-bit programs on its 64-bit Unix side.
// nullopt when no part of Wine is found there: an unusual layout is Wine's to judge.
std::optional<bool> WineRuns(const std::string& wine, std::uint16_t machine)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(wine.c_str(), nullptr),
                                                           &std::free);
    std::string prefix = real ? real.get() : wine;
    for (int up = 0; up < 2; ++up)
        prefix.resize(std::min(prefix.size(), prefix.rfind('/')));
    const auto has = [](const std::string& file) {
        struct stat status {};
        return ::stat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
    };
    bool anyPart = false;
    for (const char* libraries : {"/lib/wine/", "/lib64/wine/", "/lib32/wine/",
                                  "/lib/x86_64-linux-gnu/wine/", "/lib/i386-linux-gnu/wine/"}) {
        const std::string at = prefix + libraries;
        const bool windows32 = has(at + "i386-windows/ntdll.dll");
        const bool windows64 = has(at + "x86_64-windows/ntdll.dll");
        const bool unix32 = has(at + "i386-unix/ntdll.so");
        const bool unix64 = has(at + "x86_64-unix/ntdll.so");
        anyPart = anyPart || windows32 || windows64 || unix32 || unix64;
        if ((machine == kI386 && windows32 && (unix32 || unix64)) ||
            (machine == kAmd64 && windows64 && unix64))
            return true;
    }
    return anyPart ? std::optional<bool>(false) : std::nullopt;
}

// Wine, beside the tool or in PATH's absolute entries; never in the working directory, which
// would run a planted "wine" unchecked.
std::optional<std::string> FindWine(const SearchPlaces& places)
{
    const std::vector<std::string_view> directories = Directories(places, false);
    for (const std::string_view directory : directories) {
        if (std::string wine = InDirectory(directory, "wine"); IsExecutableFile(wine))
            return wine;
    }
    return std::nullopt;
}

// The tool's environment, less what its own launcher meant for the tool's window alone, plus
// `entries`, which replace any entry of the same name.
std::vector<std::string> RendererEnvironment(const std::vector<std::string>& entries)
{
    const auto name = [](std::string_view entry) { return entry.substr(0, entry.find('=') + 1); };
    static constexpr std::array<std::string_view, 2> kConsumed = {"DESKTOP_STARTUP_ID=",
                                                                  "XDG_ACTIVATION_TOKEN="};
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view own = name(*entry);
        const auto replaced = [&](std::string_view other) { return name(other) == own; };
        if (std::none_of(kConsumed.begin(), kConsumed.end(), replaced) &&
            std::none_of(entries.begin(), entries.end(), replaced))
            environment.emplace_back(*entry);
    }
    environment.insert(environment.end(), entries.begin(), entries.end());
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Everything the forked child needs, made before the fork: the child may only make
// async-signal-safe calls, since the tool has other threads.
struct ExecPlan {
    int fd = -1;            // the renderer, run as it was checked; -1 for Wine
    bool inheritFd = false; // a script's interpreter reads it as /dev/fd/N
    char* const* argv = nullptr;
    char* const* shellArgv = nullptr; // when the kernel refuses text, or null
    const char* wine = nullptr;       // "wine start", which is waited for
    char* const* envp = nullptr;
};

// What the detached start sends back: an exec's errno, or how "wine start" ended with the
// last line it printed.
struct StartReport {
    int error = 0;
    int wineStatus = 0; // as waitpid gives it
    std::array<char, 240> lastLine{};
};

// The last non-empty line seen in output that arrives in pieces, in a fixed buffer: the
// relay runs after fork, where nothing may allocate.
class LastLine {
public:
    void Feed(const char* data, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i) {
            if (data[i] == '\n') {
                End();
            } else if (data[i] != '\r' && current_ + 1 < line_.size()) {
                line_[current_++] = data[i];
            }
        }
    }
    // Keeps the line in progress, if any, as the last one.
    void End()
    {
        if (current_ > 0) {
            last_ = line_;
            last_[current_] = '\0';
        }
        current_ = 0;
    }
    const std::array<char, 240>& last() const { return last_; }

private:
    std::array<char, 240> line_{};
    std::array<char, 240> last_{};
    std::size_t current_ = 0;
};

void ResetSignals()
{
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &defaults, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

void Send(int errorPipe, const StartReport& report)
{
    [[maybe_unused]] const ssize_t written = ::write(errorPipe, &report, sizeof report);
}

// Runs "wine start" with its output through pipes, reports how it ended, and then passes on
// what Wine and the renderer print to the tool's own output and error for as long as they
// write: the renderer inherits the pipes, and must never find them closed or full.
[[noreturn]] void RelayWineStart(const ExecPlan& plan, int errorPipe)
{
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        Send(errorPipe, {errno, 0, {}});
        ::_exit(127);
    }
    const pid_t wine = ::fork();
    if (wine == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::execve(plan.wine, plan.argv, plan.envp);
        Send(errorPipe, {errno, 0, {}});
        ::_exit(127);
    }
    if (wine < 0) {
        Send(errorPipe, {errno, 0, {}});
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, nullptr);
    std::array<pollfd, 2> pipes = {{{out[0], POLLIN, 0}, {err[0], POLLIN, 0}}};
    LastLine last;
    bool reported = false;
    // Passes on what is ready within `timeout` ms; returns how many pipes were.
    const auto pass = [&](int timeout) {
        const int ready = ::poll(pipes.data(), pipes.size(), timeout);
        for (std::size_t i = 0; i < pipes.size() && ready > 0; ++i) {
            if (pipes[i].fd < 0 || pipes[i].revents == 0)
                continue;
            std::array<char, 4096> chunk;
            const ssize_t got = ::read(pipes[i].fd, chunk.data(), chunk.size());
            if (got > 0) {
                if (!reported)
                    last.Feed(chunk.data(), static_cast<std::size_t>(got));
                [[maybe_unused]] const ssize_t passed =
                    ::write(static_cast<int>(i) + 1, chunk.data(), static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(pipes[i].fd);
                pipes[i].fd = -1;
            }
        }
        return ready;
    };
    while (pipes[0].fd >= 0 || pipes[1].fd >= 0 || !reported) {
        pass(reported ? -1 : 50);
        const bool closed = pipes[0].fd < 0 && pipes[1].fd < 0;
        int status = 0;
        if (!reported && ::waitpid(wine, &status, closed ? 0 : WNOHANG) == wine) {
            // What Wine printed just before it ended may still wait in the pipes.
            for (int round = 0; round < 16 && pass(0) > 0; ++round) {
            }
            last.End();
            Send(errorPipe, {0, status, last.last()});
            ::close(errorPipe);
            reported = true;
        }
    }
    ::_exit(0);
}

// Runs in the forked child. A second fork leaves the renderer to init, so no zombie of ours
// remains, and in a session of its own. An exec that fails reports its errno through
// `errorPipe`; one that succeeds closes it.
[[noreturn]] void ExecDetached(const ExecPlan& plan, int errorPipe)
{
    int error = 0;
    if (::setsid() < 0) {
        error = errno;
    } else if (const pid_t renderer = ::fork(); renderer > 0) {
        ::_exit(0);
    } else if (renderer < 0) {
        error = errno;
    } else {
        // What the tool ignores or blocks for itself is not the renderer's business.
        ResetSignals();
        if (plan.wine)
            RelayWineStart(plan, errorPipe);
        // A close-on-exec descriptor would be gone before a script's interpreter opens it.
        if (plan.inheritFd)
            ::fcntl(plan.fd, F_SETFD, 0);
        ::fexecve(plan.fd, plan.argv, plan.envp);
        if (errno == ENOEXEC && plan.shellArgv) {
            ::fcntl(plan.fd, F_SETFD, 0);
            ::execve("/bin/sh", plan.shellArgv, plan.envp);
            errno = ENOEXEC;
        }
        error = errno;
    }
    Send(errorPipe, {error, 0, {}});
    ::_exit(127);
}

// What "wine start" printed last, or how it ended when it printed nothing.
std::string WineFailure(const StartReport& report)
{
    if (report.lastLine[0] != '\0')
        return report.lastLine.data();
    if (WIFSIGNALED(report.wineStatus))
        return std::string("ended by signal ") + ::strsignal(WTERMSIG(report.wineStatus));
    return "exit status " + std::to_string(WEXITSTATUS(report.wineStatus));
}

// Forks the detached start and waits for the exec's outcome, and for "wine start" through
// `wait`. Not QProcess::startDetached: it takes names as QString, where the kernel's are
// bytes; it leaves the signals the tool ignores or blocks in force in the renderer; it tells
// only that the start failed, where the errno of the failed exec comes back here through a
// pipe; and it cannot run the descriptor that was checked.
void SpawnDetached(const ExecPlan& plan, const WaitForReadable& wait)
{
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0)
        FailToStart(errno);
    const pid_t child = ::fork();
    if (child == 0)
        ExecDetached(plan, errorPipe[1]);
    const int forkError = errno;
    ::close(errorPipe[1]);
    const Fd reports(errorPipe[0]);
    if (child < 0)
        FailToStart(forkError);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (plan.wine) {
        pollfd ready = {reports.get(), POLLIN, 0};
        if (wait)
            wait(reports.get(), kWineStartBound);
        else
            ::poll(&ready, 1, static_cast<int>(std::chrono::milliseconds(kWineStartBound).count()));
        // Past the bound Wine is still making its prefix; the renderer is on its way.
        if (::poll(&ready, 1, 0) != 1)
            return;
    }
    StartReport report;
    ssize_t got = 0;
    while ((got = ::read(reports.get(), &report, sizeof report)) < 0 && errno == EINTR) {
    }
    if (got != sizeof report)
        return;
    if (report.error != 0)
        FailToStart(report.error);
    if (!WIFEXITED(report.wineStatus) || WEXITSTATUS(report.wineStatus) != 0)
        throw Error(
            kRendererName, LaunchError::WineFailed,
            std::string(LaunchCategory().message(static_cast<int>(LaunchError::WineFailed))) +
                ": " + WineFailure(report));
}

} // namespace

const std::error_category& LaunchCategory()
{
    static const LaunchErrorCategory category;
    return category;
}

std::error_code make_error_code(LaunchError error)
{
    return {static_cast<int>(error), LaunchCategory()};
}

SearchPlaces CurrentSearchPlaces()
{
    const char* path = std::getenv("PATH");
    return {ToolDirectory(), WorkingDirectory(), path ? path : ""};
}

void StartRenderer(const SearchPlaces& places, const std::vector<std::string>& entries,
                   const WaitForReadable& wait)
{
    Found renderer = FindRenderer(places);
    const Kind kind = KindOf(renderer.file.get());
    std::vector<std::string> environment = RendererEnvironment(entries);
    std::vector<char*> envp = Pointers(environment);
    ExecPlan plan;
    plan.envp = envp.data();

    std::vector<std::string> arguments;
    std::vector<std::string> shellArguments;
    std::optional<std::string> wine;
    if (kind == Kind::Windows) {
        wine = FindWine(places);
        if (!wine)
            FailToStart(LaunchError::NeedsWine);
        const std::uint16_t machine = WindowsMachineOf(renderer.file.get()).value_or(0);
        if (machine != kI386 && machine != kAmd64)
            FailToStart(LaunchError::ForeignMachine);
        if (WineRuns(*wine, machine) == false)
            FailToStart(machine == kI386 ? LaunchError::NeedsWine32 : LaunchError::NeedsWine64);
        // The one form that keeps the working directory (so the renderer reads the
        // config.txt just written), opens its window maximized and completes the startup
        // notification; "start" ends once the program is created.
        arguments = {*wine, "start", "/d", ".", "/max", "/unix", renderer.path};
        plan.wine = wine->c_str();
    } else {
        arguments = {renderer.path};
        plan.fd = renderer.file.get();
        plan.inheritFd = kind == Kind::Script;
        if (kind == Kind::Text)
            shellArguments = {"/bin/sh", "/dev/fd/" + std::to_string(plan.fd)};
    }
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> shellArgv = Pointers(shellArguments);
    plan.argv = argv.data();
    if (!shellArguments.empty())
        plan.shellArgv = shellArgv.data();
    SpawnDetached(plan, wait);
}

void StartRendererFrom(const ToolWindow& window, const SearchPlaces& places,
                       const WaitForReadable& wait)
{
    std::vector<std::string> entries;
    if (window.xcb)
        entries = platform::BeginActivationX11(window, kRendererName);
    else if (window.wlDisplay)
        entries = platform::BeginActivationWayland(window);
    // `-display` may have put the window on another X display than DISPLAY names.
    if (!window.xDisplay.empty())
        entries.push_back("DISPLAY=" + window.xDisplay);
    try {
        StartRenderer(places, entries, wait);
    } catch (const Error&) {
        // A Wayland token that is never used simply expires; only X11 has a launch to end.
        constexpr std::string_view kStartupId = "DESKTOP_STARTUP_ID=";
        for (const std::string& entry : entries) {
            if (window.xcb && entry.starts_with(kStartupId))
                platform::WithdrawActivationX11(window,
                                                std::string_view(entry).substr(kStartupId.size()));
        }
        throw;
    }
}

} // namespace vexalo
