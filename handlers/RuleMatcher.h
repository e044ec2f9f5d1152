// The keyword test of the whole rule table in one pass over a chat line: an Aho-Corasick
// automaton over the folded keywords, built once for the rows it was given and kept until
// they change, so a line costs one walk over its bytes however many rules there are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pellix {

class RuleMatcher {
 public:
  RuleMatcher() = default;  // a table without rules
  // One keyword per rule, in row order.
  explicit RuleMatcher(const std::vector<std::string>& keywords);

  std::size_t RuleCount() const noexcept { return m_nextRuleOfNode.size(); }

  // Sets matched[i] to exactly RuleMatches(line, keyword i) for every rule: the keyword found
  // as whole Shift-JIS characters, single-byte letters folded, an empty keyword matching
  // nothing. Reusing `matched` and the matcher from line to line allocates nothing once both
  // have grown to the longest line.
  void Match(std::string_view line, std::vector<char>& matched);

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  static constexpr std::uint32_t kRoot = 0;

  std::uint32_t Step(std::uint32_t node, unsigned char byte) const noexcept;
  std::uint32_t Child(std::uint32_t node, unsigned char byte) const noexcept;
  void BuildMoveTable(const std::vector<std::uint32_t>& breadthFirst);

  // Per node: the trie's edges (sorted by byte), the failure link, the keyword length it
  // stands for, and the nearest node on its failure chain (itself included) where a keyword
  // ends.
  std::vector<std::uint32_t> m_edgeBegin;  // node's edges: [m_edgeBegin[n], m_edgeBegin[n + 1])
  std::vector<unsigned char> m_edgeByte;
  std::vector<std::uint32_t> m_edgeTarget;
  std::vector<std::uint32_t> m_fail;
  std::vector<std::uint32_t> m_depth;
  std::vector<std::uint32_t> m_output;      // kNone: no keyword ends on the chain
  std::vector<std::uint32_t> m_nextOutput;  // for a keyword's node: the next one on its chain
  std::uint32_t m_rootNext[256] = {};       // the root's moves, one look-up per byte

  // Every node's move for every byte, in one look-up, while the table stays small: bytes that
  // no keyword holds share one column.
  std::vector<std::uint32_t> m_moves;  // node * m_columns + m_column[byte]
  std::uint32_t m_columns = 0;
  std::uint16_t m_column[256] = {};

  // The rules whose keyword ends at a node, as a list through m_nextRuleOfNode.
  std::vector<std::uint32_t> m_firstRuleOfNode;
  std::vector<std::uint32_t> m_nextRuleOfNode;

  std::vector<unsigned char> m_charStart;  // per byte of the line being matched
};

}  // namespace pellix
