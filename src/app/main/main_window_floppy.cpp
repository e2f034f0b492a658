// The floppy drives in the main window: "To Disk" on the menu bar and "From Disk..." in the File
// menu, shown while a usable drive exists. Whether one does is checked when the window is built,
// each time the File menu is about to open and each time the program becomes the active one, so
// a drive plugged in later appears at the latest when the user comes back to the program or opens
// the File menu.
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <atomic>
#include <thread>

#include "app/dialogs/qt_ui.h"
#include "app/dialogs/save_to_disk_dialog.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "core/save_image.h"
#include "formats/floppy_write.h"
#include "formats/messages.h"

namespace quarnel {

void MainWindow::SetUpFloppyActions(QMenu* file) {
  toDisk_ = menuBar()->addAction(QString::fromLatin1(app_text::kMenuToDisk));
  connect(toDisk_, &QAction::triggered, this, [this] { ShowSaveToDisk(); });
  fromDisk_ = new QAction(QString::fromLatin1(app_text::kMenuFromDisk), this);
  connect(fromDisk_, &QAction::triggered, this, [this] { ReadFromDisk(); });
  // Before the separator above Exit.
  QAction* before = nullptr;
  for (QAction* a : file->actions())
    if (a->isSeparator()) before = a;
  file->insertAction(before, fromDisk_);
  connect(file, &QMenu::aboutToShow, this, [this] { UpdateFloppyActions(); });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
    if (s == Qt::ApplicationActive) UpdateFloppyActions();
  });
  UpdateFloppyActions();
}

void MainWindow::SetFloppySources(const DeviceSources& sources) {
  floppySources_ = sources;
  UpdateFloppyActions();
}

void MainWindow::UpdateFloppyActions() {
  const bool any = !ListFloppyDevices(floppySources_).empty();
  toDisk_->setVisible(any);
  fromDisk_->setVisible(any);
}

void MainWindow::ShowSaveToDisk() {
  const Workspace* ws = disk();
  if (!ws || ws->image.Empty()) {
    ui_->Notify(app_text::kNoImageToWrite);
    return;
  }
  // Only a floppy image is held whole; a larger volume is read in place and fits no floppy.
  const auto& bytes = ws->image.Memory();
  if (bytes.empty()) {
    ui_->Notify(ws->imagePath + std::string(formats::msg::kTargetTooLarge));
    return;
  }
  SaveToDiskDialog dialog(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), floppySources_,
                          *ui_, this);
  dialog.exec();
}

void MainWindow::ReadFromDisk() {
  const auto drives = ListFloppyDevices(floppySources_);
  if (drives.empty()) {
    ui_->Notify(app_text::kNoFloppyDrive);
    return;
  }
  std::filesystem::path drive = drives.front().path;
  if (drives.size() > 1) {
    QStringList names;
    for (const auto& d : drives) names << ToQ(d.path.string());
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(this, QString::fromLatin1(app_text::kFromDiskTitle),
                              QString::fromLatin1(app_text::kFromDiskDrive), names, 0, false, &ok);
    if (!ok) return;
    drive = FromQ(chosen);
  }
  auto target =
      ui_->AskSaveFile(app_text::kFromDiskTitle, app_text::kFromDiskName, SaveFilter::DiskImage);
  if (!target || target->empty()) return;
  std::string message;
  auto floppy = OpenFloppyTarget(drive, RawDiskAccess::Read, floppySources_, message);
  if (!floppy) {
    ui_->Notify(message);
    return;
  }
  // The sectors are read on a thread of their own; the window follows in a progress dialog.
  QProgressDialog progress(QString(), QString::fromLatin1(app_text::kCancelButton), 0, 1, this);
  progress.setWindowTitle(QString::fromLatin1(app_text::kFromDiskTitle));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  std::atomic<bool> cancel{false};
  connect(&progress, &QProgressDialog::canceled, &progress, [&cancel] { cancel = true; });
  QEventLoop loop;
  Outcome<FloppyStatus> outcome;
  FloppyRun run;
  run.cancel = &cancel;
  run.progress = [&progress](FloppyPhase phase, std::uint64_t s, std::uint64_t,
                             std::uint64_t last) {
    QMetaObject::invokeMethod(
        &progress,
        [&progress, phase, s, last] {
          progress.setMaximum(static_cast<int>(last));
          progress.setValue(static_cast<int>(s));
          progress.setLabelText(ToQ(PhaseStatusText(phase, s, last)));
        },
        Qt::QueuedConnection);
  };
  std::thread worker([&] {
    outcome = ReadDiskToFile(*floppy, *target, run, DefaultFileIo());
    QMetaObject::invokeMethod(
        &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  progress.reset();
  if (outcome.status != FloppyStatus::Done) {
    ui_->Notify(outcome.message);
    return;
  }
  OpenFile(*target);
}

}  // namespace quarnel
