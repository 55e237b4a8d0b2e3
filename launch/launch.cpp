// SPDX-License-Identifier: MIT
#include "launch/launch.h"

#include "core/error.h"
#include "launch/activation_platform.h"
#include "launch/lookup.h"
#include "launch/plan.h"
#include "launch/spawn.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unistd.h>

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
        case LaunchError::NotRegularFile:
            return "not a regular file";
        case LaunchError::NoExecMount:
            return "on a file system that does not allow running programs (mounted noexec)";
        case LaunchError::MissingInterpreter:
            return "its interpreter is missing";
        case LaunchError::CarriageReturn:
            return "its first line ends with a carriage return (Windows line endings)";
        }
        return "unknown launch error";
    }
};

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

// Empty where the system cannot name it (longer than PATH_MAX, say); it is searched all the
// same, as the process's own working directory.
std::string WorkingDirectory()
{
    std::string path(256, '\0');
    for (int attempt = 0; !::getcwd(path.data(), path.size()); ++attempt) {
        if (errno != ERANGE || attempt == 8)
            return {};
        path.resize(path.size() * 2);
    }
    path.resize(std::strlen(path.c_str()));
    return path;
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
    const Found renderer = FindRenderer(places);
    const auto [kind, machine] = ContentOf(renderer.file.get());
    std::vector<std::string> environment = RendererEnvironment(entries);
    std::vector<char*> envp = Pointers(environment);
    ExecPlan plan;
    plan.envp = envp.data();

    // A script is started by its name, which its interpreter opens again and which it sees as
    // $0 ("cd \"$(dirname \"$0\")\"" finds its folder); a program runs from the descriptor.
    std::vector<std::string> arguments = {renderer.path};
    std::vector<std::string> shellArguments;
    std::optional<std::string> wine;
    if (kind == Kind::Windows) {
        wine = FindWine(places);
        if (!wine)
            throw Error(kRendererName, LaunchError::NeedsWine);
        if (machine != kI386 && machine != kAmd64)
            throw Error(kRendererName, LaunchError::ForeignMachine);
        if (WineRuns(*wine, machine) == false)
            throw Error(kRendererName,
                        machine == kI386 ? LaunchError::NeedsWine32 : LaunchError::NeedsWine64);
        // The one form that keeps the working directory (so the renderer reads the
        // config.txt just written), opens its window maximized and completes the startup
        // notification; "start" ends once the program is created.
        arguments = {*wine, "start", "/d", ".", "/max", "/unix", renderer.path};
        plan.path = wine->c_str();
        plan.waitForExit = true;
    } else if (kind == Kind::Program) {
        plan.fd = renderer.file.get();
    } else {
        plan.path = renderer.path.c_str();
        if (kind == Kind::Text)
            shellArguments = {"/bin/sh", renderer.path};
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
    platform::Activation activation = platform::BeginActivation(window, kRendererName);
    std::vector<std::string> entries = activation.entries;
    // `-display` may have put the window on another X display than DISPLAY names.
    if (!window.xDisplay.empty())
        entries.push_back("DISPLAY=" + window.xDisplay);
    try {
        StartRenderer(places, entries, wait);
    } catch (const Error&) {
        platform::WithdrawActivation(window, activation);
        throw;
    }
}

} // namespace vexalo
