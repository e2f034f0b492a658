#include "core/new_image.h"

#include <algorithm>

#include "core/boot_sector.h"
#include "core/file_types.h"
#include "core/messages.h"
#include "core/save_image.h"

namespace quarnel {

namespace {

// The boot program, at 0C01EH once the disk ROM has read the boot sector to 0C000H. The ROM calls
// it twice: first with the carry clear (nothing to do yet), then with the carry set to start
// MSX-DOS. It opens MSXDOS.SYS through the BDOS entry of Disk BASIC (0F37DH), reads it to 0100H
// and jumps there; when that fails it prints two lines, waits for a key and tries again.
//
//   C01E  D0          ret  nc            ; first call: back to the ROM
//   C01F  21 85 C0    retry: ld hl,fcb+12 ; extent .. random record of the FCB
//   C022  06 19       ld   b,25
//   C024  36 00       clear: ld (hl),0
//   C026  23          inc  hl
//   C027  10 FB       djnz clear
//   C029  11 79 C0    ld   de,fcb
//   C02C  0E 0F       ld   c,0Fh         ; open file
//   C02E  CD 7D F3    call 0F37Dh
//   C031  B7          or   a             ; 0FFh: not found
//   C032  20 20       jr   nz,fail
//   C034  11 00 01    ld   de,0100h
//   C037  0E 1A       ld   c,1Ah         ; set transfer address
//   C039  CD 7D F3    call 0F37Dh
//   C03C  21 01 00    ld   hl,1
//   C03F  22 87 C0    ld   (fcb+14),hl   ; records of one byte
//   C042  21 00 3F    ld   hl,3F00h      ; at most 0100H..3FFFH
//   C045  11 79 C0    ld   de,fcb
//   C048  0E 27       ld   c,27h         ; random block read
//   C04A  CD 7D F3    call 0F37Dh
//   C04D  7C          ld   a,h           ; HL = bytes read
//   C04E  B5          or   l
//   C04F  28 03       jr   z,fail
//   C051  C3 00 01    jp   0100h         ; start MSX-DOS
//   C054  11 9E C0    fail: ld de,message
//   C057  0E 09       ld   c,09h         ; string output up to '$'
//   C059  CD 7D F3    call 0F37Dh
//   C05C  0E 08       ld   c,08h         ; console input without echo: wait for a key
//   C05E  CD 7D F3    call 0F37Dh
//   C061  18 BC       jr   retry
//   C063  00 ...                         ; unused up to the FCB
//   C079  00          fcb: drive (the boot drive)
//   C07A  "MSXDOS  SYS"                  ; name and extension
//   C085  00 ...                         ; the rest of the 37-byte FCB
//   C09E  "Boot error",13,10,"Press any key for retry",13,10,"$"
constexpr std::uint8_t kBootCode[] = {
    0xD0,              // ret nc
    0x21, 0x85, 0xC0,  // ld hl,fcb+12
    0x06, 0x19,        // ld b,25
    0x36, 0x00,        // ld (hl),0
    0x23,              // inc hl
    0x10, 0xFB,        // djnz clear
    0x11, 0x79, 0xC0,  // ld de,fcb
    0x0E, 0x0F,        // ld c,0Fh
    0xCD, 0x7D, 0xF3,  // call 0F37Dh
    0xB7,              // or a
    0x20, 0x20,        // jr nz,fail
    0x11, 0x00, 0x01,  // ld de,0100h
    0x0E, 0x1A,        // ld c,1Ah
    0xCD, 0x7D, 0xF3,  // call 0F37Dh
    0x21, 0x01, 0x00,  // ld hl,1
    0x22, 0x87, 0xC0,  // ld (fcb+14),hl
    0x21, 0x00, 0x3F,  // ld hl,3F00h
    0x11, 0x79, 0xC0,  // ld de,fcb
    0x0E, 0x27,        // ld c,27h
    0xCD, 0x7D, 0xF3,  // call 0F37Dh
    0x7C,              // ld a,h
    0xB5,              // or l
    0x28, 0x03,        // jr z,fail
    0xC3, 0x00, 0x01,  // jp 0100h
    0x11, 0x9E, 0xC0,  // fail: ld de,message
    0x0E, 0x09,        // ld c,09h
    0xCD, 0x7D, 0xF3,  // call 0F37Dh
    0x0E, 0x08,        // ld c,08h
    0xCD, 0x7D, 0xF3,  // call 0F37Dh
    0x18, 0xBC,        // jr retry
};
constexpr std::size_t kLoadAddress = 0xC000;
constexpr std::size_t kFcbOffset = kBootSystemNameOffset - 1;  // drive byte before the name
constexpr std::size_t kFcbLength = 37;
constexpr char kSystemName[] = "MSXDOS  SYS";
constexpr char kBootMessage[] = "Boot error\r\nPress any key for retry\r\n$";

// The code must end before the FCB, the FCB before the message, the message with the program.
static_assert(kBootProgramOffset + sizeof kBootCode == 0x63);
static_assert(kBootProgramOffset + sizeof kBootCode <= kFcbOffset);
static_assert(kFcbOffset + kFcbLength == kBootMessageOffset);
static_assert(sizeof kSystemName - 1 == 11);
static_assert(sizeof kBootMessage - 1 == 38);
static_assert(kBootMessageOffset + sizeof kBootMessage - 1 ==
              kBootProgramOffset + kBootProgramLength);
// Addresses used by the code.
static_assert(kLoadAddress + kFcbOffset == 0xC079);
static_assert(kLoadAddress + kFcbOffset + 12 == 0xC085 && kLoadAddress + kFcbOffset + 14 == 0xC087);
static_assert(kLoadAddress + kBootMessageOffset == 0xC09E);

constexpr std::array<std::uint8_t, kBootProgramLength> MakeBootProgram() {
  std::array<std::uint8_t, kBootProgramLength> p{};
  for (std::size_t i = 0; i < sizeof kBootCode; ++i) p[i] = kBootCode[i];
  for (std::size_t i = 0; i < 11; ++i)
    p[kBootSystemNameOffset - kBootProgramOffset + i] = static_cast<std::uint8_t>(kSystemName[i]);
  for (std::size_t i = 0; i < 38; ++i)
    p[kBootMessageOffset - kBootProgramOffset + i] = static_cast<std::uint8_t>(kBootMessage[i]);
  return p;
}
constexpr auto kBootProgram = MakeBootProgram();
static_assert(kBootProgram.size() == 166);

}  // namespace

std::array<std::uint8_t, 512> BootSectorTemplate() {
  std::array<std::uint8_t, 512> s{};
  s[0] = 0xEB;
  s[1] = 0xFE;
  s[2] = 0x90;
  std::copy(kNewImageOem.begin(), kNewImageOem.end(), s.begin() + kBootOemOffset);
  std::copy(kBootProgram.begin(), kBootProgram.end(), s.begin() + kBootProgramOffset);
  return s;
}

VolumeId VolumeIdFrom(std::uint32_t random) {
  VolumeId id;
  for (std::size_t i = 0; i < id.size(); ++i)
    id[i] = static_cast<std::uint8_t>((random >> (8 * i)) & 0x7F);
  return id;
}

void MakeDos2BootSector(std::span<std::uint8_t, 512> s, const VolumeId& id) {
  // The code is relocatable: relative jumps inside it, absolute addresses only of the FCB and
  // the message, which lie behind it and do not move.
  static_assert(kDos2BootCodeOffset + sizeof kBootCode <= kFcbOffset);
  std::fill(s.begin() + kBootProgramOffset, s.begin() + kFcbOffset, 0);
  std::copy(std::begin(kBootCode), std::end(kBootCode), s.begin() + kDos2BootCodeOffset);
  s[kBootProgramOffset] = 0x18;  // jr 030H
  s[kBootProgramOffset + 1] =
      static_cast<std::uint8_t>(kDos2BootCodeOffset - kBootProgramOffset - 2);
  std::copy(kVolIdSignature.begin(), kVolIdSignature.end(), s.begin() + kVolIdOffset);
  s[kDirtyFlagOffset] = 0;
  std::copy(id.begin(), id.end(), s.begin() + kVolumeIdOffset);
}

namespace {

template <class Buffer>
Buffer BuildImage(const GeometryRow& row, const std::optional<VolumeId>& dos2) {
  Buffer img(static_cast<std::size_t>(row.sizeKb) * 1024, 0);
  auto tmpl = BootSectorTemplate();
  if (dos2) MakeDos2BootSector(tmpl, *dos2);
  std::copy(tmpl.begin(), tmpl.end(), img.begin());
  const DiskGeometry g = RowGeometry(row);
  BootSector bs = *BootSectorAt(MutableBytes(img));
  PutGeometryFields(bs, g);
  PutBootSector(MutableBytes(img), bs);
  // Reserved FAT entries 0 and 1 of both copies: the media byte, then 0xFF 0xFF.
  for (std::size_t fat = 0; fat < g.fatCount; ++fat) {
    const std::size_t off = g.fatOffset + fat * g.FatBytes();
    img[off] = row.media;
    img[off + 1] = 0xFF;
    img[off + 2] = 0xFF;
  }
  return img;
}

}  // namespace

std::vector<std::uint8_t> BuildNewImage(const GeometryRow& row,
                                        const std::optional<VolumeId>& dos2) {
  return BuildImage<std::vector<std::uint8_t>>(row, dos2);
}

ImageBytes BuildNewImageBytes(const GeometryRow& row, const std::optional<VolumeId>& dos2) {
  return BuildImage<ImageBytes>(row, dos2);
}

std::string NewImageName(const GeometryRow& row) {
  return "New" + std::to_string(row.sizeKb) + std::string(kDiskImageExtension);
}

std::optional<GeometryRow> GeometryForSize(std::string_view size) {
  // The single-sided rows' "s" is taken in either case.
  std::string key(size);
  if (!key.empty() && key.back() == 'S') key.back() = 's';
  for (const auto& row : GeometryTable)
    if (row.size == key) return row;
  return std::nullopt;
}

NewImageOutcome NewImage(const GeometryRow& row, const std::filesystem::path& path, FileIo& io,
                         const std::optional<VolumeId>& dos2) {
  auto bytes = BuildNewImage(row, dos2);
  if (WriteAtomically(path, bytes, io, LinkPolicy::Replace)) return NewImageStatus::Written;
  return {NewImageStatus::CannotWrite, std::string(msg::kCannotWriteFile) + path.string()};
}

NewImageOutcome NewImage(const GeometryRow& row, const std::filesystem::path& path,
                         const std::optional<VolumeId>& dos2) {
  return NewImage(row, path, DefaultFileIo(), dos2);
}

}  // namespace quarnel
