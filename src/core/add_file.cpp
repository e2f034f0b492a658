#include "core/add_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "core/add_target.h"
#include "core/ascii.h"
#include "core/change_guard.h"
#include "core/delete_entry.h"
#include "core/dir_entry.h"
#include "core/directory.h"
#include "core/directory_slots.h"
#include "core/fat.h"
#include "core/host_file.h"
#include "core/messages.h"

namespace quarnel {

namespace fs = std::filesystem;

namespace {

// What the add would do, decided before anything changes.
struct AddPlan {
  std::vector<std::size_t> replaced;  // offsets of same-named files
  std::vector<std::size_t> pieces;    // offsets of their long-name pieces
  std::vector<std::uint16_t> freed;   // clusters their deletion frees
  std::optional<int> slot;            // slot of the new entry
};

// Finds same-named files and the slot. A directory of the same name is never replaced.
bool PlanAdd(const DiskImage& img, const DirectorySlots& slots, const MsxName11& name,
             AddPlan& plan) {
  const DirContents& dir = slots.Contents();
  const std::vector<int>& named = slots.Named(name);
  for (int slot : named)
    if (MatchForAdd(dir.table[static_cast<std::size_t>(slot)].record, name) == AddMatch::Directory)
      return false;
  for (int slot : named) {
    const DirContents::Slot& s = dir.table[static_cast<std::size_t>(slot)];
    plan.replaced.push_back(s.offset);
    for (auto piece : LongNamePieceOffsets(dir, slot)) plan.pieces.push_back(piece);
    for (auto c : ChainToFree(img, s.record.firstCluster))
      if (std::find(plan.freed.begin(), plan.freed.end(), c) == plan.freed.end())
        plan.freed.push_back(c);
  }
  const std::optional<int> freeSlot = slots.FirstFree();
  plan.slot = freeSlot;
  if (!named.empty() && (!freeSlot || named.front() < *freeSlot)) plan.slot = named.front();
  return true;
}

std::size_t ClustersFor(std::size_t bytes, std::size_t clusterBytes) {
  return (bytes + clusterBytes - 1) / clusterBytes;
}

// Refuses an add where nothing may be added.
std::optional<AddOutcome> RefuseTarget(const DiskImage& img) {
  if (!img.Usable()) return AddOutcome{AddStatus::NoImage, std::string(msg::kNoImageSelected)};
  return std::nullopt;
}

// Where a change writes into the directory, for the guard: the slot of the new entry, or the
// last cluster of a directory that grows (its FAT link changes: no file may share that cluster,
// or the file's chain would grow with it).
std::vector<std::size_t> WrittenSlot(const DiskImage& img, const EntryPlace& place) {
  if (place.offset) return {*place.offset};
  return {ClusterOffset(img.geometry, place.lastCluster)};
}

DirEntry NewEntry(const std::array<std::uint8_t, 11>& name, std::uint8_t attribute,
                  const LocalDateTime& when, std::uint16_t first, std::uint32_t size) {
  DirEntry e{};
  std::memcpy(e.name, name.data(), 8);
  std::memcpy(e.extension, name.data() + 8, 3);
  e.attribute = attribute;
  e.time.Set(FatTime(when));
  e.date.Set(FatDate(when));
  e.firstCluster.Set(first);
  e.size.Set(size);
  return e;
}

AddOutcome BrokenTarget() {
  return {AddStatus::BrokenDirectory, std::string(msg::kBrokenTargetDirectory)};
}

}  // namespace

namespace {

// AddFileData with the file's bytes apart: `data` instead of `file.bytes`.
AddOutcome AddFileBytes(DiskImage& img, DirRef dir, const NewFile& file, Bytes data,
                        ChangeGuard* guard) {
  if (auto refused = RefuseTarget(img)) return *refused;
  const auto& g = img.geometry;
  const auto name = MakeMsxName(file.name);
  // A run of adds keeps the directory's slots in its guard.
  ChangeGuard own(img);
  ChangeGuard& checks = guard && &guard->Image() == &img ? *guard : own;
  const ChangeGuard::Target target = checks.Into(dir);
  const DirectorySlots* slots = target.slots;
  if (!slots) return BrokenTarget();
  AddPlan plan;
  if (!PlanAdd(img, *slots, name, plan))
    return {AddStatus::NameIsDirectory, std::string(msg::kNameIsDirectory) + file.name};
  const std::size_t need = ClustersFor(data.size(), g.clusterBytes);
  // The clusters the add takes: fewer than it needs when free and freed ones do not suffice.
  // (Found without counting every free cluster of the disk for each file.)
  auto take = LowestFreeAfterRelease(img, plan.freed, need, target.freeFrom);
  if (take.size() < need) return {AddStatus::DiskFull, std::string(msg::kDiskFull)};
  const std::optional<EntryPlace> place = PlaceEntry(img, slots->Contents(), plan.slot);
  if (!place) {
    if (dir.IsRoot()) return {AddStatus::DirectoryFull, std::string(msg::kDirectoryFull)};
    return BrokenTarget();
  }
  const std::size_t grow = place->GrowBy();
  if (grow > 0) {
    take = LowestFreeAfterRelease(img, plan.freed, need + grow, target.freeFrom);
    if (take.size() < need + grow) return {AddStatus::DiskFull, std::string(msg::kDiskFull)};
  }

  // A disk whose FAT and directories disagree on a cluster the add touches is left alone.
  if (auto refusal = checks.CheckInto({take, plan.freed, plan.replaced, WrittenSlot(img, *place)}))
    return {AddStatus::NeedsCheck, std::move(*refusal)};

  // The add succeeds: replace, allocate, write. Once `plan.freed` is free, the lowest free
  // clusters are those in `take`.
  FreeClusters(img, plan.freed);
  for (auto piece : plan.pieces) img.PutByte(piece, kEntryDeleted);
  for (auto off : plan.replaced) img.PutByte(off, kEntryDeleted);
  const std::vector<std::uint16_t>& all = take;
  const std::size_t entryOffset =
      grow ? GrowDirectory(img, place->lastCluster, all.front()) : *place->offset;
  const std::vector<std::uint16_t> clusters(all.begin() + static_cast<std::ptrdiff_t>(grow),
                                            all.end());
  for (std::size_t k = 0; k < clusters.size(); ++k) {
    const std::size_t off = ClusterOffset(g, clusters[k]);
    const std::size_t from = k * g.clusterBytes;
    const std::size_t n = std::min<std::size_t>(g.clusterBytes, data.size() - from);
    img.Write(off, Bytes(data.data() + from, n));
    img.Fill(off + n, g.clusterBytes - n, 0);  // the tail of the last one
    WriteFatEntry(img, clusters[k],
                  k + 1 < clusters.size() ? clusters[k + 1] : FatMarksOf(g.fatKind).endOfChain);
  }
  img.Write(entryOffset, EntryBytes(NewEntry(name, file.attribute, file.modified,
                                             clusters.empty() ? 0 : clusters.front(),
                                             static_cast<std::uint32_t>(data.size()))));
  CopyFatToMirrors(img);
  if (!plan.replaced.empty())
    checks.Forget();  // entries removed: the map is made again
  else
    checks.Added(dir.firstCluster, entryOffset, grow ? all.front() : 0);
  return AddStatus::Added;
}

}  // namespace

AddOutcome AddFileData(DiskImage& img, DirRef dir, const NewFile& file, ChangeGuard* guard) {
  return AddFileBytes(img, dir, file, Bytes(file.bytes.data(), file.bytes.size()), guard);
}

AddOutcome MakeDirectory(DiskImage& img, DirRef dir, std::string_view name,
                         const LocalDateTime& when, ChangeGuard* guard) {
  if (auto refused = RefuseTarget(img)) return *refused;
  if (!IsValidMsxName(name)) return AddStatus::InvalidName;
  const auto& g = img.geometry;
  const auto name11 = MakeMsxName(name);
  ChangeGuard own(img);
  ChangeGuard& checks = guard && &guard->Image() == &img ? *guard : own;
  const ChangeGuard::Target target = checks.Into(dir);
  const DirectorySlots* slots = target.slots;
  if (!slots) return BrokenTarget();
  // The first entry of that name decides.
  if (const std::vector<int>& named = slots->Named(name11); !named.empty()) {
    const auto& first = slots->Contents().table[static_cast<std::size_t>(named.front())].record;
    if (MatchForAdd(first, name11) == AddMatch::Directory)
      return {AddStatus::DirectoryExists, std::string(msg::kDirectoryExists) + std::string(name)};
    return {AddStatus::NameIsFile, std::string(msg::kNameIsFile) + std::string(name)};
  }
  const std::optional<EntryPlace> place = PlaceEntry(img, slots->Contents(), slots->FirstFree());
  if (!place) {
    if (dir.IsRoot()) return {AddStatus::DirectoryFull, std::string(msg::kDirectoryFull)};
    return BrokenTarget();
  }
  const std::size_t grow = place->GrowBy();
  const auto take = LowestFreeClusters(img, 1 + grow, target.freeFrom);
  if (take.size() < 1 + grow) return {AddStatus::DiskFull, std::string(msg::kDiskFull)};
  if (auto refusal = checks.CheckInto({take, {}, {}, WrittenSlot(img, *place)}))
    return {AddStatus::NeedsCheck, std::move(*refusal)};

  const std::size_t entryOffset =
      grow ? GrowDirectory(img, place->lastCluster, take.front()) : *place->offset;
  const std::uint16_t self = take.back();
  const std::size_t data = ClusterOffset(g, self);
  img.Fill(data, g.clusterBytes, 0);
  WriteFatEntry(img, self, FatMarksOf(g.fatKind).endOfChain);
  std::array<std::uint8_t, 11> dot;
  dot.fill(' ');
  dot[0] = '.';
  img.Write(data, EntryBytes(NewEntry(dot, kAttrDirectory, when, self, 0)));
  dot[1] = '.';
  img.Write(data + kDirEntrySize,
            EntryBytes(NewEntry(dot, kAttrDirectory, when, dir.firstCluster, 0)));
  img.Write(entryOffset, EntryBytes(NewEntry(name11, kAttrDirectory, when, self, 0)));
  CopyFatToMirrors(img);
  checks.Added(dir.firstCluster, entryOffset, grow ? take.front() : 0);
  return AddStatus::Added;
}

bool NeedsEntryName(const fs::path& hostPath) {
  if (IsValidMsxName(HostNameToMsx(hostPath.filename().string()))) return false;
  return HostFile(hostPath).error() == HostReadError::None;
}

AddOutcome AddFile(DiskImage& image, DirRef dir, const fs::path& hostPath,
                   std::string_view entryName, ChangeGuard* guard) {
  if (auto refused = RefuseTarget(image)) return *refused;
  // The bytes go from the host file to a buffer the read fills and on into the clusters.
  NewFile file;
  ImageBytes data;
  const AddOutcome read = ReadNewFileInto(image, hostPath, entryName, file, data);
  if (read != AddStatus::Added) return read;
  return AddFileBytes(image, dir, file, Bytes(data.data(), data.size()), guard);
}

}  // namespace quarnel
