#include "records/ChatRecords.h"

#include <array>
#include <utility>

#include "fx/Sjis.h"
#include "records/RecordFrame.h"

namespace pellix {

std::optional<ChatRecordForm> ChatRecordFormFor(std::string_view name, std::string_view checkUser,
                                                bool nameInclude) noexcept {
  if (checkUser.empty()) return ChatRecordForm::WithSpeaker;
  if (!fx::sjis::ContainsNoCase(name, checkUser)) return std::nullopt;
  return nameInclude ? ChatRecordForm::WithSpeaker : ChatRecordForm::TextOnly;
}

std::string ChatRecord::Detail() const {
  std::string out;
  if (m_form == ChatRecordForm::WithSpeaker) {
    out += '<';
    out += m_name;
    out += "> ";
  }
  out += m_text;
  return out;
}

RecordLine ChatRecord::Line(LineForm lineForm) const {
  RecordLine line = BeginRecord(lineForm, kKind, m_colour);
  if (m_form == ChatRecordForm::WithSpeaker) {
    line.Own(line.IsHtml() ? "&lt;" : "<").Chat(m_name).Own(line.IsHtml() ? "&gt; " : "> ");
  }
  // The speaker is coloured; the text is not.
  EndColour(line);
  line.Chat(m_text);
  return EndRecord(std::move(line));
}

bool HasAdministrativeMarker(std::string_view name) noexcept {
  static constexpr std::array<std::string_view, 3> markers = {"(ﾟзﾟ)＜", "(ﾟ_ﾟ)＜", "管理］"};
  for (const std::string_view marker : markers) {
    if (fx::sjis::ContainsNoCase(name, marker)) return true;
  }
  return false;
}

bool IsAdministrativeLine(std::string_view name, std::uint32_t flag) noexcept {
  return flag != 0 && HasAdministrativeMarker(name);
}

RecordLine AdministrativeRecord::Line(LineForm lineForm) const {
  RecordLine line = BeginRecord(lineForm, kKind, m_colour);
  line.Chat(m_text);
  EndColour(line);
  return EndRecord(std::move(line));
}

RecordLine UrlRecord::Line(LineForm lineForm) const {
  RecordLine line = BeginUncolouredRecord(lineForm, kKind);
  // A cut shortens the last part from chat first: the text shown goes before the link.
  if (line.IsHtml()) line.Own("<a href=\"").Chat(m_url).Own("\">");
  line.Chat(m_url);
  if (line.IsHtml()) line.Own("</a>");
  return EndRecord(std::move(line));
}

}  // namespace pellix
