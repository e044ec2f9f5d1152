// The clipboard, text format only.
#pragma once

#include "fx/Types.h"

class CWnd;

namespace fx {

// Opens the clipboard for `owner` (which may be null); false when another program holds it.
BOOL OpenClipboard(CWnd* owner);
BOOL EmptyClipboard();
// Copies the text with its terminating NUL into a block that the clipboard then owns.
// False when the clipboard is not open, or the text could not be placed on it.
BOOL SetClipboardText(const char* text);
BOOL CloseClipboard();

}  // namespace fx
