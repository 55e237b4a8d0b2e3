// SPDX-License-Identifier: MIT
#pragma once

#include "core/desktop_mode.h"
#include "core/display_choices.h"
#include "core/error.h"

#include <string>

namespace vexalo {

// The file's bare name, resolved against the current working directory.
inline constexpr char kConfigFileName[] = "config.txt";

// Returns the file's exact content: eleven ASCII lines, each ended by CR LF. Without an
// available desktop mode the desktop section falls back to 1024 x 768 x 32.
std::string ConfigFileText(const DisplayChoices& choices, const DesktopMode& desktop);

// Writes config.txt from `choices` and the desktop mode `desktop`. The old file is replaced
// only once the new content is safely on disk, keeping its owner, group, mode, ACL and
// extended attributes; on failure it is left as it was. Where it cannot be replaced it is
// rewritten in place, and only a failed write or cut to length there can leave it mixed.
// Throws Error, e.g. "config.txt: No space left on device" with ENOSPC.
void WriteConfigFile(const DisplayChoices& choices, const DesktopMode& desktop);

} // namespace vexalo
