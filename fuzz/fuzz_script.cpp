// The zelkor script parser on arbitrary lines: it answers every line with a command, a blank,
// or an error, and every text it hands on is Shift-JIS that converts back to the line's UTF-8.
#include <variant>

#include "FuzzSupport.h"
#include "fx/Sjis.h"
#include "zelkor/ScriptParser.h"

namespace {

void CheckText(const std::string& cp932, std::string_view line) {
  const std::string utf8 = fx::sjis::ToUtf8(cp932);
  fuzz::Check(utf8.find("\xEF\xBF\xBD") == std::string::npos || line.find("\xEF\xBF\xBD") != std::string_view::npos,
              "script text that CP932 cannot hold was passed on", line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const zelkor::ParsedLine parsed = zelkor::ParseScriptLine(line);
  fuzz::Check(parsed.ok() || !parsed.command, "an error line still carries a command", line);
  if (!parsed.command) return 0;
  std::visit(
      [&](const auto& command) {
        using T = std::decay_t<decltype(command)>;
        if constexpr (std::is_same_v<T, zelkor::ChatCommand>) {
          CheckText(command.name, line);
          CheckText(command.text, line);
        } else if constexpr (std::is_same_v<T, zelkor::SayCommand>) {
          CheckText(command.text, line);
        } else if constexpr (std::is_same_v<T, zelkor::JoinCommand> || std::is_same_v<T, zelkor::LeaveCommand>) {
          CheckText(command.name, line);
        } else if constexpr (std::is_same_v<T, zelkor::RenameCommand>) {
          CheckText(command.oldName, line);
          CheckText(command.newName, line);
        } else if constexpr (std::is_same_v<T, zelkor::ClockCommand>) {
          const fx::LocalTime& t = command.time;
          fuzz::Check(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour >= 0 && t.hour <= 23 &&
                          t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 60,
                      "clock out of range", line);
        }
      },
      *parsed.command);
  return 0;
}
