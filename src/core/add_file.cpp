#include "core/add_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "core/delete_entry.h"
#include "core/dir_entry.h"
#include "core/dir_slot.h"
#include "core/directory.h"
#include "core/fat.h"
#include "core/messages.h"
#include "core/workspace.h"

namespace quarnel {

namespace fs = std::filesystem;

std::array<std::uint8_t, 11> MakeMsxName(std::string_view host) {
  std::array<std::uint8_t, 11> out;
  out.fill(' ');
  // i: 1-based position in the host name; j: 0-based position in the 11 bytes.
  std::size_t i = 1, j = 0;
  const std::size_t len = host.size();
  while (i <= kLongestHostName && j <= 10) {
    if (i <= len && host[i - 1] == '.') {
      for (std::size_t k = i - 1; k <= 7; ++k) out[k] = ' ';
      j = 8;
      ++i;
    }
    if (i > len) {
      out[j] = ' ';
    } else {
      auto c = static_cast<std::uint8_t>(host[i - 1]);
      out[j] = (c >= 'a' && c <= 'z') ? static_cast<std::uint8_t>(c - 'a' + 'A') : c;
    }
    ++i;
    ++j;
  }
  return out;
}

bool IsValidMsxName(std::string_view name) {
  if (name.empty() || name.size() > kLongestHostName) return false;
  auto dot = name.rfind('.');
  std::size_t extLen = dot == std::string_view::npos ? 0 : name.size() - dot;
  if (extLen > 4 || name.size() - extLen > 8) return false;
  return !IsFreeSlotByte(MakeMsxName(name)[0]);
}

std::optional<int> FindFreeRootSlot(const DiskImage& image) {
  for (int slot = 0; slot < static_cast<int>(image.geometry.rootEntries); ++slot) {
    auto off = RootSlotOffset(image, slot);
    if (!off) break;
    if (IsFreeSlotByte(image.bytes[*off])) return slot;
  }
  return std::nullopt;
}

namespace {

// A data cluster whose FAT entry is free and whose bytes lie inside the image.
bool UsableFreeCluster(const DiskImage& image, std::uint32_t c) {
  return ReadFatEntry(image, c) == kFatFree && ClusterData(image, c).has_value();
}

}  // namespace

std::vector<std::uint16_t> LowestFreeClusters(const DiskImage& image, std::size_t n) {
  std::vector<std::uint16_t> out;
  out.reserve(n);
  const std::uint32_t last = image.geometry.LastDataCluster();
  for (std::uint32_t c = 2; c <= last && out.size() < n; ++c)
    if (UsableFreeCluster(image, c)) out.push_back(static_cast<std::uint16_t>(c));
  return out;
}

std::size_t FreeClusterCount(const DiskImage& image) {
  std::size_t count = 0;
  const std::uint32_t last = image.geometry.LastDataCluster();
  for (std::uint32_t c = 2; c <= last; ++c)
    if (UsableFreeCluster(image, c)) ++count;
  return count;
}

namespace {

// Size of a root entry as the listing reads it (bytes 28-30).
std::uint32_t ListedSize(const std::uint8_t* entry) {
  return entry[28] | (entry[29] << 8) | (static_cast<std::uint32_t>(entry[30]) << 16);
}

// What the add would do, decided before anything changes.
struct AddPlan {
  std::vector<std::size_t> replaced;    // offsets of same-named files
  std::vector<std::uint16_t> freed;     // clusters their deletion frees
  std::optional<int> slot;              // slot of the new entry
};

// Finds same-named files and the slot. A directory of the same name is never replaced.
AddStatus PlanAdd(const DiskImage& img, const std::array<std::uint8_t, 11>& name, AddPlan& plan) {
  std::optional<int> freeSlot, firstReplaced;
  for (int slot = 0; slot < static_cast<int>(img.geometry.rootEntries); ++slot) {
    auto off = RootSlotOffset(img, slot);
    if (!off) break;
    const std::uint8_t* e = img.bytes.data() + *off;
    if (IsFreeSlotByte(e[0])) {
      if (!freeSlot) freeSlot = slot;
      continue;
    }
    const std::uint8_t attr = e[11];
    if (IsLongNameAttribute(attr) || (attr & kAttrVolume) || !SameMsxName(e, name.data())) continue;
    if (attr & kAttrDirectory) return AddStatus::NameIsDirectory;
    if (!firstReplaced) firstReplaced = slot;
    plan.replaced.push_back(*off);
    if (ListedSize(e) == 0) continue;
    for (auto c : ChainToFree(img, static_cast<std::uint16_t>(e[26] | (e[27] << 8))))
      if (std::find(plan.freed.begin(), plan.freed.end(), c) == plan.freed.end()) plan.freed.push_back(c);
  }
  plan.slot = freeSlot;
  if (firstReplaced && (!freeSlot || *firstReplaced < *freeSlot)) plan.slot = firstReplaced;
  return AddStatus::Added;
}

std::size_t ClustersFor(std::size_t bytes, std::size_t clusterBytes) {
  return (bytes + clusterBytes - 1) / clusterBytes;
}

bool CheckImage(Workspace& ws, Ui& ui, AddStatus& status) {
  if (ws.image.imagePath.empty() || !ws.HasImage()) {
    ui.Notify(msg::kNoImageSelected);
    status = AddStatus::NoImage;
    return false;
  }
  if (ws.image.level != 0) {  // entries are written into the root directory only
    ui.Notify(msg::kOnlyInRootDir);
    status = AddStatus::NotInRoot;
    return false;
  }
  return true;
}

}  // namespace

AddStatus AddFileData(Workspace& ws, const NewFile& file, Ui& ui) {
  AddStatus status = AddStatus::Added;
  if (!CheckImage(ws, ui, status)) return status;
  DiskImage& img = ws.image;
  img.changed = true;
  const auto& g = img.geometry;
  const auto name = MakeMsxName(file.name);

  AddPlan plan;
  if (PlanAdd(img, name, plan) == AddStatus::NameIsDirectory) {
    ui.Notify(std::string(msg::kNameIsDirectory) + file.name);
    return AddStatus::NameIsDirectory;
  }
  const std::size_t need = ClustersFor(file.bytes.size(), g.clusterBytes);
  if (FreeClusterCount(img) + plan.freed.size() < need) {
    ui.Notify(msg::kDiskFull);
    return AddStatus::DiskFull;
  }
  if (!plan.slot) {
    ui.Notify(msg::kDirectoryFull);
    return AddStatus::DirectoryFull;
  }

  // The add succeeds: replace, allocate, write.
  FreeClusters(img, plan.freed);
  for (auto off : plan.replaced) img.bytes[off] = kEntryDeleted;
  const std::vector<std::uint16_t> clusters = LowestFreeClusters(img, need);
  for (std::size_t k = 0; k < clusters.size(); ++k) {
    const std::size_t off = ClusterOffset(g, clusters[k]);
    const std::size_t from = k * g.clusterBytes;
    const std::size_t n = std::min<std::size_t>(g.clusterBytes, file.bytes.size() - from);
    std::memcpy(img.bytes.data() + off, file.bytes.data() + from, n);
    std::memset(img.bytes.data() + off + n, 0, g.clusterBytes - n);  // the tail of the last one
    WriteFatEntry(img, clusters[k], k + 1 < clusters.size() ? clusters[k + 1] : kFatEndOfChain);
  }
  DirEntry e{};
  std::memcpy(e.name, name.data(), 8);
  std::memcpy(e.extension, name.data() + 8, 3);
  e.attribute = file.attribute;
  e.time.Set(FatTime(file.modified));
  e.date.Set(FatDate(file.modified));
  e.firstCluster.Set(clusters.empty() ? 0 : clusters.front());
  e.size.Set(static_cast<std::uint32_t>(file.bytes.size()));
  PutDirEntry(img.MutableView(), *RootSlotOffset(img, *plan.slot), e);
  CopyFatToMirrors(img);
  img.changed = true;
  return AddStatus::Added;
}

namespace {

// The host name to use: asks for a new one while it is too long or would make no usable entry.
std::optional<std::string> EntryNameFor(const std::string& hostName, Ui& ui) {
  if (hostName.size() <= kLongestHostName && !IsFreeSlotByte(MakeMsxName(hostName)[0]))
    return hostName;
  for (;;) {
    auto answer = ui.AskNewName(hostName);
    if (!answer) return std::nullopt;
    if (IsValidMsxName(*answer)) return *answer;
  }
}

}  // namespace

namespace {

// An open host file, closed when it goes away.
struct HostFd {
  int fd = -1;
  explicit HostFd(const fs::path& p) : fd(::open(p.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~HostFd() {
    if (fd >= 0) ::close(fd);
  }
  HostFd(const HostFd&) = delete;
  HostFd& operator=(const HostFd&) = delete;
};

bool ReadAll(int fd, std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

AddStatus AddFile(Workspace& ws, const fs::path& hostPath, Ui& ui) {
  AddStatus status = AddStatus::Added;
  if (!CheckImage(ws, ui, status)) return status;
  ws.image.changed = true;

  // One open and one fstat give the size, the kind, the permissions and the time.
  HostFd host(hostPath);
  struct stat st {};
  if (host.fd < 0 || ::fstat(host.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ui.Notify(msg::kHostReadError);
    return AddStatus::ReadError;
  }
  auto name = EntryNameFor(hostPath.filename().string(), ui);
  if (!name) return AddStatus::Cancelled;

  // Larger than the whole data area: no need to read it to know.
  const auto& g = ws.image.geometry;
  const auto hostSize = static_cast<std::uintmax_t>(st.st_size);
  if (hostSize > static_cast<std::uintmax_t>(std::max(0, g.dataClusters)) * g.clusterBytes) {
    ui.Notify(msg::kDiskFull);
    return AddStatus::DiskFull;
  }
  NewFile file;
  file.name = std::move(*name);
  try {
    file.bytes.resize(static_cast<std::size_t>(hostSize));
  } catch (const std::bad_alloc&) {
    ui.Notify(msg::kNoMemory);
    return AddStatus::NoMemory;
  }
  if (!ReadAll(host.fd, file.bytes)) {
    ui.Notify(msg::kHostReadError);
    return AddStatus::ReadError;
  }
  // Read-only is the host's missing write permission; every other host file is an archive.
  file.attribute = kAttrArchive;
  if ((st.st_mode & S_IWUSR) == 0) file.attribute |= kAttrReadOnly;
  file.modified = ToLocalDateTime(st.st_mtime);
  return AddFileData(ws, file, ui);
}

DropOutcome DropFiles(Workspace& ws, const std::vector<fs::path>& files, Ui& ui) {
  if (files.size() == 1) {
    const std::string ext = HostExtension(files.front().string());
    if (ext == ".DSK") return DropOutcome::OpenImage;
    if (ext == ".CAS") return DropOutcome::OpenCassette;
  }
  if (ws.image.level != 0) {
    ui.Notify(msg::kOnlyInRootDir);
    return DropOutcome::NotInRoot;
  }
  const std::string remembered = ws.statusText;
  bool allAdded = true;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (AddFile(ws, files[i], ui) != AddStatus::Added) allAdded = false;
    ws.SetStatus(std::string(msg::kAddingFile) + std::to_string(i) + std::string(msg::kAddingFileOf) +
                     std::to_string(files.size()),
                 ui);
  }
  ws.SetStatus(remembered, ui);
  ReadDirectory(ws, ui);
  return allAdded ? DropOutcome::Added : DropOutcome::SomeFailed;
}

}  // namespace quarnel
