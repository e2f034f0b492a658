// quarnel-cli basic / hex / text / picture as a user runs them, on a file inside a disk image and
// on a host file: what stdout shows, what lands in the output file, and how failures end.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::ImageBuilder;
using test::kRoot;
using Buf = std::vector<std::uint8_t>;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

// 10 PRINT "HI" / 20 GOTO 10 / 30 A=&HFF:END as MSX-BASIC saves it (links are addresses from
// 0x8000, the first line at 0x8001).
const Buf kProgram = {
    0xFF, 0x0C, 0x80, 10, 0,    0x91, ' ',  '"',  'H',  'I',  '"',  0x00,  // 10 PRINT "HI"
    0x16, 0x80, 20,   0,  0x89, ' ',  0x0E, 10,   0,    0x00,              // 20 GOTO 10
    0x22, 0x80, 30,   0,  'A',  0xEF, 0x0C, 0xFF, 0x00, ':',  0x81, 0x00,  // 30 A=&HFF:END
    0x00, 0x00};
const std::string kListing = "   10  PRINT \"HI\"\n   20  GOTO 10\n   30  A=&HFF:END\n";

// BSAVE header: FE, start, end, run (little endian), then end - start + 1 bytes.
Buf Bsave(std::uint16_t start, std::uint16_t end, std::uint16_t run, const Buf& body) {
  Buf b(7 + body.size());
  const std::uint16_t fields[] = {start, end, run};
  b[0] = 0xFE;
  for (int i = 0; i < 3; ++i) {
    b[1 + 2 * i] = std::uint8_t(fields[i]);
    b[2 + 2 * i] = std::uint8_t(fields[i] >> 8);
  }
  std::copy(body.begin(), body.end(), b.begin() + 7);
  return b;
}

const Buf kCode = Bsave(0xC000, 0xC005, 0xC003, {'A', 'B', 'C', 0x00, 0x7F, 'Z'});

// A screen 2 dump of video memory 0x0000-0x37FF: every pattern byte F0, every colour byte 4F
// (foreground 4 on the left half of each cell, background 15 on the right).
Buf Screen2Dump() {
  Buf body(0x3800, 0);
  std::fill(body.begin(), body.begin() + 0x1800, 0xF0);
  std::fill(body.begin() + 0x2000, body.begin() + 0x3800, 0x4F);
  return Bsave(0x0000, 0x37FF, 0x0000, body);
}

std::uint32_t Be32(const Buf& b, std::size_t at) {
  return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 |
         std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}
std::uint32_t Le32(const Buf& b, std::size_t at) {
  return b[at] | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}

class ViewerCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ImageBuilder b;
    b.AddFile(kRoot, "PROG.BAS", kProgram);
    std::uint16_t pics = b.AddDirectory(kRoot, "PICS");
    b.AddFile(pics, "TITLE.SC2", Screen2Dump());
    b.AddFile(kRoot, "CODE.BIN", kCode);
    b.AddFile(kRoot, "EMPTY.TXT", {});
    image = (tmp / "disk.dsk").string();
    b.WriteTo(image);
    host = tmp / "prog.bas";
    test::WriteHostFile(host, kProgram);
  }
  test::CommandResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), quarnel::Cli());
    return test::Run(args);
  }
  test::TempDir tmp;
  std::string image;
  fs::path host;
};

TEST_F(ViewerCommands, BasicListsTheProgramFromImageAndHost) {
  for (const auto& args : {std::vector<std::string>{"basic", image, "prog.bas"},
                           std::vector<std::string>{"basic", "--host", host.string()},
                           std::vector<std::string>{"basic", image, "PROG.BAS", "--color"}}) {
    SCOPED_TRACE(args.back());
    auto r = Cli(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, kListing);  // --color to a file or pipe: no escape sequences
    EXPECT_EQ(r.err, "");
  }
}

