#include "../core/Backend.h"
#include "fx/Desktop.h"

namespace fx::backend {

// Nothing leaves a headless process unless the host installs a desktop that does it.
Desktop& DefaultDesktop() {
  static Desktop silent;
  return silent;
}

}  // namespace fx::backend
