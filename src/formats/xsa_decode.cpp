#include "formats/xsa_decode.h"

#include <algorithm>
#include <optional>

#include "formats/messages.h"
#include "formats/xsa_code.h"
#include "formats/xsa_encode.h"

namespace quarnel {

namespace {

using namespace xsa;

// The payload as the decoder sees it: flag bytes fetched lazily when a bit is needed, plain
// bytes taken in between.
class BitSource {
 public:
  explicit BitSource(Bytes data) : data_(data) {}

  std::optional<int> Bit() {
    if (bitsLeft_ == 0) {
      if (pos_ >= data_.size()) return std::nullopt;
      flags_ = data_[pos_++];
      bitsLeft_ = 8;
    }
    int b = flags_ & 1;
    flags_ >>= 1;
    --bitsLeft_;
    return b;
  }
  std::optional<std::uint32_t> Bits(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) {
      auto b = Bit();
      if (!b) return std::nullopt;
      v = (v << 1) | static_cast<std::uint32_t>(*b);
    }
    return v;
  }
  std::optional<std::uint8_t> Byte() {
    if (pos_ >= data_.size()) return std::nullopt;
    return data_[pos_++];
  }

 private:
  Bytes data_;
  std::size_t pos_ = 0;
  std::uint8_t flags_ = 0;
  int bitsLeft_ = 0;
};

// The length of a copy, or kEndMarker; nullopt when the bits run out.
std::optional<int> ReadLength(BitSource& in) {
  for (int len = 2; len <= 4; ++len) {
    auto b = in.Bit();
    if (!b) return std::nullopt;
    if (*b == 0) return len;
  }
  int p = 2;
  while (p < 7) {
    auto b = in.Bit();
    if (!b) return std::nullopt;
    if (*b == 0) break;
    ++p;
  }
  auto v = in.Bits(p);
  if (!v) return std::nullopt;
  return static_cast<int>((1u << p) + *v + 1);
}

XsaDecoded Fail(std::string_view message) {
  XsaDecoded r;
  r.error = std::string(message);
  return r;
}

}  // namespace

bool LooksLikeXsa(Bytes file) {
  return file.size() >= kMagic.size() && std::equal(kMagic.begin(), kMagic.end(), file.begin());
}

XsaDecoded DecodeXsa(Bytes file) {
  if (!LooksLikeXsa(file)) return Fail(formats::msg::kXsaNotXsa);
  ByteReader header(file);
  header.Skip(kMagic.size());
  auto length = header.ReadLe32();
  if (!length || !header.ReadLe32()) return Fail(formats::msg::kXsaEndsEarly);
  XsaDecoded r;
  for (;;) {
    auto c = header.ReadU8();
    if (!c) return Fail(formats::msg::kXsaEndsEarly);
    if (*c == 0) break;
    r.name.push_back(static_cast<char>(*c));
  }

  const std::size_t expected = *length;
  // Nothing we compress is larger, and no disk image comes near it: a header that claims more
  // would only have us fill memory.
  if (expected > kMaxXsaInput) return Fail(formats::msg::kXsaClaimsTooMuch);
  BitSource in(file.subspan(header.Position()));
  std::vector<std::uint8_t>& out = r.bytes;
  // A copy of 254 bytes takes at least 17 bits, so the stream cannot hold more than this;
  // a header that claims more does not make us reserve it.
  out.reserve(std::min<std::size_t>(expected, (file.size() + 1) * 128));
  SlotTree tree;
  for (;;) {
    auto kind = in.Bit();
    if (!kind) return Fail(formats::msg::kXsaEndsEarly);
    if (*kind == 0) {
      auto c = in.Byte();
      if (!c) return Fail(formats::msg::kXsaEndsEarly);
      if (out.size() >= expected) return Fail(formats::msg::kXsaTooLong);
      out.push_back(*c);
      continue;
    }
    auto len = ReadLength(in);
    if (!len) return Fail(formats::msg::kXsaEndsEarly);
    if (*len == kEndMarker) break;

    int node = SlotTree::kRoot;
    while (node >= kSlots) {
      auto b = in.Bit();
      if (!b) return Fail(formats::msg::kXsaEndsEarly);
      node = tree.Child(node, *b);
    }
    const int slot = node;
    const int extra = kExtraBits[slot];
    std::uint32_t r8 = 0;
    std::optional<std::uint32_t> high;
    if (extra >= 8) {
      auto low = in.Byte();
      if (!low) return Fail(formats::msg::kXsaEndsEarly);
      r8 = *low;
      high = in.Bits(extra - 8);
      if (high) *high = (*high << 8) | r8;
    } else {
      high = in.Bits(extra);
    }
    if (!high) return Fail(formats::msg::kXsaEndsEarly);
    tree.Use(slot);

    const std::size_t distance = static_cast<std::size_t>(kSlotBase[slot]) + *high;
    if (distance > out.size()) return Fail(formats::msg::kXsaBadDistance);
    if (static_cast<std::size_t>(*len) > expected - out.size()) {
      return Fail(formats::msg::kXsaTooLong);
    }
    std::size_t from = out.size() - distance;
    for (int i = 0; i < *len; ++i) {
      const std::uint8_t c = out[from + i];  // copied first: push_back may move the buffer
      out.push_back(c);
    }
  }
  if (out.size() != expected) return Fail(formats::msg::kXsaTooShort);
  return r;
}

}  // namespace quarnel
