#include "core/workspace.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <new>

#include "core/host_file.h"
#include "core/save_image.h"
#include "core/messages.h"

namespace quarnel {

namespace fs = std::filesystem;

std::string HostExtension(std::string_view path) { return UpperExtension(path).substr(0, 4); }

HostFileKind HostFileKindOf(std::string_view path) {
  std::string ext = HostExtension(path);
  if (ext == ".DSK" || ext == ".DI1" || ext == ".DI2") return HostFileKind::DiskImage;
  if (ext == ".CAS") return HostFileKind::Cassette;
  if (ext == ".DDI" || ext == ".IMG" || ext == ".MSX" || ext == ".XSA")
    return HostFileKind::Conversion;
  return HostFileKind::Other;
}

void Workspace::SetStatus(std::string text, Ui& ui) {
  statusText = std::move(text);
  ui.Status(statusText);
}

const FileRow* Workspace::RowForSlot(int slot) const {
  for (const auto& r : fileList.rows)
    if (r.slot == slot) return &r;
  return nullptr;
}

void Workspace::Unload() {
  image.bytes.clear();
  image.bytes.shrink_to_fit();
  image.size = 0;
  image.imagePath.clear();
  image.level = 0;
  image.geometry = DiskGeometry{};
  dirStack = DirStack{};
  listing.clear();
  current = CurrentEntry{};
  fileList.Clear();
  oemField.clear();
  volumeField.clear();
}

HostFileKind Workspace::OpenHostFile(const std::string& path, Ui& ui) {
  HostFileKind kind = HostFileKindOf(path);
  if (kind == HostFileKind::DiskImage) {
    SetStatus(path, ui);
    LoadImage(path, ui);
  }
  return kind;
}

void Workspace::PromptSaveChanged(Ui& ui) {
  std::string title(msg::kSaveChangedTitle);
  title += fs::path(image.imagePath).filename().string();
  auto chosen = ui.AskSavePath(title, image.imagePath);
  if (!chosen || chosen->empty()) return;  // cancelled: the changes are dropped
  SaveImageFile(image, *chosen, image.size, ui);
}

namespace {

// Reset of a load (step 2).
void ResetForLoad(Workspace& ws) {
  ws.sortDirection = -1;
  ws.volumeShown = false;
  ws.listedVolume.clear();
  ws.image.loadFailed = false;
  ws.image.bootError = false;
  ws.image.changed = false;
  ws.Unload();
}

bool IsStandardSize(std::int64_t size) {
  return std::find(std::begin(kStandardImageSizes), std::end(kStandardImageSizes), size) !=
         std::end(kStandardImageSizes);
}

}  // namespace

void Workspace::LoadImage(const std::string& path, Ui& ui) {
  if (image.changed) PromptSaveChanged(ui);
  ResetForLoad(*this);

  std::error_code ec;
  if (!fs::exists(path, ec)) return;  // nothing loaded, no message
  auto fileSize = fs::file_size(path, ec);
  std::int64_t size = ec ? 0 : static_cast<std::int64_t>(fileSize);
  if (fs::is_directory(path, ec)) size = 0;

  if (size > kLargestImageSize) {
    ui.Notify(msg::kFileTooBig);
    image.loadFailed = true;
    return;
  }
  if (size < kSmallestImageSize) {
    ui.Notify(msg::kFileTooSmall);
    image.loadFailed = true;
    return;
  }
  if (!IsStandardSize(size)) ui.Notify(msg::kOddDiskSize);

  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    ui.Notify(msg::kNoMemory);
    return;
  }
  std::ifstream in(path, std::ios::binary);
  std::streamsize got = 0;
  if (in) {
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    got = in.gcount();
  }
  if (got != size) {
    ui.Notify(msg::kReadError);
    image.loadFailed = true;
    image.imagePath.clear();
    return;
  }
  image.size = static_cast<std::int32_t>(size);
  image.bytes = std::move(bytes);
  image.imagePath = path;
  FinishLoad(ui);
}

void Workspace::LoadImageBytes(std::vector<std::uint8_t> bytes, const std::string& path, Ui& ui) {
  if (image.changed) PromptSaveChanged(ui);
  ResetForLoad(*this);
  const std::int64_t size = static_cast<std::int64_t>(bytes.size());
  if (size > kLargestImageSize) {
    ui.Notify(msg::kFileTooBig);
    image.loadFailed = true;
    return;
  }
  if (size < kSmallestImageSize) {
    ui.Notify(msg::kFileTooSmall);
    image.loadFailed = true;
    return;
  }
  if (!IsStandardSize(size)) ui.Notify(msg::kOddDiskSize);
  image.size = static_cast<std::int32_t>(size);
  image.bytes = std::move(bytes);
  image.imagePath = path;
  FinishLoad(ui);
}

void Workspace::FinishLoad(Ui& ui) {
  // The OEM signature, one character per byte.
  oemField.clear();
  volumeField.clear();
  for (std::size_t i = 0; i < kBootOemLength && kBootOemOffset + i < image.bytes.size(); ++i)
    oemField.push_back(static_cast<char>(image.bytes[kBootOemOffset + i]));

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
  // A sector size of 0 would divide by zero below: refused like the other zero fields.
  if (g.sides == 0 || g.sectorsPerTrack == 0 || g.sectorsPerCluster == 0 || g.bytesPerSector == 0) {
    image.geometry = g;
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
  dirStack = DirStack{};
  dirStack[0].path.assign(1, '\\');
  dirStack[0].firstCluster = 0;
  dirStack[0].entryCount = g.rootEntries;
  image.level = 0;
  ReadDirectory(*this, ui);
}

}  // namespace quarnel
