// SPDX-License-Identifier: MIT
#pragma once

// The one walker of symbolic links: a name resolved one component at a time over folder
// descriptors, as the kernel would, with each folder entered and each link followed shown to
// the caller before it is used. What the walk returns cannot be made to lead elsewhere by a
// link changed afterwards: the caller opens the last component in the folder it was found in.

#include "core/fd.h"

#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <system_error>

namespace vexalo {

// As many links as the kernel follows in one name.
inline constexpr int kMaxLinkHops = 40;

// One component on the way.
struct PathStep {
    enum Kind { Folder, Link } kind;
    int fd;                    // the folder entered (O_PATH), or the folder holding the link
    const std::string& name;   // its name as walked, for reports: "/srv/games/opengl.exe"
    const struct stat& status; // the folder's, or the link's own
};

// Judges a step before it is taken; a non-zero code ends the walk with it.
using StepCheck = std::function<std::error_code(const PathStep&)>;

// Where a walk ended: the last component, in the folder that holds it, never a link.
struct PathEnd {
    Fd folder;              // O_PATH
    std::string folderName; // the folder's name as walked
    std::string name;       // the last component's name in `folder`
    bool exists = false;    // whether there is anything of that name
    struct stat status {};  // its status when it exists, links not followed
    int links = 0;          // how many links the walk followed
};

// Resolves `path` from the folder open as `start` (AT_FDCWD too), named `startName` in
// reports, following every link, the last component's too. Returns the system's code for a
// folder that cannot be entered or a link that cannot be read (ELOOP past kMaxLinkHops,
// ENOENT for a missing folder on the way), or the first code `check` returns.
std::error_code ResolvePath(int start, std::string startName, std::string_view path,
                            const StepCheck& check, PathEnd& end);

// Calls `visit` with the folder open as `start` (AT_FDCWD too) and each folder above it up to
// /, where the kernel's ".." leads, each named from `startName` as Parent() names it, until
// `visit` returns true. Returns whether it did; a folder whose parent cannot be opened ends the
// walk as / does.
bool WalkUp(int start, std::string startName,
            const std::function<bool(int folder, const std::string& name)>& visit);

// `name` in the folder named `folder`: "" and "/" name the root.
std::string InDirectory(std::string_view folder, std::string_view name);

// The name of `path`'s parent: "" and "/" name the root, "." a folder the system cannot name.
std::string Parent(std::string path);

} // namespace vexalo
