#include "fx/File.h"

#include <algorithm>
#include <fcntl.h>
#include <io.h>

#include "Win32.h"
#include "../core/FileFaults.h"
#include "fx/Sjis.h"

namespace fx {
namespace {

bool WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool File::OpenForAppend(std::string_view cp932Path) {
  Close();
  if (cp932Path.empty() || cp932Path.find('\0') != std::string_view::npos) return false;
  const std::wstring path = win32::Wide(cp932Path);
  // No other writer while it is open; readers (a browser showing the log) may look at it
  // meanwhile. Every write goes at the end; writing data (not only appending) lets a write
  // that failed part-way be taken back.
  HANDLE handle = ::CreateFileW(path.c_str(), FILE_WRITE_DATA | FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    ::CloseHandle(handle);
    return false;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_APPEND | _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    ::CloseHandle(handle);
    return false;
  }
  m_fd = fd;
  return true;
}

bool File::Write(std::string_view bytes) {
  if (m_fd < 0) return false;
  const detail::WriteBudget budget = detail::TakeWriteBudget();
  HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(m_fd));
  if (handle == INVALID_HANDLE_VALUE) return false;
  // No other writer may open the file, so its end is where this write begins.
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(handle, LARGE_INTEGER{}, &start, FILE_END)) return false;
  if (WriteAll(handle, budget.Allowed(bytes)) && !budget.fails) return true;
  // Whatever part of it went in is taken back: a later line must not run on from a torn one.
  if (::SetFilePointerEx(handle, start, nullptr, FILE_BEGIN)) ::SetEndOfFile(handle);
  return false;
}

void File::Close() {
  if (m_fd >= 0) {
    ::_close(m_fd);  // closes the handle too
    m_fd = -1;
  }
}

}  // namespace fx
