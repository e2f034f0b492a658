#include "core/add_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "core/ascii.h"
#include "core/change_guard.h"
#include "core/delete_entry.h"
#include "core/dir_entry.h"
#include "core/dir_slot.h"
#include "core/fat.h"
#include "core/host_file.h"
#include "core/messages.h"
#include "core/msx_charset.h"

namespace quarnel {

namespace fs = std::filesystem;

std::array<std::uint8_t, 11> MakeMsxName(std::string_view host) {
  std::array<std::uint8_t, 11> out;
  out.fill(' ');
  // i: 1-based position in the host name; j: 0-based position in the 11 bytes.
  std::size_t i = 1, j = 0;
  const std::size_t len = host.size();
  while (i <= kLongestHostName && j <= 10) {
    if (i <= len && host[i - 1] == '.') {
      for (std::size_t k = i - 1; k <= 7; ++k) out[k] = ' ';
      j = 8;
      ++i;
    }
    if (i > len) {
      out[j] = ' ';
    } else {
      auto c = static_cast<std::uint8_t>(host[i - 1]);
      out[j] = AsciiUpper(c);
    }
    ++i;
    ++j;
  }
  // 0xE5 marks a deleted entry: a name that starts with that byte is stored with 0x05.
  if (out[0] == kEntryDeleted) out[0] = kEntryE5Stand;
  return out;
}

bool IsForbiddenNameChar(char ch) {
  const auto u = static_cast<unsigned char>(ch);
  if (u <= 0x20 || u == 0x7F) return true;
  return std::string_view("\"*+,./:;<=>?[\\]|").find(ch) != std::string_view::npos;
}

NameProblem CheckMsxName(std::string_view name) {
  const auto dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  const std::string_view ext =
      dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
  if (base.empty()) return NameProblem::Empty;
  if (ext.find('.') != std::string_view::npos) return NameProblem::SeveralDots;
  for (std::string_view part : {base, ext}) {
    for (char c : part) {
      const auto u = static_cast<unsigned char>(c);
      if (u == ' ') return NameProblem::Blank;
      if (u < 0x20 || u == 0x7F) return NameProblem::ControlByte;
      if (IsForbiddenNameChar(c)) return NameProblem::ForbiddenChar;
    }
  }
  if (base.size() > 8 || ext.size() > 3) return NameProblem::TooLong;
  return NameProblem::Ok;
}

std::string_view DescribeNameProblem(NameProblem p) {
  switch (p) {
    case NameProblem::Ok:
      return "is a valid name";
    case NameProblem::Empty:
      return "has no name before the dot";
    case NameProblem::TooLong:
      return "has more than 8 characters before the dot or 3 after it";
    case NameProblem::SeveralDots:
      return "has more than one dot";
    case NameProblem::Blank:
      return "has a blank";
    case NameProblem::ControlByte:
      return "has a control character";
    case NameProblem::ForbiddenChar:
      return "has a character MSX-DOS does not allow in names (\" * + , / : ; < = > ? [ \\ ] |)";
    case NameProblem::NotInCharset:
      return "has a character the MSX character set does not have";
  }
  return {};
}

bool IsValidMsxName(std::string_view name) { return CheckMsxName(name) == NameProblem::Ok; }

std::optional<int> FindFreeRootSlot(const DiskImage& image) {
  for (int slot = 0; slot < static_cast<int>(image.geometry.rootEntries); ++slot) {
    auto off = RootSlotOffset(image, slot);
    if (!off) break;
    if (IsFreeSlot(image.bytes[*off])) return slot;
  }
  return std::nullopt;
}

namespace {

// The highest data cluster whose bytes lie wholly inside the image (1 when there is none).
std::uint32_t LastClusterInside(const DiskImage& image) {
  std::uint32_t last = image.geometry.LastDataCluster();
  while (last >= 2 && !ClusterData(image, last)) --last;  // a cut image: the clusters at its end
  return last;
}

}  // namespace

std::vector<std::uint16_t> LowestFreeClusters(const DiskImage& image, std::size_t n) {
  std::vector<std::uint16_t> out;
  if (n == 0) return out;
  out.reserve(n);
  ScanFreeFat(image, LastClusterInside(image), [&](std::uint32_t c) {
    out.push_back(static_cast<std::uint16_t>(c));
    return out.size() < n;
  });
  return out;
}

std::size_t FreeClusterCount(const DiskImage& image) {
  std::size_t count = 0;
  ScanFreeFat(image, LastClusterInside(image), [&count](std::uint32_t) {
    ++count;
    return true;
  });
  return count;
}

namespace {

// The slots of a directory as ListDirectory finds them, by offset only: an add reads the few
// entry bytes it looks at from the image.
struct DirSlots {
  DirRef dir;
  std::vector<std::size_t> offsets;
};

// The slots of `dir`; nullopt where ListDirectory finds the directory broken.
std::optional<DirSlots> ListSlots(const DiskImage& img, DirRef dir) {
  DirSlots out{dir, {}};
  const DiskGeometry& g = img.geometry;
  if (dir.IsRoot()) {
    out.offsets.reserve(g.rootEntries);
    for (std::uint32_t i = 0; i < g.rootEntries; ++i) {
      const std::uint64_t off = g.rootOffset + static_cast<std::uint64_t>(i) * kDirEntrySize;
      if (off + kDirEntrySize > img.bytes.size()) break;
      out.offsets.push_back(static_cast<std::size_t>(off));
    }
    return out;
  }
  if (!FirstClusterValid(img, dir.firstCluster)) return std::nullopt;
  ChainWalk walk(img, dir.firstCluster, ChainPolicy::Follow());
  for (std::uint16_t c : walk) {
    const std::size_t base = ClusterOffset(g, c);  // the walk yields clusters inside the image
    for (std::size_t e = 0; e + kDirEntrySize <= g.clusterBytes; e += kDirEntrySize)
      out.offsets.push_back(base + e);
  }
  if (walk.Broken()) return std::nullopt;
  return out;
}

// What the add would do, decided before anything changes.
struct AddPlan {
  std::vector<std::size_t> replaced;  // offsets of same-named files
  std::vector<std::size_t> pieces;    // offsets of their long-name pieces
  std::vector<std::uint16_t> freed;   // clusters their deletion frees
  std::optional<int> slot;            // slot of the new entry
};

// Finds same-named files and the slot. A directory of the same name is never replaced.
bool PlanAdd(const DiskImage& img, const DirSlots& dir, const std::array<std::uint8_t, 11>& name,
             AddPlan& plan) {
  std::optional<int> freeSlot, firstReplaced;
  std::optional<DirContents> listed;  // read whole only for a file being replaced
  for (int slot = 0; slot < static_cast<int>(dir.offsets.size()); ++slot) {
    const std::size_t off = dir.offsets[static_cast<std::size_t>(slot)];
    const std::uint8_t* e = img.bytes.data() + off;
    if (IsFreeSlot(e[0])) {
      if (!freeSlot) freeSlot = slot;
      continue;
    }
    const std::uint8_t attr = e[11];
    if (AsciiUpper(e[0]) != AsciiUpper(name[0])) continue;  // the common case, decided at once
    if (IsLongNameAttribute(attr) || (attr & kAttrVolume) || !SameMsxName(e, name.data())) continue;
    if (attr & kAttrDirectory) return false;
    if (!firstReplaced) firstReplaced = slot;
    plan.replaced.push_back(off);
    if (!listed) listed = ListDirectory(img, dir.dir);
    if (listed)
      for (auto piece : LongNamePieceOffsets(*listed, slot)) plan.pieces.push_back(piece);
    for (auto c : ChainToFree(img, static_cast<std::uint16_t>(e[26] | (e[27] << 8))))
      if (std::find(plan.freed.begin(), plan.freed.end(), c) == plan.freed.end())
        plan.freed.push_back(c);
  }
  plan.slot = freeSlot;
  if (firstReplaced && (!freeSlot || *firstReplaced < *freeSlot)) plan.slot = firstReplaced;
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

// Where the new entry of an add goes: a free (or freed) slot, or the first slot of the cluster a
// full subdirectory grows by.
struct EntryPlace {
  std::optional<std::size_t> offset;  // a slot the directory has
  std::uint16_t lastCluster = 0;      // the directory's last cluster, when it grows
  std::size_t GrowBy() const { return offset ? 0 : 1; }
};

// The place for an entry in `dir`, given the slot the plan found; nullopt when the root is full
// (a root never grows) or the directory's chain cannot be followed to its end.
std::optional<EntryPlace> PlaceEntry(const DiskImage& img, const DirSlots& dir,
                                     std::optional<int> slot) {
  EntryPlace place;
  if (slot) {
    place.offset = dir.offsets[static_cast<std::size_t>(*slot)];
    return place;
  }
  if (dir.dir.IsRoot()) return std::nullopt;
  const Chain chain = FollowChain(img, dir.dir.firstCluster);
  if (chain.broken || chain.clusters.empty()) return std::nullopt;
  place.lastCluster = chain.clusters.back();
  return place;
}

// Links `cluster`, zeroed, to the end of the directory chain ending at `last`; the offset of
// its first slot.
std::size_t GrowDirectory(DiskImage& img, std::uint16_t last, std::uint16_t cluster) {
  const auto& g = img.geometry;
  const std::size_t off = ClusterOffset(g, cluster);
  std::memset(img.bytes.data() + off, 0, g.clusterBytes);
  WriteFatEntry(img, last, cluster);
  WriteFatEntry(img, cluster, kFatEndOfChain);
  return off;
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
  const std::optional<DirSlots> contents = ListSlots(img, dir);
  if (!contents) return BrokenTarget();
  AddPlan plan;
  if (!PlanAdd(img, *contents, name, plan))
    return {AddStatus::NameIsDirectory, std::string(msg::kNameIsDirectory) + file.name};
  const std::size_t need = ClustersFor(data.size(), g.clusterBytes);
  // The clusters the add takes: fewer than it needs when free and freed ones do not suffice.
  // (Found without counting every free cluster of the disk for each file.)
  auto take = LowestFreeAfterRelease(img, plan.freed, need);
  if (take.size() < need) return {AddStatus::DiskFull, std::string(msg::kDiskFull)};
  const std::optional<EntryPlace> place = PlaceEntry(img, *contents, plan.slot);
  if (!place) {
    if (dir.IsRoot()) return {AddStatus::DirectoryFull, std::string(msg::kDirectoryFull)};
    return BrokenTarget();
  }
  const std::size_t grow = place->GrowBy();
  if (grow > 0) {
    take = LowestFreeAfterRelease(img, plan.freed, need + grow);
    if (take.size() < need + grow) return {AddStatus::DiskFull, std::string(msg::kDiskFull)};
  }

  // A disk whose FAT and directories disagree on a cluster the add touches is left alone.
  ChangeGuard own(img);
  ChangeGuard& checks = guard && &guard->Image() == &img ? *guard : own;
  if (auto refusal = checks.Check({take, plan.freed, plan.replaced, WrittenSlot(img, *place)}))
    return {AddStatus::NeedsCheck, std::move(*refusal)};

  // The add succeeds: replace, allocate, write. Once `plan.freed` is free, the lowest free
  // clusters are those in `take`.
  FreeClusters(img, plan.freed);
  for (auto piece : plan.pieces) img.bytes[piece] = kEntryDeleted;
  for (auto off : plan.replaced) img.bytes[off] = kEntryDeleted;
  const std::vector<std::uint16_t>& all = take;
  const std::size_t entryOffset =
      grow ? GrowDirectory(img, place->lastCluster, all.front()) : *place->offset;
  const std::vector<std::uint16_t> clusters(all.begin() + static_cast<std::ptrdiff_t>(grow),
                                            all.end());
  for (std::size_t k = 0; k < clusters.size(); ++k) {
    const std::size_t off = ClusterOffset(g, clusters[k]);
    const std::size_t from = k * g.clusterBytes;
    const std::size_t n = std::min<std::size_t>(g.clusterBytes, data.size() - from);
    std::memcpy(img.bytes.data() + off, data.data() + from, n);
    std::memset(img.bytes.data() + off + n, 0, g.clusterBytes - n);  // the tail of the last one
    WriteFatEntry(img, clusters[k], k + 1 < clusters.size() ? clusters[k + 1] : kFatEndOfChain);
  }
  PutDirEntry(img.MutableView(), entryOffset,
              NewEntry(name, file.attribute, file.modified, clusters.empty() ? 0 : clusters.front(),
                       static_cast<std::uint32_t>(data.size())));
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
  const std::optional<DirSlots> contents = ListSlots(img, dir);
  if (!contents) return BrokenTarget();
  std::optional<int> slot;
  for (int i = 0; i < static_cast<int>(contents->offsets.size()); ++i) {
    const std::uint8_t* e = img.bytes.data() + contents->offsets[static_cast<std::size_t>(i)];
    if (IsFreeSlot(e[0])) {
      if (!slot) slot = i;
      continue;
    }
    if (IsLongNameAttribute(e[11]) || (e[11] & kAttrVolume) || !SameMsxName(e, name11.data()))
      continue;
    if (e[11] & kAttrDirectory)
      return {AddStatus::DirectoryExists, std::string(msg::kDirectoryExists) + std::string(name)};
    return {AddStatus::NameIsFile, std::string(msg::kNameIsFile) + std::string(name)};
  }
  const std::optional<EntryPlace> place = PlaceEntry(img, *contents, slot);
  if (!place) {
    if (dir.IsRoot()) return {AddStatus::DirectoryFull, std::string(msg::kDirectoryFull)};
    return BrokenTarget();
  }
  const std::size_t grow = place->GrowBy();
  const auto take = LowestFreeClusters(img, 1 + grow);
  if (take.size() < 1 + grow) return {AddStatus::DiskFull, std::string(msg::kDiskFull)};
  ChangeGuard own(img);
  ChangeGuard& checks = guard && &guard->Image() == &img ? *guard : own;
  if (auto refusal = checks.Check({take, {}, {}, WrittenSlot(img, *place)}))
    return {AddStatus::NeedsCheck, std::move(*refusal)};

  const std::size_t entryOffset =
      grow ? GrowDirectory(img, place->lastCluster, take.front()) : *place->offset;
  const std::uint16_t self = take.back();
  const std::size_t data = ClusterOffset(g, self);
  std::memset(img.bytes.data() + data, 0, g.clusterBytes);
  WriteFatEntry(img, self, kFatEndOfChain);
  std::array<std::uint8_t, 11> dot;
  dot.fill(' ');
  dot[0] = '.';
  PutDirEntry(img.MutableView(), data, NewEntry(dot, kAttrDirectory, when, self, 0));
  dot[1] = '.';
  PutDirEntry(img.MutableView(), data + kDirEntrySize,
              NewEntry(dot, kAttrDirectory, when, dir.firstCluster, 0));
  PutDirEntry(img.MutableView(), entryOffset, NewEntry(name11, kAttrDirectory, when, self, 0));
  CopyFatToMirrors(img);
  checks.Added(dir.firstCluster, entryOffset, grow ? take.front() : 0);
  return AddStatus::Added;
}

std::string HostNameToMsx(std::string_view hostName) {
  if (!IsUtf8(hostName)) return std::string(hostName);
  return MsxCharset::International().FromUtf8Or(hostName, '_');
}

bool KeepsHostName(std::string_view hostName, std::string_view msxName) {
  return msxName == hostName || MsxCharset::International().ToUtf8(msxName) == hostName;
}

std::string EntryNameFor(std::string_view hostName) {
  std::string name = HostNameToMsx(hostName);
  return IsValidMsxName(name) ? name : ShortMsxName(hostName);
}

std::string ShortMsxName(std::string_view hostName) {
  const std::string msx = HostNameToMsx(hostName);
  const std::string_view host = msx;
  const std::string_view dotExt = ExtensionOf(host);
  const std::string_view base = host.substr(0, host.size() - dotExt.size());
  const std::string_view ext = dotExt.empty() ? dotExt : dotExt.substr(1);
  auto keep = [](std::string_view s, std::size_t n) {
    std::string out;
    for (char c : s) {
      if (out.size() == n) break;
      if (c == ' ') continue;
      // One '_' for each character a name may not hold.
      out.push_back(IsForbiddenNameChar(c) ? '_' : c);
    }
    return out;
  };
  std::string name = keep(base, 8);
  if (name.empty()) name.push_back('_');
  std::string e = keep(ext, 3);
  return e.empty() ? name : name + "." + e;
}

std::string UniqueMsxName(std::string_view name,
                          const std::vector<std::array<std::uint8_t, 11>>& taken) {
  auto isTaken = [&](std::string_view n) {
    const auto n11 = MakeMsxName(n);
    return std::find(taken.begin(), taken.end(), n11) != taken.end();
  };
  if (!isTaken(name)) return std::string(name);
  const auto dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  const std::string ext = dot == std::string_view::npos ? "" : std::string(name.substr(dot));
  for (int n = 1;; ++n) {
    const std::string tail = "~" + std::to_string(n);
    if (tail.size() > 8) return std::string(name);  // never: a directory holds fewer entries
    const std::string candidate =
        std::string(base.substr(0, std::min(base.size(), 8 - tail.size()))) + tail + ext;
    if (!isTaken(candidate)) return candidate;
  }
}

bool NeedsEntryName(const fs::path& hostPath) {
  if (IsValidMsxName(HostNameToMsx(hostPath.filename().string()))) return false;
  return HostFile(hostPath).error() == HostReadError::None;
}

namespace {

// ReadNewFile, with `read(host, limit)` reading the bytes of the open host file.
template <class Read>
AddOutcome ReadHostFile(const DiskImage& image, const fs::path& hostPath,
                        std::string_view entryName, NewFile& file, Read read) {
  if (!image.Usable()) return {AddStatus::NoImage, std::string(msg::kNoImageSelected)};
  auto readError = [&](HostReadError e) {
    AddOutcome out = e == HostReadError::NoMemory
                         ? AddOutcome{AddStatus::NoMemory, std::string(msg::kNoMemory)}
                         : AddOutcome{AddStatus::ReadError, std::string(msg::kHostReadError)};
    out.hostError = e;
    return out;
  };

  // One open gives the size, the kind, the permissions and the time; only a regular file opens.
  HostFile host(hostPath);
  if (host.error() != HostReadError::None) return readError(host.error());
  if (!IsValidMsxName(entryName)) return AddStatus::InvalidName;

  // Larger than the whole data area: no need to read it to know.
  const auto& g = image.geometry;
  const auto dataBytes = static_cast<std::uintmax_t>(std::max(0, g.dataClusters)) * g.clusterBytes;
  if (host.info().size > dataBytes) return {AddStatus::DiskFull, std::string(msg::kDiskFull)};
  file.name = std::string(entryName);
  const HostReadError e = read(host, dataBytes);
  if (e == HostReadError::TooLarge) return {AddStatus::DiskFull, std::string(msg::kDiskFull)};
  if (e != HostReadError::None) return readError(e);
  // Read-only is the host's missing write permission; every other host file is an archive.
  file.attribute = kAttrArchive;
  if ((host.info().mode & S_IWUSR) == 0) file.attribute |= kAttrReadOnly;
  file.modified = ToLocalDateTime(host.info().modified);
  return AddStatus::Added;
}

}  // namespace

AddOutcome ReadNewFile(const DiskImage& image, const fs::path& hostPath, std::string_view entryName,
                       NewFile& file) {
  return ReadHostFile(image, hostPath, entryName, file, [&file](HostFile& host, auto limit) {
    return host.ReadAll(limit, file.bytes);
  });
}

AddOutcome AddFile(DiskImage& image, DirRef dir, const fs::path& hostPath,
                   std::string_view entryName, ChangeGuard* guard) {
  if (auto refused = RefuseTarget(image)) return *refused;
  // The bytes go from the host file to a buffer the read fills and on into the clusters.
  NewFile file;
  ImageBytes data;
  const AddOutcome read = ReadHostFile(
      image, hostPath, entryName, file,
      [&data](HostFile& host, std::uintmax_t limit) { return host.ReadAll(limit, data); });
  if (read != AddStatus::Added) return read;
  return AddFileBytes(image, dir, file, Bytes(data.data(), data.size()), guard);
}

}  // namespace quarnel
