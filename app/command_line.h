// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace vexalo {

// The program's name in its messages.
inline constexpr char kProgram[] = "vexalo-config";

// How the command line ends the program.
struct CommandLineEnd {
    int status;
    // For a FOLDER the tool cannot enter, the line already written on standard error: from a
    // launcher or a file manager nobody sees it there.
    std::string folderReport;
};

// Answers --help, --version and a wrong command line before any display is touched, so they
// work in a terminal without one, and enters the folder given, if any. Returns how the
// program ends here; nothing when the window should open.
std::optional<CommandLineEnd> AnswerCommandLine(int argc, char* argv[]);

} // namespace vexalo
