#include "zelkor/ScriptParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "fx/Sjis.h"
#include "zelkor/DottedIp.h"

namespace zelkor {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Thrown inside the parser only, to leave a command's parse at its first fault.
struct LineError {
  std::string message;
};

[[noreturn]] void Fail(std::string message) { throw LineError{std::move(message)}; }

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Length of the UTF-8 sequence starting at text[pos]; 0 when it is malformed.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                       : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (length == 0 || pos + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 0;
  return length;
}

std::string CodePointName(std::string_view sequence) {
  std::uint32_t value = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() > 1) {
    value &= 0x7Fu >> sequence.size();
    for (std::size_t i = 1; i < sequence.size(); ++i) value = (value << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
  }
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(value));
  return buffer;
}

// UTF-8 to the Shift-JIS the plug-in reads, naming the first character that cannot go across.
std::string ToCp932(std::string_view utf8, std::string_view what) {
  if (utf8.find('\0') != std::string_view::npos) Fail(std::string(what) + " contains a NUL character");
  if (auto converted = fx::sjis::FromUtf8(utf8)) return *converted;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t length = Utf8SequenceLength(utf8, pos);
    if (length == 0) Fail(std::string(what) + " is not valid UTF-8 (byte " + std::to_string(pos + 1) + ")");
    const std::string_view sequence = utf8.substr(pos, length);
    if (!fx::sjis::FromUtf8(sequence))
      Fail(std::string(what) + " has a character Shift-JIS (CP932) cannot represent: \"" + std::string(sequence) +
           "\" (" + CodePointName(sequence) + ")");
    pos += length;
  }
  Fail(std::string(what) + " cannot be converted to Shift-JIS (CP932)");
}

long long WholeNumber(const std::string& word, std::string_view what, long long low, long long high) {
  long long value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size() || value < low || value > high)
    Fail("bad " + std::string(what) + " " + Quoted(word) + " (expected a whole number from " + std::to_string(low) +
         " to " + std::to_string(high) + ")");
  return value;
}

// Reads the words of one line, left to right.
class LineReader {
 public:
  explicit LineReader(std::string_view line) : m_line(line) {}

  bool AtEnd() {
    SkipBlanks();
    return m_pos >= m_line.size();
  }

  // A word up to the next blank; a word that starts with a double quote runs to the closing
  // quote, with \" and \\ standing for a quote and a backslash.
  std::optional<std::string> Word(bool allowQuotes) {
    SkipBlanks();
    if (m_pos >= m_line.size()) return std::nullopt;
    std::string word;
    if (allowQuotes && m_line[m_pos] == '"') {
      ++m_pos;
      for (;;) {
        if (m_pos >= m_line.size()) Fail("unterminated quote");
        const char c = m_line[m_pos++];
        if (c == '"') break;
        if (c == '\\' && m_pos < m_line.size() && (m_line[m_pos] == '"' || m_line[m_pos] == '\\')) {
          word += m_line[m_pos++];
          continue;
        }
        word += c;
      }
      if (m_pos < m_line.size() && !IsBlank(m_line[m_pos])) Fail("text right after a closing quote");
      return word;
    }
    while (m_pos < m_line.size() && !IsBlank(m_line[m_pos])) word += m_line[m_pos++];
    return word;
  }

  // The rest of the line after the one blank that ends the previous word, kept as it is
  // (further blanks belong to the text).
  std::string_view Rest() {
    if (m_pos < m_line.size() && IsBlank(m_line[m_pos])) ++m_pos;
    const std::string_view rest = m_line.substr(m_pos);
    m_pos = m_line.size();
    return rest;
  }

 private:
  void SkipBlanks() {
    while (m_pos < m_line.size() && IsBlank(m_line[m_pos])) ++m_pos;
  }

  std::string_view m_line;
  std::size_t m_pos = 0;
};

// Parses one command's arguments; `usage` names them for messages.
class ArgumentReader {
 public:
  ArgumentReader(LineReader& reader, std::string usage) : m_reader(reader), m_usage(std::move(usage)) {}

  std::string Word(std::string_view what) {
    auto word = m_reader.Word(false);
    if (!word) Missing(what);
    return *word;
  }

  std::string Name(std::string_view what) {
    auto word = m_reader.Word(true);
    if (!word) Missing(what);
    return ToCp932(*word, what);
  }

  std::string Text(std::string_view what) { return ToCp932(m_reader.Rest(), what); }

  long long Number(std::string_view what, long long low, long long high) {
    return WholeNumber(Word(what), what, low, high);
  }

