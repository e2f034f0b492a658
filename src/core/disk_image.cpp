#include "core/disk_image.h"

#include <algorithm>
#include <vector>

namespace quarnel {

DiskImage::DiskImage(ImageBytes bytes, const DiskGeometry& layout)
    : geometry(layout), store_(std::make_unique<MemoryStore>(std::move(bytes))) {}

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

const ImageBytes& DiskImage::Memory() const {
  const ImageBytes* whole = store_ ? store_->Memory() : nullptr;
  return whole ? *whole : none_;
}

MutableBytes DiskImage::MutableView() {
  ImageBytes* whole = store_ ? store_->MutableMemory() : nullptr;
  return whole ? MutableBytes(whole->data(), whole->size()) : MutableBytes();
}

}  // namespace quarnel
