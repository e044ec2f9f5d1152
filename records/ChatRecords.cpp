#include "records/ChatRecords.h"

#include <array>

#include "fx/Sjis.h"
#include "records/RecordFrame.h"

namespace pellix {

std::optional<ChatRecordForm> ChatRecordFormFor(std::string_view name, std::string_view checkUser,
                                                bool nameInclude) noexcept {
  if (checkUser.empty()) return ChatRecordForm::WithSpeaker;
  if (!fx::sjis::ContainsNoCase(name, checkUser)) return std::nullopt;
  return nameInclude ? ChatRecordForm::WithSpeaker : ChatRecordForm::TextOnly;
}

std::string ChatDetail(ChatRecordForm form, std::string_view name, std::string_view text) {
  std::string out;
  if (form == ChatRecordForm::WithSpeaker) {
    out += '<';
    out += name;
    out += "> ";
  }
  out += text;
  return out;
}

RecordLine ChatLine(LineForm lineForm, ChatRecordForm form, std::string_view name, std::string_view text,
                    std::string_view nameColour) {
  RecordLine line = BeginRecord(lineForm, "発言", nameColour);
  if (form == ChatRecordForm::WithSpeaker) {
    line.Own(line.IsHtml() ? "&lt;" : "<").Chat(name).Own(line.IsHtml() ? "&gt; " : "> ");
  }
  // The speaker is coloured; the text is not.
  EndColour(line);
  line.Chat(text);
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

RecordLine AdministrativeLine(LineForm lineForm, std::string_view text, std::string_view actionColour) {
  RecordLine line = BeginRecord(lineForm, "管理", actionColour);
  line.Chat(text);
  EndColour(line);
  return EndRecord(std::move(line));
}

RecordLine UrlLine(LineForm lineForm, std::string_view url) {
  RecordLine line(lineForm);
  line.Own("URL ");
  // A cut shortens the last part from chat first: the text shown goes before the link.
  if (line.IsHtml()) line.Own("<a href=\"").Chat(url).Own("\">");
  line.Chat(url);
  if (line.IsHtml()) line.Own("</a>");
  return EndRecord(std::move(line));
}

}  // namespace pellix
