#include "core/extract.h"

#include <chrono>

#include "core/clock.h"
#include "core/directory.h"
#include "core/fat.h"
#include "core/file_list.h"
#include "core/messages.h"
#include "core/save_image.h"
#include "core/workspace.h"

namespace quarnel {

namespace fs = std::filesystem;

ChainBytes ReadChainBytes(const DiskImage& image, std::uint16_t first, std::uint32_t size,
                          ChainEarlyEnd earlyEnd) {
  ChainBytes out;
  const std::uint64_t cb = image.geometry.clusterBytes;
  if (size == 0) return out;
  const std::uint32_t last = image.geometry.LastDataCluster();
  const std::uint64_t dataBytes = static_cast<std::uint64_t>(last - 1) * cb;
  if (cb == 0 || last < 2 || size > dataBytes) {
    out.complete = false;
    return out;
  }
  const std::uint64_t need = (size + cb - 1) / cb;
  out.bytes.reserve(static_cast<std::size_t>(need * cb));
  ChainWalk walk(image, first, ChainPolicy::Read(static_cast<std::size_t>(need), earlyEnd));
  for (std::uint16_t c : walk) {
    const Bytes data = *ClusterData(image, c);  // the walk yields data clusters only
    out.bytes.insert(out.bytes.end(), data.begin(), data.end());
  }
  if (walk.Stop() == ChainStop::Limit) {
    out.bytes.resize(size);
  } else {
    out.complete = false;
    out.endedEarly = walk.Stop() == ChainStop::EarlyEnd && !walk.Broken();
  }
  return out;
}

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

ExtractStatus ExtractFile(Workspace& ws, int slot, const fs::path& hostPath, Ui& ui, FileIo& io) {
  if (HostFileKindOf(ws.image.imagePath) == HostFileKind::Cassette)
    return ExtractStatus::CassetteImage;
  if (!ws.HasImage()) return ExtractStatus::NoImage;
  if (!ReadEntry(ws, slot)) return ExtractStatus::NoEntry;
  const CurrentEntry e = ws.current;
  const std::uint32_t size = e.fullSize;
  if (size > 0 && !FirstClusterValid(ws.image, e.firstCluster)) {
    ui.Notify(msg::kFirstClusterOutOfBounds);
    return ExtractStatus::FirstClusterOutOfBounds;
  }
  // A file cut short by its chain would pass for a whole one: nothing is written.
  ChainBytes data = ReadChainBytes(ws.image, e.firstCluster, size, ChainEarlyEnd::Broken);
  if (!data.ok()) {
    ui.Notify(msg::kClusterError);
    return ExtractStatus::ClusterError;
  }
  // A link standing where the file goes is replaced, never written through.
  if (!WriteAtomically(hostPath, data.bytes, io, LinkPolicy::Replace)) {
    ui.Notify(std::string(msg::kCannotWriteFile) + hostPath.string());
    return ExtractStatus::CannotWrite;
  }
  const ListingRecord& r = ws.listing[static_cast<std::size_t>(slot)];
  ApplyHostAttributes(hostPath, e.attribute, r.date, r.time);
  return ExtractStatus::Written;
}

ExtractStatus ExtractFile(Workspace& ws, int slot, const fs::path& hostPath, Ui& ui) {
  return ExtractFile(ws, slot, hostPath, ui, DefaultFileIo());
}

std::optional<SavePrompt> ExtractPrompt(const Workspace& ws, int slot) {
  const FileRow* row = ws.RowForSlot(slot);
  if (!row) return std::nullopt;
  return SavePrompt{std::string(msg::kExtractTitle), row->caption};
}

int ExtractSelected(Workspace& ws, const std::vector<ExtractTarget>& targets, Ui& ui) {
  int written = 0;
  for (const ExtractTarget& t : targets) {
    if (t.hostPath.empty()) break;
    ExtractStatus s = ExtractFile(ws, t.slot, t.hostPath, ui);
    if (s == ExtractStatus::CassetteImage) break;  // the cassette layer takes over
    if (s == ExtractStatus::Written) ++written;
  }
  return written;
}

}  // namespace quarnel
