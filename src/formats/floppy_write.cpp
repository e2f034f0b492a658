#include "formats/floppy_write.h"

#include <algorithm>
#include <cstring>

#include "core/geometry.h"
#include "core/message_text.h"
#include "core/save_image.h"
#include "formats/messages.h"

namespace quarnel {

namespace {

namespace m = formats::msg;
using Result = Outcome<FloppyStatus>;

std::string N(std::uint64_t v) { return std::to_string(v); }

bool Cancelled(const FloppyRun& run) {
  return run.cancel && run.cancel->load(std::memory_order_relaxed);
}

void Report(const FloppyRun& run, FloppyPhase phase, std::uint64_t s, const WriteRange& r) {
  if (run.progress) run.progress(phase, s, r.first, r.last);
}

Result Failed(FloppyStatus status, std::string_view what, std::uint64_t s, const RawDisk& disk,
              std::string_view tail = {}) {
  std::string text = std::string(what) + N(s) + ": " + disk.ErrorReason();
  if (!tail.empty()) text += ". " + std::string(tail);
  return {status, std::move(text)};
}

Result CancelledAt(std::uint64_t s) {
  return {FloppyStatus::Cancelled, std::string(m::kCancelledAt) + N(s)};
}

// Reads back every sector of `sectors` and compares it with the image.
Result Verify(RawDisk& disk, Bytes image, const std::vector<std::uint64_t>& sectors,
              const WriteRange& range, const FloppyRun& run) {
  if (!disk.ResetDrive())
    return {FloppyStatus::WriteError, std::string(m::kFlushFailed) + disk.ErrorReason()};
  std::vector<std::uint8_t> back(kRawSectorBytes);
  for (std::uint64_t s : sectors) {
    if (Cancelled(run)) return CancelledAt(s);
    if (!disk.ReadSectors(s, back))
      return Failed(FloppyStatus::ReadError, m::kReadFailedAt, s, disk);
    if (back != ImageSector(image, s))
      return {FloppyStatus::Differs, std::string(m::kVerifyDiffers) + N(s)};
    Report(run, FloppyPhase::Verifying, s, range);
  }
  return {FloppyStatus::Done};
}

}  // namespace

std::uint64_t ImageSectors(std::uint64_t imageBytes) {
  return (imageBytes + kRawSectorBytes - 1) / kRawSectorBytes;
}

std::vector<std::uint8_t> ImageSector(Bytes image, std::uint64_t s) {
  std::vector<std::uint8_t> sector(kRawSectorBytes, 0);
  if (s >= ImageSectors(image.size())) return sector;
  const std::size_t from = static_cast<std::size_t>(s) * kRawSectorBytes;
  const std::size_t n = std::min(kRawSectorBytes, image.size() - from);
  std::memcpy(sector.data(), image.data() + from, n);
  return sector;
}

std::string SectorStatusText(std::uint64_t s, std::uint64_t last) {
  return FillText(m::kSectorStatus, {N(s + 1), N(last + 1)});
}

std::string PhaseStatusText(FloppyPhase phase, std::uint64_t s, std::uint64_t last) {
  switch (phase) {
    case FloppyPhase::Writing:
      break;
    case FloppyPhase::Verifying:
      return FillText(m::kVerifying, {N(s + 1), N(last + 1)});
    case FloppyPhase::Reading:
      return FillText(m::kReading, {N(s + 1), N(last + 1)});
  }
  return SectorStatusText(s, last);
}

Result PlanWrite(std::uint64_t imageBytes, const RangeChoice& choice, const RawDisk& disk,
                 WriteRange& range) {
  const std::uint64_t sectors = ImageSectors(imageBytes);
  if (sectors == 0) return {FloppyStatus::Refused, std::string(m::kImageEmpty)};
  WriteRange r{0, sectors - 1};
  if (!choice.wholeDisk) {
    if (choice.start < 0 || choice.end < 0)
      return {FloppyStatus::Refused, std::string(m::kRangeNegative)};
    if (choice.start > choice.end) return {FloppyStatus::Refused, std::string(m::kStartAfterEnd)};
    if (static_cast<std::uint64_t>(choice.end) > sectors - 1)
      return {FloppyStatus::Refused, std::string(m::kEndPastImage) + N(sectors - 1)};
    r = {static_cast<std::uint64_t>(choice.start), static_cast<std::uint64_t>(choice.end)};
  }
  if (disk.FixedSize() && r.last >= WholeSectors(disk.SizeBytes()))
    return {FloppyStatus::Refused,
            FillText(m::kPastDiskEnd, {N(WholeSectors(disk.SizeBytes())), N(r.last)})};
  range = r;
  return {FloppyStatus::Done};
}

Result WriteImageToDisk(RawDisk& disk, Bytes image, const WriteRange& range, const FloppyRun& run) {
  const std::uint64_t sectors = ImageSectors(image.size());
  if (sectors == 0 || range.first > range.last || range.last >= sectors)
    return {FloppyStatus::Refused, std::string(m::kImageEmpty)};
  std::vector<std::uint64_t> written;
  if (sectors < kBootFirstBelowSectors) {
    if (Cancelled(run)) return CancelledAt(0);
    if (!disk.WriteSectors(0, ImageSector(image, 0)))
      return Failed(FloppyStatus::WriteError, m::kWriteFailedAt, 0, disk, m::kWrittenBefore);
    if (!disk.ResetDrive())
      return {FloppyStatus::WriteError, std::string(m::kFlushFailed) + disk.ErrorReason()};
    (void)ReadBootSector(disk);  // the drive takes the new format from it
    if (range.first > 0) written.push_back(0);
  }
  for (std::uint64_t s = range.first; s <= range.last; ++s) {
    if (Cancelled(run)) return CancelledAt(s);
    if (!disk.WriteSectors(s, ImageSector(image, s)))
      return Failed(FloppyStatus::WriteError, m::kWriteFailedAt, s, disk, m::kWrittenBefore);
    written.push_back(s);
    Report(run, FloppyPhase::Writing, s, range);
  }
  if (!run.verify) {
    if (!disk.ResetDrive())
      return {FloppyStatus::WriteError, std::string(m::kFlushFailed) + disk.ErrorReason()};
    return {FloppyStatus::Done};
  }
  return Verify(disk, image, written, range, run);
}

DiskRead ReadDiskImage(RawDisk& disk, const FloppyRun& run) {
  DiskRead out;
  auto boot = ReadBootSector(disk);
  if (!boot) {
    out.outcome = {FloppyStatus::DriveNotReady,
                   std::string(m::kDriveNotReady) + disk.ErrorReason()};
    return out;
  }
  const DiskGeometry g = GeometryFieldsAt(*boot);
  if (g.bytesPerSector == 0 || g.bytesPerSector % kRawSectorBytes != 0 || g.totalSectors == 0) {
    out.outcome = {FloppyStatus::Refused,
                   FillText(m::kBootGivesNoSize, {N(g.bytesPerSector), N(g.totalSectors)})};
    return out;
  }
  const std::uint64_t bytes = g.DiskBytes();
  if (bytes > disk.SizeBytes()) {
    out.outcome = {FloppyStatus::Refused,
                   FillText(m::kBootClaims, {N(bytes), N(disk.SizeBytes())})};
    return out;
  }
  out.bytes.assign(bytes, 0);
  const WriteRange range{0, bytes / kRawSectorBytes - 1};
  for (std::uint64_t s = range.first; s <= range.last; ++s) {
    if (Cancelled(run)) {
      out.outcome = CancelledAt(s);
      out.bytes.clear();
      return out;
    }
    MutableBytes sector(out.bytes.data() + s * kRawSectorBytes, kRawSectorBytes);
    if (!disk.ReadSectors(s, sector)) {
      out.outcome = Failed(FloppyStatus::ReadError, m::kReadFailedAt, s, disk);
      out.bytes.clear();
      return out;
    }
    Report(run, FloppyPhase::Reading, s, range);
  }
  out.outcome = {FloppyStatus::Done};
  return out;
}

Result ReadDiskToFile(RawDisk& disk, const std::filesystem::path& target, const FloppyRun& run,
                      FileIo& io) {
  DiskRead read = ReadDiskImage(disk, run);
  if (read.outcome.status != FloppyStatus::Done) return read.outcome;
  if (!WriteAtomically(target, read.bytes, io, LinkPolicy::Replace))
    return {FloppyStatus::CannotSave, std::string(m::kCannotSaveRead) + target.string()};
  return {FloppyStatus::Done};
}

}  // namespace quarnel
