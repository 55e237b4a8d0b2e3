// SPDX-License-Identifier: MIT
#include "core/display_choices.h"

#include <array>
#include <stdexcept>
#include <string>

namespace vexalo {
namespace {

using OptionField = bool DisplayChoices::*;

struct OptionInfo {
    OptionField field;
    OptionGroup group;
};

// Groups are a property of the choices, not of how the window nests its controls: Option1 and
// Option2..Option4 live in different containers yet form one group.
constexpr std::array<OptionInfo, kOptionCount> kOptions{{
    {&DisplayChoices::Option1, OptionGroup::Resolution},
    {&DisplayChoices::Option2, OptionGroup::Resolution},
    {&DisplayChoices::Option3, OptionGroup::Resolution},
    {&DisplayChoices::Option4, OptionGroup::Resolution},
    {&DisplayChoices::Option5, OptionGroup::Depth},
    {&DisplayChoices::Option6, OptionGroup::Depth},
}};

const OptionInfo& Info(int option)
{
    if (option < 1 || option > kOptionCount)
        throw std::out_of_range("option number " + std::to_string(option) + " is not 1..6");
    return kOptions[static_cast<std::size_t>(option - 1)];
}

} // namespace

void ApplyDefaults(DisplayChoices& choices)
{
    SelectChoice(choices, 3);
    SelectChoice(choices, 6);
    choices.Check1 = 1;
}

void SelectChoice(DisplayChoices& choices, int option)
{
    const OptionInfo& selected = Info(option);
    for (const OptionInfo& other : kOptions) {
        if (other.group == selected.group)
            choices.*other.field = false;
    }
    choices.*selected.field = true;
}

OptionGroup GroupOf(int option)
{
    return Info(option).group;
}

bool IsSelected(const DisplayChoices& choices, int option)
{
    return choices.*Info(option).field;
}

} // namespace vexalo
