#include "handlers/RuleMatcher.h"

#include "fx/Sjis.h"
#include "handlers/AutoReact.h"

namespace pellix {
namespace {

// Lower-cases the single-byte letters of `text` (by its own characters) into `out`, and marks
// the character starts when asked. Stepping is inline: this runs for every rule of every line.
void FoldInto(std::string_view text, char* out, std::vector<bool>* starts = nullptr) noexcept {
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (starts) (*starts)[pos] = true;
    const char c = text[pos];
    if (fx::sjis::IsLeadByte(static_cast<unsigned char>(c)) && pos + 1 < text.size()) {
      out[pos] = c;
      out[pos + 1] = text[pos + 1];
      pos += 2;
    } else {
      out[pos] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
      pos += 1;
    }
  }
}

}  // namespace

RuleMatcher::RuleMatcher(std::string_view lineText) : m_folded(lineText), m_charBoundary(lineText.size() + 1, false) {
  FoldInto(lineText, m_folded.data(), &m_charBoundary);
  m_charBoundary[lineText.size()] = true;
}

// A match found by plain byte comparison of the folded texts is a match of the character-wise
// search exactly when it starts and ends on character boundaries of the line: from a character
// start, keyword and line step through the same characters, so they fold the same bytes.
bool RuleMatcher::Matches(std::string_view keyword) const noexcept {
  if (keyword.empty()) return false;
  char folded[1024];
  if (keyword.size() > sizeof folded) return RuleMatches(m_folded, keyword);
  FoldInto(keyword, folded);
  const std::string_view needle(folded, keyword.size());
  const std::string_view line(m_folded);
  for (std::size_t at = line.find(needle); at != std::string_view::npos; at = line.find(needle, at + 1)) {
    if (m_charBoundary[at] && m_charBoundary[at + needle.size()]) return true;
  }
  return false;
}

}  // namespace pellix
