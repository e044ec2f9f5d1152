#include "handlers/RuleMatcher.h"

#include <algorithm>
#include <map>
#include <utility>

#include "fx/Sjis.h"

namespace pellix {
namespace {

// Past this many entries (4 MB) the table of moves is not built and the links are followed.
constexpr std::size_t kMoveTableEntries = std::size_t{1} << 20;

constexpr unsigned char Fold(unsigned char c) noexcept { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

// Lower-cases the single-byte letters of `text`, stepping by its own characters: the bytes of
// a double-byte character stay as they are.
std::string Folded(std::string_view text) {
  std::string out(text);
  for (std::size_t pos = 0; pos < out.size();) {
    if (fx::sjis::IsLeadByte(static_cast<unsigned char>(out[pos])) && pos + 1 < out.size()) {
      pos += 2;
    } else {
      out[pos] = static_cast<char>(Fold(static_cast<unsigned char>(out[pos])));
      pos += 1;
    }
  }
  return out;
}

}  // namespace

RuleMatcher::RuleMatcher(const std::vector<std::string>& keywords) {
  // The trie, with its edges in ordered maps while it grows.
  std::vector<std::map<unsigned char, std::uint32_t>> children(1);
  m_depth.assign(1, 0);
  m_firstRuleOfNode.assign(1, kNone);
  m_nextRuleOfNode.assign(keywords.size(), kNone);
  for (std::uint32_t rule = static_cast<std::uint32_t>(keywords.size()); rule-- > 0;) {
    if (keywords[rule].empty()) continue;  // matches no line
    std::uint32_t node = kRoot;
    for (const char c : Folded(keywords[rule])) {
      const auto [edge, added] = children[node].try_emplace(static_cast<unsigned char>(c), children.size());
      if (added) {
        children.emplace_back();
        m_depth.push_back(m_depth[node] + 1);
        m_firstRuleOfNode.push_back(kNone);
      }
      node = edge->second;
    }
    // Rules are taken last to first, so each node's list runs in row order.
    m_nextRuleOfNode[rule] = m_firstRuleOfNode[node];
    m_firstRuleOfNode[node] = rule;
  }

  const std::size_t nodes = children.size();
  m_edgeBegin.assign(nodes + 1, 0);
  for (std::size_t n = 0; n < nodes; ++n) {
    m_edgeBegin[n + 1] = m_edgeBegin[n] + static_cast<std::uint32_t>(children[n].size());
    for (const auto& [byte, target] : children[n]) {
      m_edgeByte.push_back(byte);
      m_edgeTarget.push_back(target);
    }
  }
  for (unsigned byte = 0; byte < 256; ++byte) {
    const auto edge = children[kRoot].find(static_cast<unsigned char>(byte));
    m_rootNext[byte] = edge == children[kRoot].end() ? kRoot : edge->second;
  }

  // Failure links and output chains, breadth first, so a node's links are set before its
  // children need them.
  m_fail.assign(nodes, kRoot);
  m_output.assign(nodes, kNone);
  m_nextOutput.assign(nodes, kNone);
  std::vector<std::uint32_t> queue{kRoot};
  for (std::size_t next = 0; next < queue.size(); ++next) {
    const std::uint32_t node = queue[next];
    if (node != kRoot) {
      const std::uint32_t fail = m_fail[node];
      m_nextOutput[node] = m_output[fail];
      m_output[node] = m_firstRuleOfNode[node] != kNone ? node : m_output[fail];
    }
    for (const auto& [byte, child] : children[node]) {
      m_fail[child] = node == kRoot ? kRoot : Step(m_fail[node], byte);
      queue.push_back(child);
    }
  }
  BuildMoveTable(queue);
}

void RuleMatcher::BuildMoveTable(const std::vector<std::uint32_t>& breadthFirst) {
  bool used[256] = {};
  for (const unsigned char byte : m_edgeByte) used[byte] = true;
  m_columns = 1;  // column 0: the bytes of no keyword
  for (unsigned byte = 0; byte < 256; ++byte) m_column[byte] = used[byte] ? static_cast<std::uint16_t>(m_columns++) : 0;
  const std::size_t nodes = m_fail.size();
  if (nodes * m_columns > kMoveTableEntries) {
    m_columns = 0;
    return;
  }
  // A node moves as its failure link does, except along its own edges; links point to
  // shallower nodes, whose rows are complete by then in breadth-first order.
  m_moves.assign(nodes * m_columns, kRoot);
  for (const std::uint32_t node : breadthFirst) {
    std::uint32_t* row = &m_moves[node * m_columns];
    if (node != kRoot) std::copy_n(&m_moves[m_fail[node] * m_columns], m_columns, row);
    for (std::uint32_t edge = m_edgeBegin[node]; edge < m_edgeBegin[node + 1]; ++edge)
      row[m_column[m_edgeByte[edge]]] = m_edgeTarget[edge];
  }
}

std::uint32_t RuleMatcher::Child(std::uint32_t node, unsigned char byte) const noexcept {
  const auto first = m_edgeByte.begin() + m_edgeBegin[node];
  const auto last = m_edgeByte.begin() + m_edgeBegin[node + 1];
  const auto found = std::lower_bound(first, last, byte);
  return found != last && *found == byte ? m_edgeTarget[static_cast<std::size_t>(found - m_edgeByte.begin())] : kNone;
}

std::uint32_t RuleMatcher::Step(std::uint32_t node, unsigned char byte) const noexcept {
  for (;;) {
    if (node == kRoot) return m_rootNext[byte];
    const std::uint32_t child = Child(node, byte);
    if (child != kNone) return child;
    node = m_fail[node];
  }
}

// The line is folded as it is read: a byte that starts a single-byte character is folded, the
// bytes of a double-byte character are not. A keyword found by the folded bytes is a match of
// the character-wise search exactly when it starts and ends on character starts of the line:
// from a character start, keyword and line step through the same characters, so they fold the
// same bytes.
void RuleMatcher::Match(std::string_view line, std::vector<char>& matched) {
  matched.assign(RuleCount(), 0);
  if (m_edgeByte.empty()) return;
  if (m_charStart.size() < line.size()) m_charStart.resize(line.size());
  // Members are read into locals once: the stores into charStart may alias anything, and would
  // otherwise make every member be read again for every byte.
  unsigned char* const charStart = m_charStart.data();
  const std::uint32_t* const moves = m_moves.data();
  const std::uint16_t* const column = m_column;
  const std::uint32_t columns = m_columns;
  const std::uint32_t* const output = m_output.data();
  const auto move = [&](std::uint32_t node, unsigned char byte) {
    return columns ? moves[node * columns + column[byte]] : Step(node, byte);
  };
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  std::uint32_t node = kRoot;
  for (std::size_t pos = 0; pos < size;) {
    charStart[pos] = 1;
    if (fx::sjis::IsLeadByte(bytes[pos]) && pos + 1 < size) {
      charStart[pos + 1] = 0;
      node = move(move(node, bytes[pos]), bytes[pos + 1]);
      pos += 2;
    } else {
      node = move(node, Fold(bytes[pos]));
      pos += 1;
    }
    // `pos` is the end of a character: report every keyword ending here that began on a
    // character start.
    for (std::uint32_t out = output[node]; out != kNone; out = m_nextOutput[out]) {
      const std::uint32_t first = m_firstRuleOfNode[out];
      if (matched[first] || !charStart[pos - m_depth[out]]) continue;
      for (std::uint32_t rule = first; rule != kNone; rule = m_nextRuleOfNode[rule]) matched[rule] = 1;
    }
  }
}

}  // namespace pellix
