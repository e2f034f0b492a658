// The .XSA <-> .DSK conversions of the host browser and `convert`, run by the codec in this
// process: the outputs, the texts of what went wrong, and that no file but the target is touched.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "formats/disk_convert.h"
#include "formats/input_limits.h"
#include "formats/messages.h"
#include "formats/xsa_decode.h"
#include "formats/xsa_encode.h"
#include "support/real_data.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Buf = std::vector<std::uint8_t>;

Buf Data(std::size_t n) {
  Buf v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>((i / 7) ^ (i % 13));
  return v;
}

// The names in `dir`, sorted.
std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

struct XsaConvert : ::testing::Test {
  test::TempDir user;
};

TEST_F(XsaConvert, XsaReplacesAnExistingTargetWithTheDiskItHolds) {
  const Buf disk = Data(20000);
  test::WriteHostFile(user / "MY GAME.XSA", EncodeXsa(disk, "MY GAME.DSK"));
  test::WriteHostFile(user / "old.dsk", {'o', 'l', 'd'});
  const ConvertOutcome o = ConvertXsaToDsk((user / "MY GAME.XSA").string(), user / "old.dsk");
  EXPECT_TRUE(o.written());
  EXPECT_TRUE(o.message.empty());
  EXPECT_EQ(test::ReadHostFile(user / "old.dsk"), disk);
  EXPECT_EQ(Names(user.path()), (std::vector<std::string>{"MY GAME.XSA", "old.dsk"}));
}

TEST_F(XsaConvert, BrokenXsaIsRefusedWithTheDecodersTextAndNothingIsWritten) {
  const Buf xsa = EncodeXsa(Data(5000), "G.DSK");
  const struct {
    const char* name;
    Buf bytes;
    std::string_view message;
  } cases[] = {
      {"plain.XSA", Data(100), formats::msg::kXsaNotXsa},
      {"cut.XSA", Buf(xsa.begin(), xsa.begin() + static_cast<long>(xsa.size() / 2)),
       formats::msg::kXsaEndsEarly},
  };
  test::WriteHostFile(user / "kept.dsk", {9});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteHostFile(user / c.name, c.bytes);
    ConvertOutcome o = ConvertXsaToDsk((user / c.name).string(), user / "new.dsk");
    EXPECT_EQ(o.result, ConvertResult::Refused);
    EXPECT_EQ(o.message, c.message);
    EXPECT_FALSE(fs::exists(user / "new.dsk"));
    // A target that was there stays as it was.
    o = ConvertXsaToDsk((user / c.name).string(), user / "kept.dsk");
    EXPECT_EQ(o.result, ConvertResult::Refused);
    EXPECT_EQ(test::ReadHostFile(user / "kept.dsk"), Buf{9});
  }
}

TEST_F(XsaConvert, DiskToXsaKeepsTheSourcesNameAndDecodesBack) {
  const Buf disk = Data(737280);
  test::WriteHostFile(user / "G.DSK", disk);
  test::WriteHostFile(user / "G.xsa", {9});
  EXPECT_TRUE(ConvertDskToXsa((user / "G.DSK").string(), user / "G.xsa").written());
  const XsaDecoded back = DecodeXsa(test::ReadHostFile(user / "G.xsa"));
  ASSERT_TRUE(back.ok()) << back.error;
  EXPECT_EQ(back.name, "G.DSK");
  EXPECT_TRUE(back.bytes == disk);
}

TEST_F(XsaConvert, MissingSourceSaysWhyAndLeavesNoFile) {
  for (auto convert : {ConvertXsaToDsk, ConvertDskToXsa}) {
    const ConvertOutcome o = convert((user / "NOPE").string(), user / "out");
    EXPECT_EQ(o.result, ConvertResult::SourceUnreadable);
    EXPECT_EQ(o.message, formats::msg::kCannotReadSource);
    EXPECT_EQ(o.sourceError, HostReadError::NotFound);
  }
  EXPECT_TRUE(Names(user.path()).empty());
}

