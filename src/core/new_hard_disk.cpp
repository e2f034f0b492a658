#include "core/new_hard_disk.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "core/boot_sector.h"
#include "core/messages.h"
#include "core/partition_store.h"
#include "core/partition_table.h"
#include "core/temp_file.h"

namespace quarnel {

namespace {

constexpr std::uint64_t kSector = kPartitionSectorBytes;
constexpr std::uint8_t kHardDiskMedia = 0xF0;
constexpr std::uint16_t kFat12RootEntries = 112;
constexpr std::uint16_t kFat16RootEntries = 512;
// The translation geometry of LBA disks, for the CHS fields nobody reads any more.
constexpr std::uint16_t kSectorsPerTrack = 63;
constexpr std::uint16_t kHeads = 255;
// FAT12 volumes that MSX-DOS 1 can still use keep their FAT within 3 sectors.
constexpr std::uint32_t kMostDos1Clusters = 1021;

std::string Mb(std::uint64_t sectors) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(sectors * kSector) / (1 << 20));
  return text;
}

// The FAT size and cluster count of a volume of `sectors` with the given cluster size: the FAT
// grows until it numbers every cluster the rest of the volume holds.
struct Fit {
  std::uint64_t fatSectors = 0;
  std::uint64_t clusters = 0;
};
std::optional<Fit> FitFat(std::uint64_t sectors, std::uint64_t spc, std::uint64_t rootSectors,
                          FatKind kind) {
  std::uint64_t fat = 1;
  for (;;) {
    const std::uint64_t system = 1 + 2 * fat + rootSectors;
    if (system + spc > sectors) return std::nullopt;  // not even one cluster
    const std::uint64_t clusters = (sectors - system) / spc;
    const std::uint64_t entryBytes =
        kind == FatKind::Fat12 ? ((clusters + 2) * 3 + 1) / 2 : (clusters + 2) * 2;
    const std::uint64_t need = (entryBytes + kSector - 1) / kSector;
    if (need <= fat) return Fit{fat, clusters};
    fat = need;
  }
}

// Sectors per cluster of a FAT16 volume by its size, as Nextor's partitioning tool has them.
std::uint64_t Fat16ClusterSectors(std::uint64_t bytes) {
  std::uint64_t spc = 4;
  for (std::uint64_t limit = 128ull << 20; bytes > limit && spc < 128; limit *= 2) spc *= 2;
  return spc;
}

std::optional<NewVolume> SizeVolume(std::uint64_t sectors, FatKind kind, std::string& why) {
  NewVolume v;
  v.sectors = sectors;
  v.kind = kind;
  const std::uint64_t bytes = sectors * kSector;
  std::optional<Fit> fit;
  std::uint64_t spc = 0;
  if (kind == FatKind::Fat12) {
    v.rootEntries = kFat12RootEntries;
    if (sectors > kMostFat12Sectors) {
      why = Mb(sectors) + " is too large for FAT12 (at most 65,535 sectors): use FAT16";
      return std::nullopt;
    }
    const std::uint64_t root = v.rootEntries * 32 / kSector;
    // Small volumes first try the cluster sizes that keep them usable under MSX-DOS 1.
    if (bytes <= kLargestDefaultFat12Bytes)
      for (std::uint64_t s = 4; s <= 32 && !fit; s *= 2) {
        auto f = FitFat(sectors, s, root, kind);
        if (f && f->clusters <= kMostDos1Clusters) {
          fit = f;
          spc = s;
        }
      }
    for (std::uint64_t s = 1; s <= 16 && !fit; s *= 2) {
      auto f = FitFat(sectors, s, root, kind);
      if (f && f->clusters <= static_cast<std::uint64_t>(kMostFat12Clusters)) {
        fit = f;
        spc = s;
      }
    }
    if (!fit) {
      why = Mb(sectors) +
            " is too large or too small for FAT12 (1 to 4,084 clusters of at most 16 sectors)";
      return std::nullopt;
    }
  } else {
    v.rootEntries = kFat16RootEntries;
    const std::uint64_t root = v.rootEntries * 32 / kSector;
    // FAT16 needs more clusters than FAT12 numbers: smaller clusters on small volumes; a volume
    // at the top of a size class may need the next cluster size to stay within FAT16's count.
    spc = Fat16ClusterSectors(bytes);
    for (fit = FitFat(sectors, spc, root, kind);
         fit && fit->clusters > static_cast<std::uint64_t>(kMostFat16Clusters) && spc < 128;
         fit = FitFat(sectors, spc, root, kind))
      spc *= 2;
    while (spc > 1 && (!fit || fit->clusters <= static_cast<std::uint64_t>(kMostFat12Clusters))) {
      spc /= 2;
      fit = FitFat(sectors, spc, root, kind);
    }
    if (!fit || fit->clusters <= static_cast<std::uint64_t>(kMostFat12Clusters)) {
      why = Mb(sectors) + " is too small for FAT16 (more than 4,084 clusters): use FAT12";
      return std::nullopt;
    }
    if (fit->clusters > static_cast<std::uint64_t>(kMostFat16Clusters)) {
      why = Mb(sectors) + " makes " + std::to_string(fit->clusters) + " clusters of " +
            std::to_string(spc * kSector / 1024) +
            " KB, more than FAT16's 65,524: make the partition smaller";
      return std::nullopt;
    }
  }
  v.sectorsPerCluster = static_cast<std::uint8_t>(spc);
  v.sectorsPerFat = static_cast<std::uint16_t>(fit->fatSectors);
  v.clusters = static_cast<std::uint32_t>(fit->clusters);
  v.type = kind == FatKind::Fat12         ? kTypeFat12
           : sectors <= kMostFat12Sectors ? kTypeFat16Small
                                          : kTypeFat16;
  return v;
}

