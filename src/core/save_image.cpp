#include "core/save_image.h"

#include <algorithm>
#include <string>

#include "core/disk_image.h"
#include "core/messages.h"
#include "core/save_in_place.h"
#include "core/workspace.h"

namespace quarnel {

namespace fs = std::filesystem;

namespace {

bool OwnerWritable(const fs::path& p) {
  std::error_code ec;
  return (fs::status(p, ec).permissions() & fs::perms::owner_write) != fs::perms::none;
}

}  // namespace

SaveOutcome SaveImageFile(Workspace& ws, const fs::path& path, FileIo& io) {
  const DiskImage& image = ws.image;
  if (image.Empty()) return SaveStatus::NothingLoaded;
  std::error_code ec;
  if (fs::exists(path, ec) && !OwnerWritable(path)) {
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
    if (!OwnerWritable(path)) return {SaveStatus::ReadOnly, std::string(msg::kReadOnlyFile)};
  }
  // A volume read in place is saved in place: only what the change wrote, in a safe order. It
  // has no whole buffer to write anywhere else.
  if (image.Memory().empty()) {
    const std::string own = image.Store() ? image.Store()->FilePath() : std::string();
    if (own.empty() || !fs::equivalent(own, path, ec) || !CommitInPlace(ws.image))
      return {SaveStatus::CannotSave, std::string(msg::kCannotSave)};
    ws.MarkSaved();
    return SaveStatus::Saved;
  }
  // The whole buffer of an image held in memory is saved by replacing the file.
  if (!WriteAtomically(path, image.View(), io, LinkPolicy::Follow, image.KnownZeros()))
    return {SaveStatus::CannotSave, std::string(msg::kCannotSave)};
  ws.MarkSaved();
  return SaveStatus::Saved;
}

SaveOutcome Save(Workspace& ws) {
  if (ws.imagePath.empty() || ws.image.Empty()) return SaveStatus::NothingLoaded;
  return SaveImageFile(ws, ws.imagePath);
}

SaveOutcome SaveAs(Workspace& ws, const fs::path& path) {
  if (ws.imagePath.empty() || ws.image.Empty()) return SaveStatus::NothingLoaded;
  if (path.empty()) return SaveStatus::Cancelled;
  return SaveImageFile(ws, path);
}

}  // namespace quarnel
