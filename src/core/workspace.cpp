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

bool IsStandardSize(std::int64_t size) {
  return std::find(std::begin(kStandardImageSizes), std::end(kStandardImageSizes), size) !=
         std::end(kStandardImageSizes);
}

}  // namespace

bool Workspace::RefuseImageSize(std::uintmax_t size, LoadReport& report) {
  if (size > static_cast<std::uintmax_t>(kLargestImageSize)) {
    report.messages.push_back(msg::kFileTooBig);
  } else if (size < static_cast<std::uintmax_t>(kSmallestImageSize)) {
    report.messages.push_back(msg::kFileTooSmall);
  } else {
    return false;
  }
  image.loadFailed = true;
  return true;
}

LoadReport Workspace::LoadImage(const std::string& path) {
  ResetForLoad(*this);
  LoadReport report;

  // Only a regular file is opened. A directory, FIFO or device has no size here, so it is "too
  // small" as the system says; its kind is returned for front ends that say more. A file of a
  // size no disk has is not read at all.
  HostFile file(path);
  if (file.info().mode == 0) {  // nothing there: nothing loaded, no message
    report.read = file.error();
    return report;
  }
  if (IsOtherKind(file.error())) report.read = file.error();
  if (report.read == HostReadError::None && file.info().size > kLargestFloppyBytes &&
      LoadLargeImage(path, file.info().size, report))
    return report;
  if (RefuseImageSize(file.info().size, report)) return report;

  ImageBytes bytes;
  ZeroBlocks holes;
  const HostReadError read =
      file.ReadAll(static_cast<std::uintmax_t>(kLargestImageSize), bytes, &holes);
  if (read == HostReadError::NoMemory) {
    report.messages.push_back(msg::kNoMemory);
    report.read = read;
    return report;
  }
  if (read != HostReadError::None) {
    report.messages.push_back(msg::kReadError);
    report.read = read;
    image.loadFailed = true;
    imagePath.clear();
    return report;
  }
  return LoadImageBytes(std::move(bytes), path, std::move(holes));
}

LoadReport Workspace::LoadImageBytes(const std::vector<std::uint8_t>& bytes,
                                     const std::string& path) {
  return LoadImageBytes(ImageBytes(bytes.begin(), bytes.end()), path);
}

LoadReport Workspace::LoadImageBytes(ImageBytes bytes, const std::string& path, ZeroBlocks holes) {
  ResetForLoad(*this);
  LoadReport report;
  if (RefuseImageSize(bytes.size(), report)) return report;
  const auto size = static_cast<std::int32_t>(bytes.size());
  if (!IsStandardSize(size)) report.messages.push_back(msg::kOddDiskSize);
  image = DiskImage(std::move(bytes), {}, std::move(holes));
  imagePath = path;
  FinishLoad(report);
  return report;
}

LoadReport Workspace::LoadBuiltImage(ImageBytes bytes, const std::string& path) {
  ResetForLoad(*this);
  LoadReport report;
  if (bytes.size() < 512 || bytes.size() > static_cast<std::size_t>(kLargestImageSize)) {
    image.loadFailed = true;
    return report;
  }
  image = DiskImage(std::move(bytes));
  imagePath = path;
  FinishLoad(report);
  return report;
}

namespace {

// What the user is told when a boot sector gives no usable layout.
std::string_view GeometryFaultMessage(GeometryFault fault) {
  switch (fault) {
    case GeometryFault::SectorTooBig:
      return msg::kSectorTooBig;
    case GeometryFault::DiskLarger:
      return msg::kDiskSmallerThanGeometry;
    case GeometryFault::SystemOutside:
      return msg::kSystemAreaOutside;
    case GeometryFault::TooManyClusters:
      return msg::kTooManyClusters;
    case GeometryFault::None:
    case GeometryFault::NoBootSector:  // cannot happen for an accepted size
    case GeometryFault::ZeroField:
      break;
  }
  return msg::kBootSectorError;
}

}  // namespace

bool Workspace::LoadLargeImage(const std::string& path, std::uintmax_t size, LoadReport& report) {
  // Written in place when the file may be written; a command that only reads writes nothing.
  std::unique_ptr<FileStore> store = FileStore::Open(path, true, true);
  if (!store) store = FileStore::Open(path, false, true);
  if (!store || store->Size() != size) return false;
  const auto boot = store->Read(0, 512);
  if (!boot || !ReadGeometry(*boot, store->Size()).Usable()) return false;
  if (size > kLargestWholeImage) {
    report = LoadVolume(std::move(store), path);
    return true;
  }
  // A volume of floppy size is held whole and saved like a floppy.
  ImageBytes bytes;
  ZeroBlocks holes;
  if (HostFile(path).ReadAll(kLargestWholeImage, bytes, &holes) != HostReadError::None ||
      bytes.size() != size)
    return false;
  ResetForLoad(*this);
  image = DiskImage(std::move(bytes), {}, std::move(holes));
  imagePath = path;
  FinishLoad(report, kMostFat16Clusters);
  return true;
}

LoadReport Workspace::LoadVolume(std::unique_ptr<SectorStore> store, const std::string& path) {
  LoadReport report;
  ResetForLoad(*this);
  if (!store || store->Size() < 512) {
    image.loadFailed = true;
    return report;
  }
  image = DiskImage(std::move(store), DiskGeometry{});
  imagePath = path;
  FinishLoad(report, kMostFat16Clusters);
  return report;
}

void Workspace::FinishLoad(LoadReport& report, std::int32_t mostClusters) {
  // Floppies are FAT12: one whose boot sector gives more clusters is refused.
  GeometryReading read =
      ReadGeometry(image.Read(0, std::min<std::uint64_t>(image.Size(), 512)).value_or(Bytes()),
                   image.Size(), mostClusters);
  if (read.fault != GeometryFault::None) {
    // The fields stay for the reports, unless the sector size or the boot sector itself is
    // what failed.
    if (read.fault == GeometryFault::SectorTooBig) image.loadFailed = true;
    if (read.fault != GeometryFault::SectorTooBig && read.fault != GeometryFault::NoBootSector)
      image.geometry = read.geometry;
    image.bootErrorDetail = read.detail;
    report.messages.push_back(GeometryFaultMessage(read.fault));
    image.bootError = true;
    return;
  }
  image.geometry = read.geometry;
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
