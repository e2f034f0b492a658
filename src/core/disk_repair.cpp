#include "core/disk_repair.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "core/add_file.h"
#include "core/boot_layout.h"
#include "core/dir_entry.h"
#include "core/directory.h"
#include "core/fat.h"
#include "core/messages.h"
#include "core/msx_name.h"
#include "core/tree_map.h"

namespace quarnel {

namespace {

std::string Num(std::uint64_t v) { return std::to_string(v); }

constexpr ChainPolicy kRepairWalk{ChainLoops::AtRevisit, ChainFreeOrBad::Yield,
                                  ChainEarlyEnd::Short, 0};

// The groups of remedies, in the order they are taken; BootSector is never mended.
constexpr int kGroups = 9;
constexpr int kRounds = 3;
// Cross-links are undone before any entry is written: an entry in a directory cluster that a
// file shares would change that file.
int GroupOf(FindingKind kind) {
  switch (kind) {
    case FindingKind::FatCopiesDiffer:
      return 0;
    case FindingKind::MediaByte:
      return 1;
    case FindingKind::ChainLoop:
    case FindingKind::ChainOutside:
    case FindingKind::ChainFree:
      return 2;
    case FindingKind::CrossLinked:
    case FindingKind::DirectoryLoop:
      return 3;
    case FindingKind::BadFirstCluster:
      return 4;
    case FindingKind::ChainShort:
    case FindingKind::ChainLong:
    case FindingKind::BadSize:
      return 5;
    case FindingKind::DotEntries:
      return 6;
    case FindingKind::BadName:
    case FindingKind::DuplicateName:
      return 7;
    case FindingKind::LostChain:
      return 8;
    case FindingKind::BootSector:
      break;
  }
  return kGroups;
}

// `image` with the layout fields of its boot sector set to those of `row` (the media byte only
// when the boot sector's is none: then the FAT's, or the row's), read by them. `said` lists the
// fields changed.
DiskImage WithStandardBootSector(const DiskImage& image, const GeometryRow& row,
                                 std::string& said) {
  DiskImage out = WithGeometry(image, RowGeometry(row));
  auto bs = BootSectorAt(out.Read(0, sizeof(BootSector)).value_or(Bytes()));
  if (!bs) return out;  // never: every image size holds a boot sector
  const DiskGeometry& g = out.geometry;
  auto set16 = [&](std::string_view field, Le16Field& f, std::uint16_t v) {
    if (f.Get() == v) return;
    said += (said.empty() ? "" : ", ") +
            FillText(msg::kRepairBootField, {std::string(field), Num(f.Get()), Num(v)});
    f.Set(v);
  };
  auto set8 = [&](std::string_view field, std::uint8_t& f, std::uint8_t v) {
    if (f == v) return;
    said += (said.empty() ? "" : ", ") +
            FillText(msg::kRepairBootField, {std::string(field), Num(f), Num(v)});
    f = v;
  };
  set16("bytes per sector (offset 11)", bs->bytesPerSector, g.bytesPerSector);
  set8("sectors per cluster (offset 13)", bs->sectorsPerCluster, g.sectorsPerCluster);
  set16("reserved sectors (offset 14)", bs->reservedSectors, g.reservedSectors);
  set8("number of FATs (offset 16)", bs->fatCount, g.fatCount);
  set16("root entries (offset 17)", bs->rootEntries, g.rootEntries);
  set16("sectors (offset 19)", bs->totalSectors, g.totalSectors);
  if (!IsMediaByte(bs->media)) {
    const std::uint8_t fatMedia = out.ByteAt(g.fatOffset).value_or(0);
    const std::uint8_t media = IsMediaByte(fatMedia) ? fatMedia : g.media;
    said += (said.empty() ? "" : ", ") +
            FillText(msg::kRepairBootField,
                     {"media byte (offset 21)", HexText(bs->media, 2), HexText(media, 2)});
    bs->media = media;
  }
  set16("sectors per FAT (offset 22)", bs->sectorsPerFat, g.sectorsPerFat);
  if (bs->sectorsPerTrack.Get() == 0)
    set16("sectors per track (offset 24)", bs->sectorsPerTrack, g.sectorsPerTrack);
  if (bs->sides.Get() == 0) set16("sides (offset 26)", bs->sides, g.sides);
  out.Write(0, Bytes(reinterpret_cast<const std::uint8_t*>(&*bs), sizeof(BootSector)));
  out.geometry = GeometryFields(*bs);
  DeriveGeometry(out.geometry);
  return out;
}

std::vector<std::uint16_t> ChainOf(const DiskImage& img, std::uint16_t first) {
  std::vector<std::uint16_t> chain;
  if (!FirstClusterValid(img, first)) return chain;
  ChainWalk walk(img, first, kRepairWalk);
  for (std::uint16_t c : walk) chain.push_back(c);
  return chain;
}

class Repairer {
 public:
  Repairer(const DiskImage& image, const RepairOptions& options)
      : work_(image), options_(options) {}

