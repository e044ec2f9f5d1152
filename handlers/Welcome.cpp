#include "handlers/Welcome.h"

#include <array>
#include <utility>

#include "fx/Sjis.h"
#include "records/AddressForm.h"
#include "records/BaseName.h"
#include "records/HostText.h"
#include "records/LineTypeName.h"

namespace pellix {
namespace {

void ReplaceFirstNoCase(std::string& text, std::string_view placeholder, std::string_view value) {
  const std::size_t pos = fx::sjis::FindNoCase(text, placeholder);
  if (pos == std::string::npos) return;
  text.replace(pos, placeholder.size(), value);
  text.resize(fx::sjis::CutLength(text, kWelcomeMaxBytes));
}

}  // namespace

std::string ExpandWelcome(std::string_view welcomeTemplate, const JoinUserInfo& user) {
  const std::string_view name = HostText(user.name);
  const std::array<std::pair<std::string_view, std::string>, 7> values = {{
      {"%NODE%", NodeAddress(user.ip, user.port)},
      {"%IP%", IpAddress(user.ip)},
      {"%PORT%", std::to_string(user.port)},
      {"%RAWNAME%", std::string(fx::sjis::Cut(name, kWelcomeMaxBytes))},
      {"%NAME%", std::string(fx::sjis::Cut(BaseName(name), kWelcomeNameMaxBytes))},
      {"%FILES%", std::to_string(user.files)},
      {"%LINE%", std::string(LineTypeName(user.lineType))},
  }};
  std::string text(fx::sjis::Cut(welcomeTemplate, kWelcomeMaxBytes));
  for (const auto& [placeholder, value] : values) ReplaceFirstNoCase(text, placeholder, value);
  return text;
}

}  // namespace pellix
