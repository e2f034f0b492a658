#include "core/change_record.h"

#include <algorithm>
#include <set>

#include "core/directory.h"
#include "core/workspace.h"

namespace quarnel {

namespace {

constexpr std::uint64_t kSector = ChangeRecorder::kSectorBytes;

// Adds the sector at `offset` to the runs, joined to the last run when it follows it.
void AddSector(std::vector<ChangeRecord::Run>& runs, std::uint64_t offset, Bytes before,
               Bytes after) {
  if (runs.empty() || runs.back().offset + runs.back().before.size() != offset)
    runs.push_back({offset, {}, {}});
  runs.back().before.insert(runs.back().before.end(), before.begin(), before.end());
  runs.back().after.insert(runs.back().after.end(), after.begin(), after.end());
}

}  // namespace

std::uint64_t ChangeRecord::HeldBytes() const {
  std::uint64_t n = 0;
  for (const Run& r : runs_) n += r.before.size() + r.after.size();
  return n;
}

bool ChangeRecord::Apply(DiskImage& image, bool undo) const {
  bool ok = true;
  for (const Run& r : runs_) {
    const std::vector<std::uint8_t>& bytes = undo ? r.before : r.after;
    ok = image.Write(r.offset, Bytes(bytes.data(), bytes.size())) && ok;
  }
  image.geometry = undo ? before_ : after_;
  return ok;
}

ChangeRecorder::ChangeRecorder(DiskImage& image) : image_(image), geometry_(image.geometry) {
  if (const ImageBytes& whole = image.Memory(); !whole.empty()) {
    snapshot_ = whole;
  } else {
    image_.SetWriteWatch(this);
    watching_ = true;
  }
}

ChangeRecorder::~ChangeRecorder() { Stop(); }

void ChangeRecorder::Stop() {
  if (watching_) image_.SetWriteWatch(nullptr);
  watching_ = false;
}

void ChangeRecorder::BeforeWrite(std::uint64_t offset, std::size_t length) {
  const std::uint64_t size = image_.Size();
  if (length == 0 || offset >= size) return;
  const std::uint64_t end = std::min<std::uint64_t>(size, offset + length);
  for (std::uint64_t s = offset / kSector; s * kSector < end; ++s) {
    if (touched_.count(s)) continue;
    const std::uint64_t start = s * kSector;
    const auto n = static_cast<std::size_t>(std::min(kSector, size - start));
    // A sector that cannot be read cannot be written either: the write fails by itself.
    if (const auto now = image_.Read(start, n))
      touched_.emplace(s, std::vector<std::uint8_t>(now->begin(), now->end()));
  }
}

ChangeRecord ChangeRecorder::Finish() {
  Stop();
  ChangeRecord record;
  record.before_ = geometry_;
  record.after_ = image_.geometry;
  if (!snapshot_.empty()) {
    const ImageBytes& now = image_.Memory();
    const std::size_t size = std::min(now.size(), snapshot_.size());
    for (std::size_t at = 0; at < size; at += kSector) {
      const std::size_t n = std::min<std::size_t>(kSector, size - at);
      if (std::equal(now.begin() + at, now.begin() + at + n, snapshot_.begin() + at)) continue;
      AddSector(record.runs_, at, Bytes(snapshot_.data() + at, n), Bytes(now.data() + at, n));
    }
    snapshot_ = {};
    return record;
  }
  for (const auto& [s, before] : touched_) {
    const auto now = image_.Read(s * kSector, before.size());
    if (!now || std::equal(before.begin(), before.end(), now->begin())) continue;
    AddSector(record.runs_, s * kSector, Bytes(before.data(), before.size()), *now);
  }
  touched_.clear();
  return record;
}

bool TakeChangedBytes(DiskImage& to, const DiskImage& from) {
  if (to.Size() != from.Size()) return false;
  bool ok = true;
  if (!from.Memory().empty()) {
    const ImageBytes& bytes = from.Memory();
    for (std::size_t at = 0; at < bytes.size(); at += kSector) {
      const std::size_t n = std::min<std::size_t>(kSector, bytes.size() - at);
      const auto mine = to.Read(at, n);
      if (mine && std::equal(mine->begin(), mine->end(), bytes.begin() + at)) continue;
      ok = to.Write(at, Bytes(bytes.data() + at, n)) && ok;
    }
  } else if (to.Store() && from.Store()) {
    std::set<std::uint64_t> sectors;
    for (const auto s : to.Store()->StagedSectors()) sectors.insert(s);
    for (const auto s : from.Store()->StagedSectors()) sectors.insert(s);
    for (const std::uint64_t s : sectors) {
      const std::uint64_t start = s * SectorStore::kStagedSectorBytes;
      if (start >= to.Size()) continue;
      const auto n =
          static_cast<std::size_t>(std::min(SectorStore::kStagedSectorBytes, to.Size() - start));
      const auto theirs = from.Read(start, n);
      const auto mine = to.Read(start, n);
      if (!theirs || !mine) {
        ok = false;
        continue;
      }
      if (std::equal(mine->begin(), mine->end(), theirs->begin())) continue;
      const std::vector<std::uint8_t> held(theirs->begin(), theirs->end());
      ok = to.Write(start, Bytes(held.data(), held.size())) && ok;
    }
  } else {
    return false;
  }
  to.geometry = from.geometry;
  return ok;
}

}  // namespace quarnel
