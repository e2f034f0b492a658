// Where test data lives, scratch folders, and running host programs (the mtools and dosfstools
// witnesses, our own binaries).
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace quarnel::test {

// The folder of the real files made by others (see support/real_data.h, which tests use to reach
// them and to be skipped when they are absent). Empty when none was found.
std::filesystem::path SharedDir();
// The folder of the built programs (quarnel-cli, xsc, xsd).
std::filesystem::path BinDir();
// The project's source folder.
std::filesystem::path SourceDir();

// A fresh empty folder that is removed when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

struct CommandResult {
  int exitCode = -1;
  std::string out;  // stdout
  std::string err;  // stderr
};

// Runs `argv` (no shell) with the extra environment entries `env` ("NAME=value"), stdin from
// /dev/null, and collects its output.
CommandResult Run(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});

// True when the program is on PATH.
bool HaveProgram(const std::string& name);

std::vector<std::uint8_t> ReadHostFile(const std::filesystem::path& p);
void WriteHostFile(const std::filesystem::path& p, std::span<const std::uint8_t> bytes);
inline void WriteHostFile(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
  WriteHostFile(p, std::span<const std::uint8_t>(bytes));
}

}  // namespace quarnel::test
