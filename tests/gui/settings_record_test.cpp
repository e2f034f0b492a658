// The settings record byte for byte, without a window.
#include "app/platform/settings_record.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/test_env.h"

namespace quarnel {
namespace {

SettingsRecord Sample() {
  SettingsRecord r;
  r.textViewFont = "Courier New";
  r.basicViewFont = "DejaVu Sans Mono";
  r.windowLeft = "-4";
  r.windowTop = "125";
  r.windowWidth = "644";
  r.windowHeight = "443";
  r.splitterLeft = "193";
  r.keywordColor = 0x00112233;
  r.startFolder = "/home/msx/disks";
  r.oemFontColor = 0x01020304;
  r.oemBackColor = 0x05060708;
  r.volumeFontColor = 0x090A0B0C;
  r.volumeBackColor = 0x0D0E0F10;
  r.treeFontColor = 0x80000008;
  r.treeBackColor = 0x80000005;
  r.treeFontName = "Sans";
  r.listFontColor = 0x00FF0000;
  r.listBackColor = 0x0000FF00;
  r.listFontName = "Serif";
  return r;
}

TEST(SettingsRecord, FieldsLieAtTheirOffsets) {
  SettingsBytes b = EncodeSettings(Sample());
  ASSERT_EQ(b.size(), 488u);
  auto text = [&](std::size_t off) {
    return std::string(reinterpret_cast<const char*>(&b[off + 1]), b[off]);
  };
  auto le32 = [&](std::size_t off) {
    return static_cast<std::uint32_t>(b[off] | b[off + 1] << 8 | b[off + 2] << 16) |
           (static_cast<std::uint32_t>(b[off + 3]) << 24);
  };
  EXPECT_EQ(text(0), "Courier New");
  EXPECT_EQ(text(33), "DejaVu Sans Mono");
  EXPECT_EQ(text(66), "-4");
  EXPECT_EQ(text(77), "125");
  EXPECT_EQ(text(88), "644");
  EXPECT_EQ(text(99), "443");
  EXPECT_EQ(text(110), "193");
  EXPECT_EQ(le32(124), 0x00112233u);
  EXPECT_EQ(b[124], 0x33);  // little-endian: red first
  EXPECT_EQ(text(128), "/home/msx/disks");
  EXPECT_EQ(le32(384), 0x01020304u);
  EXPECT_EQ(le32(388), 0x05060708u);
  EXPECT_EQ(le32(392), 0x090A0B0Cu);
  EXPECT_EQ(le32(396), 0x0D0E0F10u);
  EXPECT_EQ(le32(400), 0x80000008u);
  EXPECT_EQ(le32(404), 0x80000005u);
  EXPECT_EQ(text(408), "Sans");
  EXPECT_EQ(le32(444), 0x00FF0000u);
  EXPECT_EQ(le32(448), 0x0000FF00u);
  EXPECT_EQ(text(452), "Serif");
  for (std::size_t off : {121u, 122u, 123u, 441u, 442u, 443u, 485u, 486u, 487u})
    EXPECT_EQ(b[off], 0);
  EXPECT_EQ(DecodeSettings(b), Sample());
}

TEST(SettingsRecord, LongTextsAreCutToTheirFields) {
  SettingsRecord r;
  r.listFontName = std::string(40, 'F');
  r.startFolder = std::string(300, 'd');
  r.windowLeft = "123456789012";
  SettingsBytes b = EncodeSettings(r);
  EXPECT_EQ(b[452], 32);
  EXPECT_EQ(b[128], 255);
  EXPECT_EQ(b[66], 10);
  auto back = DecodeSettings(b);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->listFontName, std::string(32, 'F'));
  EXPECT_EQ(back->startFolder, std::string(255, 'd'));
  EXPECT_EQ(NumberText(-4), "-4");
  EXPECT_EQ(NumberText(-2147483647LL), "-214748364");
  // A cut never splits a UTF-8 character.
  EXPECT_EQ(CutText(std::string(31, 'a') + "\xC3\xA9", 32), std::string(31, 'a'));
}

TEST(SettingsRecord, HostileBytesStayInsideTheirFields) {
  SettingsBytes b{};
  b.fill(0xFF);
  auto r = DecodeSettings(b);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->textViewFont.size(), 32u);
  EXPECT_EQ(r->windowLeft.size(), 10u);
  EXPECT_EQ(r->startFolder.size(), 255u);
  EXPECT_FALSE(StrictDecimal(r->windowLeft));
  std::vector<std::uint8_t> shortFile(487, 0);
  EXPECT_FALSE(DecodeSettings(shortFile));
}

TEST(SettingsRecord, StrictDecimal) {
  EXPECT_EQ(StrictDecimal("-4"), -4);
  EXPECT_EQ(StrictDecimal("245"), 245);
  EXPECT_FALSE(StrictDecimal(""));
  EXPECT_FALSE(StrictDecimal("-"));
  EXPECT_FALSE(StrictDecimal(" 5"));
  EXPECT_FALSE(StrictDecimal("5x"));
  EXPECT_FALSE(StrictDecimal("99999999999"));
}

TEST(SettingsRecord, FileRoundTripAndShortFile) {
  test::TempDir dir;
  auto path = dir / "Quarnel.ini";
  EXPECT_FALSE(ReadSettingsFile(path));
  ASSERT_TRUE(WriteSettingsFile(path, Sample()));
  EXPECT_EQ(std::filesystem::file_size(path), 488u);
  EXPECT_EQ(ReadSettingsFile(path), Sample());
  std::filesystem::resize_file(path, 300);
  EXPECT_FALSE(ReadSettingsFile(path));
  // A failed write leaves the old file whole.
  ASSERT_TRUE(WriteSettingsFile(path, Sample()));
  EXPECT_FALSE(WriteSettingsFile(dir / "missing" / "Quarnel.ini", Sample()));
  EXPECT_EQ(ReadSettingsFile(path), Sample());
}

}  // namespace
}  // namespace quarnel
