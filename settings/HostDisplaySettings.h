// The colours and font borrowed from the host's INI, as texts ready for the HTML log.
#pragma once

#include "fx/String.h"

struct HostDisplaySettings {
  CString background;  // "#RRGGBB"
  CString normal;
  CString action;
  CString topic;
  CString enter;
  CString leave;
  CString name;
  CString fontName;
};
