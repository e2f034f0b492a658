// File › Open Recent: the images and tapes opened last, newest first.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "app/dialogs/qt_ui.h"
#include "app/main/host_browser.h"
#include "app/main/main_window.h"
#include "app/messages.h"

namespace quarnel {

void MainWindow::RememberOpenFile() {
  const std::string path = OpenPath();
  if (path.empty()) return;
  recent_.Remember(path);
  recent_.Write(FromQ(paths_.RecentFile()));
  FillRecentMenu();
}

void MainWindow::FillRecentMenu() {
  if (!recentMenu_) return;
  recentMenu_->clear();
  int n = 0;
  for (const std::string& path : recent_.Paths()) {
    const QString p = ToQ(path);
    // "&1 NAME  (FOLDER)": the name to find it by, the folder to tell alike names apart. An "&"
    // of the path is shown, not taken as the entry's key.
    const QFileInfo fi(p);
    auto shown = [](QString s) { return s.replace(QLatin1Char('&'), QStringLiteral("&&")); };
    const QString text =
        QStringLiteral("&%1 %2  (%3)")
            .arg(++n)
            .arg(shown(fi.fileName()), shown(QDir::toNativeSeparators(fi.absolutePath())));
    QAction* a = recentMenu_->addAction(text);
    a->setData(p);
    a->setToolTip(p);
    connect(a, &QAction::triggered, this, [this, p] { OpenRecentFile(p); });
  }
  recentMenu_->addSeparator();
  QAction* clear = recentMenu_->addAction(QString::fromLatin1(app_text::kMenuClearRecent));
  connect(clear, &QAction::triggered, this, [this] { ClearRecentFiles(); });
  recentMenu_->menuAction()->setEnabled(n > 0);
}

void MainWindow::OpenRecentFile(const QString& path) {
  const QFileInfo fi(path);
  if (!fi.isFile()) {
    ui_->Notify(std::string(app_text::kFileNotFound) + FromQ(path));
    recent_.Forget(FromQ(path));
    recent_.Write(FromQ(paths_.RecentFile()));
    FillRecentMenu();
    return;
  }
  browser_->SetFolder(fi.absolutePath());
  OpenHostFile(fi.absoluteFilePath());
  // The browser marks what is open (the image that stays, when this file could not be opened).
  if (!OpenPath().empty()) browser_->SelectPath(ToQ(OpenPath()));
}

void MainWindow::ClearRecentFiles() {
  recent_.Clear();
  recent_.Write(FromQ(paths_.RecentFile()));
  FillRecentMenu();
}

}  // namespace quarnel
