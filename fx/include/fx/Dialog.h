// CDialog: a window built from a registered dialog template and run modeless.
#pragma once

#include "fx/Wnd.h"

class CDialog : public CWnd {
 public:
  CDialog() = default;

  // Creates the window from template `templateId`. Without a parent the host's main window
  // becomes its owner. OnInitDialog runs before this returns; a template with WS_VISIBLE is
  // shown afterwards.
  BOOL Create(UINT templateId, CWnd* parent = nullptr);

  virtual BOOL OnInitDialog();

  // Keyboard messages for this dialog's controls go through the dialog manager on this
  // dialog's own window: Enter, Escape and Tab act on the innermost dialog, so a key typed in
  // a page reaches the page and not the window around it.
  BOOL PreTranslateMessage(MSG* message) override;

 protected:
  // Enter, the "OK" button: takes the data and ends the dialog (hides a modeless one).
  virtual void OnOK();
  // Escape and the close box: ends the dialog (hides a modeless one).
  virtual void OnCancel();
  void EndDialog(int result);

  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  DECLARE_MESSAGE_MAP()
};
