// Short picture files through one picture decoder each (screen 12 also in the MSX colours), the
// thumbnail and the bitmap or PNG writer. The input is not the file: byte 0 picks the mode and the
// options, bytes 1-2 the start address, and the rest is the video memory from there; the BSAVE
// header is made around it (end address = start + length - 1, or a shorter one when bit 7 of byte 0
// is set and byte 3 says by how much). So a few hundred bytes land on the name, pattern, colour or
// palette table the fuzzer aims at, and the run does not pay for decoding every mode of a 64 KB
// dump.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "viewers/bitmap_file.h"
#include "viewers/picture_decoder.h"
#include "viewers/png_file.h"
#include "viewers/thumbnail.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quarnel::viewers;
  if (size < 3) return 0;
  const auto modes = AllPictureModes();
  const std::uint8_t pick = data[0];
  const PictureMode mode = modes[(pick & 0x0F) % modes.size()];
  const PictureOptions options{(pick & 0x10) != 0};
  const bool png = (pick & 0x20) != 0;
  const unsigned start = data[1] | (unsigned{data[2]} << 8);
  const std::size_t held = size - 3;
  unsigned end = static_cast<unsigned>(start + (held > 0 ? held - 1 : 0));
  if ((pick & 0x80) && held > 0) end -= data[3];
  std::vector<std::uint8_t> file = {0xFE,
                                    static_cast<std::uint8_t>(start),
                                    static_cast<std::uint8_t>(start >> 8),
                                    static_cast<std::uint8_t>(end),
                                    static_cast<std::uint8_t>(end >> 8),
                                    0,
                                    0};
  file.insert(file.end(), data + 3, data + size);
  auto r = DecodePicture(mode, file, options);
  if (!r.ok()) return 0;
  const Picture small = MakeThumbnail(*r.picture);
  if (small.width > kThumbnailWidth || small.height > kThumbnailHeight ||
      small.pixels.size() != static_cast<std::size_t>(small.width) * small.height * 3)
    __builtin_trap();
  if (png)
    (void)EncodePng(*r.picture);
  else
    (void)EncodeScreenBitmap(*r.picture);
  return 0;
}
