// Loading and saving the settings: the host's display settings from Zelkor.ini, the plug-in's
// own settings and the keyword rule table from Pellix.ini. Everything goes through fx's profile
// functions, so a missing, empty or damaged file just yields the defaults, and a failed write is
// silent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "fx/String.h"
#include "settings/HostDisplaySettings.h"

namespace pellix {

// An INI text is read into 256 bytes with its terminator: at most 255 bytes survive a load.
constexpr std::size_t kIniTextBufferBytes = 256;
constexpr int kMaxReactRules = 99;

constexpr const char* kDefaultWelcomeMessage = "%NAME% さん、こんにちは！";

// Reads the seven colours as "#RRGGBB", the font name and the font size (rewritten from the
// host's tenths of a point).
void LoadHostDisplaySettings(std::string_view hostIniPath, HostDisplaySettings& display, CString& fontSize);

// The live settings kept in the plug-in INI, wherever their owners hold them.
struct PluginSettingFields {
  CString& Message;
  int& AutoWelcome;
  int& AutoReact;
  CString& Directory;
  CString& CheckUser;
  int& SetDlg;
  int& EventDlg;
  int& AutoLog;
  int& TimeStump;
  int& Html;
  int& EnterLog;
  int& LeaveLog;
  int& RenameLog;
  int& MessageLog;
  int& RCMSLog;
  int& URLLog;
  int& WriteType;
  int& NameInclude;
};

// Texts are cut to 255 bytes at a character boundary; any non-zero flag reads as 1. A Directory
// that does not end in a separator gets one, so a log file name can follow it directly.
void LoadPluginSettings(const PluginSettingFields& fields, std::string_view pluginIniPath,
                        std::string_view programFolder);
// Writes every field above; flags as "1" or "0".
void SavePluginSettings(const PluginSettingFields& fields, std::string_view pluginIniPath);

struct RuleText {
  std::string keyword;
  std::string response;
};

// At most 99 rows whatever ReactNum says; none for a negative count. Empty texts are kept as
// rows (an empty keyword answers nothing).
std::vector<RuleText> LoadRuleTable(std::string_view pluginIniPath);
// ReactNum, then Word[i] and Msg[i] for every row. Keys of an earlier, longer table stay in the
// file; ReactNum keeps them from being loaded.
void SaveRuleTable(const std::vector<RuleText>& rules, std::string_view pluginIniPath);

// The separator this platform's paths use.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The folder with exactly the separator a file name can follow: one is appended unless the
// folder already ends in one (a root such as "/" or "D:\"). An empty folder stays empty.
std::string FolderWithSeparator(std::string_view folder);

}  // namespace pellix