// Cylinder, head and sector of `lba` in the 3 bytes of an entry (the largest when beyond).
void PutChs(std::uint8_t* at, std::uint64_t lba) {
  std::uint64_t c = lba / (kHeads * kSectorsPerTrack);
  std::uint64_t h = (lba / kSectorsPerTrack) % kHeads;
  std::uint64_t s = lba % kSectorsPerTrack + 1;
  if (c > 1023) {
    c = 1023;
    h = kHeads - 1;
    s = kSectorsPerTrack;
  }
  at[0] = static_cast<std::uint8_t>(h);
  at[1] = static_cast<std::uint8_t>(s | ((c >> 2) & 0xC0));
  at[2] = static_cast<std::uint8_t>(c & 0xFF);
}

// Entry `slot` of the record `sector` (bytes of one sector), placed at `record` in the image:
// `first` counts from `base`.
void PutEntry(std::vector<std::uint8_t>& sector, int slot, std::uint8_t flag, std::uint8_t type,
              std::uint64_t base, std::uint64_t first, std::uint64_t count) {
  const std::size_t at = 0x1BE + static_cast<std::size_t>(slot) * 16;
  sector[at] = flag;
  PutChs(&sector[at + 1], base + first);
  sector[at + 4] = type;
  PutChs(&sector[at + 5], base + first + count - 1);
  PutLe32(sector, at + 8, static_cast<std::uint32_t>(first));
  PutLe32(sector, at + 12, static_cast<std::uint32_t>(count));
  sector[510] = 0x55;
  sector[511] = 0xAA;
}

std::vector<std::uint8_t> VolumeBootSector(const NewVolume& v, std::uint32_t serial) {
  std::vector<std::uint8_t> s(kSector, 0);
  const auto tmpl = BootSectorTemplate();  // the jump and the OEM text of our images
  std::copy_n(tmpl.begin(), kBootOemOffset + kBootOemLength, s.begin());
  DiskGeometry g;
  g.bytesPerSector = static_cast<std::uint16_t>(kSector);
  g.sectorsPerCluster = v.sectorsPerCluster;
  g.reservedSectors = 1;
  g.fatCount = 2;
  g.rootEntries = v.rootEntries;
  g.totalSectors = v.sectors <= kMostFat12Sectors ? static_cast<std::uint16_t>(v.sectors) : 0;
  g.media = kHardDiskMedia;
  g.sectorsPerFat = v.sectorsPerFat;
  g.sectorsPerTrack = kSectorsPerTrack;
  g.sides = kHeads;
  BootSector bs = *BootSectorAt(s);
  PutGeometryFields(bs, g);
  bs.hiddenSectors.Set(0);
  bs.hiddenSectorsHigh.Set(0);
  bs.totalSectors32.Set(v.sectors <= kMostFat12Sectors ? 0 : static_cast<std::uint32_t>(v.sectors));
  bs.driveNumber = 0x80;
  bs.extendedMark = kExtendedBootMark;
  bs.volumeSerial.Set(serial);
  // No volume name: the root directory holds no volume entry either.
  std::copy_n("NO NAME    ", 11, bs.volumeLabel);
  std::copy_n(v.kind == FatKind::Fat12 ? "FAT12   " : "FAT16   ", 8, bs.fileSystem);
  PutBootSector(s, bs, true);
  s[510] = 0x55;
  s[511] = 0xAA;
  return s;
}

}  // namespace

