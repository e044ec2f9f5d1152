// Keyword auto-reaction: whether a rule answers a line, and the response it sends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pellix {

inline constexpr std::size_t kResponseMaxBytes = 1023;

// The line contains the keyword, letter case ignored, matching whole Shift-JIS characters only
// ("ア" does not answer "ャA"). An empty keyword matches no line. Allocates nothing, so a line
// can be checked against every rule of the table directly.
bool RuleMatches(std::string_view lineText, std::string_view keyword) noexcept;

// The response with its first "%NAME%" (letter case ignored) replaced by the speaker's full name.
// Never longer than 1023 bytes; a cut falls on a character boundary.
std::string ExpandResponse(std::string_view response, std::string_view speakerName);

// A response looked over once for the many lines it may answer: For(name) gives exactly
// ExpandResponse(response, name).
class PreparedResponse {
 public:
  explicit PreparedResponse(std::string_view response);
  std::string For(std::string_view speakerName) const;
  // The same into `answer`, whose storage is reused from send to send.
  void WriteFor(std::string_view speakerName, std::string& answer) const;

 private:
  std::string m_text;          // the response cut to its limit
  std::size_t m_placeholder;   // where its first "%NAME%" starts; npos when it has none
};

}  // namespace pellix
