// Records of chat lines: the chat line itself, administrative lines and the URLs found in it.
// Details and text lines keep the chat values raw; HTML lines escape them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// "<name> text" or "text".
std::string ChatDetail(ChatRecordForm form, std::string_view name, std::string_view text);
// Text: "発言 <name> text\r\n" or "発言 text\r\n".
// HTML: "<font color=\"c\">発言 &lt;name&gt; </font>text<br>\r\n" or "<font color=\"c\">発言 </font>text<br>\r\n".
RecordLine ChatLine(LineForm lineForm, ChatRecordForm form, std::string_view name, std::string_view text,
                    std::string_view nameColour);

// The name carries one of "(ﾟзﾟ)＜", "(ﾟ_ﾟ)＜", "管理］" (letter case ignored).
bool HasAdministrativeMarker(std::string_view name) noexcept;
// A marked name and a non-zero host flag (RCMSLog is the caller's test). The detail is the text.
bool IsAdministrativeLine(std::string_view name, std::uint32_t flag) noexcept;
// Text: "管理 text\r\n". HTML: "<font color=\"c\">管理 text</font><br>\r\n".
RecordLine AdministrativeLine(LineForm lineForm, std::string_view text, std::string_view actionColour);

// Text: "URL url\r\n". HTML: "URL <a href=\"url\">url</a><br>\r\n". The detail is the URL.
RecordLine UrlLine(LineForm lineForm, std::string_view url);

}  // namespace pellix
