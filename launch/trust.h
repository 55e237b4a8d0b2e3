// SPDX-License-Identifier: MIT
#pragma once

// The trust rule for what lies on the way to the working directory's copy of the renderer:
// nobody but the user and root may change it.

#include "launch/types.h"

#include <optional>
#include <string>

namespace vexalo {

// Why something on the way to the working directory's copy is not to be trusted.
struct Refusal {
    LaunchError error; // ForeignOwner or WritableByOthers
    std::string why;   // what, and what makes it so: "/srv/games is writable by group ..."
};

// Whether another user could change what `name` (open as `fd`, O_PATH will do) leads to: it
// must be the user's or root's, and nobody else may write it, by mode bits or ACL entries.
// A link's own mode means nothing, and a sticky folder lets nobody else rename or remove
// what the user owns in it. nullopt when it may be trusted.
std::optional<Refusal> RefusalOf(int fd, const std::string& name);

} // namespace vexalo
