// The frame every quarnel-cli command shares, as a user meets it: the commands listed in the
// order of the table, commands that only show a field (or have nothing to change) never writing
// the image, and each viewer refusing --host files above its own limit.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

class CliCommands : public ::testing::Test {
 protected:
  // A sparse host file of `size` bytes.
  std::string Sparse(const std::string& name, std::uintmax_t size) {
    const auto p = tmp / name;
    std::ofstream(p).put('x');
    fs::resize_file(p, size);
    return p.string();
  }
  test::TempDir tmp;
};

TEST_F(CliCommands, HelpListsEveryCommandInTheOrderOfTheTable) {
  auto r = test::Run({Cli(), "--help"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::istringstream in(r.out.substr(r.out.find("Subcommands:\n") + 13));
  std::vector<std::string> listed;
  std::string line;
  while (std::getline(in, line) && !line.empty())
    listed.push_back(line.substr(2, line.find(' ', 2) - 2));
  const std::vector<std::string> expected = {
      "version", "ls",       "cat",     "extract", "basic",   "tokenize", "hex",
      "text",    "picture",  "gallery", "cas",     "convert", "add",      "rm",
      "ren",     "label",    "oem",     "new",     "mkdir",   "pack",     "details",
      "parts",   "fileinfo", "sector",  "find",    "poke",    "check",    "floppy"};
  EXPECT_EQ(listed, expected);
}

// Only the command named on the command line is declared with its options: each command, and
// each command of a group, must still take its own options, whatever comes before or after it.
TEST_F(CliCommands, EachCommandStillTakesItsOwnOptions) {
  struct Case {
    std::vector<std::string> args;
    std::string shown;  // in its help
  };
  for (const auto& c :
       {Case{{"ls", "--help"}, "--json"}, Case{{"--help", "ls"}, "--json"},
        Case{{"add", "--help"}, "--tokenize"}, Case{{"new", "--help"}, "--force"},
        Case{{"cas", "extract", "--help"}, "--output"}, Case{{"picture", "--help"}, "--exact"}}) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    std::vector<std::string> argv = c.args;
    argv.insert(argv.begin(), Cli());
    auto r = test::Run(argv);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(c.shown), std::string::npos) << r.out;
  }
  // A word that names no command is a usage error.
  EXPECT_EQ(test::Run({Cli(), "nosuchcommand", "x.dsk"}).exitCode, 2);
}

TEST_F(CliCommands, ShowingOrKeepingAFieldNeverWritesTheImage) {
  const auto image = tmp / "x.dsk";
  ASSERT_EQ(test::Run({Cli(), "new", "720", image.string()}).exitCode, 0);
  // A read-only image: any attempt to save it would fail with " is read-only".
  fs::permissions(image, fs::perms::owner_read | fs::perms::group_read);
  const auto before = test::ReadHostFile(image);
  for (std::vector<std::string> args : {std::vector<std::string>{"label", image.string()},
                                        {"label", image.string(), ""},  // no name to remove
                                        {"oem", image.string()}}) {
    SCOPED_TRACE(args.size() == 3 ? args[0] + " \"\"" : args[0]);
    args.insert(args.begin(), Cli());
    auto r = test::Run(args);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
  }
  EXPECT_EQ(test::ReadHostFile(image), before);
}

TEST_F(CliCommands, EachViewerRefusesHostFilesAboveItsOwnLimit) {
  const std::string picture = Sparse("big.sc5", 128 * 1024 + 8);
  const std::string huge = Sparse("huge.bin", 16 * 1024 * 1024 + 1);
  const std::string png = (tmp / "out.png").string();
  struct Case {
    std::vector<std::string> args;
    std::string file, limit;
  };
  for (const auto& c :
       {Case{{"picture", "--host", picture, "--mode", "sc5", "-o", png}, picture, "131079"},
        Case{{"hex", "--host", huge}, huge, "16777216"},
        Case{{"text", "--host", huge}, huge, "16777216"}}) {
    SCOPED_TRACE(c.args[0]);
    std::vector<std::string> argv = c.args;
    argv.insert(argv.begin(), Cli());
    auto r = test::Run(argv);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "Cannot read " + c.file + "\n" + c.file + ": is larger than " + c.limit + " bytes\n");
  }
  EXPECT_FALSE(fs::exists(png));
}

}  // namespace
}  // namespace quarnel
