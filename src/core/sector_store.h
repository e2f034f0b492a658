// Where the bytes of a volume live. A volume is read and written by byte ranges through a store:
// the whole image in memory (floppies, saved by replacing the file whole), or a file read and
// written in place by sector ranges, so that an image of gigabytes is never read whole.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/bytes.h"
#include "core/zero_blocks.h"

namespace quarnel {

class SectorStore {
 public:
  virtual ~SectorStore() = default;

  // The bytes the store holds.
  virtual std::uint64_t Size() const = 0;
  // `length` bytes from `offset`; nullopt when the range does not lie inside the store or cannot
  // be read. The span stays valid while the store lives; a later write shows through it.
  virtual std::optional<Bytes> Read(std::uint64_t offset, std::size_t length) const = 0;
  // Writes `data` at `offset`; false (nothing written) when it does not fit or the write fails.
  virtual bool Write(std::uint64_t offset, Bytes data) = 0;
  // An independent store with the same bytes.
  virtual std::unique_ptr<SectorStore> Clone() const = 0;
  // The whole buffer of a store held in memory; nullptr for a store that holds no such buffer.
  virtual const ImageBytes* Memory() const { return nullptr; }
  virtual ImageBytes* MutableMemory() { return nullptr; }
  // The blocks of that buffer known to hold only zeros; nullptr where none are known.
  virtual const ZeroBlocks* KnownZeros() const { return nullptr; }

  // A store written in place holds what is written as whole sectors (of kStagedSectorBytes,
  // counted from the start of the store) until Commit. Stores without staging hold none.
  static constexpr std::uint64_t kStagedSectorBytes = 512;
  // The file the store reads in place ("" for none); two stores over one file differ only by
  // what they have staged.
  virtual std::string FilePath() const { return {}; }
  // Where the store's first byte lies in that file (a partition's start; 0 for a whole file).
  virtual std::uint64_t FileOffset() const { return 0; }
  // The sectors written since the last Commit and not yet in the file, in ascending order.
  virtual std::vector<std::uint64_t> StagedSectors() const { return {}; }
  // `length` bytes from `offset` as the file holds them, without the staged sectors; nullopt
  // when the range does not lie inside the store or cannot be read.
  virtual std::optional<std::vector<std::uint8_t>> ReadCommitted(std::uint64_t offset,
                                                                 std::size_t length) const {
    (void)offset;
    (void)length;
    return std::nullopt;
  }
  // Writes the staged sectors to the file, those in `order` first and in that order, the rest
  // after them in ascending order, then flushes the file to its disk once. False when a write or
  // the flush fails (the sectors not written stay staged).
  virtual bool Commit(const std::vector<std::uint64_t>& order) {
    (void)order;
    return false;
  }
};

// The whole image in one buffer.
class MemoryStore final : public SectorStore {
 public:
  // `zeros`: blocks of `bytes` known to hold only zeros (the holes of the file they were read
  // from); each write forgets the blocks it touches.
  explicit MemoryStore(ImageBytes bytes, ZeroBlocks zeros = {})
      : bytes_(std::move(bytes)), zeros_(std::move(zeros)) {}

  std::uint64_t Size() const override { return bytes_.size(); }
  std::optional<Bytes> Read(std::uint64_t offset, std::size_t length) const override;
  bool Write(std::uint64_t offset, Bytes data) override;
  std::unique_ptr<SectorStore> Clone() const override;
  const ImageBytes* Memory() const override { return &bytes_; }
  // Whoever writes the buffer directly may write anywhere: no block is known to be zero after.
  ImageBytes* MutableMemory() override {
    zeros_.ForgetAll();
    return &bytes_;
  }
  const ZeroBlocks* KnownZeros() const override { return &zeros_; }

 private:
  ImageBytes bytes_;
  ZeroBlocks zeros_;
};

// An image file read and written in place by whole sectors (pread/pwrite). What has been read is
// kept, so a sector is read from the file once; every read of the file is counted. Writes reach
// the file at once, or, for a store opened `staged`, are held as whole sectors until Commit
// writes them in the order the caller gives and flushes the file once: a change that fails half
// way leaves the file as it was, and one that is committed reaches the disk in a safe order.
class FileStore final : public SectorStore {
 public:
  static constexpr std::uint64_t kSectorBytes = kStagedSectorBytes;

  // Opens `path` for reading (and writing with `writable`); nullptr when it cannot be opened.
  static std::unique_ptr<FileStore> Open(const std::string& path, bool writable = false,
                                         bool staged = false);
  ~FileStore() override;
  FileStore(const FileStore&) = delete;
  FileStore& operator=(const FileStore&) = delete;

  std::uint64_t Size() const override { return size_; }
  std::optional<Bytes> Read(std::uint64_t offset, std::size_t length) const override;
  bool Write(std::uint64_t offset, Bytes data) override;
  std::unique_ptr<SectorStore> Clone() const override;

  // The sectors read from the file so far, each once per read, in the order they were read.
  const std::vector<std::uint64_t>& SectorsRead() const { return sectorsRead_; }

  bool Writable() const { return writable_; }
  std::string FilePath() const override { return path_; }
  std::vector<std::uint64_t> StagedSectors() const override;
  std::optional<std::vector<std::uint8_t>> ReadCommitted(std::uint64_t offset,
                                                         std::size_t length) const override;
  bool Commit(const std::vector<std::uint64_t>& order) override;
  // Bytes written to the file by Commit and by unstaged writes.
  std::uint64_t BytesWritten() const { return bytesWritten_; }

 private:
  FileStore(int fd, std::string path, bool writable, bool staged, std::uint64_t size)
      : fd_(fd), path_(std::move(path)), writable_(writable), staged_(staged), size_(size) {}

  bool WriteFile(std::uint64_t offset, Bytes data);
  // Shows `data`, lying at `offset`, in every kept block.
  void ShowInBlocks(std::uint64_t offset, Bytes data);

  int fd_ = -1;
  std::string path_;
  bool writable_ = false;
  bool staged_ = false;
  std::uint64_t size_ = 0;
  std::uint64_t bytesWritten_ = 0;
  // Staged sectors by number (the last one of a file cut short holds what the file has).
  std::map<std::uint64_t, std::vector<std::uint8_t>> pending_;
  // Ranges read, by their first byte (a multiple of the sector size). A block never moves or
  // shrinks once read, so spans into it stay valid.
  mutable std::map<std::uint64_t, std::vector<std::uint8_t>> blocks_;
  // Blocks a longer read from the same sector replaced, kept for the spans into them.
  mutable std::multimap<std::uint64_t, std::vector<std::uint8_t>> retired_;
  // The longest block kept: a write looks only at the blocks that start this far before it.
  mutable std::uint64_t longestBlock_ = 0;
  mutable std::vector<std::uint64_t> sectorsRead_;
};

}  // namespace quarnel
