// The settings record on the window: applying it at show, the Setup menu, help and About.
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/host_browser.h"
#include "app/main/main_window.h"
#include "app/main/setup_actions.h"
#include "app/messages.h"
#include "app/platform/win_color.h"
#include "app/platform/window_place.h"
#include "app/viewer/hex_view.h"

namespace quarnel {

namespace {

QString FromRecord(const std::string& s) { return ToQ(s); }

// Font and background colours of a widget; labels get their own background painted.
void Paint(QWidget* w, const QColor& fg, const QColor& bg) {
  QPalette p = w->palette();
  for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
    p.setColor(role, fg);
  for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button}) p.setColor(role, bg);
  w->setPalette(p);
  if (qobject_cast<QLabel*>(w)) w->setAutoFillBackground(true);
}

void SetFontName(QWidget* w, const std::string& name) {
  if (name.empty()) return;
  QFont f = w->font();
  f.setFamily(FromRecord(name));
  w->setFont(f);
}

}  // namespace

QPoint MainWindow::WithinReach(const QRect& saved) {
  // The screen the saved place lies on; a place saved on a screen that is gone (a second monitor,
  // a larger one) is brought onto the main screen.
  QScreen* on = QGuiApplication::screenAt(saved.topLeft() + QPoint(kTitleReach / 2, 1));
  if (!on) on = QGuiApplication::primaryScreen();
  if (!on) return saved.topLeft();
  const QRect screen = on->availableGeometry();
  if (width() > screen.width() || height() > screen.height())
    resize(std::min(width(), screen.width()), std::min(height(), screen.height()));
  QPoint at = saved.topLeft();
  // The title bar stays where it can be grabbed: below the top, and at least kTitleReach pixels
  // of it on the screen. A place that already is keeps its pixels as saved.
  at.setY(std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() - kTitleReach)));
  at.setX(
      std::clamp(at.x(), screen.left() - width() + kTitleReach, screen.right() - kTitleReach + 1));
  return at;
}

void MainWindow::WidenToShowEveryColumn() {
  const QTreeView* list = list_->DetailView();
  const QHeaderView* header = list->header();
  // The columns as the listing sized them, the attributes (the last, six letters) as wide as
  // their text needs in this font.
  const int last = header->count() - 1;
  const int attributes = list->fontMetrics().horizontalAdvance(QStringLiteral("AAAAAA")) + 16;
  const int columns = header->sectionPosition(last) + attributes;
  const int missing = columns - list->viewport()->width();
  // Until a disk's listing has been fitted, a later listing is fitted again.
  if (model_->rowCount() > 0) widenPending_ = false;
  if (missing <= 0) return;
  const QScreen* on = screen();
  const int most = on ? on->availableGeometry().width() : width() + missing;
  resize(std::min(width() + missing, most), height());
}

void MainWindow::ApplySettings() {
  const SettingsRecord& s = settings_;
  const SettingsRecord first = FirstStartSettings(FromQ(QDir::homePath()));
  // Position, size and splitter; a text that is no number takes the first-start value.
  auto num = [](const std::string& text, const std::string& fallback) {
    if (auto v = StrictDecimal(text)) return *v;
    return StrictDecimal(fallback).value_or(0);
  };
  int left = num(s.windowLeft, first.windowLeft);
  int top = num(s.windowTop, first.windowTop);
  int width = num(s.windowWidth, first.windowWidth);
  int height = num(s.windowHeight, first.windowHeight);
  int split = num(s.splitterLeft, first.splitterLeft);
  if (width > 0 && height > 0) resize(width, height);
  // The first start shows every column of the file list: widened once the window is laid out.
  if (firstStart_) {
    widenPending_ = true;
    QTimer::singleShot(0, this, [this] { WidenToShowEveryColumn(); });
  }
  move(WithinReach(QRect(left, top, this->width(), this->height())));
  if (split > 0) {
    int total = splitter_->width() > split ? splitter_->width() : width;
    splitter_->setSizes({split, total - split > 0 ? total - split : 1});
  }
  ApplyFieldColors();  // the OEM and volume fields' colours
  ApplyTreeLook();     // the browser's font and colours
  // The start folder once the browser has its look, and again once the list has its own.
  if (!s.startFolder.empty()) browser_->SetFolder(FromRecord(s.startFolder));
  ApplyListLook();  // the file list's font and colours
  if (!s.startFolder.empty()) browser_->SetFolder(FromRecord(s.startFolder));
}

