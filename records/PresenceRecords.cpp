#include "records/PresenceRecords.h"


#include "records/HostText.h"
#include "records/LineTypeName.h"
#include "records/RecordFrame.h"

namespace pellix {
namespace {

void AppendAddress(RecordLine& line, AddressForm form, std::uint32_t ip, std::uint16_t port) {
  line.Own("[").Own(FormatAddress(form, ip, port)).Own("]");
}

// Each record's body serves as the event-list detail (a text line's body) and as the body of
// both log line forms.
RecordLine& JoinBody(RecordLine& line, const JoinUserInfo& user, AddressForm form) {
  line.Chat(HostText(user.name)).Own(" (").Own(LineTypeName(user.lineType)).Own(" ");
  line.Own(std::to_string(user.files)).Own(" files)");
  AppendAddress(line, form, user.ip, user.port);
  return line;
}

RecordLine& LeaveBody(RecordLine& line, const LeaveUserInfo& user, AddressForm form) {
  line.Chat(HostText(user.name)).Own(" ");
  AppendAddress(line, form, user.ip, user.port);
  return line;
}

RecordLine& RenameBody(RecordLine& line, const RenameUserInfo& rename, AddressForm form) {
  line.Chat(HostText(rename.oldName)).Own(" to ").Chat(HostText(rename.newName)).Own(" ");
  AppendAddress(line, form, rename.ip, rename.port);
  return line;
}

template <class Body, class Info>
std::string DetailOf(Body body, const Info& info, AddressForm form) {
  RecordLine line(LineForm::Text);
  return body(line, info, form).Text();
}

template <class Body, class Info>
RecordLine FramedLine(LineForm lineForm, RecordKind kind, std::string_view colour, Body body, const Info& info,
                      AddressForm form) {
  RecordLine line = BeginRecord(lineForm, kind, colour);
  body(line, info, form);
  EndColour(line);
  return EndRecord(std::move(line));
}

}  // namespace

std::string JoinRecord::Detail() const { return DetailOf(JoinBody, m_user, m_form); }

RecordLine JoinRecord::Line(LineForm lineForm) const {
  return FramedLine(lineForm, kKind, m_colour, JoinBody, m_user, m_form);
}

std::string LeaveRecord::Detail() const { return DetailOf(LeaveBody, m_user, m_form); }

RecordLine LeaveRecord::Line(LineForm lineForm) const {
  return FramedLine(lineForm, kKind, m_colour, LeaveBody, m_user, m_form);
}

std::string RenameRecord::Detail() const { return DetailOf(RenameBody, m_rename, m_form); }

RecordLine RenameRecord::Line(LineForm lineForm) const {
  return FramedLine(lineForm, kKind, m_colour, RenameBody, m_rename, m_form);
}

}  // namespace pellix
