// The one dispatch path: every message to an object goes WindowProc -> OnWndMsg -> the
// class's message table (then its bases'), and falls back to the default handling.
#include <vector>

#include "Backend.h"
#include "fx/DataExchange.h"
#include "fx/Wnd.h"

namespace {

struct CurrentMessage {
  CWnd* window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

thread_local std::vector<CurrentMessage> t_currentMessages;

}  // namespace

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  t_currentMessages.push_back({this, message, wParam, lParam});
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  t_currentMessages.pop_back();
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *result = 1;
      return TRUE;
    }
    return FALSE;
  }
  if (message == WM_NOTIFY) {
    *result = 0;
    return OnNotify(wParam, lParam, result);
  }
  return DispatchFromMap(message, 0, 0, wParam, lParam, result);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  LRESULT ignored = 0;
  return DispatchFromMap(WM_COMMAND, HIWORD(wParam), LOWORD(wParam), wParam, lParam, &ignored);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header == nullptr) return FALSE;
  return DispatchFromMap(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom), wParam, lParam, result);
}

BOOL CWnd::DispatchFromMap(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  for (const fx::MessageMap* map = GetMessageMap(); map != nullptr; map = map->base ? map->base() : nullptr) {
    for (const fx::MessageMapEntry* entry = map->entries; entry->thunk != nullptr; ++entry) {
      if (entry->message != message) continue;
      if ((message == WM_COMMAND || message == WM_NOTIFY) && (entry->code != code || entry->id != id)) continue;
      entry->thunk(this, wParam, lParam, result);
      return TRUE;
    }
  }
  return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return fx::backend::DefaultWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  if (t_currentMessages.empty() || t_currentMessages.back().window != this) return 0;
  const CurrentMessage current = t_currentMessages.back();
  return DefWindowProc(current.message, current.wParam, current.lParam);
}

void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnDestroy() { Default(); }

const fx::MessageMap* CWnd::GetThisMessageMap() {
  static const fx::MessageMapEntry entries[] = {{0, 0, 0, nullptr}};
  static const fx::MessageMap map = {nullptr, entries};
  return &map;
}

const fx::MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
  if (m_hWnd == nullptr) return FALSE;
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}
