// Changing the image: add, delete, extract, rename, OEM and volume edits, new images, saving,
// and dragging rows out.
#include <QAbstractItemView>
#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "app/file_list_model.h"
#include "app/file_list_view.h"
#include "app/host_browser.h"
#include "app/main_window.h"
#include "app/qt_ui.h"
#include "core/add_file.h"
#include "core/clock.h"
#include "core/delete_entry.h"
#include "core/extract.h"
#include "core/messages.h"
#include "core/new_image.h"
#include "core/rename.h"
#include "core/save_image.h"
#include "formats/host_open.h"

namespace quarnel {

namespace {

// The host file name for a row dragged out: the caption as listed, without trailing blanks and
// dots, and with no character that would leave the temporary folder.
QString DragFileName(const FileRow& row) {
  QString name =
      QString::fromLatin1(row.caption.data(), static_cast<qsizetype>(row.caption.size()));
  name.replace(QLatin1Char('/'), QLatin1Char('_'));
  name.replace(QChar(0), QLatin1Char('_'));
  while (name.endsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char('.'))) name.chop(1);
  return name;
}

}  // namespace

std::vector<int> MainWindow::SelectedSlots() const {
  std::vector<int> out;
  for (const FileRow& r : SelectedFileRows()) out.push_back(r.slot);
  return out;
}

void MainWindow::AddHostFiles(const QStringList& paths) { DropFiles(paths); }

ChangedImageAnswer MainWindow::AskToSaveChanges(const std::string& path) {
  if (!OffersToSaveChanges(ws_, path)) return {};
  const SavePrompt prompt = ws_.SaveChangedPrompt();
  const auto chosen = ui_->AskSavePath(prompt.title, prompt.proposed);
  return {chosen.value_or(std::string())};
}

std::optional<std::string> MainWindow::AskEntryName(const std::filesystem::path& hostPath) {
  const std::string hostName = hostPath.filename().string();
  // Without an image in its root AddFile refuses before it looks at the name.
  const bool takes = !ws_.image.imagePath.empty() && ws_.HasImage() && ws_.image.level == 0;
  if (!takes || !NeedsEntryName(hostPath)) return hostName;
  for (;;) {
    auto answer = ui_->AskNewName(hostName);
    if (!answer || IsValidMsxName(*answer)) return answer;
  }
}

void MainWindow::AddChosenFile() {
  if (!AtRoot()) {
    ui_->Notify(msg::kOnlyInRootDir);
    return;
  }
  auto path = ui_->AskOpenPath(msg::kAddFileTitle, FromQ(browser_->Folder()));
  if (path && !path->empty()) {
    if (auto name = AskEntryName(*path)) AddFile(ws_, *path, *name, *ui_);
  }
  ReadDirectory(ws_, *ui_);
  ShowListing();
}

void MainWindow::DeleteSelectedEntries() {
  std::vector<int> slotList = SelectedSlots();
  if (slotList.empty() || IsCassette()) return;
  DeleteSelected(ws_, slotList, *ui_);
  ShowListing();
}

