#include "records/RecordFrame.h"

namespace pellix {

RecordLine BeginRecord(LineForm form, RecordKind kind, std::string_view colour) {
  RecordLine line(form);
  if (line.IsHtml()) line.Own("<font color=\"").Own(colour).Own("\">");
  line.Own(RecordLabel(kind)).Own(" ");
  return line;
}

RecordLine BeginUncolouredRecord(LineForm form, RecordKind kind) {
  RecordLine line(form);
  line.Own(RecordLabel(kind)).Own(" ");
  return line;
}

void EndColour(RecordLine& line) {
  if (line.IsHtml()) line.Own("</font>");
}

RecordLine EndRecord(RecordLine line) {
  if (line.IsHtml()) line.Own("<br>");
  line.Own("\r\n");
  return line;
}

}  // namespace pellix
