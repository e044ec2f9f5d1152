#include <gtest/gtest.h>

#include "records/AddressForm.h"
#include "records/LineTypeName.h"

namespace pellix {
namespace {

// 127.0.0.1 as the host stores it: first octet in the low byte.
constexpr std::uint32_t kLoopback = 0x0100007F;

TEST(AddressForms, LoopbackInEachForm) {
  EXPECT_EQ(NodeAddress(kLoopback, 6699), "0100007F1A2B");
  EXPECT_EQ(IpPortAddress(kLoopback, 6699), "127.0.0.1:6699");
  EXPECT_EQ(IpAddress(kLoopback), "127.0.0.1");
}

TEST(AddressForms, NodeFormIsZeroPaddedUpperCaseAndIpFormHasNoPadding) {
  EXPECT_EQ(NodeAddress(0x0000000A, 0x0B), "0000000A000B");
  EXPECT_EQ(NodeAddress(0xFFFFFFFF, 0xFFFF), "FFFFFFFFFFFF");
  EXPECT_EQ(IpPortAddress(0x0403020A, 7), "10.2.3.4:7");
  EXPECT_EQ(IpPortAddress(0xFFFFFFFF, 65535), "255.255.255.255:65535");
  EXPECT_EQ(IpAddress(0), "0.0.0.0");
}

TEST(AddressForms, WriteTypeChoosesTheForm) {
  EXPECT_EQ(FormatAddress(AddressFormFor(false), kLoopback, 6699), "0100007F1A2B");
  EXPECT_EQ(FormatAddress(AddressFormFor(true), kLoopback, 6699), "127.0.0.1:6699");
}

TEST(LineTypeNames, KnownCodesAndEverythingElse) {
  EXPECT_EQ(LineTypeName(0), "Unknown");
  EXPECT_EQ(LineTypeName(1), "14.4K");
  EXPECT_EQ(LineTypeName(6), "128K ISDN");
  EXPECT_EQ(LineTypeName(7), "Cable");
  EXPECT_EQ(LineTypeName(9), "T1");
  EXPECT_EQ(LineTypeName(10), "T3+");
  EXPECT_EQ(LineTypeName(11), "N/A");
  EXPECT_EQ(LineTypeName(65535), "N/A");
}

}  // namespace
}  // namespace pellix
