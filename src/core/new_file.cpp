#include "core/new_file.h"

#include <sys/stat.h>

#include <algorithm>

#include "core/dir_entry.h"
#include "core/messages.h"
#include "core/msx_name.h"

namespace quarnel {

namespace fs = std::filesystem;

namespace {

// ReadNewFile, with `read(host, limit)` reading the bytes of the open host file.
template <class Read>
AddOutcome ReadHostFile(const DiskImage& image, const fs::path& hostPath,
                        std::string_view entryName, NewFile& file, Read read) {
  if (!image.Usable()) return {AddStatus::NoImage, std::string(msg::kNoImageSelected)};
  auto readError = [&](HostReadError e) {
    AddOutcome out = e == HostReadError::NoMemory
                         ? AddOutcome{AddStatus::NoMemory, std::string(msg::kNoMemory)}
                         : AddOutcome{AddStatus::ReadError, std::string(msg::kHostReadError)};
    out.hostError = e;
    return out;
  };

  // One open gives the size, the kind, the permissions and the time; only a regular file opens.
  HostFile host(hostPath);
  if (host.error() != HostReadError::None) return readError(host.error());
  if (!IsValidMsxName(entryName)) return AddStatus::InvalidName;

  // Larger than the whole data area: no need to read it to know.
  const auto& g = image.geometry;
  const auto dataBytes = static_cast<std::uintmax_t>(std::max(0, g.dataClusters)) * g.clusterBytes;
  if (host.info().size > dataBytes) return {AddStatus::DiskFull, std::string(msg::kDiskFull)};
  file.name = std::string(entryName);
  const HostReadError e = read(host, dataBytes);
  if (e == HostReadError::TooLarge) return {AddStatus::DiskFull, std::string(msg::kDiskFull)};
  if (e != HostReadError::None) return readError(e);
  // Read-only is the host's missing write permission; every other host file is an archive.
  file.attribute = kAttrArchive;
  if ((host.info().mode & S_IWUSR) == 0) file.attribute |= kAttrReadOnly;
  file.modified = ToLocalDateTime(host.info().modified);
  return AddStatus::Added;
}

}  // namespace

AddOutcome ReadNewFile(const DiskImage& image, const fs::path& hostPath, std::string_view entryName,
                       NewFile& file) {
  return ReadHostFile(image, hostPath, entryName, file, [&file](HostFile& host, auto limit) {
    return host.ReadAll(limit, file.bytes);
  });
}

AddOutcome ReadNewFileInto(const DiskImage& image, const fs::path& hostPath,
                           std::string_view entryName, NewFile& file, ImageBytes& data) {
  return ReadHostFile(
      image, hostPath, entryName, file,
      [&data](HostFile& host, std::uintmax_t limit) { return host.ReadAll(limit, data); });
}

}  // namespace quarnel
