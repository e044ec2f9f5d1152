// Records of users joining, leaving and renaming: each gives its kind, the event-list detail,
// and the text or HTML log line. Details and text lines keep names raw; HTML lines escape them.
// Build a log line only while logging is active: it is the hot path's only extra cost.
// A record refers to the values it was made from, which must outlive it; a null name in a host
// record reads as empty.
#pragma once

#include <string>
#include <string_view>

#include "host/ZelkorPlugin.h"
#include "records/AddressForm.h"
#include "records/RecordKind.h"
#include "records/RecordLine.h"

namespace pellix {

class JoinRecord {
 public:
  static constexpr RecordKind kKind = RecordKind::Join;
  JoinRecord(const JoinUserInfo& user, AddressForm form, std::string_view enterColour) noexcept
      : m_user(user), m_form(form), m_colour(enterColour) {}
  // "name (T1 3 files)[0100007F1A2B]"
  std::string Detail() const;
  // Text: "入室 <detail>\r\n". HTML: "<font color=\"<enterColour>\">入室 <detail></font><br>\r\n".
  RecordLine Line(LineForm lineForm) const;

 private:
  const JoinUserInfo& m_user;
  AddressForm m_form;
  std::string_view m_colour;
};

class LeaveRecord {
 public:
  static constexpr RecordKind kKind = RecordKind::Leave;
  LeaveRecord(const LeaveUserInfo& user, AddressForm form, std::string_view leaveColour) noexcept
      : m_user(user), m_form(form), m_colour(leaveColour) {}
  // "name [0100007F1A2B]"
  std::string Detail() const;
  // "退室 <detail>", framed as the join line.
  RecordLine Line(LineForm lineForm) const;

 private:
  const LeaveUserInfo& m_user;
  AddressForm m_form;
  std::string_view m_colour;
};

class RenameRecord {
 public:
  static constexpr RecordKind kKind = RecordKind::Rename;
  RenameRecord(const RenameUserInfo& rename, AddressForm form, std::string_view topicColour) noexcept
      : m_rename(rename), m_form(form), m_colour(topicColour) {}
  // "old to new [0100007F1A2B]", with the full names.
  std::string Detail() const;
  // "改名 <detail>", framed as the join line.
  RecordLine Line(LineForm lineForm) const;

 private:
  const RenameUserInfo& m_rename;
  AddressForm m_form;
  std::string_view m_colour;
};

}  // namespace pellix
