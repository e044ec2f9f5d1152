// The commands the local user types into the chat input.
#pragma once

#include "fx/String.h"

// Acts on every command the line holds and empties the line when it held one.
void HandleInputText(CString& text);
