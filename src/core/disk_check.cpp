#include "core/disk_check.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

#include "core/add_file.h"
#include "core/boot_layout.h"
#include "core/dir_entry.h"
#include "core/directory.h"
#include "core/fat.h"
#include "core/messages.h"
#include "core/msx_name.h"
#include "core/tree_map.h"

// The clusters of a finding, by kind:
//   FatCopiesDiffer  the clusters whose entries differ (0 and 1 for the media entries)
//   ChainLoop        the cluster that links back, then the cluster it links to
//   ChainOutside/Free  the last sound cluster, whose link is wrong
//   ChainShort       the last cluster of the chain
//   ChainLong        the clusters past those the size needs
//   CrossLinked      the clusters the entry shares with the one that keeps them
//   DirectoryLoop    the clusters it shares with the directory above it
//   LostChain        the lost chain, first cluster first
//   DotEntries       the directory's first cluster

namespace quarnel {

namespace {

std::string Num(std::uint64_t v) { return std::to_string(v); }

// The policy of the check's walks: every cluster once, a link back is a loop.
constexpr ChainPolicy kCheckWalk{ChainLoops::AtRevisit, ChainFreeOrBad::Yield, ChainEarlyEnd::Short,
                                 0};

class Checker {
 public:
  explicit Checker(const DiskImage& image)
      : img_(image),
        g_(image.geometry),
        fat_(FatCopyBytes(image, 0)),
        lastHeld_(LastHeldCluster(image)),
        tree_(MapTreeClusters(image)) {}

  DiskCheck Run() {
    CheckBoot();
    CheckFatCopies();
    CheckMedia();
    for (std::size_t i = 0; i < tree_.entries.size(); ++i) CheckEntry(i);
    CheckSharing();
    CheckNames();
    CheckLost();
    return std::move(out_);
  }

 private:
  void Add(FindingKind kind, std::size_t entry, std::vector<std::uint16_t> clusters,
           std::string message) {
    DiskFinding f;
    f.kind = kind;
    if (entry != kNoEntry) {
      f.path = tree_.PathOf(entry);
      f.entryOffset = tree_.entries[entry].offset;
    }
    f.clusters = std::move(clusters);
    f.message = std::move(message);
    out_.findings.push_back(std::move(f));
  }

  bool IsDir(std::size_t i) const { return tree_.entries[i].attribute & kAttrDirectory; }
  bool IsVolume(std::size_t i) const {
    return !IsDir(i) && (tree_.entries[i].attribute & kAttrVolume);
  }

  void CheckBoot() {
    const std::uint64_t disk = g_.DiskBytes();
    if (img_.Size() != disk)
      Add(FindingKind::BootSector, kNoEntry, {},
          FillText(msg::kCheckImageLonger,
                   {Num(g_.totalSectors), Num(g_.bytesPerSector), Num(disk), Num(img_.Size())}));
  }

  void CheckFatCopies() {
    const Bytes first = fat_;
    for (std::uint32_t k = 1; k < g_.fatCount; ++k) {
      // Copies alike byte for byte hold the same entries.
      const Bytes copy = FatCopyBytes(img_, k);
      if (std::equal(first.begin(), first.end(), copy.begin(), copy.end())) continue;
      std::vector<std::uint16_t> differ;
      for (std::uint32_t c = 0; c <= g_.LastDataCluster(); ++c) {
        auto a = FatEntryAt(g_.fatKind, first, c);
        auto b = FatEntryAt(g_.fatKind, copy, c);
        if (a && b && *a != *b) differ.push_back(static_cast<std::uint16_t>(c));
      }
      if (!differ.empty())
        Add(FindingKind::FatCopiesDiffer, kNoEntry, differ,
            FillText(msg::kCheckFatCopiesDiffer, {Num(k + 1), Num(differ.size())}));
    }
  }

  void CheckMedia() {
    if (g_.fatOffset >= img_.Size()) return;
    const std::uint8_t fatMedia = img_.ByteAt(g_.fatOffset).value_or(0);
    if (fatMedia != g_.media)
      Add(FindingKind::MediaByte, kNoEntry, {},
          FillText(msg::kCheckMediaByte, {HexText(fatMedia, 2), HexText(g_.media, 2)}));
  }

