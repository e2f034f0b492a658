#include "support/hostile_inputs.h"

#include <array>
#include <stdexcept>
#include <string>

#include "support/image_builder.h"
#include "support/tape_builder.h"
#include "support/test_env.h"

namespace quarnel::test {

namespace {

using Bytes = std::vector<std::uint8_t>;
using Raw = std::array<std::uint8_t, 32>;

Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

// Entry slots of the sound disk's root.
constexpr int kDataSlot = 1;

ImageBuilder SoundDisk() {
  ImageBuilder b;
  b.AddFile(kRoot, "HELLO.BAS", Pattern(459, 11), 0x20);
  b.AddFile(kRoot, "DATA.BIN", Pattern(5000, 12), 0x20);
  b.AddFile(kRoot, "PIC.SC2", Pattern(14343, 13), 0x20);
  b.AddFile(kRoot, "README.TXT", Text("10 PRINT \"HELLO\"\r\n20 GOTO 10\r\n\x1A"), 0x20);
  const std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  b.AddFile(sub, "INNER.TXT", Text("inside the subdirectory\r\n"), 0x20);
  return b;
}

void SetSize(ImageBuilder& b, int slot, std::uint32_t size) {
  const std::size_t at = b.EntryOffset(kRoot, slot) + 28;
  for (int i = 0; i < 4; ++i) b.Poke(at + i, static_cast<std::uint8_t>(size >> (8 * i)));
}

// FAT entry `cluster` in the first FAT copy only.
void SetFirstFatOnly(ImageBuilder& b, std::uint32_t cluster, std::uint16_t value) {
  const std::size_t at =
      static_cast<std::size_t>(b.layout().reservedSectors) * b.layout().bytesPerSector +
      cluster * 3 / 2;
  const std::uint16_t old =
      static_cast<std::uint16_t>(b.Bytes().at(at) | b.Bytes().at(at + 1) << 8);
  const std::uint16_t v = cluster & 1 ? static_cast<std::uint16_t>((old & 0x000F) | value << 4)
                                      : static_cast<std::uint16_t>((old & 0xF000) | value);
  b.Poke16(at, v);
}

// A raw entry: an 11-byte name, attribute 0x20 (or `attribute`), cluster 23, 31 bytes.
Raw OddEntry(std::string_view name11, std::uint8_t attribute = 0x20) {
  Raw r{};
  for (std::size_t i = 0; i < 11; ++i) r[i] = static_cast<std::uint8_t>(name11.at(i));
  r[11] = attribute;
  r[22] = 0x00, r[23] = 0x58, r[24] = 0x87, r[25] = 0x51;  // 11:00:00, 5/04/2020
  r[26] = 23;
  r[28] = 31;
  return r;
}

Raw FromHex(std::string_view hex) {
  Raw r{};
  for (std::size_t i = 0; i < r.size(); ++i)
    r[i] = static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(2 * i, 2)), nullptr, 16));
  return r;
}

Bytes KanaName() {
  ImageBuilder b;
  Bytes content;
  while (content.size() < 1040) {
    for (char c : std::string_view("kana-named file contents\r\n")) content.push_back(c);
  }
  content.resize(1040);
  b.AddFile(kRoot, "KANA.TXT", content, 0x20);
  b.PokeBytes(b.EntryOffset(kRoot, 0), {0xB1, 0xB2, 0xB3, 0x20});
  return b.Bytes();
}

// What mtools writes for "a long file.text": two long-name pieces, then ALONGF~1.TEX.
Bytes LongNameByMtools() {
  ImageBuilder b;
  b.PutRawEntry(kRoot, 0,
                FromHex("4261006d006500200068000f007d6500720065002e0074006500000078007400"));
  b.PutRawEntry(kRoot, 1,
                FromHex("01610020006c006f006e000f007d67002000660069006c006500000020006e00"));
  b.PutRawEntry(kRoot, 2,
                FromHex("414c4f4e47467e31544558200000515d875d875d0000515d875d020006000000"));
  b.SetFat(2, 0xFFF);
  b.WriteData(2, Text("hello\n"));
  return b.Bytes();
}

Bytes ManyClusters() {
  GeometryLayout g;
  g.bytesPerSector = 256;
  g.sectorsPerCluster = 1;
  g.fatCount = 1;
  g.rootEntries = 64;
  g.totalSectors = 5760;
  g.sectorsPerFat = 36;
  g.sectorsPerTrack = 18;
  return ImageBuilder(g).Bytes();
}

