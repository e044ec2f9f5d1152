#include "handlers/PresenceRecords.h"

#include <cstdio>

#include "fx/Sjis.h"
#include "handlers/BaseName.h"
#include "handlers/HostText.h"
#include "handlers/HtmlEscape.h"
#include "handlers/LineTypeName.h"

namespace pellix {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string Unsigned(unsigned value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%u", value);
  return buffer;
}

std::string Bracketed(std::string_view address) {
  std::string out = "[";
  out += address;
  out += ']';
  return out;
}

// Each record's body is built once with the names raw and once with them escaped.
std::string JoinBody(std::string_view name, const JoinUserInfo& user, AddressForm form) {
  std::string out(name);
  out += " (";
  out += LineTypeName(user.lineType);
  out += ' ';
  out += Unsigned(user.files);
  out += " files)";
  out += Bracketed(FormatAddress(form, user.ip, user.port));
  return out;
}

std::string LeaveBody(std::string_view name, const LeaveUserInfo& user, AddressForm form) {
  std::string out(name);
  out += ' ';
  out += Bracketed(FormatAddress(form, user.ip, user.port));
  return out;
}

std::string RenameBody(std::string_view oldName, std::string_view newName, const RenameUserInfo& rename,
                       AddressForm form) {
  std::string out(oldName);
  out += " to ";
  out += newName;
  out += ' ';
  out += Bracketed(FormatAddress(form, rename.ip, rename.port));
  return out;
}

std::string TextLine(std::string_view label, std::string_view body) {
  std::string out(label);
  out += ' ';
  out += body;
  out += kLineEnd;
  return out;
}

std::string HtmlLine(std::string_view colour, std::string_view label, std::string_view escapedBody) {
  std::string out = "<font color=\"";
  out += colour;
  out += "\">";
  out += label;
  out += ' ';
  out += escapedBody;
  out += "</font><br>";
  out += kLineEnd;
  return out;
}

std::string_view RenameBaseName(std::string_view name) noexcept {
  return BaseName(fx::sjis::Cut(name, kRenameNameMaxBytes));
}

}  // namespace

std::string JoinDetail(const JoinUserInfo& user, AddressForm form) {
  return JoinBody(HostText(user.name), user, form);
}

std::string JoinTextLine(const JoinUserInfo& user, AddressForm form) {
  return TextLine("入室", JoinDetail(user, form));
}

std::string JoinHtmlLine(const JoinUserInfo& user, AddressForm form, std::string_view enterColour) {
  return HtmlLine(enterColour, "入室", JoinBody(HtmlEscape(HostText(user.name)), user, form));
}

std::string LeaveDetail(const LeaveUserInfo& user, AddressForm form) {
  return LeaveBody(HostText(user.name), user, form);
}

std::string LeaveTextLine(const LeaveUserInfo& user, AddressForm form) {
  return TextLine("退室", LeaveDetail(user, form));
}

std::string LeaveHtmlLine(const LeaveUserInfo& user, AddressForm form, std::string_view leaveColour) {
  return HtmlLine(leaveColour, "退室", LeaveBody(HtmlEscape(HostText(user.name)), user, form));
}

std::string RenameDetail(const RenameUserInfo& rename, AddressForm form) {
  return RenameBody(HostText(rename.oldName), HostText(rename.newName), rename, form);
}

std::string RenameTextLine(const RenameUserInfo& rename, AddressForm form) {
  return TextLine("改名", RenameDetail(rename, form));
}

std::string RenameHtmlLine(const RenameUserInfo& rename, AddressForm form, std::string_view topicColour) {
  return HtmlLine(topicColour, "改名",
                  RenameBody(HtmlEscape(HostText(rename.oldName)), HtmlEscape(HostText(rename.newName)), rename,
                             form));
}

bool RenameChangesBaseName(std::string_view oldName, std::string_view newName) noexcept {
  return RenameBaseName(oldName) != RenameBaseName(newName);
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
