#include "formats/xsa_encode.h"

#include <algorithm>
#include <array>
#include <limits>

#include "formats/xsa_code.h"
#include "formats/xsa_match.h"

namespace quarnel {

namespace {

using namespace xsa;

// One token of the parse: a literal (length 1) or a copy.
struct Token {
  std::uint16_t length;
  std::uint16_t distance;
};

// The slot code lengths in force from input position `from` on.
struct CodeSnapshot {
  std::size_t from;
  std::array<std::uint8_t, kSlots> lengths;
};

constexpr std::uint32_t kLiteralBits = 9;

// The payload as the decoder reads it: a flag byte is reserved at the moment its first bit is
// written, so plain bytes written before it precede it.
class BitSink {
 public:
  explicit BitSink(std::vector<std::uint8_t>& out) : out_(out) {}

  void Bit(int b) {
    if (used_ == 8) {
      flagPos_ = out_.size();
      out_.push_back(0);
      used_ = 0;
    }
    if (b) out_[flagPos_] |= static_cast<std::uint8_t>(1u << used_);
    ++used_;
  }
  void Bits(std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) Bit(static_cast<int>((value >> i) & 1u));
  }
  void Byte(std::uint8_t v) { out_.push_back(v); }

 private:
  std::vector<std::uint8_t>& out_;
  std::size_t flagPos_ = 0;
  int used_ = 8;
};

void PutLength(BitSink& sink, int length) {
  if (length <= 4) {
    // 2: "0", 3: "10", 4: "110"
    for (int i = 2; i < length; ++i) sink.Bit(1);
    sink.Bit(0);
    return;
  }
  sink.Bits(0b111, 3);
  const int w = length - 1;
  int p = 2;
  while ((w >> (p + 1)) != 0) ++p;
  for (int i = 2; i < p; ++i) sink.Bit(1);
  if (p < 7) sink.Bit(0);
  sink.Bits(static_cast<std::uint32_t>(w - (1 << p)), p);
}

// Slot of every distance 1 ... 8192, looked up instead of searched.
const std::array<std::uint8_t, kMaxDistance + 1>& SlotTable() {
  static const auto table = [] {
    std::array<std::uint8_t, kMaxDistance + 1> t{};
    for (int d = 1; d <= kMaxDistance; ++d) t[d] = static_cast<std::uint8_t>(SlotOf(d));
    return t;
  }();
  return table;
}

const std::array<std::uint8_t, kMaxMatch + 1>& LengthBitsTable() {
  static const auto table = [] {
    std::array<std::uint8_t, kMaxMatch + 1> t{};
    for (int l = kMinMatch; l <= kMaxMatch; ++l)
      t[l] = static_cast<std::uint8_t>(LengthCodeBits(l));
    return t;
  }();
  return table;
}

CodeSnapshot Snapshot(std::size_t from, const SlotTree& tree) {
  CodeSnapshot s{from, {}};
  for (int i = 0; i < kSlots; ++i) s.lengths[i] = static_cast<std::uint8_t>(tree.CodeLength(i));
  return s;
}

// The cheapest token sequence under the given code lengths: a shortest path over the input
// positions, where a literal costs 9 bits and a copy its length code, slot code and extra bits.
std::vector<Token> Parse(const MatchTable& matches, std::size_t n,
                         const std::vector<CodeSnapshot>& codes) {
  const auto& slotOf = SlotTable();
  const auto& lengthBits = LengthBitsTable();
  constexpr std::uint32_t kUnreached = std::numeric_limits<std::uint32_t>::max();
  std::vector<std::uint32_t> cost(n + 1, kUnreached);
  std::vector<Token> from(n + 1, Token{0, 0});
  cost[0] = 0;

  std::size_t snap = 0;
  std::array<std::uint32_t, kSlots> slotCost{};
  auto loadCosts = [&] {
    for (int s = 0; s < kSlots; ++s) slotCost[s] = codes[snap].lengths[s] + kExtraBits[s];
  };
  loadCosts();

  std::vector<std::uint32_t> suffixCost;
  std::vector<std::uint16_t> suffixDist;
  for (std::size_t i = 0; i < n; ++i) {
    if (!matches.isStart[i] || cost[i] == kUnreached) continue;
    while (snap + 1 < codes.size() && codes[snap + 1].from <= i) {
      ++snap;
      loadCosts();
    }
    const std::uint32_t here = cost[i];
    if (here + kLiteralBits < cost[i + 1]) {
      cost[i + 1] = here + kLiteralBits;
      from[i + 1] = Token{1, 0};
    }
    const std::uint32_t begin = matches.first[i];
    const std::uint32_t end = matches.first[i + 1];
    if (begin == end) continue;
    // For every candidate, the cheapest distance among it and the longer ones after it: any of
    // them can serve a copy up to this candidate's length.
    const std::size_t count = end - begin;
    suffixCost.resize(count);
    suffixDist.resize(count);
    std::uint32_t bestCost = kUnreached;
    std::uint16_t bestDist = 0;
    for (std::size_t j = count; j-- > 0;) {
      const MatchCandidate& c = matches.candidates[begin + j];
      std::uint32_t dc = slotCost[slotOf[c.distance]];
      if (dc <= bestCost) {
        bestCost = dc;
        bestDist = c.distance;
      }
      suffixCost[j] = bestCost;
      suffixDist[j] = bestDist;
    }
    int shorter = 1;
    for (std::size_t j = 0; j < count; ++j) {
      const MatchCandidate& c = matches.candidates[begin + j];
      const std::uint32_t base = here + 1 + suffixCost[j];
      for (int len = shorter + 1; len <= c.length; ++len) {
        std::uint32_t total = base + lengthBits[len];
        if (total < cost[i + len]) {
          cost[i + len] = total;
          from[i + len] = Token{static_cast<std::uint16_t>(len), suffixDist[j]};
        }
      }
      shorter = c.length;
    }
  }

  std::vector<Token> tokens;
  for (std::size_t at = n; at > 0;) {
    Token t = from[at];
    tokens.push_back(t);
    at -= t.length;
  }
  std::reverse(tokens.begin(), tokens.end());
  return tokens;
}

// Writes the tokens (or, with `out` null, only counts) and records the code lengths the
// adaptive tree takes on along the way. Returns the payload size in bits.
std::uint64_t Emit(Bytes data, const std::vector<Token>& tokens, std::vector<std::uint8_t>* out,
                   std::vector<CodeSnapshot>* codes) {
  const auto& slotOf = SlotTable();
  const auto& lengthBits = LengthBitsTable();
  SlotTree tree;
  std::vector<std::uint8_t> scratch;
  BitSink sink(out ? *out : scratch);
  std::uint64_t bits = 0;
  std::size_t pos = 0;
  if (codes) {
    codes->clear();
    codes->push_back(Snapshot(0, tree));
  }
  for (const Token& t : tokens) {
    if (t.length == 1) {
      bits += kLiteralBits;
      if (out) {
        sink.Bit(0);
        sink.Byte(data[pos]);
      }
      pos += 1;
      continue;
    }
    const int slot = slotOf[t.distance];
    const int extra = kExtraBits[slot];
    bits += 1 + lengthBits[t.length] + tree.CodeLength(slot) + extra;
    if (out) {
      sink.Bit(1);
      PutLength(sink, t.length);
      sink.Bits(tree.Code(slot), tree.CodeLength(slot));
      const std::uint32_t r = static_cast<std::uint32_t>(t.distance - kSlotBase[slot]);
      if (extra >= 8) {
        sink.Byte(static_cast<std::uint8_t>(r & 0xFF));
        sink.Bits(r >> 8, extra - 8);
      } else {
        sink.Bits(r, extra);
      }
    }
    pos += t.length;
    if (tree.Use(slot) && codes) codes->push_back(Snapshot(pos, tree));
  }
  bits += 1 + LengthCodeBits(kEndMarker);
  if (out) {
    sink.Bit(1);
    PutLength(sink, kEndMarker);
  }
  return bits;
}

}  // namespace

