#include "core/partition_volume.h"

#include "core/dir_entry.h"
#include "core/messages.h"
#include "core/msx_name.h"

namespace quarnel {

namespace {

std::string FaultText(const GeometryReading& read) {
  std::string text;
  switch (read.fault) {
    case GeometryFault::None:
      return {};
    case GeometryFault::NoBootSector:
    case GeometryFault::ZeroField:
      text = msg::kBootSectorError;
      break;
    case GeometryFault::SectorTooBig:
      text = msg::kSectorTooBig;
      break;
    case GeometryFault::DiskLarger:
      text = msg::kDiskSmallerThanGeometry;
      break;
    case GeometryFault::SystemOutside:
      text = msg::kSystemAreaOutside;
      break;
    case GeometryFault::TooManyClusters:
      text = "more clusters than FAT16 can number";
      break;
  }
  if (!read.detail.empty()) text += " (" + read.detail + ")";
  return text;
}

// The name of the first volume entry of the root directory.
std::string RootLabel(const SectorStore& volume, const DiskGeometry& g) {
  const std::size_t bytes = static_cast<std::size_t>(g.rootEntries) * kDirEntrySize;
  const std::optional<Bytes> root = volume.Read(g.rootOffset, bytes);
  if (!root) return {};
  for (std::size_t off = 0; off + kDirEntrySize <= root->size(); off += kDirEntrySize) {
    const DirEntry e = *DirEntryAt(*root, off);
    if (IsFreeSlot(e.name[0]) || IsLongNameAttribute(e.attribute)) continue;
    if (!(e.attribute & kAttrVolume)) continue;
    std::string s(reinterpret_cast<const char*>(e.name), 11);
    s[0] = static_cast<char>(ReadFirstByte(e.name[0]));
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }
  return {};
}

}  // namespace

std::string_view FatKindName(FatKind kind) { return kind == FatKind::Fat16 ? "FAT16" : "FAT12"; }

PartitionVolume ReadPartitionVolume(const SectorStore& volume, const Partition& p) {
  PartitionVolume out;
  if (!p.IsFatVolume()) {
    out.fault = "not a FAT12 or FAT16 volume";
    return out;
  }
  if (!p.refusal.empty()) {
    out.fault = p.refusal;
    return out;
  }
  const std::optional<Bytes> boot =
      volume.Read(0, static_cast<std::size_t>(std::min<std::uint64_t>(volume.Size(), 512)));
  const GeometryReading read = ReadGeometry(boot.value_or(Bytes()), volume.Size());
  out.fault = FaultText(read);
  if (!read.Usable()) return out;
  const DiskGeometry& g = read.geometry;
  out.readable = true;
  out.fatKind = g.fatKind;
  out.clusters = g.dataClusters;
  out.bytes = g.DiskBytes();
  out.label = RootLabel(volume, g);
  const bool typeSays16 = p.type != kTypeFat12;
  if (typeSays16 != (g.fatKind == FatKind::Fat16))
    out.note = "type " + std::string(PartitionTypeName(p.type)) + " but " +
               std::to_string(g.dataClusters) + " clusters make it " +
               std::string(FatKindName(g.fatKind));
  return out;
}

}  // namespace quarnel