  // First cluster, size and chain of one entry.
  void CheckEntry(std::size_t i) {
    if (IsVolume(i)) return;
    const TreeEntry& e = tree_.entries[i];
    const bool dir = IsDir(i);
    const std::uint64_t cb = g_.clusterBytes;
    const std::uint64_t diskBytes = static_cast<std::uint64_t>(g_.LastDataCluster() - 1) * cb;
    if (dir && e.size != 0)
      Add(FindingKind::BadSize, i, {}, FillText(msg::kCheckDirectorySize, {Num(e.size)}));
    if (e.firstCluster == 0) {
      if (dir)
        Add(FindingKind::BadFirstCluster, i, {},
            FillText(msg::kCheckBadFirstCluster, {"0", Num(g_.LastDataCluster())}));
      else if (e.size != 0)
        Add(FindingKind::BadFirstCluster, i, {},
            FillText(msg::kCheckNoFirstCluster, {Num(e.size)}));
      return;
    }
    if (!FirstClusterValid(img_, e.firstCluster)) {
      Add(FindingKind::BadFirstCluster, i, {},
          FillText(msg::kCheckBadFirstCluster, {Num(e.firstCluster), Num(g_.LastDataCluster())}));
      return;
    }
    const std::uint64_t need = cb == 0 ? 0 : (std::uint64_t{e.size} + cb - 1) / cb;
    std::vector<std::uint16_t> past;  // a file's clusters past those its size needs
    ChainWalk walk(img_, fat_, e.firstCluster, kCheckWalk);
    for (std::uint16_t c : walk)
      if (!dir && walk.Count() > need) past.push_back(c);
    const std::size_t count = walk.Count();
    const std::uint16_t last = walk.Cluster();
    const std::uint16_t link = FatEntryIn(g_.fatKind, fat_, last);
    switch (walk.Stop()) {
      case ChainStop::Loop:
        Add(FindingKind::ChainLoop, i, {last, link},
            FillText(msg::kCheckChainLoop, {Num(last), Num(link)}));
        return;
      case ChainStop::Broken:
      case ChainStop::Outside:
        if (link < 2 || link >= 0xFF0)
          Add(FindingKind::ChainFree, i, {last},
              FillText(msg::kCheckChainFree, {Num(last), HexText(link, 3)}));
        else
          Add(FindingKind::ChainOutside, i, {last},
              FillText(msg::kCheckChainOutside, {Num(last), Num(link), Num(g_.LastDataCluster())}));
        return;
      default:
        break;
    }
    if (dir) return;
    if (e.size > diskBytes) {
      Add(FindingKind::BadSize, i, {},
          FillText(msg::kCheckSizeBeyondDisk, {Num(e.size), Num(diskBytes)}));
      return;
    }
    if (count < need)
      Add(FindingKind::ChainShort, i, {last},
          FillText(msg::kCheckChainShort, {Num(e.size), Num(need), Num(count)}));
    else if (count > need)
      Add(FindingKind::ChainLong, i, std::move(past),
          FillText(msg::kCheckChainLong, {Num(e.size), Num(need), Num(count)}));
  }

  // True when directory entry `above` holds `i`, or a directory holding it, and so on up.
  bool IsAbove(std::size_t above, std::size_t i) const {
    // Parents come before their entries: the walk up ends within i steps.
    for (std::size_t p = tree_.entries[i].parent; p < tree_.entries.size();
         p = tree_.entries[p].parent)
      if (p == above) return true;
    return false;
  }

  // Clusters reached by more than one entry: a directory keeps them before any file, the entry
  // met first before later ones; the others are cross-linked, or loop when the keeper is a
  // directory above them. Then the "." and ".." of every directory that keeps its own clusters.
  void CheckSharing() {
    std::map<std::size_t, std::pair<std::size_t, std::vector<std::uint16_t>>> shared;
    std::vector<bool> sharesFirst(tree_.entries.size(), false);
    for (std::uint32_t c = 2; c < tree_.owners.size(); ++c) {
      const auto& owners = tree_.owners[c];
      if (owners.size() < 2) continue;
      // A cluster that reads as directory data stays with a directory, any other with a file.
      const auto data = ClusterData(img_, c);
      const bool dirData = data && LooksLikeDirectory(*data, g_.fatKind);
      std::size_t keeper = owners[0];
      for (auto o : owners)
        if (IsDir(o) == dirData) {
          keeper = o;
          break;
        }
      for (auto o : owners) {
        if (o == keeper) continue;
        auto& s = shared[o];
        if (s.second.empty()) s.first = keeper;
        s.second.push_back(static_cast<std::uint16_t>(c));
        if (c == tree_.entries[o].firstCluster) sharesFirst[o] = true;
      }
    }
    for (auto& [o, s] : shared) {
      auto& [keeper, clusters] = s;
      if (IsDir(o) && IsDir(keeper) && IsAbove(keeper, o))
        Add(FindingKind::DirectoryLoop, o, clusters,
            FillText(msg::kCheckDirectoryLoop, {tree_.PathOf(keeper)}));
      else
        Add(FindingKind::CrossLinked, o, clusters,
            FillText(msg::kCheckCrossLinked, {Num(clusters.size()), tree_.PathOf(keeper)}));
    }
    for (std::size_t i = 0; i < tree_.entries.size(); ++i)
      if (IsDir(i) && !sharesFirst[i] && FirstClusterValid(img_, tree_.entries[i].firstCluster))
        CheckDots(i);
  }

