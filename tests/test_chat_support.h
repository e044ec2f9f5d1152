// What the chat behaviour tests read back from a session: the event list and the log file.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fx/Testing.h"
#include "resources/resource.h"
#include "support/PluginSession.h"

namespace chat_test {

// Recording from the start, without time prefixes; `logSwitch` adds keys of [LogSwitch].
inline std::string LoggingIni(const std::string& logSwitch, const std::string& otherSections = "") {
  return "[LogSwitch]\r\nAutoLog=1\r\nTimeStump=0\r\n" + logSwitch + otherSections;
}

struct Record {
  std::string label, detail;
  bool operator==(const Record&) const = default;
};

// The event list without the rows of starting and stopping a recording.
inline std::vector<Record> Records(const PluginSession& s) {
  std::vector<Record> records;
  for (const auto& row : fx::testing::ReadListView(s.Dialog(IDD_EVENTLOG), IDC_EVENT_LIST).rows) {
    if (row.size() < 3 || row[1] == "開始" || row[1] == "停止") continue;
    records.push_back({row[1], row[2]});
  }
  return records;
}

inline std::vector<std::string> LogFiles(const PluginSession& s) {
  std::vector<std::string> logs;
  for (const auto& name : s.ListFiles()) {
    if (name.rfind("EventLog", 0) == 0) logs.push_back(name);
  }
  return logs;
}

// The record lines of the only log file, after its style block if it has one.
inline std::string LogBody(const PluginSession& s) {
  const auto logs = LogFiles(s);
  if (logs.size() != 1) {
    ADD_FAILURE() << "expected one log file, found " << logs.size();
    return std::string();
  }
  const std::string content = s.ReadFile(logs.front());
  const std::string styleEnd = "</style>\r\n";
  const std::size_t end = content.find(styleEnd);
  return end == std::string::npos ? content : content.substr(end + styleEnd.size());
}

}  // namespace chat_test
