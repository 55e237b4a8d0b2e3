// SPDX-License-Identifier: MIT
#pragma once

// Where the renderer and Wine are looked for; what is found in the working directory, which
// may be anybody's folder, and what Wine would be given, must pass the trust rule.

#include "core/fd.h"
#include "launch/types.h"

#include <optional>
#include <string>

namespace vexalo {

struct Found {
    std::string path; // the name it runs by, which leads only through what was checked
    Fd file;          // open on the file that was checked
    Fd folder;        // the folder `path` names it in (O_PATH)
};

// Looks beside the tool, then in the working directory, then in PATH's absolute entries;
// throws Error with the most telling reason when nothing may run.
Found FindRenderer(const SearchPlaces& places);

// Wine, beside the tool or in PATH's absolute entries; never in the working directory.
std::optional<std::string> FindWine(const SearchPlaces& places);

} // namespace vexalo
