// How a person on a channel appears to the plug-in: the nick with a suffix of '#' and eight
// upper-case hex digits from the person's ident@host, so that the plug-in's base name is the
// nick and a rename keeps the suffix.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelkor::irc {

// The 32-bit FNV-1a hash of "ident@host", as eight upper-case hex digits.
std::string SuffixOf(std::string_view user, std::string_view host);
// nick (Shift-JIS) + '#' + SuffixOf(user, host).
std::string PersonName(std::string_view cp932Nick, std::string_view user, std::string_view host);
// The host part as the host's address value (first octet in the low byte) when it is a dotted
// IPv4 address; 0 for a name, an IPv6 address or a cloak.
std::uint32_t PersonIp(std::string_view host);

}  // namespace zelkor::irc
