#include "handlers/HtmlEscape.h"

namespace pellix {

// Byte-wise is safe for Shift-JIS: trail bytes start at 0x40, above all four escaped characters.
void AppendHtmlEscaped(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c; break;
    }
  }
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  AppendHtmlEscaped(out, text);
  return out;
}

}  // namespace pellix
