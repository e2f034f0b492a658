#include "core/sector_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quarnel {

namespace {

bool Inside(std::uint64_t size, std::uint64_t offset, std::uint64_t length) {
  return offset <= size && size - offset >= length;
}

}  // namespace

std::optional<Bytes> MemoryStore::Read(std::uint64_t offset, std::size_t length) const {
  if (!Inside(bytes_.size(), offset, length)) return std::nullopt;
  return Bytes(bytes_.data() + offset, length);
}

bool MemoryStore::Write(std::uint64_t offset, Bytes data) {
  if (!Inside(bytes_.size(), offset, data.size())) return false;
  std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
  return true;
}

std::unique_ptr<SectorStore> MemoryStore::Clone() const {
  return std::make_unique<MemoryStore>(bytes_);
}

std::unique_ptr<FileStore> FileStore::Open(const std::string& path, bool writable) {
  const int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<FileStore>(
      new FileStore(fd, path, writable, static_cast<std::uint64_t>(st.st_size)));
}

FileStore::~FileStore() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<Bytes> FileStore::Read(std::uint64_t offset, std::size_t length) const {
  if (!Inside(size_, offset, length)) return std::nullopt;
  // A block read before that holds the whole range.
  auto it = blocks_.upper_bound(offset);
  if (it != blocks_.begin()) {
    const auto& [start, block] = *std::prev(it);
    if (offset + length <= start + block.size())
      return Bytes(block.data() + (offset - start), length);
  }
  // The sectors the range touches (the last one cut by the end of the file).
  const std::uint64_t first = offset / kSectorBytes * kSectorBytes;
  const std::uint64_t end =
      std::min(size_, (offset + length + kSectorBytes - 1) / kSectorBytes * kSectorBytes);
  std::vector<std::uint8_t> block(end - first);
  std::size_t done = 0;
  while (done < block.size()) {
    const ssize_t n =
        ::pread(fd_, block.data() + done, block.size() - done, static_cast<off_t>(first + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;  // a failure or a file cut short meanwhile
    done += static_cast<std::size_t>(n);
  }
  for (std::uint64_t s = first / kSectorBytes; s * kSectorBytes < end; ++s)
    sectorsRead_.push_back(s);
  auto& kept = blocks_[first];
  if (kept.size() < block.size()) {
    // Spans into the shorter block read before stay valid: its buffer moves, it is not freed.
    if (!kept.empty()) retired_.emplace_back(first, std::move(kept));
    kept = std::move(block);
  }
  return Bytes(kept.data() + (offset - first), length);
}

bool FileStore::Write(std::uint64_t offset, Bytes data) {
  if (!writable_ || !Inside(size_, offset, data.size())) return false;
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n =
        ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  // What was kept of the range shows the new bytes.
  auto update = [&](std::uint64_t start, std::vector<std::uint8_t>& block) {
    const std::uint64_t from = std::max(start, offset);
    const std::uint64_t to = std::min(start + block.size(), offset + data.size());
    if (from < to)
      std::memcpy(block.data() + (from - start), data.data() + (from - offset), to - from);
  };
  for (auto& [start, block] : blocks_) update(start, block);
  for (auto& [start, block] : retired_) update(start, block);
  return true;
}

std::unique_ptr<SectorStore> FileStore::Clone() const {
  auto copy = Open(path_, writable_);
  return copy;
}

}  // namespace quarnel
