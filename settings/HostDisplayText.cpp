#include "settings/HostDisplayText.h"

#include <algorithm>
#include <cstdio>

#include "fx/Sjis.h"

namespace pellix {

std::string HostColourText(std::uint32_t colour) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", colour & 0xFFu, (colour >> 8) & 0xFFu,
                (colour >> 16) & 0xFFu);
  return buffer;
}

std::string HostFontSizeText(std::string_view hostValue) {
  const bool tenths = hostValue.size() >= 2 &&
                      std::all_of(hostValue.begin(), hostValue.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!tenths) return std::string(fx::sjis::Cut(hostValue, kFontSizeMaxBytes));
  // The whole part is cut so that the "." and the last digit always fit.
  const std::string_view whole = hostValue.substr(0, std::min(hostValue.size() - 1, kFontSizeMaxBytes - 2));
  return std::string(whole) + "." + hostValue.back();
}

}  // namespace pellix
