#include "handlers/AutoReact.h"

#include "fx/Sjis.h"

namespace pellix {

bool RuleMatches(std::string_view lineText, std::string_view keyword) noexcept {
  return !keyword.empty() && fx::sjis::ContainsNoCase(lineText, keyword);
}

namespace {
constexpr std::string_view kPlaceholder = "%NAME%";
}  // namespace

std::string ExpandResponse(std::string_view response, std::string_view speakerName) {
  return PreparedResponse(response).For(speakerName);
}

PreparedResponse::PreparedResponse(std::string_view response)
    : m_text(fx::sjis::Cut(response, kResponseMaxBytes)), m_placeholder(fx::sjis::FindNoCase(m_text, kPlaceholder)) {}

std::string PreparedResponse::For(std::string_view speakerName) const {
  std::string answer;
  WriteFor(speakerName, answer);
  return answer;
}

void PreparedResponse::WriteFor(std::string_view speakerName, std::string& answer) const {
  if (m_placeholder == std::string::npos) {
    answer.assign(m_text);
    return;
  }
  const std::string_view text(m_text);
  answer.assign(text.substr(0, m_placeholder)).append(speakerName).append(text.substr(m_placeholder + kPlaceholder.size()));
  answer.resize(fx::sjis::CutLength(answer, kResponseMaxBytes));
}

}  // namespace pellix
