// One change to a volume kept as the sectors it touched: what each held before the change and
// what the change left there, so that the change can be taken back and made again. A volume
// held in memory (a floppy) is compared whole with a copy taken before the change; a volume
// written in place (a partition, a large image) shows each write to the recorder first, which
// keeps the sectors the write is about to replace, so nothing but the touched sectors is copied.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "core/bytes.h"
#include "core/disk_image.h"
#include "core/geometry.h"

namespace quarnel {

class Workspace;

class ChangeRecord {
 public:
  // A run of touched sectors from `offset` (before and after are of one length).
  struct Run {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> before, after;
  };

  // The change left every byte as it was.
  bool Empty() const { return runs_.empty() && before_ == after_; }
  // Bytes the record holds, before and after.
  std::uint64_t HeldBytes() const;
  const std::vector<Run>& Runs() const { return runs_; }

  // Puts back the bytes the change replaced (Undo) or writes its bytes again (Redo), through
  // the image's store (a volume written in place stages them until it is saved), and the
  // layout the image was read by then. False when a write was refused.
  bool Undo(DiskImage& image) const { return Apply(image, true); }
  bool Redo(DiskImage& image) const { return Apply(image, false); }

 private:
  friend class ChangeRecorder;
  bool Apply(DiskImage& image, bool undo) const;

  std::vector<Run> runs_;  // ascending, not overlapping
  DiskGeometry before_, after_;
};

// Records the change made to `image` between its construction and Finish.
class ChangeRecorder final : private WriteWatch {
 public:
  // The unit the bytes are compared and kept in.
  static constexpr std::uint64_t kSectorBytes = 512;

  explicit ChangeRecorder(DiskImage& image);
  ~ChangeRecorder();
  ChangeRecorder(const ChangeRecorder&) = delete;
  ChangeRecorder& operator=(const ChangeRecorder&) = delete;

  // The change as made so far; the recorder stops watching.
  ChangeRecord Finish();

 private:
  void BeforeWrite(std::uint64_t offset, std::size_t length) override;
  void Stop();

  DiskImage& image_;
  bool watching_ = false;
  DiskGeometry geometry_;
  ImageBytes snapshot_;  // the whole volume before the change (a volume held in memory)
  std::map<std::uint64_t, std::vector<std::uint8_t>> touched_;  // sector → bytes before
};

// Writes into `to` the bytes by which `from` differs from it (`from` being a changed copy of
// `to`, e.g. a repaired one) and takes its layout, so that the change goes through `to`'s own
// store and is seen by a recorder. For a volume written in place only the sectors either has
// staged are compared. False when a write was refused.
bool TakeChangedBytes(DiskImage& to, const DiskImage& from);

}  // namespace quarnel
