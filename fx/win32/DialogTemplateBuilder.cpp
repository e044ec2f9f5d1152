#include "DialogTemplateBuilder.h"

#include "Win32.h"

namespace fx::win32 {
namespace {

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kComboBoxClass = 0x0085;

}  // namespace

DialogTemplateBuilder::DialogTemplateBuilder(const DialogTemplate& tmpl) {
  // Every template names its font; DS_SETFONT also makes WM_SETFONT the first message the
  // dialog procedure sees, before any control exists.
  DWORD style = tmpl.style | DS_SETFONT;
  Word(1);       // dlgVer
  Word(0xFFFF);  // signature: DLGTEMPLATEEX
  Dword(0);      // helpID
  Dword((style & WS_CHILD) ? WS_EX_CONTROLPARENT : 0);
  Dword(style);
  Word(static_cast<WORD>(tmpl.controls.size()));
  Word(0);
  Word(0);
  Word(static_cast<WORD>(tmpl.cx));
  Word(static_cast<WORD>(tmpl.cy));
  Word(0);  // no menu
  Word(0);  // the dialog class
  Text(tmpl.caption);
  Word(static_cast<WORD>(tmpl.pointSize > 0 ? tmpl.pointSize : 9));
  Word(FW_NORMAL);
  Word(MAKEWORD(FALSE, SHIFTJIS_CHARSET));
  Text(tmpl.fontName ? tmpl.fontName : "ＭＳ Ｐゴシック");
  for (const ControlTemplate& control : tmpl.controls) Item(control);
}

void DialogTemplateBuilder::Dword(DWORD d) {
  Word(LOWORD(d));
  Word(HIWORD(d));
}

void DialogTemplateBuilder::Text(const char* cp932) {
  for (wchar_t c : Wide(cp932 ? cp932 : "")) Word(static_cast<WORD>(c));
  Word(0);
}

void DialogTemplateBuilder::Ordinal(WORD ordinal) {
  Word(0xFFFF);
  Word(ordinal);
}

void DialogTemplateBuilder::AlignDword() {
  if (m_words.size() % 2 != 0) Word(0);
}

void DialogTemplateBuilder::Item(const ControlTemplate& control) {
  AlignDword();
  DWORD style = control.style | WS_CHILD | WS_VISIBLE;
  DWORD exStyle = 0;
  // Edits and lists with a border get the sunken edge of dialogs with the 3-D look.
  if ((control.controlClass == ControlClass::Edit || control.controlClass == ControlClass::ListView) &&
      (style & WS_BORDER)) {
    style &= ~WS_BORDER;
    exStyle |= WS_EX_CLIENTEDGE;
  }
  Dword(0);  // helpID
  Dword(exStyle);
  Dword(style);
  Word(static_cast<WORD>(control.x));
  Word(static_cast<WORD>(control.y));
  Word(static_cast<WORD>(control.cx));
  Word(static_cast<WORD>(control.cy));
  Dword(static_cast<DWORD>(control.id));
  switch (control.controlClass) {
    case ControlClass::Button: Ordinal(kButtonClass); break;
    case ControlClass::Edit: Ordinal(kEditClass); break;
    case ControlClass::Static: Ordinal(kStaticClass); break;
    case ControlClass::ComboBox: Ordinal(kComboBoxClass); break;
    case ControlClass::ListView: Text("SysListView32"); break;
    case ControlClass::TabControl: Text("SysTabControl32"); break;
  }
  // Edits and combo boxes start empty, as the headless backend has them.
  const bool takesText = control.controlClass != ControlClass::Edit && control.controlClass != ControlClass::ComboBox;
  Text(takesText ? control.text : "");
  Word(0);  // no creation data
}

}  // namespace fx::win32
