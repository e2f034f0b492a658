// Recorded changes are taken back and made again byte for byte, on a floppy held in memory and
// on a partition written in place, for each kind of change the programs make.
#include "core/change_record.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/add_file.h"
#include "core/clock.h"
#include "core/delete_entry.h"
#include "core/disk_repair.h"
#include "core/folder_history.h"
#include "core/new_hard_disk.h"
#include "core/partition_store.h"
#include "core/rename.h"
#include "core/save_in_place.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

const LocalDateTime kWhen{2024, 5, 6, 7, 8, 10};

std::vector<std::uint8_t> AllBytes(const DiskImage& image) {
  std::vector<std::uint8_t> out;
  for (std::uint64_t at = 0; at < image.Size(); at += 65536) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(65536, image.Size() - at));
    const auto part = image.Read(at, n);
    if (!part) return {};
    out.insert(out.end(), part->begin(), part->end());
  }
  return out;
}

// The slot of the entry listed as `name` ("GAMES", "HELLO.BAS"); -1 when none is.
int SlotOf(const Workspace& ws, const std::string& name) {
  for (const auto& e : ws.Entries()) {
    std::string caption = e.Caption();
    while (!caption.empty() && (caption.back() == ' ' || caption.back() == '.')) caption.pop_back();
    if (caption == name) return e.slot;
  }
  return -1;
}

// HELLO.BAS in the root and the folder GAMES with RUN.BIN in it.
void Populate(Workspace& ws) {
  NewFile hello{"HELLO.BAS", test::Pattern(3000, 7), 0x20, kWhen};
  ASSERT_EQ(AddFileData(ws.image, kRootDir, hello), AddStatus::Added);
  ASSERT_EQ(MakeDirectory(ws.image, kRootDir, "GAMES", kWhen), AddStatus::Added);
  ws.Refresh();
  const auto games = ws.EntryAt(SlotOf(ws, "GAMES"));
  ASSERT_TRUE(games);
  NewFile run{"RUN.BIN", test::Pattern(9000, 3), 0x20, kWhen};
  ASSERT_EQ(AddFileData(ws.image, DirRef{games->firstCluster}, run), AddStatus::Added);
  ws.Refresh();
}

struct ChangeCase {
  const char* what;
  std::function<void(Workspace&)> damage;  // made before the change is recorded
  std::function<bool(Workspace&)> change;
};

std::vector<ChangeCase> Cases() {
  const FixedClock clock(kWhen);
  return {
      {"add", nullptr,
       [](Workspace& ws) {
         NewFile f{"NEW.BIN", test::Pattern(5000, 9), 0x20, kWhen};
         return AddFileData(ws.image, ws.CurrentDir(), f) == AddStatus::Added;
       }},
      {"delete", nullptr,
       [](Workspace& ws) {
         const auto out = DeleteSelected(ws, {SlotOf(ws, "HELLO.BAS")});
         return out.size() == 1 && out.front() == DeleteStatus::Deleted;
       }},
      {"rename", nullptr,
       [](Workspace& ws) {
         const auto e = ws.EntryAt(SlotOf(ws, "HELLO.BAS"));
         return e && RenameEntry(ws.image, ws.listing, *e, "BYE.BAS") == RenameStatus::Renamed;
       }},
      {"new folder", nullptr,
       [](Workspace& ws) {
         return MakeDirectory(ws.image, kRootDir, "TOOLS", kWhen) == AddStatus::Added;
       }},
      {"volume name", nullptr,
       [clock](Workspace& ws) {
         return SetVolumeName(ws.image, "MYDISK", clock) == VolumeStatus::Created;
       }},
      {"OEM name", nullptr, [](Workspace& ws) { return SetOemSignature(ws.image, "QUARNEL1"); }},
      {"repair",
       [](Workspace& ws) {
         const auto e = ws.EntryAt(SlotOf(ws, "HELLO.BAS"));
         ASSERT_TRUE(e);
         // A lost chain: the entry's slot is marked deleted, its clusters stay taken.
         const std::uint8_t gone = 0xE5;
         ASSERT_TRUE(ws.image.Write(e->offset, Bytes(&gone, 1)));
       },
       [](Workspace& ws) {
         const RepairPlan plan = PlanRepair(ws.image, {false, kWhen});
         return plan.changed && TakeChangedBytes(ws.image, plan.repaired);
       }},
      {"sector edit", nullptr,
       [](Workspace& ws) {
         const std::vector<std::uint8_t> bytes(700, 0x5A);
         return ws.image.Write(ws.image.geometry.dataOffset + 100, Bytes(bytes));
       }},
  };
}