  std::uint16_t Uint16(std::string_view what) { return static_cast<std::uint16_t>(Number(what, 0, 65535)); }
  int Id(std::string_view what) { return static_cast<int>(Number(what, 0, 65535)); }
  int Index(std::string_view what, int low = 0) {
    return static_cast<int>(Number(what, low, std::numeric_limits<int>::max()));
  }

  std::uint32_t Ip() {
    const std::string word = Word("IP");
    const auto ip = ParseDottedIp(word);
    if (!ip) Fail("bad IP " + Quoted(word) + " (expected four numbers 0-255 as in 192.168.0.10)");
    return *ip;
  }

  void End() {
    if (!m_reader.AtEnd()) Fail("unexpected text after the arguments (usage: " + m_usage + ")");
  }

  [[noreturn]] void Missing(std::string_view what) { Fail("missing " + std::string(what) + " (usage: " + m_usage + ")"); }

 private:
  LineReader& m_reader;
  std::string m_usage;
};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// "DDDD<sep>DD<sep>DD" into three numbers.
bool SplitTriple(std::string_view text, char separator, int firstDigits, int (&parts)[3]) {
  const std::size_t expected = static_cast<std::size_t>(firstDigits) + 6;
  if (text.size() != expected) return false;
  const int widths[3] = {firstDigits, 2, 2};
  std::size_t pos = 0;
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && text[pos++] != separator) return false;
    int value = 0;
    for (int d = 0; d < widths[i]; ++d) {
      const char c = text[pos++];
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    parts[i] = value;
  }
  return true;
}

ClockCommand ParseClock(ArgumentReader& args) {
  const std::string date = args.Word("date");
  const std::string time = args.Word("time");
  args.End();
  int d[3], t[3];
  if (!SplitTriple(date, '-', 4, d) || d[1] < 1 || d[1] > 12 || d[0] < 1 || d[2] < 1 || d[2] > DaysInMonth(d[0], d[1]))
    Fail("bad date " + Quoted(date) + " (expected YYYY-MM-DD)");
  if (!SplitTriple(time, ':', 2, t) || t[0] > 23 || t[1] > 59 || t[2] > 59)
    Fail("bad time " + Quoted(time) + " (expected HH:MM:SS)");
  return ClockCommand{fx::LocalTime{d[0], d[1], d[2], t[0], t[1], t[2]}};
}

using UiKind = UiArgumentKind;

// The keys `ui key` names.
constexpr std::pair<std::string_view, UiKey> kKeyNames[] = {
    {"enter", UiKey::Enter}, {"escape", UiKey::Escape}, {"tab", UiKey::Tab},       {"space", UiKey::Space},
    {"left", UiKey::Left},   {"right", UiKey::Right},   {"pgup", UiKey::PageUp}, {"pgdn", UiKey::PageDown}};

std::string KeyNames(std::string_view separator) {
  std::string names;
  for (const auto& [name, key] : kKeyNames) names += (names.empty() ? "" : std::string(separator)) + std::string(name);
  return names;
}

// One argument as a person types it.
std::string UsageOf(const UiArgument& argument) {
  std::string usage = argument.name;
  switch (argument.kind) {
    case UiKind::WindowOrAll: usage += "|all"; break;
    case UiKind::Folder: usage += "|cancel"; break;
    case UiKind::Columns: usage += "..."; break;
    case UiKind::KeyOrRow: usage = "[ctrl+][shift+]" + KeyNames("|") + ", or DIALOG LIST ROW"; break;
    default: break;
  }
  return argument.optional ? "[" + usage + "]" : usage;
}

std::string ArgumentsOf(const UiAction& action) {
  std::string arguments;
  for (const auto& argument : action.arguments) arguments += (arguments.empty() ? "" : " ") + UsageOf(argument);
  return arguments;
}

std::string UsageOf(std::string_view prefix, std::string_view name, std::string_view arguments) {
  std::string usage = std::string(prefix) + std::string(name);
  if (!arguments.empty()) usage += " " + std::string(arguments);
  return usage;
}

template <typename Entries>
std::string KnownNames(const Entries& entries) {
  std::string names;
  for (const auto& entry : entries) names += (names.empty() ? "" : " ") + std::string(entry.name);
  return names;
}

// A key name, after ctrl+ or shift+ or both, or the row's number: told apart by the word.
void ReadKeyOrRow(ArgumentReader& args, const char* what, UiValues& values) {
  const std::string word = args.Word(what);
  std::string_view name = word;
  const bool control = name.starts_with("ctrl+") && (name.remove_prefix(5), true);
  const bool shift = name.starts_with("shift+") && (name.remove_prefix(6), true);
  const auto* key =
      std::find_if(std::begin(kKeyNames), std::end(kKeyNames), [&](const auto& known) { return known.first == name; });
  if (key != std::end(kKeyNames)) {
    values.key = UiKeyPress{key->second, control && shift ? UiKeys::ControlShift
                                         : control        ? UiKeys::Control
                                         : shift          ? UiKeys::Shift
                                                          : UiKeys::None};
  } else if (!word.empty() && (std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '-' || word[0] == '+')) {
    values.row = static_cast<int>(WholeNumber(word, "ROW", 0, std::numeric_limits<int>::max()));
  } else {
    Fail("unknown key " + Quoted(word) + " (known: " + KeyNames(" ") +
         ", after ctrl+ or shift+ or both, or a ROW number)");
  }
}

