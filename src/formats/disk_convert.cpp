#include "formats/disk_convert.h"

#include <algorithm>
#include <functional>
#include <new>

#include "core/disk_image.h"
#include "core/host_file.h"
#include "core/messages.h"
#include "core/same_file.h"
#include "formats/input_limits.h"
#include "formats/messages.h"
#include "formats/xsa_decode.h"
#include "formats/xsa_encode.h"

namespace quarnel {

namespace fs = std::filesystem;

namespace {

// What a converter makes of the source's bytes: the target's bytes, or why the source is refused.
struct Transformed {
  std::vector<std::uint8_t> bytes;
  std::string refusal;  // not empty: nothing is written
};
using Transform = std::function<Transformed(Bytes)>;

// The largest source a converter reads, and what it says of a larger one (empty: a larger
// source counts as one that cannot be read).
struct SourceLimit {
  std::uintmax_t bytes;
  std::string_view tooLarge;
};

ConvertOutcome Ended(ConvertResult result, std::string_view message) {
  ConvertOutcome o;
  o.result = result;
  o.message = std::string(message);
  return o;
}

// The steps every conversion shares: refusing a target that is the source, reading the source
// (refused unread when it is larger than its format allows), the transform, and an atomic write of
// the target.
ConvertOutcome ConvertFile(const std::string& source, const fs::path& target, SourceLimit limit,
                           const Transform& transform) {
  if (SameHostFile(source, target))
    return Ended(ConvertResult::Refused, std::string(msg::kOutputIsInput) + target.string());
  HostRead input = ReadHostContents(source, limit.bytes);
  if (!input.ok()) {
    ConvertOutcome o =
        input.error == HostReadError::TooLarge && !limit.tooLarge.empty()
            ? Ended(ConvertResult::Refused, limit.tooLarge)
        : input.error == HostReadError::NoMemory
            ? Ended(ConvertResult::OutOfMemory, formats::msg::kCouldNotAllocate)
            : Ended(ConvertResult::SourceUnreadable, formats::msg::kCannotReadSource);
    o.sourceError = input.error;
    o.sourceLimit = input.limit;
    return o;
  }
  Transformed output;
  try {
    output = transform(input.bytes);
  } catch (const std::bad_alloc&) {
    return Ended(ConvertResult::OutOfMemory, formats::msg::kCouldNotAllocate);
  }
  if (!output.refusal.empty()) return Ended(ConvertResult::Refused, output.refusal);
  if (!WriteFileAtomically(target, output.bytes, LinkPolicy::Replace))
    return Ended(ConvertResult::TargetUnwritable, formats::msg::kCannotWriteTarget);
  return {};
}

// A transform that gives nothing for a source it refuses, with its refusal.
Transform Refusing(std::optional<std::vector<std::uint8_t>> (*transform)(Bytes),
                   std::string_view refusal) {
  return [transform, refusal](Bytes in) {
    auto out = transform(in);
    if (!out) return Transformed{{}, std::string(refusal)};
    return Transformed{std::move(*out), {}};
  };
}

}  // namespace

std::optional<std::vector<std::uint8_t>> DdiToDsk(Bytes ddi) {
  if (ddi.size() <= kDdiHeaderBytes) return std::nullopt;
  return std::vector<std::uint8_t>(ddi.begin() + kDdiHeaderBytes, ddi.end());
}

std::optional<std::vector<std::uint8_t>> ImgToDsk(Bytes img) {
  if (img.size() == kImgWithLeadByte) return std::vector<std::uint8_t>(img.begin() + 1, img.end());
  if (std::find(std::begin(kStandardImageSizes), std::end(kStandardImageSizes),
                static_cast<std::int64_t>(img.size())) != std::end(kStandardImageSizes)) {
    return std::vector<std::uint8_t>(img.begin(), img.end());
  }
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> MsxToDsk(Bytes msx) {
  if (msx.size() != kMsxImageBytes) return std::nullopt;
  constexpr std::size_t kSide = kMsxImageBytes / 2;
  std::vector<std::uint8_t> out;
  out.reserve(kMsxImageBytes);
  for (std::size_t t = 0; t < kSide / kMsxTrackBytes; ++t) {
    for (std::size_t side = 0; side < 2; ++side) {
      auto from = msx.begin() + static_cast<std::ptrdiff_t>(side * kSide + t * kMsxTrackBytes);
      out.insert(out.end(), from, from + kMsxTrackBytes);
    }
  }
  return out;
}

std::string WithExtension(const std::string& source, std::string_view extension) {
  fs::path p(source);
  p.replace_extension(std::string(extension));
  return p.string();
}

ConvertOutcome ConvertDDI(const std::string& source, const fs::path& target) {
  return ConvertFile(source, target, {kMaxDdiFile, {}},
                     Refusing(DdiToDsk, formats::msg::kDdiTooSmall));
}

ConvertOutcome ConvertIMG(const std::string& source, const fs::path& target) {
  return ConvertFile(source, target, {kMaxImgFile, formats::msg::kImgWrongSize},
                     Refusing(ImgToDsk, formats::msg::kImgWrongSize));
}

ConvertOutcome ConvertMSX(const std::string& source, const fs::path& target) {
  return ConvertFile(source, target, {kMaxMsxFile, formats::msg::kMsxWrongSize},
                     Refusing(MsxToDsk, formats::msg::kMsxWrongSize));
}

ConvertOutcome ConvertXsaToDsk(const std::string& source, const fs::path& target) {
  return ConvertFile(source, target, {kMaxXsaFile, {}}, [](Bytes xsa) {
    XsaDecoded decoded = DecodeXsa(xsa);
    if (!decoded.ok()) return Transformed{{}, std::move(decoded.error)};
    return Transformed{std::move(decoded.bytes), {}};
  });
}

ConvertOutcome ConvertDskToXsa(const std::string& source, const fs::path& target) {
  const std::string name = fs::path(source).filename().string();
  return ConvertFile(source, target, {kMaxXsaInput, formats::msg::kXsaInputTooLarge},
                     [&name](Bytes dsk) {
                       std::vector<std::uint8_t> xsa = EncodeXsa(dsk, name);
                       if (xsa.empty())
                         return Transformed{{}, std::string(formats::msg::kXsaInputTooLarge)};
                       return Transformed{std::move(xsa), {}};
                     });
}

ConvertOutcome Convert(Conversion conversion, const std::string& source, const fs::path& target) {
  switch (conversion) {
    case Conversion::DdiToDsk:
      return ConvertDDI(source, target);
    case Conversion::ImgToDsk:
      return ConvertIMG(source, target);
    case Conversion::MsxToDsk:
      return ConvertMSX(source, target);
    case Conversion::XsaToDsk:
      return ConvertXsaToDsk(source, target);
    case Conversion::DskToXsa:
      break;
  }
  return ConvertDskToXsa(source, target);
}

}  // namespace quarnel
