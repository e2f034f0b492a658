// quarnel-cli check on the hostile disks: exit 1 with findings, --json lists them, --repair
// mends and saves in place so that a second check and fsck.fat find nothing; a clean disk is
// neither changed nor rewritten.
#include <gtest/gtest.h>

#include <functional>

#include "core/change_witness.h"
#include "support/hostile_inputs.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

class CheckCli : public ::testing::Test {
 protected:
  fs::path Copy(const std::string& name) { return test::WriteHostileInput(tmp.path(), name); }
  test::TempDir tmp;
};

TEST_F(CheckCli, RepairLeavesHostileDisksCleanForUsAndFsck) {
  const struct {
    const char* name;
    const char* kind;  // one kind the check must report
  } kCases[] = {
      {"chain_longer_than_size.dsk", "chain-long"}, {"dir_fat_free.dsk", "chain-free"},
      {"dup_names.dsk", "duplicate-name"},          {"fat_copies_differ.dsk", "fat-copies-differ"},
      {"names_odd_root.dsk", "bad-name"},           {"size0_with_chain.dsk", "chain-long"},
      {"size_high_byte.dsk", "bad-size"},           {"spc64.dsk", "boot-sector"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const fs::path image = Copy(c.name);
    auto r = test::Run({Cli(), "check", image.string(), "--json"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("\"kind\": \"" + std::string(c.kind) + "\""), std::string::npos) << r.out;
    r = test::Run({Cli(), "check", image.string(), "--repair"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(test::Run({Cli(), "check", image.string()}).exitCode, 0);
    if (test::HaveProgram("fsck.fat")) {
      EXPECT_EQ(test::FsckFindings(image), std::vector<std::string>{});
    }
  }
}

TEST_F(CheckCli, RepairSavesOnlyWhatLeavesNothingBehind) {
  test::ImageBuilder sound;
  sound.AddFile(test::kRoot, "A.BIN", test::Pattern(3000));
  sound.AddFile(test::kRoot, "B.BIN", test::Pattern(2000, 5));
  const struct {
    const char* what;
    std::function<void(test::ImageBuilder&)> damage;
    int exitCode;
  } kCases[] = {
      {"3 FATs", [](test::ImageBuilder& b) { b.Poke(16, 3); }, 0},
      {"3 FATs and no FAT where the standard layout puts it",
       [](test::ImageBuilder& b) {
         b.Poke(16, 3);
         b.Poke(512, 0);
       },
       1},
      {"a cross-link and no room for a copy",
       [](test::ImageBuilder& b) {
         b.SetFat(5, 3);
         for (std::uint16_t c = 7; c <= 714; ++c) b.SetFat(c, 0xFF7);  // 6 is lost
       },
       1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    test::ImageBuilder b = sound;
    c.damage(b);
    b.WriteTo(tmp / "d.dsk");
    const auto r = test::Run({Cli(), "check", (tmp / "d.dsk").string(), "--repair"});
    EXPECT_EQ(r.exitCode, c.exitCode) << r.out;
    EXPECT_EQ(test::ReadHostFile(tmp / "d.dsk"), c.exitCode == 0 ? sound.Bytes() : b.Bytes());
  }
}

TEST_F(CheckCli, NamesInMessagesGoThroughTheCharacterTable) {
  test::ImageBuilder b;
  b.AddFile(test::kRoot, "\xB1\xB2.TXT", test::Pattern(10));
  b.AddFile(test::kRoot, "\xB1\xB2.TXT", test::Pattern(20));
  b.WriteTo(tmp / "kana.dsk");
  const auto r = test::Run({Cli(), "check", (tmp / "kana.dsk").string(), "--repair"});
  EXPECT_NE(r.out.find("The same name as \xC3\xA3\xC4\xA8.TXT"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\xB1\xB2"), std::string::npos);
}

TEST_F(CheckCli, CleanDiskIsNotWrittenAndUsageErrorsExitTwo) {
  test::ImageBuilder b;
  b.AddFile(test::kRoot, "A.BIN", test::Pattern(3000));
  b.WriteTo(tmp / "clean.dsk");
  const auto stamp = fs::last_write_time(tmp / "clean.dsk");
  auto r = test::Run({Cli(), "check", (tmp / "clean.dsk").string(), "--repair"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(fs::last_write_time(tmp / "clean.dsk"), stamp);
  EXPECT_EQ(test::Run({Cli(), "check", (tmp / "clean.dsk").string(), "--free-lost"}).exitCode, 2);
  EXPECT_EQ(test::Run({Cli(), "check"}).exitCode, 2);
}

TEST_F(CheckCli, FreeLostFreesInsteadOfKeepingChkFiles) {
  test::ImageBuilder b;
  b.Chain({10, 11});
  b.WriteTo(tmp / "lost.dsk");
  auto r =
      test::Run({Cli(), "check", (tmp / "lost.dsk").string(), "--repair", "--free-lost", "--json"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\"remedy\": \"The clusters were freed.\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"saved\": true"), std::string::npos) << r.out;
  EXPECT_TRUE(test::MdirNames(tmp / "lost.dsk").empty() || !test::HaveWitnesses());
}

}  // namespace
}  // namespace quarnel
