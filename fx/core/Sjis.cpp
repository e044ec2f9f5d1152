#include "fx/Sjis.h"

#include <cerrno>
#include <iconv.h>

namespace fx::sjis {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsAsciiLetter(unsigned char b) noexcept { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); }

unsigned char FoldAscii(unsigned char b) noexcept {
  return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b - 'A' + 'a') : b;
}

bool IsTrailByte(unsigned char b) noexcept { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Compares needle with text at the character start pos. Folding follows the text's characters;
// lead bytes are never letters, so the needle's characters line up with the text's.
bool MatchesAt(std::string_view text, std::size_t pos, std::string_view needle, bool foldCase) noexcept {
  if (needle.size() > text.size() - pos) return false;
  std::size_t i = 0;
  while (i < needle.size()) {
    const std::size_t length = CharLength(text, pos + i);
    if (i + length > needle.size()) return false;  // the match would end inside a character
    for (std::size_t k = 0; k < length; ++k) {
      auto t = static_cast<unsigned char>(text[pos + i + k]);
      auto n = static_cast<unsigned char>(needle[i + k]);
      if (foldCase && length == 1 && IsAsciiLetter(t)) {
        t = FoldAscii(t);
        n = FoldAscii(n);
      }
      if (t != n) return false;
    }
    i += length;
  }
  return true;
}

std::size_t FindImpl(std::string_view text, std::string_view needle, std::size_t from, bool foldCase) noexcept {
  std::size_t pos = 0;
  while (pos < from && pos < text.size()) pos += CharLength(text, pos);
  if (pos < from) return npos;  // from lies past the end
  for (; pos <= text.size(); pos += CharLength(text, pos)) {
    if (MatchesAt(text, pos, needle, foldCase)) return pos;
    if (pos == text.size()) break;
  }
  return npos;
}

// One conversion descriptor per thread and direction, reset before each use.
class Converter {
 public:
  Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Converter() {
    if (m_cd != invalid()) iconv_close(m_cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Ok() const noexcept { return m_cd != invalid(); }

  // Converts as much as possible; returns iconv's errno (0 when everything was converted).
  // `in` is advanced past the converted input.
  int Convert(std::string_view& in, std::string& out) {
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[1024];
    while (!in.empty()) {
      char* src = const_cast<char*>(in.data());
      std::size_t srcLeft = in.size();
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      const std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
      const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      in.remove_prefix(in.size() - srcLeft);
      if (error == E2BIG) continue;
      if (error != 0) return error;
    }
    return 0;
  }

 private:
  static iconv_t invalid() noexcept { return reinterpret_cast<iconv_t>(-1); }
  iconv_t m_cd;
};

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t pos) noexcept {
  if (pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos]))) return 2;
  return 1;
}

bool IsCharBoundary(std::string_view text, std::size_t pos) noexcept {
  std::size_t p = 0;
  while (p < pos && p < text.size()) p += CharLength(text, p);
  return p == pos;
}

std::size_t CutLength(std::string_view text, std::size_t maxBytes) noexcept {
  if (text.size() <= maxBytes) return text.size();
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t next = pos + CharLength(text, pos);
    if (next > maxBytes) break;
    pos = next;
  }
  return pos;
}

std::string_view Cut(std::string_view text, std::size_t maxBytes) noexcept {
  return text.substr(0, CutLength(text, maxBytes));
}

std::size_t Find(std::string_view text, std::string_view needle, std::size_t from) noexcept {
  return FindImpl(text, needle, from, false);
}

std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from) noexcept {
  return FindImpl(text, needle, from, true);
}

bool Contains(std::string_view text, std::string_view needle) noexcept { return Find(text, needle) != npos; }

bool ContainsNoCase(std::string_view text, std::string_view needle) noexcept {
  return FindNoCase(text, needle) != npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() && MatchesAt(a, 0, b, true);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) noexcept {
  return MatchesAt(text, 0, prefix, true);
}

std::string ToLower(std::string_view text) {
  std::string out(text);
  for (std::size_t pos = 0; pos < out.size();) {
    const std::size_t length = CharLength(out, pos);
    if (length == 1) out[pos] = static_cast<char>(FoldAscii(static_cast<unsigned char>(out[pos])));
    pos += length;
  }
  return out;
}

std::size_t FindLastSeparator(std::string_view path) noexcept {
  std::size_t last = npos;
  for (std::size_t pos = 0; pos < path.size();) {
    const std::size_t length = CharLength(path, pos);
    if (length == 1 && (path[pos] == '\\' || path[pos] == '/')) last = pos;
    pos += length;
  }
  return last;
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
  thread_local Converter converter("CP932", "UTF-8");
  if (!converter.Ok()) return std::nullopt;
  std::string out;
  std::string_view in = utf8;
  if (converter.Convert(in, out) != 0) return std::nullopt;
  return out;
}

std::string ToUtf8(std::string_view cp932) {
  thread_local Converter converter("UTF-8", "CP932");
  static constexpr std::string_view replacement = "\xEF\xBF\xBD";
  std::string out;
  if (!converter.Ok()) return out;
  std::string_view in = cp932;
  while (converter.Convert(in, out) != 0 && !in.empty()) {
    out += replacement;
    // An unassigned double-byte code counts as one character; any other bad byte alone.
    const bool pair = in.size() >= 2 && IsLeadByte(static_cast<unsigned char>(in[0])) &&
                      IsTrailByte(static_cast<unsigned char>(in[1]));
    in.remove_prefix(pair ? 2 : 1);
  }
  return out;
}

}  // namespace fx::sjis