TEST_F(XsaConvert, FifoSourceIsRefusedWithoutWaiting) {
  ASSERT_EQ(::mkfifo((user / "pipe.xsa").c_str(), 0600), 0);
  const ConvertOutcome o = ConvertXsaToDsk((user / "pipe.xsa").string(), user / "out.dsk");
  EXPECT_EQ(o.result, ConvertResult::SourceUnreadable);
  EXPECT_EQ(o.sourceError, HostReadError::Fifo);
  EXPECT_FALSE(fs::exists(user / "out.dsk"));
}

TEST_F(XsaConvert, SourcesLargerThanTheFormatAreRefusedUnread) {
  // Sparse files: only their size is looked at.
  test::WriteHostFile(user / "huge.dsk", {1});
  fs::resize_file(user / "huge.dsk", kMaxXsaInput + 1);
  ConvertOutcome o = ConvertDskToXsa((user / "huge.dsk").string(), user / "out.xsa");
  EXPECT_EQ(o.result, ConvertResult::Refused);
  EXPECT_EQ(o.message, formats::msg::kXsaInputTooLarge);
  EXPECT_EQ(o.sourceError, HostReadError::TooLarge);

  test::WriteHostFile(user / "huge.xsa", {1});
  fs::resize_file(user / "huge.xsa", kMaxXsaFile + 1);
  o = ConvertXsaToDsk((user / "huge.xsa").string(), user / "out.dsk");
  EXPECT_EQ(o.result, ConvertResult::SourceUnreadable);
  EXPECT_EQ(o.message, formats::msg::kCannotReadSource);
  EXPECT_EQ(o.sourceError, HostReadError::TooLarge);
  EXPECT_EQ(o.sourceLimit, kMaxXsaFile);
  EXPECT_FALSE(fs::exists(user / "out.xsa"));
  EXPECT_FALSE(fs::exists(user / "out.dsk"));
}

TEST_F(XsaConvert, FilesNamedLikeTemporaryCopiesAreNeitherReadNorTouched) {
  // Files beside the source under the names a tool run would use for its copies.
  test::WriteHostFile(user / "tempdsk.dsk", {4, 5, 6});
  test::WriteHostFile(user / "tempxsa.xsa", {7});
  test::WriteHostFile(user / "U.DSK", {1, 2});
  EXPECT_TRUE(ConvertDskToXsa((user / "U.DSK").string(), user / "U.xsa").written());
  EXPECT_EQ(test::ReadHostFile(user / "tempdsk.dsk"), (Buf{4, 5, 6}));
  EXPECT_EQ(test::ReadHostFile(user / "tempxsa.xsa"), Buf{7});
  EXPECT_EQ(Names(user.path()),
            (std::vector<std::string>{"U.DSK", "U.xsa", "tempdsk.dsk", "tempxsa.xsa"}));
  // One of them named as its own output: refused, its bytes kept.
  EXPECT_EQ(ConvertDskToXsa((user / "tempdsk.dsk").string(), user / "tempdsk.dsk").result,
            ConvertResult::Refused);
  EXPECT_EQ(test::ReadHostFile(user / "tempdsk.dsk"), (Buf{4, 5, 6}));
}

using RealDiskXsaConvert = XsaConvert;

TEST_F(RealDiskXsaConvert, RoundTrips) {
  QUARNEL_NEEDS_REAL_DATA("dsk");
  const auto disk = test::RealDataDir("dsk") /
                    "plattysoft_Modern-MSX-BASIC-Game-Dev__examples__output__examples.dsk";
  fs::copy_file(disk, user / "EX.DSK");
  const std::string packed = (user / "EX.xsa").string();
  ASSERT_TRUE(Convert(Conversion::DskToXsa, (user / "EX.DSK").string(), packed).written());
  ASSERT_TRUE(Convert(Conversion::XsaToDsk, packed, user / "BACK.dsk").written());
  EXPECT_EQ(test::ReadHostFile(user / "BACK.dsk"), test::ReadHostFile(disk));
  EXPECT_EQ(Names(user.path()), (std::vector<std::string>{"BACK.dsk", "EX.DSK", "EX.xsa"}));
}

}  // namespace
}  // namespace quarnel
