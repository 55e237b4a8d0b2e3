// SPDX-License-Identifier: MIT
// Measures Vexalo Configuration from outside, as a user meets it, against the tools a user
// would script instead: launch to first pixels, memory, and the latency of its commands.
// Runs in an X server with a window manager already running (see bench/run.sh).
//
// usage: vexalo-bench RUNS WARMUP TOOL BARE_WINDOW BARE_QT_WINDOW RENDERER_STANDIN WORK_DISK_DIR
// With VEXALO_BENCH_WINDOWS_RENDERER naming a Windows program, Save and Start is also timed
// through Wine.
#include "dialog/layout.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace fs = std::filesystem;

namespace {

constexpr char kTitle[] = "Vexalo Configuration";
constexpr double kTimeoutMs = 20000;

double NowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

[[noreturn]] void Die(const std::string& what)
{
    std::fprintf(stderr, "vexalo-bench: %s\n", what.c_str());
    std::exit(2);
}

template <typename T> struct Reply {
    T* p;
    explicit Reply(T* reply) : p(reply) {}
    ~Reply() { std::free(p); }
    Reply(const Reply&) = delete;
    Reply& operator=(const Reply&) = delete;
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

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

Child Spawn(const Candidate& candidate, const fs::path& cwd)
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
long Reap(Child& child, double deadline)
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

long PrivateDirtyKb(pid_t pid)
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
bool WaitForFile(int fd, const char* name, double deadline)
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

struct Appearance {
    xcb_window_t window = XCB_NONE;
    double viewable = -1; // ms after the start
    double painted = -1;
};

// The X side: finds the candidate's window as it appears, sees its first damage, clicks
// into it and asks it to close, as a window manager or a user would.
class Screen {
public:
    Screen()
    {
        int screenNumber = 0;
        c_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(c_))
            Die("cannot connect to the X display");
        auto it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (; screenNumber > 0; --screenNumber)
            xcb_screen_next(&it);
        root_ = it.data->root;
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c_, &xcb_damage_id);
        if (!damage || !damage->present)
            Die("the X server has no DAMAGE extension");
        damageEvent_ = damage->first_event + XCB_DAMAGE_NOTIFY;
        Reply<xcb_damage_query_version_reply_t> version(
            xcb_damage_query_version_reply(c_, xcb_damage_query_version(c_, 1, 1), nullptr));
        if (!version)
            Die("DAMAGE did not answer");
        wmName_ = Atom("_NET_WM_NAME");
        protocols_ = Atom("WM_PROTOCOLS");
        deleteWindow_ = Atom("WM_DELETE_WINDOW");
        const std::uint32_t mask[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, mask);
        xcb_flush(c_);
    }
    ~Screen() { xcb_disconnect(c_); }

    // Waits for a top-level titled kTitle to become viewable and be painted.
    std::optional<Appearance> WaitForWindow(double start)
    {
        std::map<xcb_window_t, Tracked> windows;
        Appearance found;
        const double deadline = NowMs() + kTimeoutMs;
        while ((found.viewable < 0 || found.painted < 0) && NowMs() < deadline) {
            while (xcb_generic_event_t* event = NextEvent()) {
                Handle(event, windows, found);
                std::free(event);
            }
            if (found.window != XCB_NONE && found.viewable < 0 && IsViewable(found.window))
                found.viewable = NowMs() - start;
            if (found.window != XCB_NONE && found.painted < 0 &&
                windows[found.window].firstDamage >= 0 && found.viewable >= 0)
                found.painted = std::max(windows[found.window].firstDamage - start, found.viewable);
        }
        for (auto& [window, tracked] : windows)
            if (tracked.damage)
                xcb_damage_destroy(c_, tracked.damage);
        xcb_flush(c_);
        if (found.viewable < 0 || found.painted < 0)
            return std::nullopt;
        return found;
    }

    // Clicks with the first button at (x, y) of the window's client area.
    void Click(xcb_window_t window, int x, int y)
    {
        Reply<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
            c_,
            xcb_translate_coordinates(c_, window, root_, static_cast<std::int16_t>(x),
                                      static_cast<std::int16_t>(y)),
            nullptr));
        if (!at)
            Die("the window vanished");
        xcb_test_fake_input(c_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_, at->dst_x, at->dst_y,
                            0);
        xcb_test_fake_input(c_, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c_, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_aux_sync();
    }

    // Asks the window to close, as the window manager's close control does.
    void Close(xcb_window_t window)
    {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = protocols_;
        message.data.data32[0] = deleteWindow_;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(c_);
    }

