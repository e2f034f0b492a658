#include "app/main/recent_files.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace quarnel {

void RecentFiles::Remember(const std::string& path) {
  Forget(path);
  paths_.insert(paths_.begin(), path);
  if (paths_.size() > kRecentLimit) paths_.resize(kRecentLimit);
}

void RecentFiles::Forget(const std::string& path) { std::erase(paths_, path); }

RecentFiles RecentFiles::Read(const std::filesystem::path& file) {
  RecentFiles r;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (r.paths_.size() < kRecentLimit && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || std::ranges::find(r.paths_, line) != r.paths_.end()) continue;
    r.paths_.push_back(line);
  }
  return r;
}

bool RecentFiles::Write(const std::filesystem::path& file) const {
  std::filesystem::path temp = file;
  temp += ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    for (const std::string& p : paths_) out << p << '\n';
    out.flush();
    if (!out) {
      std::error_code ec;
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, file, ec);
  if (ec) std::filesystem::remove(temp, ec);
  return !ec;
}

}  // namespace quarnel
