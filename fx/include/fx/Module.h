// The host program's own path, as a CP932 full path.
#pragma once

#include <string>
#include <string_view>

namespace fx {

// The override when one is set, else the running executable's path.
std::string GetHostProgramPath();
// Reports another program path, so that files "beside the program" land in another folder.
void SetHostProgramPath(std::string_view cp932Path);
// Drops the override: the executable's path is reported again.
void ClearHostProgramPath();

}  // namespace fx
