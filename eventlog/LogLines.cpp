#include "eventlog/LogLines.h"

#include <cstdio>

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
  std::string block = "<style type=\"text/css\">\r\n    body {\r\n     color: \"";
  block += normalColour;
  block += "\";\r\n     background:\"";
  block += backgroundColour;
  block += "\";\r\n     font-family: \"";
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
constexpr std::string_view kLineBreaks = "\r\n";
constexpr std::size_t kContentMaxBytes = kLogLineMaxBytes - kLineEnd.size();

std::size_t BodyLength(std::string_view line) {
  return line.ends_with(kLineEnd) ? line.size() - kLineEnd.size() : line.size();
}

// CR and LF are never trail bytes, so a byte-wise replacement keeps every character whole.
void FlattenLineBreaks(std::string& text, std::size_t length) {
  for (std::size_t at = text.find_first_of(kLineBreaks); at < length; at = text.find_first_of(kLineBreaks, at + 1))
    text[at] = ' ';
}

std::string_view CutAtEnd(std::string_view line, std::string& storage) {
  storage.assign(fx::sjis::Cut(line, kContentMaxBytes));
  FlattenLineBreaks(storage, storage.size());
  return storage;
}

// Every '<' byte of an HTML line is the plug-in's own markup (chat's are escaped byte by byte),
// even one that a lone lead byte at the end of a chat text runs into. A tag cut in half would
// swallow the next line's opening tag in a browser, so it goes altogether.
std::string_view CutHtmlLine(const RecordLine& line, std::string& storage) {
  CutAtEnd(line.Text(), storage);
  const std::size_t open = storage.rfind('<');
  if (open != std::string::npos && storage.find('>', open) == std::string::npos) storage.erase(open);
  storage += kLineEnd;
  return storage;
}

}  // namespace

std::string_view CutLogLine(const RecordLine& line, std::string& storage) {
  const std::string_view text = line.Text();
  const std::size_t bodyLength = BodyLength(text);
  const bool strayBreak = text.substr(0, bodyLength).find_first_of(kLineBreaks) != std::string_view::npos;
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
