#include "formats/xsa_code.h"

namespace quarnel::xsa {

int SlotOf(int distance) {
  int slot = 0;
  while (slot + 1 < kSlots && distance >= kSlotBase[slot + 1]) ++slot;
  return slot;
}

int LengthCodeBits(int length) {
  if (length == 2) return 1;
  if (length == 3) return 2;
  if (length == 4) return 3;
  int w = length - 1;  // 4 ... 255
  int p = 2;
  while ((w >> (p + 1)) != 0) ++p;
  // "111", (p - 2) ones, a closing zero below p = 7, then p value bits.
  return 3 + (p - 2) + (p < 7 ? 1 : 0) + p;
}

void SlotTree::Rebuild() {
  constexpr int kNodes = 2 * kSlots - 1;
  std::array<std::uint32_t, kNodes> weight{};
  std::array<bool, kNodes> live{};
  for (int i = 0; i < kSlots; ++i) {
    count_[i] >>= 1;
    weight[i] = 1 + count_[i];
    live[i] = true;
  }
  for (int k = kSlots; k < kNodes; ++k) {
    int first = -1;
    int second = -1;
    for (int i = 0; i < k; ++i) {
      if (!live[i]) continue;
      if (first < 0 || weight[i] < weight[first]) {
        second = first;
        first = i;
      } else if (second < 0 || weight[i] < weight[second]) {
        second = i;
      }
    }
    child_[0][k - kSlots] = first;
    child_[1][k - kSlots] = second;
    weight[k] = weight[first] + weight[second];
    live[first] = live[second] = false;
    live[k] = true;
  }
  // Codes by a walk from the root; a node's code is its parent's code and the branch bit.
  std::array<std::uint32_t, kNodes> code{};
  std::array<int, kNodes> length{};
  for (int k = kNodes - 1; k >= kSlots; --k) {
    for (int bit = 0; bit < 2; ++bit) {
      int c = child_[bit][k - kSlots];
      code[c] = (code[k] << 1) | static_cast<std::uint32_t>(bit);
      length[c] = length[k] + 1;
    }
  }
  for (int i = 0; i < kSlots; ++i) {
    code_[i] = code[i];
    length_[i] = length[i];
  }
  left_ = 127;
}

}  // namespace quarnel::xsa
