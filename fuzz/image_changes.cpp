// Changes on hostile images: small disks patched by the input (see small_disk.h), a file is added,
// a directory is made in the root, files (enough to grow it) and a directory are added into each
// subdirectory of the root, and each is deleted with everything below it; then every entry is read
// out, renamed and deleted (in the root and one level of subdirectories), a file and a volume name
// are added. Nothing may crash, hang or write outside the image, and no change may write over live
// data: around every change the files the directory tree reaches are read, and afterwards each file
// the change did not remove must read the same bytes and no cluster it or a directory used may be
// free.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "core/add_file.h"
#include "core/change_guard.h"
#include "core/delete_entry.h"
#include "core/dir_entry.h"
#include "core/directory.h"
#include "core/extract.h"
#include "core/fat.h"
#include "core/new_image.h"
#include "core/rename.h"
#include "core/workspace.h"
#include "small_disk.h"

namespace {

// The change being checked, for the report of a violation.
const char* step = "";

[[noreturn]] void Violation(const char* what, std::size_t where) {
  std::fprintf(stderr, "live data changed by %s: %s (%zu)\n", step, what, where);
  __builtin_trap();
}

// The bytes of a file as its entry at `offset` now gives them.
quarnel::ChainBytes FileBytesAt(const quarnel::DiskImage& img, std::size_t offset) {
  auto e = quarnel::DirEntryAt(img.View(), offset);
  if (!e) Violation("entry outside the image", offset);
  return quarnel::ReadChainBytes(img, e->firstCluster.Get(), e->size.Get());
}

// What the tree reached before a change.
struct Snapshot {
  quarnel::TreeClusters tree;
  std::map<std::size_t, quarnel::ChainBytes> files;  // by entry offset
  std::vector<bool> used;                            // FAT entry not free
};

Snapshot Take(const quarnel::DiskImage& img) {
  Snapshot s;
  s.tree = quarnel::MapTreeClusters(img);
  for (const auto& e : s.tree.entries)
    if (!(e.attribute & quarnel::kAttrDirectory))
      s.files.emplace(e.offset, FileBytesAt(img, e.offset));
  for (std::uint32_t c = 0; c < s.tree.owners.size(); ++c)
    s.used.push_back(quarnel::ReadFatEntry(img, c) != quarnel::kFatFree);
  return s;
}

// Every file of `before` but the entries at `gone` reads as it did; no cluster that such an entry
// or a directory reached, and that was in use, is free now.
void ExpectKept(const Snapshot& before, const quarnel::DiskImage& img,
                const std::set<std::size_t>& gone = {}) {
  for (const auto& [off, bytes] : before.files) {
    if (gone.count(off)) continue;
    if (quarnel::IsFreeSlot(img.Memory()[off])) Violation("entry removed", off);
    const auto now = FileBytesAt(img, off);
    if (now.bytes != bytes.bytes || now.complete != bytes.complete) Violation("file bytes", off);
  }
  for (std::uint32_t c = 2; c < before.tree.owners.size(); ++c) {
    const auto& owners = before.tree.owners[c];
    const bool kept = std::any_of(owners.begin(), owners.end(), [&](std::size_t i) {
      return !gone.count(before.tree.entries[i].offset);
    });
    if (kept && before.used[c] && quarnel::ReadFatEntry(img, c) == quarnel::kFatFree)
      Violation("cluster freed", c);
  }
}

void ChangeEveryEntry(quarnel::Workspace& ws, int depth) {
  for (const quarnel::FileEntry& e : ws.Entries()) {
    (void)quarnel::ReadChainBytes(ws.image, e.firstCluster,
                                  static_cast<std::uint32_t>(std::max(0, e.size)));
    if (depth == 0 && e.IsDirectory() && !e.IsDot()) {
      if (ws.Enter(e, e.Caption()) == quarnel::EnterOutcome::Entered && ws.Depth() > 0) {
        ChangeEveryEntry(ws, depth + 1);
        ws.Leave();
      }
      ws.Refresh();
    }
  }
  const std::vector<quarnel::FileEntry> entries = ws.Entries();
  for (std::size_t i = 0; i < entries.size() && i < 8; ++i) {
    const Snapshot before = Take(ws.image);
    step = "rename";
    quarnel::RenameEntry(ws.image, ws.listing, entries[i],
                         "R" + std::to_string(entries[i].slot) + ".X");
    ExpectKept(before, ws.image);
  }
  // As DeleteSelected does, but checked after each entry.
  ws.Refresh();
  for (const quarnel::FileEntry& e : ws.Entries()) {
    const Snapshot before = Take(ws.image);
    step = "delete";
    quarnel::DeleteEntry(ws.image, ws.listing, e);
    ExpectKept(before, ws.image, {e.offset});
  }
  ws.Refresh();
}

// Offsets of the entries of `dir` an add of `name` replaces.
std::set<std::size_t> Replaced(const quarnel::DiskImage& img, quarnel::DirRef dir,
                               const std::string& name) {
  const auto n = quarnel::MakeMsxName(name);
  std::set<std::size_t> out;
  const auto contents = quarnel::ListDirectory(img, dir);
  if (!contents) return out;
  for (const auto& slot : contents->table) {
    const std::uint8_t* e = img.Memory().data() + slot.offset;
    if (!quarnel::IsFreeSlot(e[0]) && !quarnel::IsLongNameAttribute(e[11]) &&
        !(e[11] & quarnel::kAttrVolume) && quarnel::SameMsxName(e, n.data()))
      out.insert(slot.offset);
  }
  return out;
}

void AddInto(quarnel::Workspace& ws, quarnel::DirRef dir, const std::string& name,
             std::size_t size) {
  quarnel::NewFile f;
  f.name = name;
  f.bytes.assign(size, 0x5A);
  const Snapshot before = Take(ws.image);
  const auto replaced = Replaced(ws.image, dir, f.name);
  step = dir.IsRoot() ? "add" : "add into a subdirectory";
  quarnel::AddFileData(ws.image, dir, f);
  ExpectKept(before, ws.image, replaced);
}

void Add(quarnel::Workspace& ws) { AddInto(ws, quarnel::kRootDir, "ADDED.BIN", 3000); }

void MakeDirectory(quarnel::Workspace& ws, quarnel::DirRef dir) {
  const Snapshot before = Take(ws.image);
  step = "mkdir";
  quarnel::MakeDirectory(ws.image, dir, "NEWDIR", {2000, 1, 1, 0, 0, 0});
  ExpectKept(before, ws.image);
}

// The offsets of the entry at `offset` and of every entry below it, as the map found them.
std::set<std::size_t> Subtree(const quarnel::TreeClusters& tree, std::size_t offset) {
  std::set<std::size_t> indices;
  for (std::size_t i = 0; i < tree.entries.size(); ++i)
    if (tree.entries[i].offset == offset) indices.insert(i);
  for (bool grew = true; grew;) {
    grew = false;
    for (std::size_t i = 0; i < tree.entries.size(); ++i)
      if (!indices.count(i) && indices.count(tree.entries[i].parent))
        grew = indices.insert(i).second;
  }
  std::set<std::size_t> out{offset};
  for (auto i : indices) out.insert(tree.entries[i].offset);
  return out;
}

// Into each subdirectory of the root: files until it grows, and a directory; then each goes
// with everything below it.
void ChangeFolders(quarnel::Workspace& ws) {
  MakeDirectory(ws, quarnel::kRootDir);
  ws.Refresh();
  int dirs = 0;
  for (const quarnel::FileEntry& e : ws.Entries()) {
    if (!e.IsDirectory() || e.IsDot() || ++dirs > 4) continue;
    const quarnel::DirRef dir{e.firstCluster};
    for (int i = 0; i < 18; ++i) AddInto(ws, dir, "S" + std::to_string(i % 17) + ".BIN", 700);
    MakeDirectory(ws, dir);
  }
  ws.Refresh();
  for (const quarnel::FileEntry& e : ws.Entries()) {
    if (!e.IsDirectory() || e.IsDot()) continue;
    const Snapshot before = Take(ws.image);
    step = "recursive delete";
    quarnel::DeleteTree(ws.image, ws.listing, e);
    ExpectKept(before, ws.image, Subtree(before.tree, e.offset));
  }
  ws.Refresh();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto disk = quarnel::fuzz::SmallDisk(data, size);
  quarnel::Workspace ws;
  quarnel::fuzz::LoadSmallDisk(ws, std::move(disk));
  if (!ws.HasImage()) return 0;
  // An add before the deletes meets the image's own entries; the one after meets what is left.
  Add(ws);
  // The folder changes on a copy, so that the changes below still meet the image's own tree.
  quarnel::Workspace folders = ws;
  ChangeFolders(folders);
  ChangeEveryEntry(ws, 0);
  Add(ws);
  Snapshot before = Take(ws.image);
  step = "volume name";
  quarnel::SetVolumeName(ws.image, "FUZZ", quarnel::FixedClock({2000, 1, 1, 0, 0, 0}));
  ExpectKept(before, ws.image);
  before = Take(ws.image);
  step = "OEM signature";
  quarnel::SetOemSignature(ws.image, "FUZZ");
  ExpectKept(before, ws.image);
  return 0;
}