std::optional<std::uint64_t> ParseSizeText(std::string_view text) {
  std::uint64_t value = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value > (~0ull - 9) / 10) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  if (i == 0) return std::nullopt;
  std::string_view unit = text.substr(i);
  if (!unit.empty() && (unit.back() == 'B' || unit.back() == 'b') && unit.size() == 2)
    unit.remove_suffix(1);
  int shift = 0;
  if (unit == "K" || unit == "k")
    shift = 10;
  else if (unit == "M" || unit == "m")
    shift = 20;
  else if (unit == "G" || unit == "g")
    shift = 30;
  else if (!unit.empty())
    return std::nullopt;
  if (value == 0 || value > (~0ull >> shift)) return std::nullopt;
  return value << shift;
}

HardDiskPlan PlanHardDisk(std::uint64_t imageBytes,
                          const std::vector<std::uint64_t>& partitionBytes, FatChoice fat) {
  HardDiskPlan plan;
  HardDiskLayout layout;
  layout.sectors = imageBytes / kSector;
  if (layout.sectors < 2) {
    plan.message = "an image of " + std::to_string(imageBytes) + " bytes holds no partition";
    return plan;
  }
  // The entries of a boot record count sectors in 32 bits.
  if (layout.sectors > 0xFFFFFFFFull) {
    plan.message = "an image of more than 2 TB: a partition table addresses at most 2 TB";
    return plan;
  }
  std::vector<std::uint64_t> sizes;
  for (std::uint64_t b : partitionBytes) sizes.push_back(b / kSector);
  if (sizes.empty()) sizes.push_back(layout.sectors - 1);
  if (sizes.size() > kMostNewPartitions) {
    plan.message = "at most " + std::to_string(kMostNewPartitions) + " partitions";
    return plan;
  }
  // The boot records take a sector each: the MBR, and an EBR before every partition but the
  // first. Sizes that add up to the image leave no room for them, so the last partition gives
  // up what they need; sizes that add up to more than the image do not fit.
  if (!partitionBytes.empty()) {
    std::uint64_t named = 0;
    for (std::uint64_t s : sizes) named += s;
    const std::uint64_t records = sizes.size();
    if (named <= layout.sectors && named + records > layout.sectors &&
        sizes.back() > named + records - layout.sectors) {
      const std::uint64_t less = named + records - layout.sectors;
      sizes.back() -= less;
      plan.note = "partition " + std::to_string(sizes.size()) + " is " + std::to_string(less) +
                  (less == 1 ? " sector" : " sectors") + " (" + SizeText(less * kSector) +
                  ") smaller than asked: the partition table takes " + std::to_string(records) +
                  (records == 1 ? " sector" : " sectors") + " of the image";
    }
  }
  std::uint64_t next = 1;  // partition 1 right behind the MBR
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const std::string name = "partition " + std::to_string(i + 1) + ": ";
    if (sizes[i] * kSector > kMostPartitionBytes) {
      plan.message = name + Mb(sizes[i]) + " is more than a partition holds (4 GB)" +
                     (partitionBytes.empty() ? ": name smaller ones with --partitions" : "");
      return plan;
    }
    if (i > 0) layout.extendedRecords.push_back(next++);  // its EBR in the sector before it
    if (sizes[i] == 0 || next + sizes[i] > layout.sectors) {
      plan.message = sizes[i] == 0
                         ? name + "a size of less than one sector"
                         : name + "does not fit in the image (" + std::to_string(layout.sectors) +
                               " sectors; " + std::to_string(next + sizes[i]) + " needed so far)";
      return plan;
    }
    const FatKind kind = fat == FatChoice::Fat12                           ? FatKind::Fat12
                         : fat == FatChoice::Fat16                         ? FatKind::Fat16
                         : sizes[i] * kSector <= kLargestDefaultFat12Bytes ? FatKind::Fat12
                                                                           : FatKind::Fat16;
    std::string why;
    auto v = SizeVolume(sizes[i], kind, why);
    if (!v) {
      plan.message = name + why;
      return plan;
    }
    v->firstSector = next;
    layout.volumes.push_back(*v);
    next += sizes[i];
  }
  plan.layout = std::move(layout);
  return plan;
}

