// The XSA codec: files made by another encoder decode byte for byte, our files decode back to
// their input, the adaptive tree follows the format, and broken files end in a message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "formats/messages.h"
#include "formats/xsa_code.h"
#include "formats/xsa_decode.h"
#include "formats/xsa_encode.h"
#include "support/real_data.h"
#include "support/test_env.h"
#include "support/xsa_vectors.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using quarnel::test::ReadHostFile;

std::vector<std::uint8_t> WithHeader(std::uint32_t length, std::vector<std::uint8_t> payload) {
  std::vector<std::uint8_t> f = {0x50, 0x43, 0x4B, 0x08, 0, 0, 0, 0, 0, 0, 0, 0, 'Z', 0};
  PutLe32(f, 4, length);
  f.insert(f.end(), payload.begin(), payload.end());
  PutLe32(f, 8, static_cast<std::uint32_t>(f.size()));
  return f;
}

void ExpectRoundTrip(const std::vector<std::uint8_t>& data, std::string_view what) {
  auto xsa = EncodeXsa(data, "T.DSK");
  ASSERT_GE(xsa.size(), 16u) << what;
  EXPECT_EQ(Le32At(xsa, 4), data.size()) << what;
  EXPECT_EQ(Le32At(xsa, 8), xsa.size()) << what;
  auto back = DecodeXsa(xsa);
  ASSERT_TRUE(back.ok()) << what << ": " << back.error;
  EXPECT_EQ(back.name, "T.DSK");
  EXPECT_TRUE(back.bytes == data) << what;
}

TEST(XsaDecode, VectorsOfAnIndependentEncoderDecodeByteForByte) {
  for (const auto& v : test::XsaVectors()) {
    auto got = DecodeXsa(v.stream);
    ASSERT_TRUE(got.ok()) << v.name << ": " << got.error;
    EXPECT_EQ(got.bytes.size(), v.size) << v.name;
    EXPECT_EQ(test::Fnv1a(got.bytes), v.fnv1a) << v.name;
  }
  EXPECT_EQ(DecodeXsa(test::XsaVectors()[0].stream).bytes,
            (std::vector<std::uint8_t>{'A', 'B', 'A', 'B', 'A', 'B', 'A', 'B', 'A', 'B'}));
}

TEST(XsaDecode, HandMadeStreamOfSixHundredZeros) {
  auto got = DecodeXsa(
      WithHeader(600, {0xFE, 0x00, 0x7F, 0xE1, 0xFF, 0x17, 0xFE, 0x59, 0xF0, 0xFF, 0x07}));
  ASSERT_TRUE(got.ok()) << got.error;
  EXPECT_EQ(got.bytes, std::vector<std::uint8_t>(600, 0));
}

TEST(XsaEncode, SmallInputsGiveTheKnownStreams) {
  EXPECT_EQ(EncodeXsa({}, "E"), (std::vector<std::uint8_t>{0x50, 0x43, 0x4B, 0x08, 0, 0, 0, 0, 0x10,
                                                           0, 0, 0, 'E', 0, 0xFF, 0x7F}));
  const std::string abab = "ABABABABAB";
  auto xsa =
      EncodeXsa(Bytes(reinterpret_cast<const std::uint8_t*>(abab.data()), abab.size()), "T.DSK");
  std::vector<std::uint8_t> payload(xsa.end() - 6, xsa.end());
  EXPECT_EQ(payload, (std::vector<std::uint8_t>{0xBC, 0x41, 0x42, 0xF1, 0xFF, 0x0F}));
  // Some readers refuse an empty name.
  auto named = EncodeXsa({}, "");
  EXPECT_NE(named[12], 0);
}

TEST(XsaCode, TreeAfter128DistancesInSlotZero) {
  xsa::SlotTree tree;
  for (int s = 0; s < 16; ++s) {
    EXPECT_EQ(tree.CodeLength(s), 4);
    EXPECT_EQ(tree.Code(s), static_cast<std::uint32_t>(s));
  }
  for (int i = 0; i < 127; ++i) EXPECT_FALSE(tree.Use(0));
  EXPECT_TRUE(tree.Use(0));
  EXPECT_EQ(tree.CodeLength(0), 1);
  EXPECT_EQ(tree.Code(0), 1u);
  EXPECT_EQ(tree.CodeLength(15), 4);
  EXPECT_EQ(tree.Code(15), 0u);
  for (int s = 1; s <= 14; ++s) {
    EXPECT_EQ(tree.CodeLength(s), 5) << s;
    EXPECT_EQ(tree.Code(s), static_cast<std::uint32_t>(s + 1)) << s;
  }
  EXPECT_EQ(xsa::LengthCodeBits(2), 1);
  EXPECT_EQ(xsa::LengthCodeBits(5), 6);
  EXPECT_EQ(xsa::LengthCodeBits(254), 15);
  EXPECT_EQ(xsa::LengthCodeBits(255), 15);
  EXPECT_EQ(xsa::SlotOf(4099), 15);
  EXPECT_EQ(xsa::SlotOf(4098), 14);
}

TEST(RealDisks, RoundTripThroughXsa) {
  QUARNEL_NEEDS_REAL_DATA("dsk");
  int disks = 0;
  for (const auto& e : fs::directory_iterator(test::RealDataDir("dsk"))) {
    ExpectRoundTrip(ReadHostFile(e.path()), e.path().filename().string());
    ++disks;
  }
  EXPECT_GE(disks, 10);
}

