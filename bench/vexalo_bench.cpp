// SPDX-License-Identifier: MIT
// Measures Vexalo Configuration from outside, as a user meets it, against the tools a user
// would script instead: launch to first pixels, memory, and the latency of its commands.
// Runs in an X server with a window manager already running (see bench/run.sh).
//
// usage: vexalo-bench RUNS WARMUP TOOL BARE_WINDOW BARE_QT_WINDOW RENDERER_STANDIN WORK_DISK_DIR
// With VEXALO_BENCH_WINDOWS_RENDERER naming a Windows program, Save and Start is also timed
// through Wine.
#include "bench/child_process.h"
#include "bench/screen_observer.h"
#include "dialog/layout.h"

#include <QLibraryInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace bench;

namespace {

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

// `renderer` marks the moment it runs by creating the file named in RENDERER_MARK or, a
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
    // The shared stand-in marks its start in RENDERER_MARK; the Windows one writes its record.
    tool.env.push_back((windows ? "RENDERER_RECORD=" : "RENDERER_MARK=") + mark.string());
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
    if (!QStandardPaths::findExecutable("zenity").isEmpty())
        candidates.push_back({"zenity --forms",
                              {"zenity", "--forms", std::string("--title=") + kTitle,
                               "--text=", "--add-combo=Resolution",
                               "--combo-values=640 x 480|800 x 600|1024 x 768|1600 x 1200",
                               "--add-combo=Colour depth", "--combo-values=16 bpp|32 bpp",
                               "--add-combo=Fullscreen?", "--combo-values=yes|no"},
                              {}});
    if (!QStandardPaths::findExecutable("yad").isEmpty())
        candidates.push_back(
            {"yad --form",
             {"yad", "--form", std::string("--title=") + kTitle, "--field=Resolution:CB",
              "--field=Colour depth:CB", "--field=Fullscreen?:CHK",
              "640 x 480!800 x 600!^1024 x 768!1600 x 1200", "16 bpp!^32 bpp", "TRUE"},
             {}});
    const bool gtkTheme = fs::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() +
                                     "/platformthemes/libqgtk3.so");
    // Under GNOME the tool reads GTK's settings itself; forced onto Qt's GTK theme, it loads
    // GTK for them, as it did before.
    if (gtkTheme) {
        candidates.push_back({"vexalo-config, GNOME", {toolPath}, {"XDG_CURRENT_DESKTOP=GNOME"}});
        candidates.push_back({"vexalo-config, Qt's GTK theme",
                              {toolPath},
                              {"XDG_CURRENT_DESKTOP=GNOME", "QT_QPA_PLATFORMTHEME=gtk3"}});
    }

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
        std::printf("GNOME family: vexalo-config under GNOME / plain %.2f, under Qt's GTK theme / "
                    "plain %.2f; under GNOME / yad %.2f\n",
                    MedianOf(results, "vexalo-config, GNOME", "first paint (ms)") / paint,
                    MedianOf(results, "vexalo-config, Qt's GTK theme", "first paint (ms)") / paint,
                    MedianOf(results, "vexalo-config, GNOME", "first paint (ms)") /
                        MedianOf(results, "yad --form", "first paint (ms)"));
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
