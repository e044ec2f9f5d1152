// The clipboard, text format only.
#pragma once

#include "fx/Types.h"

class CWnd;

namespace fx {

BOOL OpenClipboard(CWnd* owner);
BOOL EmptyClipboard();
// Copies the text with its terminating NUL into a block that the clipboard then owns.
// False when the memory for it cannot be had.
BOOL SetClipboardText(const char* text);
BOOL CloseClipboard();

}  // namespace fx