Bytes NamesOddRoot() {
  ImageBuilder b = SoundDisk();
  // Slot 5 stays zero: the entries after it are still there.
  const std::string_view names[] = {
      "CTRL\x01\x02\x03 TXT",
      "\x7F"
      "DEL    TXT",
      "HI\x80\x81\xFE\xFF  BIN",
      "../../X    ",
      "..\\..\\X    ",
      "A/B     TXT",
      "..         ",
      ".          ",
      "...        ",
      "SP ACE  TXT",
      "*?:\"<>| TXT",
      "lower   txt",
      "\x05LEADING05 ",
      "\xE5"
      "DELETED TX",
      "\x80HIGHFST TX",
      " LEADSP TXT",
      "\x1B"
      "ESC    TXT",
      std::string_view("\0NEVER  TXT", 11),
  };
  int slot = 6;
  for (std::string_view n : names) b.PutRawEntry(kRoot, slot++, OddEntry(n));
  return b.Bytes();
}

Bytes Vfat() {
  ImageBuilder b = SoundDisk();
  b.PutRawEntry(kRoot, 5,
                FromHex("416c006f006e006700ffff0f00556e0061006d0065002e0074000000ffffffff"));
  b.PutRawEntry(kRoot, 6, OddEntry("LONGNA~1TXT"));
  b.PutRawEntry(kRoot, 7, OddEntry("LFNLIKE    ", 0x0F));
  b.PutRawEntry(kRoot, 8, OddEntry("LFNLIK2    ", 0x3F));
  return b.Bytes();
}

Bytes Disk(std::string_view name) {
  if (name == "kana_name.dsk") return KanaName();
  if (name == "lfn_mtools.dsk") return LongNameByMtools();
  if (name == "many_clusters.dsk") return ManyClusters();
  if (name == "names_odd_root.dsk") return NamesOddRoot();
  if (name == "vfat.dsk") return Vfat();
  ImageBuilder b = SoundDisk();
  if (name == "valid.dsk") {
  } else if (name == "reserved0.dsk") {
    b.Poke16(14, 0);
  } else if (name == "chain_longer_than_size.dsk") {
    SetSize(b, kDataSlot, 100);
  } else if (name == "size0_with_chain.dsk") {
    SetSize(b, kDataSlot, 0);
  } else if (name == "size_high_byte.dsk") {
    SetSize(b, kDataSlot, 0x80000000u);
  } else if (name == "fat_copies_differ.dsk") {
    SetFirstFatOnly(b, 3, 0);
  } else if (name == "dir_fat_free.dsk") {
    b.SetFat(24, 0);
  } else if (name == "dup_names.dsk") {
    b.AddEntry(kRoot, {.name = "README.TXT", .attribute = 0x20, .firstCluster = 2, .size = 459});
  } else if (name == "spc64.dsk") {
    b.Poke(13, 64);
  } else {
    throw std::invalid_argument("no hostile input " + std::string(name));
  }
  return b.Bytes();
}

// Binary files of seven bytes each (load 9000-9000, run 9000, one byte of code).
void BinaryFile(TapeBuilder& t, std::string_view name6, std::uint8_t code) {
  t.FileHeader(0xD0, name6).Header().Raw({0x00, 0x90, 0x00, 0x90, 0x00, 0x90, code});
}

}  // namespace

std::vector<std::uint8_t> HostileInput(std::string_view name) {
  if (name == "cas_300_files.cas") {
    TapeBuilder t;
    for (int i = 0; i < 300; ++i) {
      std::string n = std::to_string(i);
      BinaryFile(t, "F" + std::string(5 - n.size(), '0') + n, 0xC9);
    }
    return t.Pad().t;
  }
  if (name == "cas_tiny_last_file.cas") {
    TapeBuilder t;
    BinaryFile(t, "AAAA  ", 0x01);
    BinaryFile(t, "BBBB  ", 0x02);
    return t.Raw({0x00}).t;
  }
  if (name == "basic_backlink.bin") {
    // 10 PRINT "A" whose link points at the program's own start, then 20 END.
    return {0xFF, 0x00, 0x80, 0x0A, 0x00, 0x91, 0x20, 0x22, 0x41, 0x22,
            0x00, 0x00, 0x80, 0x14, 0x00, 0x81, 0x00, 0x00, 0x00};
  }
  if (name == "basic_random.bin") {
    Bytes b = {0xFF, 0xC4, 0x16, 0xB3, 0xBF};  // a link to 0x16C4, line 49075
    const Bytes rest = Pattern(1771, 99);
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
  }
  return Disk(name);
}

std::filesystem::path WriteHostileInput(const std::filesystem::path& dir, std::string_view name) {
  const auto p = dir / std::string(name);
  WriteHostFile(p, HostileInput(name));
  return p;
}

}  // namespace quarnel::test
