#include "app/platform/win_color.h"

namespace quarnel {

QColor ColorFromWin(std::uint32_t value, const QPalette& pal) {
  if ((value & 0xFF000000u) == 0x80000000u) {
    switch (value & 0xFF) {
      case 1:
      case 2:
      case 3:
      case 4:
      case 15:
      case 22:
        return pal.color(QPalette::Button);
      case 5:
        return pal.color(QPalette::Base);
      case 6:
        return pal.color(QPalette::Mid);
      case 7:
      case 8:
        return pal.color(QPalette::Text);
      case 9:
        return pal.color(QPalette::HighlightedText);
      case 13:
        return pal.color(QPalette::Highlight);
      case 14:
        return pal.color(QPalette::HighlightedText);
      case 16:
        return pal.color(QPalette::Dark);
      case 17:
        return pal.color(QPalette::PlaceholderText);
      case 18:
        return pal.color(QPalette::ButtonText);
      case 20:
        return pal.color(QPalette::Light);
      case 21:
        return pal.color(QPalette::Shadow);
      case 23:
        return pal.color(QPalette::ToolTipText);
      case 24:
        return pal.color(QPalette::ToolTipBase);
      default:
        return pal.color(QPalette::WindowText);
    }
  }
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

std::uint32_t WinFromColor(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

}  // namespace quarnel
