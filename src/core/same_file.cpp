#include "core/same_file.h"

namespace quarnel {

bool SameHostFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace quarnel
