#include "settings/SettingsStore.h"

#include <cstdint>

#include "fx/Profile.h"
#include "fx/Sjis.h"
#include "settings/HostDisplayText.h"
#include "settings/ProfileText.h"

namespace pellix {
namespace {

constexpr int kDefaultHostColour = 16777215;

CString ReadText(std::string_view section, std::string_view key, std::string_view defaultValue,
                 std::string_view file) {
  return CString(fx::ProfileGetString(section, key, defaultValue, kIniTextBufferBytes, file));
}

int ReadFlag(std::string_view section, std::string_view key, int defaultValue, std::string_view file) {
  return fx::ProfileGetInt(section, key, defaultValue, file) != 0 ? 1 : 0;
}

CString ReadColour(std::string_view key, std::string_view file) {
  const int value = fx::ProfileGetInt("ColorSetting", key, kDefaultHostColour, file);
  return CString(HostColourText(static_cast<std::uint32_t>(value)));
}

void WriteFlag(std::string_view section, std::string_view key, int value, std::string_view file) {
  fx::ProfileWriteString(section, key, value != 0 ? "1" : "0", file);
}

std::string IndexedKey(std::string_view name, int index) {
  std::string key(name);
  key += '[';
  key += std::to_string(index);
  key += ']';
  return key;
}

}  // namespace

void LoadHostDisplaySettings(std::string_view hostIniPath, HostDisplaySettings& display, CString& fontSize) {
  display.background = ReadColour("BackGround", hostIniPath);
  display.normal = ReadColour("NormalText", hostIniPath);
  display.action = ReadColour("ActionText", hostIniPath);
  display.topic = ReadColour("TopicText", hostIniPath);
  display.enter = ReadColour("EnterText", hostIniPath);
  display.leave = ReadColour("LeaveText", hostIniPath);
  display.name = ReadColour("NameText", hostIniPath);
  display.fontName = ReadText("FontSetting", "FontName", "System", hostIniPath);
  const std::string size = fx::ProfileGetString("FontSetting", "FontSize", "13.5", kIniTextBufferBytes, hostIniPath);
  fontSize = CString(HostFontSizeText(size));
}

void LoadPluginSettings(const PluginSettingFields& f, std::string_view ini, std::string_view programFolder) {
  f.Message = ReadText("AutoWelcome", "Message", kDefaultWelcomeMessage, ini);
  f.Directory = ReadText("LogSettings", "Directory", programFolder, ini);
  f.Directory = CString(FolderWithSeparator(f.Directory.View()));
  f.CheckUser = ReadText("LogSettings", "CheckUser", "", ini);
  f.SetDlg = ReadFlag("Switch", "SetDlg", 0, ini);
  f.EventDlg = ReadFlag("Switch", "EventDlg", 0, ini);
  f.AutoLog = ReadFlag("LogSwitch", "AutoLog", 0, ini);
  f.TimeStump = ReadFlag("LogSwitch", "TimeStump", 1, ini);
  f.Html = ReadFlag("LogSwitch", "Html", 1, ini);
  f.EnterLog = ReadFlag("LogSwitch", "EnterLog", 1, ini);
  f.LeaveLog = ReadFlag("LogSwitch", "LeaveLog", 1, ini);
  f.RenameLog = ReadFlag("LogSwitch", "RenameLog", 1, ini);
  f.MessageLog = ReadFlag("LogSwitch", "MessageLog", 1, ini);
  f.RCMSLog = ReadFlag("LogSwitch", "RCMSLog", 0, ini);
  f.URLLog = ReadFlag("LogSwitch", "URLLog", 0, ini);
  f.WriteType = ReadFlag("LogSwitch", "WriteType", 0, ini);
  f.NameInclude = ReadFlag("LogSwitch", "NameInclude", 1, ini);
  f.AutoWelcome = ReadFlag("AutoWelcome", "AutoWelcome", 0, ini);
  f.AutoReact = ReadFlag("React", "AutoReact", 0, ini);
}

void SavePluginSettings(const PluginSettingFields& f, std::string_view ini) {
  WriteProfileText("AutoWelcome", "Message", f.Message.View(), ini);
  WriteProfileText("LogSettings", "Directory", f.Directory.View(), ini);
  WriteProfileText("LogSettings", "CheckUser", f.CheckUser.View(), ini);
  WriteFlag("Switch", "SetDlg", f.SetDlg, ini);
  WriteFlag("Switch", "EventDlg", f.EventDlg, ini);
  WriteFlag("LogSwitch", "AutoLog", f.AutoLog, ini);
  WriteFlag("LogSwitch", "TimeStump", f.TimeStump, ini);
  // Keys match without regard to case, so "HTML" is read back as Html.
  WriteFlag("LogSwitch", "HTML", f.Html, ini);
  WriteFlag("LogSwitch", "EnterLog", f.EnterLog, ini);
  WriteFlag("LogSwitch", "LeaveLog", f.LeaveLog, ini);
  WriteFlag("LogSwitch", "RenameLog", f.RenameLog, ini);
  WriteFlag("LogSwitch", "MessageLog", f.MessageLog, ini);
  WriteFlag("LogSwitch", "RCMSLog", f.RCMSLog, ini);
  WriteFlag("LogSwitch", "URLLog", f.URLLog, ini);
  WriteFlag("LogSwitch", "WriteType", f.WriteType, ini);
  WriteFlag("LogSwitch", "NameInclude", f.NameInclude, ini);
  WriteFlag("AutoWelcome", "AutoWelcome", f.AutoWelcome, ini);
  WriteFlag("React", "AutoReact", f.AutoReact, ini);
}

std::vector<RuleText> LoadRuleTable(std::string_view ini) {
  int count = fx::ProfileGetInt("React", "ReactNum", 0, ini);
  if (count > kMaxReactRules) count = kMaxReactRules;
  std::vector<RuleText> rules;
  for (int i = 0; i < count; ++i) {
    rules.push_back({fx::ProfileGetString("KeyWord", IndexedKey("Word", i), "", kIniTextBufferBytes, ini),
                     fx::ProfileGetString("ResMsg", IndexedKey("Msg", i), "", kIniTextBufferBytes, ini)});
  }
  return rules;
}

void SaveRuleTable(const std::vector<RuleText>& rules, std::string_view ini) {
  fx::ProfileWriteString("React", "ReactNum", std::to_string(rules.size()), ini);
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const int index = static_cast<int>(i);
    WriteProfileText("KeyWord", IndexedKey("Word", index), rules[i].keyword, ini);
    WriteProfileText("ResMsg", IndexedKey("Msg", index), rules[i].response, ini);
  }
}

std::string FolderWithSeparator(std::string_view folder) {
  std::string path(folder);
  if (path.empty()) return path;
  const std::size_t last = fx::sjis::FindLastSeparator(path);
  if (last == std::string::npos || last + 1 != path.size()) path += kPathSeparator;
  return path;
}

}  // namespace pellix
