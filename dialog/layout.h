// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <array>
#include <cstddef>
#include <string_view>

namespace vexalo {

enum class ControlKind { OptionButton, Frame, CheckBox, CommandButton };

// One control of the window. Positions are in twips (1/1440 inch), relative to the top-left
// corner of the container: the window's client area, or a frame's outer corner.
struct ControlSpec {
    const char* name;
    ControlKind kind;
    const char* caption;
    const char* container; // nullptr: the window itself
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
};

// The window's title, a fixed English text as the captions are; its message boxes carry it too.
inline constexpr char kWindowTitle[] = "Vexalo Configuration";

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kClientWidthTwips = 6255;
inline constexpr int kClientHeightTwips = 2505;

// The window's controls in tab order. Option1 belongs to the window, not to Frame1, but lies
// over the frame in one column with Option2..Option4, so the four look like one group.
inline constexpr std::array<ControlSpec, 12> kControls{{
    {"Option1", ControlKind::OptionButton, " 640 x 480", nullptr, 480, 600, 1575, 375, 0},
    {"Frame1", ControlKind::Frame, "Resolution", nullptr, 240, 240, 1935, 2055, 1},
    {"Option2", ControlKind::OptionButton, " 800 x 600", "Frame1", 240, 720, 1575, 375, 2},
    {"Option3", ControlKind::OptionButton, " 1024 x 768", "Frame1", 240, 1080, 1455, 375, 3},
    {"Option4", ControlKind::OptionButton, " 1600 x 1200", "Frame1", 240, 1440, 1335, 375, 4},
    {"Frame2", ControlKind::Frame, "Other screen settings", nullptr, 2400, 240, 1935, 2055, 5},
    {"Option5", ControlKind::OptionButton, " 16 bpp", "Frame2", 120, 360, 1575, 375, 6},
    {"Option6", ControlKind::OptionButton, " 32 bpp", "Frame2", 120, 840, 1695, 375, 7},
    {"Check1", ControlKind::CheckBox, " Fullscreen?", "Frame2", 120, 1440, 1695, 375, 8},
    {"Command1", ControlKind::CommandButton, "Save", nullptr, 4440, 240, 1695, 375, 9},
    {"Command2", ControlKind::CommandButton, "Save and Start", nullptr, 4440, 960, 1695, 375, 10},
    {"Command3", ControlKind::CommandButton, "Cancel", nullptr, 4440, 1920, 1695, 375, 11},
}};

// The row of the control named `name`; a name the table lacks fails the build.
consteval std::size_t Row(std::string_view name)
{
    for (std::size_t i = 0; i < kControls.size(); ++i)
        if (kControls[i].name == name)
            return i;
    throw "no control of that name";
}

// Each row's container as a row, or -1 for the window itself.
inline constexpr std::array<int, kControls.size()> kContainerRows = []() consteval
{
    std::array<int, kControls.size()> rows{};
    for (std::size_t i = 0; i < kControls.size(); ++i)
        rows[i] = kControls[i].container ? int(Row(kControls[i].container)) : -1;
    return rows;
}
();

// Converts twips to device-independent pixels at `dpi` logical dots per inch, rounding to
// the nearest pixel: 15 twips per pixel at 96 dpi.
constexpr int TwipsToPixels(int twips, double dpi = 96.0)
{
    const double pixels = twips * dpi / kTwipsPerInch;
    return static_cast<int>(pixels >= 0 ? pixels + 0.5 : pixels - 0.5);
}

// The control's rectangle in its container, in pixels at `dpi`.
inline QRect ControlRect(const ControlSpec& row, double dpi = 96.0)
{
    return QRect(TwipsToPixels(row.left, dpi), TwipsToPixels(row.top, dpi),
                 TwipsToPixels(row.width, dpi), TwipsToPixels(row.height, dpi));
}

} // namespace vexalo
