// One setting of Pellix.ini as a row of the settings table: where the file keeps it, its
// default, the control that shows it and where the running plug-in holds its live value.
#pragma once

#include "fx/String.h"

namespace pellix {

enum class SettingKind {
  Flag,    // 0 or 1; any non-zero number in the file reads as 1; a check box writes it at once
  Text,    // at most 255 bytes, cut at a character boundary; an edit writes it at every change
  Folder,  // a text that defaults to the host program's folder and always ends in a separator;
           // its read-only edit only shows it (the folder picker chooses it)
};

// Where the file keeps a setting, what it is without one, and the control that shows it.
struct SettingDescription {
  SettingKind kind;
  const char* section;
  const char* key;
  const char* defaultText;  // Text only
  int defaultFlag;          // Flag only
  int dialog;               // the template of the window that holds the control
  int control;
};

// A description with the live value in `Live`, the object that holds the running settings:
// `flag` for a Flag, `text` for a Text or Folder.
template <class Live>
struct SettingRow : SettingDescription {
  int& (*flag)(Live&) = nullptr;
  CString& (*text)(Live&) = nullptr;

  static constexpr SettingRow Flag(const char* section, const char* key, int defaultValue, int dialog, int control,
                                   int& (*live)(Live&)) {
    SettingRow row{{SettingKind::Flag, section, key, "", defaultValue, dialog, control}};
    row.flag = live;
    return row;
  }
  static constexpr SettingRow Text(const char* section, const char* key, const char* defaultValue, int dialog,
                                   int control, CString& (*live)(Live&)) {
    SettingRow row{{SettingKind::Text, section, key, defaultValue, 0, dialog, control}};
    row.text = live;
    return row;
  }
  static constexpr SettingRow Folder(const char* section, const char* key, int dialog, int control,
                                     CString& (*live)(Live&)) {
    SettingRow row{{SettingKind::Folder, section, key, "", 0, dialog, control}};
    row.text = live;
    return row;
  }
};

}  // namespace pellix
