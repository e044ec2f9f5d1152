#include "eventlog/EventRows.h"

#include <algorithm>
#include <cstring>

namespace pellix {
namespace {

constexpr std::size_t kBlockBytes = 256 * 1024;

// A cell comes from a C string: it ends at its first NUL.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

char* EventRows::Reserve(std::size_t bytes) {
  if (bytes > m_blockFree) {
    // A row longer than a block gets one of its own size.
    const std::size_t size = std::max(bytes, kBlockBytes);
    m_blocks.push_back(std::make_unique<char[]>(size));
    m_blockEnd = m_blocks.back().get();
    m_blockFree = size;
  }
  char* at = m_blockEnd;
  m_blockEnd += bytes;
  m_blockFree -= bytes;
  return at;
}

void EventRows::Append(RecordKind kind, std::string_view time, std::string_view label, std::string_view detail) {
  const std::string_view cells[kColumns] = {UpToNul(time), UpToNul(label), UpToNul(detail)};
  std::size_t bytes = 1;
  for (const auto cell : cells) bytes += cell.size() + 1;
  char* at = Reserve(bytes);
  m_rows.push_back(at);
  *at++ = static_cast<char>(kind);
  for (const auto cell : cells) {
    std::memcpy(at, cell.data(), cell.size());
    at += cell.size();
    *at++ = '\0';
  }
}

const char* EventRows::Cell(std::size_t row, int column) const noexcept {
  if (row >= m_rows.size() || column < 0 || column >= kColumns) return "";
  const char* cell = m_rows[row] + 1;
  for (int i = 0; i < column; ++i) cell += std::strlen(cell) + 1;
  return cell;
}

std::optional<RecordKind> EventRows::KindOf(std::size_t row) const noexcept {
  if (row >= m_rows.size()) return std::nullopt;
  return static_cast<RecordKind>(*m_rows[row]);
}

void EventRows::Clear() {
  // The memory goes back too: a cleared list of a million rows holds none of them.
  std::vector<const char*>().swap(m_rows);
  m_blocks.clear();
  m_blocks.shrink_to_fit();
  m_blockEnd = nullptr;
  m_blockFree = 0;
}

}  // namespace pellix