  void CheckDots(std::size_t i) {
    const TreeEntry& e = tree_.entries[i];
    const std::size_t parent = e.parent;
    const std::uint16_t up = parent < tree_.entries.size() ? tree_.entries[parent].firstCluster : 0;
    const auto data = ClusterData(img_, e.firstCluster);
    const std::pair<std::string_view, std::uint16_t> want[] = {{".", e.firstCluster}, {"..", up}};
    for (std::size_t slot = 0; slot < 2; ++slot) {
      const auto d = DirEntryAt(*data, slot * kDirEntrySize);
      const auto name = std::string(want[slot].first);
      const auto stored = DotName(name);
      if (!d || std::memcmp(d->name, stored.data(), 8) != 0 ||
          std::memcmp(d->extension, stored.data() + 8, 3) != 0) {
        Add(FindingKind::DotEntries, i, {e.firstCluster}, FillText(msg::kCheckDotMissing, {name}));
      } else if (d->firstCluster.Get() != want[slot].second) {
        Add(FindingKind::DotEntries, i, {e.firstCluster},
            FillText(msg::kCheckDotWrong,
                     {name, Num(d->firstCluster.Get()), Num(want[slot].second)}));
      }
    }
  }

  static std::array<std::uint8_t, 11> DotName(const std::string& dots) {
    std::array<std::uint8_t, 11> n;
    n.fill(' ');
    std::copy(dots.begin(), dots.end(), n.begin());
    return n;
  }

  void CheckNames() {
    // "." and ".." belong in subdirectories only; the tree map leaves them out everywhere.
    for (std::size_t off : RootSlotOffsets(img_)) {
      const std::optional<Bytes> raw = img_.Read(off, kDirEntrySize);
      if (!raw) break;
      const ListingRecord e = DecodeListingRecord(raw->data());
      const MsxName11 name = NameOf(e);
      if (!IsLongNameAttribute(e.attribute) && IsDotEntry(name.data())) {
        DiskFinding f;
        f.kind = FindingKind::BadName;
        f.path = name[1] == '.' ? ".." : ".";
        f.entryOffset = off;
        f.message = FillText(msg::kCheckBadName, {std::string(msg::kNameForbiddenChars)});
        out_.findings.push_back(std::move(f));
      }
    }
    const std::vector<std::size_t> earlier = EarlierSameNames();
    for (std::size_t i = 0; i < tree_.entries.size(); ++i) {
      if (IsVolume(i)) continue;
      if (auto problem = NameProblems(tree_.entries[i].name))
        Add(FindingKind::BadName, i, {}, *problem);
      if (earlier[i] != kNoEntry)
        Add(FindingKind::DuplicateName, i, {},
            FillText(msg::kCheckDuplicateName, {tree_.PathOf(earlier[i])}));
    }
  }

  // For each entry, the first entry of the same directory with the same folded name when that is
  // another one (volume names left out); kNoEntry otherwise. Sorted once: no map of every name.
  std::vector<std::size_t> EarlierSameNames() const {
    struct Key {
      std::size_t parent;
      MsxName11 name;
      std::size_t index;
      auto operator<=>(const Key&) const = default;
    };
    std::vector<Key> keys;
    keys.reserve(tree_.entries.size());
    for (std::size_t i = 0; i < tree_.entries.size(); ++i)
      if (!IsVolume(i))
        keys.push_back({tree_.entries[i].parent, FoldedMsxName(tree_.entries[i].name.data()), i});
    std::sort(keys.begin(), keys.end());
    std::vector<std::size_t> earlier(tree_.entries.size(), kNoEntry);
    for (std::size_t k = 1, first = 0; k < keys.size(); ++k) {
      if (keys[k].parent != keys[first].parent || keys[k].name != keys[first].name)
        first = k;
      else
        earlier[keys[k].index] = keys[first].index;
    }
    return earlier;
  }

