// DDI, IMG and MSX images to DSK: the size rules, the outcomes and the track order.
#include "formats/disk_convert.h"

#include <gtest/gtest.h>

#include "formats/input_limits.h"
#include "formats/messages.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Pattern(std::size_t n) {
  std::vector<std::uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>((i * 7 + i / 4608) & 0xFF);
  return v;
}

struct ConvertCase : ::testing::Test {
  test::TempDir dir;
  fs::path out = dir / "out.dsk";
  std::string Source(const std::string& name, std::size_t size) {
    test::WriteHostFile(dir / name, Pattern(size));
    return (dir / name).string();
  }
};

// A refusal: its result and text, nothing written.
void ExpectRefused(const ConvertOutcome& o, std::string_view message) {
  EXPECT_EQ(o.result, ConvertResult::Refused);
  EXPECT_EQ(o.message, message);
}

TEST_F(ConvertCase, DdiDropsItsHeader) {
  auto src = Source("GAME.DDI", 741888);
  const ConvertOutcome o = ConvertDDI(src, out);
  EXPECT_TRUE(o.written());
  EXPECT_TRUE(o.message.empty());
  auto in = Pattern(741888);
  EXPECT_EQ(test::ReadHostFile(out), std::vector<std::uint8_t>(in.begin() + 4608, in.end()));
}

TEST_F(ConvertCase, DdiWithNothingAfterTheHeaderIsRefused) {
  ExpectRefused(ConvertDDI(Source("EMPTY.DDI", 4608), out), formats::msg::kDdiTooSmall);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(ConvertCase, ImgSizes) {
  EXPECT_TRUE(ConvertIMG(Source("A.IMG", 737281), out).written());
  auto in = Pattern(737281);
  EXPECT_EQ(test::ReadHostFile(out), std::vector<std::uint8_t>(in.begin() + 1, in.end()));

  EXPECT_TRUE(ConvertIMG(Source("B.IMG", 737280), out).written());
  EXPECT_EQ(test::ReadHostFile(out), Pattern(737280));

  // A refused source leaves the target that was there.
  const auto before = test::ReadHostFile(out);
  ExpectRefused(ConvertIMG(Source("C.IMG", 737279), out), formats::msg::kImgWrongSize);
  EXPECT_EQ(test::ReadHostFile(out), before);
}

TEST_F(ConvertCase, MsxTracksAreInterleaved) {
  EXPECT_TRUE(ConvertMSX(Source("M.MSX", 737280), out).written());
  auto in = Pattern(737280);
  auto dsk = test::ReadHostFile(out);
  ASSERT_EQ(dsk.size(), 737280u);
  EXPECT_TRUE(std::equal(dsk.begin(), dsk.begin() + 4608, in.begin()));
  EXPECT_TRUE(std::equal(dsk.begin() + 4608, dsk.begin() + 9216, in.begin() + 368640));
  EXPECT_TRUE(std::equal(dsk.begin() + 9216, dsk.begin() + 13824, in.begin() + 4608));
  EXPECT_TRUE(std::equal(dsk.end() - 4608, dsk.end(), in.end() - 4608));

  ExpectRefused(ConvertMSX(Source("N.MSX", 737281), out), formats::msg::kMsxWrongSize);
}

TEST_F(ConvertCase, SourcesTooLargeForTheirFormatAreRefusedUnread) {
  // Sparse files: their size is all that is looked at.
  auto huge = [&](const std::string& name) {
    test::WriteHostFile(dir / name, {1});
    fs::resize_file(dir / name, std::uintmax_t{1} << 30);
    return (dir / name).string();
  };
  const struct {
    ConvertOutcome (*convert)(const std::string&, const fs::path&);
    const char* name;
    ConvertResult result;
    std::string_view message;
    std::uintmax_t limit;
  } cases[] = {
      {ConvertDDI, "BIG.DDI", ConvertResult::SourceUnreadable, formats::msg::kCannotReadSource,
       kMaxDdiFile},
      {ConvertIMG, "BIG.IMG", ConvertResult::Refused, formats::msg::kImgWrongSize, kMaxImgFile},
      {ConvertMSX, "BIG.MSX", ConvertResult::Refused, formats::msg::kMsxWrongSize, kMaxMsxFile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ConvertOutcome o = c.convert(huge(c.name), out);
    EXPECT_EQ(o.result, c.result);
    EXPECT_EQ(o.message, c.message);
    EXPECT_EQ(o.sourceError, HostReadError::TooLarge);
    EXPECT_EQ(o.sourceLimit, c.limit);
    EXPECT_FALSE(fs::exists(out));
  }
}

TEST_F(ConvertCase, UnreadableSourceAndUnwritableTargetSayWhich) {
  ConvertOutcome o = ConvertMSX((dir / "NONE.MSX").string(), out);
  EXPECT_EQ(o.result, ConvertResult::SourceUnreadable);
  EXPECT_EQ(o.message, formats::msg::kCannotReadSource);
  EXPECT_EQ(o.sourceError, HostReadError::NotFound);

  o = ConvertMSX(Source("M.MSX", 737280), dir / "no such folder" / "out.dsk");
  EXPECT_EQ(o.result, ConvertResult::TargetUnwritable);
  EXPECT_EQ(o.message, formats::msg::kCannotWriteTarget);
  EXPECT_EQ(o.sourceError, HostReadError::None);
}

TEST_F(ConvertCase, ALinkAtTheTargetIsReplacedNotWrittenThrough) {
  const fs::path outside = dir / "outside.bin";
  test::WriteHostFile(outside, {'k'});
  fs::create_symlink(outside, out);
  EXPECT_TRUE(ConvertIMG(Source("A.IMG", 737280), out).written());
  EXPECT_FALSE(fs::is_symlink(out));
  EXPECT_EQ(test::ReadHostFile(outside), std::vector<std::uint8_t>{'k'});
}

TEST_F(ConvertCase, ConvertRunsTheConversionItIsGiven) {
  auto src = Source("GAME.DDI", 4608 + 737280);
  EXPECT_TRUE(Convert(Conversion::DdiToDsk, src, out).written());
  EXPECT_EQ(fs::file_size(out), 737280u);
  ExpectRefused(Convert(Conversion::MsxToDsk, src, out), formats::msg::kMsxWrongSize);
}

}  // namespace
}  // namespace quarnel
