// The keyword test of the rule table, prepared once per chat line: a table of 99 rules then
// costs one fast substring search per rule instead of a character-by-character scan each.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pellix {

class RuleMatcher {
 public:
  explicit RuleMatcher(std::string_view lineText);

  // Exactly RuleMatches(lineText, keyword): the keyword found as whole Shift-JIS characters,
  // single-byte letters folded, an empty keyword matching nothing. Allocates nothing.
  bool Matches(std::string_view keyword) const noexcept;

 private:
  std::string m_folded;             // the line with its single-byte letters lower-cased
  std::vector<bool> m_charBoundary;  // one per byte and one for the end: a character starts here
};

}  // namespace pellix
