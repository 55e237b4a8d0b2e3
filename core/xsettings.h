// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <variant>

namespace vexalo {

// A colour as an XSETTINGS manager publishes it, 16 bits a channel.
struct XSettingColor {
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    std::uint16_t alpha = 0;
};

// One setting's value: an integer, a string or a colour.
using XSettingValue = std::variant<std::int32_t, std::string, XSettingColor>;

// Every setting a manager publishes, by name ("Gtk/FontName", "Net/ThemeName").
using XSettings = std::map<std::string, XSettingValue>;

// Returns the settings held in the bytes of an _XSETTINGS_SETTINGS property, in either byte
// order. A property that is malformed anywhere (cut short, a length past its end, an unknown
// type or byte order, a name given twice) yields none at all, as GTK then takes none of it and
// keeps its defaults. Never throws but for memory.
XSettings ParseXSettings(std::span<const std::uint8_t> property);

} // namespace vexalo
