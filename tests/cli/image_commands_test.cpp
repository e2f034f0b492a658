// quarnel-cli ls / cat / extract as a user runs them: exit codes, stdout, stderr.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::EntrySpec;
using test::ImageBuilder;
using test::kRoot;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

class ImageCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ImageBuilder b;
    b.AddVolume("DEMO");
    b.AddFile(kRoot, "HELLO.TXT", {'h', 'i', '\n'}, kAttrArchive);
    b.AddFile(kRoot, "BIG.BIN", test::Pattern(70000), kAttrReadOnly);
    b.AddFile(kRoot, "EMPTY.TXT", {});
    std::uint16_t games = b.AddDirectory(kRoot, "GAMES");
    b.AddFile(games, "ZORK.BAS", test::Pattern(3000, 5));
    b.AddEntry(kRoot, EntrySpec{"BROKEN.BIN", 0, 600, 5000});
    b.SetFat(600, 0);
    image = (tmp / "disk.dsk").string();
    b.WriteTo(image);
  }
  test::TempDir tmp;
  std::string image;
};

TEST_F(ImageCommands, LsPrintsRowsAndSummary) {
  auto r = test::Run({Cli(), "ls", image});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "DEMO   \t\tVolume Name\t5/04/2002 13:05:08\t..V...\n"
            "HELLO.TXT\t      3 Bytes\tText File\t5/04/2002 13:05:08\tA.....\n"
            "BIG.BIN\t  70000 Bytes\tBinary file\t5/04/2002 13:05:08\t.....R\n"
            "EMPTY.TXT\t      0 Bytes\tText File\t5/04/2002 13:05:08\t......\n"
            "GAMES.   \t\tDirectory\t5/04/2002 13:05:08\t.D....\n"
            "BROKEN.BIN\t   5000 Bytes\tBinary file\t5/04/2002 13:05:08\t......\n"
            "6 Files Listed \n"
            "654336 Bytes free \n");
}

