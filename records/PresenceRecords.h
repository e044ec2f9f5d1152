// Records of users joining, leaving and renaming: the event-list detail, the text log line and
// the HTML log line of each. Details and text lines keep names raw; HTML lines escape them.
// Build a log line only while logging is active: it is the hot path's only extra cost.
#pragma once

#include <string>
#include <string_view>

#include "fx/Clock.h"
#include "host/ZelkorPlugin.h"
#include "records/AddressForm.h"
#include "records/RecordLine.h"

namespace pellix {

// A null name in a host record reads as empty.

// "name (T1 3 files)[0100007F1A2B]"
std::string JoinDetail(const JoinUserInfo& user, AddressForm form);
// Text: "入室 <detail>\r\n". HTML: "<font color=\"<enterColour>\">入室 <detail></font><br>\r\n".
RecordLine JoinLine(LineForm lineForm, const JoinUserInfo& user, AddressForm form, std::string_view enterColour);

// "name [0100007F1A2B]"
std::string LeaveDetail(const LeaveUserInfo& user, AddressForm form);
// "退室 <detail>", framed as the join line.
RecordLine LeaveLine(LineForm lineForm, const LeaveUserInfo& user, AddressForm form, std::string_view leaveColour);

// "old to new [0100007F1A2B]", with the full names.
std::string RenameDetail(const RenameUserInfo& rename, AddressForm form);
// "改名 <detail>", framed as the join line.
RecordLine RenameLine(LineForm lineForm, const RenameUserInfo& rename, AddressForm form, std::string_view topicColour);

// Longest name taken from the host for the rename comparison and notice.
inline constexpr std::size_t kRenameNameMaxBytes = 1023;

// A rename is noticed and recorded only when it changes the visible name: the base names of
// both full names (each taken up to 1023 bytes) differ, compared byte by byte. Unlike the base
// names shown, these are not cut back to a character boundary.
bool RenameChangesBaseName(std::string_view oldName, std::string_view newName) noexcept;

// "［09時05分07秒］[old] は [new] に改名しました。\r\n": the time of day of `now` and the base
// names of the full names.
std::string RenameNotice(const fx::LocalTime& now, std::string_view oldName, std::string_view newName);

}  // namespace pellix