void MainWindow::ApplyFieldColors() {
  const QPalette pal = QApplication::palette();
  QColor oemFg = ColorFromWin(settings_.oemFontColor, pal);
  QColor oemBg = ColorFromWin(settings_.oemBackColor, pal);
  Paint(oemLabel_, oemFg, oemBg);
  Paint(oem_, oemFg, oemBg);
  QColor volFg = ColorFromWin(settings_.volumeFontColor, pal);
  QColor volBg = ColorFromWin(settings_.volumeBackColor, pal);
  Paint(volumeLabel_, volFg, volBg);
  Paint(volume_, volFg, volBg);
}

void MainWindow::ApplyTreeLook() {
  const QPalette pal = QApplication::palette();
  QColor fg = ColorFromWin(settings_.treeFontColor, pal);
  QColor bg = ColorFromWin(settings_.treeBackColor, pal);
  SetFontName(browser_->View(), settings_.treeFontName);
  Paint(browser_->View(), fg, bg);
  Paint(filter_, fg, bg);
}

void MainWindow::ApplyListLook() {
  const QPalette pal = QApplication::palette();
  QColor fg = ColorFromWin(settings_.listFontColor, pal);
  QColor bg = ColorFromWin(settings_.listBackColor, pal);
  for (QWidget* w :
       {static_cast<QWidget*>(list_->DetailView()), static_cast<QWidget*>(list_->CurrentView())}) {
    SetFontName(w, settings_.listFontName);
    Paint(w, fg, bg);
  }
  for (QObject* o : list_->findChildren<QListView*>()) {
    auto* w = static_cast<QWidget*>(o);
    SetFontName(w, settings_.listFontName);
    Paint(w, fg, bg);
  }
}

void MainWindow::SaveSettings() {
  settings_.windowLeft = NumberText(x());
  settings_.windowTop = NumberText(y());
  settings_.windowWidth = NumberText(width());
  settings_.windowHeight = NumberText(height());
  settings_.splitterLeft = NumberText(splitter_->sizes().value(0));
  WriteSettingsFile(FromQ(paths_.settingsFile), settings_);
}

const viewers::MsxCharset& MainWindow::Charset() const {
  return settings_.japaneseCharset ? viewers::MsxCharset::Japanese()
                                   : viewers::MsxCharset::International();
}

void MainWindow::UseJapaneseCharset(bool on) {
  settings_.japaneseCharset = on;
  if (setupActions_->japaneseCharset()->isChecked() != on)
    setupActions_->japaneseCharset()->setChecked(on);
  model_->SetCharset(Charset());
  ShowListing();
  document_->SetCharset(Charset());
}

void MainWindow::OpenHelpPage() {
  // The help page opens in a window of the program's own, so it works without a web browser.
  if (!helpWindow_) {
    QFile page(QStringLiteral(":/help/quarnel.html"));
    if (!page.open(QIODevice::ReadOnly)) {
      ui_->Notify(app_text::kHelpMissing);
      return;
    }
    helpWindow_ = new QTextBrowser(this);
    helpWindow_->setWindowFlag(Qt::Window);
    helpWindow_->setAttribute(Qt::WA_QuitOnClose, false);
    helpWindow_->setObjectName(QStringLiteral("helpWindow"));
    helpWindow_->setWindowTitle(QString::fromLatin1(app_text::kHelpTitle));
    helpWindow_->setOpenExternalLinks(true);
    helpWindow_->setHtml(QString::fromUtf8(page.readAll()));
    helpWindow_->resize(720, 600);
    PlaceBesideMain(helpWindow_, this);
  }
  helpWindow_->show();
  helpWindow_->raise();
  helpWindow_->activateWindow();
}

void MainWindow::ShowAbout() {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(app_text::kAboutTitle),
                  QString::fromLatin1(app_text::kAboutText), QMessageBox::Ok, this);
  box.exec();
}

}  // namespace quarnel
