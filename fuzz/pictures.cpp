// Any bytes through every picture decoder (screen 12 also in the MSX colours) and the bitmap and
// PNG writers. The first byte is forced to the BSAVE identifier half of the time so that the
// decoders get past the header.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "viewers/bitmap_file.h"
#include "viewers/picture_decoder.h"
#include "viewers/png_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quarnel::viewers;
  std::vector<std::uint8_t> file(data, data + size);
  if (!file.empty() && (file[0] & 1)) file[0] = 0xFE;
  const bool png = size > 0 && (data[size - 1] & 0x80);
  const PictureOptions options{size > 1 && (data[1] & 1)};
  for (PictureMode m : AllPictureModes()) {
    auto r = DecodePicture(m, file, options);
    if (!r.ok()) continue;
    (void)EncodeScreenBitmap(*r.picture);
    if (png) (void)EncodePng(*r.picture);
  }
  return 0;
}
