// Every real tokenised program we have (loose files, on real disks, on real cassettes) written as
// LIST text and tokenised again gives its own bytes back; the real text an MSX saved tokenises
// to the program it was saved from; the authors' sources tokenise to the programs MSX-BASIC
// saved from them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/volume.h"
#include "core/workspace.h"
#include "formats/cassette.h"
#include "support/real_data.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"
#include "viewers/basic_export.h"
#include "viewers/basic_tokenizer.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Buf = std::vector<std::uint8_t>;

struct Program {
  std::string name;
  Buf bytes;
};

// The program up to its zero end link: what follows (padding of a tape block) is no part of it.
Buf UpToEndLink(const Buf& p) {
  std::size_t at = 1;
  while (at + 1 < p.size()) {
    const unsigned link = p[at] | (p[at + 1] << 8);
    if (link == 0) return Buf(p.begin(), p.begin() + static_cast<long>(at + 2));
    if (link - 0x8000u <= at) break;
    at = link - 0x8000u;
  }
  return p;
}

// The .BAS files of the real disks: tokenised ones (first byte 0xFF) or, with `text`, the ones
// saved as text.
std::vector<Program> DiskPrograms(bool text) {
  std::vector<Program> out;
  for (const auto& e : fs::directory_iterator(test::RealDataDir("dsk"))) {
    test::ScriptedUi ui;
    Workspace ws;
    ws.LoadImageBytes(test::ReadHostFile(e.path()), e.path().string());
    for (const FileEntry& entry : ws.Entries()) {
      const std::string caption = entry.Caption();
      if (entry.IsDirectory() || entry.IsVolume() || !caption.ends_with(".BAS")) continue;
      FileRead r = ReadFile(ws.image, entry);
      if (!r.ok() || r.bytes.empty() || (r.bytes[0] == 0xFF) == text) continue;
      out.push_back({e.path().filename().string() + ":" + caption, std::move(r.bytes)});
    }
  }
  return out;
}

std::vector<Program> RealPrograms() {
  std::vector<Program> out = DiskPrograms(false);
  for (const auto& e : fs::directory_iterator(test::RealDataDir("bas"))) {
    Buf b = test::ReadHostFile(e.path());
    if (!b.empty() && b[0] == 0xFF) out.push_back({e.path().filename().string(), std::move(b)});
  }
  for (const auto& e : fs::directory_iterator(test::RealDataDir("cas"))) {
    const Buf tape = test::ReadHostFile(e.path());
    for (const CasEntry& c : ScanCassette(tape)) {
      if (c.type != "Basic") continue;
      // A tape block is padded: the program ends at its zero link.
      out.push_back(
          {e.path().filename().string() + ":" + c.name, UpToEndLink(CasEntryBytes(tape, c))});
    }
  }
  return out;
}

TEST(RealBasicPrograms, EveryOneThroughListTextAndBack) {
  QUARNEL_NEEDS_REAL_DATA("bas");
  const std::vector<Program> programs = RealPrograms();
  // 21 loose files, 10 programs on examples.dsk, 2 cassette programs.
  EXPECT_GE(programs.size(), 33u);
  for (const Program& p : programs) {
    const auto text = viewers::ExportBasicText(p.bytes);
    ASSERT_TRUE(text) << p.name;
    const viewers::TokenizedBasic t = viewers::TokenizeBasic(std::string_view(*text));
    ASSERT_TRUE(t.ok()) << p.name << ": line " << t.error->line << " column " << t.error->column
                        << " " << t.error->message;
    EXPECT_EQ(t.program, p.bytes) << p.name;
  }
}

// Programs saved as text on real disks: they tokenise, and LIST text of the result reads back to
// the same program.
TEST(RealBasicPrograms, TextOnesOnDisksTokenise) {
  QUARNEL_NEEDS_REAL_DATA("dsk");
  const std::vector<Program> programs = DiskPrograms(true);
  EXPECT_GE(programs.size(), 13u);
  for (const Program& p : programs) {
    const viewers::TokenizedBasic t = viewers::TokenizeBasic(Bytes(p.bytes));
    ASSERT_TRUE(t.ok()) << p.name << ": line " << t.error->line << " column " << t.error->column;
    const auto text = viewers::ExportBasicText(t.program);
    EXPECT_EQ(viewers::TokenizeBasic(std::string_view(*text)).program, t.program) << p.name;
  }
}

TEST(RealBasicPrograms, TextAnMsxSavedAndTheProgramItCameFrom) {
  QUARNEL_NEEDS_REAL_DATA("bas");
  const fs::path dir = test::RealDataDir("bas");
  const Buf code = test::ReadHostFile(dir / "mr-GreyWolf_MSX-BASIC-Intermediate-code__code.bas");
  const Buf text = test::ReadHostFile(dir / "mr-GreyWolf_MSX-BASIC-Intermediate-code__code_a.bas");
  const viewers::TokenizedBasic t = viewers::TokenizeBasic(Bytes(text));
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.program, code);
  EXPECT_EQ(viewers::ExportBasicText(code), std::string(text.begin(), text.end()));
}

// The plattysoft sources (LF line ends, blank lines, repeated line numbers) against the programs
// MSX-BASIC saved from them. COLISION and SSHOOTER were edited after saving (a statement taken
// out, numbers changed) and are left out.
TEST(RealBasicPrograms, AuthorsSourcesTokeniseToTheSavedPrograms) {
  QUARNEL_NEEDS_REAL_DATA("bas");
  const std::string prefix = "plattysoft_Modern-MSX-BASIC-Game-Dev__examples__";
  const char* names[] = {"animtile", "ddungeon", "font",  "play",
                         "s_sprite", "scroll_t", "sound", "tdungeon"};
  for (const std::string name : names) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const Buf src =
        test::ReadHostFile(test::RealDataDir("bas") / (prefix + "src__" + name + ".bas"));
    const Buf saved = test::ReadHostFile(test::RealDataDir("bas") /
                                         (prefix + "output__examples.dsk__" + upper + ".BAS"));
    const viewers::TokenizedBasic t = viewers::TokenizeBasic(Bytes(src));
    ASSERT_TRUE(t.ok()) << name;
    EXPECT_EQ(t.program, saved) << name;
  }
}

}  // namespace
}  // namespace quarnel
