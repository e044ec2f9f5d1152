// Where the plug-in's files live: the folder of the host program.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pellix {

// Longest host program path taken into account, in bytes.
inline constexpr std::size_t kProgramPathMaxBytes = 258;

// The folder of the host program's full path (CP932) with its trailing separator ("\" or "/", as
// the path has it): the default log folder and the prefix of both INI paths. Only the first 258
// bytes of the path count. A path without a separator gives an empty folder (the current one).
std::string ProgramFolder(std::string_view programPath);

// folder + "Pellix.ini": the plug-in's own settings.
std::string PluginIniPath(std::string_view programFolder);
// folder + "Zelkor.ini": the host's settings, only read.
std::string HostIniPath(std::string_view programFolder);

}  // namespace pellix
