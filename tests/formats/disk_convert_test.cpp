// DDI, IMG and MSX images to DSK: the size rules, the dialogs and the track order.
#include <gtest/gtest.h>

#include "formats/disk_convert.h"
#include "formats/messages.h"
#include "support/scripted_ui.h"
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
  test::ScriptedUi ui;
  std::string Source(const std::string& name, std::size_t size) {
    test::WriteHostFile(dir / name, Pattern(size));
    return (dir / name).string();
  }
  std::string Target() {
    auto t = (dir / "out.dsk").string();
    ui.savePaths.push_back(t);
    return t;
  }
};

TEST_F(ConvertCase, DdiDropsItsHeader) {
  auto src = Source("GAME.DDI", 741888);
  auto out = Target();
  EXPECT_EQ(ConvertDDI(src, ui), ConvertResult::Written);
  EXPECT_EQ(ui.saveTitles, std::vector<std::string>{std::string(formats::msg::kConvertDdiTitle)});
  EXPECT_EQ(ui.saveSuggestions[0], (dir / "GAME.DSK").string());
  auto in = Pattern(741888);
  EXPECT_EQ(test::ReadHostFile(out), std::vector<std::uint8_t>(in.begin() + 4608, in.end()));
}

TEST_F(ConvertCase, DdiWithNothingAfterTheHeaderIsRefused) {
  auto src = Source("EMPTY.DDI", 4608);
  auto out = Target();
  EXPECT_EQ(ConvertDDI(src, ui), ConvertResult::Refused);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(formats::msg::kDdiTooSmall)});
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(ConvertCase, ImgSizes) {
  auto out = Target();
  EXPECT_EQ(ConvertIMG(Source("A.IMG", 737281), ui), ConvertResult::Written);
  auto in = Pattern(737281);
  EXPECT_EQ(test::ReadHostFile(out), std::vector<std::uint8_t>(in.begin() + 1, in.end()));

  Target();
  EXPECT_EQ(ConvertIMG(Source("B.IMG", 737280), ui), ConvertResult::Written);
  EXPECT_EQ(test::ReadHostFile(out), Pattern(737280));

  Target();
  const auto before = test::ReadHostFile(out);
  EXPECT_EQ(ConvertIMG(Source("C.IMG", 737279), ui), ConvertResult::Refused);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(formats::msg::kImgWrongSize)});
  EXPECT_EQ(test::ReadHostFile(out), before);
  EXPECT_EQ(ui.saveTitles.back(), formats::msg::kConvertImgTitle);
}

TEST_F(ConvertCase, MsxTracksAreInterleaved) {
  auto out = Target();
  EXPECT_EQ(ConvertMSX(Source("M.MSX", 737280), ui), ConvertResult::Written);
  auto in = Pattern(737280);
  auto dsk = test::ReadHostFile(out);
  ASSERT_EQ(dsk.size(), 737280u);
  EXPECT_TRUE(std::equal(dsk.begin(), dsk.begin() + 4608, in.begin()));
  EXPECT_TRUE(std::equal(dsk.begin() + 4608, dsk.begin() + 9216, in.begin() + 368640));
  EXPECT_TRUE(std::equal(dsk.begin() + 9216, dsk.begin() + 13824, in.begin() + 4608));
  EXPECT_TRUE(std::equal(dsk.end() - 4608, dsk.end(), in.end() - 4608));

  Target();
  EXPECT_EQ(ConvertMSX(Source("N.MSX", 737281), ui), ConvertResult::Refused);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(formats::msg::kMsxWrongSize)});
}

TEST_F(ConvertCase, CancelAndDispatch) {
  auto src = Source("X.MSX", 737280);
  ui.savePaths.push_back(std::nullopt);
  EXPECT_EQ(ConvertMSX(src, ui), ConvertResult::Cancelled);
  ui.savePaths.push_back(std::string());
  EXPECT_EQ(ConvertMSX(src, ui), ConvertResult::Cancelled);
  EXPECT_TRUE(ui.messages.empty());

  EXPECT_EQ(ConverttoDsk1Click(Source("y.txt", 10), dir.path(), ui), ConvertResult::Ignored);
  ui.savePaths.push_back(std::nullopt);
  EXPECT_EQ(ConverttoDsk1Click(Source("lower.ddi", 5000), dir.path(), ui), ConvertResult::Cancelled);
  EXPECT_EQ(ui.saveTitles.back(), formats::msg::kConvertDdiTitle);
}

}  // namespace
}  // namespace quarnel
