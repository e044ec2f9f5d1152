// Records of chat lines: the chat line itself, administrative lines and the URLs found in it.
// Details and text lines keep the chat values raw; HTML lines escape them. A record refers to
// the values it was made from, which must outlive it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/RecordKind.h"
#include "records/RecordLine.h"

namespace pellix {

enum class ChatRecordForm {
  WithSpeaker,  // "<name> text"
  TextOnly,     // "text": a watched name recorded with NameInclude off
};

// Whether and how a chat line is recorded (MessageLog is the caller's test). With an empty
// CheckUser every line is recorded with its speaker; otherwise only lines whose speaker's name
// contains CheckUser (letter case ignored), with the speaker only when NameInclude is on.
std::optional<ChatRecordForm> ChatRecordFormFor(std::string_view name, std::string_view checkUser,
                                                bool nameInclude) noexcept;

class ChatRecord {
 public:
  static constexpr RecordKind kKind = RecordKind::Chat;
  ChatRecord(ChatRecordForm form, std::string_view name, std::string_view text, std::string_view nameColour) noexcept
      : m_form(form), m_name(name), m_text(text), m_colour(nameColour) {}
  // "<name> text" or "text".
  std::string Detail() const;
  // Text: "発言 <name> text\r\n" or "発言 text\r\n".
  // HTML: "<font color=\"c\">発言 &lt;name&gt; </font>text<br>\r\n" or "<font color=\"c\">発言 </font>text<br>\r\n".
  RecordLine Line(LineForm lineForm) const;

 private:
  ChatRecordForm m_form;
  std::string_view m_name, m_text, m_colour;
};

// The name carries one of "(ﾟзﾟ)＜", "(ﾟ_ﾟ)＜", "管理］" (letter case ignored).
bool HasAdministrativeMarker(std::string_view name) noexcept;
// A marked name and a non-zero host flag (RCMSLog is the caller's test).
bool IsAdministrativeLine(std::string_view name, std::uint32_t flag) noexcept;

class AdministrativeRecord {
 public:
  static constexpr RecordKind kKind = RecordKind::Administrative;
  AdministrativeRecord(std::string_view text, std::string_view actionColour) noexcept
      : m_text(text), m_colour(actionColour) {}
  // The text.
  std::string Detail() const { return std::string(m_text); }
  // Text: "管理 text\r\n". HTML: "<font color=\"c\">管理 text</font><br>\r\n".
  RecordLine Line(LineForm lineForm) const;

 private:
  std::string_view m_text, m_colour;
};

class UrlRecord {
 public:
  static constexpr RecordKind kKind = RecordKind::Url;
  explicit UrlRecord(std::string_view url) noexcept : m_url(url) {}
  // The URL.
  std::string Detail() const { return std::string(m_url); }
  // Text: "URL url\r\n". HTML: "URL <a href=\"url\">url</a><br>\r\n".
  RecordLine Line(LineForm lineForm) const;

 private:
  std::string_view m_url;
};

}  // namespace pellix
