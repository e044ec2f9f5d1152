// The settings store on its own: what the loaders make of whatever the INI files hold, and
// what the savers leave in the file.
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fx/Profile.h"
#include "fx/Sjis.h"
#include "settings/HostDisplayText.h"
#include "settings/PluginSettings.h"
#include "settings/ProfileText.h"

namespace pellix {
namespace {

// Every live setting, where the settings table finds it in the settings window, with values no
// loader produces, so that a field the loader forgets shows up.
struct Live {
  struct {
    CString Message = "unset";
    int AutoWelcome = 7, AutoReact = 7;
  } m_autoReactPage;
  struct {
    CString Directory = "unset", CheckUser = "unset";
    int EventDlg = 7, AutoLog = 7, TimeStump = 7, Html = 7, EnterLog = 7, LeaveLog = 7, RenameLog = 7,
        MessageLog = 7, RCMSLog = 7, URLLog = 7, WriteType = 7, NameInclude = 7;
  } m_logSettingPage;
  int SetDlg = 7;
};

constexpr const auto& kSettings = kPluginSettings<Live>;

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pellix-store-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_folder = std::string(pattern) + "/";
    fx::ProfileForgetCache();
  }
  void TearDown() override {
    fx::ProfileForgetCache();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }

  std::string Path(const std::string& name) const { return m_folder + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary | std::ios::trunc) << bytes;
    fx::ProfileForgetCache();
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }

  std::string m_folder;
};

TEST_F(SettingsStoreTest, HostDisplayDefaultsWithoutAFile) {
  HostDisplaySettings display;
  CString fontSize;
  LoadHostDisplaySettings(Path("Zelkor.ini"), display, fontSize);
  for (const CString* colour : {&display.background, &display.normal, &display.action, &display.topic,
                                &display.enter, &display.leave, &display.name})
    EXPECT_EQ(*colour, "#FFFFFF");
  EXPECT_EQ(display.fontName, "System");
  EXPECT_EQ(fontSize, "13.5");
}

TEST_F(SettingsStoreTest, HostColoursAreReadPerKeyAndFontSizeIsRewritten) {
  Write("Zelkor.ini",
        "[colorsetting]\r\nBackGround=255\r\nNormalText=16711680\r\nActionText=65280\r\nTopicText=-1\r\n"
        "EnterText=red\r\nLeaveText=4278190335\r\nNameText=0\r\n"
        "[FontSetting]\r\nFontName=ＭＳ Ｐゴシック\r\nFontSize=105\r\n");
  HostDisplaySettings display;
  CString fontSize;
  LoadHostDisplaySettings(Path("Zelkor.ini"), display, fontSize);
  EXPECT_EQ(display.background, "#FF0000");
  EXPECT_EQ(display.normal, "#0000FF");
  EXPECT_EQ(display.action, "#00FF00");
  EXPECT_EQ(display.topic, "#FFFFFF");   // only the low three bytes count
  EXPECT_EQ(display.enter, "#000000");   // not a number
  EXPECT_EQ(display.leave, "#FF0000");   // 32 bits, 0xFF0000FF: its low three bytes
  EXPECT_EQ(display.name, "#000000");
  EXPECT_EQ(display.fontName, "ＭＳ Ｐゴシック");
  EXPECT_EQ(fontSize, "10.5");
}

TEST_F(SettingsStoreTest, OverlongHostFontValuesAreCutAtCharacterBoundaries) {
  std::string kanaName;
  for (int i = 0; i < 200; ++i) kanaName += "ア";
  Write("Zelkor.ini", "[FontSetting]\r\nFontName=" + kanaName + "\r\nFontSize=" + std::string(300, '9') + "\r\n");
  HostDisplaySettings display;
  CString fontSize;
  LoadHostDisplaySettings(Path("Zelkor.ini"), display, fontSize);
  EXPECT_EQ(display.fontName.View(), kanaName.substr(0, 254));
  EXPECT_LE(fontSize.View().size(), kFontSizeMaxBytes);
}

