#include "notify/udp_channel.h"

#include <gtest/gtest.h>

#include "base/failure.h"

namespace orvanta {
namespace {

TEST(EncodeDatagram, OneBytePerCodeUnitAndQuestionMarkAboveAscii) {
  struct Case {
    std::u16string text;
    std::string bytes;
  } cases[] = {
      {u"HAT=0\r\nNUMARA=555 55 55", "HAT=0\r\nNUMARA=555 55 55"},
      {u"", ""},
      {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
      {u"\u007F\u0080", "\x7F?"},
      {u"Çağrı", "?a?r?"},
      {u"\U0001F4DE", "??"},  // a surrogate pair is two code units
      {u"\uFFFD", "?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDatagram(c.text), c.bytes);
  }
}

TEST(SocketErrorMessage, CodeThenShortDescription) {
  struct Case {
    int code;
    std::u16string message;
  } cases[] = {
      {10013, u"Socket Error # 10013\r\nAccess denied."},
      {10048, u"Socket Error # 10048\r\nAddress already in use."},
      {10049, u"Socket Error # 10049\r\nCannot assign requested address."},
      {10050, u"Socket Error # 10050\r\nNetwork is down."},
      {10051, u"Socket Error # 10051\r\nNetwork is unreachable."},
      {10055, u"Socket Error # 10055\r\nNo buffer space available."},
      {10065, u"Socket Error # 10065\r\nNo route to host."},
      {10040, u"Socket Error # 10040\r\nMessage too long."},
      // Codes without a description keep the line break and nothing after it.
      {12345, u"Socket Error # 12345\r\n"},
      {-1, u"Socket Error # -1\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SocketErrorMessage(c.code), c.message);
  }
}

TEST(UdpChannel, StartsClosedOnPortZeroWithBroadcastAllowed) {
  UdpChannel channel;
  EXPECT_FALSE(channel.Active());
  EXPECT_EQ(channel.Port(), 0);
  EXPECT_TRUE(channel.BroadcastEnabled());
  EXPECT_EQ(channel.LocalPort(), 0);
  channel.SetActive(false);  // already closed: nothing to do, nothing raised
  EXPECT_FALSE(channel.Active());
}

TEST(UdpChannel, PortKeepsTheLow16Bits) {
  struct Case {
    int32_t given;
    uint16_t stored;
  } cases[] = {
      {18900, 18900}, {0, 0},         {65535, 65535},
      {65536, 0},     {70000, 4464},  {-1, 65535},
      {-65536, 0},    {INT32_MIN, 0}, {INT32_MAX, 65535},
  };
  for (const Case& c : cases) {
    UdpChannel channel;
    channel.SetPort(c.given);
    EXPECT_EQ(channel.Port(), c.stored) << c.given;
  }
}

TEST(UdpChannel, BroadcastOnAClosedChannelIsASocketError) {
  UdpChannel channel;
  try {
    channel.Broadcast(u"HAT=0\r\nNUMARA=1", 18900);
    FAIL() << "no failure raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.message(),
              u"Socket Error # 10038\r\nSocket operation on non-socket.");
  }
}

}  // namespace
}  // namespace orvanta
