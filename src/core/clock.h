// Local dates and times as FAT directory entries store them, and the clock that says what "now"
// is. Operations that date an entry take a Clock, so tests can fix the moment.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>

namespace quarnel {

struct LocalDateTime {
  int year = 1980;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() const = 0;
};

// The host's clock, in local time.
class SystemClock : public Clock {
 public:
  LocalDateTime Now() const override;
};

// A clock that always shows the same moment.
class FixedClock : public Clock {
 public:
  explicit FixedClock(LocalDateTime t) : t_(t) {}
  LocalDateTime Now() const override { return t_; }

 private:
  LocalDateTime t_;
};

// A moment of the host in local time.
LocalDateTime ToLocalDateTime(std::time_t t);

// The last modification of a host file, in local time; nullopt when it cannot be read.
std::optional<LocalDateTime> HostModificationTime(const std::filesystem::path& p);

// FAT fields. Moments before 1980 are stored as 1/01/1980 00:00:00 and moments after 2107 as
// 31/12/2107 23:59:58, the range the fields can hold; seconds are truncated to an even value.
std::uint16_t FatTime(const LocalDateTime& t);  // seconds/2 + minutes*32 + hours*2048
std::uint16_t FatDate(const LocalDateTime& t);  // day + month*32 + (year-1980)*512

// The time_t of a FAT date and time read as local time; nullopt for a date that names no day.
std::optional<std::time_t> FromFatDateTime(std::uint16_t date, std::uint16_t time);

}  // namespace quarnel
