// SPDX-License-Identifier: MIT
#include "launch/spawn.h"

#include "core/error.h"
#include "core/fd.h"
#include "core/translate.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vexalo {
namespace {

// Wine's last line as the report shows it, cut to fit one fixed buffer: the relay that reads
// it runs after fork, where nothing may allocate.
using Line = std::array<char, 240>;

// A plan as the exec calls take it, made before the fork: the forked child may not allocate.
struct ExecArguments {
    int fd;
    const char* path;
    char* const* argv;
    char* const* shellArgv; // null when there is no shell to fall back on
    bool waitForExit;
    char* const* envp;
};

std::vector<char*> Pointers(const std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (const std::string& s : strings)
        pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Which step of the start failed, sent back with its errno, as the kernel's errno alone
// would blame the renderer for a failed fork.
enum class Step : int { Exec, Session, Fork, Pipe };

// What Wine's lines tell more than its last one, and what the report then says; the first
// in this list that Wine printed counts.
struct Telling {
    std::string_view words; // anywhere in a line, not followed by a digit
    LaunchError error;
};
constexpr std::array<Telling, 4> kTelling = {{
    // A full disk while Wine makes its prefix: its copies fail with Windows' error 112
    // (ERROR_DISK_FULL), and its later lines blame what they left out, kernel32.dll among them.
    {"copy error 112", LaunchError::WineDiskFull},
    {"No space left on device", LaunchError::WineDiskFull},
    // Windows programs cannot use a longer working directory; Wine then ends with a plain
    // "File not found.", though the file is there.
    {"wine: could not open working directory", LaunchError::WinePathTooLong},
    // Judged by the prefix once Wine has ended: a 64-bit prefix made while Wine had no 32-bit
    // part lacks its 32-bit system (syswow64), but so does one Wine could not finish.
    {"wine: could not load kernel32.dll", LaunchError::WinePrefixWithout32Bit},
}};

// Whether `line` holds `words`, not followed by a digit ("error 1120" is no "error 112").
constexpr bool Mentions(std::string_view line, std::string_view words)
{
    for (std::size_t at = line.find(words); at != std::string_view::npos;
         at = line.find(words, at + 1)) {
        const std::size_t end = at + words.size();
        if (end == line.size() || line[end] < '0' || line[end] > '9')
            return true;
    }
    return false;
}

// What the detached start sends back: a step's errno, or how the waited-for start ended with
// the last line it printed that says something, and what a telling line said, if any.
struct StartReport {
    Step step = Step::Exec;
    int error = 0;
    int status = 0; // as waitpid gives it
    Line lastLine{};
    int telling = 0; // a LaunchError
};

// The last line of output that says something, from output that arrives in pieces, in fixed
// buffers: the relay runs after fork, where nothing may allocate. Empty lines say nothing, nor
// do lines that end in a colon with nothing after it ("ShellExecuteEx failed: ").
class LastLine {
public:
    void Feed(const char* data, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i) {
            if (data[i] == '\n')
                End();
            else if (data[i] != '\r' && current_ + 1 < line_.size())
                line_[current_++] = data[i];
        }
    }
    // Keeps the line in progress, if any, as the last one.
    void End()
    {
        const std::string_view line(line_.data(), current_);
        for (std::size_t i = 0; i < std::min(told_, kTelling.size()); ++i)
            if (Mentions(line, kTelling[i].words))
                told_ = i;
        const std::size_t end = line.find_last_not_of(' ');
        if (end != std::string_view::npos && line[end] != ':') {
            last_ = line_;
            last_[current_] = '\0';
        }
        current_ = 0;
    }
    const Line& last() const { return last_; }
    int telling() const
    {
        return told_ < kTelling.size() ? static_cast<int>(kTelling[told_].error) : 0;
    }

private:
    Line line_{};
    Line last_{};
    std::size_t current_ = 0;
    std::size_t told_ = kTelling.size(); // the telling line Wine printed first in kTelling
};

void Send(int reportPipe, const StartReport& report)
{
    [[maybe_unused]] const ssize_t written = ::write(reportPipe, &report, sizeof report);
}

[[noreturn]] void SendStepAndExit(int reportPipe, Step step)
{
    Send(reportPipe, {step, errno, 0, {}, 0});
    ::_exit(127);
}

// What the tool ignores or blocks for itself, and the descriptors it holds, are not the
// renderer's business.
void ResetInheritance()
{
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &defaults, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
}

[[noreturn]] void Exec(const ExecArguments& plan, int reportPipe)
{
    if (plan.fd >= 0)
        ::fexecve(plan.fd, plan.argv, plan.envp);
    else
        ::execve(plan.path, plan.argv, plan.envp);
    if (errno == ENOEXEC && plan.shellArgv) {
        ::execve("/bin/sh", plan.shellArgv, plan.envp);
        errno = ENOEXEC;
    }
    SendStepAndExit(reportPipe, Step::Exec);
}

// Runs the start with its output through pipes, reports how it ended, then passes on what it
// and the renderer print to the tool's own output and error for as long as they write: the
// renderer inherits the pipes, and must never find them closed or full.
[[noreturn]] void RelayWaitedStart(const ExecArguments& plan, int reportPipe)
{
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        SendStepAndExit(reportPipe, Step::Pipe);
    const pid_t start = ::fork();
    if (start == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        Exec(plan, reportPipe);
    }
    if (start < 0)
        SendStepAndExit(reportPipe, Step::Fork);
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
            std::array<char, PIPE_BUF> chunk; // what a pipe passes in one piece
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
        if (!reported && ::waitpid(start, &status, closed ? 0 : WNOHANG) == start) {
            // What it printed just before it ended may still wait in the pipes.
            for (int round = 0; round < 16 && pass(0) > 0; ++round) {
            }
            last.End();
            Send(reportPipe, {Step::Exec, 0, status, last.last(), last.telling()});
            ::close(reportPipe);
            reported = true;
        }
    }
    ::_exit(0);
}

