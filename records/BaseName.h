// A user's visible name: the host appends a 9-byte suffix that is not part of it.
#pragma once

#include <cstddef>
#include <string_view>

namespace pellix {

inline constexpr std::size_t kNameSuffixBytes = 9;

// The name without its last 9 bytes when it is longer than 9 bytes, else the whole name. The cut
// never splits a double-byte character: one that straddles the suffix boundary is dropped whole.
// The result is a view into `name`.
std::string_view BaseName(std::string_view name) noexcept;

}  // namespace pellix
