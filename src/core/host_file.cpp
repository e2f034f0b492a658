#include "core/host_file.h"

#include <cctype>
#include <fstream>
#include <system_error>

#include "core/save_image.h"

namespace quarnel {

namespace fs = std::filesystem;

std::string UpperExtension(std::string_view path) {
  auto slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  auto dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string ext(name.substr(dot));
  for (auto& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

bool WriteFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes) {
  return WriteAtomically(target, Bytes(bytes.data(), bytes.size()), DefaultFileIo());
}

std::optional<std::vector<std::uint8_t>> ReadHostBytes(const fs::path& path, std::uintmax_t limit) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > limit) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<std::uintmax_t>(in.gcount()) != size) return std::nullopt;
  return bytes;
}

}  // namespace quarnel
