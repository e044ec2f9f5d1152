// How long to wait before connecting again: soon after the first loss, then twice as long each
// time, up to five minutes; a connection that was accepted by the server starts it over.
#pragma once

#include <algorithm>

namespace zelkor::irc {

class RetryDelay {
 public:
  static constexpr int kFirstSeconds = 2;
  static constexpr int kLongestSeconds = 300;

  // Seconds to wait before the next try.
  int Next() {
    const int delay = m_next;
    m_next = std::min(m_next * 2, kLongestSeconds);
    return delay;
  }
  void Reset() { m_next = kFirstSeconds; }

 private:
  int m_next = kFirstSeconds;
};

}  // namespace zelkor::irc
