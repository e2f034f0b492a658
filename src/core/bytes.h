// Bounded little-endian access to outside bytes. Nothing here reads past the end of the span
// it is given: the checked forms return std::nullopt, the cursor reports a short read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace quarnel {

using Bytes = std::span<const std::uint8_t>;
using MutableBytes = std::span<std::uint8_t>;

// Memory for the bytes of disk images (image_memory.cpp). Blocks of kMappedImageMemory bytes or
// more are mapped from the system directly: they start as zeros, and a page nothing writes to
// takes no memory, so the holes of a sparse image file need neither reading nor clearing. Smaller
// blocks come from operator new and start unset.
inline constexpr std::size_t kMappedImageMemory = 128 * 1024;
void* AllocateImageMemory(std::size_t n);  // throws std::bad_alloc
void FreeImageMemory(void* p, std::size_t n) noexcept;
// True when a new block of `n` bytes starts as zeros (false in builds whose memory checker must
// see every block).
bool ImageMemoryStartsZeroed(std::size_t n);

// Allocates image memory as above and leaves elements made without a value uninitialised.
template <class T>
struct ImageAllocator {
  using value_type = T;
  ImageAllocator() = default;
  template <class U>
  ImageAllocator(const ImageAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(AllocateImageMemory(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { FreeImageMemory(p, n * sizeof(T)); }
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <class U>
  bool operator==(const ImageAllocator<U>&) const noexcept {
    return true;
  }
};

// The bytes of a whole disk image. A file is read straight into them without clearing them first
// (a 720 KB image would be zeroed only to be overwritten), so resize(n) leaves new bytes unset:
// grow with resize(n, 0).
using ImageBytes = std::vector<std::uint8_t, ImageAllocator<std::uint8_t>>;

inline std::optional<std::uint8_t> U8At(Bytes b, std::size_t off) {
  if (off >= b.size()) return std::nullopt;
  return b[off];
}

inline std::optional<std::uint16_t> Le16At(Bytes b, std::size_t off) {
  if (off > b.size() || b.size() - off < 2) return std::nullopt;
  return static_cast<std::uint16_t>(b[off] | (b[off + 1] << 8));
}

inline std::optional<std::uint32_t> Le32At(Bytes b, std::size_t off) {
  if (off > b.size() || b.size() - off < 4) return std::nullopt;
  return static_cast<std::uint32_t>(b[off]) | (static_cast<std::uint32_t>(b[off + 1]) << 8) |
         (static_cast<std::uint32_t>(b[off + 2]) << 16) |
         (static_cast<std::uint32_t>(b[off + 3]) << 24);
}

// Writes that refuse (return false) instead of touching bytes outside the span.
inline bool PutLe16(MutableBytes b, std::size_t off, std::uint16_t v) {
  if (off > b.size() || b.size() - off < 2) return false;
  b[off] = static_cast<std::uint8_t>(v & 0xFF);
  b[off + 1] = static_cast<std::uint8_t>(v >> 8);
  return true;
}

inline bool PutLe32(MutableBytes b, std::size_t off, std::uint32_t v) {
  if (off > b.size() || b.size() - off < 4) return false;
  for (int i = 0; i < 4; ++i) b[off + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
  return true;
}

// A cursor over a byte span for variable-length formats. A read past the end fails and leaves
// the cursor where it was; it never yields invented bytes.
class ByteReader {
 public:
  explicit ByteReader(Bytes data) : data_(data) {}

  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return data_.size() - pos_; }
  bool AtEnd() const { return pos_ >= data_.size(); }
  bool Seek(std::size_t pos) {
    if (pos > data_.size()) return false;
    pos_ = pos;
    return true;
  }
  bool Skip(std::size_t n) {
    if (n > Remaining()) return false;
    pos_ += n;
    return true;
  }

  std::optional<std::uint8_t> ReadU8() {
    auto v = U8At(data_, pos_);
    if (v) pos_ += 1;
    return v;
  }
  std::optional<std::uint16_t> ReadLe16() {
    auto v = Le16At(data_, pos_);
    if (v) pos_ += 2;
    return v;
  }
  std::optional<std::uint32_t> ReadLe32() {
    auto v = Le32At(data_, pos_);
    if (v) pos_ += 4;
    return v;
  }
  std::optional<Bytes> ReadBytes(std::size_t n) {
    if (n > Remaining()) return std::nullopt;
    Bytes out = data_.subspan(pos_, n);
    pos_ += n;
    return out;
  }

 private:
  Bytes data_;
  std::size_t pos_ = 0;
};

}  // namespace quarnel
