// The zelkor host: the script language, sessions run with the real module, and the program's
// command line and exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fx/Clock.h"
#include "fx/Module.h"
#include "zelkor/ConsoleDesktop.h"
#include "zelkor/ScreenDesktop.h"
#include "zelkor/ScriptParser.h"
#include "zelkor/SessionRunner.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace zelkor;

namespace {

// UTF-8 as it arrives at the console; the test's narrow literals are Shift-JIS.
std::string U8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

// Characters Shift-JIS lacks, as UTF-8 bytes (the compiler could not even write them as
// Shift-JIS literals).
const std::string kEmoji = "\xF0\x9F\x98\x80";          // U+1F600
const std::string kHangul = "\xED\x95\x9C\xEA\xB5\xAD";  // U+D55C U+AD6D
const std::string kEAcute = "\xC3\xA9";                 // U+00E9

ScriptCommand Parse(std::string_view line) {
  ParsedLine parsed = ParseScriptLine(line);
  EXPECT_TRUE(parsed.ok()) << line << ": " << parsed.error;
  EXPECT_TRUE(parsed.command.has_value()) << line;
  return parsed.command.value_or(ScriptCommand{ExitCommand{}});
}

template <typename T>
T ParseAs(std::string_view line) {
  ScriptCommand command = Parse(line);
  EXPECT_TRUE(std::holds_alternative<T>(command)) << line;
  return std::holds_alternative<T>(command) ? std::get<T>(command) : T{};
}

std::string ErrorOf(std::string_view line) {
  ParsedLine parsed = ParseScriptLine(line);
  EXPECT_FALSE(parsed.ok()) << "accepted: " << line;
  EXPECT_FALSE(parsed.command.has_value());
  return parsed.error;
}

}  // namespace

// --- the script language ---

TEST(ZelkorScriptParser, HostEventsCarryTheirFields) {
  const auto join = ParseAs<JoinCommand>("join alice#00000001 192.168.0.10 6699 9 12");
  EXPECT_EQ(join.name, "alice#00000001");
  EXPECT_EQ(join.ip, 0x0A00A8C0u);  // first octet in the low byte
  EXPECT_EQ(join.port, 6699);
  EXPECT_EQ(join.lineType, 9);
  EXPECT_EQ(join.files, 12);

  const auto leave = ParseAs<LeaveCommand>("leave bob 0.0.0.0 65535");
  EXPECT_EQ(leave.name, "bob");
  EXPECT_EQ(leave.ip, 0u);
  EXPECT_EQ(leave.port, 65535);

  const auto rename = ParseAs<RenameCommand>(U8(u8"rename alice アリス 255.255.255.255 1"));
  EXPECT_EQ(rename.oldName, "alice");
  EXPECT_EQ(rename.newName, "アリス");  // Shift-JIS, as the plug-in reads it
  EXPECT_EQ(rename.ip, 0xFFFFFFFFu);
  EXPECT_EQ(rename.port, 1);

  EXPECT_TRUE(std::holds_alternative<ExitCommand>(Parse("exit")));
}

TEST(ZelkorScriptParser, TextIsTheRestOfTheLineAfterOneBlank) {
  const auto chat = ParseAs<ChatCommand>(U8(u8"chat 管理］root  two  spaces stay "));
  EXPECT_EQ(chat.name, "管理］root");
  EXPECT_EQ(chat.text, " two  spaces stay ");
  EXPECT_EQ(chat.flag, 0u);
  EXPECT_EQ(ParseAs<ChatCommand>("chat! mod topic").flag, 1u);
  EXPECT_EQ(ParseAs<ChatCommand>("chat mod").text, "");

  EXPECT_EQ(ParseAs<SayCommand>("say #start").text, "#start");
  EXPECT_EQ(ParseAs<SayCommand>("say").text, "");
  EXPECT_EQ(ParseAs<SayCommand>("say  # not a comment").text, " # not a comment");
  EXPECT_EQ(ParseAs<UiCommand>("ui type 13002 13018  (%LINE%)").values.text, " (%LINE%)");
  // A line from a file with CR LF ends loses its CR only.
  EXPECT_EQ(ParseAs<SayCommand>("say hi \r").text, "hi ");
}

