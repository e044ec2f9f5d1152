// The parts of fx::File that every backend shares: ownership of the descriptor, the path
// conversion and the injected write failures.
#include "fx/File.h"

#include <mutex>

#include "FileFaults.h"
#include "fx/Sjis.h"

namespace fx {
namespace {

std::mutex g_faultMutex;
std::optional<std::size_t> g_writesBeforeFailure;
std::size_t g_bytesOfAFailingWrite = 0;

}  // namespace

// The project's own name for a path is UTF-8 on every platform; a backend may open the file
// under yet another form of it (UTF-16 on Windows).
std::string NativePath(std::string_view cp932Path) { return sjis::ToUtf8(cp932Path); }

File::~File() { Close(); }

File::File(File&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = other.m_fd;
    other.m_fd = -1;
  }
  return *this;
}

namespace detail {

WriteBudget TakeWriteBudget() {
  std::lock_guard lock(g_faultMutex);
  if (!g_writesBeforeFailure) return {};
  if (*g_writesBeforeFailure == 0) return {true, g_bytesOfAFailingWrite};
  --*g_writesBeforeFailure;
  return {};
}

}  // namespace detail

namespace seams {

void FailFileWritesAfter(std::optional<std::size_t> successfulWrites, std::size_t bytesOfAFailingWrite) {
  std::lock_guard lock(g_faultMutex);
  g_writesBeforeFailure = successfulWrites;
  g_bytesOfAFailingWrite = bytesOfAFailingWrite;
}

}  // namespace seams
}  // namespace fx
