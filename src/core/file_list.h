// The rows of the file list and the summary under it, as data for any front end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/directory.h"

namespace quarnel {

class Workspace;

struct FileRow {
  std::string caption;         // "NAME.EXT" as listed; "." and ".."; a volume label without dots
  std::string sizeText;        // "%7d Bytes"; empty for a volume label and a directory
  std::string type;            // type text ("Basic file", "Directory", the extension itself, ...)
  std::string modified;        // "5/04/2002 13:05:08"
  std::string attrib;          // "A....R"
  int icon = 0;                // index into the list's icon lists
  int slot = 0;                // the hidden column: slot index in the current directory
  std::int32_t size = 0;       // as the Size column shows it (bytes 28-30)
  std::uint32_t fullSize = 0;  // all four size bytes
  std::uint8_t attribute = 0;

  // By the attribute byte, as the type column shows it: "Directory" for the directory bit,
  // "Volume Name" for the volume bit without it.
  bool IsDirectory() const;
  bool IsVolume() const;
};

struct FileListing {
  std::vector<FileRow> rows;
  int filesListed = 0;
  std::int32_t bytesFree = 0;
  std::string summary;  // "%d Files Listed " + line break + "%d Bytes free "
  void Clear() { *this = FileListing{}; }
};

// Character shown in a caption for a name byte that is a control character.
inline constexpr char kControlCharShown = '?';
// Name bytes as captions show them: control characters as kControlCharShown.
std::string ShownText(std::string_view s);

// Caption of an entry: "%s.%s" of name and extension, "." and ".." for the dot entries, dots
// removed for a volume label; control characters shown as kControlCharShown.
std::string MakeCaption(const CurrentEntry& e);

struct TypeAndIcon {
  std::string text;
  int icon = 0;
};
// Type text and icon from the 3-character extension and the attribute.
TypeAndIcon TypeForEntry(std::string_view extension3, std::uint8_t attribute);

std::string FormatSizeText(std::int32_t size);  // "%7d Bytes"
std::string FormatModified(const CurrentEntry& e);
std::string FormatAttrib(std::uint8_t attribute);
std::string FormatSummary(int filesListed, std::int32_t bytesFree);

// Builds the rows of the current directory and the summary into ws.fileList, and applies the
// volume-name rule.
void FillFileList(Workspace& ws);

}  // namespace quarnel
