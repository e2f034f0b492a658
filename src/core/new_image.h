// Empty formatted MSX-DOS disk images in the eight standard floppy geometries.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/geometry.h"
#include "core/outcome.h"

namespace quarnel {

class FileIo;

inline constexpr std::size_t kBootProgramOffset = 30;
inline constexpr std::size_t kBootProgramLength = 166;
inline constexpr std::size_t kBootSystemNameOffset = 122;  // "MSXDOS  SYS"
inline constexpr std::size_t kBootMessageOffset = 158;     // "Boot error" ... '$'
inline constexpr std::string_view kNewImageOem = "Quarnel1";

// The 512-byte boot sector of a new image before the geometry is written into it.
std::array<std::uint8_t, 512> BootSectorTemplate();

// The volume id of an MSX-DOS 2 boot sector: four bytes of 0x00..0x7F.
using VolumeId = std::array<std::uint8_t, 4>;
// Four random bytes made a volume id (the top bit of each cleared).
VolumeId VolumeIdFrom(std::uint32_t random);

inline constexpr std::size_t kVolIdOffset = 0x20;  // "VOL_ID"
inline constexpr std::string_view kVolIdSignature = "VOL_ID";
inline constexpr std::size_t kDirtyFlagOffset = 0x26;
inline constexpr std::size_t kVolumeIdOffset = 0x27;
inline constexpr std::size_t kDos2BootCodeOffset = 0x30;

// Turns a boot sector made from BootSectorTemplate into one MSX-DOS 2 takes for its own: at
// 01EH a jump over the DOS 2 fields to the boot code, "VOL_ID" at 020H, the clean dirty-disk
// flag, `id` at 027H, zeros to 02FH, and the same boot code from 030H (it addresses only its
// FCB and message, which stay where they are).
void MakeDos2BootSector(std::span<std::uint8_t, 512> sector, const VolumeId& id);

// The bytes of a new image of `row`: boot sector with the geometry, both FATs starting with the
// media byte and 0xFF 0xFF, everything else 0. With `dos2` the boot sector carries the MSX-DOS 2
// marks and that volume id.
std::vector<std::uint8_t> BuildNewImage(const GeometryRow& row,
                                        const std::optional<VolumeId>& dos2 = std::nullopt);
// The same in the buffer a loaded image keeps, so that it is loaded without a copy.
ImageBytes BuildNewImageBytes(const GeometryRow& row,
                              const std::optional<VolumeId>& dos2 = std::nullopt);

// "New" + the size in KB + ".dsk".
std::string NewImageName(const GeometryRow& row);

// The row for a size written as on the command line: 160 180 320 320s 360 360s 640 720 (a
// trailing "s" picks the single-sided 80-track row of 320 and 360 KB).
std::optional<GeometryRow> GeometryForSize(std::string_view size);

enum class NewImageStatus { Written, CannotWrite };
using NewImageOutcome = Outcome<NewImageStatus>;

// Builds the image and writes it to `path` (replacing a file of that name; a symbolic link there
// is replaced, not written through). A failure says "Cannot write file: " + the path.
NewImageOutcome NewImage(const GeometryRow& row, const std::filesystem::path& path,
                         const std::optional<VolumeId>& dos2 = std::nullopt);
NewImageOutcome NewImage(const GeometryRow& row, const std::filesystem::path& path, FileIo& io,
                         const std::optional<VolumeId>& dos2 = std::nullopt);

}  // namespace quarnel
