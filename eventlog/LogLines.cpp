#include "eventlog/LogLines.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "fx/Sjis.h"

namespace pellix {

std::string LogFileName(const fx::LocalTime& time, bool html) {
  char name[128];
  std::snprintf(name, sizeof name, html ? "EventLog[%02d月%02d日%02d時%02d分%02d秒].html"
                                        : "EventLog[%02d月%02d日%02d時%02d分%02d秒].txt",
                time.month, time.day, time.hour, time.minute, time.second);
  return name;
}

std::string LogStyleBlock(std::string_view normalColour, std::string_view backgroundColour,
                          std::string_view fontName, std::string_view fontSize) {
  // The colours go without quotes: a quoted colour is not valid CSS, and browsers drop it.
  std::string block = "<style type=\"text/css\">\r\n    body {\r\n     color: ";
  block += normalColour;
  block += ";\r\n     background:";
  block += backgroundColour;
  block += ";\r\n     font-family: \"";
  block += fontName;
  block += "\";\r\n     font-size: ";
  block += fontSize;
  block += "pt;\r\n   }\r\n</style>\r\n";
  return block;
}

std::string LogTimePrefix(const fx::LocalTime& time, bool html, std::string_view normalColour) {
  const std::string clock = EventTimeText(time);
  if (!html) return std::string("[") + clock + "] ";
  std::string prefix = "<font color=\"";
  prefix += normalColour;
  prefix += "\" size=1>";
  prefix += clock;
  prefix += "</font> ";
  return prefix;
}

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kContentMaxBytes = kLogLineMaxBytes - kLineEnd.size();

std::size_t BodyLength(std::string_view line) {
  return line.ends_with(kLineEnd) ? line.size() - kLineEnd.size() : line.size();
}

// The first CR or LF at or after `from`. Two memchr sweeps: find_first_of would look every byte
// of a record line up in the two-byte set with a call of its own, on every line written.
std::size_t FindLineBreak(std::string_view text, std::size_t from = 0) {
  return std::min(text.find('\r', from), text.find('\n', from));
}

// CR and LF are never trail bytes, so a byte-wise replacement keeps every character whole.
void FlattenLineBreaks(std::string& text, std::size_t length) {
  for (std::size_t at = FindLineBreak(text); at < length; at = FindLineBreak(text, at + 1)) text[at] = ' ';
}

// One unit of escaped chat text: a character reference, or one character. A lead byte before a
// reference stands alone: the '&' belongs to the reference.
std::size_t EscapedUnitLength(std::string_view escaped, std::size_t at) {
  if (escaped[at] == '&') {
    const std::size_t end = escaped.find(';', at);
    return end == std::string_view::npos ? escaped.size() - at : end + 1 - at;
  }
  if (fx::sjis::IsLeadByte(static_cast<unsigned char>(escaped[at])) && at + 1 < escaped.size() && escaped[at + 1] != '&')
    return 2;
  return 1;
}

// Longest prefix of escaped chat text, at most maxBytes long, that ends between two units.
std::size_t EscapedCutLength(std::string_view escaped, std::size_t maxBytes) {
  std::size_t at = 0;
  while (at < escaped.size()) {
    const std::size_t next = at + EscapedUnitLength(escaped, at);
    if (next > maxBytes) break;
    at = next;
  }
  return at;
}

std::string_view CutAtEnd(std::string_view line, std::string& storage) {
  storage.assign(fx::sjis::Cut(line, kContentMaxBytes));
  FlattenLineBreaks(storage, storage.size());
  return storage;
}

// Only when the line's own markup alone is over the limit: then no tag or reference is left
// half written at the end.
void DropUnfinishedMarkup(std::string& text) {
  for (const auto& [open, close] : {std::pair{'<', '>'}, std::pair{'&', ';'}}) {
    const std::size_t at = text.rfind(open);
    if (at != std::string::npos && text.find(close, at) == std::string::npos) text.erase(at);
  }
}

std::string_view CutHtmlLine(const RecordLine& line, std::string& storage) {
  const std::string_view text = line.Text();
  const std::vector<RecordLine::Span>& spans = line.ChatSpans();
  std::vector<std::size_t> kept(spans.size());
  std::size_t excess = text.size() - kLogLineMaxBytes;
  for (std::size_t i = spans.size(); i-- > 0;) {
    const RecordLine::Span span = spans[i];
    if (excess == 0) {
      kept[i] = span.length;
    } else if (span.length <= excess) {
      excess -= span.length;
    } else {
      kept[i] = EscapedCutLength(text.substr(span.offset, span.length), span.length - excess);
      excess = 0;
    }
  }
  if (excess > 0) {
    CutAtEnd(text, storage);
    DropUnfinishedMarkup(storage);
    storage += kLineEnd;
    return storage;
  }
  storage.clear();
  std::size_t from = 0;
  for (std::size_t i = 0; i < spans.size(); ++i) {
    storage.append(text, from, spans[i].offset + kept[i] - from);
    from = spans[i].offset + spans[i].length;
  }
  storage.append(text, from);
  FlattenLineBreaks(storage, BodyLength(storage));
  return storage;
}

}  // namespace

std::string_view CutLogLine(const RecordLine& line, std::string& storage) {
  const std::string_view text = line.Text();
  const std::size_t bodyLength = BodyLength(text);
  const bool strayBreak = FindLineBreak(text) < bodyLength;
  if (text.size() <= kLogLineMaxBytes) {
    if (!strayBreak) return text;
    storage.assign(text);
    FlattenLineBreaks(storage, bodyLength);
    return storage;
  }
  if (line.IsHtml()) return CutHtmlLine(line, storage);
  CutAtEnd(text, storage);
  storage += kLineEnd;
  return storage;
}

std::string EventTimeText(const fx::LocalTime& time) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
  return text;
}

}  // namespace pellix
