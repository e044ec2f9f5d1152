// The two ways a user's address is printed in records, and the plain IP text of the welcome.
#pragma once

#include <cstdint>
#include <string>

namespace pellix {

enum class AddressForm {
  Node,    // "%08X%04X": the IP as one 32-bit number, then the port
  IpPort,  // "%u.%u.%u.%u:%u": the IP's bytes from low to high, then the port
};

// The form chosen by the live WriteType setting (on: IP:Port).
constexpr AddressForm AddressFormFor(bool writeType) noexcept {
  return writeType ? AddressForm::IpPort : AddressForm::Node;
}

// "0100007F1A2B" for 127.0.0.1 port 6699 (the IP's first octet in its low byte).
std::string NodeAddress(std::uint32_t ip, std::uint16_t port);
// "127.0.0.1:6699".
std::string IpPortAddress(std::uint32_t ip, std::uint16_t port);
// "127.0.0.1".
std::string IpAddress(std::uint32_t ip);
// NodeAddress or IpPortAddress, by form.
std::string FormatAddress(AddressForm form, std::uint32_t ip, std::uint16_t port);

}  // namespace pellix
