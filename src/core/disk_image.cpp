#include "core/disk_image.h"

#include <algorithm>
#include <vector>

namespace quarnel {

DiskImage::DiskImage(ImageBytes bytes, const DiskGeometry& layout, ZeroBlocks zeros)
    : geometry(layout), store_(std::make_unique<MemoryStore>(std::move(bytes), std::move(zeros))) {}

DiskImage::DiskImage(std::unique_ptr<SectorStore> store, const DiskGeometry& layout)
    : geometry(layout), store_(std::move(store)) {}

DiskImage::DiskImage(const DiskImage& other)
    : loadFailed(other.loadFailed),
      bootError(other.bootError),
      bootErrorDetail(other.bootErrorDetail),
      geometry(other.geometry),
      store_(other.store_ ? other.store_->Clone() : nullptr) {}

DiskImage& DiskImage::operator=(const DiskImage& other) {
  if (this != &other) *this = DiskImage(other);
  return *this;
}

bool DiskImage::Fill(std::uint64_t offset, std::uint64_t length, std::uint8_t value) {
  if (offset > Size() || Size() - offset < length) return false;
  const std::vector<std::uint8_t> run(
      static_cast<std::size_t>(std::min<std::uint64_t>(length, 65536)), value);
  for (std::uint64_t done = 0; done < length; done += run.size()) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(run.size(), length - done));
    if (!Write(offset + done, Bytes(run.data(), n))) return false;
  }
  return true;
}

bool DiskImage::CopyWithin(std::uint64_t from, std::uint64_t to, std::uint64_t length) {
  if (from > Size() || Size() - from < length || to > Size() || Size() - to < length) return false;
  // In pieces, each read before it is written: a span into the store shows later writes.
  constexpr std::uint64_t kPiece = 65536;
  const bool backwards = to > from;
  for (std::uint64_t done = 0; done < length; done += kPiece) {
    const std::uint64_t n = std::min(kPiece, length - done);
    const std::uint64_t at = backwards ? length - done - n : done;
    const auto piece = Read(from + at, static_cast<std::size_t>(n));
    if (!piece) return false;
    const std::vector<std::uint8_t> held(piece->begin(), piece->end());
    if (!Write(to + at, Bytes(held.data(), held.size()))) return false;
  }
  return true;
}

std::optional<DirEntry> DiskImage::EntryAt(std::uint64_t offset) const {
  const auto bytes = Read(offset, sizeof(DirEntry));
  if (!bytes) return std::nullopt;
  return DirEntryAt(*bytes, 0);
}

bool DiskImage::SameBytes(const DiskImage& other) const {
  if (Size() != other.Size()) return false;
  const ImageBytes* mine = store_ ? store_->Memory() : nullptr;
  const ImageBytes* theirs = other.store_ ? other.store_->Memory() : nullptr;
  if (mine || theirs) return mine && theirs && *mine == *theirs;
  if (!store_ || !other.store_) return !store_ && !other.store_;
  if (store_->FilePath().empty() || store_->FilePath() != other.store_->FilePath() ||
      store_->FileOffset() != other.store_->FileOffset())
    return false;
  std::vector<std::uint64_t> sectors = store_->StagedSectors();
  const std::vector<std::uint64_t> more = other.store_->StagedSectors();
  sectors.insert(sectors.end(), more.begin(), more.end());
  for (std::uint64_t s : sectors) {
    constexpr std::uint64_t kSector = SectorStore::kStagedSectorBytes;
    const std::uint64_t start = s * kSector;
    const auto n = static_cast<std::size_t>(std::min(kSector, Size() - start));
    const auto x = Read(start, n);
    const auto y = other.Read(start, n);
    if (!x || !y || !std::equal(x->begin(), x->end(), y->begin())) return false;
  }
  return true;
}

const ImageBytes& DiskImage::Memory() const {
  const ImageBytes* whole = store_ ? store_->Memory() : nullptr;
  return whole ? *whole : none_;
}

MutableBytes DiskImage::MutableView() {
  ImageBytes* whole = store_ ? store_->MutableMemory() : nullptr;
  return whole ? MutableBytes(whole->data(), whole->size()) : MutableBytes();
}

}  // namespace quarnel
