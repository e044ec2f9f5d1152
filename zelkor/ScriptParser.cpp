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

  std::optional<int> OptionalIndex(std::string_view what) {
    if (m_reader.AtEnd()) return std::nullopt;
    return Index(what);
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

 private:
  [[noreturn]] void Missing(std::string_view what) { Fail("missing " + std::string(what) + " (usage: " + m_usage + ")"); }

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

// One form of a line: its name, its arguments as a person types them, what it does, and how its
// arguments are read. `help`, --help and the messages for unknown names all come from the tables
// below, so a form added there is listed everywhere.
template <typename Command>
struct Form {
  const char* name;
  const char* arguments;
  const char* does;
  Command (*parse)(ArgumentReader& args, LineReader& reader);
};

std::string UsageOf(std::string_view prefix, const char* name, const char* arguments) {
  std::string usage = std::string(prefix) + name;
  if (*arguments != '\0') usage += std::string(" ") + arguments;
  return usage;
}

template <typename Command, std::size_t N>
std::string KnownNames(const Form<Command> (&forms)[N]) {
  std::string names;
  for (const auto& form : forms) names += (names.empty() ? "" : " ") + std::string(form.name);
  return names;
}

template <typename Command, std::size_t N>
Command ParseForm(const Form<Command> (&forms)[N], std::string_view prefix, std::string_view name, LineReader& reader,
                  const std::string& unknown) {
  for (const auto& form : forms) {
    if (name != form.name) continue;
    ArgumentReader args(reader, UsageOf(prefix, form.name, form.arguments));
    return form.parse(args, reader);
  }
  Fail(unknown + " " + Quoted(name) + " (known: " + KnownNames(forms) + ")");
}

UiCommand DialogAction(UiAction action, ArgumentReader& args) {
  UiCommand ui{};
  ui.action = action;
  ui.dialog = args.Id("DIALOG");
  args.End();
  return ui;
}

UiCommand ControlAction(UiAction action, ArgumentReader& args, std::string_view controlName) {
  UiCommand ui{};
  ui.action = action;
  ui.dialog = args.Id("DIALOG");
  ui.control = args.Id(controlName);
  return ui;
}

UiCommand RowAction(UiAction action, UiKeys keys, ArgumentReader& args) {
  UiCommand ui = ControlAction(action, args, "LIST");
  ui.keys = keys;
  ui.row = args.Index("ROW", -1);
  ui.column = args.OptionalIndex("COLUMN").value_or(0);
  args.End();
  return ui;
}

UiCommand IndexAction(UiAction action, ArgumentReader& args, std::string_view controlName) {
  UiCommand ui = ControlAction(action, args, controlName);
  ui.row = args.Index("INDEX");
  args.End();
  return ui;
}

constexpr const char* kRowArguments = "DIALOG LIST ROW [COLUMN]";

const Form<UiCommand> kUiForms[] = {
    {"show", "DIALOG|all", "print a window (all: every plug-in window)",
     [](ArgumentReader& args, LineReader&) {
       UiCommand ui{};
       ui.action = UiAction::Show;
       const std::string target = args.Word("DIALOG");
       if (target == "all") {
         ui.all = true;
       } else {
         ui.dialog = static_cast<int>(WholeNumber(target, "DIALOG", 0, 65535));
       }
       args.End();
       return ui;
     }},
    {"click", "DIALOG CONTROL", "click a button or check box",
     [](ArgumentReader& args, LineReader&) {
       UiCommand ui = ControlAction(UiAction::Click, args, "CONTROL");
       args.End();
       return ui;
     }},
    {"type", "DIALOG CONTROL TEXT", "type TEXT at the end of an edit field",
     [](ArgumentReader& args, LineReader&) {
       UiCommand ui = ControlAction(UiAction::Type, args, "CONTROL");
       ui.text = args.Text("TEXT");
       return ui;
     }},
    {"clear", "DIALOG CONTROL", "empty an edit field",
     [](ArgumentReader& args, LineReader&) {
       UiCommand ui = ControlAction(UiAction::Clear, args, "CONTROL");
       args.End();
       return ui;
     }},
    {"row", kRowArguments, "click a row (-1: below the rows)",
     [](ArgumentReader& args, LineReader&) { return RowAction(UiAction::Row, UiKeys::None, args); }},
    {"row+ctrl", kRowArguments, "click a row (-1: below the rows)",
     [](ArgumentReader& args, LineReader&) { return RowAction(UiAction::Row, UiKeys::Control, args); }},
    {"row+shift", kRowArguments, "click a row (-1: below the rows)",
     [](ArgumentReader& args, LineReader&) { return RowAction(UiAction::Row, UiKeys::Shift, args); }},
    {"rclick", kRowArguments, "right-click a row (its menu opens)",
     [](ArgumentReader& args, LineReader&) { return RowAction(UiAction::RightClick, UiKeys::None, args); }},
    {"dblclick", kRowArguments, "double-click a list cell",
     [](ArgumentReader& args, LineReader&) { return RowAction(UiAction::DoubleClick, UiKeys::None, args); }},
    {"key", "DIALOG CONTROL [ctrl+][shift+]enter|escape|tab|space|left|right|pgup|pgdn, or DIALOG LIST ROW",
     "press a key in a control, or select a list row with the arrow keys",
     [](ArgumentReader& args, LineReader&) {
       // Told apart by the last word: a key name, or the row's number.
       UiCommand ui = ControlAction(UiAction::Key, args, "CONTROL");
       const std::string last = args.Word("KEY or ROW");
       static constexpr std::pair<std::string_view, UiKey> kKeys[] = {
           {"enter", UiKey::Enter}, {"escape", UiKey::Escape}, {"tab", UiKey::Tab},        {"space", UiKey::Space},
           {"left", UiKey::Left},   {"right", UiKey::Right},   {"pgup", UiKey::PageUp}, {"pgdn", UiKey::PageDown}};
       std::string_view name = last;
       const bool control = name.starts_with("ctrl+") && (name.remove_prefix(5), true);
       const bool shift = name.starts_with("shift+") && (name.remove_prefix(6), true);
       const auto* key = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const auto& k) { return k.first == name; });
       if (key != std::end(kKeys)) {
         ui.action = UiAction::PressKey;
         ui.key = key->second;
         ui.keys = control && shift ? UiKeys::ControlShift : control ? UiKeys::Control : shift ? UiKeys::Shift : UiKeys::None;
       } else if (!last.empty() && (std::isdigit(static_cast<unsigned char>(last[0])) || last[0] == '-' || last[0] == '+')) {
         ui.row = static_cast<int>(WholeNumber(last, "ROW", 0, std::numeric_limits<int>::max()));
       } else {
         Fail("unknown key " + Quoted(last) +
              " (known: enter escape tab space left right pgup pgdn, after ctrl+ or shift+ or both, or a ROW number)");
       }
       args.End();
       return ui;
     }},
    {"tab", "DIALOG TAB INDEX", "select a tab",
     [](ArgumentReader& args, LineReader&) { return IndexAction(UiAction::Tab, args, "TAB"); }},
    {"pick", "DIALOG COMBO INDEX", "pick a combo-box item",
     [](ArgumentReader& args, LineReader&) { return IndexAction(UiAction::Pick, args, "COMBO"); }},
    {"enter", "DIALOG", "press Enter, Escape or the close box",
     [](ArgumentReader& args, LineReader&) { return DialogAction(UiAction::Enter, args); }},
    {"escape", "DIALOG", "press Enter, Escape or the close box",
     [](ArgumentReader& args, LineReader&) { return DialogAction(UiAction::Escape, args); }},
    {"close", "DIALOG", "press Enter, Escape or the close box",
     [](ArgumentReader& args, LineReader&) { return DialogAction(UiAction::Close, args); }},
    {"resize", "DIALOG WIDTH HEIGHT", "resize a window",
     [](ArgumentReader& args, LineReader&) {
       UiCommand ui{};
       ui.action = UiAction::Resize;
       ui.dialog = args.Id("DIALOG");
       ui.row = static_cast<int>(args.Number("WIDTH", 0, 32767));
       ui.column = static_cast<int>(args.Number("HEIGHT", 0, 32767));
       args.End();
       return ui;
     }},
    {"menu", "COMMAND", "choose from the open popup menu",
     [](ArgumentReader& args, LineReader&) {
       UiCommand ui{};
       ui.action = UiAction::Menu;
       ui.row = args.Id("COMMAND");
       args.End();
       return ui;
     }},
    {"dismiss", "", "close the open popup menu",
     [](ArgumentReader& args, LineReader&) {
       UiCommand ui{};
       ui.action = UiAction::Dismiss;
       args.End();
       return ui;
     }},
    {"folder", "PATH|cancel", "answer the next folder picker",
     [](ArgumentReader& args, LineReader&) {
       UiCommand ui{};
       ui.action = UiAction::Folder;
       ui.text = args.Text("PATH");
       if (ui.text == "cancel") {
         ui.cancel = true;
         ui.text.clear();
       } else if (ui.text.empty()) {
         Fail("missing PATH (usage: ui folder PATH|cancel)");
       }
       return ui;
     }},
    {"columns", "DIALOG LIST COLUMN...", "order a list's columns on screen",
     [](ArgumentReader& args, LineReader& reader) {
       UiCommand ui = ControlAction(UiAction::Columns, args, "LIST");
       while (!reader.AtEnd()) ui.order.push_back(args.Index("COLUMN"));
       if (ui.order.empty()) Fail("missing COLUMN (usage: ui columns DIALOG LIST COLUMN...)");
       return ui;
     }},
    {"where", "DIALOG [CONTROL]", "print where a window or control is on the screen: LEFT TOP WIDTH HEIGHT",
     [](ArgumentReader& args, LineReader& reader) {
       UiCommand ui{};
       ui.action = UiAction::Where;
       ui.dialog = args.Id("DIALOG");
       ui.control = reader.AtEnd() ? -1 : args.Id("CONTROL");
       args.End();
       return ui;
     }},
};

