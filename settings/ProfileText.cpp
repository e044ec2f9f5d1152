#include "settings/ProfileText.h"

#include "fx/Profile.h"

namespace pellix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsQuote(char c) { return c == '"' || c == '\''; }

}  // namespace

std::string ProfileTextValue(std::string_view text) {
  text = text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
  const bool trimmed = !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()));
  const bool unquoted = text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
  if (!trimmed && !unquoted) return std::string(text);
  std::string quoted = "\"";
  quoted += text;
  quoted += '"';
  return quoted;
}

void WriteProfileText(std::string_view section, std::string_view key, std::string_view text, std::string_view file) {
  fx::ProfileWriteString(section, key, ProfileTextValue(text), file);
}

}  // namespace pellix