private:
    struct Tracked {
        xcb_damage_damage_t damage = 0;
        double firstDamage = -1;
    };

    void xcb_aux_sync()
    {
        std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    }

    xcb_atom_t Atom(const char* name)
    {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
        return reply ? reply->atom : XCB_NONE;
    }

    xcb_generic_event_t* NextEvent()
    {
        if (xcb_generic_event_t* event = xcb_poll_for_event(c_))
            return event;
        pollfd p{xcb_get_file_descriptor(c_), POLLIN, 0};
        poll(&p, 1, 1);
        return xcb_poll_for_event(c_);
    }

    bool HasTitle(xcb_window_t window)
    {
        for (xcb_atom_t property : {static_cast<xcb_atom_t>(XCB_ATOM_WM_NAME), wmName_}) {
            Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
                c_, xcb_get_property(c_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                nullptr));
            if (reply && xcb_get_property_value_length(reply.p) == int(sizeof kTitle - 1) &&
                std::memcmp(xcb_get_property_value(reply.p), kTitle, sizeof kTitle - 1) == 0)
                return true;
        }
        return false;
    }

    bool IsViewable(xcb_window_t window)
    {
        Reply<xcb_get_window_attributes_reply_t> reply(
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, window), nullptr));
        return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    void Track(xcb_window_t window, std::map<xcb_window_t, Tracked>& windows, Appearance& found)
    {
        const std::uint32_t mask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_change_window_attributes(c_, window, XCB_CW_EVENT_MASK, mask);
        Tracked& tracked = windows[window];
        tracked.damage = xcb_generate_id(c_);
        xcb_damage_create(c_, tracked.damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        if (found.window == XCB_NONE && HasTitle(window))
            found.window = window;
    }

    void Handle(xcb_generic_event_t* event, std::map<xcb_window_t, Tracked>& windows,
                Appearance& found)
    {
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (e->parent == root_)
                Track(e->window, windows, found);
        } else if (type == XCB_PROPERTY_NOTIFY) {
            const auto* e = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (found.window == XCB_NONE && (e->atom == XCB_ATOM_WM_NAME || e->atom == wmName_) &&
                windows.count(e->window) && HasTitle(e->window))
                found.window = e->window;
        } else if (type == damageEvent_) {
            const auto* e = reinterpret_cast<xcb_damage_notify_event_t*>(event);
            auto it = windows.find(e->drawable);
            if (it != windows.end() && it->second.firstDamage < 0)
                it->second.firstDamage = NowMs();
        }
    }

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    std::uint8_t damageEvent_ = 0;
    xcb_atom_t wmName_ = XCB_NONE;
    xcb_atom_t protocols_ = XCB_NONE;
    xcb_atom_t deleteWindow_ = XCB_NONE;
};

