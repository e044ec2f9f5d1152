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
#include "settings/SettingRow.h"

namespace pellix {

// An INI text is read into 256 bytes with its terminator: at most 255 bytes survive a load.
constexpr std::size_t kIniTextBufferBytes = 256;
constexpr int kMaxReactRules = 99;

// Reads the seven colours as "#RRGGBB", the font name and the font size (rewritten from the
// host's tenths of a point).
void LoadHostDisplaySettings(std::string_view hostIniPath, HostDisplaySettings& display, CString& fontSize);

// One setting's value from the file, or its default. A Folder defaults to the host program's
// folder and always gets the separator a file name can follow.
int LoadFlag(const SettingDescription& setting, std::string_view pluginIniPath);
CString LoadText(const SettingDescription& setting, std::string_view pluginIniPath, std::string_view programFolder);
// Flags as "1" or "0".
void SaveFlag(const SettingDescription& setting, int value, std::string_view pluginIniPath);
void SaveText(const SettingDescription& setting, std::string_view value, std::string_view pluginIniPath);

// The initial values, before anything is loaded; a Folder starts empty.
template <class Live, std::size_t N>
void ApplySettingDefaults(const SettingRow<Live> (&rows)[N], Live& live) {
  for (const SettingRow<Live>& row : rows) {
    if (row.kind == SettingKind::Flag) row.flag(live) = row.defaultFlag;
    else row.text(live) = row.kind == SettingKind::Text ? row.defaultText : "";
  }
}

// Texts are cut to 255 bytes at a character boundary; any non-zero flag reads as 1. A missing,
// empty or damaged file gives the defaults.
template <class Live, std::size_t N>
void LoadSettings(const SettingRow<Live> (&rows)[N], Live& live, std::string_view pluginIniPath,
                  std::string_view programFolder) {
  for (const SettingRow<Live>& row : rows) {
    if (row.kind == SettingKind::Flag) row.flag(live) = LoadFlag(row, pluginIniPath);
    else row.text(live) = LoadText(row, pluginIniPath, programFolder);
  }
}

// Writes every row in the table's order; a failed write is silent.
template <class Live, std::size_t N>
void SaveSettings(const SettingRow<Live> (&rows)[N], Live& live, std::string_view pluginIniPath) {
  for (const SettingRow<Live>& row : rows) {
    if (row.kind == SettingKind::Flag) SaveFlag(row, row.flag(live), pluginIniPath);
    else SaveText(row, row.text(live).View(), pluginIniPath);
  }
}

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

// The separator this platform's paths use, and every character that separates (on Linux a
// backslash is part of a name).
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
constexpr std::string_view kPathSeparators = "\\/";
#else
constexpr char kPathSeparator = '/';
constexpr std::string_view kPathSeparators = "/";
#endif

// The folder with exactly the separator a file name can follow: one is appended unless the
// folder already ends in one (a root such as "/" or "D:\"). An empty folder stays empty.
std::string FolderWithSeparator(std::string_view folder);

}  // namespace pellix
