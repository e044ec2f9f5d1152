// The profile functions on Win32 are the system's own. Names and values are converted with code
// page 932 at this boundary; the file itself is kept by the system in its ANSI code page, which
// is 932 on a Japanese system (and in the wine prefix the tests use).
#include "fx/Profile.h"

#include <algorithm>

#include "../core/Backend.h"
#include "Win32.h"

namespace fx::backend {

std::optional<std::string> ProfileLookUp(std::string_view section, std::string_view key, std::string_view file) {
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

bool ProfileWrite(std::string_view section, std::string_view key, std::string_view value, std::string_view file) {
  const std::wstring wideSection = win32::Wide(section), wideKey = win32::Wide(key), wideValue = win32::Wide(value),
                     wideFile = win32::Wide(file);
  return ::WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideValue.c_str(), wideFile.c_str()) != FALSE;
}

}  // namespace fx::backend

namespace fx {

// The system keeps its own cache and checks the file's time itself; this only makes it let go.
void ProfileForgetCache() { ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, nullptr); }

}  // namespace fx
