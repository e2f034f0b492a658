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
  zeros_.Forget(offset, data.size());
  return true;
}

std::unique_ptr<SectorStore> MemoryStore::Clone() const {
  return std::make_unique<MemoryStore>(bytes_, zeros_);
}

std::unique_ptr<FileStore> FileStore::Open(const std::string& path, bool writable, bool staged) {
  // Not blocking: opening a FIFO would wait for a writer, and a device may wait for its medium.
  // Such files are refused below; for a regular file the flag changes nothing.
  const int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return std::unique_ptr<FileStore>(
      new FileStore(fd, path, writable, staged, static_cast<std::uint64_t>(st.st_size)));
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
  for (std::uint64_t s = first / kSectorBytes; s * kSectorBytes < end; ++s) {
    sectorsRead_.push_back(s);
    // What is staged for the sector stands over what the file holds.
    if (auto p = pending_.find(s); p != pending_.end())
      std::memcpy(block.data() + (s * kSectorBytes - first), p->second.data(), p->second.size());
  }
  auto& kept = blocks_[first];
  if (kept.size() < block.size()) {
    // Spans into the shorter block read before stay valid: its buffer moves, it is not freed.
    if (!kept.empty()) retired_.emplace(first, std::move(kept));
    kept = std::move(block);
    longestBlock_ = std::max<std::uint64_t>(longestBlock_, kept.size());
  }
  return Bytes(kept.data() + (offset - first), length);
}

bool FileStore::WriteFile(std::uint64_t offset, Bytes data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n =
        ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  bytesWritten_ += data.size();
  return true;
}

void FileStore::ShowInBlocks(std::uint64_t offset, Bytes data) {
  const std::uint64_t end = offset + data.size();
  // Only blocks that start less than the longest block before the range can reach into it (a
  // walk over every block made a large file's add quadratic).
  const std::uint64_t first = offset > longestBlock_ ? offset - longestBlock_ : 0;
  auto update = [&](auto& blocks) {
    for (auto it = blocks.lower_bound(first); it != blocks.end() && it->first < end; ++it) {
      auto& [start, block] = *it;
      const std::uint64_t from = std::max(start, offset);
      const std::uint64_t to = std::min(start + block.size(), end);
      if (from < to)
        std::memcpy(block.data() + (from - start), data.data() + (from - offset), to - from);
    }
  };
  update(blocks_);
  update(retired_);
}

bool FileStore::Write(std::uint64_t offset, Bytes data) {
  if (!writable_ || !Inside(size_, offset, data.size())) return false;
  if (!staged_) {
    if (!WriteFile(offset, data)) return false;
    ShowInBlocks(offset, data);
    return true;
  }
  // Every sector whose bytes the range changes is staged whole: what it holds now, the new bytes
  // over it. A sector the range leaves as it was is not written at all.
  const std::uint64_t end = offset + data.size();
  for (std::uint64_t s = offset / kSectorBytes; s * kSectorBytes < end; ++s) {
    const std::uint64_t start = s * kSectorBytes;
    const auto length = static_cast<std::size_t>(std::min(kSectorBytes, size_ - start));
    const std::uint64_t from = std::max(start, offset);
    const std::uint64_t to = std::min(start + length, end);
    const Bytes part(data.data() + (from - offset), to - from);
    auto it = pending_.find(s);
    if (it == pending_.end()) {
      const auto now = Read(start, length);
      if (!now) return false;
      if (std::equal(part.begin(), part.end(), now->begin() + (from - start))) continue;
      it = pending_.emplace(s, std::vector<std::uint8_t>(now->begin(), now->end())).first;
    }
    std::memcpy(it->second.data() + (from - start), part.data(), part.size());
  }
  ShowInBlocks(offset, data);
  return true;
}

std::vector<std::uint64_t> FileStore::StagedSectors() const {
  std::vector<std::uint64_t> out;
  out.reserve(pending_.size());
  for (const auto& [s, bytes] : pending_) out.push_back(s);
  return out;
}

std::optional<std::vector<std::uint8_t>> FileStore::ReadCommitted(std::uint64_t offset,
                                                                  std::size_t length) const {
  if (!Inside(size_, offset, length)) return std::nullopt;
  std::vector<std::uint8_t> out(length);
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n =
        ::pread(fd_, out.data() + done, length - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    done += static_cast<std::size_t>(n);
  }
  return out;
}

bool FileStore::Commit(const std::vector<std::uint64_t>& order) {
  if (pending_.empty()) return true;
  std::vector<std::uint64_t> all = order;
  for (const auto& [s, bytes] : pending_) all.push_back(s);
  // Sectors that follow each other in the order and on the disk go out in one write.
  std::vector<std::uint8_t> run;
  for (std::size_t i = 0; i < all.size();) {
    if (!pending_.count(all[i])) {  // named twice, or not staged
      ++i;
      continue;
    }
    const std::uint64_t first = all[i];
    std::size_t n = 0;
    run.clear();
    while (i + n < all.size() && all[i + n] == first + n && pending_.count(first + n)) {
      const auto& sector = pending_.at(first + n);
      run.insert(run.end(), sector.begin(), sector.end());
      ++n;
    }
    if (!WriteFile(first * kSectorBytes, Bytes(run.data(), run.size()))) return false;
    for (std::size_t k = 0; k < n; ++k) pending_.erase(first + k);
    i += n;
  }
  return ::fsync(fd_) == 0;
}

std::unique_ptr<SectorStore> FileStore::Clone() const {
  // The copy reads the same file; what this store has staged is the copy's own from then on.
  auto copy = Open(path_, writable_, staged_);
  if (copy) copy->pending_ = pending_;
  return copy;
}

}  // namespace quarnel
