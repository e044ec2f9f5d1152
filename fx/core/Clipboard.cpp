#include "fx/Clipboard.h"

#include "fx/Desktop.h"
#include "fx/Wnd.h"

namespace fx {
namespace {

bool g_open = false;

}  // namespace

BOOL OpenClipboard(CWnd* owner) {
  if (g_open || !GetDesktop().OpenClipboard(owner ? owner->m_hWnd : nullptr)) return FALSE;
  g_open = true;
  return TRUE;
}

// The text placed next replaces the whole content, so there is nothing to clear before it.
BOOL EmptyClipboard() { return g_open ? TRUE : FALSE; }

BOOL SetClipboardText(const char* text) {
  if (!g_open || text == nullptr) return FALSE;
  return GetDesktop().SetClipboardText(text) ? TRUE : FALSE;
}

BOOL CloseClipboard() {
  if (!g_open) return FALSE;
  g_open = false;
  GetDesktop().CloseClipboard();
  return TRUE;
}

}  // namespace fx