std::vector<std::uint8_t> EncodeXsa(Bytes data, std::string_view name,
                                    const XsaEncodeOptions& options) {
  if (data.size() > kMaxXsaInput) return {};
  MatchOptions mo;
  mo.chainDepth = options.chainDepth;
  const MatchTable matches = FindMatches(data, mo);

  std::vector<CodeSnapshot> codes{Snapshot(0, SlotTree{})};
  std::vector<Token> best;
  std::uint64_t bestBits = std::numeric_limits<std::uint64_t>::max();
  for (int pass = 0; pass < std::max(1, options.passes); ++pass) {
    std::vector<Token> tokens = Parse(matches, data.size(), codes);
    std::vector<CodeSnapshot> next;
    std::uint64_t bits = Emit(data, tokens, nullptr, &next);
    if (bits < bestBits) {
      bestBits = bits;
      best = std::move(tokens);
    }
    codes = std::move(next);
  }

  std::vector<std::uint8_t> file(kMagic.begin(), kMagic.end());
  file.resize(kFixedHeaderBytes);
  PutLe32(file, 4, static_cast<std::uint32_t>(data.size()));
  if (name.empty()) name = "DISK.DSK";
  for (char c : name) {
    if (c != '\0') file.push_back(static_cast<std::uint8_t>(c));
  }
  file.push_back(0);
  file.reserve(file.size() + bestBits / 8 + 2);
  Emit(data, best, &file, nullptr);
  PutLe32(file, 8, static_cast<std::uint32_t>(file.size()));
  return file;
}

}  // namespace quarnel
