#include "records/PresenceRecords.h"

#include <cstdio>

#include "fx/Sjis.h"
#include "records/BaseName.h"
#include "records/HostText.h"
#include "records/LineTypeName.h"
#include "records/RecordFrame.h"

namespace pellix {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string Unsigned(unsigned value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%u", value);
  return buffer;
}

void AppendAddress(RecordLine& line, AddressForm form, std::uint32_t ip, std::uint16_t port) {
  line.Own("[").Own(FormatAddress(form, ip, port)).Own("]");
}

// Each record's body serves as the event-list detail (a text line's body) and as the body of
// both log line forms.
RecordLine& JoinBody(RecordLine& line, const JoinUserInfo& user, AddressForm form) {
  line.Chat(HostText(user.name)).Own(" (").Own(LineTypeName(user.lineType)).Own(" ");
  line.Own(Unsigned(user.files)).Own(" files)");
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
std::string Detail(Body body, const Info& info, AddressForm form) {
  RecordLine line(LineForm::Text);
  return body(line, info, form).Text();
}

template <class Body, class Info>
RecordLine FramedLine(LineForm lineForm, std::string_view label, std::string_view colour, Body body, const Info& info,
                      AddressForm form) {
  RecordLine line = BeginRecord(lineForm, label, colour);
  body(line, info, form);
  EndColour(line);
  return EndRecord(std::move(line));
}

// The base name as shown in the notice: whole characters only.
std::string_view RenameBaseName(std::string_view name) noexcept {
  return BaseName(fx::sjis::Cut(name, kRenameNameMaxBytes));
}

// The base name as compared: bytes, whatever characters the cuts fall in. Cut at character
// boundaries, "アイウ12345678" and "アイ漢12345678" would both be "アイ" and the rename lost.
std::string_view ComparedBaseName(std::string_view name) noexcept {
  name = name.substr(0, kRenameNameMaxBytes);
  return name.size() <= kNameSuffixBytes ? name : name.substr(0, name.size() - kNameSuffixBytes);
}

}  // namespace

std::string JoinDetail(const JoinUserInfo& user, AddressForm form) { return Detail(JoinBody, user, form); }

RecordLine JoinLine(LineForm lineForm, const JoinUserInfo& user, AddressForm form, std::string_view enterColour) {
  return FramedLine(lineForm, "入室", enterColour, JoinBody, user, form);
}

std::string LeaveDetail(const LeaveUserInfo& user, AddressForm form) { return Detail(LeaveBody, user, form); }

RecordLine LeaveLine(LineForm lineForm, const LeaveUserInfo& user, AddressForm form, std::string_view leaveColour) {
  return FramedLine(lineForm, "退室", leaveColour, LeaveBody, user, form);
}

std::string RenameDetail(const RenameUserInfo& rename, AddressForm form) { return Detail(RenameBody, rename, form); }

RecordLine RenameLine(LineForm lineForm, const RenameUserInfo& rename, AddressForm form, std::string_view topicColour) {
  return FramedLine(lineForm, "改名", topicColour, RenameBody, rename, form);
}

bool RenameChangesBaseName(std::string_view oldName, std::string_view newName) noexcept {
  return ComparedBaseName(oldName) != ComparedBaseName(newName);
}

std::string RenameNotice(const fx::LocalTime& now, std::string_view oldName, std::string_view newName) {
  char clock[64];
  std::snprintf(clock, sizeof clock, "［%02d時%02d分%02d秒］", now.hour, now.minute, now.second);
  std::string out = clock;
  out += '[';
  out += RenameBaseName(oldName);
  out += "] は [";
  out += RenameBaseName(newName);
  out += "] に改名しました。";
  out += kLineEnd;
  return out;
}

}  // namespace pellix