  RepairPlan Run(const DiskImage& original) {
    // A remedy can bring what an earlier group mends to light (an entry renamed out of "." joins
    // the tree with its cross-link): a further round takes it, as long as rounds change bytes.
    for (int round = 0; round < kRounds; ++round) {
      const DiskImage before = work_;
      for (int group = 0; group < kGroups; ++group) {
        std::vector<DiskFinding> findings;
        for (auto& f : CheckDisk(work_).findings)
          if (GroupOf(f.kind) == group) findings.push_back(std::move(f));
        if (findings.empty()) continue;
        tree_ = MapTreeClusters(work_);
        Apply(group, findings);
        CopyFatToMirrors(work_);
      }
      if (work_.SameBytes(before)) break;
    }
    RepairPlan plan;
    plan.actions = std::move(actions_);
    plan.left = CheckDisk(work_).findings;
    plan.changed = !work_.SameBytes(original);
    plan.fatCopied = fatCopied_;
    plan.repaired = std::move(work_);
    return plan;
  }

 private:
  std::uint16_t EndOfChain() const { return FatMarksOf(work_.geometry.fatKind).endOfChain; }

  void Done(const DiskFinding& f, std::string remedy, bool done = true) {
    actions_.push_back({f, std::move(remedy), done});
  }

  // False when the entry at `offset` lies in a directory cluster that a file also reaches (as
  // the group's check found the tree): writing it would change that file.
  bool Writable(std::size_t offset) const {
    const auto& g = work_.geometry;
    if (offset < g.dataOffset || g.clusterBytes == 0) return true;
    const auto c = static_cast<std::uint32_t>((offset - g.dataOffset) / g.clusterBytes + 2);
    for (auto o : tree_.OwnersOf(c))
      if (!(tree_.entries[o].attribute & kAttrDirectory)) return false;
    return true;
  }
  // Leaves `f` when its entry may not be written; true then.
  bool LeftInFile(const DiskFinding& f) {
    if (f.entryOffset == kNoEntry || Writable(f.entryOffset)) return false;
    Done(f, std::string(msg::kRepairEntryInFile), false);
    return true;
  }

  std::optional<DirEntry> Entry(const DiskFinding& f) const {
    if (f.entryOffset == kNoEntry) return std::nullopt;
    return work_.EntryAt(f.entryOffset);
  }
  void PutEntry(const DiskFinding& f, const DirEntry& e) {
    work_.Write(f.entryOffset, EntryBytes(e));
  }

  void Apply(int group, const std::vector<DiskFinding>& findings) {
    switch (group) {
      case 0:
        return ChooseFat(findings);
      case 3:
        return Unshare(findings);
      case 6:
        return MendDots(findings);
      case 7:
        return Rename(findings);
      default:
        for (const auto& f : findings) ApplyOne(f);
    }
  }

