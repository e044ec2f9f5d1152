// The injected write failures of fx::seams::FailFileWritesAfter, shared by both backends.
#pragma once

#include <cstddef>
#include <string_view>

namespace fx::detail {

// What one write may do while failures are injected.
struct WriteBudget {
  bool fails = false;
  std::size_t bytesBeforeFailure = 0;  // of a failing write, the bytes that reach the file first

  std::string_view Allowed(std::string_view bytes) const {
    return fails ? bytes.substr(0, bytesBeforeFailure) : bytes;
  }
};

// Consumes one write from the injected budget.
WriteBudget TakeWriteBudget();

}  // namespace fx::detail
