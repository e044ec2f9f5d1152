// An in-memory DLGTEMPLATEEX built from a registered dialog template, for
// CreateDialogIndirectParamW. Sizes stay in dialog units; the dialog manager converts them
// with the template's font, as it does for a compiled resource.
#pragma once

#include <vector>

#include "fx/Resources.h"
#include "fx/Types.h"

namespace fx::win32 {

class DialogTemplateBuilder {
 public:
  explicit DialogTemplateBuilder(const DialogTemplate& tmpl);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

 private:
  void Word(WORD w) { m_words.push_back(w); }
  void Dword(DWORD d);
  void Text(const char* cp932);
  void Ordinal(WORD ordinal);
  void AlignDword();
  void Item(const ControlTemplate& control);

  std::vector<WORD> m_words;
};

}  // namespace fx::win32
