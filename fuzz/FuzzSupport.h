// What every fuzz target shares: reading the fuzzer's bytes as several fields, and a check that
// aborts with a message (libFuzzer then saves the input that broke it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "invariant broken: %s [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
  std::abort();
}

inline void Check(bool holds, const char* what, std::string_view detail = {}) {
  if (!holds) Fail(what, detail);
}

// Splits the input into fields: a field ends at a 0x00 byte (which a C string could never hold
// anyway) or at the end of the data. Bytes are taken as they are, Shift-JIS or garbage.
class Fields {
 public:
  Fields(const std::uint8_t* data, std::size_t size)
      : m_rest(reinterpret_cast<const char*>(data), size) {}

  std::string_view Next() {
    const std::size_t end = m_rest.find('\0');
    const std::string_view field = m_rest.substr(0, end);
    m_rest = end == std::string_view::npos ? std::string_view() : m_rest.substr(end + 1);
    return field;
  }
  // One byte as a small number (0 when the data is used up).
  unsigned Byte() {
    if (m_rest.empty()) return 0;
    const auto b = static_cast<unsigned char>(m_rest.front());
    m_rest.remove_prefix(1);
    return b;
  }
  std::string_view Rest() const { return m_rest; }
  bool Empty() const { return m_rest.empty(); }

 private:
  std::string_view m_rest;
};

// True when stepping by Shift-JIS characters from the start lands exactly on `pos`.
inline bool OnCharBoundary(std::string_view text, std::size_t pos) {
  std::size_t p = 0;
  while (p < pos) {
    const auto b = static_cast<unsigned char>(text[p]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    p += (lead && p + 1 < text.size()) ? 2 : 1;
  }
  return p == pos;
}

// The text does not end in the middle of a double-byte character (a lead byte left alone).
inline bool WholeCharacters(std::string_view text) {
  std::size_t p = 0;
  while (p < text.size()) {
    const auto b = static_cast<unsigned char>(text[p]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (lead && p + 1 == text.size()) return false;
    p += lead ? 2 : 1;
  }
  return true;
}

}  // namespace fuzz
