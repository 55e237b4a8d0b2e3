// SPDX-License-Identifier: MIT
#pragma once

namespace vexalo {

// Loads the tool's catalogue for the user's language, from those built into the program.
void LoadTranslations();

// Puts the tool's catalogue and Qt's own (its buttons, its command-line parser's errors) in
// force in the running application.
void InstallTranslations();

} // namespace vexalo
