// The CP932 <-> UTF-8 conversions of fx/Sjis.h on the headless backend, with iconv.
#include <cerrno>
#include <iconv.h>

#include "fx/Sjis.h"

namespace fx::sjis {
namespace {

bool IsTrailByte(unsigned char b) noexcept { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

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

std::optional<std::string> FromUtf8(std::string_view utf8) {
  thread_local Converter converter("CP932", "UTF-8");
  if (!converter.Ok()) return std::nullopt;
  std::string out;
  std::string_view in = utf8;
  if (converter.Convert(in, out) != 0) return std::nullopt;
  // iconv's CP932 writes a few characters as look-alikes it cannot give back (U+00A5 YEN SIGN as
  // the backslash, U+203E OVERLINE as the tilde). Such a text is refused, as one CP932 cannot
  // hold, rather than passed on changed.
  if (ToUtf8(out) != utf8) return std::nullopt;
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
