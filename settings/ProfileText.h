// Texts as the plug-in writes them to its INI file. The profile read trims blanks from a value
// and removes one pair of matching quotes around it, so a text that either would change is
// written inside double quotes and comes back exactly as typed. The Windows profile functions
// read the file the same way.
#pragma once

#include <string>
#include <string_view>

namespace pellix {

// The value to write for `text`: the text itself, or the text inside double quotes when it
// begins or ends with a blank (space or tab) or begins and ends with the same quote character.
// A text is first cut at its first CR, LF or NUL, as the write would cut it.
std::string ProfileTextValue(std::string_view text);

// Writes a text setting through ProfileTextValue; every text the plug-in saves goes here.
void WriteProfileText(std::string_view section, std::string_view key, std::string_view text, std::string_view file);

}  // namespace pellix
