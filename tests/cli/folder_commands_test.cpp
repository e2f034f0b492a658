// quarnel-cli mkdir / add --to -r / rm -r / extract -r / pack / new --dos2 as a user runs them:
// folder trees go in and come back out whole, and a failure leaves the image file as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <map>

#include "core/change_witness.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

// Every file of a host tree by its path below `root` ("SUB/A.BIN"), with "SUB/" for folders.
std::map<std::string, std::vector<std::uint8_t>> TreeOf(const fs::path& root) {
  std::map<std::string, std::vector<std::uint8_t>> out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string rel = e.path().lexically_relative(root).generic_string();
    if (e.is_directory())
      out[rel + "/"] = {};
    else
      out[rel] = test::ReadHostFile(e.path());
  }
  return out;
}

void SetTime(const fs::path& p, int minutesAgo) {
  fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::minutes(minutesAgo));
}

class FolderCommands : public ::testing::Test {
 protected:
  // A host tree with nested folders, an empty file, a file of exactly one 720 KB cluster, a
  // read-only file and an empty folder; names already upper-case 8.3.
  fs::path MakeTree() {
    const fs::path src = tmp / "src";
    fs::create_directories(src / "GAMES" / "MSX2" / "DEEP");
    fs::create_directories(src / "EMPTY");
    test::WriteHostFile(src / "README.TXT", test::Pattern(300, 1));
    test::WriteHostFile(src / "GAMES" / "NIL.BIN", std::vector<std::uint8_t>{});
    test::WriteHostFile(src / "GAMES" / "ONE.BIN", test::Pattern(1024, 2));
    test::WriteHostFile(src / "GAMES" / "MSX2" / "BIG.ROM", test::Pattern(40000, 3));
    test::WriteHostFile(src / "GAMES" / "MSX2" / "DEEP" / "RO.DAT", test::Pattern(10, 4));
    fs::permissions(src / "GAMES" / "MSX2" / "DEEP" / "RO.DAT", fs::perms::owner_write,
                    fs::perm_options::remove);
    SetTime(src / "README.TXT", 60 * 24 * 40);
    return src;
  }
  test::CommandResult Q(std::vector<std::string> args) {
    args.insert(args.begin(), Cli());
    return test::Run(args);
  }

  test::TempDir tmp;
};

