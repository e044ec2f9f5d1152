#include "records/RecordFrame.h"

namespace pellix {

RecordLine BeginRecord(LineForm form, std::string_view label, std::string_view colour) {
  RecordLine line(form);
  if (line.IsHtml()) line.Own("<font color=\"").Own(colour).Own("\">");
  line.Own(label).Own(" ");
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
