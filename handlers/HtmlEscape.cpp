#include "handlers/HtmlEscape.h"

namespace pellix {

// Byte-wise is safe for Shift-JIS: trail bytes start at 0x40, above all four escaped characters.
// The bytes between two escaped characters go on in one append: a record line is mostly plain.
void AppendHtmlEscaped(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size());
  std::size_t plainFrom = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    std::string_view entity;
    switch (text[at]) {
      case '&': entity = "&amp;"; break;
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      case '"': entity = "&quot;"; break;
      default: continue;
    }
    out.append(text.substr(plainFrom, at - plainFrom));
    out.append(entity);
    plainFrom = at + 1;
  }
  out.append(text.substr(plainFrom));
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  AppendHtmlEscaped(out, text);
  return out;
}

}  // namespace pellix
