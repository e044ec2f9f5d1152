#include "plugin/InputCommands.h"

void HandleInputText(CString&) {}
