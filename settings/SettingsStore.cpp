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

int LoadFlag(const SettingDescription& setting, std::string_view ini) {
  return ReadFlag(setting.section, setting.key, setting.defaultFlag, ini);
}

CString LoadText(const SettingDescription& setting, std::string_view ini, std::string_view programFolder) {
  if (setting.kind == SettingKind::Folder) {
    return CString(FolderWithSeparator(ReadText(setting.section, setting.key, programFolder, ini).View()));
  }
  return ReadText(setting.section, setting.key, setting.defaultText, ini);
}

void SaveFlag(const SettingDescription& setting, int value, std::string_view ini) {
  WriteFlag(setting.section, setting.key, value, ini);
}

void SaveText(const SettingDescription& setting, std::string_view value, std::string_view ini) {
  WriteProfileText(setting.section, setting.key, value, ini);
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
  const bool endsInOne = last != std::string::npos && last + 1 == path.size() &&
                         kPathSeparators.find(path[last]) != std::string_view::npos;
  if (!endsInOne) path += kPathSeparator;
  return path;
}

}  // namespace pellix
