#include "zelkor/DottedIp.h"

#include <charconv>
#include <cstdio>

namespace zelkor {

std::optional<std::uint32_t> ParseDottedIp(std::string_view text) {
  std::uint32_t value = 0;
  const char* pos = text.data();
  const char* end = text.data() + text.size();
  for (int octet = 0; octet < 4; ++octet) {
    if (octet > 0) {
      if (pos == end || *pos != '.') return std::nullopt;
      ++pos;
    }
    unsigned part = 0;
    const auto [next, error] = std::from_chars(pos, end, part);
    if (error != std::errc() || next == pos || part > 255 || next - pos > 3) return std::nullopt;
    value |= static_cast<std::uint32_t>(part) << (8 * octet);
    pos = next;
  }
  if (pos != end) return std::nullopt;
  return value;
}

std::string FormatDottedIp(std::uint32_t ip) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u", ip & 0xFF, (ip >> 8) & 0xFF, (ip >> 16) & 0xFF, ip >> 24);
  return buffer;
}

}  // namespace zelkor
