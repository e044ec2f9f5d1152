// One record line as its builder made it: the text, CR LF included, and its form. The builder
// says which parts came from chat: in an HTML line they are escaped as they are appended, and a
// line over the limit is shortened only there, so its own markup always survives a cut.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pellix {

enum class LineForm { Text, Html };

class RecordLine {
 public:
  // Where a part from chat lies in Text(), escaped in an HTML line.
  struct Span {
    std::size_t offset = 0;
    std::size_t length = 0;
  };

  explicit RecordLine(LineForm form) : m_form(form) {
    // Room for a whole record line and its chat parts at once: a line is built in many appends.
    m_text.reserve(kTypicalLength);
    if (IsHtml()) m_chat.reserve(kTypicalChatParts);
  }

  // The plug-in's own text or markup, appended as it is.
  RecordLine& Own(std::string_view text);
  // A value from chat (a name, a chat text, a URL): '&', '<', '>' and '"' escaped in an HTML line.
  RecordLine& Chat(std::string_view value);

  LineForm Form() const noexcept { return m_form; }
  bool IsHtml() const noexcept { return m_form == LineForm::Html; }
  const std::string& Text() const noexcept { return m_text; }
  // The chat parts of an HTML line, in the order of the text; none in a text line.
  const std::vector<Span>& ChatSpans() const noexcept { return m_chat; }

 private:
  static constexpr std::size_t kTypicalLength = 256;
  static constexpr std::size_t kTypicalChatParts = 4;

  LineForm m_form;
  std::string m_text;
  std::vector<Span> m_chat;
};

}  // namespace pellix
