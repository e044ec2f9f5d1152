// Message tables: each window class lists the notifications it handles, in order, and the
// one dispatch in CWnd walks the class's table, then its base classes' tables.
#pragma once

#include "fx/Types.h"

class CWnd;

#define afx_msg

namespace fx {

using MessageThunk = void (*)(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct MessageMapEntry {
  UINT message;  // WM_COMMAND, WM_NOTIFY, or a plain message such as WM_SIZE
  UINT code;     // notification code for WM_COMMAND / WM_NOTIFY
  UINT id;       // control or command id for WM_COMMAND / WM_NOTIFY
  MessageThunk thunk;
};

struct MessageMap {
  const MessageMap* (*base)();
  const MessageMapEntry* entries;  // ends with an entry whose thunk is null
};

namespace detail {

template <class T>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
  using type = C;
};

template <auto F>
void CommandThunk(CWnd* self, WPARAM, LPARAM, LRESULT*) {
  using C = typename MemberOf<decltype(F)>::type;
  (static_cast<C*>(self)->*F)();
}

template <auto F>
void NotifyThunk(CWnd* self, WPARAM, LPARAM lParam, LRESULT* result) {
  using C = typename MemberOf<decltype(F)>::type;
  (static_cast<C*>(self)->*F)(reinterpret_cast<NMHDR*>(lParam), result);
}

template <auto F>
void SizeThunk(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT*) {
  using C = typename MemberOf<decltype(F)>::type;
  (static_cast<C*>(self)->*F)(static_cast<UINT>(wParam), static_cast<int>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                              static_cast<int>(HIWORD(static_cast<std::uintptr_t>(lParam))));
}

template <auto F>
void PlainMessageThunk(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  using C = typename MemberOf<decltype(F)>::type;
  *result = (static_cast<C*>(self)->*F)(wParam, lParam);
}

}  // namespace detail
}  // namespace fx

#define DECLARE_MESSAGE_MAP()                               \
 protected:                                                 \
  static const ::fx::MessageMap* GetThisMessageMap();       \
  const ::fx::MessageMap* GetMessageMap() const override;   \
                                                            \
 private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                              \
  const ::fx::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
  const ::fx::MessageMap* theClass::GetThisMessageMap() {                                   \
    using ThisClass [[maybe_unused]] = theClass;                                            \
    using TheBaseClass = baseClass;                                                         \
    static const ::fx::MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                         \
  { 0, 0, 0, nullptr }                                                            \
  }                                                                               \
  ;                                                                               \
  static const ::fx::MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
  return &map;                                                                    \
  }

#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, 0, static_cast<UINT>(id), &::fx::detail::CommandThunk<&ThisClass::memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) \
  {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), &::fx::detail::CommandThunk<&ThisClass::memberFxn>},
#define ON_EN_CHANGE(id, memberFxn) \
  {WM_COMMAND, EN_CHANGE, static_cast<UINT>(id), &::fx::detail::CommandThunk<&ThisClass::memberFxn>},
#define ON_NOTIFY(code, id, memberFxn) \
  {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), &::fx::detail::NotifyThunk<&ThisClass::memberFxn>},
// A message of the program's own (WM_APP and after): LRESULT OnX(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn) \
  {static_cast<UINT>(message), 0, 0, &::fx::detail::PlainMessageThunk<&ThisClass::memberFxn>},
#define ON_WM_SIZE() {WM_SIZE, 0, 0, &::fx::detail::SizeThunk<&ThisClass::OnSize>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, &::fx::detail::CommandThunk<&ThisClass::OnDestroy>},