TEST_F(SettingsStoreTest, PluginDefaultsWithoutAFile) {
  Live live;
  LoadSettings(kSettings, live, Path("Pellix.ini"), m_folder);
  EXPECT_EQ(live.m_autoReactPage.Message, "%NAME% さん、こんにちは！");
  EXPECT_EQ(live.m_logSettingPage.Directory.Str(), m_folder);
  EXPECT_EQ(live.m_logSettingPage.CheckUser, "");
  EXPECT_EQ(live.SetDlg, 0);
  EXPECT_EQ(live.m_logSettingPage.EventDlg, 0);
  EXPECT_EQ(live.m_logSettingPage.AutoLog, 0);
  EXPECT_EQ(live.m_logSettingPage.TimeStump, 1);
  EXPECT_EQ(live.m_logSettingPage.Html, 1);
  EXPECT_EQ(live.m_logSettingPage.EnterLog, 1);
  EXPECT_EQ(live.m_logSettingPage.LeaveLog, 1);
  EXPECT_EQ(live.m_logSettingPage.RenameLog, 1);
  EXPECT_EQ(live.m_logSettingPage.MessageLog, 1);
  EXPECT_EQ(live.m_logSettingPage.RCMSLog, 0);
  EXPECT_EQ(live.m_logSettingPage.URLLog, 0);
  EXPECT_EQ(live.m_logSettingPage.WriteType, 0);
  EXPECT_EQ(live.m_logSettingPage.NameInclude, 1);
  EXPECT_EQ(live.m_autoReactPage.AutoWelcome, 0);
  EXPECT_EQ(live.m_autoReactPage.AutoReact, 0);
}

TEST_F(SettingsStoreTest, FlagsAreZeroOrOneWhateverTheFileSays) {
  Write("Pellix.ini",
        "[LogSwitch]\r\nAutoLog=5\r\nTimeStump=off\r\nHtml=-3\r\nEnterLog=0\r\nLeaveLog=99999999999999\r\n"
        "RenameLog=\r\nMessageLog=1x\r\n[Switch]\r\nSetDlg=2\r\n");
  Live live;
  LoadSettings(kSettings, live, Path("Pellix.ini"), m_folder);
  EXPECT_EQ(live.m_logSettingPage.AutoLog, 1);
  EXPECT_EQ(live.m_logSettingPage.TimeStump, 0);
  EXPECT_EQ(live.m_logSettingPage.Html, 1);
  EXPECT_EQ(live.m_logSettingPage.EnterLog, 0);
  EXPECT_EQ(live.m_logSettingPage.LeaveLog, 1);
  EXPECT_EQ(live.m_logSettingPage.RenameLog, 1);  // empty value: the default
  EXPECT_EQ(live.m_logSettingPage.MessageLog, 1);
  EXPECT_EQ(live.SetDlg, 1);
}

TEST_F(SettingsStoreTest, LongTextsAreCutTo255BytesWithoutSplittingACharacter) {
  std::string message;  // double-byte characters only, so byte 255 falls inside one
  while (message.size() < 10000) message += "ア";
  Write("Pellix.ini", "[AutoWelcome]\r\nMessage=" + message + "\r\n[LogSettings]\r\nCheckUser=" +
                          std::string(10000, 'u') + "\r\n");
  Live live;
  LoadSettings(kSettings, live, Path("Pellix.ini"), m_folder);
  EXPECT_EQ(live.m_autoReactPage.Message.View(), message.substr(0, 254));
  EXPECT_EQ(live.m_logSettingPage.CheckUser.View(), std::string(255, 'u'));
}

TEST_F(SettingsStoreTest, ALoadedFolderAlwaysEndsInOneSeparator) {
  Write("Pellix.ini", "[LogSettings]\r\nDirectory=/var/log/pellix\r\n");
  Live live;
  LoadSettings(kSettings, live, Path("Pellix.ini"), m_folder);
  EXPECT_EQ(live.m_logSettingPage.Directory, std::string("/var/log/pellix") + kPathSeparator);

  Write("Pellix.ini", "[LogSettings]\r\nDirectory=/var/log/pellix/\r\n");
  LoadSettings(kSettings, live, Path("Pellix.ini"), m_folder);
  EXPECT_EQ(live.m_logSettingPage.Directory, "/var/log/pellix/");
  // A damaged file: the value ends at its NUL, and the separator goes where the folder ends.
  using namespace std::string_literals;
  Write("Pellix.ini", "[LogSettings]\r\nDirectory=/logs\0x\r\n"s);
  LoadSettings(kSettings, live, Path("Pellix.ini"), m_folder);
  EXPECT_EQ(live.m_logSettingPage.Directory.Str(), std::string("/logs") + kPathSeparator);
}

