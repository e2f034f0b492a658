#include "core/clock.h"

#include <chrono>
#include <system_error>

namespace quarnel {

LocalDateTime ToLocalDateTime(std::time_t t) {
  std::tm tm{};
  LocalDateTime out;
  if (!localtime_r(&t, &tm)) return out;
  out.year = tm.tm_year + 1900;
  out.month = tm.tm_mon + 1;
  out.day = tm.tm_mday;
  out.hour = tm.tm_hour;
  out.minute = tm.tm_min;
  out.second = tm.tm_sec;
  return out;
}

LocalDateTime SystemClock::Now() const { return ToLocalDateTime(std::time(nullptr)); }

std::optional<LocalDateTime> HostModificationTime(const std::filesystem::path& p) {
  std::error_code ec;
  auto ft = std::filesystem::last_write_time(p, ec);
  if (ec) return std::nullopt;
  auto sys = std::chrono::file_clock::to_sys(ft);
  return ToLocalDateTime(std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys)));
}

namespace {

LocalDateTime Clamped(const LocalDateTime& t) {
  if (t.year < 1980) return LocalDateTime{};
  if (t.year > 2107) return LocalDateTime{2107, 12, 31, 23, 59, 58};
  return t;
}

}  // namespace

std::uint16_t FatTime(const LocalDateTime& in) {
  LocalDateTime t = Clamped(in);
  return static_cast<std::uint16_t>((t.second / 2) + (t.minute << 5) + (t.hour << 11));
}

std::uint16_t FatDate(const LocalDateTime& in) {
  LocalDateTime t = Clamped(in);
  return static_cast<std::uint16_t>(t.day + (t.month << 5) + ((t.year - 1980) << 9));
}

std::optional<std::time_t> FromFatDateTime(std::uint16_t date, std::uint16_t time) {
  int day = date & 0x1F, month = (date >> 5) & 0x0F, year = ((date >> 9) & 0x7F) + 1980;
  int hour = (time >> 11) & 0x1F, minute = (time >> 5) & 0x3F, second = (time & 0x1F) * 2;
  if (day < 1 || month < 1 || month > 12 || hour > 23 || minute > 59 || second > 59)
    return std::nullopt;
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return std::nullopt;
  return t;
}

}  // namespace quarnel
