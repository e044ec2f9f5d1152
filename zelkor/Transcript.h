// The session's transcript: one line per thing that happened, in UTF-8, flushed as it is
// written so that a watcher (or a crash) never loses the tail.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace zelkor {

class Transcript {
 public:
  explicit Transcript(std::ostream& out) : m_out(out) {}

  // `label` (UTF-8) followed by a Shift-JIS text; line breaks inside the text are shown as \r
  // and \n so that one thing stays one line.
  void Item(std::string_view label, std::string_view cp932Text);
  // A line already in UTF-8, written as it is.
  void Line(std::string_view utf8);
  // A Shift-JIS text picture of several lines (each ending in a line feed).
  void Picture(std::string_view cp932Picture);
  // Put before every later Item and Line (UTF-8), such as the channel they belong to.
  void SetPrefix(std::string utf8) { m_prefix = std::move(utf8); }

 private:
  std::ostream& m_out;
  std::string m_prefix;
};

// The Shift-JIS text as UTF-8 on one line: CR and LF become the two characters \r and \n.
std::string OneLineUtf8(std::string_view cp932Text);

}  // namespace zelkor