TEST_F(SettingsStoreTest, GarbageFilesGiveDefaults) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 37 + 11) % 256);
  Write("Pellix.ini", garbage);
  Live live;
  LoadSettings(kSettings, live, Path("Pellix.ini"), m_folder);
  EXPECT_EQ(live.m_logSettingPage.TimeStump, 1);
  EXPECT_EQ(live.m_logSettingPage.AutoLog, 0);
  EXPECT_LE(live.m_autoReactPage.Message.GetLength(), 255);
  EXPECT_LE(LoadRuleTable(Path("Pellix.ini")).size(), 99u);
}

TEST_F(SettingsStoreTest, SaveWritesEveryKeyInOrderAndKeepsOtherLines) {
  Write("Pellix.ini", "; my settings\r\n[Other]\r\nKeep=this\r\n[LogSwitch]\r\n; comment in a section\r\nAutoLog=1\r\n");
  Live live;
  LoadSettings(kSettings, live, Path("Pellix.ini"), m_folder);
  live.m_autoReactPage.Message = "ようこそ %NAME%";
  live.m_logSettingPage.Html = 0;
  live.m_logSettingPage.URLLog = 1;
  live.m_logSettingPage.CheckUser = "watch";
  SaveSettings(kSettings, live, Path("Pellix.ini"));

  const std::string file = Read("Pellix.ini");
  EXPECT_EQ(file.rfind("; my settings\r\n[Other]\r\nKeep=this\r\n[LogSwitch]\r\n; comment in a section\r\nAutoLog=1\r\n", 0),
            0u)
      << file;
  // New keys land in their sections in the order they were written.
  const std::string logSwitch =
      "AutoLog=1\r\nTimeStump=1\r\nHTML=0\r\nEnterLog=1\r\nLeaveLog=1\r\nRenameLog=1\r\nMessageLog=1\r\n"
      "RCMSLog=0\r\nURLLog=1\r\nWriteType=0\r\nNameInclude=1\r\n";
  EXPECT_NE(file.find(logSwitch), std::string::npos) << file;
  EXPECT_NE(file.find("[AutoWelcome]\r\nMessage=ようこそ %NAME%\r\nAutoWelcome=0\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("[LogSettings]\r\nDirectory=" + m_folder + "\r\nCheckUser=watch\r\n"), std::string::npos);
  EXPECT_NE(file.find("[Switch]\r\nSetDlg=0\r\nEventDlg=0\r\n"), std::string::npos);
  EXPECT_NE(file.find("[React]\r\nAutoReact=0\r\n"), std::string::npos);

  Live reloaded;
  LoadSettings(kSettings, reloaded, Path("Pellix.ini"), "/elsewhere/");
  EXPECT_EQ(reloaded.m_logSettingPage.Html, 0);  // "HTML" reads back as Html
  EXPECT_EQ(reloaded.m_logSettingPage.URLLog, 1);
  EXPECT_EQ(reloaded.m_autoReactPage.Message, "ようこそ %NAME%");
  EXPECT_EQ(reloaded.m_logSettingPage.Directory.Str(), m_folder);
}

// What stored files and the windows rely on, row by row: section, key, default, the window and
// control that show the setting, and the row order, which is the order of a new file's lines.
TEST_F(SettingsStoreTest, EveryTableRowKeepsItsKeyDefaultControlAndPlace) {
  struct Expected {
    const char* section;
    const char* key;
    const char* saved;  // what a save writes before anything is loaded
    int dialog;
    int control;
  };
  const Expected expected[] = {
      {"AutoWelcome", "Message", "%NAME% さん、こんにちは！", IDD_AUTOREACT, IDC_WELCOME_MESSAGE},
      {"LogSettings", "Directory", "", IDD_LOGSETTING, IDC_DIRECTORY},
      {"LogSettings", "CheckUser", "", IDD_LOGSETTING, IDC_CHECK_USER},
      {"Switch", "SetDlg", "0", IDD_SETTING, IDC_SET_DLG},
      {"Switch", "EventDlg", "0", IDD_LOGSETTING, IDC_EVENT_DLG},
      {"LogSwitch", "AutoLog", "0", IDD_LOGSETTING, IDC_AUTO_LOG},
      {"LogSwitch", "TimeStump", "1", IDD_LOGSETTING, IDC_TIME_STUMP},
      {"LogSwitch", "HTML", "1", IDD_LOGSETTING, IDC_HTML},
      {"LogSwitch", "EnterLog", "1", IDD_LOGSETTING, IDC_ENTER_LOG},
      {"LogSwitch", "LeaveLog", "1", IDD_LOGSETTING, IDC_LEAVE_LOG},
      {"LogSwitch", "RenameLog", "1", IDD_LOGSETTING, IDC_RENAME_LOG},
      {"LogSwitch", "MessageLog", "1", IDD_LOGSETTING, IDC_MESSAGE_LOG},
      {"LogSwitch", "RCMSLog", "0", IDD_LOGSETTING, IDC_RCMS_LOG},
      {"LogSwitch", "URLLog", "0", IDD_LOGSETTING, IDC_URL_LOG},
      {"LogSwitch", "WriteType", "0", IDD_LOGSETTING, IDC_WRITE_TYPE},
      {"LogSwitch", "NameInclude", "1", IDD_LOGSETTING, IDC_NAME_INCLUDE},
      {"AutoWelcome", "AutoWelcome", "0", IDD_AUTOREACT, IDC_AUTO_WELCOME},
      {"React", "AutoReact", "0", IDD_AUTOREACT, IDC_AUTO_REACT},
  };
  ASSERT_EQ(std::size(kSettings), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_STREQ(kSettings[i].section, expected[i].section) << "row " << i;
    EXPECT_STREQ(kSettings[i].key, expected[i].key) << "row " << i;
    EXPECT_EQ(kSettings[i].dialog, expected[i].dialog) << expected[i].key;
    EXPECT_EQ(kSettings[i].control, expected[i].control) << expected[i].key;
  }

  // A new file has its sections in the order they are first written, each with its keys in
  // the order they were written.
  std::string file;
  std::vector<std::string> sections;
  for (const Expected& row : expected) {
    if (std::find(sections.begin(), sections.end(), row.section) == sections.end()) sections.push_back(row.section);
  }
  for (const std::string& section : sections) {
    file += "[" + section + "]\r\n";
    for (const Expected& row : expected) {
      if (row.section == section) file += std::string(row.key) + "=" + row.saved + "\r\n";
    }
  }
  Live live;
  ApplySettingDefaults(kSettings, live);
  SaveSettings(kSettings, live, Path("Pellix.ini"));
  EXPECT_EQ(Read("Pellix.ini"), file);
}

TEST_F(SettingsStoreTest, RuleTableCountIsCappedAndEmptyTextsKept) {
  std::string file = "[React]\r\nReactNum=150\r\n[KeyWord]\r\n";
  for (int i = 0; i < 150; ++i) file += "Word[" + std::to_string(i) + "]=w" + std::to_string(i) + "\r\n";
  file += "[ResMsg]\r\nMsg[0]=\r\nMsg[98]=last\r\nMsg[99]=beyond\r\n";
  Write("Pellix.ini", file);
  const auto rules = LoadRuleTable(Path("Pellix.ini"));
  ASSERT_EQ(rules.size(), 99u);
  EXPECT_EQ(rules[0].keyword, "w0");
  EXPECT_EQ(rules[0].response, "");
  EXPECT_EQ(rules[1].response, "");
  EXPECT_EQ(rules[98].keyword, "w98");
  EXPECT_EQ(rules[98].response, "last");

  Write("Pellix.ini", "[React]\r\nReactNum=-5\r\n[KeyWord]\r\nWord[0]=w\r\n");
  EXPECT_TRUE(LoadRuleTable(Path("Pellix.ini")).empty());
  Write("Pellix.ini", "[KeyWord]\r\nWord[0]=w\r\n");
  EXPECT_TRUE(LoadRuleTable(Path("Pellix.ini")).empty());
}

TEST_F(SettingsStoreTest, ShorterRuleTableLeavesStaleKeysThatAreNotLoaded) {
  const std::vector<RuleText> three = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
  SaveRuleTable(three, Path("Pellix.ini"));
  const std::vector<RuleText> one = {{"z", "9"}};
  SaveRuleTable(one, Path("Pellix.ini"));
  const std::string file = Read("Pellix.ini");
  EXPECT_NE(file.find("ReactNum=1\r\n"), std::string::npos);
  EXPECT_NE(file.find("Word[0]=z\r\nWord[1]=b\r\nWord[2]=c\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("Msg[0]=9\r\nMsg[1]=2\r\nMsg[2]=3\r\n"), std::string::npos) << file;
  const auto loaded = LoadRuleTable(Path("Pellix.ini"));
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].keyword, "z");
  EXPECT_EQ(loaded[0].response, "9");
}

TEST_F(SettingsStoreTest, AnUnwritableFileFailsSilently) {
  std::filesystem::create_directory(Path("Pellix.ini"));  // not a file: every write fails
  Live live;
  LoadSettings(kSettings, live, Path("Pellix.ini"), m_folder);
  EXPECT_EQ(live.m_logSettingPage.TimeStump, 1);
  SaveSettings(kSettings, live, Path("Pellix.ini"));
  const std::vector<RuleText> rules = {{"a", "b"}};
  SaveRuleTable(rules, Path("Pellix.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(Path("Pellix.ini")));
}

TEST_F(SettingsStoreTest, TextsWithBlanksOrQuotesAtTheEdgesComeBackExactly) {
  const std::vector<RuleText> rules = {{" ", "\tx"}, {"\"a\"", "'b'"}, {"\"", "a \"b\" c"}, {"", "plain"}};
  SaveRuleTable(rules, Path("Pellix.ini"));
  const auto loaded = LoadRuleTable(Path("Pellix.ini"));
  ASSERT_EQ(loaded.size(), rules.size());
  for (std::size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(loaded[i].keyword, rules[i].keyword) << i;
    EXPECT_EQ(loaded[i].response, rules[i].response) << i;
  }
  Live live;
  LoadSettings(kSettings, live, Path("Pellix.ini"), m_folder);
  live.m_autoReactPage.Message = " %NAME% ";
  live.m_logSettingPage.CheckUser = "  ";
  SaveSettings(kSettings, live, Path("Pellix.ini"));
  Live reloaded;
  LoadSettings(kSettings, reloaded, Path("Pellix.ini"), m_folder);
  EXPECT_EQ(reloaded.m_autoReactPage.Message, " %NAME% ");
  EXPECT_EQ(reloaded.m_logSettingPage.CheckUser, "  ");
}

TEST(ProfileTextValue, QuotesOnlyWhatTheReadWouldChange) {
  EXPECT_EQ(ProfileTextValue("plain text"), "plain text");
  EXPECT_EQ(ProfileTextValue(""), "");
  EXPECT_EQ(ProfileTextValue(" "), "\" \"");
  EXPECT_EQ(ProfileTextValue("a\t"), "\"a\t\"");
  EXPECT_EQ(ProfileTextValue("\"a\""), "\"\"a\"\"");
  EXPECT_EQ(ProfileTextValue("'a'"), "\"'a'\"");
  EXPECT_EQ(ProfileTextValue("\"a'"), "\"a'");  // no matching pair: read as it is
  EXPECT_EQ(ProfileTextValue("\""), "\"");
  // Quoted after the cut the write makes at a line break, so no quote is lost with it.
  EXPECT_EQ(ProfileTextValue("a \r\nb"), "\"a \"");
}

TEST(FolderWithSeparator, AppendsOnlyWhenMissing) {
  EXPECT_EQ(FolderWithSeparator("/home/me/logs"), std::string("/home/me/logs") + kPathSeparator);
  EXPECT_EQ(FolderWithSeparator("/home/me/logs/"), "/home/me/logs/");
  EXPECT_EQ(FolderWithSeparator("/"), "/");
#ifdef _WIN32
  EXPECT_EQ(FolderWithSeparator("D:\\"), "D:\\");
  EXPECT_EQ(FolderWithSeparator("D:\\logs/"), "D:\\logs/");
#else
  // On Linux a backslash is part of the folder's name: the log name is not glued to it.
  EXPECT_EQ(FolderWithSeparator("/home/u/logs\\"), "/home/u/logs\\/");
#endif
  EXPECT_EQ(FolderWithSeparator(""), "");
  // "表" ends in the byte of "\", but it is a whole character, not a separator.
  EXPECT_EQ(FolderWithSeparator("/tmp/表"), std::string("/tmp/表") + kPathSeparator);
}

}  // namespace
}  // namespace pellix
