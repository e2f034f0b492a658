#include "core/partition_table.h"

#include <algorithm>
#include <optional>
#include <set>

#include "core/geometry.h"

namespace quarnel {

namespace {

constexpr std::size_t kEntriesOffset = 0x1BE;
constexpr std::size_t kEntryBytes = 16;
constexpr std::size_t kSignatureOffset = 510;
constexpr std::string_view kNextorText = "NEXTOR20";
constexpr std::string_view kSunriseText = "MSX_IDE ";
constexpr std::size_t kSunriseEntriesOffset = 14;
constexpr int kSunriseSlots = 31;

// One 16-byte entry: +0 boot flag, +4 type, +8 first sector, +12 sector count.
struct Entry {
  std::uint8_t flag = 0;
  std::uint8_t type = 0;
  std::uint32_t first = 0;
  std::uint32_t count = 0;
};

Entry EntryAt(Bytes sector, std::size_t offset) {
  Entry e;
  e.flag = U8At(sector, offset).value_or(0);
  e.type = U8At(sector, offset + 4).value_or(0);
  e.first = Le32At(sector, offset + 8).value_or(0);
  e.count = Le32At(sector, offset + 12).value_or(0);
  return e;
}

Entry MbrEntry(Bytes sector, int index) {
  return EntryAt(sector, kEntriesOffset + static_cast<std::size_t>(index) * kEntryBytes);
}

bool HasSignature(Bytes sector) {
  return sector.size() >= 512 && sector[kSignatureOffset] == 0x55 &&
         sector[kSignatureOffset + 1] == 0xAA;
}

// EB FE 90 followed by `text`.
bool StartsWithMark(Bytes sector, std::string_view text) {
  if (sector.size() < 3 + text.size()) return false;
  if (sector[0] != 0xEB || sector[1] != 0xFE || sector[2] != 0x90) return false;
  return std::equal(text.begin(), text.end(), sector.begin() + 3);
}

// Four entries that are entries: boot flags 00 or 80, at least one type set.
bool LooksLikeMbr(Bytes sector) {
  if (!HasSignature(sector)) return false;
  bool used = false;
  for (int i = 0; i < 4; ++i) {
    const Entry e = MbrEntry(sector, i);
    if (e.flag != 0x00 && e.flag != 0x80) return false;
    used = used || e.type != 0;
  }
  return used;
}

std::string SectorText(std::uint64_t s) { return "sector " + std::to_string(s); }

class TableReader {
 public:
  TableReader(const SectorStore& store, PartitionTable& out)
      : store_(store), out_(out), imageSectors_(store.Size() / kPartitionSectorBytes) {}

  std::optional<Bytes> Sector(std::uint64_t s) const {
    return store_.Read(s * kPartitionSectorBytes, kPartitionSectorBytes);
  }

  void ReadMbr(Bytes mbr) {
    tableSectors_.push_back(0);
    visited_.insert(0);
    for (int i = 0; i < 4; ++i) {
      const Entry e = MbrEntry(mbr, i);
      if (e.type == 0) continue;
      if (IsExtendedType(e.type))
        ReadChain(e.first);
      else
        Add(e, e.first, ++number_);
    }
  }

  void ReadSunrise(Bytes table) {
    tableSectors_.push_back(0);
    for (int p = 1; p <= kSunriseSlots; ++p) {
      const Entry e = EntryAt(
          table, kSunriseEntriesOffset + static_cast<std::size_t>(kSunriseSlots - p) * kEntryBytes);
      if (e.first == 0) continue;  // an unused slot
      Add(e, e.first, p);
    }
  }

  // Marks what must not be written: partitions that overlap each other or a table sector.
  void CheckOverlaps() {
    auto& parts = out_.partitions;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      Partition& a = parts[i];
      if (a.usableSectors == 0) continue;
      const std::uint64_t aEnd = a.firstSector + a.usableSectors;
      for (std::size_t j = i + 1; j < parts.size(); ++j) {
        Partition& b = parts[j];
        if (b.usableSectors == 0) continue;
        const std::uint64_t bEnd = b.firstSector + b.usableSectors;
        if (a.firstSector >= bEnd || b.firstSector >= aEnd) continue;
        const std::uint64_t from = std::max(a.firstSector, b.firstSector);
        const std::uint64_t to = std::min(aEnd, bEnd) - 1;
        out_.findings.push_back("partitions " + std::to_string(a.number) + " and " +
                                std::to_string(b.number) + " overlap (sectors " +
                                std::to_string(from) + "-" + std::to_string(to) + ")");
        Refuse(a.writeRefusal, "it overlaps partition " + std::to_string(b.number));
        Refuse(b.writeRefusal, "it overlaps partition " + std::to_string(a.number));
      }
      for (std::uint64_t t : tableSectors_) {
        if (t < a.firstSector || t >= aEnd) continue;
        out_.findings.push_back("partition " + std::to_string(a.number) +
                                " covers the partition table at " + SectorText(t));
        Refuse(a.writeRefusal, "it covers the partition table at " + SectorText(t));
        break;
      }
    }
  }

 private:
  static void Refuse(std::string& reason, const std::string& why) {
    if (reason.empty()) reason = why;
  }

