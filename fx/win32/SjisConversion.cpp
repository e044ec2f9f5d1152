// The CP932 <-> UTF-8 conversions of fx/Sjis.h on Win32, through UTF-16 with the system's own
// tables for code page 932.
#include "fx/Sjis.h"
#include "fx/Types.h"

namespace fx::sjis {
namespace {

bool IsTrailByte(unsigned char b) noexcept { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
// Single bytes with a character: ASCII and the half-width katakana.
bool IsSingleByteChar(unsigned char b) noexcept { return b < 0x80 || (b >= 0xA1 && b <= 0xDF); }

std::wstring ToWide(UINT codePage, DWORD flags, std::string_view text, bool& ok) {
  ok = true;
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
  if (length <= 0) {
    ok = false;
    return std::wstring();
  }
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
  return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide, bool strict, bool& ok) {
  ok = true;
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  BOOL* used = strict ? &usedDefault : nullptr;
  const DWORD flags = strict ? WC_NO_BEST_FIT_CHARS : 0;
  const int length = ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, used);
  if (length <= 0 || usedDefault) {
    ok = false;
    return std::string();
  }
  std::string out(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), length, nullptr, used);
  if (usedDefault) ok = false;
  return out;
}

}  // namespace

std::optional<std::string> FromUtf8(std::string_view utf8) {
  bool ok = false;
  const std::wstring wide = ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, ok);
  if (!ok) return std::nullopt;
  std::string out = FromWide(932, wide, true, ok);
  if (!ok) return std::nullopt;
  return out;
}

std::string ToUtf8(std::string_view cp932) {
  static constexpr std::wstring_view replacement = L"\xFFFD";
  std::wstring wide;
  bool ok = false;
  // Character by character, so that a bad byte costs only itself, as with the headless backend.
  for (std::size_t pos = 0; pos < cp932.size();) {
    const auto b = static_cast<unsigned char>(cp932[pos]);
    if (IsLeadByte(b) && pos + 1 < cp932.size() && IsTrailByte(static_cast<unsigned char>(cp932[pos + 1]))) {
      const std::wstring one = ToWide(932, MB_ERR_INVALID_CHARS, cp932.substr(pos, 2), ok);
      wide += ok ? std::wstring_view(one) : replacement;
      pos += 2;
    } else if (IsSingleByteChar(b)) {
      std::size_t end = pos;
      while (end < cp932.size() && IsSingleByteChar(static_cast<unsigned char>(cp932[end]))) ++end;
      wide += ToWide(932, 0, cp932.substr(pos, end - pos), ok);
      pos = end;
    } else {
      wide += replacement;
      ++pos;
    }
  }
  return FromWide(CP_UTF8, wide, false, ok);
}

}  // namespace fx::sjis
