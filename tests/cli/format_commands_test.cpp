// quarnel-cli cas / convert and the xsc / xsd tools as a user runs them: listings of real and
// built tapes, files written from them, conversions checked byte for byte, and failures that
// leave no output file behind.
#include <gtest/gtest.h>

#include <tuple>

#include "support/image_builder.h"
#include "support/real_data.h"
#include "support/test_env.h"
#include "support/xsa_vectors.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::ImageBuilder;
using test::kRoot;
using Buf = std::vector<std::uint8_t>;

std::string Bin(const std::string& tool) { return (test::BinDir() / tool).string(); }
std::string Cli() { return Bin("quarnel-cli"); }
std::string Str(const Buf& b) { return std::string(b.begin(), b.end()); }

// A tape of (marker, name, data) files. Every block starts with the sync header at a multiple
// of 8; a file's header block holds ten marker bytes and a six-character name.
Buf Tape(const std::vector<std::tuple<std::uint8_t, std::string, Buf>>& files) {
  Buf t;
  auto block = [&t] {
    t.resize((t.size() + 7) / 8 * 8, 0);
    t.insert(t.end(), {0x1F, 0xA6, 0xDE, 0xBA, 0xCC, 0x13, 0x7D, 0x74});
  };
  for (auto [marker, name, data] : files) {
    block();
    t.insert(t.end(), 10, marker);
    name.resize(6, ' ');
    t.insert(t.end(), name.begin(), name.end());
    block();
    t.insert(t.end(), data.begin(), data.end());
  }
  return t;
}

// C000-C00F, run C000, 16 bytes; `lead` in front (FE as on disk, nothing as on tape).
Buf BinaryBlock(std::uint32_t seed, Buf lead = {}) {
  for (std::uint8_t v : {0x00, 0xC0, 0x0F, 0xC0, 0x00, 0xC0}) lead.push_back(v);
  for (std::uint8_t v : test::Pattern(16, seed)) lead.push_back(v);
  return lead;
}

class CasCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    // PROG is 10 END as CSAVE writes it (no FF in front); a second GAME comes last.
    tape = tmp / "built.cas";
    test::WriteHostFile(tape, Tape({{0xD0, "GAME", BinaryBlock(1)},
                                    {0xD3, "PROG", {0x07, 0x80, 10, 0, 0x81, 0x00, 0x00, 0x00}},
                                    {0xEA, "NOTES", {'H', 'E', 'L', 'L', 'O', '\r', '\n', 0x1A}},
                                    {0xD0, "GAME", BinaryBlock(2)}}));
  }
  test::TempDir tmp;
  fs::path tape;
};

