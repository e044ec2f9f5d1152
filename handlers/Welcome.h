// The auto-welcome: the template with its placeholders filled from the join record.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/ZelkorPlugin.h"

namespace pellix {

inline constexpr std::size_t kWelcomeMaxBytes = 1023;
inline constexpr std::size_t kWelcomeNameMaxBytes = 511;

// The text to send. Replaces the first occurrence (letter case ignored) of each placeholder, in
// this order: %NODE% %IP% %PORT% %RAWNAME% %NAME% %FILES% %LINE%. A value inserted by an earlier
// step is searched by the later ones. %NAME% is the name less its 9-byte suffix (the whole name
// when 9 bytes or shorter), at most 511 bytes. The text never grows past 1023 bytes; every cut
// falls on a character boundary. A null name reads as empty.
std::string ExpandWelcome(std::string_view welcomeTemplate, const JoinUserInfo& user);

}  // namespace pellix