// Runs in the forked child. A second fork leaves the renderer to init, so no zombie of ours
// remains, and in a session of its own. A step that fails reports its errno through
// `reportPipe`; an exec that succeeds closes it.
[[noreturn]] void StartDetached(const ExecArguments& plan, int reportPipe)
{
    if (::setsid() < 0)
        SendStepAndExit(reportPipe, Step::Session);
    const pid_t renderer = ::fork();
    if (renderer > 0)
        ::_exit(0);
    if (renderer < 0)
        SendStepAndExit(reportPipe, Step::Fork);
    ResetInheritance();
    if (plan.waitForExit)
        RelayWaitedStart(plan, reportPipe);
    Exec(plan, reportPipe);
}

// What the waited-for start printed last, or how it ended when it printed nothing.
std::string EndOf(const StartReport& report)
{
    if (report.lastLine[0] != '\0')
        return report.lastLine.data();
    if (WIFSIGNALED(report.status))
        return Format(Translate("Launch", "ended by signal %1"),
                      {::strsignal(WTERMSIG(report.status))});
    return Format(Translate("Launch", "exit status %1"),
                  {std::to_string(WEXITSTATUS(report.status))});
}

[[noreturn]] void ReportStep(Step step, int error)
{
    static constexpr std::array<const char*, 4> kSteps = {
        "", QT_TRANSLATE_NOOP("Launch", "could not start a session: %1"),
        QT_TRANSLATE_NOOP("Launch", "could not fork: %1"),
        QT_TRANSLATE_NOOP("Launch", "could not make a pipe: %1")};
    const std::error_code code(error, std::generic_category());
    if (step == Step::Exec)
        throw Error(kRendererName, code);
    throw Error(kRendererName, code,
                Format(Translate("Launch", kSteps[static_cast<int>(step)]), {code.message()}));
}

constexpr std::string_view kWinePrefixEntry = "WINEPREFIX=";
constexpr std::string_view kHomeEntry = "HOME=";

// Whether `entry` names a Wine prefix: an empty one means none.
bool NamesWinePrefix(std::string_view entry)
{
    return entry.starts_with(kWinePrefixEntry) && entry.size() > kWinePrefixEntry.size();
}

