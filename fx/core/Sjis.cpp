#include "fx/Sjis.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace fx::sjis {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsAsciiLetter(unsigned char b) noexcept { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); }

unsigned char FoldAscii(unsigned char b) noexcept {
  return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b - 'A' + 'a') : b;
}

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

// The next position at or after `from` holding `byte`, or the text's size.
std::size_t NextByte(std::string_view text, std::size_t from, unsigned char byte) noexcept {
  if (from >= text.size()) return text.size();
  const void* hit = std::memchr(text.data() + from, byte, text.size() - from);
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : text.size();
}

// Only bytes that can begin a match are compared in full: the needle's first byte, or either
// case of it for a letter when folding. The walk over character starts moves forward only, so
// the search stays linear however often the first byte occurs.
std::size_t FindImpl(std::string_view text, std::string_view needle, std::size_t from, bool foldCase) noexcept {
  std::size_t pos = 0;
  while (pos < from && pos < text.size()) pos += CharLength(text, pos);
  if (pos < from) return npos;  // from lies past the end
  if (needle.empty()) return pos;
  const auto first = static_cast<unsigned char>(needle[0]);
  const bool bothCases = foldCase && IsAsciiLetter(first);
  const unsigned char lower = bothCases ? FoldAscii(first) : first;
  const unsigned char upper = bothCases ? static_cast<unsigned char>(lower - 'a' + 'A') : first;
  std::size_t nextLower = NextByte(text, pos, lower);
  std::size_t nextUpper = bothCases ? NextByte(text, pos, upper) : text.size();
  std::size_t boundary = pos;  // a character start, never past the candidate being looked at
  while (true) {
    const std::size_t at = std::min(nextLower, nextUpper);
    if (at >= text.size() || needle.size() > text.size() - at) return npos;
    while (boundary < at) boundary += CharLength(text, boundary);
    if (boundary == at && MatchesAt(text, at, needle, foldCase)) return at;
    if (at == nextLower) nextLower = NextByte(text, at + 1, lower);
    if (at == nextUpper) nextUpper = NextByte(text, at + 1, upper);
  }
}

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

// Texts equal with their letters folded agree in every byte but bit 0x20 (the case bit of the
// letters), so one cheap sweep over the bytes turns away nearly every pair that differs before
// the character-wise comparison runs.
bool EqualsNoCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  constexpr std::uint64_t kCaseBits = 0x2020202020202020u;
  // Two texts that differ tend to share their beginning (two addresses on one site), so the
  // last word is compared first.
  if (a.size() >= 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a.data() + a.size() - 8, 8);
    std::memcpy(&y, b.data() + b.size() - 8, 8);
    if ((x ^ y) & ~kCaseBits) return false;
  }
  std::size_t i = 0;
  for (; i + 8 <= a.size(); i += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if ((x ^ y) & ~kCaseBits) return false;
  }
  for (; i < a.size(); ++i)
    if ((static_cast<unsigned char>(a[i]) ^ static_cast<unsigned char>(b[i])) & ~0x20u) return false;
  return MatchesAt(a, 0, b, true);
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

}  // namespace fx::sjis
