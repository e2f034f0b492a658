#include "core/workspace.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "core/fat.h"
#include "core/host_file.h"
#include "core/messages.h"
#include "core/save_image.h"

namespace quarnel {

namespace fs = std::filesystem;

std::string_view EnterMessage(EnterOutcome outcome) {
  switch (outcome) {
    case EnterOutcome::Illegal:
      return msg::kIllegalDirectory;
    case EnterOutcome::TooDeep:
      return msg::kDirectoryTooDeep;
    case EnterOutcome::Entered:
    case EnterOutcome::Left:
    case EnterOutcome::BrokenChain:
    case EnterOutcome::NotADirectory:
      break;
  }
  return {};
}

void Workspace::Unload() {
  image = DiskImage{};
  imagePath.clear();
  folders.clear();
  listing = DirContents{};
}

namespace {

// Reset of a load: nothing of the image it replaces stays.
void ResetForLoad(Workspace& ws) {
  ws.Unload();
  ws.MarkSaved();
}

// The boot-sector field that makes the layout impossible, in words; nullopt when none does.
std::optional<std::string> ZeroBootField(const DiskGeometry& g) {
  if (g.bytesPerSector == 0) return "bytes per sector (offset 11) is 0";
  if (g.sectorsPerCluster == 0) return "sectors per cluster (offset 13) is 0";
  if (g.reservedSectors == 0)
    return "reserved sectors (offset 14) is 0: the FAT would lie on the boot sector";
  if (g.fatCount == 0) return "number of FATs (offset 16) is 0";
  if (g.sectorsPerFat == 0) return "sectors per FAT (offset 22) is 0";
  if (g.sectorsPerTrack == 0) return "sectors per track (offset 24) is 0";
  if (g.sides == 0) return "number of sides (offset 26) is 0";
  return std::nullopt;
}

bool IsStandardSize(std::int64_t size) {
  return std::find(std::begin(kStandardImageSizes), std::end(kStandardImageSizes), size) !=
         std::end(kStandardImageSizes);
}

}  // namespace

bool Workspace::RefuseImageSize(std::uintmax_t size, Ui& ui) {
  if (size > static_cast<std::uintmax_t>(kLargestImageSize)) {
    ui.Notify(msg::kFileTooBig);
  } else if (size < static_cast<std::uintmax_t>(kSmallestImageSize)) {
    ui.Notify(msg::kFileTooSmall);
  } else {
    return false;
  }
  image.loadFailed = true;
  return true;
}

HostReadError Workspace::LoadImage(const std::string& path, Ui& ui) {
  ResetForLoad(*this);

  // Only a regular file is opened. A directory, FIFO or device has no size here, so it is "too
  // small" as the system says; its kind is returned for front ends that say more. A file of a
  // size no disk has is not read at all.
  HostFile file(path);
  if (file.info().mode == 0) return file.error();  // nothing there: nothing loaded, no message
  const HostReadError kind = IsOtherKind(file.error()) ? file.error() : HostReadError::None;
  if (RefuseImageSize(file.info().size, ui)) return kind;

  ImageBytes bytes;
  const HostReadError read = file.ReadAll(static_cast<std::uintmax_t>(kLargestImageSize), bytes);
  if (read == HostReadError::NoMemory) {
    ui.Notify(msg::kNoMemory);
    return read;
  }
  if (read != HostReadError::None) {
    ui.Notify(msg::kReadError);
    image.loadFailed = true;
    imagePath.clear();
    return read;
  }
  LoadImageBytes(std::move(bytes), path, ui);
  return HostReadError::None;
}

void Workspace::LoadImageBytes(const std::vector<std::uint8_t>& bytes, const std::string& path,
                               Ui& ui) {
  LoadImageBytes(ImageBytes(bytes.begin(), bytes.end()), path, ui);
}

void Workspace::LoadImageBytes(ImageBytes bytes, const std::string& path, Ui& ui) {
  ResetForLoad(*this);
  if (RefuseImageSize(bytes.size(), ui)) return;
  const auto size = static_cast<std::int32_t>(bytes.size());
  if (!IsStandardSize(size)) ui.Notify(msg::kOddDiskSize);
  image.size = size;
  image.bytes = std::move(bytes);
  imagePath = path;
  FinishLoad(ui);
}

void Workspace::LoadBuiltImage(ImageBytes bytes, const std::string& path, Ui& ui) {
  ResetForLoad(*this);
  if (bytes.size() < 512 || bytes.size() > static_cast<std::size_t>(kLargestImageSize)) {
    image.loadFailed = true;
    return;
  }
  image.size = static_cast<std::int32_t>(bytes.size());
  image.bytes = std::move(bytes);
  imagePath = path;
  FinishLoad(ui);
}

void Workspace::FinishLoad(Ui& ui) {
  auto bs = BootSectorAt(image.View());
  if (!bs) {  // cannot happen for an accepted size; kept for callers that bypass the size check
    ui.Notify(msg::kBootSectorError);
    image.bootError = true;
    return;
  }
  if (bs->bytesPerSector.Get() > kLargestSectorSize) {
    image.loadFailed = true;
    ui.Notify(msg::kSectorTooBig);
    image.bootError = true;
    return;
  }
  DiskGeometry g = GeometryFields(*bs);
  // A zero field would divide by zero below; no FAT, or a FAT lying on the boot sector, would
  // have every change write FAT entries over the boot sector or the root directory.
  if (auto field = ZeroBootField(g)) {
    image.geometry = g;
    image.bootErrorDetail = *field;
    ui.Notify(msg::kBootSectorError);
    image.bootError = true;
    return;
  }
  DeriveGeometry(g);
  image.geometry = g;
  if (static_cast<std::int64_t>(g.totalSectors) * g.bytesPerSector > image.size) {
    ui.Notify(msg::kDiskSmallerThanGeometry);
    image.bootError = true;
    return;
  }
  // The FATs and the root directory must lie inside the disk (and so inside the image).
  if (g.dataSectors < 0 || g.dataOffset > static_cast<std::uint64_t>(image.size)) {
    ui.Notify(msg::kSystemAreaOutside);
    image.bootError = true;
    return;
  }
  if (g.dataClusters > kMostFat12Clusters) {
    image.bootErrorDetail = std::to_string(g.dataClusters) + " clusters, " +
                            std::to_string(kMostFat12Clusters) + " at most";
    ui.Notify(msg::kTooManyClusters);
    image.bootError = true;
    return;
  }
  folders.assign(1, DirLevel{"\\", kRootDir});
  Refresh();
}

void Workspace::Refresh() {
  listing = DirContents{};
  if (!HasImage()) return;
  // A broken chain shows the parent instead; the root never breaks.
  while (!folders.empty()) {
    if (auto contents = ListDirectory(image, folders.back().dir)) {
      listing = std::move(*contents);
      return;
    }
    folders.pop_back();
  }
  folders.assign(1, DirLevel{"\\", kRootDir});
  if (auto root = ListDirectory(image, kRootDir)) listing = std::move(*root);
}

void Workspace::Leave() {
  if (folders.size() > 1) folders.pop_back();
  Refresh();
}

EnterOutcome Workspace::Enter(const FileEntry& entry, std::string_view caption) {
  if (!HasImage()) return EnterOutcome::NotADirectory;
  if (entry.IsDot() && entry.name == "..") {
    Leave();
    return EnterOutcome::Left;
  }
  if (entry.IsDot()) {
    Refresh();
    return EnterOutcome::Entered;
  }
  if (!entry.IsDirectory()) return EnterOutcome::NotADirectory;
  if (static_cast<int>(folders.size()) >= kDirStackDepth) return EnterOutcome::TooDeep;
  // Below 2, above the disk, or a cluster the image does not hold.
  if (!FirstClusterValid(image, entry.firstCluster)) {
    Refresh();
    return EnterOutcome::Illegal;
  }
  const DirRef dir{entry.firstCluster};
  auto contents = ListDirectory(image, dir);
  if (!contents) {
    folders.resize(1);
    Refresh();
    return EnterOutcome::BrokenChain;
  }
  folders.push_back({CurrentPath() + std::string(caption) + "\\", dir});
  listing = std::move(*contents);
  return EnterOutcome::Entered;
}

}  // namespace quarnel