TEST_F(ViewerCommands, BasicReportsBrokenLinksAndRefusesOtherFiles) {
  // Line 10's link points past the end of the file: the line is listed, the notice follows.
  Buf cut = {0xFF, 0x00, 0x90, 10, 0, 0x81, 0x00};
  test::WriteHostFile(tmp / "cut.bas", cut);
  auto r = Cli({"basic", "--host", (tmp / "cut.bas").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "   10  END\n");
  EXPECT_EQ(r.err, "ERROR\nDamaged BASIC program: " + (tmp / "cut.bas").string() +
                       ": the link of line 10 points past the end of the file\n");
  r = Cli({"basic", image, "CODE.BIN"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Not a tokenised MSX-BASIC program (the first byte is not FF)\n");
}

TEST_F(ViewerCommands, HexShowsTheBsaveStripAndLoadAddresses) {
  const std::string row = "  C000  41 42 43 00 7F 5A" + std::string(10 * 3 + 1, ' ') + " ABC..Z\n";
  const std::string expect =
      "Start address: C000\nEnd   address: C005\nRun   address: C003\n\n" + row;
  auto r = Cli({"hex", image, "CODE.BIN"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, expect);
  test::WriteHostFile(tmp / "code.bin", kCode);
  EXPECT_EQ(Cli({"hex", "--host", (tmp / "code.bin").string()}).out, expect);

  // No header: offsets from 0, 8 bytes a row in a narrow window, later labels two digits.
  test::WriteHostFile(tmp / "plain.dat", {'0', '1', '2', '3', '4', '5', '6', '7', '8', 0xFE});
  r = Cli({"hex", "--host", (tmp / "plain.dat").string(), "--width", "300"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "     0  30 31 32 33 34 35 36 37  01234567\n"
            "    08  38 FE" +
                std::string(6 * 3 + 1, ' ') + " 8.\n");
  // COM files load at 0100.
  test::WriteHostFile(tmp / "run.com", {0xC9});
  r = Cli({"hex", "--host", (tmp / "run.com").string()});
  EXPECT_EQ(r.out, "Start address:  100\nRun   address:  100\nEnd   address:  101\n\n   100  C9" +
                       std::string(15 * 3 + 1, ' ') + " .\n");
}

TEST_F(ViewerCommands, TextPlainAndMasked) {
  const Buf bytes = {'A', 0xC1, '\r', 'B', '\t', 0x00, 0x7F, '\n', 'C'};
  test::WriteHostFile(tmp / "t.txt", bytes);
  auto r = Cli({"text", "--host", (tmp / "t.txt").string(), "--masked"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  // Everything outside tab, line feed and 0x20-0x7E (bit 7 set included) shows as ".".
  EXPECT_EQ(r.out, "A..B\t..\nC\n");
  r = Cli({"text", "--host", (tmp / "t.txt").string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  ASSERT_GE(r.out.size(), 4u);
  EXPECT_EQ(r.out.substr(0, 1), "A");
  EXPECT_NE(r.out.substr(1, 1), ".");  // 0xC1 is an MSX character, shown as UTF-8
  EXPECT_GE(static_cast<unsigned char>(r.out[1]), 0xC2);
  EXPECT_NE(r.out.find("\rB\t."), std::string::npos);  // 0x00 as "."
  EXPECT_EQ(r.out.substr(r.out.size() - 3), "\nC\n");

  // Blocks of 2048 bytes, each ended by a line break; a file of exactly 2048 has an empty last.
  test::WriteHostFile(tmp / "block.txt", Buf(2048, 'x'));
  r = Cli({"text", "--host", (tmp / "block.txt").string(), "--masked"});
  EXPECT_EQ(r.out, std::string(2048, 'x') + "\n\n");
  // From an image; an empty file shows one empty block.
  r = Cli({"text", image, "PROG.BAS", "--masked"});
  EXPECT_EQ(r.out.substr(0, 12), "...\n.. \"HI\".");
  r = Cli({"text", image, "EMPTY.TXT"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "\n");
}

TEST_F(ViewerCommands, PictureWritesPngAndBmp) {
  auto png = tmp / "title.png";
  auto r = Cli({"picture", image, "PICS/TITLE.SC2", "--mode", "sc2", "-o", png.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  Buf p = test::ReadHostFile(png);
  ASSERT_GT(p.size(), 33u);
  EXPECT_EQ(Buf(p.begin(), p.begin() + 8), (Buf{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  EXPECT_EQ(std::string(p.begin() + 12, p.begin() + 16), "IHDR");
  EXPECT_EQ(Be32(p, 16), 256u);
  EXPECT_EQ(Be32(p, 20), 192u);

  test::WriteHostFile(tmp / "title.sc2", Screen2Dump());
  auto bmp = tmp / "title.BMP";
  r = Cli({"picture", "--host", (tmp / "title.sc2").string(), "--mode", "SC2", "-o", bmp.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Buf m = test::ReadHostFile(bmp);
  ASSERT_EQ(m.size(), 118u + 256 * 192);
  EXPECT_EQ(m[0], 'B');
  EXPECT_EQ(m[1], 'M');
  EXPECT_EQ(Le32(m, 2), m.size());
  EXPECT_EQ(Le32(m, 18), 256u);
  EXPECT_EQ(Le32(m, 22), 192u);
  EXPECT_EQ(m[28], 8);
  // Rows bottom up: the top line is the last; pattern F0 gives 4 pixels of colour 4, then 15.
  const std::size_t top = 118 + 256 * 191;
  EXPECT_EQ(Buf(m.begin() + top, m.begin() + top + 8), (Buf{4, 4, 4, 4, 15, 15, 15, 15}));
  EXPECT_EQ(Buf(m.begin() + 118, m.begin() + 126), (Buf{4, 4, 4, 4, 15, 15, 15, 15}));
}

// gallery writes every picture of the tree as the picture command draws it, in the disk's
// folders; one it cannot read is named and the rest still written; the sheet holds the others.
TEST_F(ViewerCommands, GalleryWritesEveryPictureOfTheTree) {
  ImageBuilder b;
  std::uint16_t pics = b.AddDirectory(kRoot, "PICS");
  b.AddFile(pics, "TITLE.SC2", Screen2Dump());
  b.AddFile(kRoot, "A.SC2", Screen2Dump());
  b.AddFile(kRoot, "PROG.BAS", kProgram);
  const std::uint16_t bad = b.AddFile(kRoot, "BAD.SC2", Screen2Dump());
  b.SetFat(bad, 0);  // its chain ends in a free cluster
  const std::string disk = (tmp / "pics.dsk").string();
  b.WriteTo(disk);

  const fs::path out = tmp / "gallery", sheet = tmp / "sheet.png";
  auto r = Cli({"gallery", disk, "-o", out.string(), "--sheet", sheet.string(), "--json"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("BAD.SC2: "), std::string::npos) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j["pictures"].size(), 3u);
  std::set<std::string> paths;
  for (const auto& p : j["pictures"]) paths.insert(p["path"].get<std::string>());
  EXPECT_EQ(paths, (std::set<std::string>{"PICS\\TITLE.SC2", "A.SC2", "BAD.SC2"}));

  const fs::path drawn = tmp / "title.png";
  ASSERT_EQ(Cli({"picture", disk, "PICS/TITLE.SC2", "-o", drawn.string()}).exitCode, 0);
  EXPECT_EQ(test::ReadHostFile(out / "PICS" / "TITLE.SC2.png"), test::ReadHostFile(drawn));
  EXPECT_TRUE(fs::exists(out / "A.SC2.png"));
  EXPECT_FALSE(fs::exists(out / "BAD.SC2.png"));
  const Buf p = test::ReadHostFile(sheet);
  ASSERT_GT(p.size(), 24u);
  EXPECT_EQ(Be32(p, 16), 8u + 2 * (256 + 8));  // two pictures side by side
  EXPECT_EQ(Be32(p, 20), 8u + 212 + 4 + 7 + 8);
}

// Every picture mode of the command line, at its own size; --exact changes screen 12 only.
TEST_F(ViewerCommands, PictureCoversEveryMode) {
  Buf body(0xD400);
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = std::uint8_t(i * 37 + (i >> 8));
  const auto dump = tmp / "dump.bin";
  test::WriteHostFile(dump, Bsave(0, 0xD3FF, 0, body));
  struct Case {
    const char* mode;
    std::uint32_t width, height;
  } cases[] = {
      {"sc1", 256, 192}, {"sc2", 256, 192},  {"patterns", 256, 192}, {"sc3", 256, 192},
      {"sc4", 256, 192}, {"sc5", 256, 212},  {"sc6", 512, 212},      {"sc7", 512, 212},
      {"sc8", 256, 212}, {"sc10", 256, 212}, {"sc11", 256, 212},     {"SC12", 256, 212},
  };
  auto run = [&](const char* mode, bool exact) {
    const auto png = tmp / (std::string(mode) + (exact ? "-x.png" : ".png"));
    std::vector<std::string> args = {"picture", "--host", dump.string(), "--mode",
                                     mode,      "-o",     png.string()};
    if (exact) args.push_back("--exact");
    auto r = Cli(args);
    EXPECT_EQ(r.exitCode, 0) << mode << r.err;
    return test::ReadHostFile(png);
  };
  for (const Case& c : cases) {
    const Buf p = run(c.mode, false);
    ASSERT_GT(p.size(), 24u) << c.mode;
    EXPECT_EQ(Be32(p, 16), c.width) << c.mode;
    EXPECT_EQ(Be32(p, 20), c.height) << c.mode;
  }
  EXPECT_NE(run("sc12", true), run("sc12", false));
  EXPECT_EQ(run("sc11", true), run("sc11", false));
}

// Without --mode the extension chooses the mode (.PIC by its size), as a double-click does in the
// desktop program; --mode still decides when given.
TEST_F(ViewerCommands, PictureModeFollowsTheExtensionUnlessGiven) {
  for (const char* name : {"title.sc2", "TITLE.S06", "title.pic"})
    test::WriteHostFile(tmp / name, Screen2Dump());
  int n = 0;
  auto png = [&](std::vector<std::string> args) {
    const auto out = tmp / ("p" + std::to_string(n++) + ".png");
    args.insert(args.begin(), "picture");
    args.insert(args.end(), {"-o", out.string()});
    auto r = Cli(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return fs::exists(out) ? test::ReadHostFile(out) : Buf{};
  };
  const std::string sc2 = (tmp / "title.sc2").string(), s06 = (tmp / "TITLE.S06").string();
  const Buf screen2 = png({"--host", sc2, "--mode", "sc2"});
  const Buf screen6 = png({"--host", sc2, "--mode", "sc6"});
  ASSERT_FALSE(screen2.empty());
  ASSERT_NE(screen2, screen6);
  EXPECT_EQ(png({"--host", sc2}), screen2);
  EXPECT_EQ(png({"--host", s06}), screen6);
  EXPECT_EQ(png({"--host", (tmp / "title.pic").string()}), screen2);
  EXPECT_EQ(png({image, "PICS/TITLE.SC2"}), screen2);
  EXPECT_EQ(png({"--host", s06, "--mode", "sc2"}), screen2);
  // An extension that names no picture needs --mode.
  auto r = Cli({"picture", "--host", host.string(), "-o", (tmp / "x.png").string()});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "The file's extension names no picture mode: give --mode\n");
  EXPECT_FALSE(fs::exists(tmp / "x.png"));
}

TEST_F(ViewerCommands, UsageLinesShowTheFileArgumentsPlainly) {
  for (const char* command : {"basic", "hex", "text", "picture"}) {
    SCOPED_TRACE(command);
    auto r = Cli({command, "--help"});
    EXPECT_EQ(r.exitCode, 0);
    const auto at = r.out.find("Usage: ");
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string usage = r.out.substr(at, r.out.find('\n', at) - at);
    EXPECT_TRUE(usage.ends_with(std::string(command) + " [OPTIONS] [IMAGE_PATH]")) << usage;
  }
}

TEST_F(ViewerCommands, RefusedPicturesAndMissingFilesLeaveNoOutput) {
  auto out = tmp / "x.png";
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string err;
  } cases[] = {
      // A BASIC program has no BSAVE header; an end address not above the start is refused too.
      {{"picture", image, "PROG.BAS", "--mode", "sc2", "-o", out.string()},
       1,
       "Not a picture file OR file corrupt!\n"},
      {{"picture", "--host", (tmp / "flat.sc5").string(), "--mode", "sc5", "-o", out.string()},
       1,
       "Not a picture file OR file corrupt!\n"},
      {{"picture", image, "PICS/NOPE.SC2", "--mode", "sc2", "-o", out.string()},
       1,
       "Not found in the disk image: NOPE.SC2\n"},
      {{"picture", image, "NOPE/TITLE.SC2", "--mode", "sc2", "-o", out.string()},
       1,
       "Not found in the disk image: NOPE\n"},
      {{"hex", image, "NOPE.BIN"}, 1, "Not found in the disk image: NOPE.BIN\n"},
      {{"basic", image, "PICS"}, 1, "Not a file: PICS\n"},
      {{"hex", "--host", tmp.path().string()},
       1,
       "Cannot read " + tmp.path().string() + "\n" + tmp.path().string() + ": is a directory\n"},
  };
  test::WriteHostFile(tmp / "flat.sc5", Bsave(0x8000, 0x8000, 0, {0}));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[2]);
    auto r = Cli(c.args);
    EXPECT_EQ(r.exitCode, c.exit);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_FALSE(fs::exists(out));
  }
  auto r = Cli({"text", "--host", (tmp / "missing.txt").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err, "");
}

TEST_F(ViewerCommands, UsageErrors) {
  auto out = tmp / "u.png";
  const std::vector<std::vector<std::string>> cases = {
      {"basic"},
      {"hex", image},
      {"text", image, "PROG.BAS", "--host", host.string()},
      {"picture", image, "PROG.BAS", "-o", out.string()},  // no --mode, and .BAS names none
      {"picture", image, "PICS/TITLE.SC2", "--mode", "sc9", "-o", out.string()},
      {"picture", image, "PICS/TITLE.SC2", "--mode", "sc2", "-o", (tmp / "u.jpg").string()},
      {"picture", image, "PICS/TITLE.SC2", "--mode", "sc2"},  // no -o
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.size());
    auto r = Cli(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");
  }
  EXPECT_FALSE(fs::exists(out));
  EXPECT_FALSE(fs::exists(tmp / "u.jpg"));
}

}  // namespace
}  // namespace quarnel
