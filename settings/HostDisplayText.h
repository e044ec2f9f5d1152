// The host's display settings as the texts the log's style block uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pellix {

// A host colour (0x00BBGGRR) as "#RRGGBB"; bytes above the third are ignored.
std::string HostColourText(std::uint32_t colour);

inline constexpr std::size_t kFontSizeMaxBytes = 15;

// The host's FontSize value as a point size: the host stores tenths of a point as digits, so an
// all-digit value of two or more digits gets a "." before its last digit (135 -> 13.5, 90 -> 9.0).
// Anything else (the default "13.5", a single digit, "12pt") is already a size, or at least not
// tenths, and is kept as it is. The result is cut to 15 bytes at a character boundary: it lands
// in the log's style block, and an overlong host value must not bloat or break every log file.
std::string HostFontSizeText(std::string_view hostValue);

}  // namespace pellix
