#include "formats/disk_convert.h"

#include <algorithm>
#include <new>

#include "core/disk_image.h"
#include "core/host_file.h"
#include "formats/input_limits.h"
#include "formats/messages.h"
#include "formats/xsa_runner.h"

namespace quarnel {

namespace fs = std::filesystem;

namespace {

using Transform = std::optional<std::vector<std::uint8_t>> (*)(Bytes);

// What a converter reads: the largest source its format allows, and what it says of a larger one.
struct SourceLimit {
  std::uintmax_t bytes;
  std::string_view tooLarge;
};

// The steps every converter shares: the save dialog, reading the source (refused unread when it
// is larger than its format allows), the transform and an atomic write of the target.
ConvertResult Convert(const std::string& source, std::string_view title, Transform transform,
                      std::string_view refusal, SourceLimit limit, Ui& ui,
                      HostRead* sourceRead) {
  auto target = ui.AskSavePath(title, WithExtension(source, ".DSK"));
  if (!target || target->empty()) return ConvertResult::Cancelled;
  HostRead input = ReadHostContents(source, limit.bytes);
  if (sourceRead) {
    sourceRead->error = input.error;
    sourceRead->limit = input.limit;
  }
  if (input.error == HostReadError::TooLarge) {
    ui.Notify(limit.tooLarge);
    return ConvertResult::Refused;
  }
  if (!input.ok()) {
    ui.Notify(input.error == HostReadError::NoMemory ? formats::msg::kCouldNotAllocate
                                                     : formats::msg::kCannotReadSource);
    return ConvertResult::Failed;
  }
  std::optional<std::vector<std::uint8_t>> output;
  try {
    output = transform(input.bytes);
  } catch (const std::bad_alloc&) {
    ui.Notify(formats::msg::kCouldNotAllocate);
    return ConvertResult::Failed;
  }
  if (!output) {
    ui.Notify(refusal);
    return ConvertResult::Refused;
  }
  if (!WriteFileAtomically(*target, *output, LinkPolicy::Replace)) {
    ui.Notify(formats::msg::kCannotWriteTarget);
    return ConvertResult::Failed;
  }
  return ConvertResult::Written;
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

ConvertResult ConvertDDI(const std::string& source, Ui& ui, HostRead* sourceRead) {
  return Convert(source, formats::msg::kConvertDdiTitle, DdiToDsk, formats::msg::kDdiTooSmall,
                 {kMaxDdiFile, formats::msg::kCannotReadSource}, ui, sourceRead);
}

ConvertResult ConvertIMG(const std::string& source, Ui& ui, HostRead* sourceRead) {
  return Convert(source, formats::msg::kConvertImgTitle, ImgToDsk, formats::msg::kImgWrongSize,
                 {kMaxImgFile, formats::msg::kImgWrongSize}, ui, sourceRead);
}

ConvertResult ConvertMSX(const std::string& source, Ui& ui, HostRead* sourceRead) {
  return Convert(source, formats::msg::kConvertMsxTitle, MsxToDsk, formats::msg::kMsxWrongSize,
                 {kMaxMsxFile, formats::msg::kMsxWrongSize}, ui, sourceRead);
}

ConvertResult ConverttoDsk1Click(const std::string& source, const fs::path& programFolder, Ui& ui) {
  const std::string ext = UpperExtension(source);
  if (ext == ".DDI") return ConvertDDI(source, ui);
  if (ext == ".IMG") return ConvertIMG(source, ui);
  if (ext == ".MSX") return ConvertMSX(source, ui);
  if (ext == ".XSA") return XsaToDsk(source, programFolder, ui);
  if (ext == ".DSK") return DskToXsa(source, programFolder, ui);
  return ConvertResult::Ignored;
}

}  // namespace quarnel