TEST(ZelkorScriptParser, QuotedNamesHoldSpacesQuotesAndBackslashes) {
  EXPECT_EQ(ParseAs<JoinCommand>(R"(join "guest one#00000001" 1.2.3.4 1 2 3)").name, "guest one#00000001");
  EXPECT_EQ(ParseAs<ChatCommand>(R"(chat "say \"hi\" \\o/" text)").name, R"(say "hi" \o/)");
  EXPECT_EQ(ParseAs<ChatCommand>(R"(chat "" empty name)").name, "");
  const auto rename = ParseAs<RenameCommand>(R"(rename "a b" "c d" 1.2.3.4 5)");
  EXPECT_EQ(rename.oldName, "a b");
  EXPECT_EQ(rename.newName, "c d");
  // Quotes only group a NAME: in a text they are text.
  EXPECT_EQ(ParseAs<ChatCommand>(R"(chat bob "quoted")").text, R"("quoted")");

  EXPECT_NE(ErrorOf(R"(join "open 1.2.3.4 1 2 3)").find("unterminated quote"), std::string::npos);
  EXPECT_NE(ErrorOf(R"(join "a"b 1.2.3.4 1 2 3)").find("closing quote"), std::string::npos);
}

TEST(ZelkorScriptParser, CommentsAndBlankLinesAreNoCommand) {
  for (const char* line : {"", "   ", "\t", "# a comment", "  # indented comment", "\r", "#join x"}) {
    const ParsedLine parsed = ParseScriptLine(line);
    EXPECT_TRUE(parsed.ok()) << line;
    EXPECT_FALSE(parsed.command.has_value()) << line;
  }
}

TEST(ZelkorScriptParser, ClockTakesAValidDateAndTime) {
  const auto clock = ParseAs<ClockCommand>("clock 2024-02-29 23:59:59");
  EXPECT_EQ(clock.time.year, 2024);
  EXPECT_EQ(clock.time.month, 2);
  EXPECT_EQ(clock.time.day, 29);
  EXPECT_EQ(clock.time.hour, 23);
  EXPECT_EQ(clock.time.minute, 59);
  EXPECT_EQ(clock.time.second, 59);
  EXPECT_EQ(ParseAs<ClockCommand>("clock 2000-02-29 00:00:00").time.day, 29);

  for (const char* line : {"clock 2025-02-29 00:00:00", "clock 1900-02-29 00:00:00", "clock 2026-13-01 00:00:00",
                           "clock 2026-04-31 00:00:00", "clock 2026-1-3 09:05:07", "clock 2026-01-00 09:05:07"})
    EXPECT_NE(ErrorOf(line).find("bad date"), std::string::npos) << line;
  for (const char* line : {"clock 2026-01-03 24:00:00", "clock 2026-01-03 09:60:00", "clock 2026-01-03 9:05:07",
                           "clock 2026-01-03 09-05-07"})
    EXPECT_NE(ErrorOf(line).find("bad time"), std::string::npos) << line;
  EXPECT_NE(ErrorOf("clock 2026-01-03").find("missing time"), std::string::npos);
  EXPECT_NE(ErrorOf("clock 2026-01-03 09:05:07 extra").find("unexpected text"), std::string::npos);
}

TEST(ZelkorScriptParser, NumbersMustBeWholeAndInRange) {
  for (const char* port : {"65536", "-1", "12a", "+5", "0x10", "", "1.5"}) {
    const std::string line = std::string("leave bob 1.2.3.4 ") + port;
    EXPECT_NE(ErrorOf(line).find(*port ? "bad PORT" : "missing PORT"), std::string::npos) << line;
  }
  EXPECT_NE(ErrorOf("join bob 1.2.3.4 1 70000 0").find("bad LINE"), std::string::npos);
  EXPECT_NE(ErrorOf("join bob 1.2.3.4 1 2 x").find("bad FILES"), std::string::npos);
  EXPECT_NE(ErrorOf("join bob 1.2.3.4 1 2").find("missing FILES (usage: join NAME IP PORT LINE FILES)"),
            std::string::npos);
  EXPECT_NE(ErrorOf("join bob 1.2.3.4 1 2 3 4").find("unexpected text"), std::string::npos);
  EXPECT_NE(ErrorOf("ui click 13002 99999").find("bad CONTROL"), std::string::npos);
  EXPECT_NE(ErrorOf("ui key 13000 13000 -1").find("bad ROW"), std::string::npos);
}

TEST(ZelkorScriptParser, AddressesAreFourOctets) {
  for (const char* ip : {"256.0.0.1", "1.2.3", "1.2.3.4.5", "a.b.c.d", "1..2.3", "1.2.3.4.", "0001.2.3.4", "-1.2.3.4"})
    EXPECT_NE(ErrorOf(std::string("leave bob ") + ip + " 1").find("bad IP"), std::string::npos) << ip;
}

TEST(ZelkorScriptParser, TextShiftJisCannotHoldIsRefusedNotMangled) {
  const std::string emoji = ErrorOf("chat bob smile " + kEmoji);
  EXPECT_NE(emoji.find("TEXT has a character Shift-JIS (CP932) cannot represent"), std::string::npos) << emoji;
  EXPECT_NE(emoji.find("U+1F600"), std::string::npos) << emoji;
  EXPECT_NE(ErrorOf(U8(u8"join 名前") + kEAcute + " 1.2.3.4 1 2 3").find("NAME has a character"), std::string::npos);
  EXPECT_NE(ErrorOf("ui type 13002 13018 " + kHangul).find("U+D55C"), std::string::npos);
  EXPECT_NE(ErrorOf("say bad \xFF byte").find("not valid UTF-8 (byte 5)"), std::string::npos);
  EXPECT_NE(ErrorOf(std::string_view("say a\0b", 7)).find("NUL"), std::string::npos);
  // Half-width katakana and the wave dash do go across.
  EXPECT_EQ(ParseAs<SayCommand>(U8(u8"say ｱｲｳ～")).text, "ｱｲｳ～");
}

TEST(ZelkorScriptParser, UnknownCommandsAreNamed) {
  EXPECT_NE(ErrorOf("jion bob 1.2.3.4 1 2 3").find("unknown command \"jion\""), std::string::npos);
  EXPECT_NE(ErrorOf("Join bob 1.2.3.4 1 2 3").find("unknown command"), std::string::npos);
  EXPECT_NE(ErrorOf("ui wiggle 13000").find("unknown ui action \"wiggle\""), std::string::npos);
  EXPECT_NE(ErrorOf("ui").find("missing ui action"), std::string::npos);
}

// The names the parser knows, from its own message for an unknown one: "(known: a b c)".
std::vector<std::string> KnownNames(const std::string& error) {
  const std::size_t open = error.find("(known: ");
  std::istringstream words(error.substr(open + 8, error.rfind(')') - open - 8));
  std::vector<std::string> names;
  for (std::string word; words >> word;) names.push_back(word);
  return names;
}

// `help` lists every line and every ui action the parser takes, with its arguments.
TEST(ZelkorScriptParser, HelpListsEveryFormTheParserTakes) {
  EXPECT_TRUE(std::holds_alternative<HelpCommand>(Parse("help")));
  EXPECT_TRUE(std::holds_alternative<HelpCommand>(Parse("  help  ")));
  EXPECT_NE(ErrorOf("help me").find("unexpected text"), std::string::npos);

  const std::string help = ScriptHelp();
  const auto commands = KnownNames(ErrorOf("frobnicate"));
  const auto actions = KnownNames(ErrorOf("ui frobnicate"));
  ASSERT_GE(commands.size(), 10u);
  ASSERT_GE(actions.size(), 19u);
  // Each name starts a usage or follows another that does the same ("ui enter|escape|close").
  const auto listed = [&](const std::string& prefix, const std::string& name) {
    return help.find("  " + prefix + name + " ") != std::string::npos ||
           help.find("  " + prefix + name + "\n") != std::string::npos ||
           help.find("  " + prefix + name + "|") != std::string::npos || help.find("|" + name + " ") != std::string::npos ||
           help.find("|" + name + "|") != std::string::npos || help.find("|" + name + "\n") != std::string::npos;
  };
  for (const auto& name : commands) EXPECT_TRUE(listed("", name)) << name << " is not in:\n" << help;
  for (const auto& name : actions) EXPECT_TRUE(listed("ui ", name)) << "ui " << name << " is not in:\n" << help;
  for (const char* usage : {"  join NAME IP PORT LINE FILES ", "  clock YYYY-MM-DD HH:MM:SS ",
                            "    ui type DIALOG CONTROL TEXT\n", "    ui row|row+ctrl|row+shift DIALOG LIST ROW [COLUMN]\n",
                            "    ui enter|escape|close DIALOG\n", "    ui folder PATH|cancel ", "    ui show DIALOG|all ",
                            "    ui where DIALOG [CONTROL] ", "    ui columns DIALOG LIST COLUMN...\n",
                            "    ui key DIALOG CONTROL [ctrl+][shift+]enter|escape|tab|space|left|right|pgup|pgdn, or "
                            "DIALOG LIST ROW\n"})
    EXPECT_NE(help.find(usage), std::string::npos) << usage;
  // Each usage is the one the parser names when an argument is missing.
  EXPECT_NE(ErrorOf("ui type 13002").find("(usage: ui type DIALOG CONTROL TEXT)"), std::string::npos);
  EXPECT_NE(ErrorOf("join bob").find("(usage: join NAME IP PORT LINE FILES)"), std::string::npos);
}

namespace {

// The table entry a `ui` line was parsed to, by its name; empty when it did not parse.
std::string_view ActionOf(const UiCommand& ui) { return ui.action != nullptr ? ui.action->name : ""; }

// The key a `ui key` line presses, with the modifier keys held.
UiKeyPress PressedBy(std::string_view line) {
  const auto ui = ParseAs<UiCommand>(line);
  EXPECT_TRUE(ui.values.key.has_value()) << line << " selects a row instead";
  return ui.values.key.value_or(UiKeyPress{UiKey::Enter, UiKeys::None});
}

}  // namespace

TEST(ZelkorScriptParser, DriverActions) {
  auto ui = ParseAs<UiCommand>("ui show 13000");
  EXPECT_EQ(ActionOf(ui), "show");
  EXPECT_EQ(ui.values.window, 13000);
  EXPECT_FALSE(ui.values.all);
  ui = ParseAs<UiCommand>("ui show all");
  EXPECT_TRUE(ui.values.all);
  EXPECT_FALSE(ui.values.window) << "no window to look for";
  EXPECT_NE(ErrorOf("ui show everything").find("bad DIALOG"), std::string::npos);

  ui = ParseAs<UiCommand>("ui click 13002 13019");
  EXPECT_EQ(ActionOf(ui), "click");
  EXPECT_EQ(ui.values.control, 13019);
  EXPECT_EQ(ActionOf(ParseAs<UiCommand>("ui clear 13002 13018")), "clear");

  ui = ParseAs<UiCommand>("ui row 13000 13000 -1");
  EXPECT_EQ(ActionOf(ui), "row");
  EXPECT_EQ(ui.values.row, -1);
  EXPECT_EQ(ui.values.column, 0);
  EXPECT_EQ(ui.action->held, UiKeys::None);
  ui = ParseAs<UiCommand>("ui row+ctrl 13002 13030 2 1");
  EXPECT_EQ(ui.action->held, UiKeys::Control);
  EXPECT_EQ(ui.values.row, 2);
  EXPECT_EQ(ui.values.column, 1);
  EXPECT_EQ(ParseAs<UiCommand>("ui row+shift 13002 13030 0").action->held, UiKeys::Shift);
  EXPECT_EQ(ActionOf(ParseAs<UiCommand>("ui rclick 13000 13000 3")), "rclick");
  ui = ParseAs<UiCommand>("ui dblclick 13000 13000 1 2");
  EXPECT_EQ(ActionOf(ui), "dblclick");
  EXPECT_EQ(ui.values.column, 2);
  ui = ParseAs<UiCommand>("ui key 13000 13000 4");
  EXPECT_EQ(ActionOf(ui), "key");
  EXPECT_FALSE(ui.values.key) << "a row number selects that row";
  EXPECT_EQ(ui.values.row, 4);
  ui = ParseAs<UiCommand>("ui key 13002 13028 escape");
  EXPECT_EQ(ui.values.control, 13028);
  EXPECT_EQ(PressedBy("ui key 13002 13028 escape").key, UiKey::Escape);
  EXPECT_EQ(PressedBy("ui key 13003 13026 space").key, UiKey::Space);
  EXPECT_EQ(PressedBy("ui key 13001 1 ctrl+shift+tab").key, UiKey::Tab);
  EXPECT_EQ(PressedBy("ui key 13001 1 ctrl+shift+tab").held, UiKeys::ControlShift);
  EXPECT_EQ(PressedBy("ui key 13001 1 ctrl+pgdn").held, UiKeys::Control);
  EXPECT_EQ(PressedBy("ui key 13001 13001 right").key, UiKey::Right);
  EXPECT_NE(ErrorOf("ui key 13001 1 shift+ctrl+tab").find("unknown key"), std::string::npos);
  EXPECT_NE(ErrorOf("ui key 13002 13028 home").find("unknown key \"home\""), std::string::npos);
  EXPECT_NE(ErrorOf("ui key 13002 13028 enter 1").find("unexpected text"), std::string::npos);

  ui = ParseAs<UiCommand>("ui tab 13001 13001 1");
  EXPECT_EQ(ActionOf(ui), "tab");
  EXPECT_EQ(ui.values.index, 1);
  EXPECT_EQ(ActionOf(ParseAs<UiCommand>("ui pick 13007 13029 0")), "pick");
  EXPECT_EQ(ActionOf(ParseAs<UiCommand>("ui enter 13001")), "enter");
  EXPECT_EQ(ActionOf(ParseAs<UiCommand>("ui escape 13001")), "escape");
  EXPECT_EQ(ActionOf(ParseAs<UiCommand>("ui close 13007")), "close");
  EXPECT_NE(ErrorOf("ui close 13007 1").find("unexpected text"), std::string::npos);

  ui = ParseAs<UiCommand>("ui resize 13000 640 200");
  EXPECT_EQ(ui.values.width, 640);
  EXPECT_EQ(ui.values.height, 200);
  EXPECT_EQ(ParseAs<UiCommand>("ui menu 32771").values.command, 32771);
  EXPECT_EQ(ActionOf(ParseAs<UiCommand>("ui dismiss")), "dismiss");

  ui = ParseAs<UiCommand>(U8(u8"ui folder /tmp/ログ 置き場"));
  EXPECT_EQ(ActionOf(ui), "folder");
  EXPECT_EQ(ui.values.folder, std::optional<std::string>("/tmp/ログ 置き場"));
  EXPECT_EQ(ParseAs<UiCommand>("ui folder cancel").values.folder, std::nullopt);
  EXPECT_NE(ErrorOf("ui folder").find("missing PATH"), std::string::npos);

  ui = ParseAs<UiCommand>("ui columns 13000 13000 2 0 1");
  EXPECT_EQ(ui.values.order, (std::vector<int>{2, 0, 1}));
  EXPECT_NE(ErrorOf("ui columns 13000 13000").find("missing COLUMN"), std::string::npos);

  // The control is optional: without it the window itself is meant.
  EXPECT_FALSE(ParseAs<UiCommand>("ui where 13001").values.control);
  EXPECT_EQ(ParseAs<UiCommand>("ui where 13001 5").values.control, 5);
}

TEST(ZelkorConsoleDesktop, LaunchTargets) {
  EXPECT_EQ(LaunchTarget("www.example.com/a"), "http://www.example.com/a");
  EXPECT_EQ(LaunchTarget("WWW.example.com"), "http://WWW.example.com");
  EXPECT_EQ(LaunchTarget("http://www.example.com"), "http://www.example.com");
  EXPECT_EQ(LaunchTarget("/home/u/EventLog.html"), "/home/u/EventLog.html");
  EXPECT_EQ(LaunchTarget("--version"), "./--version");  // never an option to xdg-open
}

// --- sessions with the real module ---

namespace {

class ZelkorSession : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zelkor-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home = pattern;
    fx::SetHostProgramPath(home + "/zelkor");
  }
  void TearDown() override {
    fx::SetFixedLocalTime(std::nullopt);
    fx::ClearHostProgramPath();
    std::error_code ignored;
    fs::remove_all(home, ignored);
  }

  // Runs the script through a fresh runner; the transcript and the messages are kept.
  int Run(const std::string& script, const std::string& plugin = PELLIX_MODULE_PATH, bool onScreen = false) {
    std::ostringstream out, err;
    Transcript transcript(out);
    ConsoleDesktop console(transcript, err, false);
    ScreenDesktop screen(transcript, err);
    ConsoleDesktop& desktop = onScreen ? screen : console;
    std::istringstream in(script);
    int status;
    {
      SessionRunner runner(plugin, transcript, desktop);
      status = RunScript(in, runner, err, ScriptOptions{});
    }
    transcript_ = out.str();
    errors = err.str();
    return status;
  }

  std::string ReadFile(const std::string& name) const {
    std::ifstream in(home + "/" + name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }

  std::string home;
  std::string transcript_;
  std::string errors;
};

}  // namespace

TEST_F(ZelkorSession, TranscriptShowsEventsAndWhatThePluginDoes) {
  ASSERT_EQ(Run(U8(u8"clock 2026-01-03 09:05:07\n"
                   u8"ui click 13002 13019\n"
                   u8"join \"guest one#00000001\" 192.168.0.10 6699 9 12\n"
                   u8"rename alice#00000001 アリス#00000001 127.0.0.1 6699\n"
                   u8"chat! 管理］root#00000009 hi\n"
                   u8"say hello there\n"
                   u8"say #start\n"
                   u8"say #start\n"
                   u8"exit\n")),
            kExitOk)
      << errors;
  EXPECT_EQ(transcript_, U8(u8"* loaded Pellix Ver.1.6b\n"
                            u8"* join guest one#00000001 192.168.0.10:6699 line 9 files 12\n"
                            u8"[sent] guest one さん、こんにちは！\n"
                            u8"* rename alice#00000001 -> アリス#00000001 127.0.0.1:6699\n"
                            u8"[echo #FFFF00] ［09時05分07秒］[alice] は [アリス] に改名しました。\n"
                            u8"<管理］root#00000009>! hi\n"
                            u8"> hello there\n"
                            u8"[beep]\n"
                            u8"[not sent] #start\n"
                            u8"[beep]\n"
                            u8"[message box: Zelkor] ログは既に記録中です！\n"
                            u8"[not sent] #start\n"
                            u8"* exit\n"
                            u8"* shut down\n"));
  EXPECT_EQ(errors, "");
}

namespace {

struct Where {
  int left, top, width, height;
  bool Contains(const Where& inner) const {
    return inner.left >= left && inner.top >= top && inner.left + inner.width <= left + width &&
           inner.top + inner.height <= top + height;
  }
};

// The rectangle of the last transcript line that starts with `label`.
std::optional<Where> FindWhere(const std::string& transcript, const std::string& label) {
  const std::size_t at = transcript.rfind(label + " ");
  if (at == std::string::npos) return std::nullopt;
  Where where{};
  std::istringstream numbers(transcript.substr(at + label.size()));
  if (!(numbers >> where.left >> where.top >> where.width >> where.height)) return std::nullopt;
  return where;
}

}  // namespace

TEST_F(ZelkorSession, WhereGivesScreenRectanglesAndSaysWhatIsNotOnScreen) {
  ASSERT_EQ(Run("ui where 13001\n"
                "ui where 13001 13001\n"
                "ui where 13003 13010\n"
                "ui tab 13001 13001 1\n"
                "ui where 13003\n"
                "ui where 13003 13010\n"
                "ui where 13003 4242\n"
                "ui where 13999 1\n"
                "ui close 13007\n"
                "ui where 13007 1\n"),
            kExitOk)
      << errors;
  const auto settings = FindWhere(transcript_, "[where 13001]");
  const auto tabs = FindWhere(transcript_, "[where 13001 13001]");
  const auto page = FindWhere(transcript_, "[where 13003]");
  const auto browse = FindWhere(transcript_, "[where 13003 13010]");
  ASSERT_TRUE(settings && tabs && page && browse) << transcript_;
  EXPECT_GT(browse->width, 0);
  EXPECT_GT(browse->height, 0);
  EXPECT_TRUE(settings->Contains(*tabs));
  EXPECT_TRUE(settings->Contains(*page));
  EXPECT_TRUE(page->Contains(*browse)) << "a control is placed inside the windows around it";
  EXPECT_NE(transcript_.find("[where 13003 13010] hidden: not on the screen\n"), std::string::npos)
      << "the event-log page is not shown before its tab is chosen";
  EXPECT_NE(transcript_.find("[where 13003 4242] window 13003 has no control 4242\n"), std::string::npos);
  EXPECT_NE(transcript_.find("[where 13999 1] no window made from template 13999\n"), std::string::npos);
  EXPECT_NE(transcript_.find("[where 13007 1] hidden: not on the screen\n"), std::string::npos);
}

TEST(ScreenDesktop, ABoxAnswerIsNamedByItsButton) {
  EXPECT_EQ(MessageBoxAnswerName(1), "OK");
  EXPECT_EQ(MessageBoxAnswerName(2), "Cancel");
  EXPECT_EQ(MessageBoxAnswerName(6), "Yes");
  EXPECT_EQ(MessageBoxAnswerName(7), "No");
  EXPECT_EQ(MessageBoxAnswerName(0), "not shown");
  EXPECT_EQ(MessageBoxAnswerName(-1), "not shown");
  EXPECT_EQ(MessageBoxAnswerName(11), "button 11");
}

TEST_F(ZelkorSession, OnTheScreenABoxLineHasItsAnswerAndThePickerIsNotScripted) {
  ASSERT_EQ(Run("say #start\nsay #start\n", PELLIX_MODULE_PATH, true), kExitOk) << errors;
  EXPECT_NE(transcript_.find(U8(u8"[message box: Zelkor] ログは既に記録中です！ -> OK\n")), std::string::npos)
      << transcript_;

  EXPECT_EQ(Run("ui folder /tmp\n", PELLIX_MODULE_PATH, true), kExitBadInput);
  EXPECT_EQ(errors, "zelkor: line 1: the folder picker is on the screen (--desktop screen): choose the folder there\n");
  EXPECT_EQ(Run("ui folder /tmp\n"), kExitOk) << "a printed picker takes its answer from the script";
  EXPECT_EQ(Run("ui menu 32771\n", PELLIX_MODULE_PATH, true), kExitBadInput);
  EXPECT_EQ(errors, "zelkor: line 1: popup menus are on the screen (--desktop screen): choose there\n");
}

TEST_F(ZelkorSession, LeadingClockLinesHoldBeforeThePluginStarts) {
  // With AutoLog on, the plug-in starts recording in OnInitPlugin, so the start row shows the
  // time the script fixed before anything else.
  std::ofstream(home + "/Pellix.ini") << "[LogSwitch]\r\nAutoLog=1\r\nHtml=0\r\n";
  ASSERT_EQ(Run("# first a comment\n\nclock 2026-02-03 04:05:06\nui show 13000\n"), kExitOk) << errors;
  EXPECT_NE(transcript_.find(U8(u8"| 04:05:06 | 開始 | EventLog[02月03日04時05分06秒].txt |")), std::string::npos)
      << transcript_;
  EXPECT_TRUE(fs::exists(home + U8(u8"/EventLog[02月03日04時05分06秒].txt")));
}

TEST_F(ZelkorSession, MalformedLineStopsTheRunAfterAnOrderlyShutdown) {
  ASSERT_EQ(Run("say first\nsay second\njoin bob 1.2.3 6699 9 1\nsay never\n"), kExitBadInput);
  EXPECT_EQ(errors, "zelkor: line 3: bad IP \"1.2.3\" (expected four numbers 0-255 as in 192.168.0.10)\n");
  EXPECT_EQ(transcript_, "* loaded Pellix Ver.1.6b\n> first\n> second\n* shut down\n");
  // The shutdown saved the settings.
  EXPECT_NE(ReadFile("Pellix.ini"), "");

  ASSERT_EQ(Run("\n# nothing yet\nfrobnicate\n"), kExitBadInput);
  EXPECT_EQ(errors, "zelkor: line 3: unknown command \"frobnicate\" (known: join leave rename chat chat! say clock exit ui help)\n");
  EXPECT_EQ(transcript_, "");
}

TEST_F(ZelkorSession, DriverActionsThatCannotBeDoneAreLineErrors) {
  ASSERT_EQ(Run("say hi\nui click 13999 1\n"), kExitBadInput);
  EXPECT_EQ(errors, "zelkor: line 2: no window made from template 13999\n");
  ASSERT_EQ(Run("ui click 13002 4242\n"), kExitBadInput);
  EXPECT_EQ(errors, "zelkor: line 1: window 13002 has no control 4242\n");
  // The event-log page is behind the other tab.
  ASSERT_EQ(Run("ui click 13003 13026\n"), kExitBadInput);
  EXPECT_NE(errors.find("zelkor: line 1: cannot act on control 13026 of window 13003"), std::string::npos) << errors;
  ASSERT_EQ(Run("ui tab 13001 13001 1\nui click 13003 13026\n"), kExitOk) << errors;
  ASSERT_EQ(Run("ui menu 32771\n"), kExitBadInput);
  EXPECT_EQ(errors, "zelkor: line 1: no popup menu is open\n");
  ASSERT_EQ(Run("ui dismiss\n"), kExitBadInput);
  EXPECT_EQ(errors, "zelkor: line 1: no popup menu is open\n");
  // An action on the window itself names no control.
  ASSERT_EQ(Run("ui close 13007\nui close 13007\n"), kExitBadInput);
  EXPECT_NE(errors.find("zelkor: line 2: cannot act on window 13007: hidden"), std::string::npos) << errors;
}

TEST_F(ZelkorSession, KeysArePressedInAControlAndRefusedForHiddenOrMissingOnes) {
  // Enter in the keyword edit neither adds the rule nor hides the window; Escape in the URL
  // field hides the URL window, so a key aimed at it next is a line error.
  ASSERT_EQ(Run("ui type 13002 13028 hello\nui type 13002 13029 hi\nui key 13002 13028 enter\n"
                "ui key 13002 13028 escape\nui show 13002\nui key 13007 13029 escape\nui key 13007 13029 enter\n"),
            kExitBadInput);
  EXPECT_NE(transcript_.find("edit 13028 \"hello\""), std::string::npos) << transcript_;
  EXPECT_EQ(transcript_.find("(hidden)"), std::string::npos) << transcript_;
  EXPECT_NE(errors.find("zelkor: line 7: cannot act on control 13029 of window 13007"), std::string::npos) << errors;
  ASSERT_EQ(Run("ui key 13002 4242 tab\n"), kExitBadInput);
  EXPECT_EQ(errors, "zelkor: line 1: window 13002 has no control 4242\n");
}

TEST_F(ZelkorSession, PopupMenusAreShownWhenTheyOpenAndChosenByCommand) {
  ASSERT_EQ(Run("clock 2026-01-03 09:05:07\nsay #event\njoin a 1.2.3.4 5 6 7\nui rclick 13000 13000 0\n"
                "ui menu 32771\nui menu 32771\n"),
            kExitBadInput);
  const std::string menu = U8(u8"[menu]\n  32771 全てコピー(&C)\n  ---\n  32772 ログクリア(&D)\n");
  EXPECT_NE(transcript_.find(menu + U8(u8"[clipboard] | 09:05:07 | 入室 |")), std::string::npos) << transcript_;
  // Choosing closed the menu.
  EXPECT_EQ(errors, "zelkor: line 6: no popup menu is open\n");

  // Looking at a window or answering the picker leaves the menu as it was; a menu after another
  // action may be a new one, and is shown again.
  ASSERT_EQ(Run("say #event\njoin a 1.2.3.4 5 6 7\nui rclick 13000 13000 0\nui show 13000\nui folder cancel\n"
                "ui where 13000\n"),
            kExitOk)
      << errors;
  std::size_t shown = 0;
  for (std::size_t at = transcript_.find(menu); at != std::string::npos; at = transcript_.find(menu, at + 1)) ++shown;
  EXPECT_EQ(shown, 2u) << transcript_;
  EXPECT_TRUE(transcript_.ends_with(menu + "* shut down\n")) << transcript_;
}

TEST_F(ZelkorSession, FolderPickerTakesTheQueuedAnswers) {
  fs::create_directory(home + U8(u8"/ログ"));
  ASSERT_EQ(Run("ui tab 13001 13001 1\nui folder " + home + U8(u8"/ログ/\n") +
                "ui click 13003 13010\nui folder cancel\nui click 13003 13010\nui click 13003 13010\n"),
            kExitOk)
      << errors;
  const std::string title = U8(u8"[folder picker] ログ保存先を指定してください -> ");
  EXPECT_NE(transcript_.find(title + home + U8(u8"/ログ\n") + title + "cancel\n" + title + "cancel\n"),
            std::string::npos)
      << transcript_;
}

TEST_F(ZelkorSession, HelpNeedsNoPluginAndGoesWithTheMessages) {
  ASSERT_EQ(Run("help\n", home + "/missing.so"), kExitCannotRun);  // the end still starts it
  EXPECT_EQ(errors.substr(0, ScriptHelp().size()), ScriptHelp());
  ASSERT_EQ(Run("say hi\nhelp\nsay there\n"), kExitOk);
  EXPECT_EQ(transcript_, "* loaded Pellix Ver.1.6b\n> hi\n> there\n* shut down\n");
  EXPECT_EQ(errors, ScriptHelp());
}

// `exit` ends the session as the host's exit does: the settings are saved, the windows closed
// and the module unloaded; a later line changes nothing, and each is reported as ignored.
TEST_F(ZelkorSession, ExitEndsTheSessionAndLaterLinesAreReportedAsIgnored) {
  ASSERT_EQ(Run("ui click 13001 13020\nexit\nui tab 13001 13001 1\n\n# a comment\nui click 13003 13024\n"
                "ui type 13003 13008 watcher\nfrobnicate\n"),
            kExitOk);
  EXPECT_EQ(transcript_, "* loaded Pellix Ver.1.6b\n* exit\n* shut down\n");
  EXPECT_EQ(errors,
            "zelkor: line 3: ignored: the session ended with exit on line 2\n"
            "zelkor: line 6: ignored: the session ended with exit on line 2\n"
            "zelkor: line 7: ignored: the session ended with exit on line 2\n"
            "zelkor: line 8: ignored: the session ended with exit on line 2\n");
  const std::string ini = ReadFile("Pellix.ini");
  EXPECT_NE(ini.find("SetDlg=1\r\n"), std::string::npos) << ini;  // changed before exit: saved
  EXPECT_NE(ini.find("EventDlg=0\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("CheckUser=\r\n"), std::string::npos) << ini;

  // The save is the one of the shutdown: a rule added before exit is in the file.
  fs::remove(home + "/Pellix.ini");  // shows the settings window again
  ASSERT_EQ(Run("ui type 13002 13028 hi\nui type 13002 13029 hello\nui click 13002 13032\nexit\n"), kExitOk)
      << errors;
  EXPECT_NE(ReadFile("Pellix.ini").find("ReactNum=1"), std::string::npos) << ReadFile("Pellix.ini");
}

namespace {

// Standard input that notes what the session had done when the first line was asked for.
class WatchedInput : public std::streambuf {
 public:
  WatchedInput(std::string text, std::function<void()> onFirstRead) : m_text(std::move(text)), m_onFirstRead(std::move(onFirstRead)) {}

 protected:
  int_type underflow() override {
    if (m_onFirstRead) {
      m_onFirstRead();
      m_onFirstRead = nullptr;
      setg(m_text.data(), m_text.data(), m_text.data() + m_text.size());
    }
    return gptr() < egptr() ? traits_type::to_int_type(*gptr()) : traits_type::eof();
  }

 private:
  std::string m_text;
  std::function<void()> m_onFirstRead;
};

}  // namespace

// At a terminal the plug-in starts before the first line is typed: its windows and the
// start-up recording are there, and the prompt says so. `exit` ends the run at once.
TEST_F(ZelkorSession, AtATerminalThePluginStartsBeforeTheFirstLine) {
  std::ofstream(home + "/Pellix.ini") << "[LogSwitch]\r\nAutoLog=1\r\nHtml=0\r\n";
  fx::SetFixedLocalTime(fx::LocalTime{2026, 1, 3, 9, 5, 7});
  std::ostringstream out, err;
  Transcript transcript(out);
  ConsoleDesktop desktop(transcript, err, false);
  std::string transcriptAtFirstRead, errorsAtFirstRead;
  bool recordingAtFirstRead = false;
  WatchedInput input("ui show 13000\nbogus\n#end\nexit\nsay never\n", [&] {
    transcriptAtFirstRead = out.str();
    errorsAtFirstRead = err.str();
    recordingAtFirstRead = fs::exists(home + U8(u8"/EventLog[01月03日09時05分07秒].txt"));
  });
  std::istream in(&input);
  ScriptOptions options;
  options.interactive = true;
  int status;
  {
    SessionRunner runner(PELLIX_MODULE_PATH, transcript, desktop);
    status = RunScript(in, runner, err, options);
  }
  EXPECT_EQ(status, kExitOk);
  EXPECT_EQ(transcriptAtFirstRead, "* loaded Pellix Ver.1.6b\n");
  EXPECT_TRUE(recordingAtFirstRead);
  EXPECT_NE(errorsAtFirstRead.find("the plug-in is running"), std::string::npos) << errorsAtFirstRead;
  EXPECT_NE(errorsAtFirstRead.find("help lists them"), std::string::npos) << errorsAtFirstRead;
  EXPECT_TRUE(errorsAtFirstRead.ends_with("zelkor> ")) << errorsAtFirstRead;
  // A malformed line is reported and the run goes on; nothing after exit is read.
  EXPECT_NE(err.str().find("zelkor> zelkor: line 2: unknown command"), std::string::npos) << err.str();
  EXPECT_NE(out.str().find(U8(u8"| 09:05:07 | 開始 |")), std::string::npos) << out.str();
  // A line typed as "#end" is what the person says in the chat input, not a comment.
  EXPECT_TRUE(out.str().ends_with("[not sent] #end\n* exit\n* shut down\n")) << out.str();
  EXPECT_EQ(err.str().find("ignored"), std::string::npos) << err.str();
}

TEST_F(ZelkorSession, APluginThatCannotBeLoadedIsReported) {
  ASSERT_EQ(Run("say hi\n", home + "/missing.so"), kExitCannotRun);
  EXPECT_NE(errors.find("zelkor: cannot load the plug-in " + home + "/missing.so"), std::string::npos) << errors;
  EXPECT_EQ(transcript_, "");
  // Even an empty script starts the plug-in, so its absence is never silent.
  ASSERT_EQ(Run("", home + "/missing.so"), kExitCannotRun);
}

// --- the program ---

namespace {

std::string ProgramPath() { return (fs::read_symlink("/proc/self/exe").parent_path() / "zelkor").string(); }

struct ProgramRun {
  int status = -1;  // exit status, or 128 + signal
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// Runs zelkor with `input` on its standard input; output is captured through files.
ProgramRun RunProgram(std::vector<std::string> args, const std::string& input, const std::string& scratch,
                      const std::string& pathPrefix = "", const std::string& program = ProgramPath()) {
  const std::string inPath = scratch + "/stdin", outPath = scratch + "/stdout", errPath = scratch + "/stderr";
  std::ofstream(inPath, std::ios::binary) << input;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string variable = *entry;
    if (!pathPrefix.empty() && variable.starts_with("PATH=")) variable.insert(5, pathPrefix + ":");
    environment.push_back(std::move(variable));
  }
  std::vector<char*> envp;
  for (auto& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  pid_t child = 0;
  ProgramRun run;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = Slurp(outPath);
  run.err = Slurp(errPath);
  return run;
}

}  // namespace

class ZelkorProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zelkor-prog-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch = pattern;
    home = scratch + "/home";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
  }
  std::string scratch, home;
};

TEST_F(ZelkorProgram, ReadsStandardInputAndListsTheHomeFolder) {
  const ProgramRun run = RunProgram({"--home", home, "--list-files"},
                                    "clock 2026-01-03 09:05:07\nsay #start\nchat bob hi\nsay #end\n", scratch);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");  // no prompt when standard input is not a terminal
  EXPECT_NE(run.out.find(U8(u8"<bob> hi\n")), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(U8(u8"* shut down\n[files] EventLog[01月03日09時05分07秒].html\n[files] Pellix.ini\n")),
            std::string::npos)
      << run.out;
  EXPECT_TRUE(fs::is_regular_file(home + "/Pellix.ini"));
}

TEST_F(ZelkorProgram, ExitStatuses) {
  EXPECT_EQ(RunProgram({"--help"}, "", scratch).status, 0);
  EXPECT_NE(RunProgram({"--help"}, "", scratch).out.find("usage: zelkor"), std::string::npos);

  ProgramRun run = RunProgram({"--bogus"}, "", scratch);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("zelkor: unknown option --bogus"), std::string::npos);
  EXPECT_EQ(RunProgram({"--home"}, "", scratch).status, 2);
  EXPECT_EQ(RunProgram({"a.session", "b.session"}, "", scratch).status, 2);

  run = RunProgram({"--home", home, "--plugin", scratch + "/nowhere.so"}, "say hi\n", scratch);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("zelkor: no plug-in module at " + scratch + "/nowhere.so"), std::string::npos) << run.err;

  std::ofstream(scratch + "/not-a-module.so") << "text";
  run = RunProgram({"--home", home, "--plugin", scratch + "/not-a-module.so"}, "say hi\n", scratch);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("zelkor: cannot load the plug-in"), std::string::npos) << run.err;

  run = RunProgram({"--desktop", "sideways"}, "", scratch);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("zelkor: --desktop is console or screen, not sideways"), std::string::npos) << run.err;
  run = RunProgram({"--desktop=screen"}, "", scratch);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--desktop screen needs zelkor.exe on Windows"), std::string::npos) << run.err;
  run = RunProgram({"--home", home, "--desktop", "console"}, "say #start\nsay #start\n", scratch);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(U8(u8"[message box: Zelkor] ログは既に記録中です！\n")), std::string::npos) << run.out;

  run = RunProgram({"--home", home, scratch + "/no-such.session"}, "", scratch);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot read the script"), std::string::npos);

  run = RunProgram({"--home", home}, "say ok\nchat bob\nleave bob 1.2.3.4\n", scratch);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "zelkor: line 3: missing PORT (usage: leave NAME IP PORT)\n");
  EXPECT_TRUE(fs::is_regular_file(home + "/Pellix.ini"));  // shut down in order

  // A home folder the plug-in could not name in Shift-JIS is refused before anything runs.
  run = RunProgram({"--home", scratch + "/" + kEmoji}, "say hi\n", scratch);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("Shift-JIS"), std::string::npos);
  EXPECT_FALSE(fs::exists(scratch + "/" + kEmoji));
}

