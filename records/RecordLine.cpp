#include "records/RecordLine.h"

#include "records/HtmlEscape.h"

namespace pellix {

RecordLine& RecordLine::Own(std::string_view text) {
  m_text += text;
  return *this;
}

RecordLine& RecordLine::Chat(std::string_view value) {
  if (!IsHtml()) return Own(value);
  const std::size_t start = m_text.size();
  AppendHtmlEscaped(m_text, value);
  if (m_text.size() > start) m_chat.push_back({start, m_text.size() - start});
  return *this;
}

}  // namespace pellix