std::vector<ImagePiece> HardDiskPieces(const HardDiskLayout& layout, std::uint32_t volumeSerial) {
  std::vector<ImagePiece> pieces;
  const auto& vols = layout.volumes;
  // The MBR: the Nextor mark, partition 1, and the link to the first EBR.
  std::vector<std::uint8_t> mbr(kSector, 0);
  const auto tmpl = BootSectorTemplate();
  std::copy_n(tmpl.begin(), 3, mbr.begin());
  std::copy_n("NEXTOR20", 8, mbr.begin() + 3);
  PutEntry(mbr, 0, 0x80, vols[0].type, 0, vols[0].firstSector, vols[0].sectors);
  if (vols.size() > 1) {
    const std::uint64_t outer = layout.extendedRecords[0];
    const NewVolume& last = vols.back();
    PutEntry(mbr, 1, 0, kTypeExtended, 0, outer, last.firstSector + last.sectors - outer);
  }
  pieces.push_back({0, std::move(mbr)});
  // Each EBR: its partition counted from itself, the next EBR from the outermost one.
  for (std::size_t i = 1; i < vols.size(); ++i) {
    const std::uint64_t outer = layout.extendedRecords[0];
    const std::uint64_t record = layout.extendedRecords[i - 1];
    std::vector<std::uint8_t> ebr(kSector, 0);
    PutEntry(ebr, 0, 0, vols[i].type, record, vols[i].firstSector - record, vols[i].sectors);
    if (i + 1 < vols.size()) {
      const std::uint64_t nextRecord = layout.extendedRecords[i];
      PutEntry(ebr, 1, 0, kTypeExtended, outer, nextRecord - outer, vols[i + 1].sectors + 1);
    }
    pieces.push_back({record * kSector, std::move(ebr)});
  }
  // Each volume: boot sector and the reserved entries of both FATs.
  for (std::size_t i = 0; i < vols.size(); ++i) {
    const NewVolume& v = vols[i];
    const std::uint64_t base = v.firstSector * kSector;
    pieces.push_back({base, VolumeBootSector(v, volumeSerial + static_cast<std::uint32_t>(i))});
    std::vector<std::uint8_t> fat(kSector, 0);
    fat[0] = kHardDiskMedia;
    fat[1] = fat[2] = 0xFF;
    if (v.kind == FatKind::Fat16) fat[3] = 0xFF;
    for (std::uint64_t copy = 0; copy < 2; ++copy)
      pieces.push_back({base + (1 + copy * v.sectorsPerFat) * kSector, fat});
  }
  return pieces;
}

NewImageOutcome WriteHardDisk(const HardDiskLayout& layout, const std::filesystem::path& path,
                              std::uint32_t volumeSerial) {
  const NewImageOutcome failed{NewImageStatus::CannotWrite,
                               std::string(msg::kCannotWriteFile) + path.string()};
  TempFile tmp(path);
  if (!tmp.ok()) return failed;
  if (::ftruncate(tmp.fd(), static_cast<off_t>(layout.sectors * kSector)) != 0) return failed;
  for (const ImagePiece& piece : HardDiskPieces(layout, volumeSerial)) {
    std::size_t done = 0;
    while (done < piece.bytes.size()) {
      const ssize_t n = ::pwrite(tmp.fd(), piece.bytes.data() + done, piece.bytes.size() - done,
                                 static_cast<off_t>(piece.offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return failed;
      done += static_cast<std::size_t>(n);
    }
  }
  if (::fsync(tmp.fd()) != 0 || !tmp.Name()) return failed;
  std::error_code ec;
  std::filesystem::rename(tmp.path(), path, ec);
  if (ec) return failed;
  tmp.Renamed();
  return NewImageStatus::Written;
}

}  // namespace quarnel