TEST_F(FolderCommands, PackThenExtractGivesTheTreeBackByteForByte) {
  const fs::path src = MakeTree();
  const fs::path image = tmp / "packed.dsk";
  auto r = Q({"pack", src.string(), image.string(), "--label", "BUILD"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  if (test::HaveWitnesses()) {
    EXPECT_EQ(test::FsckFindings(image), std::vector<std::string>{});
    EXPECT_TRUE(test::MdirNames(image).count("GAMES/MSX2/DEEP/RO.DAT"));
    EXPECT_TRUE(test::Mtype(image, "GAMES/MSX2/BIG.ROM") == test::Pattern(40000, 3));
  }
  const fs::path out = tmp / "out";
  r = Q({"extract", "-r", image.string(), "-o", out.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(TreeOf(out), TreeOf(src));
  // Dates (to the two seconds a directory entry holds) and the read-only bit come back.
  auto secondsApart = [](const fs::path& a, const fs::path& b) {
    return std::chrono::abs(std::chrono::duration_cast<std::chrono::seconds>(
                                fs::last_write_time(a) - fs::last_write_time(b)))
        .count();
  };
  EXPECT_LE(secondsApart(out / "README.TXT", src / "README.TXT"), 2);
  EXPECT_LE(secondsApart(out / "GAMES", src / "GAMES"), 2);
  EXPECT_EQ(
      fs::status(out / "GAMES" / "MSX2" / "DEEP" / "RO.DAT").permissions() & fs::perms::owner_write,
      fs::perms::none);
  // One directory of the image, into a folder of its name.
  const fs::path one = tmp / "one";
  r = Q({"extract", "-r", image.string(), "GAMES/MSX2", "-o", one.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::map<std::string, std::vector<std::uint8_t>> expected{{"MSX2/", {}}};
  for (const auto& [p, bytes] : TreeOf(src / "GAMES" / "MSX2")) expected["MSX2/" + p] = bytes;
  EXPECT_EQ(TreeOf(one), expected);
}

TEST_F(FolderCommands, ATreePackedByMtoolsExtractsToTheSameFiles) {
  if (!test::HaveWitnesses() || !test::HaveProgram("mmd")) GTEST_SKIP() << "mtools missing";
  const fs::path src = MakeTree();
  fs::permissions(src / "GAMES" / "MSX2" / "DEEP" / "RO.DAT", fs::perms::owner_write,
                  fs::perm_options::add);
  const fs::path image = tmp / "m.dsk";
  ASSERT_EQ(Q({"new", "720", image.string()}).exitCode, 0);
  std::vector<std::string> copy = {"mcopy", "-s", "-i", image.string()};
  for (const auto& e : fs::directory_iterator(src)) copy.push_back(e.path().string());
  copy.push_back("::/");
  auto r = test::Run(copy, test::kMtoolsEnv);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const fs::path out = tmp / "out";
  r = Q({"extract", "-r", image.string(), "-o", out.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(TreeOf(out), TreeOf(src));
}

TEST_F(FolderCommands, PackListsEverythingThatDoesNotFitAndWritesNothing) {
  const fs::path src = tmp / "src";
  fs::create_directories(src / "SUB");
  test::WriteHostFile(src / "A.BIN", test::Pattern(100 * 1024, 1));
  test::WriteHostFile(src / "B.BIN", test::Pattern(100 * 1024, 2));
  test::WriteHostFile(src / "SUB" / "C.BIN", test::Pattern(100 * 1024, 3));
  test::WriteHostFile(src / "SUB" / "D.BIN", test::Pattern(10, 4));
  ASSERT_EQ(::mkfifo((src / "PIPE").c_str(), 0600), 0);
  const fs::path image = tmp / "small.dsk";
  auto r = Q({"pack", src.string(), image.string(), "--size", "160"});
  EXPECT_EQ(r.exitCode, 1);
  // What could not be read is no matter of room.
  EXPECT_EQ(r.err, "Not written: these could not be read for " + image.string() +
                       ":\n  PIPE: read ERROR! (" + (src / "PIPE").string() +
                       ": is a FIFO)\nNot written: these do not fit in " + image.string() +
                       ":\n  B.BIN: Disk full\n  SUB/C.BIN: Disk full\n");
  EXPECT_FALSE(fs::exists(image));
  // An existing file is never replaced without --force.
  test::WriteHostFile(image, {1, 2, 3});
  r = Q({"pack", (src / "SUB").string(), image.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(test::ReadHostFile(image), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(FolderCommands, LinksInsideHostFoldersAreSkippedAndSaid) {
  const fs::path src = tmp / "src", outside = tmp / "outside";
  fs::create_directories(src);
  fs::create_directories(outside);
  test::WriteHostFile(src / "A.TXT", test::Pattern(10));
  test::WriteHostFile(outside / "SECRET.TXT", test::Pattern(20));
  fs::create_symlink(outside / "SECRET.TXT", src / "FILE.LNK");
  fs::create_symlink(outside, src / "DIR.LNK");
  fs::create_symlink(tmp / "missing", src / "DANGLING");
  const fs::path image = tmp / "d.dsk", packed = tmp / "p.dsk";
  ASSERT_EQ(Q({"new", "720", image.string()}).exitCode, 0);
  const std::string said = ": symbolic link, not followed, not added\n";
  const struct {
    std::vector<std::string> args;
    std::string image, prefix;  // the image written, the folder the files are in
  } cases[] = {
      {{"add", "-r", image.string(), src.string()}, image.string(), "src/"},
      {{"pack", src.string(), packed.string()}, packed.string(), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0]);
    auto r = Q(c.args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, c.prefix + "DANGLING" + said + c.prefix + "DIR.LNK" + said + c.prefix +
                         "FILE.LNK" + said);
    EXPECT_EQ(Q({"cat", c.image, c.prefix + "A.TXT"}).exitCode, 0);
    for (const std::string name : {"FILE.LNK", "DIR.LNK", "DANGLING"})
      EXPECT_EQ(Q({"cat", c.image, c.prefix + name}).err,
                "Not found in the disk image: " + name + "\n");
  }
}

TEST_F(FolderCommands, MkdirAddIntoDirectoriesAndDeleteTrees) {
  const fs::path image = tmp / "d.dsk";
  ASSERT_EQ(Q({"new", "720", image.string()}).exitCode, 0);
  auto r = Q({"mkdir", image.string(), "A/B/C", "-p"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const fs::path host = tmp / "My Project";
  fs::create_directories(host / "build output");
  test::WriteHostFile(host / "build output" / "program-one.rom", test::Pattern(5000, 1));
  test::WriteHostFile(host / "build output" / "program-two.rom", test::Pattern(6000, 2));
  test::WriteHostFile(host / "MAIN.BAS", test::Pattern(700, 3));
  r = Q({"add", image.string(), host.string(), "--to", "A/B", "-r"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err,
            "My Project added as MyProjec\n"
            "My Project/build output added as buildout\n"
            "My Project/build output/program-one.rom added as program-.rom\n"
            "My Project/build output/program-two.rom added as progra~1.rom\n");
  if (test::HaveWitnesses()) {
    EXPECT_EQ(test::FsckFindings(image), std::vector<std::string>{});
    EXPECT_EQ(
        test::MdirNames(image),
        (std::set<std::string>{"A/", "A/B/", "A/B/C/", "A/B/MYPROJEC/", "A/B/MYPROJEC/MAIN.BAS",
                               "A/B/MYPROJEC/BUILDOUT/", "A/B/MYPROJEC/BUILDOUT/PROGRAM-.ROM",
                               "A/B/MYPROJEC/BUILDOUT/PROGRA~1.ROM"}));
    EXPECT_TRUE(test::Mtype(image, "A/B/MYPROJEC/BUILDOUT/PROGRA~1.ROM") == test::Pattern(6000, 2));
  }
  // Refusals leave the file byte for byte as it was.
  const auto before = test::ReadHostFile(image);
  const struct {
    std::vector<std::string> args;
    std::string err;
  } refusals[] = {
      {{"mkdir", image.string(), "A"}, "A directory of that name exists already: A\n"},
      {{"mkdir", image.string(), "A/B/MYPROJEC/MAIN.BAS"},
       "A file of that name exists: MAIN.BAS\n"},
      {{"mkdir", image.string(), "X/Y"}, "Not found in the disk image: X\n"},
      {{"rm", image.string(), "A"}, "Directory not empty!\n"},
      {{"add", image.string(), (host / "MAIN.BAS").string(), "--to", "NOPE"},
       "Not found in the disk image: NOPE\n"},
  };
  for (const auto& c : refusals) {
    SCOPED_TRACE(c.args[0]);
    r = Q(c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, c.err);
    EXPECT_TRUE(test::ReadHostFile(image) == before);
  }
  r = Q({"rm", "-r", image.string(), "A"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  if (test::HaveWitnesses()) {
    EXPECT_EQ(test::FsckFindings(image), std::vector<std::string>{});
    EXPECT_EQ(test::MdirNames(image), std::set<std::string>{});
  }
}

TEST_F(FolderCommands, AFullDiskHalfWayThroughARecursiveAddChangesNothing) {
  const fs::path image = tmp / "s.dsk";
  ASSERT_EQ(Q({"new", "160", image.string()}).exitCode, 0);
  const fs::path host = tmp / "TREE";
  fs::create_directories(host / "SUB");
  test::WriteHostFile(host / "A.BIN", test::Pattern(60 * 1024, 1));
  test::WriteHostFile(host / "SUB" / "B.BIN", test::Pattern(120 * 1024, 2));
  const auto before = test::ReadHostFile(image);
  auto r = Q({"add", "-r", image.string(), host.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Disk full\n  in TREE/SUB/B.BIN\n");
  EXPECT_TRUE(test::ReadHostFile(image) == before);
}

TEST_F(FolderCommands, NewDos2ImagesCarryVolIdAndARandomVolumeId) {
  const fs::path a = tmp / "a.dsk", b = tmp / "b.dsk", plain = tmp / "p.dsk";
  ASSERT_EQ(Q({"new", "720", a.string(), "--dos2"}).exitCode, 0);
  ASSERT_EQ(Q({"new", "720", b.string(), "--dos2"}).exitCode, 0);
  ASSERT_EQ(Q({"new", "720", plain.string()}).exitCode, 0);
  const auto ba = test::ReadHostFile(a), bb = test::ReadHostFile(b), bp = test::ReadHostFile(plain);
  EXPECT_EQ(std::string(ba.begin() + 0x20, ba.begin() + 0x26), "VOL_ID");
  EXPECT_NE(std::string(bp.begin() + 0x20, bp.begin() + 0x26), "VOL_ID");  // DOS 1 stays default
  EXPECT_FALSE(std::equal(ba.begin() + 0x27, ba.begin() + 0x2B, bb.begin() + 0x27));
  for (int i = 0x27; i < 0x2B; ++i) EXPECT_LT(ba[i], 0x80);
  if (test::HaveWitnesses()) {
    EXPECT_EQ(test::FsckFindings(a), std::vector<std::string>{});
    EXPECT_EQ(test::Run({"mdir", "-i", a.string(), "::"}, test::kMtoolsEnv).exitCode, 0);
  }
  // pack --dos2 too.
  fs::create_directories(tmp / "t");
  ASSERT_EQ(Q({"pack", (tmp / "t").string(), (tmp / "t.dsk").string(), "--dos2"}).exitCode, 0);
  const auto bt = test::ReadHostFile(tmp / "t.dsk");
  EXPECT_EQ(std::string(bt.begin() + 0x20, bt.begin() + 0x26), "VOL_ID");
}

TEST_F(FolderCommands, ExtractSkipsADirectoryThatLeadsBackUp) {
  test::ImageBuilder b;
  const std::uint16_t top = b.AddDirectory(test::kRoot, "TOP");
  b.AddFile(top, "A.BIN", test::Pattern(3000));
  b.AddEntry(top, {"BACK", kAttrDirectory, top});
  const fs::path image = tmp / "loop.dsk";
  b.WriteTo(image);
  const fs::path out = tmp / "out";
  auto r = Q({"extract", "-r", image.string(), "-o", out.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Directory leads back to a directory above it, not extracted: TOP/BACK\n");
  EXPECT_EQ(test::ReadHostFile(out / "TOP" / "A.BIN"), test::Pattern(3000));
}

}  // namespace
}  // namespace quarnel
