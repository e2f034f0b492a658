// A long random sequence of adds, deletes and renames (fixed seed). After every step the image
// reads back as expected and the FAT accounts for every cluster; every few steps fsck.fat, mdir
// and mcopy check it independently.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "change_witness.h"
#include "core/add_file.h"
#include "core/delete_entry.h"
#include "core/disk_check.h"
#include "core/fat.h"
#include "core/rename.h"
#include "core/volume.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

// The name mdir prints for a host name: the 8.3 fields without their blanks.
std::string ListedName(std::string_view host) {
  auto n = MakeMsxName(host);
  std::string name(n.begin(), n.begin() + 8), ext(n.begin() + 8, n.end());
  while (!name.empty() && name.back() == ' ') name.pop_back();
  while (!ext.empty() && ext.back() == ' ') ext.pop_back();
  return ext.empty() ? name : name + "." + ext;
}

class ChangeSequence : public ::testing::TestWithParam<int> {
 protected:
  void CheckInternally() {
    ws.Refresh();
    const auto entries = ws.Entries();
    ASSERT_EQ(entries.size(), expected.size());
    std::size_t clusters = 0;
    for (const auto& entry : entries) {
      const std::string key = Key(entry);
      auto it = expected.find(key);
      ASSERT_NE(it, expected.end()) << key;
      ASSERT_EQ(entry.size, static_cast<std::int32_t>(it->second.size())) << key;
      clusters += (it->second.size() + 1023) / 1024;
      if (entry.size > 0) {
        FileRead r = ReadFile(ws.image, entry);
        ASSERT_TRUE(r.ok() && r.bytes == it->second) << key;
      }
    }
    const auto& g = ws.image.geometry;
    ASSERT_EQ(FreeClusterCount(ws.image) + clusters, static_cast<std::size_t>(g.dataClusters));
    ASSERT_EQ(std::memcmp(ws.image.Memory().data() + g.fatOffset,
                          ws.image.Memory().data() + g.fatOffset + g.FatBytes(), g.FatBytes()),
              0);
    ASSERT_TRUE(said.empty() || said == "Disk full" || said == "Directory full") << said;
    said.clear();
    const DiskCheck check = CheckDisk(ws.image);
    ASSERT_TRUE(check.Clean()) << check.findings.front().message;
  }
  // The name of an entry as mdir prints it: its caption without blanks or a lone dot.
  static std::string Key(const FileEntry& e) {
    std::string key = e.Caption();
    while (!key.empty() && key.back() == ' ') key.pop_back();
    if (!key.empty() && key.back() == '.') key.pop_back();
    return key;
  }
  void CheckWithWitnesses() {
    test::WriteHostFile(tmp / "seq.dsk", ws.image.Memory());
    test::ExpectWitnessesAgree(tmp / "seq.dsk", expected, /*useMtype=*/false);
  }

  Workspace ws;
  test::ScriptedUi ui;
  test::TempDir tmp;
  std::map<std::string, std::vector<std::uint8_t>> expected;
  std::string said;  // the message of the last step
};

TEST_P(ChangeSequence, AddsDeletesAndRenamesStayConsistent) {
  const bool witnesses = test::HaveWitnesses();
  std::mt19937 rng(static_cast<std::uint32_t>(GetParam()));
  test::ImageBuilder b(test::GeometryLayout::Msx360Single());
  ws.LoadImageBytes(b.Bytes(), "seq.dsk");
  ASSERT_TRUE(ws.HasImage());
  // Names of every shape: three-letter, shorter and missing extensions, lower case.
  std::vector<std::string> pool;
  for (int i = 0; i < 40; ++i) {
    const char* shapes[] = {"F%d.BIN", "name%d", "G%d.TX", "Long%dnm.dat", "p%d.b"};
    char buf[32];
    std::snprintf(buf, sizeof buf, shapes[i % 5], i);
    pool.push_back(buf);
  }
  const int steps = 300;
  for (int step = 0; step < steps; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const int op = static_cast<int>(rng() % 10);
    if (op < 5 || expected.empty()) {
      NewFile f;
      f.name = pool[rng() % pool.size()];
      std::size_t size = rng() % 4 == 0 ? rng() % 3 : rng() % 40000;  // some empty and tiny files
      if (rng() % 20 == 0) size = 150000 + rng() % 100000;            // some that rarely fit
      f.bytes = test::Pattern(size, static_cast<std::uint32_t>(step));
      auto before = ws.image.Memory();
      const AddOutcome s = AddFileData(ws.image, ws.CurrentDir(), f);
      said = s.message;
      if (s == AddStatus::Added) {
        expected[ListedName(f.name)] = f.bytes;
      } else {
        ASSERT_TRUE(s == AddStatus::DiskFull || s == AddStatus::DirectoryFull);
        ASSERT_TRUE(ws.image.Memory() == before);  // a refused add changes nothing
      }
    } else if (op < 8) {
      ws.Refresh();
      const auto entries = ws.Entries();
      const FileEntry entry = entries[rng() % entries.size()];
      const auto outcomes = DeleteSelected(ws, {entry.slot});
      ASSERT_EQ(outcomes.size(), 1u);
      ASSERT_EQ(outcomes[0], DeleteStatus::Deleted);
      said = outcomes[0].message;
      expected.erase(Key(entry));
    } else {
      ws.Refresh();
      const auto entries = ws.Entries();
      const FileEntry entry = entries[rng() % entries.size()];
      const std::string to = pool[rng() % pool.size()];
      const std::string key = Key(entry);
      const RenameOutcome s = RenameEntry(ws.image, ws.listing, entry, to);
      said = s.message;
      if (expected.count(ListedName(to)) && ListedName(to) != key) {
        ASSERT_EQ(s, RenameStatus::Duplicate);
      } else {
        ASSERT_EQ(s, RenameStatus::Renamed);
        auto bytes = expected[key];
        expected.erase(key);
        expected[ListedName(to)] = bytes;
      }
    }
    ASSERT_NO_FATAL_FAILURE(CheckInternally());
    if (witnesses && (step % 30 == 29 || step == steps - 1)) {
      CheckWithWitnesses();
      if (HasFailure()) return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ChangeSequence, ::testing::Values(20240229, 7));

}  // namespace
}  // namespace quarnel
