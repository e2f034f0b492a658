// Crafted and damaged inputs that once made the command-line tool lose data, hang, crash or give
// a wrong result, built in memory: disks (mostly a small sound disk with the one change that
// makes it hostile), tapes and tokenised BASIC programs.
//
// The sound disk ("valid.dsk"): HELLO.BAS (459 bytes, cluster 2), DATA.BIN (5,000 bytes,
// clusters 3-7), PIC.SC2 (14,343 bytes, clusters 8-22), README.TXT (31 bytes, cluster 23) and the
// directory SUB (cluster 24) holding INNER.TXT (25 bytes, cluster 25) on a 720 KB disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace quarnel::test {

// The bytes of the input named `name`; throws std::invalid_argument for an unknown name.
//   kana_name.dsk           a file whose name starts with a kana byte (0xB1)
//   lfn_mtools.dsk          a file with two PC long-name entries before it
//   many_clusters.dsk       256-byte sectors, 1 per cluster: 5,715 clusters, more than FAT12 has
//   reserved0.dsk           0 reserved sectors: the FAT would lie on the boot sector
//   chain_longer_than_size.dsk  DATA.BIN: size 100, a 5-cluster chain
//   valid.dsk               the sound disk
//   fat_copies_differ.dsk   FAT 1 marks DATA.BIN's first cluster free, FAT 2 does not
//   dir_fat_free.dsk        the FAT marks SUB's cluster free
//   dup_names.dsk           a second README.TXT entry (HELLO.BAS's cluster and size)
//   names_odd_root.dsk      a zero slot, then entries with control bytes, blanks, slashes, dots
//                           and bytes 0x80-0xFF in their names
//   vfat.dsk                long-name entries next to their short entry, and entries that only
//                           carry the long-name attribute bits
//   size0_with_chain.dsk    DATA.BIN: size 0 with its chain
//   spc64.dsk               64 sectors per cluster
//   size_high_byte.dsk      DATA.BIN: size 0x80000000
//   cas_300_files.cas       300 binary files on one tape
//   cas_tiny_last_file.cas  a last file whose data block is 8 bytes long
//   basic_backlink.bin      tokenised BASIC whose first link points back
//   basic_random.bin        0xFF, then a backward link and pseudo-random bytes
std::vector<std::uint8_t> HostileInput(std::string_view name);

// Writes HostileInput(name) as `dir`/`name` (owner read and write) and returns that path.
std::filesystem::path WriteHostileInput(const std::filesystem::path& dir, std::string_view name);

}  // namespace quarnel::test
