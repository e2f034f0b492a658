// A volume: its bytes, read through a sector store, and the layout they are read by.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/boot_sector.h"
#include "core/bytes.h"
#include "core/dir_entry.h"
#include "core/geometry.h"
#include "core/sector_store.h"

namespace quarnel {

// Image sizes (bytes) of the standard MSX floppies; others load after a warning.
inline constexpr std::int32_t kStandardImageSizes[] = {163840, 184320, 327680, 368640,
                                                       655360, 737280, 1474560};
inline constexpr std::int32_t kSmallestImageSize = 163840;
inline constexpr std::int32_t kLargestImageSize = static_cast<std::int32_t>(kLargestFloppyBytes);
// The largest volume held whole in memory and saved by replacing its file (a 2.88 MB floppy); a
// larger one is read and written in place.
inline constexpr std::uint64_t kLargestWholeImage = 2949120;
// Sees each write to a volume before it is made (a change being recorded keeps the bytes the
// write replaces).
class WriteWatch {
 public:
  virtual void BeforeWrite(std::uint64_t offset, std::size_t length) = 0;

 protected:
  ~WriteWatch() = default;
};

// A volume: its bytes in a sector store, the layout they are read by, and how its load went.
// A default-made image holds nothing. Every byte goes through the bounded accessors; only the
// whole-buffer store gives its buffer out (Memory), for the atomic save and the tools that show a
// whole floppy.
class DiskImage {
 public:
  DiskImage() = default;
  // The whole image in memory, read by `geometry`; `zeros`: blocks known to hold only zeros.
  explicit DiskImage(ImageBytes bytes, const DiskGeometry& geometry = {}, ZeroBlocks zeros = {});
  // The volume in `store`, read by `geometry`.
  DiskImage(std::unique_ptr<SectorStore> store, const DiskGeometry& geometry);
  DiskImage(const DiskImage& other);
  DiskImage& operator=(const DiskImage& other);
  DiskImage(DiskImage&&) noexcept = default;
  DiskImage& operator=(DiskImage&&) noexcept = default;

  bool loadFailed = false;      // refused for its size, a read error or its sector size
  bool bootError = false;       // boot sector refused: bytes kept, nothing listed or read
  std::string bootErrorDetail;  // which field was refused and why (for a second message line)
  DiskGeometry geometry;        // the layout the bytes are read by

  // The bytes of the volume (0 when none is held).
  std::uint64_t Size() const { return store_ ? store_->Size() : 0; }
  bool Empty() const { return Size() == 0; }
  // An image whose directories and files may be read.
  bool Usable() const { return !loadFailed && !bootError && !Empty(); }

  // `length` bytes from `offset`; nullopt unless the range lies inside the volume and reads.
  // The span stays valid while the image lives and shows later writes.
  std::optional<Bytes> Read(std::uint64_t offset, std::size_t length) const {
    if (!store_) return std::nullopt;
    return store_->Read(offset, length);
  }
  // The byte at `offset`; nullopt outside the volume.
  std::optional<std::uint8_t> ByteAt(std::uint64_t offset) const {
    auto b = Read(offset, 1);
    return b ? std::optional<std::uint8_t>((*b)[0]) : std::nullopt;
  }
  // Writes `data` at `offset`; false (nothing written) when it does not lie inside the volume.
  bool Write(std::uint64_t offset, Bytes data) {
    if (watch_ && store_) watch_->BeforeWrite(offset, data.size());
    return store_ && store_->Write(offset, data);
  }
  bool PutByte(std::uint64_t offset, std::uint8_t value) { return Write(offset, Bytes(&value, 1)); }
  // Sets `length` bytes from `offset` to `value`; false (nothing written) outside the volume.
  bool Fill(std::uint64_t offset, std::uint64_t length, std::uint8_t value);
  // Copies `length` bytes from `from` to `to` (the ranges may overlap); false when either does
  // not lie inside the volume.
  bool CopyWithin(std::uint64_t from, std::uint64_t to, std::uint64_t length);
  // The directory entry at `offset`; nullopt when it does not lie inside the volume.
  std::optional<DirEntry> EntryAt(std::uint64_t offset) const;
  // Whether `other` holds the same bytes. Two volumes over one file compare by what either has
  // written since it was read, never by reading the whole file.
  bool SameBytes(const DiskImage& other) const;

  // The whole buffer of an image held in memory (empty for an image read from a file in place).
  const ImageBytes& Memory() const;
  Bytes View() const { return Bytes(Memory().data(), Memory().size()); }
  // The blocks of that buffer known to hold only zeros without looking (nullptr: none).
  const ZeroBlocks* KnownZeros() const { return store_ ? store_->KnownZeros() : nullptr; }
  MutableBytes MutableView();

  // The store (nullptr when none is held).
  const SectorStore* Store() const { return store_.get(); }
  SectorStore* MutableStore() { return store_.get(); }
  // Every write through Write (Fill, CopyWithin) is shown to `watch` first; nullptr for none.
  // A copy of the image is watched by nobody.
  void SetWriteWatch(WriteWatch* watch) { watch_ = watch; }

 private:
  std::unique_ptr<SectorStore> store_;
  WriteWatch* watch_ = nullptr;
  ImageBytes none_;  // what Memory gives when no buffer is held
};

}  // namespace quarnel
