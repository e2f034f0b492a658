// The blocks of an image known to hold only zeros without looking at them: the holes of the file
// it was read from, less every block written since. A save leaves them as holes unread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quarnel {

class ZeroBlocks {
 public:
  // The block size of the holes a save leaves: the page and file-system block of the systems we
  // run on.
  static constexpr std::size_t kBlock = 4096;

  // Marks the whole blocks inside bytes [from, to) as zeros.
  void MarkZero(std::uint64_t from, std::uint64_t to) {
    const std::uint64_t first = (from + kBlock - 1) / kBlock, end = to / kBlock;
    if (first >= end) return;
    if (known_.size() < end) known_.resize(end, false);
    for (std::uint64_t b = first; b < end; ++b) known_[b] = true;
  }
  // Forgets the blocks that bytes [offset, offset + length) touch.
  void Forget(std::uint64_t offset, std::uint64_t length) {
    if (length == 0 || known_.empty()) return;
    const std::uint64_t first = offset / kBlock, last = (offset + length - 1) / kBlock;
    for (std::uint64_t b = first; b <= last && b < known_.size(); ++b) known_[b] = false;
  }
  void ForgetAll() { known_.clear(); }
  // True when the kBlock bytes at `p` are all zeros.
  static bool IsZero(const std::uint8_t* p) {
    static constexpr std::uint8_t kZeros[kBlock] = {};
    return std::memcmp(p, kZeros, kBlock) == 0;
  }
  // Whether block `block` (bytes block * kBlock onwards) is known to hold only zeros.
  bool Zero(std::uint64_t block) const { return block < known_.size() && known_[block]; }

 private:
  std::vector<bool> known_;
};

}  // namespace quarnel
