#include "cli/image_change.h"

#include <filesystem>
#include <iostream>

#include "cli/exit_code.h"
#include "core/add_file.h"
#include "core/ascii.h"
#include "core/save_image.h"

namespace quarnel::cli {

bool SaveInPlace(Workspace& ws, CliUi& ui) {
  std::error_code ec;
  const auto perms = std::filesystem::status(ws.imagePath, ec).permissions();
  if (!ec && (perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
    std::cerr << ws.imagePath << kImageReadOnly << "\n";
    return false;
  }
  return SaveImageFile(ws, ws.imagePath, ui) == SaveStatus::Saved;
}

int FinishChange(ImageChange change, Workspace& ws, CliUi& ui) {
  switch (change) {
    case ImageChange::Unchanged:
      return kExitSuccess;
    case ImageChange::Changed:
      return SaveInPlace(ws, ui) ? kExitSuccess : kExitFailure;
    case ImageChange::Failed:
      break;
  }
  return kExitFailure;
}

std::string ShortMsxName(std::string_view host) {
  const std::string_view dotExt = ExtensionOf(host);
  const std::string_view base = host.substr(0, host.size() - dotExt.size());
  const std::string_view ext = dotExt.empty() ? dotExt : dotExt.substr(1);
  auto keep = [](std::string_view s, std::size_t n) {
    std::string out;
    for (char c : s) {
      if (out.size() == n) break;
      auto u = static_cast<unsigned char>(c);
      if (u <= 0x20 || (u >= 0x80 && u < 0xC0)) continue;  // blanks, UTF-8 continuation bytes
      // One '_' per character the disk cannot hold: non-ASCII, and those names may not contain.
      out.push_back(u >= 0xC0 || IsForbiddenNameChar(c) ? '_' : c);
    }
    return out;
  };
  std::string name = keep(base, 8);
  if (name.empty()) name.push_back('_');
  std::string e = keep(ext, 3);
  return e.empty() ? name : name + "." + e;
}

}  // namespace quarnel::cli
