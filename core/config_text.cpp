// SPDX-License-Identifier: MIT
#include "core/config_text.h"

namespace vexalo {
namespace {

constexpr char kLineEnd[] = "\r\n";

void AddLine(std::string& text, const std::string& line)
{
    text.append(line).append(kLineEnd);
}

} // namespace

std::string ConfigFileText(const DisplayChoices& choices, const DesktopMode& desktop)
{
    struct Resolution {
        int option;
        const char* width;
        const char* height;
    };
    static constexpr Resolution kResolutions[] = {
        {1, "640", "480"}, {2, "800", "600"}, {3, "1024", "768"}, {4, "1600", "1200"}};
    struct Depth {
        int option;
        const char* bitsPerPixel;
    };
    static constexpr Depth kDepths[] = {{5, "16"}, {6, "32"}};
    // What the renderer is told when the desktop cannot be asked.
    static constexpr DesktopMode kFallbackDesktop{true, 1024, 768, 32};

    std::string text;
    AddLine(text, "[VEXALO-CONFIG]");
    AddLine(text, "");
    for (const Resolution& r : kResolutions) {
        if (IsSelected(choices, r.option)) {
            AddLine(text, std::string("WIDTH: ") + r.width);
            AddLine(text, std::string("HEIGHT: ") + r.height);
        }
    }
    for (const Depth& d : kDepths) {
        if (IsSelected(choices, d.option))
            AddLine(text, std::string("BPP: ") + d.bitsPerPixel);
    }
    AddLine(text,
            choices.Check1 == 1 ? "FULLSCREEN? (0=no/1=yes): 1" : "FULLSCREEN? (0=no/1=yes): 0");
    AddLine(text, "");
    AddLine(text, "[DESKTOP-CONFIG]");
    const DesktopMode& mode = desktop.available ? desktop : kFallbackDesktop;
    AddLine(text, "WIDTH: " + std::to_string(mode.width));
    AddLine(text, "HEIGHT: " + std::to_string(mode.height));
    AddLine(text, "BPP: " + std::to_string(mode.bitsPerPixel));
    return text;
}

} // namespace vexalo