// The Wine prefix `environment` names, as Wine finds it: WINEPREFIX, else ~/.wine.
std::string WinePrefixOf(const std::vector<std::string>& environment)
{
    std::string home;
    for (const std::string& entry : environment) {
        if (NamesWinePrefix(entry))
            return entry.substr(kWinePrefixEntry.size());
        if (entry.starts_with(kHomeEntry))
            home = entry.substr(kHomeEntry.size());
    }
    return home + "/.wine";
}

// `prefix` as the user would type it in a shell.
std::string Typed(const std::string& prefix, const std::vector<std::string>& environment)
{
    const bool named = std::any_of(environment.begin(), environment.end(), NamesWinePrefix);
    if (!named)
        return "~/.wine";
    if (prefix.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                 "0123456789/._-+") == std::string::npos)
        return prefix;
    std::string quoted = "'";
    for (const char c : prefix)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Whether the prefix's 32-bit system folder is there and empty, as Wine makes it while its
// 32-bit part is not installed. One that holds files (80 of them after a disk ran full) was
// made with that part; kernel32.dll then failed for another reason, which Wine's line says.
bool EmptySyswow64(const std::string& prefix)
{
    DIR* folder = ::opendir((prefix + "/drive_c/windows/syswow64").c_str());
    if (!folder)
        return false;
    bool empty = true;
    while (const dirent* entry = ::readdir(folder))
        empty = empty &&
                (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0);
    ::closedir(folder);
    return empty;
}

// What Wine's telling line means, and what to do; nothing where it does not hold, and Wine's
// own last line is then reported.
void ReportTelling(LaunchError telling, const ExecPlan& start)
{
    const std::string prefix = WinePrefixOf(start.environment);
    const std::string typed = Typed(prefix, start.environment);
    const std::string says = make_error_code(telling).message() + "; ";
    switch (telling) {
    case LaunchError::WineDiskFull:
        throw Error(kRendererName, telling,
                    says + Format(Translate("Launch", "free some space on the drive of %1 (df "
                                                      "-h %1 shows how much is left), then "
                                                      "start it again"),
                                  {typed}));
    case LaunchError::WinePrefixWithout32Bit:
        if (start.machine != kI386 || !EmptySyswow64(prefix))
            return;
        throw Error(kRendererName, telling,
                    says + Format(Translate("Launch", "move it aside and the next start makes a "
                                                      "new one: mv %1 %2"),
                                  {typed, typed.ends_with('\'')
                                              ? typed.substr(0, typed.size() - 1) + "-old'"
                                              : typed + "-old"}));
    default:
        throw Error(kRendererName, telling);
    }
}

} // namespace

// Not QProcess::startDetached: it takes names as QString, where the kernel's are bytes; it
// leaves the signals the tool ignores or blocks in force in the renderer; it tells only that
// the start failed, where the step and errno come back here through a pipe; and it cannot run
// the descriptor that was checked.
void SpawnDetached(const ExecPlan& start, const WaitForReadable& wait)
{
    const std::vector<char*> argv = Pointers(start.argv);
    const std::vector<char*> shellArgv = Pointers(start.shellArgv);
    const std::vector<char*> envp = Pointers(start.environment);
    const ExecArguments plan = {
        start.fd,          start.path.c_str(),
        argv.data(),       start.shellArgv.empty() ? nullptr : shellArgv.data(),
        start.waitForExit, envp.data()};
    int reportPipe[2];
    if (::pipe2(reportPipe, O_CLOEXEC) != 0)
        ReportStep(Step::Pipe, errno);
    const pid_t child = ::fork();
    if (child == 0)
        StartDetached(plan, reportPipe[1]);
    const int forkError = errno;
    ::close(reportPipe[1]);
    const Fd reports(reportPipe[0]);
    if (child < 0)
        ReportStep(Step::Fork, forkError);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (plan.waitForExit) {
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
        ReportStep(report.step, report.error);
    if (WIFEXITED(report.status) && WEXITSTATUS(report.status) == 0)
        return;
    if (report.telling != 0)
        ReportTelling(static_cast<LaunchError>(report.telling), start);
    throw Error(kRendererName, LaunchError::WineFailed,
                make_error_code(LaunchError::WineFailed).message() + ": " + EndOf(report));
}

} // namespace vexalo
