#include <unistd.h>

#include "../core/Backend.h"
#include "fx/Sjis.h"

namespace fx::backend {

std::string ExecutablePath() {
  std::string buffer(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0) return std::string();
  buffer.resize(static_cast<std::size_t>(length));
  // A name CP932 cannot represent is passed on as its bytes rather than lost.
  return sjis::FromUtf8(buffer).value_or(buffer);
}

}  // namespace fx::backend
