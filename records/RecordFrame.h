// The frame every record line shares. A text record is "label …\r\n". An HTML record shows its
// label in a host colour, "<font color=\"#RRGGBB\">label …</font>", and ends in "<br>\r\n".
#pragma once

#include <string_view>

#include "records/RecordKind.h"
#include "records/RecordLine.h"

namespace pellix {

// "label " in a text line; "<font color=\"colour\">label " in an HTML line.
RecordLine BeginRecord(LineForm form, RecordKind kind, std::string_view colour);
// "label " in either form, for a record shown in the normal colour.
RecordLine BeginUncolouredRecord(LineForm form, RecordKind kind);
// "</font>" in an HTML line, where the coloured part of the record ends; nothing in a text line.
void EndColour(RecordLine& line);
// "<br>\r\n" in an HTML line, "\r\n" in a text line.
RecordLine EndRecord(RecordLine line);

}  // namespace pellix
