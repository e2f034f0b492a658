// Card and hard-disk images in the main window: the partitions as the top level of the file
// list, entering one (its volume opened through a window of the image, so that nothing outside
// the partition is ever written) and leaving it again.
#include <QAbstractItemView>
#include <QToolButton>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "core/partition_store.h"
#include "formats/session.h"

namespace quarnel {

namespace {

// Puts the current row of `list` on the row whose slot is `slot` (the first row when none is).
void SelectSlot(FileListView* list, const FileListModel* model, int slot) {
  int at = 0;
  for (int r = 0; r < model->rowCount(); ++r)
    if (const FileRow* row = model->Row(r); row && row->slot == slot) at = r;
  if (model->rowCount() > 0) list->CurrentView()->setCurrentIndex(model->index(at, 0));
}

}  // namespace

std::string MainWindow::OpenName() const {
  const std::string path = OpenPath();
  if (path.empty()) return {};
  std::string name = std::filesystem::path(path).filename().string();
  if (card_ && !card_->Listing()) name += ", " + PartitionCaption(card_->entered);
  return name;
}

bool MainWindow::OpenCard(const std::string& path) {
  document_->Closing();
  if (disk() && disk()->IsChanged() && !SettleChanges()) {
    ShowListing();
    return false;
  }
  document_->session().Close();
  document_->Replaced();
  ++openSerial_;
  // Surveyed after the changes were settled: a save may have been to this very file.
  card_ = CardState{path, SurveyDevice(path), 0};
  stamp_ = FileStamp::Of(path);
  RememberOpenFile();
  sort_.direction = -1;
  volumeField_ = listedVolume_ = std::string();
  ShowListing();
  // What is wrong with the table is told where the path stands; each partition row says what
  // keeps it from being opened.
  const auto& findings = card_->survey.table.findings;
  if (!findings.empty()) ui_->Status(path + ": " + findings.front());
  SelectSlot(list_, model_, 0);
  return true;
}

bool MainWindow::EnterPartition(int number) {
  if (!card_ || !card_->Listing()) return false;
  PartitionOpening opened = OpenPartitionStore(card_->path, number, true);
  if (!opened.store) {
    // A partition that may not be written (it overlaps another, the file is read-only) is
    // still shown; its changes are refused when they are made.
    PartitionOpening reading = OpenPartitionStore(card_->path, number, false);
    if (!reading.store) {
      ui_->Notify(reading.message);
      return false;
    }
    ui_->Status(opened.message);
    opened = std::move(reading);
  }
  document_->Closing();
  Workspace& ws = document_->session().StartDisk();
  ++openSerial_;
  NotifyAll(*ui_, ws.LoadVolume(std::move(opened.store), card_->path).messages);
  document_->Replaced();
  card_->entered = number;
  stamp_ = FileStamp::Of(card_->path);
  sort_.direction = -1;
  volumeField_ = listedVolume_ = ListedVolumeName(ws.image);
  ShowListing();
  SelectSlot(list_, model_, -1);
  return true;
}

bool MainWindow::LeavePartition() {
  if (!card_ || card_->Listing()) return false;
  // The viewer's pending edits go into the partition they were made on, then its unsaved
  // changes are settled; Cancel keeps the partition open.
  document_->Closing();
  if (!SettleChanges()) return false;
  const int left = card_->entered;
  document_->session().Close();
  document_->Replaced();
  ++openSerial_;
  card_->entered = 0;
  card_->survey = SurveyDevice(card_->path);  // a volume name may have changed
  volumeField_ = listedVolume_ = std::string();
  ShowListing();
  SelectSlot(list_, model_, left);
  return true;
}

void MainWindow::DropFilesOn(int number, const QStringList& paths) {
  if (!card_ || !card_->Listing()) return;
  if (!EnterPartition(number)) return;
  DropFiles(paths);
}

bool MainWindow::RefusedAtPartitions() {
  if (!card_ || !card_->Listing()) return false;
  ui_->Notify(app_text::kEnterPartitionFirst);
  return true;
}

}  // namespace quarnel
