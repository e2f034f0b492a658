#include "core/partition_store.h"

#include <cstdio>
#include <utility>

#include "core/host_file.h"

namespace quarnel {

PartitionStore::PartitionStore(std::unique_ptr<SectorStore> base, std::uint64_t offset,
                               std::uint64_t length, bool writable)
    : base_(std::move(base)), offset_(offset), writable_(writable) {
  const std::uint64_t size = base_ ? base_->Size() : 0;
  offset_ = std::min(offset, size);
  length_ = std::min(length, size - offset_);
}

std::optional<Bytes> PartitionStore::Read(std::uint64_t offset, std::size_t length) const {
  if (!Inside(offset, length)) return std::nullopt;
  return base_->Read(offset_ + offset, length);
}

bool PartitionStore::Write(std::uint64_t offset, Bytes data) {
  if (!writable_ || !Inside(offset, data.size())) return false;
  return base_->Write(offset_ + offset, data);
}

std::unique_ptr<SectorStore> PartitionStore::Clone() const {
  auto copy = base_->Clone();
  if (!copy) return nullptr;
  return std::make_unique<PartitionStore>(std::move(copy), offset_, length_, writable_);
}

std::vector<std::uint64_t> PartitionStore::StagedSectors() const {
  const std::uint64_t first = offset_ / kStagedSectorBytes;
  const std::uint64_t count = (length_ + kStagedSectorBytes - 1) / kStagedSectorBytes;
  std::vector<std::uint64_t> out;
  for (std::uint64_t s : base_->StagedSectors())
    if (s >= first && s - first < count) out.push_back(s - first);
  return out;
}

std::optional<std::vector<std::uint8_t>> PartitionStore::ReadCommitted(std::uint64_t offset,
                                                                       std::size_t length) const {
  if (!Inside(offset, length)) return std::nullopt;
  return base_->ReadCommitted(offset_ + offset, length);
}

bool PartitionStore::Commit(const std::vector<std::uint64_t>& order) {
  if (!writable_) return false;
  const std::uint64_t first = offset_ / kStagedSectorBytes;
  std::vector<std::uint64_t> shifted;
  shifted.reserve(order.size());
  for (std::uint64_t s : order) shifted.push_back(s + first);
  return base_->Commit(shifted);
}

std::string SizeText(std::uint64_t bytes) {
  static constexpr const char* kUnits[] = {"bytes", "KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes);
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  if (unit == 0) return std::to_string(bytes) + " bytes";
  char text[32];
  // Whole numbers without decimals; others with one, rounded to the nearest tenth.
  const double tenths = static_cast<double>(static_cast<std::uint64_t>(value * 10 + 0.5)) / 10;
  if (tenths == static_cast<double>(static_cast<std::uint64_t>(tenths)))
    std::snprintf(text, sizeof text, "%llu %s", static_cast<unsigned long long>(tenths),
                  kUnits[unit]);
  else
    std::snprintf(text, sizeof text, "%.1f %s", tenths, kUnits[unit]);
  return text;
}

std::string PartitionList(const PartitionTable& table) {
  std::string out;
  for (const auto& p : table.partitions) {
    if (!out.empty()) out += ", ";
    out += std::to_string(p.number) + " (" + std::string(PartitionTypeName(p.type)) + ", " +
           SizeText(p.Length()) + ")";
  }
  return out.empty() ? "no partition" : out;
}

std::unique_ptr<FileStore> OpenImageFileStore(const std::string& path, bool writable, bool staged) {
  return FileStore::Open(path, writable, staged);
}

PartitionOpening OpenPartitionStore(const std::string& path, int number, bool writable) {
  PartitionOpening out;
  // A volume in the partition is saved in place: its writes are held until the save.
  auto file = OpenImageFileStore(path, writable, true);
  if (!file) {
    // A FIFO, a device or a folder is named for what it is.
    const HostReadError kind = HostFile(path).error();
    out.message = IsOtherKind(kind)
                      ? DescribeHostReadError(path, kind, 0)
                      : path + ": cannot be opened" + (writable ? " for writing" : "");
    return out;
  }
  out.table = ReadPartitionTable(*file);
  if (!out.table.Partitioned()) {
    out.message = path + " holds no partition table";
    return out;
  }
  const Partition* p = out.table.Find(number);
  if (!p) {
    out.message = path + " has no partition " + std::to_string(number) +
                  "; it holds: " + PartitionList(out.table);
    return out;
  }
  out.partition = *p;
  const std::string name = "partition " + std::to_string(number);
  char type[8];
  std::snprintf(type, sizeof type, "%02X", p->type);
  if (!p->IsFatVolume()) {
    out.message = name + " is of type " + type + " (" + std::string(PartitionTypeName(p->type)) +
                  "): not a FAT12 or FAT16 volume";
  } else if (!p->refusal.empty()) {
    out.message = name + " cannot be opened: " + p->refusal;
  } else if (writable && !p->writeRefusal.empty()) {
    out.message = name + " cannot be changed: " + p->writeRefusal;
  } else {
    out.store =
        std::make_unique<PartitionStore>(std::move(file), p->Offset(), p->Length(), writable);
  }
  return out;
}

}  // namespace quarnel
