#include "core/file_list.h"

#include <cstdio>

#include "core/ascii.h"
#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/messages.h"
#include "core/workspace.h"

namespace quarnel {

namespace {

template <typename... Args>
std::string Format(std::string_view fmt, Args... args) {
  char buf[96];
  std::string f(fmt);
  int n = std::snprintf(buf, sizeof buf, f.c_str(), args...);
  return n < 0
             ? std::string()
             : std::string(buf, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buf - 1));
}

}  // namespace

std::string ShownText(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = kControlCharShown;
  }
  return out;
}

// TypeForEntry gives the directory type over the volume type: the same order here.
bool FileRow::IsDirectory() const { return (attribute & kAttrDirectory) != 0; }
bool FileRow::IsVolume() const { return (attribute & kAttrVolume) && !IsDirectory(); }

std::string MakeCaption(const CurrentEntry& e) {
  std::string caption = ShownText(e.name) + "." + ShownText(e.extension);
  if (caption == "..   ") return ".";
  if (caption == "...   ") return "..";
  if ((e.attribute & kAttrVolume) && !(e.attribute & kAttrDirectory)) {
    std::string label;
    for (char c : caption)
      if (c != '.') label.push_back(c);
    return label;
  }
  return caption;
}

TypeAndIcon TypeForEntry(std::string_view extension3, std::uint8_t attribute) {
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

std::string FormatSizeText(std::int32_t size) { return Format(msg::kSizeFormat, size); }

std::string FormatModified(const CurrentEntry& e) {
  return Format("%d/%02d/%d", e.day, e.month, e.year) + " " +
         Format("%d:%02d:%02d", e.hour, e.minute, e.second);
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

std::string FormatSummary(int filesListed, std::int32_t bytesFree) {
  return Format(msg::kFilesListedFormat, filesListed) + "\n" +
         Format(msg::kBytesFreeFormat, bytesFree);
}

void FillFileList(Workspace& ws) {
  ws.fileList.Clear();
  if (!ws.HasImage()) return;
  const int count = static_cast<int>(ws.listing.size());
  for (int slot = 0; slot < count; ++slot) {
    if (!ReadEntry(ws, slot)) continue;
    const CurrentEntry& e = ws.current;
    FileRow row;
    row.caption = MakeCaption(e);
    TypeAndIcon t = TypeForEntry(e.extension, e.attribute);
    row.type = std::move(t.text);
    row.icon = t.icon;
    if (!(e.attribute & (kAttrVolume | kAttrDirectory))) row.sizeText = FormatSizeText(e.size);
    row.modified = FormatModified(e);
    row.attrib = FormatAttrib(e.attribute);
    row.slot = slot;
    row.size = e.size;
    row.fullSize = e.fullSize;
    row.attribute = e.attribute;
    if (row.IsVolume() && !ws.volumeShown) {
      ws.volumeField = row.caption;
      ws.listedVolume = row.caption;
      ws.volumeShown = true;
    }
    ws.fileList.rows.push_back(std::move(row));
  }
  ws.fileList.filesListed = static_cast<int>(ws.fileList.rows.size());
  ws.fileList.bytesFree = FreeBytes(ws.image);
  ws.fileList.summary = FormatSummary(ws.fileList.filesListed, ws.fileList.bytesFree);
}

}  // namespace quarnel
