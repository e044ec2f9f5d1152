#include "records/LineTypeName.h"

#include <array>

namespace pellix {

std::string_view LineTypeName(std::uint16_t code) noexcept {
  static constexpr std::array<std::string_view, 11> names = {
      "Unknown", "14.4K", "28.8K", "33.6K", "56K", "64K ISDN", "128K ISDN", "Cable", "DSL", "T1", "T3+",
  };
  return code < names.size() ? names[code] : "N/A";
}

}  // namespace pellix
