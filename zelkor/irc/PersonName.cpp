#include "zelkor/irc/PersonName.h"

#include <cstdio>

#include "zelkor/DottedIp.h"

namespace zelkor::irc {

std::string SuffixOf(std::string_view user, std::string_view host) {
  std::uint32_t hash = 2166136261u;
  const auto mix = [&hash](std::string_view bytes) {
    for (const char c : bytes) {
      hash ^= static_cast<unsigned char>(c);
      hash *= 16777619u;
    }
  };
  mix(user);
  mix("@");
  mix(host);
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(hash));
  return digits;
}

std::string PersonName(std::string_view cp932Nick, std::string_view user, std::string_view host) {
  std::string name(cp932Nick);
  name += '#';
  name += SuffixOf(user, host);
  return name;
}

std::uint32_t PersonIp(std::string_view host) { return ParseDottedIp(host).value_or(0); }

}  // namespace zelkor::irc