UiCommand ParseUi(LineReader& reader) {
  const auto name = reader.Word(false);
  if (!name) Fail("missing ui action (for example: ui show 13000, ui click 13002 13019; help lists them)");
  return ParseForm(kUiForms, "ui ", *name, reader, "unknown ui action");
}

const Form<ScriptCommand> kLineForms[] = {
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
  return ParseForm(kLineForms, "", word, reader, "unknown command");
}

// "  USAGE  DOES" lines, DOES at one column (on a line of its own after a long USAGE); neighbours
// that do the same are joined ("ui enter|escape|close DIALOG").
template <typename Command, std::size_t N>
void DescribeForms(std::string& out, const Form<Command> (&forms)[N], const std::string& indent, std::string_view prefix) {
  constexpr std::size_t kColumn = 32;
  for (std::size_t i = 0; i < N;) {
    std::string names = forms[i].name;
    std::size_t next = i + 1;
    for (; next < N && std::string_view(forms[next].arguments) == forms[i].arguments &&
           std::string_view(forms[next].does) == forms[i].does;
         ++next)
      names += std::string("|") + forms[next].name;
    const std::string usage = indent + UsageOf(prefix, names.c_str(), forms[i].arguments);
    out += usage.size() + 2 <= kColumn ? usage + std::string(kColumn - usage.size(), ' ')
                                       : usage + "\n" + std::string(kColumn, ' ');
    out += std::string(forms[i].does) + "\n";
    if (prefix.empty() && std::string_view(forms[i].name) == "ui") DescribeForms(out, kUiForms, indent + "  ", "ui ");
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
  DescribeForms(out, kLineForms, "  ", "");
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