TEST(XsaRoundTrip, MtoolsMadeDisk) {
  if (!test::HaveProgram("mformat") || !test::HaveProgram("mcopy")) GTEST_SKIP() << "no mtools";
  test::TempDir dir;
  const auto img = (dir / "m.dsk").string();
  test::WriteHostFile(dir / "m.dsk", std::vector<std::uint8_t>(737280, 0));
  test::WriteHostFile(dir / "a.txt", std::vector<std::uint8_t>(5000, 'x'));
  const std::vector<std::string> env = {"MTOOLS_NO_VFAT=1", "MTOOLS_SKIP_CHECK=1"};
  ASSERT_EQ(test::Run({"mformat", "-i", img, "-t", "80",  "-h", "2",    "-s", "9", "-c",
                       "2",       "-r", "7", "-M", "512", "-m", "0xF9", "-L", "3", "::"},
                      env)
                .exitCode,
            0);
  ASSERT_EQ(test::Run({"mcopy", "-i", img, (dir / "a.txt").string(), "::A.TXT"}, env).exitCode, 0);
  ExpectRoundTrip(ReadHostFile(dir / "m.dsk"), "mtools disk");
}

TEST(XsaRoundTrip, EdgeShapesOfData) {
  ExpectRoundTrip({}, "empty");
  ExpectRoundTrip({0x42}, "one byte");
  ExpectRoundTrip({1, 1}, "two bytes");
  std::mt19937 rng(7);
  std::vector<std::uint8_t> random(50000);
  for (auto& b : random) b = static_cast<std::uint8_t>(rng());
  ExpectRoundTrip(random, "random");
  ExpectRoundTrip(std::vector<std::uint8_t>(737280, 0xE5), "run of 0xE5");
  ExpectRoundTrip(std::vector<std::uint8_t>(255, 0), "run of 255");
  // Repeats at every distance class, far ones included.
  std::vector<std::uint8_t> mixed;
  for (int d : {1, 3, 6, 20, 100, 300, 1000, 3000, 8000, 8192, 8193, 8194, 9000}) {
    std::vector<std::uint8_t> block(d + 40);
    for (auto& b : block) b = static_cast<std::uint8_t>(rng() % 4);
    for (int i = d; i < d + 40; ++i) block[i] = block[i - d];
    mixed.insert(mixed.end(), block.begin(), block.end());
  }
  ExpectRoundTrip(mixed, "mixed distances");
}

TEST(XsaEncode, EmptyDiskComesCloseToTheFormatsFloor) {
  // 2,903 copies of 254 bytes at 17 bits each are about 6,160 bytes.
  auto xsa = EncodeXsa(std::vector<std::uint8_t>(737280, 0), "Z.DSK");
  EXPECT_LT(xsa.size(), 6300u);
}

TEST(XsaEncode, InputsBeyondWhatTheMatchTablesCountAreRefused) {
  // The match tables and bit costs count in 32 bits; larger inputs are refused, not wrapped.
  EXPECT_TRUE(EncodeXsa(std::vector<std::uint8_t>(kMaxXsaInput + 1, 0), "BIG.DSK").empty());
}

TEST(XsaDecode, BrokenFilesEndInAMessage) {
  const std::vector<std::uint8_t> data(3000, 7);
  auto good = EncodeXsa(data, "G");
  // Every cut through the stream, including its header.
  for (std::size_t n = 0; n < good.size(); ++n) {
    auto got = DecodeXsa(Bytes(good.data(), n));
    EXPECT_FALSE(got.ok()) << n;
  }
  EXPECT_EQ(DecodeXsa(Bytes(good.data(), 3)).error, formats::msg::kXsaNotXsa);
  EXPECT_EQ(DecodeXsa(Bytes(good.data(), good.size() - 1)).error, formats::msg::kXsaEndsEarly);

  auto longer = good;
  PutLe32(longer, 4, 3001);
  EXPECT_EQ(DecodeXsa(longer).error, formats::msg::kXsaTooShort);
  auto shorter = good;
  PutLe32(shorter, 4, 2999);
  EXPECT_EQ(DecodeXsa(shorter).error, formats::msg::kXsaTooLong);
  auto huge = good;
  PutLe32(huge, 4, 0xFFFFFFFF);
  // A header claiming more than anything we compress is refused before any decoding: a small
  // hostile file could otherwise expand to gigabytes.
  EXPECT_EQ(DecodeXsa(huge).error, formats::msg::kXsaClaimsTooMuch);
  PutLe32(huge, 4, kMaxXsaInput);
  EXPECT_EQ(DecodeXsa(huge).error, formats::msg::kXsaTooShort);

  // A copy as the very first token: match bit, length 2, slot 0 (distance 1) with nothing before.
  EXPECT_EQ(DecodeXsa(WithHeader(2, {0x01})).error, formats::msg::kXsaBadDistance);
  // No NUL after the name.
  std::vector<std::uint8_t> noName = {0x50, 0x43, 0x4B, 0x08, 0, 0, 0, 0, 0, 0, 0, 0, 'A', 'B'};
  EXPECT_EQ(DecodeXsa(noName).error, formats::msg::kXsaEndsEarly);
}

}  // namespace
}  // namespace quarnel
