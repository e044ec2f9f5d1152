#include <gtest/gtest.h>

#include <string>

#include "settings/HostDisplayText.h"
#include "settings/ProgramFolder.h"

namespace pellix {
namespace {

TEST(HostColours, LowByteIsRed) {
  EXPECT_EQ(HostColourText(16777215), "#FFFFFF");
  EXPECT_EQ(HostColourText(255), "#FF0000");
  EXPECT_EQ(HostColourText(16711680), "#0000FF");
  EXPECT_EQ(HostColourText(0x00332211), "#112233");
  EXPECT_EQ(HostColourText(0), "#000000");
}

TEST(HostColours, BytesAboveTheThirdAreIgnored) {
  EXPECT_EQ(HostColourText(0xFF00FF00), "#00FF00");
  EXPECT_EQ(HostColourText(static_cast<std::uint32_t>(-1)), "#FFFFFF");
}

TEST(HostFontSize, DigitsAreTenthsOfAPoint) {
  EXPECT_EQ(HostFontSizeText("135"), "13.5");
  EXPECT_EQ(HostFontSizeText("105"), "10.5");
  EXPECT_EQ(HostFontSizeText("90"), "9.0");
  EXPECT_EQ(HostFontSizeText("1000"), "100.0");
}

TEST(HostFontSize, OtherShapesAreKept) {
  EXPECT_EQ(HostFontSizeText("13.5"), "13.5");
  EXPECT_EQ(HostFontSizeText("9"), "9");
  EXPECT_EQ(HostFontSizeText(""), "");
  EXPECT_EQ(HostFontSizeText("12pt"), "12pt");
  EXPECT_EQ(HostFontSizeText("-12"), "-12");
}

TEST(HostFontSize, LongValuesAreCutAtACharacterBoundary) {
  EXPECT_LE(HostFontSizeText(std::string(40, '1')).size(), kFontSizeMaxBytes);
  EXPECT_EQ(HostFontSizeText("12345678901234大"), "12345678901234");
  EXPECT_EQ(HostFontSizeText("1234567890123大"), "1234567890123大");
  // Tenths keep their "." before the last digit at any length, within the cut.
  EXPECT_EQ(HostFontSizeText("123456789012345"), "1234567890123.5");
  EXPECT_EQ(HostFontSizeText(std::string(40, '7') + "4"), "7777777777777.4");
  EXPECT_EQ(HostFontSizeText("12345678901234"), "1234567890123.4");
  EXPECT_EQ(HostFontSizeText("1234567890123"), "123456789012.3");
}

TEST(ProgramFolders, FolderKeepsItsTrailingSeparator) {
  EXPECT_EQ(ProgramFolder("C:\\Zelkor\\zelkor.exe"), "C:\\Zelkor\\");
  EXPECT_EQ(ProgramFolder("/opt/zelkor/bin/zelkor"), "/opt/zelkor/bin/");
  EXPECT_EQ(ProgramFolder("/zelkor"), "/");
  EXPECT_EQ(ProgramFolder("zelkor"), "");
  EXPECT_EQ(PluginIniPath("/opt/z/"), "/opt/z/Pellix.ini");
  EXPECT_EQ(HostIniPath("C:\\Z\\"), "C:\\Z\\Zelkor.ini");
  EXPECT_EQ(PluginIniPath(ProgramFolder("zelkor")), "Pellix.ini");
}

TEST(ProgramFolders, TrailBytesThatLookLikeSeparatorsAreNotSeparators) {
  // "表" and "ソ" end in the byte '\\'.
  EXPECT_EQ(ProgramFolder("C:\\ソフト\\zelkor.exe"), "C:\\ソフト\\");
  EXPECT_EQ(ProgramFolder("C:\\Tools\\表zelkor.exe"), "C:\\Tools\\");
  EXPECT_EQ(ProgramFolder("/opt/表zelkor"), "/opt/");
}

TEST(ProgramFolders, OnlyThe258BytesOfThePathCount) {
  const std::string deep = "/" + std::string(300, 'd') + "/zelkor";
  EXPECT_EQ(ProgramFolder(deep), "/");
  const std::string fits = "/" + std::string(250, 'd') + "/zelkor";
  EXPECT_EQ(ProgramFolder(fits), "/" + std::string(250, 'd') + "/");
}

}  // namespace
}  // namespace pellix
