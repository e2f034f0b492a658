// One partition of an image as a store of its own: a window [offset, offset + length) of the
// image's store. Offsets count from the start of the partition, and nothing outside the window
// can be read or written through it, so a volume opened in a partition never touches the table
// or the partitions around it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/partition_table.h"
#include "core/sector_store.h"

namespace quarnel {

class PartitionStore final : public SectorStore {
 public:
  // The window of `base` from `offset`, `length` bytes long (cut at the end of `base`). With
  // `writable` false every write is refused.
  PartitionStore(std::unique_ptr<SectorStore> base, std::uint64_t offset, std::uint64_t length,
                 bool writable = true);

  std::uint64_t Size() const override { return length_; }
  std::optional<Bytes> Read(std::uint64_t offset, std::size_t length) const override;
  // Refused whole (nothing written) when any byte of it lies outside the window.
  bool Write(std::uint64_t offset, Bytes data) override;
  std::unique_ptr<SectorStore> Clone() const override;

  // Staging passes through to the image's store, in sectors counted from the partition's start
  // (a partition starts on a sector boundary). A sector staged outside the window is not the
  // partition's and is never committed through it.
  std::string FilePath() const override { return base_->FilePath(); }
  std::uint64_t FileOffset() const override { return base_->FileOffset() + offset_; }
  std::vector<std::uint64_t> StagedSectors() const override;
  std::optional<std::vector<std::uint8_t>> ReadCommitted(std::uint64_t offset,
                                                         std::size_t length) const override;
  bool Commit(const std::vector<std::uint64_t>& order) override;

  // Where the window lies in the image.
  std::uint64_t Offset() const { return offset_; }

 private:
  bool Inside(std::uint64_t offset, std::uint64_t length) const {
    return offset <= length_ && length_ - offset >= length;
  }

  std::unique_ptr<SectorStore> base_;
  std::uint64_t offset_ = 0;
  std::uint64_t length_ = 0;
  bool writable_ = true;
};

// A partition of an image file opened as a store, or why it cannot be.
struct PartitionOpening {
  std::unique_ptr<PartitionStore> store;  // null when refused
  Partition partition;                    // the partition opened (or asked for, when found)
  PartitionTable table;
  std::string message;  // why it was refused; empty when opened
};

// The image file at `path` as a store; nullptr when it is no regular file or cannot be opened.
// With `staged`, what is written is held until Commit (a volume saved in place).
std::unique_ptr<FileStore> OpenImageFileStore(const std::string& path, bool writable = false,
                                              bool staged = false);

// Opens partition `number` of the image at `path` for reading (and writing with `writable`).
// Refused, with the reason in words, when the file cannot be opened, holds no partition table
// or no partition of that number, or the partition is no FAT volume, lies outside the image
// or (for writing) overlaps another partition or the table.
PartitionOpening OpenPartitionStore(const std::string& path, int number, bool writable);

// "1 (FAT12, 32 MB), 2 (FAT16, 64 MB)": the partitions of a table, for a message that asks
// for one of them.
std::string PartitionList(const PartitionTable& table);

// A size in bytes as people read it: "512 KB", "32 MB", "1.5 GB" (binary units).
std::string SizeText(std::uint64_t bytes);

}  // namespace quarnel
