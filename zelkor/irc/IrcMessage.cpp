#include "zelkor/irc/IrcMessage.h"

#include <algorithm>

namespace zelkor::irc {
namespace {

constexpr std::size_t kMaxParams = 15;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// Drops a UTF-8 character left incomplete at the end by a cut.
void TrimIncompleteUtf8(std::string& text) {
  const std::size_t limit = text.size() > 4 ? text.size() - 4 : 0;
  for (std::size_t i = text.size(); i > limit; --i) {
    const auto b = static_cast<unsigned char>(text[i - 1]);
    if (IsContinuation(b)) continue;
    if (b >= 0xC0 && Utf8SequenceLength(b) > text.size() - (i - 1)) text.resize(i - 1);
    return;
  }
}

void AppendClean(std::string& out, std::string_view text, bool keepSpaces) {
  for (const char c : text)
    if (c != '\r' && c != '\n' && c != '\0' && (keepSpaces || c != ' ')) out += c;
}

}  // namespace

const std::string& Message::Param(std::size_t index) const {
  static const std::string empty;
  return index < params.size() ? params[index] : empty;
}

Prefix SplitPrefix(std::string_view prefix) {
  Prefix result;
  const std::size_t at = prefix.find('@');
  const std::size_t bang = prefix.substr(0, at).find('!');
  result.nick = std::string(prefix.substr(0, std::min(bang, at)));
  if (bang != std::string_view::npos) result.user = std::string(prefix.substr(bang + 1, at == std::string_view::npos ? at : at - bang - 1));
  if (at != std::string_view::npos) result.host = std::string(prefix.substr(at + 1));
  return result;
}

std::optional<Message> ParseLine(std::string_view line) {
  auto skipSpaces = [&line] {
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  };
  auto word = [&line] {
    const std::size_t end = std::min(line.find(' '), line.size());
    const std::string_view result = line.substr(0, end);
    line.remove_prefix(end);
    return result;
  };
  skipSpaces();
  if (line.starts_with('@')) {
    word();
    skipSpaces();
  }
  Message message;
  if (line.starts_with(':')) {
    line.remove_prefix(1);
    message.prefix = std::string(word());
    skipSpaces();
  }
  const std::string_view command = word();
  if (command.empty()) return std::nullopt;
  message.command.reserve(command.size());
  for (const char c : command) message.command += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  message.params.reserve(4);  // a chat line's two without growing twice
  for (;;) {
    skipSpaces();
    if (line.empty()) break;
    if (line.front() == ':' || message.params.size() + 1 == kMaxParams) {
      if (line.front() == ':') line.remove_prefix(1);
      message.params.emplace_back(line);
      break;
    }
    message.params.emplace_back(word());
  }
  return message;
}

std::string FormatLine(std::string_view command, const std::vector<std::string_view>& params) {
  std::string out(command);
  for (std::size_t i = 0; i < params.size(); ++i) {
    out += ' ';
    if (i + 1 == params.size()) {
      const std::string_view last = params[i];
      if (last.empty() || last.find(' ') != std::string_view::npos || last.front() == ':') out += ':';
      AppendClean(out, last, true);
    } else {
      AppendClean(out, params[i], false);
    }
  }
  out += "\r\n";
  return out;
}

void LineReader::Feed(std::string_view bytes) {
  // A run of plain bytes at a time: appending byte by byte cost ten times the scan.
  while (!bytes.empty()) {
    std::size_t end = 0;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r' && bytes[end] != '\0') ++end;
    if (!m_skipping) {
      const std::size_t room = kMaxReceivedLine - m_current.size();
      m_current.append(bytes.data(), std::min(end, room));
      if (end > room) m_skipping = m_cut = true;
    }
    if (end == bytes.size()) return;
    if (bytes[end] == '\0') {
      m_skipping = true;
    } else {
      EndLine();
    }
    bytes.remove_prefix(end + 1);
  }
}

void LineReader::EndLine() {
  if (m_cut) TrimIncompleteUtf8(m_current);
  if (!m_current.empty()) m_ready.push_back(std::move(m_current));
  m_current.clear();
  m_skipping = m_cut = false;
}

std::optional<std::string> LineReader::Next() {
  if (m_ready.empty()) return std::nullopt;
  std::string line = std::move(m_ready.front());
  m_ready.pop_front();
  return line;
}

void LineReader::Reset() {
  m_current.clear();
  m_ready.clear();
  m_skipping = m_cut = false;
}

}  // namespace zelkor::irc
