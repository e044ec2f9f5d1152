// The logging state of the event log window: whether a recording runs, the settings captured
// when it started, and its open file.
#pragma once

#include "fx/File.h"
#include "fx/String.h"

struct LogState {
  bool active = false;
  // Captured at each start of logging; the open file follows these, not the live settings.
  int html = 0;
  int timeStump = 0;
  CString directory;
  CString backgroundColour;
  CString normalColour;
  CString fontName;
  CString fileName;  // without the folder
  fx::File file;
};
