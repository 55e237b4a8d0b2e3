// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace vexalo {

class Form1;

// The renderer's bare name.
inline constexpr char kRendererName[] = "opengl.exe";

// A failure to start the renderer. what() names it and gives the system's description in the
// locale's language and encoding, e.g. "opengl.exe: No such file or directory".
class RendererError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Returns the absolute path of the renderer: first in `ownDirectory` (where it is installed
// beside the tool), then in the absolute directories of `searchPath` (PATH's syntax). The
// current directory is searched only when it is one of those. Paths are the kernel's bytes,
// in whatever encoding they were named. Throws RendererError.
std::string FindRenderer(const std::string& ownDirectory, const std::string& searchPath);

// Starts the renderer with no arguments, in the tool's working directory and environment,
// in its own session, without waiting and detached from the tool. `handOver` holds
// "NAME=value" entries that are added to its environment, or replace the tool's own.
// Throws RendererError, before returning, when the renderer cannot be run.
void StartRenderer(const std::vector<std::string>& handOver = {});

// Save: writes config.txt; the window stays as it is.
void Save(Form1& form);

// Save and Start: writes config.txt, starts the renderer, closes the window.
void SaveAndStart(Form1& form);

// Cancel: closes the window without writing anything.
void Cancel(Form1& form);

} // namespace vexalo
