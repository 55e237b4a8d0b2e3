// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

namespace vexalo {

// The program's name in its messages.
inline constexpr char kProgram[] = "vexalo-config";

// Answers --help, --version and a wrong command line before any display is touched, so they
// work in a terminal without one, and enters the folder given, if any. Returns the exit
// status when the program ends here; nothing when the window should open.
std::optional<int> AnswerCommandLine(int argc, char* argv[]);

} // namespace vexalo
