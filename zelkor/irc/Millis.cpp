// Built with a UTF-8 execution character set (see Millis.h).
#include "zelkor/irc/Millis.h"

#include <chrono>

namespace zelkor::irc {

Millis NowMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace zelkor::irc
