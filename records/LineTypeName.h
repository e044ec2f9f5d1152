// The host's line-type code as the text shown in records and the welcome.
#pragma once

#include <cstdint>
#include <string_view>

namespace pellix {

// "Unknown", "14.4K", ... "T3+" for codes 0 to 10; "N/A" for any other code.
std::string_view LineTypeName(std::uint16_t code) noexcept;

}  // namespace pellix
