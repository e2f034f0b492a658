// Shared by the commands that read an image byte for byte (details, sector, find): they open an
// image whose boot sector was refused too, as long as its bytes are in memory; and numbers on
// their command lines may be written in hex.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_ui.h"
#include "core/workspace.h"

namespace quarnel::cli {

// Loads `path` into `ws`. True when the image's bytes are in memory, even when its boot sector
// was refused (the load's messages are on stderr); otherwise the reason is on stderr.
// `partition` as for OpenImageArg.
bool OpenRawImageArg(Workspace& ws, const std::string& path, CliUi& ui, int partition = 0);

// A number as the sector box takes it (decimal, or hex after "$"), or hex after "0x".
std::optional<std::int64_t> NumberArg(std::string_view text);

}  // namespace quarnel::cli
