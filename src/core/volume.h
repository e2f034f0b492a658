// The volume as a file system: files read from the entries that directories (directory.h) list.
// Nothing here keeps a cursor or a shown directory; a caller names the directory and the slot it
// means.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/directory.h"
#include "core/disk_image.h"
#include "core/fat.h"

namespace quarnel {

// The bytes of a file: as many clusters of its chain as its size covers (a chain that goes on
// past them is not looked at), walked by ChainPolicy::Read: the walk stops at a value that is no
// data cluster and at a cluster met before. `earlyEnd` says what an end marker before the size
// is covered means. A size beyond the data area is damage: nothing is read.
struct ChainBytes {
  std::vector<std::uint8_t> bytes;  // `size` bytes when complete, fewer otherwise
  bool complete = true;
  bool endedEarly = false;  // ChainEarlyEnd::Short: an end marker came before the size was
                            // covered (bytes hold what the chain has); otherwise an incomplete
                            // read met a broken chain
  // The read stands as the policy takes it: complete, or ended early where that is no break.
  bool ok() const { return complete || endedEarly; }
};
ChainBytes ReadChainBytes(const DiskImage& image, std::uint16_t first, std::uint32_t size,
                          ChainEarlyEnd earlyEnd = ChainEarlyEnd::Short);

enum class ReadStatus {
  Ok,
  NoImage,                  // nothing loaded, or loadFailed / bootError
  NotFound,                 // no entry there (no message)
  FirstClusterOutOfBounds,  // "File's first cluster out of bounds!"
  ClusterError,             // "Cluster Error in Fat"
};

struct FileRead {
  ReadStatus status = ReadStatus::NoImage;
  std::string message;  // what the user is to see when it is not Ok ("" for none)
  // The file's bytes: exactly the entry's size, or fewer when the chain ends (0xFFF) before the
  // size is covered (then chainEndedEarly is set; nothing is invented for the missing part).
  std::vector<std::uint8_t> bytes;
  bool chainEndedEarly = false;
  FileEntry entry;  // the entry that was read
  bool ok() const { return status == ReadStatus::Ok; }
};

// Reads the file of `entry` (first cluster and size) following its chain.
FileRead ReadFile(const DiskImage& image, const FileEntry& entry);

}  // namespace quarnel
