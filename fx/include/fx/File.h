// Files opened by the framework. Paths are CP932 text, converted where the file is opened.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fx {

// CP932 -> the platform's file-name encoding (UTF-8 on Linux). Invalid bytes become U+FFFD.
std::string NativePath(std::string_view cp932Path);

// An append-only file for logs, held under an exclusive lock while open.
class File {
 public:
  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;

  // Creates the file if missing (mode 0644), keeps its content and appends. Fails when another
  // File, in this process or another, holds it, when the path is a folder, or when the folder is
  // missing or unwritable. A File already open is closed first.
  bool OpenForAppend(std::string_view cp932Path);
  // Hands all bytes to the OS before returning (no user-space buffer, no fsync). False on any
  // failure, including a File that is not open and a file deleted or replaced (renamed over)
  // since it was opened, whose lines nobody could read. All or nothing: a write that fails
  // part-way (a full disk) is taken back, so the file never ends inside what was written.
  bool Write(std::string_view bytes);
  void Close();
  bool IsOpen() const noexcept { return m_fd >= 0; }

 private:
  int m_fd = -1;
};

namespace seams {
// After N more successful Write calls (process-wide), every Write fails; nullopt switches it off.
// A failing Write first hands bytesOfAFailingWrite of its bytes to the file, as a disk that fills
// up part-way through a write does.
void FailFileWritesAfter(std::optional<std::size_t> successfulWrites, std::size_t bytesOfAFailingWrite = 0);
}  // namespace seams

}  // namespace fx
