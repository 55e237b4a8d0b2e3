// SPDX-License-Identifier: MIT
// Prints the window's layout table (dialog/layout.h) as the compiler reads it, so that scripts
// aiming at the controls never parse its C++, whose rows a formatter may wrap at will:
//   client WIDTH HEIGHT
//   NAME KIND LEFT TOP WIDTH HEIGHT      (one line per control, in table order)
// all in twips, each control's place relative to the window's client area.
#include "dialog/layout.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <string_view>

namespace {

using vexalo::ControlKind;
using vexalo::kContainerRows;
using vexalo::kControls;

// A new kind must get a word here: -Wswitch (an error in the developer builds) says so.
constexpr const char* KindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::OptionButton:
        return "OptionButton";
    case ControlKind::Frame:
        return "Frame";
    case ControlKind::CheckBox:
        return "CheckBox";
    case ControlKind::CommandButton:
        return "CommandButton";
    }
    return "?";
}

// Readers split lines at blanks and take "client" as the window's own line.
consteval bool NamesAreWords()
{
    for (const vexalo::ControlSpec& row : kControls) {
        const std::string_view name = row.name;
        if (name.empty() || name == "client" || name.find_first_of(" \t\n") != name.npos)
            return false;
    }
    return true;
}
static_assert(NamesAreWords(), "a control's name must be one word other than \"client\"");

struct Place {
    int left;
    int top;
};

// A control inside a frame is placed from the frame's outer corner, which is itself placed in
// its own container; a loop of containers fails the build rather than hanging the program.
consteval std::array<Place, kControls.size()> ClientPlaces()
{
    std::array<Place, kControls.size()> places{};
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        places[i] = {kControls[i].left, kControls[i].top};
        std::size_t hops = 0;
        for (int c = kContainerRows[i]; c >= 0; c = kContainerRows[std::size_t(c)]) {
            if (++hops > kControls.size())
                throw "the containers form a loop";
            places[i].left += kControls[std::size_t(c)].left;
            places[i].top += kControls[std::size_t(c)].top;
        }
    }
    return places;
}
constexpr std::array<Place, kControls.size()> kClientPlaces = ClientPlaces();

} // namespace

int main()
{
    std::printf("client %d %d\n", vexalo::kClientWidthTwips, vexalo::kClientHeightTwips);
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const vexalo::ControlSpec& row = kControls[i];
        std::printf("%s %s %d %d %d %d\n", row.name, KindName(row.kind), kClientPlaces[i].left,
                    kClientPlaces[i].top, row.width, row.height);
    }
    // A reader that got half the table must not take it for the whole.
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}
