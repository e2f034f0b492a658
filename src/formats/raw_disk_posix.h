// A RawDisk over a host block device or regular file, by the POSIX calls. Only the floppy
// target checks (floppy_devices.h) decide which device may be opened; this opens what it is
// given.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>

#include "formats/raw_disk.h"

namespace quarnel {

enum class RawDiskAccess { Read, ReadWrite };

class PosixRawDisk;

// Opens `path`, a block device or a regular file (anything else is refused with ENODEV). A block
// device is opened exclusively (O_EXCL: refused while it is mounted or opened so by another
// program) and, for writing, with synchronous writes, so that a sector the device cannot write is
// reported at that sector. nullptr on a failure, with the system's error number in `error`.
std::unique_ptr<PosixRawDisk> OpenRawDisk(const std::filesystem::path& path, RawDiskAccess access,
                                          int& error);

class PosixRawDisk : public RawDisk {
 public:
  ~PosixRawDisk() override;
  PosixRawDisk(const PosixRawDisk&) = delete;
  PosixRawDisk& operator=(const PosixRawDisk&) = delete;

  bool ReadSectors(std::uint64_t first, MutableBytes out) override;
  bool WriteSectors(std::uint64_t first, Bytes data) override;
  std::uint64_t SizeBytes() const override;
  bool FixedSize() const override { return blockDevice_; }
  bool ResetDrive() override;

  // The device number of the opened block device (0 for a regular file).
  dev_t DeviceNumber() const { return device_; }

 private:
  friend std::unique_ptr<PosixRawDisk> OpenRawDisk(const std::filesystem::path& path,
                                                   RawDiskAccess access, int& error);
  PosixRawDisk() = default;
  int fd_ = -1;
  bool blockDevice_ = false;
  bool writable_ = false;
  dev_t device_ = 0;
  std::uint64_t size_ = 0;
};

}  // namespace quarnel
