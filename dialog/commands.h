// SPDX-License-Identifier: MIT
#pragma once

namespace vexalo {

class Form1;

// Save: writes config.txt; the window stays as it is.
void Save(Form1& form);

// Save and Start: writes config.txt, starts the renderer, closes the window.
void SaveAndStart(Form1& form);

// Cancel: closes the window without writing anything.
void Cancel(Form1& form);

} // namespace vexalo
