// quarnel-cli on a table-less FAT16 image file larger than any floppy, made by mkfs.fat and filled
// by mtools: every reading command shows what mtools wrote, every change is saved in place and
// fsck.fat and mtools agree with it afterwards.
#include <gtest/gtest.h>

#include "core/change_witness.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

class Fat16Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveWitnesses() || !test::HaveProgram("mkfs.fat") || !test::HaveProgram("mmd"))
      GTEST_SKIP() << "needs mkfs.fat and mtools";
    img = (tmp / "hd.img").string();
    ASSERT_EQ(
        test::Run({"mkfs.fat", "-C", "-F", "16", "-s", "1", "-S", "512", img, "16384"}).exitCode,
        0);
    data = test::Pattern(150000, 7);
    test::WriteHostFile(tmp / "DATA.BIN", data);
    for (const auto& argv : std::vector<std::vector<std::string>>{
             {"mmd", "-i", img, "::GAMES"},
             {"mcopy", "-i", img, (tmp / "DATA.BIN").string(), "::"},
             {"mcopy", "-i", img, (tmp / "DATA.BIN").string(), "::GAMES/ZORK.BIN"}})
      ASSERT_EQ(test::Run(argv, test::kMtoolsEnv).exitCode, 0) << argv[0];
  }
  test::CommandResult Q(std::vector<std::string> args) {
    args.insert(args.begin(), Cli());
    return test::Run(args);
  }

  test::TempDir tmp;
  std::string img;
  std::vector<std::uint8_t> data;
};

// Listing, reading, reports, search and sectors show the volume as mtools wrote it.
TEST_F(Fat16Commands, ReadingCommandsShowTheVolume) {
  const auto ls = Q({"ls", img, "--json"});
  ASSERT_EQ(ls.exitCode, 0) << ls.err;
  EXPECT_NE(ls.out.find("DATA"), std::string::npos);
  EXPECT_NE(ls.out.find("GAMES"), std::string::npos);
  const auto inside = Q({"ls", img, "GAMES"});
  ASSERT_EQ(inside.exitCode, 0) << inside.err;
  EXPECT_NE(inside.out.find("ZORK"), std::string::npos);
  const auto cat = Q({"cat", img, "GAMES/ZORK.BIN"});
  ASSERT_EQ(cat.exitCode, 0) << cat.err;
  EXPECT_TRUE(std::vector<std::uint8_t>(cat.out.begin(), cat.out.end()) == data);

  const auto check = Q({"check", img});
  EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
  const auto details = Q({"details", img, "--json"});
  ASSERT_EQ(details.exitCode, 0) << details.err;
  EXPECT_NE(details.out.find("\"totalSectors\": 32768"), std::string::npos) << details.out;
  const auto fileinfo = Q({"fileinfo", img, "DATA.BIN", "--json"});
  EXPECT_EQ(fileinfo.exitCode, 0) << fileinfo.err;

  const auto sector = Q({"sector", img, "0", "--raw"});
  ASSERT_EQ(sector.exitCode, 0) << sector.err;
  const auto head = test::ReadHostFile(img);
  EXPECT_TRUE(std::vector<std::uint8_t>(sector.out.begin(), sector.out.end()) ==
              std::vector<std::uint8_t>(head.begin(), head.begin() + 512));
  // A byte run of the file's data is found where the file lies, in the image and in the file.
  const std::string needle(reinterpret_cast<const char*>(data.data()) + 70000, 12);
  std::string hexNeedle;
  for (unsigned char c : needle) {
    static const char* digits = "0123456789ABCDEF";
    hexNeedle += digits[c >> 4];
    hexNeedle += digits[c & 15];
  }
  const auto found = Q({"find", img, hexNeedle, "DATA.BIN", "--json"});
  ASSERT_EQ(found.exitCode, 0) << found.err;
  EXPECT_NE(found.out.find("\"offset\": 70000"), std::string::npos) << found.out;
  const auto whole = Q({"find", img, hexNeedle, "--json"});
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  std::size_t hits = 0;
  for (auto at = whole.out.find("\"offset\""); at != std::string::npos;
       at = whole.out.find("\"offset\"", at + 1))
    ++hits;
  EXPECT_EQ(hits, 2u) << whole.out;  // both copies

  const fs::path out = tmp / "out";
  const auto extract = Q({"extract", "-r", img, "-o", out.string()});
  ASSERT_EQ(extract.exitCode, 0) << extract.err;
  EXPECT_TRUE(test::ReadHostFile(out / "DATA.BIN") == data);
  EXPECT_TRUE(test::ReadHostFile(out / "GAMES" / "ZORK.BIN") == data);
}

