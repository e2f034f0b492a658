#include "core/bytes.h"

#include <gtest/gtest.h>

#include <array>

namespace quarnel {
namespace {

TEST(Bytes, CheckedReadsStopAtTheEnd) {
  std::array<std::uint8_t, 5> raw{0x34, 0x12, 0x78, 0x56, 0xFF};
  Bytes b(raw);
  EXPECT_EQ(Le16At(b, 0), 0x1234);
  EXPECT_EQ(Le32At(b, 0), 0x56781234u);
  EXPECT_EQ(Le16At(b, 3), 0xFF56);
  EXPECT_FALSE(Le16At(b, 4));
  EXPECT_FALSE(Le16At(b, static_cast<std::size_t>(-1)));
  EXPECT_FALSE(Le32At(b, 2));
  EXPECT_FALSE(U8At(b, 5));
}

TEST(Bytes, ReaderShortReadFailsWithoutMoving) {
  std::array<std::uint8_t, 3> raw{1, 2, 3};
  ByteReader r{Bytes(raw)};
  EXPECT_EQ(r.ReadLe16(), 0x0201);
  EXPECT_FALSE(r.ReadLe16());
  EXPECT_EQ(r.Position(), 2u);
  EXPECT_FALSE(r.ReadBytes(2));
  EXPECT_EQ(r.ReadU8(), 3);
  EXPECT_TRUE(r.AtEnd());
}

}  // namespace
}  // namespace quarnel
