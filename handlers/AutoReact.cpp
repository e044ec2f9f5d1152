#include "handlers/AutoReact.h"

#include "fx/Sjis.h"

namespace pellix {

bool RuleMatches(std::string_view lineText, std::string_view keyword) noexcept {
  return !keyword.empty() && fx::sjis::ContainsNoCase(lineText, keyword);
}

std::string ExpandResponse(std::string_view response, std::string_view speakerName) {
  static constexpr std::string_view placeholder = "%NAME%";
  std::string text(fx::sjis::Cut(response, kResponseMaxBytes));
  const std::size_t pos = fx::sjis::FindNoCase(text, placeholder);
  if (pos != std::string::npos) {
    text.replace(pos, placeholder.size(), speakerName);
    text.resize(fx::sjis::CutLength(text, kResponseMaxBytes));
  }
  return text;
}

}  // namespace pellix
