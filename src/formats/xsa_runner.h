// The .XSA <-> .DSK conversions of the host browser. They run our xsd / xsc programs, which lie
// in the program's folder, on temporary copies there ("tempxsa.xsa", "tempdsk.dsk"), wait for
// the tool to end and move its output to the file the user chose.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "core/ui.h"
#include "formats/disk_convert.h"

namespace quarnel {

struct ToolRunOptions {
  // A tool still running after this long is stopped and counts as failed.
  std::chrono::milliseconds timeout = std::chrono::minutes(2);
};

// The tool's file in `programFolder` ("xsd" / "xsc", with ".exe" on Windows).
std::filesystem::path ToolPath(const std::filesystem::path& programFolder, std::string_view tool);

ConvertResult XsaToDsk(const std::string& source, const std::filesystem::path& programFolder,
                       Ui& ui, const ToolRunOptions& options = {});
ConvertResult DskToXsa(const std::string& source, const std::filesystem::path& programFolder,
                       Ui& ui, const ToolRunOptions& options = {});

}  // namespace quarnel
