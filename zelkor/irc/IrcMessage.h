// One IRC protocol line: an optional prefix, a command and its parameters; and the framing of the
// byte stream into such lines. Nothing here trusts the peer: any bytes in, a bounded result out.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelkor::irc {

// The longest line taken from the wire, without its line end. Servers send at most 512 bytes
// with the line end (more with message tags, which are cut off here); a longer line is cut to
// this many bytes, at a UTF-8 character boundary where there is one near.
constexpr std::size_t kMaxReceivedLine = 8191;
// The most a line we send may take, with its prefix as the server relays it and CR LF.
constexpr std::size_t kMaxLineOnWire = 512;

struct Prefix {
  std::string nick;  // or the server's name
  std::string user;  // the ident, as the server gives it ("~name" when not verified)
  std::string host;
};

struct Message {
  std::string prefix;   // without the leading ':'; empty when the line has none
  std::string command;  // upper-cased: "PRIVMSG", "001"
  std::vector<std::string> params;  // the trailing parameter last, without its ':'

  const std::string& Param(std::size_t index) const;  // empty when missing
};

// nick!user@host; a prefix without '!' or '@' is all nick (a server's name).
Prefix SplitPrefix(std::string_view prefix);

// Parses one line (without CR LF). Message tags ("@...") are skipped. Nothing for a line with no
// command. At most 15 parameters, as the protocol allows; the 15th takes the rest of the line.
std::optional<Message> ParseLine(std::string_view line);

// "COMMAND p1 p2 :last\r\n". Every parameter has CR, LF and NUL removed; the last one is
// written with ':' when it is empty, has a space or starts with ':'. A middle parameter has
// its spaces removed.
std::string FormatLine(std::string_view command, const std::vector<std::string_view>& params);

// Cuts the byte stream from the server into lines. A line ends at LF (a CR before it is
// dropped; a lone CR ends a line too, as some servers send). A NUL ends the line's text: what
// follows it up to the line end is dropped. A line longer than kMaxReceivedLine is cut.
class LineReader {
 public:
  // Appends bytes; complete lines become available to Next.
  void Feed(std::string_view bytes);
  // The next complete line, if any.
  std::optional<std::string> Next();
  void Reset();

 private:
  void EndLine();

  std::string m_current;
  bool m_skipping = false;  // dropping the rest of a cut or NUL-ended line
  bool m_cut = false;
  std::deque<std::string> m_ready;
};

}  // namespace zelkor::irc
