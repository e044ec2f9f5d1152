// The shell's open operation and its folder picker.
#pragma once

#include <string_view>

#include "fx/String.h"
#include "fx/Types.h"

namespace fx {

// Opens `target` with its default action (no verb, no parameters, no working folder). The
// result is the shell's success; callers that report nothing may ignore it.
bool ShellOpen(std::string_view target, int showCommand);

// The folder picker with only file-system folders selectable. On success `path` holds the
// chosen folder's full path without a trailing separator (except a root); false on cancel.
bool BrowseForFolder(HWND owner, const char* title, CString& path);

}  // namespace fx
