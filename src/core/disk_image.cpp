#include "core/disk_image.h"

namespace quarnel {

DiskImage::DiskImage(ImageBytes bytes, const DiskGeometry& geometry)
    : geometry(geometry), store_(std::make_unique<MemoryStore>(std::move(bytes))) {}

DiskImage::DiskImage(std::unique_ptr<SectorStore> store, const DiskGeometry& geometry)
    : geometry(geometry), store_(std::move(store)) {}

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

const ImageBytes& DiskImage::Memory() const {
  const ImageBytes* whole = store_ ? store_->Memory() : nullptr;
  return whole ? *whole : none_;
}

MutableBytes DiskImage::MutableView() {
  ImageBytes* whole = store_ ? store_->MutableMemory() : nullptr;
  return whole ? MutableBytes(whole->data(), whole->size()) : MutableBytes();
}

}  // namespace quarnel