  // What is wrong with 11 name bytes, in words; nullopt when nothing is.
  static std::optional<std::string> NameProblems(const std::array<std::uint8_t, 11>& n) {
    const StoredNameFaults faults = StoredNameFaultsOf(n);
    std::string words;
    auto add = [&words](bool on, std::string_view w) {
      if (!on) return;
      if (!words.empty()) words += msg::kNameAnd;
      words += w;
    };
    add(faults.control, msg::kNameControlChars);
    add(faults.lower, msg::kNameLowerCase);
    add(faults.forbidden, msg::kNameForbiddenChars);
    add(faults.blank, msg::kNameBlanks);
    if (words.empty()) return std::nullopt;
    return FillText(msg::kCheckBadName, {words});
  }

  // Clusters in use (neither free nor bad) that no entry reaches, as chains: each from a
  // cluster no other lost cluster links to, then what is left (rings) from its lowest cluster.
  void CheckLost() {
    const std::uint32_t last = g_.LastDataCluster();
    std::vector<bool> lost(static_cast<std::size_t>(last) + 1, false);
    std::vector<bool> linked(lost.size(), false);
    std::vector<std::uint16_t> fat(lost.size(), 0);
    ScanFat(img_, last, [&fat](std::uint32_t c, std::uint16_t v) {
      fat[c] = v;
      return true;
    });
    for (std::uint32_t c = 2; c <= last; ++c) {
      const std::uint16_t v = fat[c];
      // A cluster whose bytes the image does not hold cannot be given back as a file.
      lost[c] = v != kFatFree && v != FatMarksOf(g_.fatKind).bad && tree_.OwnersOf(c).empty() &&
                c <= lastHeld_;
    }
    for (std::uint32_t c = 2; c <= last; ++c) {
      const std::uint16_t v = fat[c];
      if (lost[c] && v <= last && lost[v] && v != c) linked[v] = true;
    }
    std::vector<bool> claimed(lost.size(), false);
    auto take = [&](std::uint32_t head) {
      std::vector<std::uint16_t> chain;
      ChainWalk walk(img_, fat_, static_cast<std::uint16_t>(head), kCheckWalk);
      for (std::uint16_t c : walk) {
        if (!lost[c] || claimed[c]) break;
        claimed[c] = true;
        chain.push_back(c);
      }
      Add(FindingKind::LostChain, kNoEntry, chain,
          FillText(msg::kCheckLostChain, {Num(chain.size()), Num(head)}));
    };
    for (std::uint32_t c = 2; c <= last; ++c)
      if (lost[c] && !linked[c] && !claimed[c]) take(c);
    for (std::uint32_t c = 2; c <= last; ++c)
      if (lost[c] && !claimed[c]) take(c);
  }

  const DiskImage& img_;
  const DiskGeometry& g_;
  const Bytes fat_;  // the first FAT copy
  const std::uint32_t lastHeld_;
  TreeClusters tree_;
  DiskCheck out_;
};

}  // namespace

std::string_view FindingKindName(FindingKind kind) {
  switch (kind) {
    case FindingKind::BootSector:
      return "boot-sector";
    case FindingKind::FatCopiesDiffer:
      return "fat-copies-differ";
    case FindingKind::MediaByte:
      return "media-byte";
    case FindingKind::ChainLoop:
      return "chain-loop";
    case FindingKind::ChainOutside:
      return "chain-outside";
    case FindingKind::ChainFree:
      return "chain-free";
    case FindingKind::ChainShort:
      return "chain-short";
    case FindingKind::ChainLong:
      return "chain-long";
    case FindingKind::CrossLinked:
      return "cross-linked";
    case FindingKind::LostChain:
      return "lost-chain";
    case FindingKind::BadFirstCluster:
      return "bad-first-cluster";
    case FindingKind::BadSize:
      return "bad-size";
    case FindingKind::BadName:
      return "bad-name";
    case FindingKind::DuplicateName:
      return "duplicate-name";
    case FindingKind::DotEntries:
      return "dot-entries";
    case FindingKind::DirectoryLoop:
      return "directory-loop";
  }
  return "unknown";
}

DiskCheck CheckDisk(const DiskImage& image) {
  const BootLayout layout = JudgeBootLayout(image);
  if (layout.Plausible()) return Checker(image).Run();
  DiskCheck out;
  DiskFinding f;
  f.kind = FindingKind::BootSector;
  f.message = DescribeBootLayout(layout);
  out.findings.push_back(std::move(f));
  if (layout.standardFits) {
    DiskCheck rest = CheckLaidOut(WithGeometry(image, RowGeometry(*layout.standard)));
    for (auto& r : rest.findings) out.findings.push_back(std::move(r));
  }
  return out;
}

DiskCheck CheckLaidOut(const DiskImage& image) {
  if (!image.Usable()) return {};
  return Checker(image).Run();
}

}  // namespace quarnel
