// SPDX-License-Identifier: MIT
#pragma once

// How a found renderer is run, judged by its content before anything runs: left to the
// kernel, run by its interpreter or /bin/sh, or through Wine.

#include "launch/lookup.h"
#include "launch/pe.h"
#include "launch/types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexalo {

using pe::kAmd64;
using pe::kI386;

enum class Kind {
    Program, // left to the kernel
    Script,  // "#!": the kernel starts its interpreter, which opens it by name
    Text,    // no "#!": /bin/sh runs it if the kernel will not, as the shells do
    Windows, // a PE image, run through Wine
};

// What WindowsMachineOf gives for a file that starts with "MZ" but is no image Wine can load.
inline constexpr std::uint16_t kNoPeHeader = 0;

// The PE header's Machine field of a Windows program: "MZ", and where the DOS header points,
// "PE\0\0", the file header with the machine, and a whole optional header. nullopt for any
// other file; kNoPeHeader for "MZ" without them: Wine would fail on it without a word.
std::optional<std::uint16_t> WindowsMachineOf(int fd);

struct Content {
    Kind kind;
    std::uint16_t machine = 0; // a Windows program's PE machine
};

// Returns how the file open as `fd` runs; throws Error when it cannot: "MZ" without a PE
// header, a PE image for firmware (UEFI), a "#!" line that ends in a carriage return, or an
// interpreter that is missing.
Content ContentOf(int fd);

// Everything the start needs, made before the fork: the forked child may only make
// async-signal-safe calls, since the tool has other threads.
struct ExecPlan {
    int fd = -1;                        // a program run as it was checked, or -1
    std::string path;                   // else the name it runs by
    std::vector<std::string> argv;      //
    std::vector<std::string> shellArgv; // when the kernel refuses text; empty otherwise
    bool waitForExit = false;           // "wine start", whose end is waited for
    std::uint16_t machine = 0;          // the PE machine of what Wine starts
    std::vector<std::string> environment;
};

// How `renderer` runs with `environment` ("NAME=value" entries): from its descriptor, by its
// name, or through the Wine found in `places`. Throws Error when it cannot run here.
ExecPlan PlanStart(const Found& renderer, const SearchPlaces& places,
                   std::vector<std::string> environment);

// What Wine's installed parts say of a machine's programs.
enum class WineSupport {
    Runs,    // the parts that run them are there
    Lacks,   // parts of Wine are there, but not those
    Unknown, // no part of Wine is found beside it: an unusual layout, which Wine itself judges
};

// Whether the Wine at `wine` runs programs for `machine`, judged by Wine's own installed parts.
WineSupport WineRuns(const std::string& wine, std::uint16_t machine);

} // namespace vexalo
