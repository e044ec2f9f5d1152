// The texts of a log file that do not come from the events: its name, the HTML style block, the
// time prefix of each line, and the cut of an over-long line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "fx/Clock.h"
#include "records/RecordLine.h"

namespace pellix {

// Longest part of a record line that goes into the file, in bytes.
inline constexpr std::size_t kLogLineMaxBytes = 1023;

// "EventLog[MM月DD日hh時mm分ss秒].txt", or ".html" for an HTML log. No year: a start in the same
// second of another year appends to the same file.
std::string LogFileName(const fx::LocalTime& time, bool html);

// The CSS block at the top of an HTML log, lines ending in CR LF.
std::string LogStyleBlock(std::string_view normalColour, std::string_view backgroundColour,
                          std::string_view fontName, std::string_view fontSize);

// The time in front of a record line: a small coloured time for HTML, "[hh:mm:ss] " for text.
std::string LogTimePrefix(const fx::LocalTime& time, bool html, std::string_view normalColour);

// The line as it goes into the file: unchanged up to kLogLineMaxBytes; a longer line is cut at a
// character boundary and ends in CR LF, so the next line starts on a line of its own. A CR or LF
// before the line's own CR LF (from chat) becomes a space: a chat line cannot start a forged
// record line of its own in the file. A text line is cut at its end. An HTML line loses only
// text from chat, in whole characters and whole character references, the last part first: it
// keeps all of its own markup and its "<br>", so a browser still shows one record per line.
std::string_view CutLogLine(const RecordLine& line, std::string& storage);

// "%02d:%02d:%02d" of the time: the time column of the event list.
std::string EventTimeText(const fx::LocalTime& time);

}  // namespace pellix
