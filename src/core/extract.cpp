#include "core/extract.h"

#include <chrono>

#include "core/atomic_write.h"
#include "core/clock.h"
#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/messages.h"

namespace quarnel {

namespace fs = std::filesystem;

namespace {

// The entry's read-only bit and date onto the host file. Hidden, system and archive have no
// host counterpart and stay in the image.
void ApplyHostAttributes(const fs::path& p, std::uint8_t attribute, std::uint16_t date,
                         std::uint16_t time) {
  std::error_code ec;
  if (auto t = FromFatDateTime(date, time)) {
    auto sys = std::chrono::system_clock::from_time_t(*t);
    fs::last_write_time(p, std::chrono::file_clock::from_sys(sys), ec);
  }
  if (attribute & 0x01)
    fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove, ec);
}

}  // namespace

bool ApplyEntryTime(const DiskImage& image, const FileEntry& e, const fs::path& hostPath) {
  if (!image.Usable() || e.offset + kDirEntrySize > image.Size()) return false;
  const ListingRecord r = DecodeListingRecord(image.Read(e.offset, kDirEntrySize)->data());
  const auto t = FromFatDateTime(r.date, r.time);
  if (!t) return false;
  std::error_code ec;
  const auto sys = std::chrono::system_clock::from_time_t(*t);
  fs::last_write_time(hostPath, std::chrono::file_clock::from_sys(sys), ec);
  return !ec;
}

ExtractOutcome ExtractFile(const DiskImage& image, const FileEntry& e, const fs::path& hostPath,
                           FileIo& io) {
  if (!image.Usable()) return ExtractStatus::NoImage;
  const std::uint32_t size = e.fullSize;
  if (size > 0 && !FirstClusterValid(image, e.firstCluster))
    return {ExtractStatus::FirstClusterOutOfBounds, std::string(msg::kFirstClusterOutOfBounds)};
  // A file cut short by its chain would pass for a whole one: nothing is written.
  ChainBytes data = ReadChainBytes(image, e.firstCluster, size, ChainEarlyEnd::Broken);
  if (!data.ok()) return {ExtractStatus::ClusterError, std::string(msg::kClusterError)};
  // A new file is written in place; what stands under the name (a link too: never written
  // through) is replaced by a rename.
  if (!WriteNewOrReplace(hostPath, data.bytes, io, LinkPolicy::Replace))
    return {ExtractStatus::CannotWrite, std::string(msg::kCannotWriteFile) + hostPath.string()};
  const ListingRecord r = DecodeListingRecord(image.Read(e.offset, kDirEntrySize)->data());
  ApplyHostAttributes(hostPath, e.attribute, r.date, r.time);
  return ExtractStatus::Written;
}

}  // namespace quarnel
