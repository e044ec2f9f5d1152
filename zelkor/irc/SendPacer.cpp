#include "zelkor/irc/SendPacer.h"

#include <algorithm>

namespace zelkor::irc {

Millis SendPacer::Debt(Millis now) const { return std::max<Millis>(m_debt - std::max<Millis>(now - m_since, 0), 0); }

bool SendPacer::TakeTurn(Millis now) {
  const Millis debt = Debt(now);
  // A line may go while the debt stays within the burst once the line is added.
  if (debt + kInterval > kInterval * kBurst) return false;
  m_debt = debt + kInterval;
  m_since = now;
  return true;
}

Millis SendPacer::NextTurn(Millis now) const {
  const Millis excess = Debt(now) + kInterval - kInterval * kBurst;
  return excess > 0 ? now + excess : now;
}

}  // namespace zelkor::irc
