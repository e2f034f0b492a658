// The rows of the file list and the summary under it, as the desktop program shows them and
// `quarnel-cli ls` prints them: captions, size, type and date texts, icons. Made from the
// entries of the shown directory, or from the files of a tape.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/volume.h"
#include "core/workspace.h"
#include "formats/cassette.h"

namespace quarnel {

struct FileRow {
  std::string caption;         // FileEntry::Caption(), or the tape file's name
  std::string sizeText;        // "%7d Bytes"; empty for a volume label and a directory
  std::string type;            // type text ("Basic file", "Directory", the extension itself, ...)
  std::string modified;        // "5/04/2002 13:05:08"
  std::string attrib;          // "A....R"
  int icon = 0;                // index into the list's icon lists
  int slot = 0;                // the entry's slot in the shown directory, or the tape index
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
  std::int64_t bytesFree = 0;
  std::string summary;  // "%d Files Listed " + line break + "%d Bytes free " (disks only)
};

struct TypeAndIcon {
  std::string text;
  int icon = 0;
};
// Type text and icon from the 3-character extension and the attribute.
TypeAndIcon TypeForEntry(std::string_view extension3, std::uint8_t attribute);

std::string FormatSizeText(std::int32_t size);  // "%7d Bytes"
std::string FormatModified(const FileEntry& e);
std::string FormatAttrib(std::uint8_t attribute);
std::string FormatSummary(int filesListed, std::int64_t bytesFree);

// The row of one entry.
FileRow RowFor(const FileEntry& e);
// The rows of the shown directory of `ws` and the summary; empty without an image.
FileListing ListRows(const Workspace& ws);
// The rows of a tape: caption = name, size in bytes, type, icon by type, slot = index.
FileListing TapeRows(const CasImage& tape);

// The volume name as the list shows it: the caption of the root directory's first entry with the
// volume bit (the blanks of its extension field kept), "" when there is none.
std::string ListedVolumeName(const DiskImage& image);

}  // namespace quarnel
