// The images opened last, newest first, kept in a small text file beside the settings record
// (one UTF-8 path a line), so the fixed record keeps its layout. Nothing here needs Qt.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace quarnel {

inline constexpr std::size_t kRecentLimit = 8;

class RecentFiles {
 public:
  const std::vector<std::string>& Paths() const { return paths_; }
  // Puts `path` first; an earlier mention of it goes, the list keeps at most kRecentLimit.
  void Remember(const std::string& path);
  void Forget(const std::string& path);
  void Clear() { paths_.clear(); }

  // Reads `file`; a missing or unreadable file is an empty list. Blank lines and lines past the
  // limit are skipped.
  static RecentFiles Read(const std::filesystem::path& file);
  // Writes through a temporary file renamed over `file`; false on failure (not reported).
  bool Write(const std::filesystem::path& file) const;

 private:
  std::vector<std::string> paths_;
};

}  // namespace quarnel