TEST_F(CasCommands, ListsAndExtractsABuiltTape) {
  auto r = test::Run({Cli(), "cas", "ls", tape.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "GAME\t22 Bytes\tBinary\nPROG\t8 Bytes\tBasic\nNOTES\t7 Bytes\tAscii\nGAME\t22 "
            "Bytes\tBinary\n");

  auto out = tmp / "all";
  r = test::Run({Cli(), "cas", "extract", tape.string(), "-o", out.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // A binary block becomes a BLOAD file, a tokenised program gets its FF back.
  EXPECT_EQ(test::ReadHostFile(out / "GAME"), BinaryBlock(1, {0xFE}));
  EXPECT_EQ(test::ReadHostFile(out / "GAME_3"), BinaryBlock(2, {0xFE}));
  EXPECT_EQ(test::ReadHostFile(out / "PROG"),
            (Buf{0xFF, 0x07, 0x80, 10, 0, 0x81, 0x00, 0x00, 0x00}));
  EXPECT_EQ(Str(test::ReadHostFile(out / "NOTES")), "HELLO\r\n");
  // What comes off the tape is a program the basic command lists.
  r = test::Run({Cli(), "basic", "--host", (out / "PROG").string()});
  EXPECT_EQ(r.out, "   10  END\n");

  auto some = tmp / "some";
  r = test::Run({Cli(), "cas", "extract", tape.string(), "notes", "NOPE", "-o", some.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Not found on the cassette: NOPE\n");
  EXPECT_TRUE(fs::exists(some / "NOTES"));
  EXPECT_FALSE(fs::exists(some / "GAME") || fs::exists(some / "PROG"));
}

TEST_F(CasCommands, MissingTapesAndUsage) {
  auto none = (tmp / "none.cas").string();
  for (const auto& r : {test::Run({Cli(), "cas", "ls", none}),
                        test::Run({Cli(), "cas", "extract", none, "-o", (tmp / "x").string()})}) {
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "No such cassette image: " + none + "\n");
  }
  EXPECT_FALSE(fs::exists(tmp / "x"));
  test::WriteHostFile(tmp / "huge.cas", Buf(1474561, 0));
  auto r = test::Run({Cli(), "cas", "ls", (tmp / "huge.cas").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "File to big to load!\n");
  EXPECT_EQ(test::Run({Cli(), "cas"}).exitCode, 2);
  EXPECT_EQ(test::Run({Cli(), "cas", "ls"}).exitCode, 2);
}

TEST(RealTapes, ListAndExtract) {
  QUARNEL_NEEDS_REAL_DATA("cas");
  const fs::path dir = test::RealDataDir("cas");
  const std::pair<const char*, const char*> listings[] = {
      {"aoineko-fr_MSXgl__projects__samples__emul__cas__s_game.cas",
       "s_game\t13989 Bytes\tBinary\n"},
      {"aoineko-fr_MSXgl__projects__targets__emul__cas__s_target.cas",
       "s_targ\t5632 Bytes\tBinary\n"},
      {"lilca_MsxCassetteTapeSim__cas.cas", "CAS:\t24 Bytes\tBasic\n"},
      {"lilca_MsxCassetteTapeSim__csave.cas", "CAS\t32 Bytes\tBasic\n"},
      {"lilca_MsxCassetteTapeSim__save.cas", "\t21 Bytes\tAscii\n"},
  };
  test::TempDir tmp;
  for (const auto& [file, listing] : listings) {
    SCOPED_TRACE(file);
    auto r = test::Run({Cli(), "cas", "ls", (dir / file).string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, listing);
    r = test::Run({Cli(), "cas", "extract", (dir / file).string(), "-o", (tmp / file).string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
  }
  // s_game: load 8007-B6A5, run 800B; the data block follows its sync header at offset 32.
  const Buf tape = test::ReadHostFile(dir / listings[0].first);
  Buf game = {0xFE};
  game.insert(game.end(), tape.begin() + 32, tape.begin() + 32 + 6 + 0xB6A5 - 0x8007 + 1);
  EXPECT_TRUE(test::ReadHostFile(tmp / listings[0].first / "s_game") == game);
  EXPECT_EQ(Buf(game.begin(), game.begin() + 7), (Buf{0xFE, 0x07, 0x80, 0xA5, 0xB6, 0x0B, 0x80}));
  // "CAS:" is no host name: the colon is replaced. A blank name becomes CASFILE and its index.
  auto r = test::Run({Cli(), "basic", "--host", (tmp / listings[2].first / "CAS_").string()});
  EXPECT_EQ(r.out, "   10  PRINT\"a\"\n");
  r = test::Run({Cli(), "basic", "--host", (tmp / listings[3].first / "CAS").string()});
  EXPECT_EQ(r.out, "   10  A=10\n   20  PRINT A\n");
  EXPECT_EQ(Str(test::ReadHostFile(tmp / listings[4].first / "CASFILE0")),
            "10 A=10\r\n20 PRINT A\r\n");
}

class ConvertCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ImageBuilder b;
    b.AddVolume("ROUND");
    b.AddFile(kRoot, "NOISE.BIN", test::Pattern(50000, 3));
    b.AddFile(kRoot, "ZEROS.BIN", Buf(20000, 0));
    b.AddFile(b.AddDirectory(kRoot, "SUB"), "TEXT.TXT", Buf(3000, 'a'));
    dsk = tmp / "disk.dsk";
    b.WriteTo(dsk);
  }
  test::CommandResult Run(std::vector<std::string> args, const std::string& tool = "quarnel-cli") {
    args.insert(args.begin(), Bin(tool));
    return test::Run(args);
  }
  // Runs a conversion that must succeed.
  void Ok(std::vector<std::string> args, const std::string& tool = "quarnel-cli") {
    auto r = Run(args, tool);
    EXPECT_EQ(r.exitCode, 0) << args.front() << ": " << r.err;
  }
  bool SameAsDisk(const fs::path& p) { return test::ReadHostFile(p) == test::ReadHostFile(dsk); }
  // Runs a conversion that must fail: exit `exit`, `err` on stderr, and no file at `out`.
  void Refused(std::vector<std::string> args, int exit, const std::string& err,
               const std::string& tool = "quarnel-cli") {
    SCOPED_TRACE(args.front() + " " + args.back());
    auto r = Run(args, tool);
    EXPECT_EQ(r.exitCode, exit);
    if (!err.empty()) {
      EXPECT_EQ(r.err, err);
    }
    EXPECT_FALSE(fs::exists(args.back()));
  }
  test::TempDir tmp;
  fs::path dsk;
};

TEST_F(ConvertCommands, DskToXsaAndBackByteForByte) {
  auto t = [&](const char* name) { return (tmp / name).string(); };
  Ok({"convert", dsk.string(), t("disk.xsa")});
  const Buf packed = test::ReadHostFile(t("disk.xsa"));
  EXPECT_EQ(Buf(packed.begin(), packed.begin() + 4), (Buf{'P', 'C', 'K', 0x08}));
  EXPECT_LT(packed.size(), fs::file_size(dsk) / 4);
  Ok({"convert", t("disk.xsa"), t("back.dsk")});
  EXPECT_TRUE(SameAsDisk(t("back.dsk")));
  // The stand-alone tools read what convert writes and the other way round.
  Ok({t("disk.xsa"), t("xsd.dsk")}, "xsd");
  EXPECT_TRUE(SameAsDisk(t("xsd.dsk")));
  Ok({dsk.string(), t("xsc.xsa")}, "xsc");
  Ok({"convert", t("xsc.xsa"), t("conv.dsk")});
  EXPECT_TRUE(SameAsDisk(t("conv.dsk")));
}

TEST_F(ConvertCommands, DdiImgAndMsxToDsk) {
  const Buf disk = test::ReadHostFile(dsk);
  Buf ddi(4608, 0xE5);
  ddi.insert(ddi.end(), disk.begin(), disk.end());
  test::WriteHostFile(tmp / "a.ddi", ddi);
  Buf img = {0x00};
  img.insert(img.end(), disk.begin(), disk.end());
  test::WriteHostFile(tmp / "lead.img", img);
  test::WriteHostFile(tmp / "plain.IMG", Buf(disk.begin(), disk.begin() + 368640));
  Buf msx = test::Pattern(737280, 7);
  test::WriteHostFile(tmp / "a.msx", msx);
  for (std::string in : {"a.ddi", "lead.img", "plain.IMG", "a.msx"})
    Ok({"convert", (tmp / in).string(), (tmp / (in + ".dsk")).string()});
  EXPECT_TRUE(SameAsDisk(tmp / "a.ddi.dsk"));
  EXPECT_TRUE(SameAsDisk(tmp / "lead.img.dsk"));
  EXPECT_TRUE(test::ReadHostFile(tmp / "plain.IMG.dsk") ==
              Buf(disk.begin(), disk.begin() + 368640));
  // .msx holds side 0's tracks, then side 1's; .dsk alternates them track by track.
  const Buf m = test::ReadHostFile(tmp / "a.msx.dsk");
  ASSERT_EQ(m.size(), 737280u);
  EXPECT_TRUE(Buf(m.begin() + 4608, m.begin() + 9216) ==
              Buf(msx.begin() + 368640, msx.begin() + 373248));
  EXPECT_TRUE(Buf(m.begin() + 9216, m.begin() + 13824) ==
              Buf(msx.begin() + 4608, msx.begin() + 9216));
}

TEST_F(ConvertCommands, RefusedInputsLeaveNoOutput) {
  test::WriteHostFile(tmp / "small.img", Buf(737282, 0));
  test::WriteHostFile(tmp / "short.ddi", Buf(4608, 0));
  test::WriteHostFile(tmp / "short.msx", Buf(368640, 0));
  Ok({"convert", dsk.string(), (tmp / "disk.xsa").string()});
  Buf xsa = test::ReadHostFile(tmp / "disk.xsa");
  test::WriteHostFile(tmp / "cut.xsa", Buf(xsa.begin(), xsa.begin() + xsa.size() / 2));
  auto out = [&](const char* n) { return (tmp / n).string(); };
  Refused({"convert", out("small.img"), out("o1.dsk")}, 1,
          "File not right size for .img disk image\n");
  Refused(
      {"convert", out("short.ddi"), out("o2.dsk")}, 1,
      "File too small to be a .ddi disk image (it holds no bytes after the 4608-byte header)\n");
  Refused({"convert", out("short.msx"), out("o3.dsk")}, 1,
          "File not right size for .msx disk image\n");
  Refused({"convert", out("cut.xsa"), out("o4.dsk")}, 1, "XSA file ends before its end marker\n");
  Refused({"convert", out("none.img"), out("o5.dsk")}, 1, "");
  test::WriteHostFile(tmp / "huge.dsk", Buf((std::size_t{16} << 20) + 1, 0));
  Refused({"convert", out("huge.dsk"), out("o10.xsa")}, 1,
          "File too large to compress into an .xsa image (at most 16 MiB)\n");
  Refused({"convert", dsk.string(), out("o6.dsk")}, 2, "");  // .dsk only goes to .xsa
  Refused({"convert", out("cut.xsa"), out("o7.xsa")}, 2, "");
  Refused({"convert", out("notes.txt"), out("o8.dsk")}, 2, "");
  Refused({"convert", out("cut.xsa"), out("o9.img")}, 2, "");  // an .xsa only becomes a .dsk
  EXPECT_EQ(Run({"convert", dsk.string()}).exitCode, 2);
}

TEST_F(ConvertCommands, XscXsdRoundTripsAndFailures) {
  const std::pair<const char*, Buf> inputs[] = {{"disk.dsk", test::ReadHostFile(dsk)},
                                                {"odd.bin", test::Pattern(1001, 9)},
                                                {"empty.bin", {}}};
  for (const auto& [name, bytes] : inputs) {
    SCOPED_TRACE(name);
    test::WriteHostFile(tmp / name, bytes);
    auto xsa = tmp / (std::string(name) + ".xsa"), back = tmp / (std::string(name) + ".out");
    Ok({(tmp / name).string(), xsa.string()}, "xsc");
    Ok({xsa.string(), back.string()}, "xsd");
    EXPECT_TRUE(test::ReadHostFile(back) == bytes);
  }
  Buf xsa = test::ReadHostFile(tmp / "disk.dsk.xsa");
  for (std::size_t keep : {xsa.size() - 1, xsa.size() / 2, std::size_t{10}, std::size_t{3}}) {
    SCOPED_TRACE(keep);
    test::WriteHostFile(tmp / "cut.xsa", Buf(xsa.begin(), xsa.begin() + keep));
    auto r = Run({(tmp / "cut.xsa").string(), (tmp / "cut.dsk").string()}, "xsd");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("xsd: " + (tmp / "cut.xsa").string() + ": ", 0), 0u) << r.err;
    EXPECT_FALSE(fs::exists(tmp / "cut.dsk"));
  }
  // A failed decode leaves an existing target as it was.
  test::WriteHostFile(tmp / "keep.dsk", {1, 2, 3});
  EXPECT_EQ(Run({(tmp / "cut.xsa").string(), (tmp / "keep.dsk").string()}, "xsd").exitCode, 1);
  EXPECT_EQ(test::ReadHostFile(tmp / "keep.dsk"), (Buf{1, 2, 3}));
  Refused({dsk.string(), (tmp / "plain.dsk").string()}, 1, "", "xsd");  // not an XSA file
  Refused({(tmp / "none.dsk").string(), (tmp / "none.xsa").string()}, 1, "", "xsc");
  auto usage = Run({dsk.string()}, "xsc");
  EXPECT_EQ(usage.exitCode, 2);
  EXPECT_EQ(usage.err, "usage: xsc IN.dsk OUT.xsa\n");
  EXPECT_EQ(Run({dsk.string(), "a", "b"}, "xsd").exitCode, 2);
}

TEST(XsaVectors, DecodeToTheirBytes) {
  test::TempDir tmp;
  for (const auto& v : test::XsaVectors()) {
    SCOPED_TRACE(v.name);
    const auto in = tmp / (v.name + ".xsa"), out = tmp / (v.name + ".dsk");
    test::WriteHostFile(in, v.stream);
    auto r = test::Run({Bin("xsd"), in.string(), out.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Buf got = test::ReadHostFile(out);
    EXPECT_EQ(got.size(), v.size);
    EXPECT_EQ(test::Fnv1a(got), v.fnv1a);
  }
}

}  // namespace
}  // namespace quarnel
