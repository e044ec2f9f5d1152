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

// Delivers the messages posted so far, each through PreTranslateMessage first; returns how
// many were delivered.
int PumpMessages();

// What a message loop calls for every message before it translates and dispatches it: offers
// the message to the fx windows from the message's window outward (the window, then its
// parents up to its top-level window) and stops at the first that takes it. TRUE: taken, do not
// dispatch it.
BOOL PreTranslateMessage(MSG* message);

}  // namespace fx