  void ApplyOne(const DiskFinding& f) {
    const auto& g = work_.geometry;
    switch (f.kind) {
      case FindingKind::MediaByte:
        work_.PutByte(g.fatOffset, g.media);
        return Done(f, FillText(msg::kRepairMediaByte, {Num(g.media)}));
      case FindingKind::ChainLoop:
      case FindingKind::ChainOutside:
      case FindingKind::ChainFree:
        WriteFatEntry(work_, f.clusters.at(0), EndOfChain());
        // Entries past the end of a FAT too small for the disk are never written.
        if (ReadFatEntry(work_, f.clusters[0]) != EndOfChain())
          return Done(f, FillText(msg::kRepairNoFatEntry, {Num(f.clusters[0])}), false);
        return Done(f, FillText(msg::kRepairChainEnded, {Num(f.clusters[0])}));
      case FindingKind::LostChain:
        return KeepLost(f);
      default:
        break;
    }
    auto e = Entry(f);
    if (!e || LeftInFile(f)) return;
    const bool dir = e->attribute & kAttrDirectory;
    const std::uint64_t cb = g.clusterBytes;
    if (f.kind == FindingKind::BadFirstCluster) {
      if (dir) {
        work_.PutByte(f.entryOffset, kEntryDeleted);
        return Done(f, std::string(msg::kRepairNoDirectory));
      }
      const bool noFirst = e->firstCluster.Get() == 0;
      e->firstCluster.Set(0);
      e->size.Set(0);
      PutEntry(f, *e);
      return Done(f, std::string(noFirst ? msg::kRepairSizeZero : msg::kRepairFirstCleared));
    }
    if (dir) {  // BadSize: directories have none
      // An entry marked a directory whose data is a file's is that file.
      const auto data = ClusterData(work_, e->firstCluster.Get());
      if (data && !LooksLikeDirectory(*data, work_.geometry.fatKind)) {
        e->attribute = static_cast<std::uint8_t>(e->attribute & ~kAttrDirectory);
        PutEntry(f, *e);
        return Done(f, std::string(msg::kRepairNotDirectory));
      }
      e->size.Set(0);
      PutEntry(f, *e);
      return Done(f, std::string(msg::kRepairSizeZero));
    }
    const auto chain = ChainOf(work_, e->firstCluster.Get());
    if (f.kind == FindingKind::ChainLong) {
      const std::size_t need = chain.size() - std::min(chain.size(), f.clusters.size());
      if (need == 0) {
        e->firstCluster.Set(0);
        PutEntry(f, *e);
      } else {
        // Ending the chain where another one passes through would cut that one short too.
        const std::uint16_t end = chain[need - 1];
        if (OtherEntryReaches(end, f.entryOffset))
          return Done(f, FillText(msg::kRepairChainShared, {Num(end)}), false);
        WriteFatEntry(work_, end, EndOfChain());
      }
      return Done(f, FillText(msg::kRepairChainCut, {Num(need), Num(f.clusters.size())}));
    }
    // ChainShort, BadSize: the size of what the chain holds.
    const auto size =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(chain.size() * cb, e->size.Get()));
    e->size.Set(size);
    PutEntry(f, *e);
    Done(f, FillText(msg::kRepairSizeToChain, {Num(size)}));
  }

  // True when an entry other than the one at `entryOffset` reaches `cluster`.
  bool OtherEntryReaches(std::uint16_t cluster, std::size_t entryOffset) const {
    const TreeClusters tree = MapTreeClusters(work_);
    if (cluster >= tree.owners.size()) return false;
    return std::any_of(tree.owners[cluster].begin(), tree.owners[cluster].end(),
                       [&](std::uint32_t i) { return tree.entries[i].offset != entryOffset; });
  }

  // Copies each FAT over the first in turn and counts the findings of a check; the copy with the
  // fewest is copied over all the others.
  void ChooseFat(const std::vector<DiskFinding>& findings) {
    const auto& g = work_.geometry;
    const std::size_t len = g.FatBytes();
    std::uint32_t best = 0;
    std::size_t bestCount = 0;
    std::string counts;
    for (std::uint32_t k = 0; k < g.fatCount; ++k) {
      const std::size_t from = g.fatOffset + static_cast<std::size_t>(k) * len;
      if (from + len > work_.Size()) break;
      DiskImage trial = work_;
      trial.CopyWithin(from, g.fatOffset, len);
      // A copy that is no FAT (one never written, say) is never copied over the first.
      if (k > 0 && !JudgeBootLayout(trial).Plausible()) continue;
      std::size_t count = 0;
      for (const auto& f : CheckLaidOut(trial).findings)
        if (f.kind != FindingKind::FatCopiesDiffer) ++count;
      if (k == 0 || count < bestCount) {
        best = k;
        bestCount = count;
      }
      if (!counts.empty()) counts += ", ";
      counts += "FAT " + Num(k + 1) + ": " + Num(count);
    }
    work_.CopyWithin(g.fatOffset + std::uint64_t{best} * len, g.fatOffset, len);
    CopyFatToMirrors(work_);
    if (fatCopied_ < 0) fatCopied_ = static_cast<int>(best);
    for (const auto& f : findings)
      Done(f, FillText(msg::kRepairFatCopied, {Num(best + 1), counts}));
  }

