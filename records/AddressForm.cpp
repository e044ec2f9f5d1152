#include "records/AddressForm.h"

#include <cstdio>

namespace pellix {
namespace {

unsigned Octet(std::uint32_t ip, int index) { return (ip >> (8 * index)) & 0xFFu; }

}  // namespace

std::string NodeAddress(std::uint32_t ip, std::uint16_t port) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%08X%04X", static_cast<unsigned>(ip), static_cast<unsigned>(port));
  return buffer;
}

std::string IpPortAddress(std::uint32_t ip, std::uint16_t port) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u:%u", Octet(ip, 0), Octet(ip, 1), Octet(ip, 2), Octet(ip, 3),
                static_cast<unsigned>(port));
  return buffer;
}

std::string IpAddress(std::uint32_t ip) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u", Octet(ip, 0), Octet(ip, 1), Octet(ip, 2), Octet(ip, 3));
  return buffer;
}

std::string FormatAddress(AddressForm form, std::uint32_t ip, std::uint16_t port) {
  return form == AddressForm::IpPort ? IpPortAddress(ip, port) : NodeAddress(ip, port);
}

}  // namespace pellix
