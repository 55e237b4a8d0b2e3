// SPDX-License-Identifier: MIT
#pragma once

#include "core/config_text.h"
#include "core/desktop_mode.h"
#include "core/display_choices.h"
#include "core/error.h"

namespace vexalo {

// The file's bare name, resolved against the current working directory.
inline constexpr char kConfigFileName[] = "config.txt";

// Writes config.txt from `choices` and the desktop mode `desktop`. The old file is replaced
// only once the new content is safely on disk, keeping its owner, group, mode, ACL and
// extended attributes; on failure it is left as it was. Where it cannot be replaced it is
// rewritten in place, and only a failed write or cut to length there can leave it mixed.
// Throws Error naming the file with its folder, e.g. "/home/you/config.txt: No space left on
// device" with ENOSPC.
void WriteConfigFile(const DisplayChoices& choices, const DesktopMode& desktop);

} // namespace vexalo