  // Cross-links: a file gets its own copy of the clusters it shares; a directory that shares
  // clusters (with one above it, or with another directory) is cut before them, or its entry
  // removed when it shares its first cluster. Chains are taken before anything changes.
  void Unshare(const std::vector<DiskFinding>& findings) {
    std::vector<std::vector<std::uint16_t>> chains;
    for (const auto& f : findings) {
      auto e = Entry(f);
      chains.push_back(e ? ChainOf(work_, e->firstCluster.Get()) : std::vector<std::uint16_t>{});
    }
    std::vector<std::size_t> order(findings.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    // Files take their copies before a directory entry is written.
    std::stable_partition(order.begin(), order.end(), [&](std::size_t k) {
      auto e = Entry(findings[k]);
      return e && !(e->attribute & kAttrDirectory);
    });
    for (std::size_t k : order) {
      const auto& f = findings[k];
      const auto& chain = chains[k];
      auto e = Entry(f);
      if (!e || chain.empty() || LeftInFile(f)) continue;
      const std::set<std::uint16_t> shared(f.clusters.begin(), f.clusters.end());
      if (e->attribute & kAttrDirectory) {
        std::size_t pos = 0;
        while (pos < chain.size() && !shared.count(chain[pos])) ++pos;
        if (pos == 0) {
          work_.PutByte(f.entryOffset, kEntryDeleted);
          Done(f, std::string(msg::kRepairEntryRemoved));
        } else if (pos < chain.size()) {
          WriteFatEntry(work_, chain[pos - 1], EndOfChain());
          Done(f, FillText(msg::kRepairDirectoryCut, {Num(chain[pos - 1])}));
        }
        continue;
      }
      const std::size_t need = static_cast<std::size_t>(
          std::count_if(chain.begin(), chain.end(), [&](auto c) { return shared.count(c) > 0; }));
      const auto fresh = LowestFreeClusters(work_, need);
      if (fresh.size() < need) {
        Done(f, std::string(msg::kRepairNoRoomForCopy), false);
        continue;
      }
      std::vector<std::uint16_t> own = chain;
      std::string list;
      for (std::size_t i = 0, j = 0; i < own.size(); ++i) {
        if (!shared.count(own[i])) continue;
        if (ClusterHeld(work_, own[i]) && ClusterHeld(work_, fresh[j]))
          work_.CopyWithin(ClusterOffset(work_.geometry, own[i]),
                           ClusterOffset(work_.geometry, fresh[j]), work_.geometry.clusterBytes);
        own[i] = fresh[j++];
        WriteFatEntry(work_, own[i], EndOfChain());  // taken: the next pick skips it
        list += (list.empty() ? "" : ", ") + Num(own[i]);
      }
      for (std::size_t i = 0; i < own.size(); ++i)
        if (own[i] != chain[i] || !shared.count(chain[i]))
          WriteFatEntry(work_, own[i], i + 1 < own.size() ? own[i + 1] : EndOfChain());
      e->firstCluster.Set(own.front());
      PutEntry(f, *e);
      Done(f, FillText(msg::kRepairOwnCopy, {list}));
    }
  }

  // "." and "..": a dot entry pointing elsewhere is pointed right; a missing one is written into
  // its slot when that slot is free.
  void MendDots(const std::vector<DiskFinding>& findings) {
    const TreeClusters tree = MapTreeClusters(work_);
    std::map<std::size_t, std::pair<std::string, bool>> mended;  // by entry offset
    for (const auto& f : findings) {
      auto it = mended.find(f.entryOffset);
      if (it == mended.end()) it = mended.emplace(f.entryOffset, MendDotsOf(tree, f)).first;
      Done(f, it->second.first, it->second.second);
    }
  }

  std::pair<std::string, bool> MendDotsOf(const TreeClusters& tree, const DiskFinding& f) {
    auto e = Entry(f);
    std::size_t index = 0;
    while (index < tree.entries.size() && tree.entries[index].offset != f.entryOffset) ++index;
    const auto data = e ? ClusterData(work_, e->firstCluster.Get()) : std::nullopt;
    if (!data || index == tree.entries.size()) return {std::string(msg::kRepairNothing), false};
    const std::size_t parent = tree.entries[index].parent;
    const std::uint16_t up = parent < tree.entries.size() ? tree.entries[parent].firstCluster : 0;
    const std::size_t base = ClusterOffset(work_.geometry, e->firstCluster.Get());
    if (!Writable(base)) return {std::string(msg::kRepairEntryInFile), false};
    std::string said;
    bool done = true;
    const std::pair<const char*, std::uint16_t> want[] = {{".", e->firstCluster.Get()}, {"..", up}};
    for (std::size_t slot = 0; slot < 2; ++slot) {
      const std::size_t off = base + slot * kDirEntrySize;
      auto d = work_.EntryAt(off);
      if (!d) continue;
      std::array<std::uint8_t, 11> name;
      name.fill(' ');
      std::memcpy(name.data(), want[slot].first, std::strlen(want[slot].first));
      const bool isDot = std::memcmp(d->name, name.data(), 8) == 0 &&
                         std::memcmp(d->extension, name.data() + 8, 3) == 0;
      if (isDot && d->firstCluster.Get() == want[slot].second) continue;
      if (!isDot && !IsFreeSlot(d->name[0])) {
        said += (said.empty() ? "" : " ") + FillText(msg::kRepairDotSlotTaken, {want[slot].first});
        done = false;
        continue;
      }
      if (!isDot) {
        *d = *e;
        std::memcpy(d->name, name.data(), 8);
        std::memcpy(d->extension, name.data() + 8, 3);
        d->attribute = kAttrDirectory;
        d->size.Set(0);
      }
      d->firstCluster.Set(want[slot].second);
      work_.Write(off, EntryBytes(*d));
      said += (said.empty() ? "" : " ") +
              FillText(msg::kRepairDotWritten, {want[slot].first, Num(want[slot].second)});
    }
    return {said.empty() ? std::string(msg::kRepairNothing) : said, done};
  }

  static std::string Folded(const std::uint8_t* n11) {
    const MsxName11 folded = FoldedMsxName(n11);
    return std::string(folded.begin(), folded.end());
  }

  // Invalid characters become '_' (lower case upper); a name the directory has already gets a
  // "~N" tail.
  void Rename(const std::vector<DiskFinding>& findings) {
    const TreeClusters tree = MapTreeClusters(work_);
    std::map<std::size_t, std::multiset<std::string>> names;  // by parent
    std::map<std::size_t, std::size_t> parentOf;              // by entry offset
    for (const auto& t : tree.entries) {
      parentOf[t.offset] = t.parent;
      if (!(t.attribute & kAttrVolume) || (t.attribute & kAttrDirectory))
        names[t.parent].insert(Folded(t.name.data()));
    }
    std::map<std::size_t, std::string> renamed;
    for (const auto& f : findings) {
      auto it = renamed.find(f.entryOffset);
      // Entries the tree leaves out ("." and ".." in the root) are root entries.
      const std::size_t parent =
          parentOf.count(f.entryOffset) ? parentOf[f.entryOffset] : TreeEntry::kNoParent;
      if (it == renamed.end() && LeftInFile(f)) continue;
      if (it == renamed.end())
        it = renamed.emplace(f.entryOffset, RenameOne(f, names[parent])).first;
      if (it != renamed.end()) Done(f, FillText(msg::kRepairRenamed, {it->second}));
    }
  }

  std::string RenameOne(const DiskFinding& f, std::multiset<std::string>& taken) {
    MsxName11 stored{};
    if (auto held = work_.Read(f.entryOffset, stored.size()))
      std::copy(held->begin(), held->end(), stored.begin());
    if (auto own = taken.find(Folded(stored.data())); own != taken.end()) taken.erase(own);
    const MsxName11 fixed = MakeMsxName(UniqueMsxName(
        StoredNameText(MendedStoredName(stored)),
        [&taken](const MsxName11& tried) { return taken.count(Folded(tried.data())) > 0; }));
    const std::string key = Folded(fixed.data());
    taken.insert(key);
    work_.Write(f.entryOffset, Bytes(fixed.data(), fixed.size()));
    TreeEntry shown;
    std::copy(fixed.begin(), fixed.end(), shown.name.begin());
    TreeClusters one;
    one.entries.push_back(shown);
    return one.PathOf(0);
  }

  // A lost chain: ended at its last cluster, then kept as FILEnnnn.CHK in the root or freed.
  void KeepLost(const DiskFinding& f) {
    if (f.clusters.empty()) return;
    const auto& g = work_.geometry;
    std::optional<std::size_t> slotOffset;
    std::string name;
    if (!options_.freeLost) {
      auto slot = FindFreeRootSlot(work_);
      if (!slot) return Done(f, std::string(msg::kRepairLostNoSlot), false);
      slotOffset = RootSlotOffset(work_, *slot);
      name = FreeChkName();
    }
    WriteFatEntry(work_, f.clusters.back(), EndOfChain());
    if (options_.freeLost) {
      for (auto c : f.clusters) WriteFatEntry(work_, c, kFatFree);
      return Done(f, std::string(msg::kRepairLostFreed));
    }
    const auto n = MakeMsxName(name);
    DirEntry e{};
    std::memcpy(e.name, n.data(), 8);
    std::memcpy(e.extension, n.data() + 8, 3);
    e.attribute = kAttrArchive;
    e.time.Set(FatTime(options_.now));
    e.date.Set(FatDate(options_.now));
    e.firstCluster.Set(f.clusters.front());
    e.size.Set(static_cast<std::uint32_t>(f.clusters.size() * g.clusterBytes));
    work_.Write(*slotOffset, EntryBytes(e));
    Done(f, FillText(msg::kRepairLostSaved, {name}));
  }

  // The first FILEnnnn.CHK the root does not hold.
  std::string FreeChkName() {
    std::set<std::string> root;
    for (std::size_t off : RootSlotOffsets(work_))
      if (auto slot = work_.Read(off, 11); slot && !IsFreeSlot((*slot)[0]))
        root.insert(Folded(slot->data()));
    for (int k = 0; k < 10000; ++k) {
      std::string digits = Num(static_cast<std::uint64_t>(k));
      const std::string name = "FILE" + std::string(4 - digits.size(), '0') + digits + ".CHK";
      const auto n = MakeMsxName(name);
      if (!root.count(Folded(n.data()))) return name;
    }
    return "FILE9999.CHK";
  }

  DiskImage work_;
  TreeClusters tree_;  // of the image as the group's check saw it
  int fatCopied_ = -1;
  const RepairOptions& options_;
  std::vector<RepairAction> actions_;
};

}  // namespace

RepairPlan PlanRepair(const DiskImage& image, const RepairOptions& options) {
  const BootLayout layout = JudgeBootLayout(image);
  if (!layout.Confirmed()) {  // no layout to mend anything by: nothing is changed
    RepairPlan plan;
    plan.repaired = image;
    plan.left = CheckDisk(image).findings;
    for (const auto& f : plan.left)
      plan.actions.push_back({f, std::string(msg::kRepairUnconfirmed), false});
    return plan;
  }
  DiskImage start = image;
  std::vector<RepairAction> first;
  if (!layout.Plausible()) {
    std::string said;
    start = WithStandardBootSector(image, *layout.standard, said);
    first.push_back(
        {CheckDisk(image).findings.front(),
         FillText(msg::kRepairBootLayout, {std::string(layout.standard->caption), said}), true});
  }
  // A chain that an entry reaches by another plausible layout is kept, never freed.
  RepairOptions own = options;
  if (layout.standardDiffers) own.freeLost = false;
  RepairPlan plan = Repairer(start, own).Run(image);
  plan.actions.insert(plan.actions.begin(), first.begin(), first.end());
  for (const auto& f : plan.left)
    if (f.kind == FindingKind::BootSector)
      plan.actions.push_back({f, std::string(msg::kRepairBootLeft), false});
  return plan;
}

}  // namespace quarnel
