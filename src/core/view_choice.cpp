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
  const FileType* type = FileTypeOf(ext);
  if (!type) return ViewSelector::Automatic;
  if (type->kind != FileKind::PictureBySize) return type->view;
  // A .PIC file: the mode by its size.
  if (size >= 14343 && size <= 16319) return ViewSelector::Screen2;
  if (size >= 27254 && size <= 27271) return ViewSelector::Screen5;
  if (size >= 54279 && size <= 55350) return ViewSelector::Screen8;
  if (size == 108662) return ViewSelector::Screen7;
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
