// The profile functions on Win32 are the system's own. Names and values are converted with code
// page 932 at this boundary; the file itself is kept by the system in its ANSI code page, which
// is 932 on a Japanese system (and in the wine prefix the tests use).
#include "fx/Profile.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "Win32.h"
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

// A lone lead byte at the end would take the ']' or '=' written after it as its trail byte.
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

// The value as stored, or nothing when the file, section or key is missing.
std::optional<std::string> LookUp(std::string_view section, std::string_view key, std::string_view file) {
  section = Trim(section);
  key = Trim(key);
  if (key.empty() || !IsUsablePath(file)) return std::nullopt;
  const std::wstring wideSection = win32::Wide(section), wideKey = win32::Wide(key), wideFile = win32::Wide(file);
  // A default no value can equal tells a missing key from an empty one.
  static constexpr wchar_t kMissing[] = L"\x01\x02missing\x02\x01";
  for (DWORD size = 1024;; size *= 4) {
    std::wstring buffer(size, L'\0');
    const DWORD length = ::GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), kMissing, buffer.data(),
                                                    size, wideFile.c_str());
    if (length + 1 < size || size >= (1u << 20)) {
      buffer.resize(std::min(length, size));
      if (buffer == kMissing) return std::nullopt;
      return win32::Narrow(buffer);
    }
  }
}

}  // namespace

std::string ProfileGetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             std::size_t bufferSize, std::string_view file) {
  if (bufferSize == 0) return std::string();
  const std::optional<std::string> value = LookUp(section, key, file);
  return std::string(sjis::Cut(value ? std::string_view(*value) : defaultValue, bufferSize - 1));
}

// Through the string function rather than GetPrivateProfileIntW, whose sign and base handling
// differ between Windows versions: the reading is the same on every backend.
int ProfileGetInt(std::string_view section, std::string_view key, int defaultValue, std::string_view file) {
  const std::optional<std::string> value = LookUp(section, key, file);
  if (!value || value->empty()) return defaultValue;
  std::string_view digits = *value;
  const bool negative = digits.front() == '-';
  if (digits.front() == '-' || digits.front() == '+') digits.remove_prefix(1);
  std::int64_t magnitude = 0;
  constexpr std::int64_t limit = static_cast<std::int64_t>(INT_MAX) + 1;
  for (const char c : digits) {
    if (c < '0' || c > '9') break;
    magnitude = std::min(magnitude * 10 + (c - '0'), limit);
  }
  if (negative) return static_cast<int>(-magnitude);
  return static_cast<int>(std::min<std::int64_t>(magnitude, INT_MAX));
}

bool ProfileWriteString(std::string_view section, std::string_view key, std::string_view value,
                        std::string_view file) {
  section = Trim(section);
  key = Trim(key);
  if (!IsUsableSection(section) || !IsUsableKey(key) || !IsUsablePath(file)) return false;
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
  const std::wstring wideSection = win32::Wide(section), wideKey = win32::Wide(key), wideValue = win32::Wide(value),
                     wideFile = win32::Wide(file);
  return ::WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideValue.c_str(), wideFile.c_str()) != FALSE;
}

// The system keeps its own cache and checks the file's time itself; this only makes it let go.
void ProfileForgetCache() { ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, nullptr); }

namespace testing {
std::size_t ProfileFileLoads() { return 0; }
}  // namespace testing

}  // namespace fx
