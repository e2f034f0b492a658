#include "core/read_file.h"

#include <algorithm>

#include "core/ascii.h"
#include "core/extract.h"
#include "core/fat.h"
#include "core/file_list.h"
#include "core/messages.h"
#include "core/workspace.h"

namespace quarnel {

namespace {

bool SameText(std::string_view a, std::string_view b) {
  return AsciiEqualIgnoringCase(ShownText(a), ShownText(b));
}

}  // namespace

bool MatchEntryName(const CurrentEntry& entry, std::string_view caption) {
  auto dot = caption.rfind('.');
  if (dot == std::string_view::npos) return false;  // a caption always has its dot
  std::string_view before = caption.substr(0, dot);
  std::string_view after = caption.substr(dot + 1);
  return SameText(before, entry.name) && after.size() == 3 && SameText(after, entry.extension);
}

bool MatchEntryName(const Workspace& ws, std::string_view caption) {
  return MatchEntryName(ws.current, caption);
}

FileRead ReadEntryFile(const Workspace& ws, const CurrentEntry& entry, Ui& ui) {
  FileRead r;
  r.entry = entry;
  r.size = entry.size;
  if (!ws.HasImage()) return r;
  // Below 2, above the disk, or a cluster the image does not hold.
  if (!FirstClusterValid(ws.image, entry.firstCluster)) {
    ui.Notify(msg::kFirstClusterOutOfBounds);
    r.status = ReadStatus::FirstClusterOutOfBounds;
    return r;
  }
  // The clusters the size needs; a chain that goes on after them is read like extraction reads
  // it. A broken chain, and a size beyond the disk, are errors of the FAT or the entry.
  // A chain that ends before the size is covered gives the bytes it has.
  ChainBytes data =
      ReadChainBytes(ws.image, entry.firstCluster, entry.fullSize, ChainEarlyEnd::Short);
  if (!data.ok()) {
    ui.Notify(msg::kClusterError);
    r.status = ReadStatus::ClusterError;
    return r;
  }
  r.chainEndedEarly = data.endedEarly;  // the bytes that exist, nothing invented for the rest
  r.bytes = std::move(data.bytes);
  r.status = ReadStatus::Ok;
  return r;
}

FileRead ReadEntryByCaption(Workspace& ws, std::string_view caption, Ui& ui) {
  FileRead r;
  if (HostFileKindOf(ws.image.imagePath) == HostFileKind::Cassette) {
    r.status = ReadStatus::CassetteImage;
    return r;
  }
  if (!ws.HasImage()) return r;
  const int count = static_cast<int>(ws.listing.size());
  for (int slot = 0; slot < count; ++slot) {
    if (ReadEntry(ws, slot) && MatchEntryName(ws, caption))
      return ReadEntryFile(ws, ws.current, ui);
  }
  r.status = ReadStatus::NotFound;
  return r;
}

FileRead ReadSlotFile(Workspace& ws, int slot, Ui& ui) {
  FileRead r;
  if (!ws.HasImage()) return r;
  if (!ReadEntry(ws, slot)) {
    r.status = ReadStatus::NotFound;
    return r;
  }
  return ReadEntryFile(ws, ws.current, ui);
}

ViewSelector ResolveSelector(ViewSelector s, const std::vector<std::uint8_t>& bytes) {
  if (s != ViewSelector::Automatic) return s;
  if (bytes.empty()) return ViewSelector::Hex;
  std::uint8_t b = bytes[0];
  if (b >= '0' && b <= '9') return ViewSelector::Text;
  if (b == 0xFE) return ViewSelector::Hex;
  if (b == 0xFF) return ViewSelector::Basic;
  return ViewSelector::Hex;
}

ViewSelector SelectorForCaption(std::string_view caption, std::int32_t size) {
  // The caption as it stands (a / or \\ in a name is no folder), its extension cut to four.
  const std::string ext = AsciiUpper(ExtensionOf(caption).substr(0, 4));
  if (ext == ".BAT" || ext == ".TXT" || ext == ".ASC" || ext == ".HLP" || ext == ".PAS" ||
      ext == ".C")
    return ViewSelector::Text;
  if (ext == ".BAS" || ext == ".LDR") return ViewSelector::Basic;
  // BSAVE pictures: .SC1-.SC8, .SCA-.SCC (screens 10-12) and .S01-.S12.
  struct PictureExtension {
    const char* sc;
    const char* s;
    ViewSelector view;
  };
  static constexpr PictureExtension kPictures[] = {
      {".SC1", ".S01", ViewSelector::Screen1},  {".SC2", ".S02", ViewSelector::Screen2},
      {".SC3", ".S03", ViewSelector::Screen3},  {".SC4", ".S04", ViewSelector::Screen4},
      {".SC5", ".S05", ViewSelector::Screen5},  {".SC6", ".S06", ViewSelector::Screen6},
      {".SC7", ".S07", ViewSelector::Screen7},  {".SC8", ".S08", ViewSelector::Screen8},
      {".SCA", ".S10", ViewSelector::Screen10}, {".SCB", ".S11", ViewSelector::Screen11},
      {".SCC", ".S12", ViewSelector::Screen12},
  };
  for (const PictureExtension& p : kPictures)
    if (ext == p.sc || ext == p.s) return p.view;
  if (ext == ".PIC") {
    if (size >= 14343 && size <= 16319) return ViewSelector::Screen2;
    if (size >= 27254 && size <= 27271) return ViewSelector::Screen5;
    if (size >= 54279 && size <= 55350) return ViewSelector::Screen8;
    if (size == 108662) return ViewSelector::Screen7;
  }
  return ViewSelector::Automatic;
}

ViewChoice ChooseView(Workspace& ws, const FileRow& row) {
  ViewChoice c;
  if (row.caption == ".." || row.caption == "." || row.IsDirectory()) {
    c.kind = ViewChoiceKind::Navigate;
    return c;
  }
  if (row.IsVolume()) return c;
  ws.viewedName = row.caption;
  c.kind = ViewChoiceKind::View;
  c.selector = SelectorForCaption(row.caption, row.size);
  return c;
}

}  // namespace quarnel
