#include "zelkor/irc/WireText.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "fx/Sjis.h"

namespace zelkor::irc {
namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The length of the well-formed UTF-8 character at the start of `text`, 0 when there is none
// (a stray byte, an overlong form, a surrogate, beyond U+10FFFF, or cut short).
std::size_t Utf8CharLength(std::string_view text) {
  const auto at = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if ((at(i) & 0xC0) != 0x80) return 0;
  return length;
}

// The code point of a well-formed UTF-8 character of `length` bytes (Utf8CharLength's).
char32_t DecodeUtf8(std::string_view one, std::size_t length) {
  const auto at = [&one](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(one[i])); };
  if (length == 1) return at(0);
  char32_t cp = at(0) & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) cp = (cp << 6) | (at(i) & 0x3F);
  return cp;
}

// Every character CP932 holds, by code point, as the platform's own conversion gives it back
// from UTF-8: made once from that conversion, so that it gives the same bytes and refuses the
// same characters (look-alikes included). iconv took most of a received line's time, twice over
// with its check.
class Cp932Table {
 public:
  static const Cp932Table& Get() {
    static const Cp932Table table;
    return table;
  }

  // The CP932 code of a non-ASCII character (a lead byte and a trail byte, or one byte); 0 when
  // CP932 has none. What the table lacks is asked of the platform: the characters CP932 cannot
  // hold, and one-way mappings such as Windows' U+0080 to 0x80, convert as they did.
  std::uint16_t Of(std::string_view utf8, char32_t cp) const {
    if (cp < m_codes.size() && m_codes[cp] != 0) return m_codes[cp];
    return CodeOf(fx::sjis::FromUtf8(utf8));
  }

 private:
  Cp932Table() : m_codes(0x10000, 0) {
    // Single bytes too, the half-width katakana among them.
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
      if (!fx::sjis::IsLeadByte(static_cast<unsigned char>(b))) {
        Learn(std::string(1, static_cast<char>(b)));
        continue;
      }
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
        if (trail != 0x7F) Learn(std::string{static_cast<char>(b), static_cast<char>(trail)});
    }
  }

  void Learn(const std::string& cp932) {
    const std::string utf8 = fx::sjis::ToUtf8(cp932);
    const std::size_t length = utf8.empty() ? 0 : Utf8CharLength(utf8);
    if (length < 2 || length != utf8.size()) return;
    const char32_t cp = DecodeUtf8(utf8, length);
    if (cp >= m_codes.size() || cp == 0xFFFD || m_codes[cp] != 0) return;
    // The code point's own conversion decides, where two codes give the same character.
    m_codes[cp] = CodeOf(fx::sjis::FromUtf8(utf8));
  }

  static std::uint16_t CodeOf(const std::optional<std::string>& cp932) {
    if (!cp932 || cp932->empty() || cp932->size() > 2) return 0;
    const auto byte = [&cp932](std::size_t i) { return static_cast<std::uint16_t>(static_cast<unsigned char>((*cp932)[i])); };
    return cp932->size() == 1 ? byte(0) : static_cast<std::uint16_t>(byte(0) << 8 | byte(1));
  }

  std::vector<std::uint16_t> m_codes;  // 0: none
};

// UTF-8 as CP932, character by character; a character CP932 cannot hold and every stray byte
// become '?' when `lossy`, else end the conversion (false).
bool ConvertUtf8(std::string_view wire, bool lossy, std::string& out) {
  const Cp932Table& table = Cp932Table::Get();
  // CP932 takes no more bytes than UTF-8 for any character, nor a '?' more than what it replaces.
  out.resize(wire.size());
  char* to = out.data();
  for (std::size_t pos = 0; pos < wire.size();) {
    if (static_cast<unsigned char>(wire[pos]) < 0x80) {
      *to++ = wire[pos++];
      continue;
    }
    const std::size_t length = Utf8CharLength(wire.substr(pos));
    const std::uint16_t code = length == 0 ? 0 : table.Of(wire.substr(pos, length), DecodeUtf8(wire.substr(pos), length));
    if (code == 0) {
      if (!lossy) return false;
      *to++ = '?';
    } else {
      if (code > 0xFF) *to++ = static_cast<char>(code >> 8);
      *to++ = static_cast<char>(code & 0xFF);
    }
    pos += length == 0 ? 1 : length;
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
  return true;
}

bool IsShiftJis(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (fx::sjis::IsLeadByte(b)) {
      if (pos + 1 == text.size()) return false;
      const auto trail = static_cast<unsigned char>(text[pos + 1]);
      if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
      pos += 2;
    } else if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
      ++pos;
    } else {
      return false;
    }
  }
  // Every double-byte code must be an assigned character too.
  return fx::sjis::ToUtf8(text).find("\xEF\xBF\xBD") == std::string::npos;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Skips up to `most` characters that `accept` takes, from `pos`.
template <typename Accept>
std::size_t SkipUpTo(std::string_view text, std::size_t pos, std::size_t most, Accept accept) {
  std::size_t end = pos;
  while (end < text.size() && end - pos < most && accept(text[end])) ++end;
  return end;
}

// A colour's foreground and, only after one, its "," and background.
template <typename Accept>
std::size_t SkipColour(std::string_view text, std::size_t pos, std::size_t most, Accept accept) {
  const std::size_t end = SkipUpTo(text, pos, most, accept);
  if (end == pos || end + 1 >= text.size() || text[end] != ',' || !accept(text[end + 1])) return end;
  return SkipUpTo(text, end + 1, most, accept);
}

}  // namespace

bool IsUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8CharLength(text.substr(pos));
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string WireToCp932(std::string_view wire) {
  if (IsAscii(wire)) return std::string(wire);
  std::string out;
  if (ConvertUtf8(wire, false, out)) return out;
  if (!IsUtf8(wire) && IsShiftJis(wire)) return std::string(wire);
  out.clear();
  ConvertUtf8(wire, true, out);
  return out;
}

std::string Cp932ToWire(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  return fx::sjis::ToUtf8(cp932);
}

std::size_t Utf8CutLength(std::string_view utf8, std::size_t maxBytes) {
  if (utf8.size() <= maxBytes) return utf8.size();
  const auto continuation = [&utf8](std::size_t i) { return (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80; };
  std::size_t cut = maxBytes;
  while (cut > 0 && maxBytes - cut < 3 && continuation(cut)) --cut;
  return cut == 0 || continuation(cut) ? maxBytes : cut;
}

std::vector<std::string_view> SplitUtf8(std::string_view utf8, std::size_t maxBytes) {
  maxBytes = std::max<std::size_t>(maxBytes, 4);
  std::vector<std::string_view> pieces;
  while (!utf8.empty()) {
    const std::size_t cut = Utf8CutLength(utf8, maxBytes);
    pieces.push_back(utf8.substr(0, cut));
    utf8.remove_prefix(cut);
  }
  return pieces;
}

std::string WithoutFormatting(std::string_view text) {
  if (std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
    return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const char c = text[pos++];
    switch (c) {
      case '\x02': case '\x0F': case '\x11': case '\x16': case '\x1D': case '\x1E': case '\x1F':
        break;
      case '\x03':  // colour: up to two digits, then "," and up to two more
        pos = SkipColour(text, pos, 2, IsDigit);
        break;
      case '\x04':  // colour in hex: six digits, then "," and six more
        pos = SkipColour(text, pos, 6, IsHexDigit);
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace zelkor::irc