void ReadArgument(const UiArgument& argument, ArgumentReader& args, LineReader& reader, UiValues& values) {
  const char* what = argument.name;
  switch (argument.kind) {
    case UiKind::Window: values.window = args.Id(what); break;
    case UiKind::WindowOrAll: {
      const std::string word = args.Word(what);
      if (word == "all") {
        values.all = true;
      } else {
        values.window = static_cast<int>(WholeNumber(word, what, 0, 65535));
      }
      break;
    }
    case UiKind::Control: values.control = args.Id(what); break;
    case UiKind::Row: values.row = args.Index(what, -1); break;
    case UiKind::Column: values.column = args.Index(what); break;
    case UiKind::Index: values.index = args.Index(what); break;
    case UiKind::Width: values.width = static_cast<int>(args.Number(what, 0, 32767)); break;
    case UiKind::Height: values.height = static_cast<int>(args.Number(what, 0, 32767)); break;
    case UiKind::Command: values.command = args.Id(what); break;
    case UiKind::Text: values.text = args.Text(what); break;
    case UiKind::KeyOrRow: ReadKeyOrRow(args, what, values); break;
    case UiKind::Folder: {
      std::string path = args.Text(what);
      if (path.empty()) args.Missing(what);
      if (path != "cancel") values.folder = std::move(path);
      break;
    }
    case UiKind::Columns:
      while (!reader.AtEnd()) values.order.push_back(args.Index(what));
      if (values.order.empty()) args.Missing(what);
      break;
  }
}

UiCommand ParseUi(LineReader& reader) {
  const auto name = reader.Word(false);
  if (!name) Fail("missing ui action (for example: ui show 13000, ui click 13002 13019; help lists them)");
  const auto actions = UiActions();
  const auto action =
      std::find_if(actions.begin(), actions.end(), [&](const UiAction& known) { return *name == known.name; });
  if (action == actions.end()) Fail("unknown ui action " + Quoted(*name) + " (known: " + KnownNames(actions) + ")");
  ArgumentReader args(reader, UsageOf("ui ", action->name, ArgumentsOf(*action)));
  UiCommand command{&*action, {}};
  for (const auto& argument : action->arguments) {
    if (argument.optional && reader.AtEnd()) continue;
    ReadArgument(argument, args, reader, command.values);
  }
  args.End();
  return command;
}

// One form of a line: its name, its arguments as a person types them, what it does, and how its
// arguments are read. `help`, --help and the messages for unknown names all come from this table
// and the table of `ui` actions, so a form added there is listed everywhere.
struct Form {
  const char* name;
  const char* arguments;
  const char* does;
  ScriptCommand (*parse)(ArgumentReader& args, LineReader& reader);
};

const Form kLineForms[] = {
    {"join", "NAME IP PORT LINE FILES", "a user joins (LINE 0-10: Unknown ... T3+)",
     [](ArgumentReader& args, LineReader&) -> ScriptCommand {
       JoinCommand join;
       join.name = args.Name("NAME");
       join.ip = args.Ip();
       join.port = args.Uint16("PORT");
       join.lineType = args.Uint16("LINE");
       join.files = args.Uint16("FILES");
       args.End();
       return join;
     }},
    {"leave", "NAME IP PORT", "a user leaves",
     [](ArgumentReader& args, LineReader&) -> ScriptCommand {
       LeaveCommand leave;
       leave.name = args.Name("NAME");
       leave.ip = args.Ip();
       leave.port = args.Uint16("PORT");
       args.End();
       return leave;
     }},
    {"rename", "OLD NEW IP PORT", "a user renames",
     [](ArgumentReader& args, LineReader&) -> ScriptCommand {
       RenameCommand rename;
       rename.oldName = args.Name("OLD");
       rename.newName = args.Name("NEW");
       rename.ip = args.Ip();
       rename.port = args.Uint16("PORT");
       args.End();
       return rename;
     }},
    {"chat", "NAME TEXT", "a chat line",
     [](ArgumentReader& args, LineReader&) -> ScriptCommand {
       ChatCommand chat;
       chat.name = args.Name("NAME");
       chat.text = args.Text("TEXT");
       chat.flag = 0;
       return chat;
     }},
    {"chat!", "NAME TEXT", "a chat line with the host's flag set",
     [](ArgumentReader& args, LineReader&) -> ScriptCommand {
       ChatCommand chat;
       chat.name = args.Name("NAME");
       chat.text = args.Text("TEXT");
       chat.flag = 1;
       return chat;
     }},
    {"say", "TEXT", "the local user types a line (#event, #start ...)",
     [](ArgumentReader& args, LineReader&) -> ScriptCommand { return SayCommand{args.Text("TEXT")}; }},
    {"clock", "YYYY-MM-DD HH:MM:SS", "fix the local time from here on",
     [](ArgumentReader& args, LineReader&) -> ScriptCommand { return ParseClock(args); }},
    {"exit", "", "save and end the session; later lines are ignored",
     [](ArgumentReader& args, LineReader&) -> ScriptCommand {
       args.End();
       return ExitCommand{};
     }},
    {"ui", "ACTION ...", "act on the plug-in's windows:",
     [](ArgumentReader&, LineReader& reader) -> ScriptCommand { return ParseUi(reader); }},
    {"help", "", "this list",
     [](ArgumentReader& args, LineReader&) -> ScriptCommand {
       args.End();
       return HelpCommand{};
     }},
};

