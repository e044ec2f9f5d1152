#include "zelkor/Transcript.h"

#include "fx/Sjis.h"

namespace zelkor {

std::string OneLineUtf8(std::string_view cp932Text) {
  const std::string utf8 = fx::sjis::ToUtf8(cp932Text);
  std::string line;
  line.reserve(utf8.size());
  for (const char c : utf8) {
    if (c == '\r') {
      line += "\\r";
    } else if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  return line;
}

void Transcript::Item(std::string_view label, std::string_view cp932Text) {
  std::string line(label);
  if (!label.empty()) line += ' ';
  line += OneLineUtf8(cp932Text);
  Line(line);
}

void Transcript::Line(std::string_view utf8) {
  m_out << m_prefix << utf8 << '\n';
  m_out.flush();
}

void Transcript::Picture(std::string_view cp932Picture) {
  std::string utf8 = fx::sjis::ToUtf8(cp932Picture);
  if (!utf8.empty() && utf8.back() != '\n') utf8 += '\n';
  m_out << utf8;
  m_out.flush();
}

}  // namespace zelkor
