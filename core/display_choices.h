// SPDX-License-Identifier: MIT
#pragma once

namespace vexalo {

// The user's display settings. Each value is named after the control that shows it.
// From ApplyDefaults on, exactly one of Option1..Option4 (resolution) and exactly one of
// Option5..Option6 (colour depth) is true.
struct DisplayChoices {
    bool Option1 = false; // 640 x 480
    bool Option2 = false; // 800 x 600
    bool Option3 = false; // 1024 x 768
    bool Option4 = false; // 1600 x 1200
    bool Option5 = false; // 16 bpp
    bool Option6 = false; // 32 bpp
    int Check1 = 0;       // full screen: 1 checked, 0 unchecked

    friend bool operator==(const DisplayChoices&, const DisplayChoices&) = default;
};

// The number of option buttons; options are numbered 1..kOptionCount.
inline constexpr int kOptionCount = 6;

// Brings fresh choices to the start state: 1024 x 768, 32 bpp, full screen on.
void ApplyDefaults(DisplayChoices& choices);

// Selects option `option` (1..6) and clears the other options of its group; the other group
// and Check1 are untouched. Throws std::out_of_range for any other number.
void SelectChoice(DisplayChoices& choices, int option);

// The two groups of options, each with exactly one selected.
enum class OptionGroup { Resolution, Depth };

// Returns the group of option `option` (1..6). Throws std::out_of_range for any other number.
OptionGroup GroupOf(int option);

// Returns the value of option `option` (1..6). Throws std::out_of_range for any other number.
bool IsSelected(const DisplayChoices& choices, int option);

} // namespace vexalo
