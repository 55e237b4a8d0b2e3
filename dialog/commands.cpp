// SPDX-License-Identifier: MIT
#include "dialog/commands.h"

#include "core/config_file.h"
#include "dialog/activation.h"
#include "dialog/desktop_target.h"
#include "dialog/form1.h"

#include <QMessageBox>
#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cwchar>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace vexalo {
namespace {

[[noreturn]] void FailToStart(int error)
{
    throw RendererError(std::string(kRendererName) + ": " + std::generic_category().message(error));
}

// The system describes failures in the user's language and in the locale's own encoding,
// which need not be UTF-8 (KOI8-R, say); Qt 6 takes every 8-bit locale text for UTF-8.
QString FromLocaleEncoding(const char* text)
{
    std::mbstate_t state{};
    const char* source = text;
    const std::size_t length = std::mbsrtowcs(nullptr, &source, 0, &state);
    if (length == static_cast<std::size_t>(-1))
        return QString::fromUtf8(text);
    std::wstring wide(length + 1, L'\0');
    source = text;
    state = {};
    std::mbsrtowcs(wide.data(), &source, wide.size(), &state);
    wide.resize(length);
    return QString::fromStdWString(wide);
}

// One modal report of what failed; once it is dismissed the program ends with status 1.
void ReportAndEnd(Form1& form, const std::exception& failure)
{
    QMessageBox::critical(&form, form.windowTitle(), FromLocaleEncoding(failure.what()));
    form.Unload(1);
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

// The tool's environment, less what its own launcher meant for the tool's window alone, plus
// `handOver`, which replaces any entry of the same name.
std::vector<std::string> RendererEnvironment(const std::vector<std::string>& handOver)
{
    const auto name = [](std::string_view entry) { return entry.substr(0, entry.find('=') + 1); };
    static constexpr std::array<std::string_view, 2> kConsumed = {"DESKTOP_STARTUP_ID=",
                                                                  "XDG_ACTIVATION_TOKEN="};
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view own = name(*entry);
        const auto replaced = [&](std::string_view other) { return name(other) == own; };
        if (std::none_of(kConsumed.begin(), kConsumed.end(), replaced) &&
            std::none_of(handOver.begin(), handOver.end(), replaced))
            environment.emplace_back(*entry);
    }
    environment.insert(environment.end(), handOver.begin(), handOver.end());
    return environment;
}

// Runs in the forked child, so only async-signal-safe calls: the tool has other threads.
// A second fork leaves the renderer to init, so no zombie of ours remains, and in a session
// of its own. An exec that fails reports its errno through `errorPipe`; one that succeeds
// closes it.
[[noreturn]] void ExecDetached(char* const argv[], char* const envp[], int errorPipe)
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
        ::execve(argv[0], argv, envp);
        error = errno;
    }
    [[maybe_unused]] const ssize_t written = ::write(errorPipe, &error, sizeof error);
    ::_exit(127);
}

// Starts the renderer with the focus handed over to it, as launched by the user's input in
// `window`; an announcement whose renderer cannot start is withdrawn.
void StartRendererFrom(QWidget& window)
{
    const std::vector<std::string> handOver = AnnounceLaunch(window, kRendererName);
    try {
        StartRenderer(handOver);
    } catch (const RendererError&) {
        WithdrawLaunch(window, handOver);
        throw;
    }
}

} // namespace

std::string FindRenderer(const std::string& ownDirectory, const std::string& searchPath)
{
    std::vector<std::string_view> directories;
    if (!ownDirectory.empty())
        directories.push_back(ownDirectory);
    // Empty and relative entries would mean the current directory, and running a program
    // from wherever the user happens to stand, unasked, is how untrusted code gets run.
    const std::string_view entries = searchPath;
    for (std::size_t start = 0; start <= entries.size();) {
        const std::size_t end = std::min(entries.find(':', start), entries.size());
        if (const std::string_view entry = entries.substr(start, end - start);
            entry.starts_with('/'))
            directories.push_back(entry);
        start = end + 1;
    }

    // As execvp does: a match we may not execute is remembered, and the search goes on.
    int error = ENOENT;
    for (const std::string_view directory : directories) {
        std::string candidate(directory);
        if (!candidate.ends_with('/'))
            candidate += '/';
        candidate += kRendererName;
        struct stat status {};
        if (::stat(candidate.c_str(), &status) != 0)
            continue;
        if (S_ISREG(status.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        error = EACCES;
    }
    FailToStart(error);
}

void StartRenderer(const std::vector<std::string>& handOver)
{
    const char* searchPath = std::getenv("PATH");
    std::string path = FindRenderer(ToolDirectory(), searchPath ? searchPath : "");
    std::vector<std::string> environment = RendererEnvironment(handOver);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    char* const argv[] = {path.data(), nullptr};

    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0)
        FailToStart(errno);
    const pid_t child = ::fork();
    if (child == 0)
        ExecDetached(argv, envp.data(), errorPipe[1]);
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

void Save(Form1& form)
{
    try {
        WriteConfigFile(form.choices(), QueryDesktopMode(DesktopTargetOf(form)));
    } catch (const Error& failure) {
        ReportAndEnd(form, failure);
    }
}

void SaveAndStart(Form1& form)
{
    try {
        WriteConfigFile(form.choices(), QueryDesktopMode(DesktopTargetOf(form)));
        StartRendererFrom(form);
    } catch (const std::runtime_error& failure) {
        ReportAndEnd(form, failure);
        return;
    }
    form.Unload(0);
}

void Cancel(Form1& form)
{
    form.Unload(0);
}

} // namespace vexalo
