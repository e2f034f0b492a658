// A floppy in memory for the tests of the floppy code: it records what is done to it, in order,
// and fails or corrupts the sectors it is told to.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "formats/raw_disk.h"

namespace quarnel::test {

class FakeRawDisk : public RawDisk {
 public:
  // A disk of `sectors` sectors, every byte `fill`.
  explicit FakeRawDisk(std::uint64_t sectors, std::uint8_t fill = 0xE5)
      : bytes(sectors * kRawSectorBytes, fill) {}

  bool ReadSectors(std::uint64_t first, MutableBytes out) override {
    log.push_back("read " + std::to_string(first));
    if (failReadAt && *failReadAt >= first && *failReadAt < first + out.size() / kRawSectorBytes)
      return Fail(failErrno);
    if (first * kRawSectorBytes + out.size() > bytes.size()) return Fail(ENXIO);
    std::memcpy(out.data(), bytes.data() + first * kRawSectorBytes, out.size());
    return true;
  }
  bool WriteSectors(std::uint64_t first, Bytes data) override {
    log.push_back("write " + std::to_string(first));
    writes.push_back(first);
    if (failWriteAt && *failWriteAt >= first &&
        *failWriteAt < first + data.size() / kRawSectorBytes)
      return Fail(failErrno);
    if (first * kRawSectorBytes + data.size() > bytes.size()) return Fail(ENOSPC);
    std::memcpy(bytes.data() + first * kRawSectorBytes, data.data(), data.size());
    if (corruptAt && *corruptAt == first) bytes[first * kRawSectorBytes + 17] ^= 0x40;
    return true;
  }
  std::uint64_t SizeBytes() const override { return bytes.size(); }
  bool FixedSize() const override { return true; }
  bool ResetDrive() override {
    log.push_back("reset");
    return true;
  }

  // Sector `s` as the disk holds it.
  std::vector<std::uint8_t> Sector(std::uint64_t s) const {
    auto from = bytes.begin() + static_cast<std::ptrdiff_t>(s * kRawSectorBytes);
    return {from, from + static_cast<std::ptrdiff_t>(kRawSectorBytes)};
  }

  std::vector<std::uint8_t> bytes;
  std::vector<std::string> log;       // "write N", "read N", "reset", in order
  std::vector<std::uint64_t> writes;  // the sectors written (tried), in order
  std::optional<std::uint64_t> failWriteAt, failReadAt, corruptAt;
  int failErrno = EIO;

 private:
  bool Fail(int e) {
    SetError(e);
    return false;
  }
};

}  // namespace quarnel::test
