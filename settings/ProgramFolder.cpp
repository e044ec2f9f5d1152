#include "settings/ProgramFolder.h"

#include "fx/Sjis.h"

namespace pellix {

std::string ProgramFolder(std::string_view programPath) {
  const std::string_view path = fx::sjis::Cut(programPath, kProgramPathMaxBytes);
  const std::size_t separator = fx::sjis::FindLastSeparator(path);
  if (separator == std::string_view::npos) return {};
  return std::string(path.substr(0, separator + 1));
}

std::string PluginIniPath(std::string_view programFolder) {
  std::string path(programFolder);
  path += "Pellix.ini";
  return path;
}

std::string HostIniPath(std::string_view programFolder) {
  std::string path(programFolder);
  path += "Zelkor.ini";
  return path;
}

}  // namespace pellix
