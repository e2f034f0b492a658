// The video memory held by a BSAVE picture file, as BLOAD ,S puts it back: VRAM address A is at
// file offset 7 + A - start, for A from the start address up to the end address or the file's
// last byte, whichever comes first. Addresses outside that range are not held; nothing is read
// past the file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/bytes.h"
#include "viewers/bsave_header.h"
#include "viewers/picture.h"

namespace quarnel::viewers {

class VramDump {
 public:
  VramDump(Bytes file, const BsaveHeader& header) : file_(file), start_(header.start) {
    const long held =
        file.size() > BsaveHeader::kSize ? static_cast<long>(file.size() - BsaveHeader::kSize) : 0;
    last_ = std::min<long>(header.end, start_ + held - 1);
  }

  long start() const { return start_; }
  // The last address held (below start() when the file holds no data byte).
  long last() const { return last_; }

  bool Holds(long address) const { return address >= start_ && address <= last_; }
  bool HoldsAll(long from, long to) const { return from >= start_ && to <= last_; }

  std::optional<std::uint8_t> At(long address) const {
    if (!Holds(address)) return std::nullopt;
    return file_[BsaveHeader::kSize + static_cast<std::size_t>(address - start_)];
  }

  // The held bytes of the `count` addresses from `address`; `skipped` is how many addresses at
  // the front are not held.
  Bytes Span(long address, long count, long& skipped) const {
    const long from = std::max(address, start_), to = std::min(address + count - 1, last_);
    skipped = 0;
    if (to < from) return {};
    skipped = from - address;
    return file_.subspan(BsaveHeader::kSize + static_cast<std::size_t>(from - start_),
                         static_cast<std::size_t>(to - from + 1));
  }

 private:
  Bytes file_;
  long start_ = 0;
  long last_ = -1;
};

// A black bitmap-mode picture (screens 5 to 12) of `width` x `height` pixels, shown in a
// 256 x 212 window. The palette is left to the mode.
Picture BlankBitmap(PictureMode mode, Picture::Format format, int width, int height);

// A palette level 0-7 as 0-255.
std::uint8_t PaletteLevel(int level);

// The 16 palette entries stored from `address` (2 bytes each: 0RRR0BBB, 00000GGG; the bits the
// VDP ignores are ignored) when the dump holds all 32 bytes; otherwise the default palette.
std::vector<Rgb> DumpPalette(const VramDump& vram, long address);

}  // namespace quarnel::viewers
