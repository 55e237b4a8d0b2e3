// SPDX-License-Identifier: MIT
#include "launch/launch.h"

#include "core/error.h"
#include "core/private_files.h"
#include "core/working_directory.h"
#include "launch/activation.h"
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

// The directory the running binary was started from; empty where it cannot be named.
std::string ToolDirectory()
{
    return RunningBinaryFolder();
}

// The tool's environment, less what its own launcher meant for the tool's window alone, plus
// `entries`, which replace any entry of the same name.
std::vector<std::string> RendererEnvironment(const std::vector<std::string>& entries)
{
    const auto name = [](std::string_view entry) { return entry.substr(0, entry.find('=') + 1); };
    static constexpr std::array<std::string_view, 2> kConsumed = {"DESKTOP_STARTUP_ID=",
                                                                  "XDG_ACTIVATION_TOKEN="};
    // The tool's own EGL vendor, chosen for its window alone, is named through the tool's own
    // descriptors: in the renderer those names would lead to its own, or nowhere, and leave it
    // no EGL vendor at all. A user's choice of vendors is passed on.
    const auto ownEglVendor = [](std::string_view entry) {
        return entry.starts_with("__EGL_VENDOR_LIBRARY_FILENAMES=/proc/self/fd/");
    };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view own = name(*entry);
        const auto replaced = [&](std::string_view other) { return name(other) == own; };
        if (std::none_of(kConsumed.begin(), kConsumed.end(), replaced) &&
            std::none_of(entries.begin(), entries.end(), replaced) && !ownEglVendor(*entry))
            environment.emplace_back(*entry);
    }
    environment.insert(environment.end(), entries.begin(), entries.end());
    return environment;
}

// Starts the renderer found in `places`, detached, with `entries` ("NAME=value") in its
// environment.
void StartRenderer(const SearchPlaces& places, const std::vector<std::string>& entries,
                   const WaitForReadable& wait)
{
    const Found renderer = FindRenderer(places);
    SpawnDetached(PlanStart(renderer, places, RendererEnvironment(entries)), wait);
}

} // namespace

SearchPlaces CurrentSearchPlaces()
{
    const char* path = std::getenv("PATH");
    return {ToolDirectory(), WorkingDirectory(), path ? path : ""};
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
