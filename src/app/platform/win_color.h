// Windows colour values (0x00BBGGRR, or a system colour with top byte 0x80) as Qt colours.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace quarnel {

// A system colour maps to the matching role of `palette` (window, window text, button, ...).
QColor ColorFromWin(std::uint32_t value, const QPalette& palette);
std::uint32_t WinFromColor(const QColor& c);

}  // namespace quarnel