void MainWindow::ExtractSelectedEntries() {
  std::vector<FileRow> rows = SelectedFileRows();
  if (rows.empty()) return;
  if (IsCassette()) {
    auto path = ui_->AskSavePath(msg::kExtractTitle, rows.front().caption);
    if (path && !path->empty())
      cas_.ExtractCasEntry(static_cast<std::size_t>(rows.front().slot), *path, *ui_);
    return;
  }
  // One save dialog per row, in order, up to the first one cancelled.
  std::vector<ExtractTarget> targets;
  for (const FileRow& r : rows) {
    const auto prompt = ExtractPrompt(ws_, r.slot);
    if (!prompt) continue;
    auto path = ui_->AskSavePath(prompt->title, prompt->proposed);
    if (!path || path->empty()) break;
    targets.push_back({r.slot, *path});
  }
  int written = ExtractSelected(ws_, targets, *ui_);
  // The rows written lose their selection, as each round of the command takes the next one.
  auto* sel = list_->Selection();
  for (int k = 0; k < written && k < static_cast<int>(rows.size()); ++k) {
    for (int r = 0; r < model_->rowCount(); ++r) {
      if (model_->Row(r)->slot != rows[static_cast<std::size_t>(k)].slot) continue;
      sel->select(model_->index(r, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
  }
}

void MainWindow::StartRenamingEntry() {
  if (!AtRoot() || IsCassette()) return;
  std::vector<int> rows = list_->SelectedRows();
  if (rows.empty()) return;
  QModelIndex cur = list_->CurrentView()->currentIndex();
  int row =
      cur.isValid() && list_->Selection()->isRowSelected(cur.row(), {}) ? cur.row() : rows.front();
  list_->EditRow(row);
}

bool MainWindow::CommitRenamedEntry(int slot, const QString& text) {
  std::string refusal;
  const RenameStatus s = RenameEntry(ws_, slot, FromImageText(text), &refusal);
  if (!refusal.empty()) ui_->Notify(refusal);
  return s == RenameStatus::Renamed;
}

void MainWindow::CommitOemField() {
  if (!ws_.HasImage()) return;
  SetOemSignature(ws_, FromImageText(oem_->text()));
}

void MainWindow::CommitVolumeField() {
  if (!ws_.HasImage()) return;
  SystemClock clock;
  VolumeStatus s = SetVolumeName(ws_, FromImageText(volume_->text()), *ui_, clock);
  if (s != VolumeStatus::Unchanged) ShowListing();
}

void MainWindow::NewImage(int row) {
  if (row < 0 || row >= static_cast<int>(GeometryTable.size())) return;
  const GeometryRow& g = GeometryTable[static_cast<std::size_t>(row)];
  QString path = QDir(browser_->Folder()).filePath(ToQ(NewImageName(g)));
  if (quarnel::NewImage(g, FromQ(path), *ui_)) {
    browser_->Refresh();
    browser_->SelectPath(path);
  }
}

void MainWindow::SaveImage() { Save(ws_, *ui_); }

void MainWindow::SaveImageAs() {
  // The dialog lists disk images; the core writes the path chosen.
  if (ws_.image.imagePath.empty() || ws_.image.bytes.empty()) return;
  const SavePrompt prompt = SaveAsPrompt(ws_);
  auto path = ui_->AskSaveFile(prompt.title, prompt.proposed, SaveFilter::DiskImage);
  if (!path || path->empty()) return;
  SaveAs(ws_, *path, *ui_);
}

void MainWindow::StartDragOut() {
  if (dragging_ || !tempReady_) return;
  std::vector<FileRow> rows = SelectedFileRows();
  QList<QUrl> urls;
  QStringList written;
  const bool tape = IsCassette();
  for (const FileRow& r : rows) {
    if (!tape && (r.IsDirectory() || r.IsVolume())) continue;
    QString name = DragFileName(r);
    if (name.isEmpty()) continue;
    QString target = QDir(paths_.tempFolder).filePath(name);
    bool ok = tape ? cas_.ExtractCasEntry(static_cast<std::size_t>(r.slot), FromQ(target), *ui_)
                   : ExtractFile(ws_, r.slot, FromQ(target), *ui_) == ExtractStatus::Written;
    if (!ok) continue;
    urls << QUrl::fromLocalFile(target);
    written << target;
  }
  if (urls.isEmpty()) return;
  dragging_ = true;
  auto* mime = new QMimeData;
  mime->setUrls(urls);
  auto* drag = new QDrag(list_->CurrentView());
  drag->setMimeData(mime);
  Qt::DropAction done = drag->exec(Qt::MoveAction, Qt::MoveAction);
  dragging_ = false;
  if (done == Qt::IgnoreAction) {
    for (const QString& f : written) QFile::remove(f);
    return;
  }
  list_->Selection()->clearSelection();
}

}  // namespace quarnel