// Without --home the files go beside the program: a folder whose name Shift-JIS cannot hold is
// refused with a message, where the plug-in would have written nothing and said nothing.
TEST_F(ZelkorProgram, AProgramFolderShiftJisCannotNameIsRefused) {
  const fs::path built = fs::path(ProgramPath()).parent_path();
  const std::string script = "clock 2026-01-03 09:05:07\nsay #start\nchat bob hi\n";
  const std::string cafe = scratch + "/caf" + kEAcute;  // U+00E9: not in Shift-JIS
  for (const std::string& folder : {"caf" + kEAcute, std::string("cafe")}) {
    const fs::path copy = fs::path(scratch) / folder;
    fs::create_directory(copy);
    fs::copy_file(built / "zelkor", copy / "zelkor");
    fs::copy_file(built / "Pellix.so", copy / "Pellix.so");
  }
  ProgramRun run = RunProgram({}, script, scratch, "", cafe + "/zelkor");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Shift-JIS"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(cafe), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("--home DIR"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(cafe))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Pellix.so", "zelkor"}));
  // --home takes the files elsewhere.
  run = RunProgram({"--home", home}, script, scratch, "", cafe + "/zelkor");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::exists(home + U8(u8"/EventLog[01月03日09時05分07秒].html")));

  run = RunProgram({}, script, scratch, "", (fs::path(scratch) / "cafe" / "zelkor").string());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_regular_file(scratch + "/cafe/Pellix.ini"));
  EXPECT_TRUE(fs::exists(scratch + U8(u8"/cafe/EventLog[01月03日09時05分07秒].html")));
}

