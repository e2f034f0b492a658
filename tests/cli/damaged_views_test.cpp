// quarnel-cli cas and basic on hostile inputs: long tapes and a last file cut short are listed
// and extracted whole; a damaged BASIC program is listed as far as it goes and then reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "support/hostile_inputs.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Buf = std::vector<std::uint8_t>;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }
// A hostile input in a scratch folder that lives as long as the test program.
fs::path Hostile(const std::string& name) {
  static const test::TempDir dir;
  return test::WriteHostileInput(dir.path(), name);
}

// Each of the 300 files is a 7-byte binary block (9000-9000, run 9000, C9); the last one's data
// block is only 8 bytes long.
TEST(DamagedViews, CasListsAndExtractsAllFilesOfALongTape) {
  const std::string tape = Hostile("cas_300_files.cas").string();
  auto r = test::Run({Cli(), "cas", "ls", tape});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 300);
  EXPECT_TRUE(r.out.ends_with("F00299\t7 Bytes\tBinary\n")) << r.out.substr(r.out.size() - 60);

  test::TempDir tmp;
  r = test::Run({Cli(), "cas", "extract", tape, "-o", tmp.path().string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator()), 300);
  EXPECT_EQ(test::ReadHostFile(tmp / "F00299"),
            (Buf{0xFE, 0x00, 0x90, 0x00, 0x90, 0x00, 0x90, 0xC9}));
}

TEST(DamagedViews, CasKeepsALastFileWithAShortDataBlock) {
  const std::string tape = Hostile("cas_tiny_last_file.cas").string();
  auto r = test::Run({Cli(), "cas", "ls", tape});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "AAAA\t7 Bytes\tBinary\nBBBB\t7 Bytes\tBinary\n");

  test::TempDir tmp;
  r = test::Run({Cli(), "cas", "extract", tape, "BBBB", "-o", tmp.path().string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::ReadHostFile(tmp / "BBBB"),
            (Buf{0xFE, 0x00, 0x90, 0x00, 0x90, 0x00, 0x90, 0x02}));
}

TEST(DamagedViews, BasicListsWhatItCanThenNamesTheDamagedFile) {
  // 10 END, then a link past the end of the file, inside a disk image: named by its path there.
  test::TempDir tmp;
  test::ImageBuilder b;
  b.AddFile(test::kRoot, "PAST.BAS", {0xFF, 0x07, 0x80, 10, 0, 0x81, 0x00, 0x00, 0x90, 20, 0});
  b.WriteTo(tmp / "disk.dsk");
  const std::string backlink = Hostile("basic_backlink.bin").string();
  const std::string random = Hostile("basic_random.bin").string();
  const std::string damaged = "Damaged BASIC program: ";
  struct Case {
    std::vector<std::string> args;
    std::string out, err;
  } cases[] = {
      {{"--host", backlink}, "", damaged + backlink + ": the link of line 10 points backwards\n"},
      {{"--host", random}, "", damaged + random + ": the link of line 49075 points backwards\n"},
      {{(tmp / "disk.dsk").string(), "past.bas"},
       "   10  END\n   20  \n",
       "ERROR\n" + damaged + "past.bas: the link of line 20 points past the end of the file\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    auto r = test::Run({Cli(), "basic", c.args[0], c.args[1]});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
  }
}

}  // namespace
}  // namespace quarnel
