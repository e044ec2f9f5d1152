// The kinds of rows the event list shows. A kind names the row's label, and a record's log line
// begins with the same label.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>

#include "records/RecordLine.h"

namespace pellix {

enum class RecordKind : std::uint8_t {
  LogStart,        // a recording began; the detail is the file's name
  LogStop,         // a recording ended; the detail is the file's name
  Join,
  Leave,
  Rename,
  Chat,
  Administrative,  // a line from the channel's administration
  Url,             // a URL found in a chat line; the detail is the URL
};

// "開始", "停止", "入室", "退室", "改名", "発言", "管理", "URL": a literal, so that it goes into a list
// cell as it is.
const char* RecordLabel(RecordKind kind) noexcept;

// What one event gives the event log: its kind, the row's detail and, only when a recording
// asks for it, the log line in either form.
template <class Record>
concept EventRecord = requires(const Record& record, LineForm form) {
  { Record::kKind } -> std::convertible_to<RecordKind>;
  { record.Detail() } -> std::same_as<std::string>;
  { record.Line(form) } -> std::same_as<RecordLine>;
};

}  // namespace pellix
