#include "listing/file_rows.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/ascii.h"
#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/message_text.h"
#include "listing/messages.h"

namespace quarnel {

namespace {

int TapeIcon(const std::string& type) {
  if (type == "Dos") return 1;
  if (type == "Basic") return 3;
  if (type == "Binary") return 4;
  if (type == "Rom") return 5;
  return 0;  // "Custom", "Ascii" and untyped entries
}

}  // namespace

// TypeForEntry gives the directory type over the volume type: the same order here.
bool FileRow::IsDirectory() const { return (attribute & kAttrDirectory) != 0; }
bool FileRow::IsVolume() const { return (attribute & kAttrVolume) && !IsDirectory(); }

TypeAndIcon TypeForEntry(std::string_view extension3, std::uint8_t attribute) {
  namespace msg = listing::msg;
  TypeAndIcon t;
  const std::string ext = AsciiUpper(extension3);
  if (ext == "LDR" || ext == "BAS")
    t = {std::string(msg::kTypeBasic), 3};
  else if (ext == "LHA" || ext == "PMA")
    t = {std::string(msg::kTypeCompressed), 0};
  else if (ext == "BIN")
    t = {std::string(msg::kTypeBinary), 4};
  else if (ext == "BAT")
    t = {std::string(msg::kTypeBatch), 2};
  else if (ext == "SYS")
    t = {std::string(msg::kTypeSystem), 0};
  else if (ext == "COM" || ext == "EXE")
    t = {std::string(msg::kTypeExecutable), 1};
  else if (ext == "TXT")
    t = {std::string(msg::kTypeText), 0};
  else if (ext == "ROM")
    t = {std::string(msg::kTypeRom), 5};
  else
    t = {ShownText(extension3), 0};
  if (attribute & kAttrVolume) t = {std::string(msg::kTypeVolume), 8};
  if (attribute & kAttrDirectory) t = {std::string(msg::kTypeDirectory), 6};
  return t;
}

std::string FormatSizeText(std::int32_t size) {
  return FillText(listing::msg::kSizeFormat, {DecimalText(size, 7)});
}

namespace {

// `n` as printf's %d, or as %02d when `twoDigits`.
void AppendNumber(std::string& out, int n, bool twoDigits = false) {
  if (twoDigits && n >= 0 && n < 10) out.push_back('0');
  char buf[12];
  const auto end = std::to_chars(buf, buf + sizeof buf, n).ptr;
  out.append(buf, end);
}

}  // namespace

// "%d/%02d/%d %d:%02d:%02d", written without printf: a listing formats one per row.
std::string FormatModified(const FileEntry& e) {
  std::string out;
  out.reserve(20);
  AppendNumber(out, e.day);
  out.push_back('/');
  AppendNumber(out, e.month, true);
  out.push_back('/');
  AppendNumber(out, e.year);
  out.push_back(' ');
  AppendNumber(out, e.hour);
  out.push_back(':');
  AppendNumber(out, e.minute, true);
  out.push_back(':');
  AppendNumber(out, e.second, true);
  return out;
}

std::string FormatAttrib(std::uint8_t a) {
  std::string s = "......";
  if (a & kAttrArchive) s[0] = 'A';
  if (a & kAttrDirectory) s[1] = 'D';
  if (a & kAttrVolume) s[2] = 'V';
  if (a & kAttrSystem) s[3] = 'S';
  if (a & kAttrHidden) s[4] = 'H';
  if (a & kAttrReadOnly) s[5] = 'R';
  return s;
}

std::string FormatSummary(int filesListed, std::int64_t bytesFree) {
  return FillText(listing::msg::kFilesListedFormat, {DecimalText(filesListed)}) + "\n" +
         FillText(listing::msg::kBytesFreeFormat, {DecimalText(bytesFree)});
}

FileRow RowFor(const FileEntry& e) {
  FileRow row;
  row.caption = e.Caption();
  TypeAndIcon t = TypeForEntry(e.extension, e.attribute);
  row.type = std::move(t.text);
  row.icon = t.icon;
  if (!(e.attribute & (kAttrVolume | kAttrDirectory))) row.sizeText = FormatSizeText(e.size);
  row.modified = FormatModified(e);
  row.attrib = FormatAttrib(e.attribute);
  row.slot = e.slot;
  row.size = e.size;
  row.fullSize = e.fullSize;
  row.attribute = e.attribute;
  return row;
}

FileListing ListRows(const Workspace& ws) {
  FileListing out;
  if (!ws.HasImage()) return out;
  for (const FileEntry& e : ws.Entries()) out.rows.push_back(RowFor(e));
  out.filesListed = static_cast<int>(out.rows.size());
  out.bytesFree = FreeBytes(ws.image);
  out.summary = FormatSummary(out.filesListed, out.bytesFree);
  return out;
}

FileListing TapeRows(const CasImage& tape) {
  FileListing out;
  const auto& entries = tape.Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const CasEntry& entry = entries[i];
    FileRow row;
    row.caption = entry.name;
    row.size = static_cast<std::int32_t>(entry.Size());
    row.sizeText = std::to_string(entry.Size()) + std::string(listing::msg::kTapeSizeSuffix);
    row.type = entry.type;
    row.icon = TapeIcon(entry.type);
    row.slot = static_cast<int>(i);
    out.rows.push_back(std::move(row));
  }
  out.filesListed = static_cast<int>(out.rows.size());
  return out;
}

std::string ListedVolumeName(const DiskImage& image) {
  if (!image.Usable()) return {};
  if (auto root = ListDirectory(image, kRootDir))
    for (const FileEntry& e : EntriesOf(*root))
      if (e.IsVolume()) return e.Caption();
  return {};
}

}  // namespace quarnel
