// SPDX-License-Identifier: MIT
#pragma once

// The trust rule for what lies on the way to a renderer that may be in anybody's folder:
// nobody but the user and root may change it. Whatever cannot be judged is refused.

#include "launch/types.h"

#include <optional>
#include <string>
#include <sys/stat.h>

namespace vexalo {

// Why something on the way to the renderer is not to be trusted.
struct Refusal {
    LaunchError error; // ForeignOwner, WritableByOthers or Unexamined here; the lookup has more
    std::string why;   // what, what makes it so, and the remedy: "/srv/games is writable by ..."
};

// Whether nobody but the user and root can reach what lies in the folder open as `folder`:
// it, or a folder above it, lets nobody else search it. Writing a file or a folder's entries
// takes reaching them first, so below such a folder others' write permission means nothing.
bool ClosedToOthers(int folder);

// Whether another user could change what `name` (open as `fd`, O_PATH will do) leads to: it
// must be the user's or root's, and nobody else may write it, by mode bits or ACL entries,
// unless nobody else can reach it. `reach` is the folder they would have to come through:
// the file's own folder, or a folder itself. A sticky folder lets nobody else rename or
// remove what the user owns in it. nullopt when it may be trusted.
std::optional<Refusal> RefusalOf(int fd, const std::string& name, int reach);

// Whether a link, whose own status is `link`, may be followed: only who owns it counts.
std::optional<Refusal> LinkRefusal(const struct stat& link, const std::string& name);

// Whether another user could put a file into the folder open as `folder`: a Windows program
// loads DLLs from its own folder and the working directory, so a sticky bit is no help there.
std::optional<Refusal> PlantingRefusal(int folder, const std::string& name);

} // namespace vexalo
