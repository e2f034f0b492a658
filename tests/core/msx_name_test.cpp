// The one name rule: the fold that decides when two stored names are the same, what is wrong with
// stored name bytes and how they are mended, and check and repair agreeing on duplicates.
#include "core/msx_name.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/change_guard.h"
#include "core/disk_check.h"
#include "core/disk_repair.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

using test::ImageBuilder;
using test::kRoot;

MsxName11 Raw(std::string_view eleven) {
  MsxName11 n;
  n.fill(' ');
  for (std::size_t k = 0; k < n.size() && k < eleven.size(); ++k)
    n[k] = static_cast<std::uint8_t>(eleven[k]);
  return n;
}

TEST(MsxNameFold, DecidesWhichStoredNamesAreTheSame) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"ABC     TXT", "abc     txt", true},
      {"\x05"
       "AB     TXT",
       "\xE5"
       "AB     TXT",
       true},  // a stored 0x05 is the 0xE5 it stands for
      {"A\x05"
       "B     TXT",
       "A\xE5"
       "B     TXT",
       false},  // only at the start
      {"\xB1"
       "A      BIN",
       "\xB1"
       "a      BIN",
       true},
      {"\xB1       BIN", "\xD1       BIN", false},  // bytes above 0x7F keep their case
      {"ABC     TXT", "ABC     TX ", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(SameMsxName(Raw(c.a).data(), Raw(c.b).data()), c.same);
  }
  // Typed names and captions fold the same way as stored bytes.
  EXPECT_EQ(FoldedNameText("\x05zork.bas"), "\xE5ZORK.BAS");
  EXPECT_EQ(FoldedNameText("a\x05"), "A\x05");
}

TEST(StoredNames, FaultsAreFoundAndMendedByOneRule) {
  const struct {
    const char* raw;
    bool control, lower, forbidden, blank;
    const char* mended;
  } cases[] = {
      {"GOOD    TXT", false, false, false, false, "GOOD    TXT"},
      {"good    txt", false, true, false, false, "GOOD    TXT"},
      {"A B     TXT", false, false, false, true, "A_B     TXT"},
      {" AB     TXT", false, false, false, true, "_AB     TXT"},
      {"A\x01"
       "B     TXT",
       true, false, false, false, "A_B     TXT"},
      {"A*B     T?T", false, false, true, false, "A_B     T_T"},
      {"\x05"
       "AB     TXT",
       false, false, false, false,
       "\x05"
       "AB     TXT"},
      {"\xB1\xB2      BIN", false, false, false, false, "\xB1\xB2      BIN"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    const StoredNameFaults f = StoredNameFaultsOf(Raw(c.raw));
    EXPECT_EQ(f.control, c.control);
    EXPECT_EQ(f.lower, c.lower);
    EXPECT_EQ(f.forbidden, c.forbidden);
    EXPECT_EQ(f.blank, c.blank);
    EXPECT_EQ(MendedStoredName(Raw(c.raw)), Raw(c.mended));
    EXPECT_FALSE(StoredNameFaultsOf(MendedStoredName(Raw(c.raw))).Any());
  }
}

TEST(UniqueMsxName, TakesTheFirstFreeTail) {
  const std::set<MsxName11> taken = {MakeMsxName("A.TXT"), MakeMsxName("A~1.TXT"),
                                     MakeMsxName("ABCDEFGH"), MakeMsxName("ABCDEF~1")};
  auto isTaken = [&](const MsxName11& n) { return taken.count(n) > 0; };
  EXPECT_EQ(UniqueMsxName("B.TXT", isTaken), "B.TXT");
  EXPECT_EQ(UniqueMsxName("a.txt", isTaken), "a~2.txt");  // the case of the name is kept
  EXPECT_EQ(UniqueMsxName("ABCDEFGH", isTaken), "ABCDEF~2");
}

DiskImage Load(const std::vector<std::uint8_t>& bytes) {
  test::ScriptedUi ui;
  Workspace ws;
  ws.LoadImageBytes(bytes, "disk.dsk");
  return ws.image;
}

std::size_t Count(const std::vector<DiskFinding>& findings, FindingKind kind) {
  std::size_t n = 0;
  for (const auto& f : findings) n += f.kind == kind;
  return n;
}

// Names stored as they stand, one empty file each, in the root or in a subdirectory: what the
// check calls duplicates is what repair renames, and afterwards no two names of a directory fold
// alike.
TEST(CheckAndRepair, AgreeOnWhatADuplicateIs) {
  const struct {
    const char* what;
    std::vector<const char*> names;
    std::size_t duplicates;
  } cases[] = {
      {"letter case", {"abc     txt", "ABC     TXT", "Abc     Txt"}, 2},
      {"0x05 start", {"\x05zork   bas", "\x05ZORK   BAS"}, 1},
      {"kana", {"\xB1\xB2      BIN", "\xB1\xB2      BIN", "\xB1\xB3      BIN"}, 1},
      {"tail already taken", {"ab      txt", "AB      TXT", "AB~1    TXT"}, 1},
      {"long first part", {"abcdefghTXT", "ABCDEFGHTXT", "ABCDEF~1TXT"}, 1},
      {"no duplicates", {"ONE     TXT", "TWO     TXT"}, 0},
  };
  for (bool inSub : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (inSub ? " (subdirectory)" : " (root)"));
      ImageBuilder b;
      const std::uint16_t dir = inSub ? b.AddDirectory(kRoot, "SUB") : kRoot;
      for (const char* n : c.names) {
        std::array<std::uint8_t, 32> raw{};
        const MsxName11 name = Raw(n);
        std::copy(name.begin(), name.end(), raw.begin());
        raw[11] = kAttrArchive;
        b.PutRawEntry(dir, b.AddEntry(dir, {"X"}), raw);
      }
      const DiskImage img = Load(b.Bytes());
      const DiskCheck check = CheckDisk(img);
      EXPECT_EQ(Count(check.findings, FindingKind::DuplicateName), c.duplicates);

      const RepairPlan plan = PlanRepair(img);
      EXPECT_EQ(Count(plan.left, FindingKind::DuplicateName), 0u);
      EXPECT_EQ(Count(plan.left, FindingKind::BadName), 0u);
      std::size_t renamedDuplicates = 0;
      for (const auto& a : plan.actions)
        if (a.finding.kind == FindingKind::DuplicateName && a.done) ++renamedDuplicates;
      EXPECT_EQ(renamedDuplicates, c.duplicates);
      std::set<MsxName11> folded;
      for (const auto& e : MapTreeClusters(plan.repaired).entries)
        if (!(e.attribute & kAttrDirectory)) {
          EXPECT_TRUE(folded.insert(FoldedMsxName(e.name.data())).second) << StoredNameText(e.name);
        }
      EXPECT_EQ(folded.size(), c.names.size());
    }
  }
}

}  // namespace
}  // namespace quarnel
