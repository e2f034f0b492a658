// The geometry lines of a floppy's boot sector, and the size a read of the floppy takes from it,
// on any sector.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/floppy_write.h"
#include "formats/raw_disk.h"

namespace {

// A disk of 8 sectors whose sector 0 is the input.
class InputDisk : public quarnel::RawDisk {
 public:
  InputDisk(const std::uint8_t* data, std::size_t size) : bytes_(8 * quarnel::kRawSectorBytes, 0) {
    std::memcpy(bytes_.data(), data, size < bytes_.size() ? size : bytes_.size());
  }
  bool ReadSectors(std::uint64_t first, quarnel::MutableBytes out) override {
    if (first * quarnel::kRawSectorBytes + out.size() > bytes_.size()) {
      SetError(5);
      return false;
    }
    std::memcpy(out.data(), bytes_.data() + first * quarnel::kRawSectorBytes, out.size());
    return true;
  }
  bool WriteSectors(std::uint64_t, quarnel::Bytes) override { return false; }
  std::uint64_t SizeBytes() const override { return bytes_.size(); }
  bool FixedSize() const override { return true; }
  bool ResetDrive() override { return true; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quarnel::Bytes boot(data, size);
  if (quarnel::GeometryLines(boot).size() != 5) __builtin_trap();
  InputDisk disk(data, size);
  auto sector = quarnel::ReadBootSector(disk);
  if (!sector || sector->size() > quarnel::kRawSectorBytes) __builtin_trap();
  auto read = quarnel::ReadDiskImage(disk);
  if (read.bytes.size() > disk.SizeBytes()) __builtin_trap();
  return 0;
}