// Every change command saves in place; fsck.fat, mdir and mtype agree after them all.
TEST_F(Fat16Commands, ChangesAreSavedInPlace) {
  const auto big = test::Pattern(1 << 20, 3);
  test::WriteHostFile(tmp / "BIG.BIN", big);
  const auto note = test::Pattern(3000, 4);
  test::WriteHostFile(tmp / "NOTE.TXT", note);
  const std::vector<std::vector<std::string>> steps = {
      {"add", img, (tmp / "BIG.BIN").string()},
      {"mkdir", img, "DOCS/OLD", "-p"},
      {"add", img, (tmp / "NOTE.TXT").string(), "--to", "DOCS/OLD"},
      {"ren", img, "DATA.BIN", "KEPT.BIN"},
      {"rm", img, "-r", "GAMES"},
      {"label", img, "HARDDISK"},
  };
  for (const auto& step : steps) {
    const auto r = Q(step);
    ASSERT_EQ(r.exitCode, 0) << step[0] << ": " << r.err;
  }
  EXPECT_EQ(fs::file_size(img), 16384u * 1024);
  EXPECT_EQ(test::FsckFindings(img), std::vector<std::string>{});
  EXPECT_EQ(test::MdirNames(img), (std::set<std::string>{"BIG.BIN", "DOCS/", "DOCS/OLD/",
                                                         "DOCS/OLD/NOTE.TXT", "KEPT.BIN"}));
  EXPECT_TRUE(test::Mtype(img, "BIG.BIN") == big);
  EXPECT_TRUE(test::Mtype(img, "DOCS/OLD/NOTE.TXT") == note);
  EXPECT_TRUE(test::Mtype(img, "KEPT.BIN") == data);
  EXPECT_EQ(Q({"label", img}).out, "HARDDISK\n");
  EXPECT_EQ(Q({"check", img}).exitCode, 0);
}

// A FAT16 chain damaged past cluster 4095 is found and repaired in place.
TEST_F(Fat16Commands, CheckRepairMendsTheVolume) {
  // Cluster 5000 linked to 5001, which ends: a lost chain no entry reaches.
  const auto r0 = Q({"details", img, "--json"});
  ASSERT_EQ(r0.exitCode, 0);
  auto bytes = test::ReadHostFile(img);
  const std::size_t fat = 512 * bytes[14];  // reserved sectors (mkfs.fat: 4)
  const std::size_t perFat = 512 * (bytes[22] | (bytes[23] << 8));
  for (std::size_t copy = 0; copy < 2; ++copy) {
    bytes[fat + copy * perFat + 5000 * 2] = 0x89;  // 5001
    bytes[fat + copy * perFat + 5000 * 2 + 1] = 0x13;
    bytes[fat + copy * perFat + 5001 * 2] = 0xFF;
    bytes[fat + copy * perFat + 5001 * 2 + 1] = 0xFF;
  }
  test::WriteHostFile(img, bytes);
  const auto check = Q({"check", img});
  EXPECT_EQ(check.exitCode, 1);
  EXPECT_NE(check.out.find("lost-chain"), std::string::npos) << check.out;
  const auto repair = Q({"check", img, "--repair"});
  EXPECT_EQ(repair.exitCode, 0) << repair.out << repair.err;
  EXPECT_EQ(test::FsckFindings(img), std::vector<std::string>{});
  EXPECT_TRUE(test::MdirNames(img).count("FILE0000.CHK"));
  EXPECT_EQ(Q({"check", img}).exitCode, 0);
}

// A file larger than a floppy whose first sector is no boot sector is still refused unread.
TEST_F(Fat16Commands, LargeFileWithoutBootSectorIsRefused) {
  auto bytes = test::ReadHostFile(img);
  std::fill(bytes.begin(), bytes.begin() + 512, 0);
  test::WriteHostFile(img, bytes);
  const auto r = Q({"ls", img});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "File to big to be a diskimage!\n");
}

}  // namespace
}  // namespace quarnel
