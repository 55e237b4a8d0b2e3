// SPDX-License-Identifier: MIT
#include "core/xsettings.h"

#include <cstddef>
#include <optional>

namespace vexalo {
namespace {

// Reads the property front to back; any read past its end fails, and so does every later one.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    void SetMostSignificantFirst(bool msbFirst) { msbFirst_ = msbFirst; }

    std::optional<std::uint32_t> Card(std::size_t size)
    {
        if (bytes_.size() - offset_ < size)
            return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const std::size_t shift = 8 * (msbFirst_ ? size - 1 - i : i);
            value |= std::uint32_t{bytes_[offset_ + i]} << shift;
        }
        offset_ += size;
        return value;
    }

    bool Skip(std::size_t size) { return Card(size).has_value(); }

    // `length` bytes, then the padding to a multiple of four.
    std::optional<std::string> PaddedBytes(std::uint32_t length)
    {
        const std::size_t padded = (std::size_t{length} + 3) & ~std::size_t{3};
        if (bytes_.size() - offset_ < padded)
            return std::nullopt;
        std::string text(reinterpret_cast<const char*>(bytes_.data() + offset_), length);
        offset_ += padded;
        return text;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
    bool msbFirst_ = false;
};

enum : std::uint8_t { kInteger = 0, kString = 1, kColor = 2 };
enum : std::uint8_t { kLsbFirst = 0, kMsbFirst = 1 };

std::optional<XSettingValue> ReadValue(Reader& in, std::uint32_t type)
{
    if (type == kInteger) {
        if (const auto value = in.Card(4))
            return static_cast<std::int32_t>(*value);
    } else if (type == kString) {
        if (const auto length = in.Card(4))
            if (auto text = in.PaddedBytes(*length))
                return std::move(*text);
    } else if (type == kColor) {
        // The wire's order: red, blue, green, alpha.
        const auto red = in.Card(2), blue = in.Card(2), green = in.Card(2), alpha = in.Card(2);
        if (red && blue && green && alpha)
            return XSettingColor{
                static_cast<std::uint16_t>(*red), static_cast<std::uint16_t>(*green),
                static_cast<std::uint16_t>(*blue), static_cast<std::uint16_t>(*alpha)};
    }
    return std::nullopt;
}

} // namespace

XSettings ParseXSettings(std::span<const std::uint8_t> property)
{
    Reader in(property);
    const auto byteOrder = in.Card(1);
    if (!byteOrder || (*byteOrder != kLsbFirst && *byteOrder != kMsbFirst))
        return {};
    in.SetMostSignificantFirst(*byteOrder == kMsbFirst);
    // Three unused bytes and the manager's serial.
    if (!in.Skip(3) || !in.Skip(4))
        return {};
    const auto count = in.Card(4);
    if (!count)
        return {};
    XSettings settings;
    // A count past what the bytes hold ends at the first read that falls short.
    for (std::uint32_t i = 0; i < *count; ++i) {
        const auto type = in.Card(1);
        const bool padded = in.Skip(1);
        const auto nameLength = in.Card(2);
        if (!type || !padded || !nameLength)
            return {};
        auto name = in.PaddedBytes(*nameLength);
        // The serial of the setting's last change.
        if (!name || !in.Skip(4))
            return {};
        auto value = ReadValue(in, *type);
        if (!value || !settings.try_emplace(std::move(*name), std::move(*value)).second)
            return {};
    }
    return settings;
}

} // namespace vexalo