// At a terminal: the plug-in runs before the first line is typed, `help` answers, `exit` ends.
TEST_F(ZelkorProgram, AtATerminalHelpAndExit) {
  fs::create_directory(home);
  std::ofstream(home + "/Pellix.ini") << "[LogSwitch]\r\nAutoLog=1\r\n";
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string program = ProgramPath();
    execl(program.c_str(), program.c_str(), "--home", home.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // What the terminal shows, up to `until` (empty: until the program ends).
  std::string screen;
  const auto readUntil = [&](const std::string& until, std::size_t from) {
    char buffer[512];
    while (until.empty() || screen.find(until, from) == std::string::npos) {
      pollfd ready{terminal, POLLIN, 0};
      if (poll(&ready, 1, 20000) <= 0) return false;
      const ssize_t got = read(terminal, buffer, sizeof buffer);
      if (got <= 0) return false;
      screen.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
  };
  const auto type = [&](const std::string& line) {
    return write(terminal, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  };
  ASSERT_TRUE(readUntil("zelkor> ", 0)) << screen;
  EXPECT_NE(screen.find("* loaded Pellix Ver.1.6b"), std::string::npos) << screen;
  EXPECT_NE(screen.find("help lists them"), std::string::npos) << screen;
  bool recording = false;
  for (const auto& entry : fs::directory_iterator(home)) recording |= entry.path().filename().string().starts_with("EventLog[");
  EXPECT_TRUE(recording);  // started by the plug-in before any line was typed

  std::size_t mark = screen.size();
  ASSERT_TRUE(type("help\n"));
  ASSERT_TRUE(readUntil("zelkor> ", mark + 1)) << screen;
  EXPECT_NE(screen.find("ui columns DIALOG LIST COLUMN...", mark), std::string::npos) << screen;
  mark = screen.size();
  ASSERT_TRUE(type("exit\n"));
  readUntil("", mark);
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  close(terminal);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_NE(screen.find("* exit", mark), std::string::npos) << screen;
  EXPECT_NE(screen.find("* shut down", mark), std::string::npos) << screen;
  EXPECT_TRUE(fs::is_regular_file(home + "/Pellix.ini"));
}

// From standard input, `exit` ends the program even while the writer holds the pipe open.
TEST_F(ZelkorProgram, ExitEndsTheProgramWhileItsInputStaysOpen) {
  const std::string fifo = scratch + "/input";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int writer = open(fifo.c_str(), O_RDWR);  // a writer that stays, without waiting for a reader
  ASSERT_GE(writer, 0);
  const std::string lines = "say #end\nexit\nsay never\n";
  ASSERT_EQ(write(writer, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, fifo.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, (scratch + "/out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::string program = ProgramPath(), homeOption = "--home";
  char* argv[] = {program.data(), homeOption.data(), home.data(), nullptr};
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, argv[0], &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  int status = -1;
  pid_t ended = 0;
  for (int tries = 0; tries < 200 && ended == 0; ++tries) {
    ended = waitpid(child, &status, WNOHANG);
    if (ended == 0) usleep(50000);
  }
  if (ended == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  close(writer);
  ASSERT_EQ(ended, child) << "still running 10 s after exit";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(Slurp(scratch + "/out").ends_with("[not sent] #end\n* exit\n* shut down\n")) << Slurp(scratch + "/out");
}

TEST_F(ZelkorProgram, OpenHandsTheTargetToXdgOpenAsOneArgument) {
  // A stand-in xdg-open that writes down the arguments it was given, one per line.
  const std::string bin = scratch + "/bin", record = scratch + "/opened";
  fs::create_directory(bin);
  std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << record << ".tmp' && mv '" << record
                                   << ".tmp' '" << record << "'\n";
  fs::permissions(bin + "/xdg-open", fs::perms::owner_all);
  const std::string script = "chat bob see www.example.org/a;b$(id)&c=`id`|x now\nui click 13007 1\n";

  ProgramRun run = RunProgram({"--home", home}, script, scratch, bin);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("[open] www.example.org/a;b$(id)&c=`id`|x\n"), std::string::npos) << run.out;
  EXPECT_FALSE(fs::exists(record));  // printed only, without --open

  run = RunProgram({"--open", "--home", home}, script, scratch, bin);
  ASSERT_EQ(run.status, 0) << run.err;
  for (int wait = 0; wait < 500 && !fs::exists(record); ++wait) usleep(10000);
  // One argument, as it was: no command interpreter split or expanded it.
  EXPECT_EQ(Slurp(record), "http://www.example.org/a;b$(id)&c=`id`|x\n");
}

TEST_F(ZelkorProgram, TerminationSignalEndsTheSessionInOrder) {
  int toChild[2], fromChild[2];
  ASSERT_EQ(pipe(toChild), 0);
  ASSERT_EQ(pipe(fromChild), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
  posix_spawn_file_actions_addclose(&actions, toChild[1]);
  posix_spawn_file_actions_addclose(&actions, fromChild[0]);
  std::vector<std::string> args = {ProgramPath(), "--home", home};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(toChild[0]);
  close(fromChild[1]);

  const std::string line = "say still here\n";
  ASSERT_EQ(write(toChild[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
  // Wait until the line has run: the session is then waiting for the next one.
  std::string out;
  char buffer[256];
  while (out.find("> still here\n") == std::string::npos) {
    const ssize_t got = read(fromChild[0], buffer, sizeof buffer);
    if (got <= 0) break;
    out.append(buffer, static_cast<std::size_t>(got));
  }
  kill(child, SIGTERM);
  for (ssize_t got; (got = read(fromChild[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(got));
  int status = 0;
  waitpid(child, &status, 0);
  close(toChild[1]);
  close(fromChild[0]);

  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
  EXPECT_EQ(out, "* loaded Pellix Ver.1.6b\n> still here\n* shut down\n");
  EXPECT_TRUE(fs::is_regular_file(home + "/Pellix.ini"));
}
