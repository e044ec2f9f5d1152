// The Win32 backend's shared parts: text conversion at the system boundary and the map from
// window handles to what fx keeps for them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "../core/Backend.h"
#include "fx/Resources.h"
#include "fx/Types.h"

class CWnd;

namespace fx::win32 {

// CP932 <-> UTF-16 with code page 932 named explicitly, so that the system's code page never
// changes what the plug-in's bytes mean.
std::wstring Wide(std::string_view cp932);
std::string Narrow(std::wstring_view wide);

enum class Kind { TopLevel, Dialog, Control };

struct WindowInfo : backend::Attachment {
  Kind kind = Kind::Control;
  int templateId = -1;
  bool subclassed = false;
  WNDPROC previousProc = nullptr;         // a watched control's own procedure
  std::uint64_t listContentVersion = 0;  // list-views: see CListCtrl::GetContentVersion
};

// Windows made or attached by fx; null for any other window.
WindowInfo* Info(HWND window);
WindowInfo& Register(HWND window, Kind kind);
// Our top-level windows and dialogs that are still alive, in creation order.
std::vector<HWND> OwnWindows();

// Watches a control so that its object is detached when the control goes away, and so that a
// list-view's content version follows every message that changes its rows, whoever sends it.
void WatchControl(HWND control);

// A value no list content has had before in this process.
std::uint64_t NextListContentVersion();
// Whether a list-view message may change the rows, their texts or the columns.
bool ChangesListContent(UINT message);

// The registered icon a handle was made from; -1 for others. AfxLoadIcon gives the 32 x 32
// image; SmallIconOf its 16 x 16 partner.
int IconIdOf(HICON icon);
HICON SmallIconOf(int id);

// The window class of CWnd::CreateTopLevel.
ATOM TopLevelClass();

// The text of a window through WM_GETTEXT, as CP932.
std::string WindowTextOf(HWND window);
void SetWindowTextOf(HWND window, std::string_view cp932);

}  // namespace fx::win32
