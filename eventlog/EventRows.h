// The event list's rows (kind; time, label, detail), packed: each row's kind in one byte, then its
// three cells one after another, each ended by a NUL, in blocks that never move, so that a million
// rows take little more than their text and a cell can be handed out as a C string.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "records/RecordKind.h"

namespace pellix {

class EventRows {
 public:
  static constexpr int kColumns = 3;  // time, label, detail

  void Append(RecordKind kind, std::string_view time, std::string_view label, std::string_view detail);
  std::size_t Count() const noexcept { return m_rows.size(); }
  // The row's kind; none past the last row.
  std::optional<RecordKind> KindOf(std::size_t row) const noexcept;
  // The cell as a NUL-terminated text, valid until Clear; "" past the last row or column.
  const char* Cell(std::size_t row, int column) const noexcept;
  void Clear();

 private:
  char* Reserve(std::size_t bytes);

  std::vector<std::unique_ptr<char[]>> m_blocks;
  std::size_t m_blockFree = 0;   // bytes left at the end of the last block
  char* m_blockEnd = nullptr;    // where the last block's free bytes begin
  std::vector<const char*> m_rows;  // each row's kind byte, its first cell right after it
};

}  // namespace pellix
