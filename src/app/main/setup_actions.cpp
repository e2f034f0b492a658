#include "app/main/setup_actions.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QMenu>

#include "app/dialogs/qt_ui.h"
#include "app/main/file_list_view.h"
#include "app/main/host_browser.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "app/platform/win_color.h"
#include "app/viewer/hex_view.h"

namespace quarnel {

SetupActions::SetupActions(MainWindow& window) : QObject(&window), w_(window) {
  saveEnvironment_ = new QAction(QString::fromLatin1(app_text::kMenuSaveEnvironment), this);
  connect(saveEnvironment_, &QAction::triggered, this, [this] { w_.SaveSettings(); });
  startFolder_ = Make(app_text::kMenuStartupFolder, &SetupActions::ChooseStartFolder);
  treeLook_ = Make(app_text::kMenuFolderTree, &SetupActions::ChooseTreeFontAndColor);
  listLook_ = Make(app_text::kMenuFileList, &SetupActions::ChooseListFontAndColor);
  textViewFont_ = Make(app_text::kMenuTextView, &SetupActions::ChooseTextViewFont);
  textViewFont_->setStatusTip(QString::fromLatin1(app_text::kTextViewHint));
  basicViewFont_ = Make(app_text::kMenuBasicView, &SetupActions::ChooseBasicViewFont);
  basicViewFont_->setStatusTip(QString::fromLatin1(app_text::kBasicViewHint));
  oemColors_ = Make(app_text::kMenuOemSignature, &SetupActions::ChooseOemColors);
  volumeColors_ = Make(app_text::kMenuVolumeName, &SetupActions::ChooseVolumeColors);
  autoLoad_ = new QAction(QString::fromLatin1(app_text::kMenuAutoLoad), this);
  autoLoad_->setCheckable(true);
  japanese_ = new QAction(QString::fromLatin1(app_text::kMenuJapaneseCharset), this);
  japanese_->setCheckable(true);
  japanese_->setChecked(w_.settings().japaneseCharset);
  connect(japanese_, &QAction::toggled, this, [this](bool on) { w_.UseJapaneseCharset(on); });
}

QAction* SetupActions::Make(const char* text, void (SetupActions::*command)()) {
  auto* a = new QAction(QString::fromLatin1(text), this);
  connect(a, &QAction::triggered, this, [this, command] { (this->*command)(); });
  return a;
}

void SetupActions::AddTo(QMenu* menu) {
  menu->addAction(saveEnvironment_);
  menu->addSeparator();
  for (QAction* a : {startFolder_, treeLook_, listLook_, textViewFont_, basicViewFont_, oemColors_,
                     volumeColors_})
    menu->addAction(a);
  menu->addSeparator();
  menu->addAction(autoLoad_);
  menu->addAction(japanese_);
}

void SetupActions::ChooseStartFolder() {
  auto f = w_.ui_->AskFolder(app_text::kStartupFolderTitle, w_.settings_.startFolder);
  if (f) w_.settings_.startFolder = CutText(*f, SettingsLayout::kFolderChars);
}

void SetupActions::ChooseTextViewFont() {
  // The dialog opens on the font the view shows.
  const QFont initial(ViewFontFamily(w_.settings_.textViewFont));
  // This dialog sets no title of its own: it keeps the one of the previous font dialog.
  auto f = w_.ui_->AskFont(FromQ(lastFontTitle_), initial, nullptr);
  if (f) w_.settings_.textViewFont = CutText(FromQ(f->family()), SettingsLayout::kFontNameChars);
}

void SetupActions::ChooseBasicViewFont() {
  lastFontTitle_ = QString::fromLatin1(app_text::kBasicFontTitle);
  const QFont initial(ViewFontFamily(w_.settings_.basicViewFont));
  QColor color = ColorFromWin(w_.settings_.keywordColor, QApplication::palette());
  auto f = w_.ui_->AskFont(app_text::kBasicFontTitle, initial, &color);
  if (!f) return;
  w_.settings_.basicViewFont = CutText(FromQ(f->family()), SettingsLayout::kFontNameChars);
  w_.settings_.keywordColor = WinFromColor(color);
}

void SetupActions::ChooseOemColors() {
  const QPalette pal = QApplication::palette();
  if (auto c = w_.ui_->AskColor(app_text::kOemFontColorTitle,
                                ColorFromWin(w_.settings_.oemFontColor, pal))) {
    w_.settings_.oemFontColor = WinFromColor(*c);
    w_.ApplyFieldColors();
  }
  if (auto c = w_.ui_->AskColor(app_text::kOemBackColorTitle,
                                ColorFromWin(w_.settings_.oemBackColor, pal))) {
    w_.settings_.oemBackColor = WinFromColor(*c);
    w_.ApplyFieldColors();
  }
}

void SetupActions::ChooseVolumeColors() {
  const QPalette pal = QApplication::palette();
  if (auto c = w_.ui_->AskColor(app_text::kVolumeFontColorTitle,
                                ColorFromWin(w_.settings_.volumeFontColor, pal))) {
    w_.settings_.volumeFontColor = WinFromColor(*c);
    w_.ApplyFieldColors();
  }
  if (auto c = w_.ui_->AskColor(app_text::kVolumeBackColorTitle,
                                ColorFromWin(w_.settings_.volumeBackColor, pal))) {
    w_.settings_.volumeBackColor = WinFromColor(*c);
    w_.ApplyFieldColors();
  }
}

void SetupActions::ChooseTreeFontAndColor() {
  lastFontTitle_ = QString::fromLatin1(app_text::kTreeFontTitle);
  const QPalette pal = QApplication::palette();
  QColor color = ColorFromWin(w_.settings_.treeFontColor, pal);
  if (auto f = w_.ui_->AskFont(app_text::kTreeFontTitle, w_.browser_->View()->font(), &color)) {
    // The whole font applies for this run; only its name and colour are stored.
    w_.browser_->View()->setFont(*f);
    w_.filter_->setFont(*f);
    w_.settings_.treeFontName = CutText(FromQ(f->family()), SettingsLayout::kFontNameChars);
    w_.settings_.treeFontColor = WinFromColor(color);
    w_.ApplyTreeLook();
    w_.browser_->View()->setFont(*f);
  }
  if (auto c = w_.ui_->AskColor(app_text::kTreeBackColorTitle,
                                ColorFromWin(w_.settings_.treeBackColor, pal))) {
    w_.settings_.treeBackColor = WinFromColor(*c);
    QFont keep = w_.browser_->View()->font();
    w_.ApplyTreeLook();
    w_.browser_->View()->setFont(keep);
  }
}

void SetupActions::ChooseListFontAndColor() {
  lastFontTitle_ = QString::fromLatin1(app_text::kListFontTitle);
  const QPalette pal = QApplication::palette();
  QColor color = ColorFromWin(w_.settings_.listFontColor, pal);
  QFont now = w_.list_->CurrentView()->font();
  if (auto f = w_.ui_->AskFont(app_text::kListFontTitle, now, &color)) {
    w_.settings_.listFontName = CutText(FromQ(f->family()), SettingsLayout::kFontNameChars);
    w_.settings_.listFontColor = WinFromColor(color);
    w_.ApplyListLook();
    for (QWidget* w : w_.list_->findChildren<QAbstractItemView*>()) w->setFont(*f);
  }
  if (auto c = w_.ui_->AskColor(app_text::kListBackColorTitle,
                                ColorFromWin(w_.settings_.listBackColor, pal))) {
    w_.settings_.listBackColor = WinFromColor(*c);
    QFont keep = w_.list_->CurrentView()->font();
    w_.ApplyListLook();
    for (QWidget* w : w_.list_->findChildren<QAbstractItemView*>()) w->setFont(keep);
  }
}

}  // namespace quarnel
