// Application-wide services: the host's title, application message boxes, beeps, the cursor
// position and the queue of posted messages.
#pragma once

#include <string_view>

#include "fx/Types.h"

// The application's message box: modal to the host's main window, with the host application's
// title as caption and, when the type names no icon, the default icon for its buttons.
int AfxMessageBox(const char* text, UINT type = MB_OK);

namespace fx {

void SetAppTitle(std::string_view title);
const char* AppTitle();

// The application message box's icon rule: a box that names no icon gets the exclamation mark
// with OK or OK/Cancel, the question mark with Yes/No (and Cancel), and none otherwise.
UINT WithDefaultIcon(UINT type);

void MessageBeep(UINT type);
BOOL GetCursorPos(POINT* point);

// Delivers the messages posted so far (headless); returns how many were delivered.
int PumpMessages();

}  // namespace fx
