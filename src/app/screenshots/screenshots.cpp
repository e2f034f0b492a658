#include "app/screenshots/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextStream>
#include <QThread>
#include <QTreeView>

#include "app/dialogs/qt_ui.h"
#include "app/dialogs/save_to_disk_dialog.h"
#include "app/main/document.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/host_browser.h"
#include "app/main/main_window.h"
#include "app/screenshots/card_screenshots.h"
#include "app/screenshots/disk_screenshots.h"
#include "app/screenshots/gallery_screenshots.h"
#include "app/screenshots/screenshot_steps.h"
#include "app/screenshots/viewer_screenshots.h"

namespace quarnel {

namespace {

int SelectRowOfType(MainWindow& w, const char* type) {
  const auto& rows = w.listModel()->Rows();
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].type == type) return static_cast<int>(i);
  return -1;
}

void SelectRows(MainWindow& w, std::initializer_list<int> rows) {
  auto* sel = w.fileList()->Selection();
  sel->clearSelection();
  for (int r : rows) {
    if (r < 0) continue;
    QModelIndex i = w.listModel()->index(r, 0);
    sel->select(i, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sel->setCurrentIndex(i, QItemSelectionModel::NoUpdate);
  }
}

}  // namespace

int RunScreenshots(const QString& outDir, const QString& image) {
  QDir().mkpath(outDir);
  QTemporaryDir scratch;
  AppPaths paths;
  paths.exeFolder = scratch.path();
  paths.tempFolder = scratch.path() + QStringLiteral("/temp");
  paths.settingsFile = scratch.path() + QStringLiteral("/Quarnel.ini");
  MainWindow w(paths, {QApplication::applicationFilePath()});
  w.resize(860, 520);
  w.show();
  w.activateWindow();
  Settle(300);
  w.resize(860, 520);
  Settle();
  bool ok = Save(w.grab(), outDir, QStringLiteral("main-empty.png"));
  if (image.isEmpty()) return ok ? 0 : 1;

  QElapsedTimer t;
  t.start();
  w.browser()->SetFolder(QFileInfo(image).absolutePath());
  w.OpenHostFile(QFileInfo(image).absoluteFilePath());
  QTextStream(stdout) << "opened and listed in " << t.nsecsElapsed() / 1000 << " us\n";
  w.browser()->SelectPath(QFileInfo(image).absoluteFilePath());
  Settle(400);
  ok = Save(w.grab(), outDir, QStringLiteral("main-demo.png")) && ok;
  ok = Save(WithTitleBar(w), outDir, QStringLiteral("main-title.png")) && ok;

  // The context menu with two files selected.
  int a = -1, b = -1;
  const auto& rows = w.listModel()->Rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].IsDirectory() || rows[i].IsVolume()) continue;
    if (a < 0)
      a = static_cast<int>(i);
    else if (b < 0)
      b = static_cast<int>(i);
  }
  SelectRows(w, {a, b});
  w.fileList()->setFocus();
  Settle();
  w.UpdateListMenu();
  QWidget* list = w.fileList()->CurrentView()->viewport();
  QPoint at = list->mapToGlobal(QPoint(60, 60));
  w.fileListMenu()->popup(at);
  Settle(300);
  QPixmap shot = w.grab();
  {
    QPainter p(&shot);
    QPoint rel = at - w.mapToGlobal(QPoint(0, 0));
    p.drawPixmap(rel, w.fileListMenu()->grab());
  }
  w.fileListMenu()->hide();
  ok = Save(shot, outDir, QStringLiteral("main-popup.png")) && ok;

  // Find on Disk's hits and a file's properties.
  ok = RunDiskScreenshots(w, outDir) && ok;
  // Inside a subdirectory.
  int dir = SelectRowOfType(w, "Directory");
  if (dir >= 0) {
    SelectRows(w, {dir});
    w.OpenSelectedEntry();
    Settle();
    ok = Save(w.grab(), outDir, QStringLiteral("main-subdir.png")) && ok;
  }
  // The viewer window with each view of the demo disk's files.
  ok = RunViewerScreenshots(w, outDir) && ok;
  // The gallery of the demo disk, and its thumbnails as the list's large icons.
  ok = RunGalleryScreenshots(w, outDir) && ok;
  // The help page in its own window.
  w.OpenHelpPage();
  if (QWidget* help = w.helpWindow()) {
    Settle(300);
    ok = Save(WithTitleBar(*help), outDir, QStringLiteral("help.png")) && ok;
    help->close();
  }
  // "Save to disk" after writing the image to a file that stands in for a floppy.
  if (const Workspace* ws = w.disk()) {
    const QString target = scratch.path() + QStringLiteral("/floppy.img");
    QFile::copy(image, target);
    SaveToDiskDialog dialog({ws->image.Memory().begin(), ws->image.Memory().end()}, DeviceSources{},
                            w.ui(), &w);
    dialog.show();
    dialog.ChooseTarget(target);
    QEventLoop loop;
    QObject::connect(&dialog, &SaveToDiskDialog::writingEnded, &loop, &QEventLoop::quit);
    dialog.StartWriting();
    if (dialog.Writing()) loop.exec();
    Settle(300);
    ok = Save(WithTitleBar(dialog), outDir, QStringLiteral("save-to-disk.png")) && ok;
  }
  // A card image: its partitions listed, then files dropped on one of them.
  w.resize(760, 330);
  Settle();
  ok = RunCardScreenshot(w, outDir, scratch.path()) && ok;
  w.document()->MarkSaved();
  return ok ? 0 : 1;
}

}  // namespace quarnel