ScriptCommand ParseCommand(std::string_view word, LineReader& reader) {
  for (const auto& form : kLineForms) {
    if (word != form.name) continue;
    ArgumentReader args(reader, UsageOf("", form.name, form.arguments));
    return form.parse(args, reader);
  }
  Fail("unknown command " + Quoted(word) + " (known: " + KnownNames(kLineForms) + ")");
}

// A form as `help` lists it.
struct HelpLine {
  std::string_view name;
  std::string arguments;
  std::string_view does;
};

std::vector<HelpLine> UiHelpLines() {
  std::vector<HelpLine> lines;
  for (const auto& action : UiActions()) lines.push_back({action.name, ArgumentsOf(action), action.help});
  return lines;
}

std::vector<HelpLine> LineHelpLines() {
  std::vector<HelpLine> lines;
  for (const auto& form : kLineForms) lines.push_back({form.name, form.arguments, form.does});
  return lines;
}

// "  USAGE  DOES" lines, DOES at one column (on a line of its own after a long USAGE); neighbours
// that do the same are joined ("ui enter|escape|close DIALOG").
void DescribeForms(std::string& out, const std::vector<HelpLine>& lines, const std::string& indent, std::string_view prefix) {
  constexpr std::size_t kColumn = 32;
  for (std::size_t i = 0; i < lines.size();) {
    std::string names(lines[i].name);
    std::size_t next = i + 1;
    for (; next < lines.size() && lines[next].arguments == lines[i].arguments && lines[next].does == lines[i].does; ++next)
      names += "|" + std::string(lines[next].name);
    const std::string usage = indent + UsageOf(prefix, names, lines[i].arguments);
    out += usage.size() + 2 <= kColumn ? usage + std::string(kColumn - usage.size(), ' ')
                                       : usage + "\n" + std::string(kColumn, ' ');
    out += std::string(lines[i].does) + "\n";
    if (prefix.empty() && lines[i].name == "ui") DescribeForms(out, UiHelpLines(), indent + "  ", "ui ");
    i = next;
  }
}

}  // namespace

bool IsEventLine(std::string_view line) {
  const ParsedLine parsed = ParseScriptLine(line);
  if (!parsed.command) return false;
  return std::holds_alternative<JoinCommand>(*parsed.command) || std::holds_alternative<LeaveCommand>(*parsed.command) ||
         std::holds_alternative<RenameCommand>(*parsed.command) || std::holds_alternative<ChatCommand>(*parsed.command) ||
         std::holds_alternative<ClockCommand>(*parsed.command);
}

std::string ScriptHelp() {
  std::string out = "Script lines (UTF-8; # starts a comment line; NAME may be \"double quoted\"):\n";
  DescribeForms(out, LineHelpLines(), "  ", "");
  out +=
      "Window ids: 13000 event log, 13001 settings, 13002 and 13003 its pages, 13007 URL collector;\n"
      "resources/resource.h has every control id.\n";
  return out;
}

ParsedLine ParseScriptLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::size_t first = 0;
  while (first < line.size() && IsBlank(line[first])) ++first;
  if (first == line.size() || line[first] == '#') return ParsedLine{};
  try {
    LineReader reader(line);
    const std::string word = *reader.Word(false);
    return ParsedLine{ParseCommand(word, reader), {}};
  } catch (const LineError& error) {
    return ParsedLine{std::nullopt, error.message};
  }
}

}  // namespace zelkor
