// The picture views as the menus offer them: the view's selector, its decoder mode, its menu
// text and its shortcut, in menu order. The file list's View menu and the viewer's popup menu
// are built from this one table.
#pragma once

#include <QKeyCombination>
#include <iterator>
#include <optional>

#include "app/messages.h"
#include "core/view_choice.h"
#include "viewers/picture.h"

namespace quarnel {

struct PictureViewEntry {
  ViewSelector selector;
  viewers::PictureMode mode;
  const char* text;
  QKeyCombination key;
};

inline constexpr PictureViewEntry kPictureViews[] = {
    {ViewSelector::Screen1, viewers::PictureMode::Screen1, app_text::kPopupScreens[0],
     Qt::ALT | Qt::Key_1},
    {ViewSelector::Screen2, viewers::PictureMode::Screen2, app_text::kPopupScreens[1], Qt::Key_F2},
    {ViewSelector::Patterns, viewers::PictureMode::Patterns, app_text::kPopupScreens[2],
     Qt::ALT | Qt::Key_2},
    {ViewSelector::Screen3, viewers::PictureMode::Screen3, app_text::kPopupScreens[3],
     Qt::ALT | Qt::Key_3},
    {ViewSelector::Screen4, viewers::PictureMode::Screen4, app_text::kPopupScreens[4],
     Qt::ALT | Qt::Key_4},
    {ViewSelector::Screen5, viewers::PictureMode::Screen5, app_text::kPopupScreens[5], Qt::Key_F5},
    {ViewSelector::Screen6, viewers::PictureMode::Screen6, app_text::kPopupScreens[6],
     Qt::ALT | Qt::Key_6},
    {ViewSelector::Screen7, viewers::PictureMode::Screen7, app_text::kPopupScreens[7], Qt::Key_F7},
    {ViewSelector::Screen8, viewers::PictureMode::Screen8, app_text::kPopupScreens[8], Qt::Key_F8},
    {ViewSelector::Screen10, viewers::PictureMode::Screen10, app_text::kPopupScreens[9],
     Qt::ALT | Qt::Key_0},
    {ViewSelector::Screen11, viewers::PictureMode::Screen11, app_text::kPopupScreens[10],
     Qt::Key_F11},
    {ViewSelector::Screen12, viewers::PictureMode::Screen12, app_text::kPopupScreens[11],
     Qt::Key_F12},
};
static_assert(std::size(kPictureViews) == std::size(app_text::kPopupScreens));

inline const PictureViewEntry* PictureViewOf(ViewSelector s) {
  for (const PictureViewEntry& e : kPictureViews)
    if (e.selector == s) return &e;
  return nullptr;
}

}  // namespace quarnel