struct Stats {
    std::vector<double> values;
    void Add(double v) { values.push_back(v); }
    double Median() const
    {
        if (values.empty())
            return -1;
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    double Min() const
    {
        return values.empty() ? -1 : *std::min_element(values.begin(), values.end());
    }
    double Max() const
    {
        return values.empty() ? -1 : *std::max_element(values.begin(), values.end());
    }
};

struct Results {
    std::map<std::string, std::map<std::string, Stats>> byCandidate;
    std::vector<std::string> order;
    Stats& operator()(const std::string& candidate, const std::string& metric)
    {
        if (std::find(order.begin(), order.end(), candidate) == order.end())
            order.push_back(candidate);
        return byCandidate[candidate][metric];
    }
};

// Where a button of the window's own layout table is clicked: its centre at 96 dpi.
QPoint ButtonCentre(const char* name)
{
    for (const vexalo::ControlSpec& row : vexalo::kControls) {
        if (std::strcmp(row.name, name) == 0 && !row.container)
            return vexalo::ControlRect(row).center();
    }
    Die(std::string("no button ") + name + " in the layout");
}

bool Launch(Screen& screen, const Candidate& candidate, const fs::path& cwd, Results* results)
{
    const double start = NowMs();
    Child child = Spawn(candidate, cwd);
    const std::optional<Appearance> shown = screen.WaitForWindow(start);
    long dirty = -1;
    if (shown) {
        dirty = PrivateDirtyKb(child.pid);
        screen.Close(shown->window);
    } else {
        kill(child.pid, SIGTERM);
    }
    const long peak = Reap(child, NowMs() + kTimeoutMs);
    if (!shown) {
        std::fprintf(stderr, "vexalo-bench: %s showed no window\n", candidate.name.c_str());
        return false;
    }
    if (results) {
        (*results)(candidate.name, "viewable (ms)").Add(shown->viewable);
        (*results)(candidate.name, "first paint (ms)").Add(shown->painted);
        (*results)(candidate.name, "peak RSS (MiB)").Add(peak / 1024.0);
        (*results)(candidate.name, "private dirty (MiB)").Add(dirty / 1024.0);
    }
    return true;
}

// One tool instance per directory; Save is clicked in turn in each, timed to the rename.
void MeasureSave(Screen& screen, const Candidate& tool,
                 const std::vector<std::pair<std::string, fs::path>>& places, int warmup, int runs,
                 Results& results)
{
    std::vector<Child> children;
    std::vector<Appearance> windows;
    std::vector<std::unique_ptr<Watch>> watches;
    const QPoint save = ButtonCentre("Command1");
    for (const auto& [label, dir] : places) {
        watches.push_back(std::make_unique<Watch>(dir));
        const double start = NowMs();
        children.push_back(Spawn(tool, dir));
        const auto shown = screen.WaitForWindow(start);
        if (!shown)
            Die("the tool showed no window");
        windows.push_back(*shown);
    }
    for (int i = 0; i < warmup + runs; ++i) {
        for (std::size_t p = 0; p < places.size(); ++p) {
            const double clicked = NowMs();
            screen.Click(windows[p].window, save.x(), save.y());
            if (!watches[p]->Wait("config.txt", NowMs() + kTimeoutMs))
                Die("Save wrote nothing in " + places[p].second.string());
            if (i >= warmup)
                results("Save, " + places[p].first, "click -> replaced (ms)")
                    .Add(NowMs() - clicked);
        }
    }
    for (std::size_t p = 0; p < places.size(); ++p) {
        screen.Close(windows[p].window);
        Reap(children[p], NowMs() + kTimeoutMs);
    }
}

// `renderer` marks the moment it runs by creating the file named in VEXALO_BENCH_MARK or, a
// Windows one, RENDERER_RECORD. A native one is found on PATH, a Windows one in the working
// directory, run through Wine in a prefix of its own, which the warm-up rounds create.
void MeasureSaveAndStart(Screen& screen, Candidate tool, const fs::path& work,
                         const fs::path& renderer, bool windows, int warmup, int runs,
                         Results& results)
{
    const std::string label = windows ? "Save and Start, Wine" : "Save and Start";
    const fs::path bin = work / "renderer-bin";
    const fs::path run = work / (windows ? "save-and-start-wine" : "save-and-start");
    fs::create_directories(bin);
    fs::create_directories(run);
    fs::copy_file(renderer, (windows ? run : bin) / "opengl.exe",
                  fs::copy_options::overwrite_existing);
    const fs::path mark = run / "renderer-started";
    tool.env.push_back("PATH=" + bin.string() + ":" + std::getenv("PATH"));
    tool.env.push_back("VEXALO_BENCH_MARK=" + mark.string());
    tool.env.push_back("RENDERER_RECORD=" + mark.string());
    if (windows)
        tool.env.insert(tool.env.end(), {"WINEPREFIX=" + (work / "wine").string(), "WINEDEBUG=-all",
                                         "WINEDLLOVERRIDES=mscoree,mshtml="});
    Watch watch(run);
    const QPoint saveAndStart = ButtonCentre("Command2");
    for (int i = 0; i < warmup + runs; ++i) {
        fs::remove(mark);
        const double start = NowMs();
        Child child = Spawn(tool, run);
        const auto shown = screen.WaitForWindow(start);
        if (!shown)
            Die("the tool showed no window");
        const double clicked = NowMs();
        screen.Click(shown->window, saveAndStart.x(), saveAndStart.y());
        if (!watch.Wait("renderer-started", NowMs() + kTimeoutMs))
            Die("the renderer stand-in did not start");
        const double rendererRunning = NowMs() - clicked;
        Reap(child, NowMs() + kTimeoutMs);
        const double gone = NowMs() - clicked;
        if (i >= warmup) {
            results(label, "click -> renderer running (ms)").Add(rendererRunning);
            results(label, "click -> tool gone (ms)").Add(gone);
        }
    }
}

void Print(const Results& results, int runs, int warmup)
{
    std::printf("%d runs after %d warm-up, candidates interleaved; times in ms from exec\n\n", runs,
                warmup);
    std::printf("%-30s %-32s %9s %9s %9s\n", "candidate", "metric", "min", "median", "max");
    for (const std::string& candidate : results.order)
        for (const auto& [metric, stats] : results.byCandidate.at(candidate))
            std::printf("%-30s %-32s %9.1f %9.1f %9.1f\n", candidate.c_str(), metric.c_str(),
                        stats.Min(), stats.Median(), stats.Max());
}

double MedianOf(const Results& results, const std::string& candidate, const std::string& metric)
{
    auto c = results.byCandidate.find(candidate);
    if (c == results.byCandidate.end())
        return -1;
    auto m = c->second.find(metric);
    return m == c->second.end() ? -1 : m->second.Median();
}

void Verdict(const char* what, double value, double target, const char* unit)
{
    if (value < 0)
        std::printf("  %-46s not measured\n", what);
    else
        std::printf("  %-46s %8.2f%s  target <= %.2f%s  %s\n", what, value, unit, target, unit,
                    value <= target ? "met" : "MISSED");
}

bool OnPath(const char* program)
{
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    for (std::size_t at = 0; at <= path.size();) {
        const std::size_t end = std::min(path.find(':', at), path.size());
        if (access((path.substr(at, end - at) + "/" + program).c_str(), X_OK) == 0)
            return true;
        at = end + 1;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 8)
        Die("usage: vexalo-bench RUNS WARMUP TOOL BARE_WINDOW BARE_QT_WINDOW RENDERER_STANDIN "
            "WORK_DISK_DIR");
    const int runs = std::atoi(argv[1]);
    const int warmup = std::atoi(argv[2]);
    const std::string toolPath = fs::absolute(argv[3]);
    const fs::path work = fs::absolute(argv[7]);
    fs::create_directories(work / "launch");

    const Candidate tool{"vexalo-config", {toolPath}, {}};
    std::vector<Candidate> candidates{tool,
                                      {"bare xcb window", {fs::absolute(argv[4])}, {}},
                                      {"bare Qt window", {fs::absolute(argv[5])}, {}}};
    if (OnPath("zenity"))
        candidates.push_back({"zenity --forms",
                              {"zenity", "--forms", std::string("--title=") + kTitle,
                               "--text=", "--add-combo=Resolution",
                               "--combo-values=640 x 480|800 x 600|1024 x 768|1600 x 1200",
                               "--add-combo=Colour depth", "--combo-values=16 bpp|32 bpp",
                               "--add-combo=Fullscreen?", "--combo-values=yes|no"},
                              {}});
    if (OnPath("yad"))
        candidates.push_back(
            {"yad --form",
             {"yad", "--form", std::string("--title=") + kTitle, "--field=Resolution:CB",
              "--field=Colour depth:CB", "--field=Fullscreen?:CHK",
              "640 x 480!800 x 600!^1024 x 768!1600 x 1200", "16 bpp!^32 bpp", "TRUE"},
             {}});
    const bool gtkTheme =
        fs::exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platformthemes/libqgtk3.so");
    if (gtkTheme)
        candidates.push_back({"vexalo-config, GNOME", {toolPath}, {"XDG_CURRENT_DESKTOP=GNOME"}});

    Screen screen;
    Results results;
    for (int round = 0; round < warmup + runs; ++round)
        for (const Candidate& candidate : candidates)
            if (!Launch(screen, candidate, work / "launch", round >= warmup ? &results : nullptr))
                return 1;

    const fs::path shm = fs::temp_directory_path().string().rfind("/dev/shm", 0) == 0
                             ? fs::temp_directory_path()
                             : fs::path("/dev/shm");
    const fs::path tmpfsDir = shm / ("vexalo-bench-" + std::to_string(getpid()));
    fs::create_directories(tmpfsDir);
    fs::create_directories(work / "save");
    MeasureSave(screen, tool, {{"tmpfs", tmpfsDir}, {"work disk", work / "save"}}, warmup, runs,
                results);
    fs::remove_all(tmpfsDir);
    MeasureSaveAndStart(screen, tool, work, argv[6], false, warmup, runs, results);
    if (const char* windows = std::getenv("VEXALO_BENCH_WINDOWS_RENDERER"); windows && *windows)
        MeasureSaveAndStart(screen, tool, work, windows, true, warmup, runs, results);

    Print(results, runs, warmup);
    const double paint = MedianOf(results, "vexalo-config", "first paint (ms)");
    const auto ratio = [&](const char* other) {
        const double theirs = MedianOf(results, other, "first paint (ms)");
        return theirs > 0 ? paint / theirs : -1;
    };
    std::printf("\nratios of median first paint: vexalo-config / bare xcb window %.2f, "
                "/ bare Qt window %.2f\n",
                ratio("bare xcb window"), ratio("bare Qt window"));
    if (gtkTheme)
        std::printf("GNOME family: vexalo-config with the GTK theme / without %.2f\n",
                    MedianOf(results, "vexalo-config, GNOME", "first paint (ms)") / paint);
    std::printf("\ntargets\n");
    Verdict("first paint / zenity --forms", ratio("zenity --forms"), 0.35, "x");
    Verdict("first paint / yad --form", ratio("yad --form"), 0.70, "x");
    Verdict("peak RSS", MedianOf(results, "vexalo-config", "peak RSS (MiB)"), 32, " MiB");
    Verdict("Save on tmpfs", MedianOf(results, "Save, tmpfs", "click -> replaced (ms)"), 10, " ms");
    Verdict("Save and Start: renderer running",
            MedianOf(results, "Save and Start", "click -> renderer running (ms)"), 15, " ms");
    Verdict("Save and Start: tool gone",
            MedianOf(results, "Save and Start", "click -> tool gone (ms)"), 50, " ms");
    return 0;
}
