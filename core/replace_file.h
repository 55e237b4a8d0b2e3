// SPDX-License-Identifier: MIT
#pragma once

// Gives a named file new bytes, in the way that suits what the name leads to. No function
// throws: each returns the code of its failure, the system's or the writer's own refusal;
// what one yields besides goes to its last parameter, a reference, and is filled only on
// success unless said.

#include "core/error.h"
#include "core/fd.h"

#include <string>
#include <string_view>
#include <sys/stat.h>

namespace vexalo {

// A file about to get new bytes, as opening its name found it.
struct FileToReplace {
    Fd fd;                 // open for writing; invalid while there is no file yet
    struct stat opened {}; // fd's status, when fd is valid
    Fd dir;                // the directory holding `name`, links followed; invalid when unreachable
    std::string name;      // the name in `dir`: a temporary beside it may replace it
    std::string refusedLink; // which link was not followed and why, on a ForeignLink refusal
};

// Opens `name` in `dir` (AT_FDCWD too) for writing: the kernel judges the way there, and what it
// refuses is refused with its own reason, before anything changes. Links are followed to the
// directory and name that hold the file, but not a link another user owns (ForeignLink,
// saying which in `file.refusedLink`) nor one that leads to nothing (DanglingLink). Where there
// is no file, `file` holds only the directory, which the new file will join.
std::error_code OpenToReplace(int dir, const std::string& name, FileToReplace& file);

// The three ways to give a file new bytes.
enum class WriteStrategy {
    ReplaceAtomically, // a new file, written and flushed, renamed over the name
    RewriteInPlace,    // the same file, holding the new bytes before any old one is overwritten
    WriteThrough,      // not a regular file (a FIFO, a device): written as a plain open would
};

// Chooses the one strategy that suits what OpenToReplace found.
WriteStrategy ChooseStrategy(const FileToReplace& file);

// Writes `bytes` to a new file beside the name, makes it the old file's twin, flushes it and
// renames it over the name; on failure the old file stays as it was and no temporary is left.
// `refused` (set on failure too) says the directory or file system would not take the twin,
// though the old file itself may still be rewritten in place.
std::error_code ReplaceAtomically(const FileToReplace& file, std::string_view bytes, bool& refused);

// Rewrites the file where it is, creating it under its name when there is none yet; closes it.
// Only a failed write or a failed cut to length can leave old and new bytes mixed.
std::error_code RewriteInPlace(FileToReplace& file, std::string_view bytes);

// Writes to a file that is not a regular one without waiting for a reader; closes it.
std::error_code WriteThrough(FileToReplace& file, std::string_view bytes);

} // namespace vexalo
