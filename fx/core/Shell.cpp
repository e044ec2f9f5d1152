#include "fx/Shell.h"

#include "fx/Desktop.h"

namespace fx {

bool ShellOpen(std::string_view target, int) {
  if (target.empty()) return false;
  GetDesktop().ShellOpen(target);
  return true;
}

bool BrowseForFolder(HWND owner, const char* title, CString& path) {
  auto chosen = GetDesktop().BrowseForFolder(owner, title ? title : "");
  if (!chosen || chosen->empty()) return false;
  path = *chosen;
  return true;
}

}  // namespace fx
