// The injected write failures of fx::testing::FailFileWritesAfter, shared by both backends.
#pragma once

namespace fx::detail {

// Consumes one write from the injected budget; false when the write must fail.
bool TakeWriteBudget();

}  // namespace fx::detail
