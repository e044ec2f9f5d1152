// The framework's pre-translation: the message loop offers each message to the objects of the
// windows from the message's own window outward before dispatching it.
#include "Backend.h"
#include "fx/App.h"
#include "fx/Wnd.h"

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL fx::PreTranslateMessage(MSG* message) {
  if (message == nullptr) return FALSE;
  for (HWND window = message->hwnd; window != nullptr; window = backend::ParentOf(window)) {
    CWnd* object = CWnd::FromHandlePermanent(window);
    if (object != nullptr && object->PreTranslateMessage(message)) return TRUE;
  }
  return FALSE;
}
