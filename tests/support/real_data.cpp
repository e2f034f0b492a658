#include "support/real_data.h"

#include <cstdlib>
#include <string>

#include "support/test_env.h"

namespace quarnel::test {

namespace fs = std::filesystem;

fs::path SharedDir() {
  const char* env = std::getenv("QUARNEL_TEST_DATA");
  return env && *env ? fs::path(env) : fs::path(QUARNEL_TEST_DATA);
}

fs::path RealDataDir(std::string_view kind) {
  const fs::path root = SharedDir();
  if (root.empty()) return {};
  fs::path dir = root / "realdata" / std::string(kind);
  std::error_code ec;
  return fs::is_directory(dir, ec) ? dir : fs::path();
}

}  // namespace quarnel::test
