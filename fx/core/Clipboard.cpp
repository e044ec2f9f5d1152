#include "fx/Clipboard.h"

#include <optional>
#include <string>

#include "fx/Desktop.h"

namespace fx {
namespace {

bool g_open = false;
std::optional<std::string> g_pending;

}  // namespace

BOOL OpenClipboard(CWnd*) {
  if (g_open || !GetDesktop().OpenClipboard()) return FALSE;
  g_open = true;
  g_pending.reset();
  return TRUE;
}

BOOL EmptyClipboard() {
  if (!g_open) return FALSE;
  g_pending.reset();
  return TRUE;
}

BOOL SetClipboardText(const char* text) {
  if (!g_open || text == nullptr) return FALSE;
  g_pending = std::string(text);
  return TRUE;
}

// The text reaches the desktop when the clipboard is closed, as other programs see it then.
BOOL CloseClipboard() {
  if (!g_open) return FALSE;
  g_open = false;
  if (g_pending) GetDesktop().SetClipboardText(*g_pending);
  g_pending.reset();
  return TRUE;
}

}  // namespace fx
