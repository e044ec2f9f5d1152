#include "handlers/ChatRecords.h"

#include <array>

#include "fx/Sjis.h"
#include "handlers/HtmlEscape.h"

namespace pellix {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

void AppendFontOpen(std::string& out, std::string_view colour) {
  out += "<font color=\"";
  out += colour;
  out += "\">";
}

}  // namespace

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

std::string ChatTextLine(ChatRecordForm form, std::string_view name, std::string_view text) {
  std::string out = "発言 ";
  out += ChatDetail(form, name, text);
  out += kLineEnd;
  return out;
}

std::string ChatHtmlLine(ChatRecordForm form, std::string_view name, std::string_view text,
                         std::string_view nameColour) {
  std::string out;
  AppendFontOpen(out, nameColour);
  out += "発言 ";
  if (form == ChatRecordForm::WithSpeaker) {
    out += "&lt;";
    AppendHtmlEscaped(out, name);
    out += "&gt; ";
  }
  out += "</font>";
  AppendHtmlEscaped(out, text);
  out += "<br>";
  out += kLineEnd;
  return out;
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

std::string AdministrativeTextLine(std::string_view text) {
  std::string out = "管理 ";
  out += text;
  out += kLineEnd;
  return out;
}

std::string AdministrativeHtmlLine(std::string_view text, std::string_view actionColour) {
  std::string out;
  AppendFontOpen(out, actionColour);
  out += "管理 ";
  AppendHtmlEscaped(out, text);
  out += "</font><br>";
  out += kLineEnd;
  return out;
}

std::string UrlTextLine(std::string_view url) {
  std::string out = "URL ";
  out += url;
  out += kLineEnd;
  return out;
}

std::string UrlHtmlLine(std::string_view url) {
  const std::string escaped = HtmlEscape(url);
  std::string out = "URL <a href=\"";
  out += escaped;
  out += "\">";
  out += escaped;
  out += "</a><br>";
  out += kLineEnd;
  return out;
}

}  // namespace pellix
