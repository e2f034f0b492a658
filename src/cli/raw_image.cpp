#include "cli/raw_image.h"

#include <filesystem>
#include <iostream>

#include "cli/image_arg.h"
#include "cli/messages.h"
#include "tools/write_back.h"

namespace quarnel::cli {

bool OpenRawImageArg(Workspace& ws, const std::string& path, CliUi& ui, int partition) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    std::cerr << kNoSuchImage << path << "\n";
    return false;
  }
  if (!LoadImageArg(ws, path, ui, partition, false)) return false;
  if (!ws.image.Empty()) return true;
  if (ui.Notices() == 0) std::cerr << kNoSuchImage << path << "\n";
  return false;
}

std::optional<std::int64_t> NumberArg(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return tools::ParseSectorNumber("$" + std::string(text.substr(2)));
  return tools::ParseSectorNumber(text);
}

}  // namespace quarnel::cli
