// The profile functions' rules that hold on every backend: how names are trimmed and checked,
// how a value is cut to its buffer and how an integer is read.
#include "fx/Profile.h"

#include <cstdint>

#include "Backend.h"
#include "fx/Sjis.h"

namespace fx {
namespace {

constexpr std::size_t npos = std::string_view::npos;

std::string_view Trim(std::string_view text) noexcept {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A name ending in a lone lead byte would take the ']' or '=' after it as its trail byte, so
// the line written could never be read back.
bool EndsInWholeCharacter(std::string_view name) {
  std::size_t pos = 0;
  while (pos < name.size()) {
    if (sjis::IsLeadByte(static_cast<unsigned char>(name[pos])) && pos + 1 == name.size()) return false;
    pos += sjis::CharLength(name, pos);
  }
  return true;
}

bool IsUsableSection(std::string_view section) {
  return section.find_first_of(std::string_view("\r\n\0", 3)) == npos && sjis::Find(section, "]") == npos &&
         EndsInWholeCharacter(section);
}

bool IsUsableKey(std::string_view key) {
  return !key.empty() && key.front() != '[' && key.front() != ';' &&
         key.find_first_of(std::string_view("=\r\n\0", 4)) == npos && EndsInWholeCharacter(key);
}

bool IsUsablePath(std::string_view file) { return !file.empty() && file.find('\0') == npos; }

std::optional<std::string> LookUp(std::string_view section, std::string_view key, std::string_view file) {
  section = Trim(section);
  key = Trim(key);
  if (key.empty() || !IsUsablePath(file)) return std::nullopt;
  return backend::ProfileLookUp(section, key, file);
}

}  // namespace

std::string ProfileGetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             std::size_t bufferSize, std::string_view file) {
  if (bufferSize == 0) return std::string();
  const std::optional<std::string> value = LookUp(section, key, file);
  return std::string(sjis::Cut(value ? std::string_view(*value) : defaultValue, bufferSize - 1));
}

// Read from the value's text on every backend: the system's own integer read differs between
// Windows versions on signs and bases. As the Windows functions read it, the number is taken in
// 32 bits, modulo 2^32, never capped: 2147483903 is 0x800000FF, 4294967297 is 1.
int ProfileGetInt(std::string_view section, std::string_view key, int defaultValue, std::string_view file) {
  const std::optional<std::string> value = LookUp(section, key, file);
  if (!value || value->empty()) return defaultValue;
  std::string_view digits = *value;
  const bool negative = digits.front() == '-';
  if (digits.front() == '-' || digits.front() == '+') digits.remove_prefix(1);
  std::uint32_t number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') break;
    number = number * 10u + static_cast<std::uint32_t>(c - '0');
  }
  if (negative) number = 0u - number;
  return static_cast<int>(number);
}

bool ProfileWriteString(std::string_view section, std::string_view key, std::string_view value,
                        std::string_view file) {
  section = Trim(section);
  key = Trim(key);
  if (!IsUsableSection(section) || !IsUsableKey(key) || !IsUsablePath(file)) return false;
  // A value ends at its first line break, so it can never start lines or sections of its own.
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
  return backend::ProfileWrite(section, key, value, file);
}

}  // namespace fx
