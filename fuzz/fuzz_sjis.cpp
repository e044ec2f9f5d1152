// The Shift-JIS helpers on arbitrary bytes: a lone lead byte at the end, trail bytes that look
// like ASCII letters, needles that would match across a character.
#include <cstring>

#include "FuzzSupport.h"
#include "fx/Sjis.h"

namespace {

namespace sjis = fx::sjis;

unsigned char Fold(unsigned char b) { return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b - 'A' + 'a') : b; }

// The plain definition of a whole-character search, to hold the real one against.
std::size_t ReferenceFind(std::string_view text, std::string_view needle, std::size_t from, bool foldCase) {
  for (std::size_t pos = 0; pos <= text.size(); pos += sjis::CharLength(text, pos)) {
    if (pos >= from && pos + needle.size() <= text.size() && fuzz::OnCharBoundary(text, pos + needle.size())) {
      bool same = true;
      for (std::size_t i = 0; i < needle.size() && same;) {
        const std::size_t length = sjis::CharLength(text, pos + i);
        for (std::size_t k = 0; k < length && same; ++k) {
          auto t = static_cast<unsigned char>(text[pos + i + k]);
          auto n = static_cast<unsigned char>(needle[i + k]);
          if (foldCase && length == 1) t = Fold(t), n = Fold(n);
          same = t == n;
        }
        i += length;
      }
      if (same) return pos;
    }
    if (pos == text.size()) break;
  }
  return std::string_view::npos;
}

bool ValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Fields fields(data, size);
  const std::size_t limit = fields.Byte() * 4 + fields.Byte() % 4;
  const std::size_t from = fields.Byte() % 16;
  const std::string_view needle = fields.Next();
  const std::string_view text = fields.Rest();

  // A cut never splits a double-byte character, and takes every character that fits.
  const std::size_t cut = sjis::CutLength(text, limit);
  fuzz::Check(cut <= text.size() && (cut <= limit), "cut longer than its limit", text);
  fuzz::Check(fuzz::OnCharBoundary(text, cut), "cut splits a character", text);
  fuzz::Check(cut == text.size() || cut + sjis::CharLength(text, cut) > limit, "cut shorter than needed", text);
  if (fuzz::WholeCharacters(text)) fuzz::Check(fuzz::WholeCharacters(sjis::Cut(text, limit)), "cut leaves a lead byte");

  fuzz::Check(sjis::Find(text, needle, from) == ReferenceFind(text, needle, from, false), "Find", text);
  fuzz::Check(sjis::FindNoCase(text, needle, from) == ReferenceFind(text, needle, from, true), "FindNoCase", text);

  // Lower-casing changes single-byte letters only and keeps every character where it was.
  const std::string lower = sjis::ToLower(text);
  fuzz::Check(lower.size() == text.size(), "ToLower changed the length", text);
  for (std::size_t pos = 0; pos < text.size(); pos += sjis::CharLength(text, pos)) {
    if (sjis::CharLength(text, pos) == 2) {
      fuzz::Check(std::memcmp(lower.data() + pos, text.data() + pos, 2) == 0, "ToLower changed a double-byte character", text);
    }
  }
  fuzz::Check(sjis::EqualsNoCase(text, lower), "text differs from its lower case", text);

  const std::size_t separator = sjis::FindLastSeparator(text);
  if (separator != std::string_view::npos) {
    fuzz::Check(fuzz::OnCharBoundary(text, separator) && (text[separator] == '/' || text[separator] == '\\'),
                "separator inside a character", text);
  }

  // Conversions: the UTF-8 side is always valid, and what comes back from CP932 converts back.
  const std::string utf8 = sjis::ToUtf8(text);
  fuzz::Check(ValidUtf8(utf8), "ToUtf8 made invalid UTF-8", text);
  if (const auto back = sjis::FromUtf8(utf8)) fuzz::Check(sjis::ToUtf8(*back) == utf8, "CP932 round trip", text);
  if (const auto cp932 = sjis::FromUtf8(text)) fuzz::Check(sjis::ToUtf8(*cp932) == text, "UTF-8 round trip", text);
  return 0;
}
