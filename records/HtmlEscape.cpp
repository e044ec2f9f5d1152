#include "records/HtmlEscape.h"

#include <cstdint>
#include <cstring>

namespace pellix {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;

constexpr bool HasZeroByte(std::uint64_t word) noexcept { return ((word - kOnes) & ~word & kHighs) != 0; }

// Whether any of eight bytes is one of the escaped characters: a chat line is mostly plain, so
// most of it is passed over a word at a time.
bool HasEscapedByte(std::uint64_t word) noexcept {
  return HasZeroByte(word ^ (kOnes * '&')) || HasZeroByte(word ^ (kOnes * '<')) || HasZeroByte(word ^ (kOnes * '>')) ||
         HasZeroByte(word ^ (kOnes * '"'));
}

std::string_view EntityOf(char c) noexcept {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    default: return {};
  }
}

}  // namespace

// Byte-wise is safe for Shift-JIS: trail bytes start at 0x40, above all four escaped characters.
// The bytes between two escaped characters go on in one append.
void AppendHtmlEscaped(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size());
  std::size_t plainFrom = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text.size() - at >= sizeof(std::uint64_t)) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + at, sizeof word);
      if (!HasEscapedByte(word)) {
        at += sizeof word;
        continue;
      }
    }
    const std::string_view entity = EntityOf(text[at]);
    if (!entity.empty()) {
      out.append(text.substr(plainFrom, at - plainFrom));
      out.append(entity);
      plainFrom = at + 1;
    }
    ++at;
  }
  out.append(text.substr(plainFrom));
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  AppendHtmlEscaped(out, text);
  return out;
}

}  // namespace pellix
