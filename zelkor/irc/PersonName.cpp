#include "zelkor/irc/PersonName.h"

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
  // Eight hex digits by hand: snprintf was most of a chat line's name.
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string digits(8, '0');
  for (int i = 7; i >= 0; --i, hash >>= 4) digits[static_cast<std::size_t>(i)] = kHex[hash & 0xF];
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
