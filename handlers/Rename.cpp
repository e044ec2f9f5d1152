#include "handlers/Rename.h"

#include <cstdio>

#include "fx/Sjis.h"
#include "records/BaseName.h"

namespace pellix {
namespace {

// The base name as shown in the notice: whole characters only.
std::string_view RenameBaseName(std::string_view name) noexcept {
  return BaseName(fx::sjis::Cut(name, kRenameNameMaxBytes));
}

// The base name as compared: bytes, whatever characters the cuts fall in. Cut at character
// boundaries, "アイウ12345678" and "アイ漢12345678" would both be "アイ" and the rename lost.
std::string_view ComparedBaseName(std::string_view name) noexcept {
  name = name.substr(0, kRenameNameMaxBytes);
  return name.size() <= kNameSuffixBytes ? name : name.substr(0, name.size() - kNameSuffixBytes);
}

}  // namespace

bool RenameChangesBaseName(std::string_view oldName, std::string_view newName) noexcept {
  return ComparedBaseName(oldName) != ComparedBaseName(newName);
}

std::string RenameNotice(const fx::LocalTime& now, std::string_view oldName, std::string_view newName) {
  char clock[64];
  std::snprintf(clock, sizeof clock, "［%02d時%02d分%02d秒］", now.hour, now.minute, now.second);
  std::string out = clock;
  out += '[';
  out += RenameBaseName(oldName);
  out += "] は [";
  out += RenameBaseName(newName);
  out += "] に改名しました。\r\n";
  return out;
}

}  // namespace pellix
