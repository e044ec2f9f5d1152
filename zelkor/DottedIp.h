// The host's address value (an IPv4 address, first octet in the low byte) as "a.b.c.d" text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelkor {

std::optional<std::uint32_t> ParseDottedIp(std::string_view text);
std::string FormatDottedIp(std::uint32_t ip);

}  // namespace zelkor
