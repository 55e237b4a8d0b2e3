// SPDX-License-Identifier: MIT
#include "launch/launch.h"

#include "core/error.h"
#include "core/fd.h"
#include "launch/activation_platform.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <optional>
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

// Looks in the tool's directory, then the working directory, then PATH's absolute entries.
// As execvp does, a match that may not run is remembered and the search goes on; the most
// telling of those is reported when nothing runs.
Found FindRenderer(const SearchPlaces& places)
{
    const std::vector<std::string_view> directories = Directories(places, true);
    const std::size_t working = places.workingDirectory.empty() ? std::string::npos
                                : places.toolDirectory.empty()  ? 0
                                                                : 1;
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
        if (!IsExecutableFile(candidate)) {
            remember(std::error_code(EACCES, std::generic_category()));
            continue;
        }
        // Readable, to judge the content; a program the user may run but not read is opened
        // only to run it.
        Fd file(::open(candidate.c_str(), O_RDONLY | O_CLOEXEC));
        if (file.get() < 0)
            file = Fd(::open(candidate.c_str(), O_PATH | O_CLOEXEC));
        if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
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
    std::array<char, 4096> head{};
    const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
    if (got < 0)
        return Kind::Program; // opened only to run
    const std::string_view start(head.data(), static_cast<std::size_t>(got));
    if (start.starts_with("MZ")) {
        // The PE header's offset at 0x3C must point to "PE\0\0" inside the file.
        std::array<unsigned char, 4> offset{};
        std::array<char, 4> signature{};
        if (::pread(fd, offset.data(), offset.size(), 0x3C) == 4) {
            const off_t at =
                offset[0] | offset[1] << 8 | offset[2] << 16 | static_cast<off_t>(offset[3]) << 24;
            if (::pread(fd, signature.data(), signature.size(), at) == 4 &&
                std::string_view(signature.data(), 4) == std::string_view("PE\0\0", 4))
                return Kind::Windows;
        }
        FailToStart(LaunchError::InvalidWindowsProgram);
    }
    if (start.starts_with("#!"))
        return Kind::Script;
    if (start.starts_with("\x7f"
                          "ELF") ||
        start.find('\0') != std::string_view::npos)
        return Kind::Program;
    return Kind::Text;
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
    const char* wine = nullptr;
    char* const* envp = nullptr;
};

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
        struct sigaction defaults {};
        defaults.sa_handler = SIG_DFL;
        for (int signal = 1; signal < NSIG; ++signal)
            ::sigaction(signal, &defaults, nullptr);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (plan.wine) {
            ::execve(plan.wine, plan.argv, plan.envp);
        } else {
            // A close-on-exec descriptor would be gone before a script's interpreter opens it.
            if (plan.inheritFd)
                ::fcntl(plan.fd, F_SETFD, 0);
            ::fexecve(plan.fd, plan.argv, plan.envp);
            if (errno == ENOEXEC && plan.shellArgv) {
                ::fcntl(plan.fd, F_SETFD, 0);
                ::execve("/bin/sh", plan.shellArgv, plan.envp);
                errno = ENOEXEC;
            }
        }
        error = errno;
    }
    [[maybe_unused]] const ssize_t written = ::write(errorPipe, &error, sizeof error);
    ::_exit(127);
}

// Forks the detached start and waits for the exec's outcome. Not QProcess::startDetached:
// it takes names as QString, where the kernel's are bytes; it leaves the signals the tool
// ignores or blocks in force in the renderer; it tells only that the start failed, where the
// errno of the failed exec comes back here through a pipe; and it cannot run the descriptor
// that was checked.
void SpawnDetached(const ExecPlan& plan)
{
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0)
        FailToStart(errno);
    const pid_t child = ::fork();
    if (child == 0)
        ExecDetached(plan, errorPipe[1]);
    const int forkError = errno;
    ::close(errorPipe[1]);
    int error = 0;
    ssize_t got = 0;
    if (child > 0) {
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        while ((got = ::read(errorPipe[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
    }
    ::close(errorPipe[0]);
    if (child < 0)
        FailToStart(forkError);
    if (got == sizeof error)
        FailToStart(error);
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

void StartRenderer(const SearchPlaces& places, const std::vector<std::string>& entries)
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
        // The one form that keeps the working directory (so the renderer reads the
        // config.txt just written), opens its window maximized and completes the startup
        // notification; "start" returns once the program runs.
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
    SpawnDetached(plan);
}

void StartRendererFrom(const ToolWindow& window, const SearchPlaces& places)
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
        StartRenderer(places, entries);
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
