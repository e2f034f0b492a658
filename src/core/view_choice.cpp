#include "core/view_choice.h"

#include "core/ascii.h"

namespace quarnel {

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

ViewChoice ChooseView(const FileEntry& entry) {
  ViewChoice c;
  if (entry.IsDot() || entry.IsDirectory()) {
    c.kind = ViewChoiceKind::Navigate;
    return c;
  }
  if (entry.IsVolume()) return c;
  c.kind = ViewChoiceKind::View;
  c.selector = SelectorForCaption(entry.Caption(), entry.size);
  return c;
}

}  // namespace quarnel