TEST_F(ImageCommands, LsOfASubdirectoryAndJson) {
  for (const char* dir : {"GAMES", "games/", "\\GAMES"}) {
    SCOPED_TRACE(dir);
    auto r = test::Run({Cli(), "ls", image, dir, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["path"], "\\GAMES.   \\");
    ASSERT_EQ(j["entries"].size(), 3u);
    EXPECT_EQ(j["entries"][0]["name"], ".");
    EXPECT_EQ(j["entries"][2]["name"], "ZORK.BAS");
    EXPECT_EQ(j["entries"][2]["size"], 3000);
    EXPECT_EQ(j["entries"][2]["sizeText"], "   3000 Bytes");
    EXPECT_EQ(j["entries"][2]["type"], "Basic file");
    EXPECT_EQ(j["entries"][2]["modified"], "5/04/2002 13:05:08");
    EXPECT_EQ(j["entries"][2]["attrib"], "......");
    EXPECT_EQ(j["entries"][2]["slot"], 2);
    EXPECT_EQ(j["filesListed"], 3);
    EXPECT_EQ(j["bytesFree"], 654336);
    EXPECT_EQ(j["volume"], "DEMO   ");
  }
  auto missing = test::Run({Cli(), "ls", image, "NOPE"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "Not found in the disk image: NOPE\n");
  auto file = test::Run({Cli(), "ls", image, "HELLO.TXT"});
  EXPECT_EQ(file.exitCode, 1);
  EXPECT_EQ(file.err, "Not a directory: HELLO.TXT\n");
}

TEST_F(ImageCommands, CatWritesTheBytes) {
  auto r = test::Run({Cli(), "cat", image, "hello.txt"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "hi\n");
  r = test::Run({Cli(), "cat", image, "GAMES/ZORK.BAS"});
  EXPECT_EQ(r.exitCode, 0);
  auto expect = test::Pattern(3000, 5);
  EXPECT_EQ(r.out, std::string(expect.begin(), expect.end()));
  r = test::Run({Cli(), "cat", image, "\\GAMES\\ZORK.BAS"});
  EXPECT_EQ(r.out.size(), 3000u);
  r = test::Run({Cli(), "cat", image, "EMPTY.TXT"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

TEST_F(ImageCommands, CatFailures) {
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string err;
  } cases[] = {
      {{"cat", image, "BROKEN.BIN"}, 1, "Cluster Error in Fat\n  in BROKEN.BIN\n"},
      {{"cat", image, "GAMES"}, 1, "Not a file: GAMES\n"},
      {{"cat", image, "NOPE/ZORK.BAS"}, 1, "Not found in the disk image: NOPE\n"},
      {{"cat", (tmp / "none.dsk").string(), "A"},
       1,
       "No such disk image: " + (tmp / "none.dsk").string() + "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[2]);
    std::vector<std::string> argv{Cli()};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    auto r = test::Run(argv);
    EXPECT_EQ(r.exitCode, c.exit);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
  EXPECT_EQ(test::Run({Cli(), "cat", image}).exitCode, 2);  // usage
}

TEST_F(ImageCommands, RefusedImagesShowTheSystemsMessage) {
  test::WriteHostFile(tmp / "small.dsk", std::vector<std::uint8_t>(1000));
  auto r = test::Run({Cli(), "ls", (tmp / "small.dsk").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "File to small to be a diskimage!\n");
  ImageBuilder zero;
  zero.Poke16(11, 0);
  zero.WriteTo(tmp / "zero.dsk");
  r = test::Run({Cli(), "ls", (tmp / "zero.dsk").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Error in boot sector!\n" + (tmp / "zero.dsk").string() +
                       ": bytes per sector (offset 11) is 0\n");
}

TEST_F(ImageCommands, ExtractAllOfTheRootAndChosenPaths) {
  auto out = tmp / "out";
  auto r = test::Run({Cli(), "extract", image, "-o", out.string()});
  // BROKEN.BIN fails; the others are written.
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Cluster Error in Fat\n  in BROKEN.BIN\n");
  EXPECT_EQ(test::ReadHostFile(out / "HELLO.TXT"), (std::vector<std::uint8_t>{'h', 'i', '\n'}));
  EXPECT_EQ(test::ReadHostFile(out / "BIG.BIN"), test::Pattern(70000));
  EXPECT_TRUE(fs::exists(out / "EMPTY.TXT"));
  EXPECT_EQ(fs::file_size(out / "EMPTY.TXT"), 0u);
  EXPECT_FALSE(fs::exists(out / "GAMES"));
  EXPECT_FALSE(fs::exists(out / "BROKEN.BIN"));
  // Read-only in the image: no write permission on the host.
  EXPECT_EQ(fs::status(out / "BIG.BIN").permissions() & fs::perms::owner_write, fs::perms::none);

  auto out2 = tmp / "out2";
  r = test::Run({Cli(), "extract", image, "GAMES/ZORK.BAS", "hello.txt", "-o", out2.string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::ReadHostFile(out2 / "ZORK.BAS"), test::Pattern(3000, 5));
  EXPECT_TRUE(fs::exists(out2 / "HELLO.TXT"));
  r = test::Run({Cli(), "extract", image, "GAMES", "-o", out2.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Not a file: GAMES\n");
}

TEST(ImageCommandsDemo, TheBundledDemoDiskLists) {
  auto demo = test::BinDir().parent_path() / "samples" / "demo.dsk";
  if (!fs::exists(demo)) GTEST_SKIP() << "demo disk not built";
  auto r = test::Run({Cli(), "ls", demo.string()});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("README.TXT"), std::string::npos);
  EXPECT_NE(r.out.find("DOCS.   \t\tDirectory"), std::string::npos);
  r = test::Run({Cli(), "cat", demo.string(), "DOCS/NOTES.TXT"});
  EXPECT_EQ(r.exitCode, 0);
  auto notes = test::ReadHostFile(test::SourceDir() / "samples" / "DOCS" / "NOTES.TXT");
  EXPECT_EQ(r.out, std::string(notes.begin(), notes.end()));
}

}  // namespace
}  // namespace quarnel
