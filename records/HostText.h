// Text handed over by the host: a null pointer reads as empty text.
#pragma once

#include <string_view>

namespace pellix {

constexpr std::string_view HostText(const char* text) noexcept {
  return text ? std::string_view(text) : std::string_view();
}

}  // namespace pellix