// Undo gives the bytes before the change exactly, redo those after it, and the listing follows.
void CheckUndoRedo(Workspace& ws, const ChangeCase& c) {
  if (c.damage) c.damage(ws);
  ws.Refresh();
  const std::vector<std::uint8_t> before = AllBytes(ws.image);
  ChangeRecorder recorder(ws.image);
  ASSERT_TRUE(c.change(ws));
  const ChangeRecord record = recorder.Finish();
  const std::vector<std::uint8_t> after = AllBytes(ws.image);
  ASSERT_NE(before, after);
  ASSERT_FALSE(record.Empty());
  // Only what the change touched is kept, never a copy of the volume.
  EXPECT_LT(record.HeldBytes(), 64u * 1024);

  ASSERT_TRUE(record.Undo(ws.image));
  EXPECT_TRUE(AllBytes(ws.image) == before);
  ASSERT_TRUE(record.Redo(ws.image));
  EXPECT_TRUE(AllBytes(ws.image) == after);
  ASSERT_TRUE(record.Undo(ws.image));
  EXPECT_TRUE(AllBytes(ws.image) == before);
}

TEST(ChangeRecord, FloppyUndoAndRedoGiveTheBytesExactly) {
  for (const ChangeCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    test::ImageBuilder b;
    Workspace ws;
    ws.LoadImageBytes(b.Bytes(), "a.dsk");
    ASSERT_TRUE(ws.HasImage());
    Populate(ws);
    CheckUndoRedo(ws, c);
  }
}

// On a partition the bytes put back are staged like any change and reach the file when it is
// saved: after an undo and a save the file is what it was.
TEST(ChangeRecord, PartitionUndoIsStagedAndSavedInPlace) {
  test::TempDir tmp;
  const auto img = tmp / "card.img";
  const HardDiskPlan plan = PlanHardDisk(9ull << 20, {8ull << 20}, FatChoice::BySize);
  ASSERT_TRUE(plan.layout) << plan.message;
  ASSERT_EQ(WriteHardDisk(*plan.layout, img, 1).status, NewImageStatus::Written);
  for (const ChangeCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    Workspace ws;
    {
      PartitionOpening opened = OpenPartitionStore(img.string(), 1, true);
      ASSERT_TRUE(opened.store) << opened.message;
      ws.LoadVolume(std::move(opened.store), img.string());
    }
    ASSERT_TRUE(ws.HasImage());
    if (SlotOf(ws, "GAMES") < 0) Populate(ws);
    if (c.damage) c.damage(ws);
    ASSERT_TRUE(CommitInPlace(ws.image));
    const std::vector<std::uint8_t> file = test::ReadHostFile(img);
    CheckUndoRedo(ws, {c.what, nullptr, c.change});
    ASSERT_TRUE(CommitInPlace(ws.image));
    EXPECT_TRUE(test::ReadHostFile(img) == file);
  }
}

// After an undo takes away the folder shown, the listing goes back to the folder above it.
TEST(ChangeRecord, ShownFolderGoneGivesWayToItsParent) {
  test::ImageBuilder b;
  Workspace ws;
  ws.LoadImageBytes(b.Bytes(), "a.dsk");
  ChangeRecorder recorder(ws.image);
  ASSERT_EQ(MakeDirectory(ws.image, kRootDir, "GAMES", kWhen), AddStatus::Added);
  const ChangeRecord record = recorder.Finish();
  ws.Refresh();
  const auto games = ws.EntryAt(SlotOf(ws, "GAMES"));
  ASSERT_TRUE(games);
  ASSERT_EQ(ws.Enter(*games, "GAMES"), EnterOutcome::Entered);
  ASSERT_TRUE(record.Undo(ws.image));
  KeepShownFolders(ws);
  EXPECT_TRUE(ws.AtRoot());
  EXPECT_EQ(SlotOf(ws, "GAMES"), -1);
  ASSERT_TRUE(record.Redo(ws.image));
  ASSERT_EQ(ws.Enter(*games, "GAMES"), EnterOutcome::Entered);
  KeepShownFolders(ws);  // still listed by the root: stays
  EXPECT_EQ(ws.Depth(), 1);
}

}  // namespace
}  // namespace quarnel
