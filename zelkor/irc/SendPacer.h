// When the next line may go to the server: a short burst, then one line every two seconds, as
// well-behaved clients pace themselves so that no server drops them for flooding.
#pragma once

#include "zelkor/irc/Millis.h"

namespace zelkor::irc {

class SendPacer {
 public:
  static constexpr int kBurst = 5;
  static constexpr Millis kInterval = 2000;

  // True when a line may be sent at `now`; it is then counted as sent.
  bool TakeTurn(Millis now);
  // When the next line may be sent (`now` or earlier when one may go at once).
  Millis NextTurn(Millis now) const;
  // A new connection starts with a full burst.
  void Reset() { m_debt = 0; m_since = 0; }

 private:
  // Lines not yet "paid off", measured as time: each line adds one interval, time repays it.
  Millis Debt(Millis now) const;

  Millis m_debt = 0;
  Millis m_since = 0;
};

}  // namespace zelkor::irc