  void Add(const Entry& e, std::uint64_t first, int number) {
    Partition p;
    p.number = number;
    p.type = e.type;
    p.active = e.flag == 0x80;
    p.firstSector = first;
    p.sectors = e.count;
    const std::string name = "partition " + std::to_string(number);
    if (e.count == 0) {
      p.refusal = "it holds no sector (its size is 0)";
      out_.findings.push_back(name + " holds no sector (its size is 0)");
    } else if (first >= imageSectors_) {
      p.refusal = "it starts at " + SectorText(first) + ", past the end of the image";
      out_.findings.push_back(name + " starts at " + SectorText(first) +
                              ", past the end of the image (" + std::to_string(imageSectors_) +
                              " sectors)");
    } else {
      p.usableSectors = std::min<std::uint64_t>(e.count, imageSectors_ - first);
      if (p.usableSectors < e.count)
        out_.findings.push_back(
            name + " runs past the end of the image: " + std::to_string(e.count) +
            " sectors in its entry, " + std::to_string(p.usableSectors) + " in the image");
    }
    out_.partitions.push_back(std::move(p));
  }

  // The logical partitions of the extended partition at `outer`: each record's entry 0 counts
  // from that record, the link in entry 1 from the outermost record.
  void ReadChain(std::uint64_t outer) {
    std::uint64_t record = outer;
    for (int step = 0;; ++step) {
      if (step == kMostChainedRecords) {
        out_.findings.push_back("the chain of extended boot records is longer than " +
                                std::to_string(kMostChainedRecords) + " records: cut there");
        return;
      }
      if (!visited_.insert(record).second) {
        out_.findings.push_back("the chain of extended boot records loops back to " +
                                SectorText(record) + ": cut there");
        return;
      }
      const std::optional<Bytes> sector = Sector(record);
      if (!sector) {
        out_.findings.push_back("the extended boot record at " + SectorText(record) +
                                " lies past the end of the image");
        return;
      }
      if (!HasSignature(*sector)) {
        out_.findings.push_back("the extended boot record at " + SectorText(record) +
                                " lacks the 55 AA mark: the chain ends there");
        return;
      }
      tableSectors_.push_back(record);
      const Entry part = MbrEntry(*sector, 0);
      if (part.type != 0) Add(part, record + part.first, ++number_);
      const Entry link = MbrEntry(*sector, 1);
      if (!IsExtendedType(link.type) || link.first == 0) return;
      record = outer + link.first;
    }
  }

  const SectorStore& store_;
  PartitionTable& out_;
  std::uint64_t imageSectors_;
  int number_ = 0;
  std::set<std::uint64_t> visited_;
  std::vector<std::uint64_t> tableSectors_;
};

}  // namespace

std::string_view SchemeName(PartitionScheme scheme) {
  switch (scheme) {
    case PartitionScheme::Nextor:
      return "Nextor";
    case PartitionScheme::StandardMbr:
      return "MBR";
    case PartitionScheme::SunriseIde:
      return "Sunrise IDE";
    case PartitionScheme::None:
      break;
  }
  return "none";
}

std::string_view PartitionTypeName(std::uint8_t type) {
  switch (type) {
    case 0x00:
      return "empty";
    case kTypeFat12:
      return "FAT12";
    case kTypeFat16Small:
      return "FAT16 <32M";
    case kTypeExtended:
      return "extended";
    case kTypeFat16:
      return "FAT16";
    case 0x07:
      return "NTFS/exFAT";
    case 0x0B:
      return "FAT32";
    case 0x0C:
      return "FAT32 LBA";
    case kTypeFat16Lba:
      return "FAT16 LBA";
    case kTypeExtendedLba:
      return "extended LBA";
    case 0x82:
      return "Linux swap";
    case 0x83:
      return "Linux";
    case 0xEE:
      return "GPT";
    default:
      return "unknown";
  }
}

bool IsFatVolumeType(std::uint8_t type) {
  return type == kTypeFat12 || type == kTypeFat16Small || type == kTypeFat16 ||
         type == kTypeFat16Lba;
}

bool IsExtendedType(std::uint8_t type) { return type == kTypeExtended || type == kTypeExtendedLba; }

const Partition* PartitionTable::Find(int number) const {
  for (const auto& p : partitions)
    if (p.number == number) return &p;
  return nullptr;
}

PartitionTable ReadPartitionTable(const SectorStore& store) {
  PartitionTable out;
  TableReader reader(store, out);
  const std::optional<Bytes> first = reader.Sector(0);
  if (!first) return out;  // shorter than a sector: no table
  if (StartsWithMark(*first, kSunriseText)) {
    out.scheme = PartitionScheme::SunriseIde;
    reader.ReadSunrise(*first);
  } else if (ReadGeometry(*first, store.Size()).Usable() || !LooksLikeMbr(*first)) {
    return out;  // a volume's boot sector, or nothing we know
  } else {
    out.scheme = StartsWithMark(*first, kNextorText) ? PartitionScheme::Nextor
                                                     : PartitionScheme::StandardMbr;
    reader.ReadMbr(*first);
  }
  reader.CheckOverlaps();
  return out;
}

}  // namespace quarnel
