// quarnel-cli details, fileinfo, sector, find and poke against independent witnesses: mtools
// fills and fragments the disks, fsck.fat and mtype check what poke wrote, dd cuts sectors, and
// a plain byte search of the file checks find.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "core/change_witness.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

using test::ImageBuilder;
using test::kRoot;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

class SectorCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    image = (tmp / "disk.dsk").string();
    ImageBuilder b;
    b.AddFile(kRoot, "HELLO.TXT", Bytes("Hello hello HELLO\n"));
    big = test::Pattern(3000, 7);
    bigFirst = b.AddFile(kRoot, "BIG.BIN", big);
    b.Chain({600, 601});
    b.SetFat(601, 0);
    b.PutEntry(kRoot, 5, {.name = "BROKEN.BIN", .firstCluster = 600, .size = 5000});
    b.AddDirectory(kRoot, "GAMES");
    b.WriteTo(image);
  }
  std::vector<std::uint8_t> Image() const { return test::ReadHostFile(image); }

  test::TempDir tmp;
  std::string image;
  std::vector<std::uint8_t> big;
  std::uint16_t bigFirst = 0;
};

TEST_F(SectorCommands, DetailsJsonOnAnEmptyDisk) {
  ImageBuilder().WriteTo(image);
  auto r = test::Run({Cli(), "details", image, "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["sizeBytes"], 737280);
  EXPECT_EQ(j["freeBytes"], 713 * 1024);
  EXPECT_EQ(j["freePercent"], 99.03);
  EXPECT_EQ(j["tracks"], 80);
  EXPECT_EQ(j["systemCells"], 7);
  EXPECT_EQ(j["clusterBytes"], 1024);
  EXPECT_EQ(j["rootEntries"], 112);
  EXPECT_EQ(j["map"], std::string(7, 'S') + std::string(713, '.'));
}

TEST_F(SectorCommands, DetailsTextHasTheLinesAndTheMap) {
  auto r = test::Run({Cli(), "details", image});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("    There are 720 clusters\n"), std::string::npos);
  EXPECT_NE(r.out.find("\n  0\tSSSSSSSL"), std::string::npos);
  EXPECT_NE(r.out.find("\n680\t"), std::string::npos);
}

// The map's free and used cells agree with what mtools counts on a disk it filled and
// fragmented (add, delete, add a larger file).
TEST_F(SectorCommands, MapAgreesWithMtoolsOnAFragmentedDisk) {
  if (!test::HaveWitnesses()) GTEST_SKIP() << "mtools / dosfstools missing";
  const auto fresh = (tmp / "m.dsk").string();
  ASSERT_EQ(test::Run({Cli(), "new", "720", fresh}).exitCode, 0);
  for (auto [name, size] : {std::pair{"a.bin", 3000}, {"b.bin", 5000}, {"c.bin", 2000}}) {
    test::WriteHostFile(tmp / name, test::Pattern(size, size));
    ASSERT_EQ(
        test::Run({"mcopy", "-i", fresh, (tmp / name).string(), "::"}, test::kMtoolsEnv).exitCode,
        0);
  }
  test::Run({"mdel", "-i", fresh, "::b.bin"}, test::kMtoolsEnv);
  const auto d = test::Pattern(9000, 9);
  test::WriteHostFile(tmp / "d.bin", d);
  test::Run({"mcopy", "-i", fresh, (tmp / "d.bin").string(), "::"}, test::kMtoolsEnv);

  auto mdir = test::Run({"mdir", "-i", fresh, "::"}, test::kMtoolsEnv);
  std::string digits;
  const auto at = mdir.out.find(" bytes free");
  ASSERT_NE(at, std::string::npos);
  for (std::size_t i = mdir.out.rfind('\n', at) + 1; i < at; ++i)
    if (std::isdigit(static_cast<unsigned char>(mdir.out[i]))) digits += mdir.out[i];
  auto r = test::Run({Cli(), "details", fresh, "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  const std::string map = j["map"];
  EXPECT_EQ(std::count(map.begin(), map.end(), '.') * 1024, std::stoll(digits));
  EXPECT_EQ(j["freeBytes"], std::stoll(digits));
  // a (3), c (2) and d (9) clusters are used; every file has one last cluster.
  EXPECT_EQ(std::count(map.begin(), map.end(), 'U') + std::count(map.begin(), map.end(), 'L'), 14);
  EXPECT_EQ(std::count(map.begin(), map.end(), 'L'), 3);

  auto info = test::Run({Cli(), "fileinfo", fresh, "D.BIN", "--json"});
  ASSERT_EQ(info.exitCode, 0) << info.err;
  const auto fi = nlohmann::json::parse(info.out);
  EXPECT_EQ(fi["size"], 9000);
  EXPECT_EQ(fi["clusters"], 9);
  ASSERT_EQ(fi["chain"].size(), 9u);
  const std::string fmap = fi["map"];
  EXPECT_EQ(std::count(fmap.begin(), fmap.end(), 'F'), 9);
  // The disk is fragmented: the file's chain is not one run of clusters, and every cluster of
  // it is marked.
  const std::vector<int> chain = fi["chain"];
  EXPECT_NE(chain.back() - chain.front(), 8);
  const int systemCells = j["systemCells"];
  for (int c : chain) EXPECT_EQ(fmap[static_cast<std::size_t>(systemCells + c - 2)], 'F') << c;
}

TEST_F(SectorCommands, FileinfoTextAndRefusals) {
  auto r = test::Run({Cli(), "fileinfo", image, "BIG.BIN"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Info on File: BIG.BIN\n\nThe File has a size of 3000 bytes\nspanning 3 "
                       "clusters on the disk\nThe File was last changed on 5/04/2002 at 13:05:08"),
            std::string::npos);
  EXPECT_NE(r.out.find("F BIG.BIN\n\n"), std::string::npos);
  EXPECT_EQ(test::Run({Cli(), "fileinfo", image, "NOPE.TXT"}).exitCode, 1);
}

// --raw gives what dd cuts from the file, for decimal and "$" hex numbers.
TEST_F(SectorCommands, SectorRawEqualsDd) {
  for (auto [arg, n] : {std::pair{"0", 0}, {"14", 14}, {"$1F", 31}, {"$59f", 1439}}) {
    auto r = test::Run({Cli(), "sector", image, arg, "--raw"});
    ASSERT_EQ(r.exitCode, 0) << arg << r.err;
    auto dd = test::Run(
        {"dd", "if=" + image, "bs=512", "skip=" + std::to_string(n), "count=1", "status=none"});
    EXPECT_EQ(r.out, dd.out) << arg;
    EXPECT_EQ(r.out.size(), 512u);
  }
}

TEST_F(SectorCommands, SectorDumpAndBadNumbers) {
  auto r = test::Run({Cli(), "sector", image, "14"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.rfind(
                "000  48 65 6C 6C 6F 20 68 65 6C 6C 6F 20 48 45 4C 4C  Hello hello HELL\n010  ", 0),
            0u);
  EXPECT_NE(r.out.find("\n1F0  "), std::string::npos);
  const struct {
    const char* arg;
    int exitCode;
    const char* err;
  } bad[] = {{"x1", 2, "'x1' is not a valid integer value\n"},
             {"", 2, "'' is not a valid integer value\n"},
             {"1440", 1, "No such sector on this disk: 1440\n"},
             {"-1", 1, "No such sector on this disk: -1\n"}};
  for (const auto& c : bad) {
    auto b = test::Run({Cli(), "sector", image, c.arg});
    EXPECT_EQ(b.exitCode, c.exitCode) << c.arg;
    EXPECT_EQ(b.err, c.err) << c.arg;
  }
}

// A disk whose boot sector is refused is still read sector by sector (512 bytes each).
TEST_F(SectorCommands, SectorReadsABrokenBootSector) {
  test::GeometryLayout g;
  g.sectorsPerCluster = 0;
  ImageBuilder b(g, 737280);
  b.Poke(512 * 3 + 5, 0x77);
  b.WriteTo(image);
  auto r = test::Run({Cli(), "sector", image, "3", "--raw"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(r.out.size(), 512u);
  EXPECT_EQ(static_cast<std::uint8_t>(r.out[5]), 0x77);
  auto d = test::Run({Cli(), "details", image});
  EXPECT_NE(d.err.find("There is a error on the disk, details may be incorrect!"),
            std::string::npos);
}

// Every hit, overlapping ones too, as a plain byte search of the image file finds them.
TEST_F(SectorCommands, FindAgreesWithAPlainByteSearch) {
  const auto bytes = Image();
  const std::vector<std::uint8_t> pattern{big[100], big[101]};
  std::string expected;
  for (auto it = bytes.begin();
       (it = std::search(it, bytes.end(), pattern.begin(), pattern.end())) != bytes.end(); ++it) {
    const auto pos = static_cast<std::size_t>(it - bytes.begin());
    expected += std::to_string(pos / 512) + ":" + std::to_string(pos % 512) + "\n";
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "%02x%02X", pattern[0], pattern[1]);
  auto r = test::Run({Cli(), "find", image, hex});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, expected);
  EXPECT_FALSE(expected.empty());
}

TEST_F(SectorCommands, FindTextIgnoresCaseAndFindsInOneFile) {
  auto all = test::Run({Cli(), "find", image, "--text", "hello"});
  // The root directory's entry (sector 7) holds the name too.
  EXPECT_EQ(all.out, "7:0\n14:0\n14:6\n14:12\n");
  auto inFile = test::Run({Cli(), "find", image, "--text", "HeLLo", "HELLO.TXT", "--json"});
  ASSERT_EQ(inFile.exitCode, 0) << inFile.err;
  const auto j = nlohmann::json::parse(inFile.out);
  ASSERT_EQ(j.size(), 3u);
  EXPECT_EQ(j[1]["offset"], 6);
  EXPECT_EQ(j[1]["sector"], 14);
  EXPECT_EQ(j[1]["sectorOffset"], 6);
  // In BIG.BIN, file offset 1030 lies in its second cluster.
  char hex[16];
  std::snprintf(hex, sizeof hex, "%02X%02X%02X%02X", big[1030], big[1031], big[1032], big[1033]);
  auto b = test::Run({Cli(), "find", image, hex, "BIG.BIN", "--json"});
  const auto jb = nlohmann::json::parse(b.out);
  ASSERT_GE(jb.size(), 1u);
  bool seen = false;
  for (const auto& hit : jb) {
    if (hit["offset"] != 1030) continue;
    seen = true;
    const std::size_t at = static_cast<std::size_t>(hit["sector"]) * 512 +
                           static_cast<std::size_t>(hit["sectorOffset"]);
    EXPECT_EQ(Image()[at], big[1030]);
  }
  EXPECT_TRUE(seen);
  EXPECT_EQ(test::Run({Cli(), "find", image, "4D5"}).exitCode, 2);
  EXPECT_EQ(test::Run({Cli(), "find", image}).exitCode, 2);
  // With --text the positional is the file to search.
  EXPECT_EQ(test::Run({Cli(), "find", image, "4142", "--text", "AB"}).exitCode, 1);
}

TEST_F(SectorCommands, PokeIntoAFileAlongItsChainPassesTheWitnesses) {
  if (!test::HaveWitnesses()) GTEST_SKIP() << "mtools / dosfstools missing";
  const auto findings = test::FsckFindings(image);  // BROKEN.BIN's, before the edit
  auto r = test::Run({Cli(), "poke", image, "BIG.BIN", "--offset", "1023", "C93E01"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto expected = big;
  expected[1023] = 0xC9;
  expected[1024] = 0x3E;
  expected[1025] = 0x01;
  EXPECT_EQ(test::Mtype(image, "BIG.BIN"), expected);
  EXPECT_EQ(test::FsckFindings(image), findings);
}

TEST_F(SectorCommands, PokeIntoASectorPassesTheWitnesses) {
  if (!test::HaveWitnesses()) GTEST_SKIP() << "mtools / dosfstools missing";
  const auto findings = test::FsckFindings(image);
  auto r = test::Run({Cli(), "poke", image, "--sector", "$E", "--offset", "0", "4A"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::Mtype(image, "HELLO.TXT"), Bytes("Jello hello HELLO\n"));
  auto dd = test::Run({"dd", "if=" + image, "bs=1", "skip=7168", "count=1", "status=none"});
  EXPECT_EQ(dd.out, "J");
  EXPECT_EQ(test::FsckFindings(image), findings);
}

// Refusals leave the image byte-identical.
TEST_F(SectorCommands, PokeRefusalsLeaveTheImageAsItWas) {
  const auto before = Image();
  const std::vector<std::vector<std::string>> refused = {
      {"--sector", "3", "--offset", "511", "0102"},        // runs past the sector
      {"--sector", "1440", "--offset", "0", "01"},         // no such sector
      {"--sector", "3", "--offset", "-1", "01"},           //
      {"BIG.BIN", "--offset", "2999", "0102"},             // past the file's end
      {"BROKEN.BIN", "--offset", "0", "01"},               // broken chain
      {"GAMES", "--offset", "0", "01"},                    // a directory
      {"NOPE.BIN", "--offset", "0", "01"},                 // no such file
      {"BIG.BIN", "--offset", "0", "0G"},                  // not hex
      {"BIG.BIN", "--offset", "0", "123"},                 // odd digits
      {"BIG.BIN", "--offset", "zz", "12"},                 // not a number
      {"--sector", "3", "BIG.BIN", "--offset", "0", "12"}  // both
  };
  for (const auto& args : refused) {
    std::vector<std::string> argv{Cli(), "poke", image};
    argv.insert(argv.end(), args.begin(), args.end());
    auto r = test::Run(argv);
    EXPECT_NE(r.exitCode, 0) << args[0] << " " << args[1];
    EXPECT_FALSE(r.err.empty()) << args[0];
    EXPECT_TRUE(Image() == before) << args[0] << " " << args[1];
  }
  // A negative offset is said to be one, not to run past the end.
  for (const std::string target : {"--sector=3", "BIG.BIN"})
    EXPECT_EQ(test::Run({Cli(), "poke", image, target, "--offset=-1", "01"}).err,
              "An offset counts from 0 up: -1\n");
}

}  // namespace
}  // namespace quarnel
