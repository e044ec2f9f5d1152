// The whole chat path: chat lines (name, text, flag) through the plug-in's OnChatMessage with
// settings and rules taken from the input, into an HTML or text log with or without the time
// prefix, and a rule row added, changed or deleted between the first line and the second. The
// plug-in's sources are linked into this program, so its live settings can be set directly
// between lines.
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "eventlog/EventLogDlg.h"
#include "eventlog/LogLines.h"
#include "fx/App.h"
#include "fx/Clock.h"
#include "fx/Module.h"
#include "fx/Sjis.h"
#include "handlers/AutoReact.h"
#include "plugin/PellixPlugin.h"
#include "settings/SettingDlg.h"
#include "urls/UrlDlg.h"
#include "zelkor/HostServices.h"

namespace {

class CheckingServices : public zelkor::HostServices {
 public:
  void InputMessage(ChannelId, std::string_view text) override {
    fuzz::Check(text.size() <= pellix::kResponseMaxBytes, "sent line longer than its limit", text);
    sent.emplace_back(text);
  }
  std::vector<std::string> sent;
  void EchoText(ChannelId, std::string_view, std::uint32_t) override {}
};

CheckingServices services;
CWnd mainWindow;
std::string home;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Every '<' of an HTML record line opens one of the plug-in's own tags; a '<' from chat would
// have been escaped. Chat values are escaped too, so no tag's attribute can hold '"', '<' or '>'.
// Every '&' begins a whole character reference, and every line, cut or not, ends in "<br>".
void CheckHtmlMarkup(std::string_view line) {
  fuzz::Check(line.ends_with("<br>"), "HTML log line without its <br>", line);
  for (std::size_t at = line.find('&'); at != std::string_view::npos; at = line.find('&', at + 1)) {
    const std::string_view reference = line.substr(at);
    fuzz::Check(StartsWith(reference, "&amp;") || StartsWith(reference, "&lt;") || StartsWith(reference, "&gt;") ||
                    StartsWith(reference, "&quot;"),
                "broken character reference in an HTML log line", line);
  }
  for (std::size_t at = line.find('<'); at != std::string_view::npos; at = line.find('<', at + 1)) {
    const std::string_view tag = line.substr(at);
    if (StartsWith(tag, "</font>") || StartsWith(tag, "<br>") || StartsWith(tag, "</a>")) continue;
    if (StartsWith(tag, "<font color=\"#") && tag.size() >= 21 &&
        (StartsWith(tag.substr(20), "\">") || StartsWith(tag.substr(20), "\" size=1>")))
      continue;
    if (StartsWith(tag, "<a href=\"")) {
      const std::size_t close = tag.find("\">");
      fuzz::Check(close != std::string_view::npos && tag.substr(9, close - 9).find_first_of("<>\"") == std::string_view::npos,
                  "link with an unescaped URL", line);
      continue;
    }
    fuzz::Fail("raw '<' from chat in an HTML log line", line);
  }
}

void CheckLog(std::string_view log, bool html, std::size_t prefixBytes, bool wellFormedInput) {
  if (html) {
    const std::size_t styleEnd = log.find("</style>\r\n");
    fuzz::Check(StartsWith(log, "<style") && styleEnd != std::string_view::npos, "HTML log without its style block", log);
    log.remove_prefix(styleEnd + 10);
  }
  while (!log.empty()) {
    const std::size_t end = log.find("\r\n");
    fuzz::Check(end != std::string_view::npos, "log line without CR LF", log);
    const std::string_view line = log.substr(0, end);
    log.remove_prefix(end + 2);
    fuzz::Check(line.find_first_of("\r\n") == std::string_view::npos, "line break inside a log line", line);
    fuzz::Check(line.size() + 2 <= prefixBytes + pellix::kLogLineMaxBytes, "log line longer than its limit", line);
    if (wellFormedInput) fuzz::Check(fuzz::WholeCharacters(line), "log line cut inside a character", line);
    if (html) CheckHtmlMarkup(line);
  }
}

void SetRules(fuzz::Fields& fields, unsigned count) {
  CListCtrl& rules = theSettingDlg.m_autoReactPage.m_reactList;
  rules.DeleteAllItems();
  for (unsigned i = 0; i < count; ++i) {
    const std::string keyword(fields.Next()), response(fields.Next());
    rules.InsertItem(static_cast<int>(i), keyword.c_str());
    rules.SetItemText(static_cast<int>(i), 1, response.c_str());
  }
}

// The answers to a line by the rows as they stand: every row whose keyword cell (as a cell is
// read, at most 1023 bytes) the character-wise search finds in the text, in row order.
std::vector<std::string> ExpectedAnswers(const char* name, const char* text) {
  std::vector<std::string> answers;
  const CAutoReactPage& page = theSettingDlg.m_autoReactPage;
  if (!page.AutoReact) return answers;
  char keyword[1024];
  for (int row = 0; row < page.m_reactList.GetItemCount(); ++row) {
    const int length = page.m_reactList.GetItemText(row, 0, keyword, sizeof keyword);
    if (!pellix::RuleMatches(text, std::string_view(keyword, static_cast<std::size_t>(length)))) continue;
    answers.push_back(pellix::ExpandResponse(page.m_reactList.GetItemText(row, 1).View(), name));
  }
  return answers;
}

void ChatAndCheckAnswers(const std::string& name, const std::string& text, std::uint32_t flag) {
  const std::vector<std::string> expected = ExpectedAnswers(name.c_str(), text.c_str());
  services.sent.clear();
  thePlugin.OnChatMessage(1, name.c_str(), text.c_str(), flag);
  fx::PumpMessages();
  fuzz::Check(services.sent == expected, "the rules answered otherwise than the search of the rows finds", text);
}

// One row added, changed (its keyword) or deleted, at a place taken from the input.
void EditRules(fuzz::Fields& fields) {
  CListCtrl& rules = theSettingDlg.m_autoReactPage.m_reactList;
  const unsigned what = fields.Byte();
  const int count = rules.GetItemCount();
  const int row = count == 0 ? 0 : static_cast<int>((what / 4) % static_cast<unsigned>(count));
  const std::string keyword(fields.Next());
  if (what % 4 == 0 || count == 0) {
    const int at = rules.InsertItem(row, keyword.c_str());
    rules.SetItemText(at, 1, std::string(fields.Next()).c_str());
  } else if (what % 4 == 1) {
    rules.DeleteItem(row);
  } else {
    rules.SetItemText(row, 0, keyword.c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/pellix-fuzz-chat-XXXXXX";
  const char* dir = mkdtemp(pattern);
  if (dir == nullptr) fuzz::Fail("no temporary folder");
  home = std::string(dir) + "/";
  fx::SetHostProgramPath(home + "zelkor");
  fx::SetFixedLocalTime(fx::LocalTime{2026, 1, 3, 9, 5, 7});
  zelkor::SetHostServices(&services);
  mainWindow.CreateTopLevel("Zelkor", 640, 480);
  fx::SetMainWindow(&mainWindow);
  thePlugin.OnInitPlugin();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Fields fields(data, size);
  const unsigned switches = fields.Byte() | (fields.Byte() << 8);
  const unsigned ruleCount = fields.Byte() % 8;
  const std::uint32_t flag = fields.Byte() % 3;
  const std::string checkUser(fields.Next());
  const std::string name(fields.Next());
  const std::string text(fields.Next());
  SetRules(fields, ruleCount);

  CLogSettingPage& log = theSettingDlg.m_logSettingPage;
  log.Html = switches & 1;
  log.TimeStump = (switches >> 1) & 1;
  log.MessageLog = (switches >> 2) & 1;
  log.RCMSLog = (switches >> 3) & 1;
  log.URLLog = (switches >> 4) & 1;
  log.NameInclude = (switches >> 5) & 1;
  log.CheckUser = (switches >> 6) & 1 ? CString(checkUser) : CString();
  theSettingDlg.m_autoReactPage.AutoReact = (switches >> 7) & 1;
  theUrlDlg.m_bDuplicate = (switches >> 8) & 1;
  // The file form follows the settings captured at the start; the line form follows the live
  // Html setting, which may differ (bit 9).
  theEventLogDlg.StopLogging();
  const std::string path = log.Directory.Str() + pellix::LogFileName(fx::GetLocalTime(), log.Html != 0);
  ::unlink(fx::NativePath(path).c_str());
  if (!theEventLogDlg.StartLogging()) fuzz::Fail("cannot start logging");
  const bool htmlFile = log.Html != 0;
  const bool timeStump = log.TimeStump != 0;
  if ((switches >> 9) & 1) log.Html = !log.Html;

  ChatAndCheckAnswers(name, text, flag);
  EditRules(fields);
  const std::string secondText(fields.Next());
  const std::string& second = secondText.empty() ? text : secondText;
  ChatAndCheckAnswers(name, second, flag);

  const std::string prefix = timeStump ? pellix::LogTimePrefix(fx::GetLocalTime(), htmlFile, "#FFFFFF") : std::string();
  const bool wellFormed = fuzz::WholeCharacters(name) && fuzz::WholeCharacters(text) && fuzz::WholeCharacters(second);
  // Text lines in an HTML file carry chat's '<' raw: that mix is the user's choice.
  CheckLog(ReadAll(fx::NativePath(path)), htmlFile && log.Html != 0, prefix.size(), wellFormed);
  theEventLogDlg.m_eventList.DeleteAllItems();
  return 0;
}
