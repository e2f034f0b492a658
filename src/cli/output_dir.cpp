#include "cli/output_dir.h"

#include <filesystem>
#include <iostream>

#include "cli/messages.h"

namespace quarnel::cli {

bool MakeOutputDir(const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (std::filesystem::is_directory(dir, ec)) return true;
  std::cerr << kCannotWrite << dir << "\n";
  return false;
}

}  // namespace quarnel::cli
