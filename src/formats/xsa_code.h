// The XSA bit code shared by the compressor and the decompressor: the file header, the length
// code, the 16 distance slots and the adaptive slot tree that both sides rebuild in lock step.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quarnel::xsa {

// "PCK" followed by 0x08.
inline constexpr std::array<std::uint8_t, 4> kMagic = {0x50, 0x43, 0x4B, 0x08};
// Magic, original length, total file length.
inline constexpr std::size_t kFixedHeaderBytes = 12;

inline constexpr int kMinMatch = 2;
inline constexpr int kMaxMatch = 254;      // the longest copy a stream may hold
inline constexpr int kEndMarker = 255;     // the length code that ends the stream
inline constexpr int kMaxDistance = 8192;  // what every decompressor's window can reach
inline constexpr int kSlots = 16;

// Extra bits after each slot code and the first distance of each slot.
inline constexpr std::array<int, kSlots> kExtraBits = {0, 0, 0, 0, 1, 2,  3,  4,
                                                       5, 6, 7, 8, 9, 10, 11, 12};
inline constexpr std::array<int, kSlots + 1> kSlotBase = {
    1, 2, 3, 4, 5, 7, 11, 19, 35, 67, 131, 259, 515, 1027, 2051, 4099, 8195};

// The slot a distance (1 ... 8194) falls into.
int SlotOf(int distance);

// Bits the length code spends on a copy of `length` (2 ... 255).
int LengthCodeBits(int length);

// The adaptive code of the distance slots. Leaves 0-15 are the slots, nodes 16-30 are built by
// pairing the two lightest live entries (ties to the lower index); node 30 is the root. Slot
// counts are halved at every rebuild, and the tree is rebuilt after every 128 coded distances.
class SlotTree {
 public:
  SlotTree() { Rebuild(); }

  // Counts one coded distance in `slot` and rebuilds when its turn has come; true when the
  // code changed.
  bool Use(int slot) {
    ++count_[slot];
    if (left_ == 0) {
      Rebuild();
      return true;
    }
    --left_;
    return false;
  }

  // The code of a slot, root bit first: `CodeLength(slot)` bits, the first in the highest of them.
  std::uint32_t Code(int slot) const { return code_[slot]; }
  int CodeLength(int slot) const { return length_[slot]; }
  // The child of internal node `node` (16 ... 30) for `bit`; values < 16 are slots.
  int Child(int node, int bit) const { return child_[bit][node - kSlots]; }
  static constexpr int kRoot = 2 * kSlots - 2;

 private:
  void Rebuild();

  std::array<std::uint32_t, kSlots> count_{};
  std::array<std::uint32_t, kSlots> code_{};
  std::array<int, kSlots> length_{};
  std::array<std::array<int, kSlots - 1>, 2> child_{};
  int left_ = 0;
};

}  // namespace quarnel::xsa
