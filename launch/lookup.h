// SPDX-License-Identifier: MIT
#pragma once

// Where the renderer and Wine are looked for; what is found in the working directory, which
// may be anybody's folder, and what Wine would be given, must pass the trust rule.

#include "core/fd.h"
#include "launch/types.h"

#include <optional>
#include <string>
#include <string_view>

namespace vexalo {

struct Found {
    std::string path; // the name it runs by, which leads only through what was checked
    Fd file;          // open on the file that was checked
    Fd folder;        // the folder `path` names it in (O_PATH)
};

// Looks beside the tool, then in the working directory, then in PATH's absolute entries;
// throws Error with the most telling reason when nothing may run.
Found FindRenderer(const SearchPlaces& places);

// Why Wine would not pass `path` on as it is: it maps names to Windows names and back, and a
// byte that is not UTF-8 comes back as U+FFFD, a trailing dot or space is dropped, and "\\"
// separates folders; another user could have made the changed name (in /tmp, say). "wine
// start" also reads its command line as Windows does, where '"' ends a name and the other
// characters Windows forbids in names are wildcards or invalid: one ran a file another user
// had made of the name's first part. ':' comes back as it went. The name is quoted, so that a
// trailing space shows. nullopt when every component comes back as it went.
std::optional<std::string> WineChange(std::string_view path);

// Wine, beside the tool or in PATH's absolute entries; never in the working directory.
std::optional<std::string> FindWine(const SearchPlaces& places);

} // namespace vexalo
