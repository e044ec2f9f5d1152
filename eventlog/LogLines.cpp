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

constexpr std::string_view kLineBreaks = "\r\n";

// The HTML records begin with the plug-in's own markup; a text record begins with its label.
bool IsHtmlRecord(std::string_view line) { return line.starts_with("<font ") || line.starts_with("URL <a href="); }

// CR and LF are never trail bytes, so a byte-wise replacement keeps every character whole.
void FlattenLineBreaks(std::string& text, std::size_t length) {
  for (std::size_t at = text.find_first_of(kLineBreaks); at < length; at = text.find_first_of(kLineBreaks, at + 1))
    text[at] = ' ';
}

}  // namespace

std::string_view CutLogLine(std::string_view line, std::string& storage) {
  constexpr std::string_view kLineEnd = "\r\n";
  const std::size_t bodyLength = line.ends_with(kLineEnd) ? line.size() - kLineEnd.size() : line.size();
  const bool strayBreak = line.substr(0, bodyLength).find_first_of(kLineBreaks) != std::string_view::npos;
  if (line.size() <= kLogLineMaxBytes) {
    if (!strayBreak) return line;
    storage.assign(line);
    FlattenLineBreaks(storage, bodyLength);
    return storage;
  }
  storage.assign(fx::sjis::Cut(line, kLogLineMaxBytes - kLineEnd.size()));
  FlattenLineBreaks(storage, storage.size());
  // Every '<' byte of an HTML record is the plug-in's own markup (chat's are escaped byte by
  // byte), even one that a lone lead byte at the end of a chat text runs into. A tag cut in half
  // would swallow the next line's opening tag in a browser, so it goes altogether. A text record
  // is told apart by its start, not its end: chat text may well end in "<br>".
  if (IsHtmlRecord(line)) {
    const std::size_t open = storage.rfind('<');
    if (open != std::string::npos && storage.find('>', open) == std::string::npos) storage.erase(open);
  }
  storage += kLineEnd;
  return storage;
}

std::string EventTimeText(const fx::LocalTime& time) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
  return text;
}

}  // namespace pellix
