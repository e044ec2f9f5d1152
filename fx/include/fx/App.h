// Application-wide services: the host's title, application message boxes, beeps, the cursor
// position and the queue of posted messages.
#pragma once

#include <string_view>

#include "fx/Types.h"

// A message box owned by the application, with the host application's title as caption.
int AfxMessageBox(const char* text, UINT type = MB_OK);

namespace fx {

void SetAppTitle(std::string_view title);
const char* AppTitle();

void MessageBeep(UINT type);
BOOL GetCursorPos(POINT* point);

// Delivers the messages posted so far (headless); returns how many were delivered.
int PumpMessages();

}  // namespace fx
