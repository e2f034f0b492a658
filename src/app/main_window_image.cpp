// Opening images, listing, moving between directories, viewing and sorting.
#include <QAbstractItemView>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTreeView>
#include <algorithm>

#include "app/file_list_model.h"
#include "app/file_list_view.h"
#include "app/host_browser.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/qt_ui.h"
#include "core/add_file.h"
#include "core/messages.h"
#include "formats/host_open.h"

namespace quarnel {

void MainWindow::ShowListing() {
  model_->SetRows(ws_.fileList.rows);
  oem_->setText(ImageText(ws_.oemField));
  volume_->setText(ImageText(ws_.volumeField));
  summary_->setText(ToQ(ws_.fileList.summary));
  // The design widths, widened where the texts of this font need more room.
  QTreeView* tree = list_->DetailView();
  const QFontMetrics fm(tree->font());
  for (int c = 0; c < FileListModel::kColumns - 1; ++c) {
    int need = 0;
    for (const FileRow& r : ws_.fileList.rows)
      need = std::max(need, fm.horizontalAdvance(ImageText(ColumnText(r, c))));
    need += c == 0 ? std::max(16, tree->iconSize().width()) + 24 : 16;
    tree->setColumnWidth(c, std::max(app_text::kColumnWidths[c], need));
  }
  UpdateListMenu();
}

void MainWindow::AfterImageChange() { ShowListing(); }

std::vector<FileRow> MainWindow::SelectedFileRows() const {
  std::vector<FileRow> out;
  for (int r : list_->SelectedRows())
    if (const FileRow* row = model_->Row(r)) out.push_back(*row);
  return out;
}

void MainWindow::OpenHostFile(const QString& path) {
  dosFunctions_ = false;
  HostFileKind kind = HostFileKindOf(FromQ(path));
  if (kind == HostFileKind::Other) return;
  if (kind == HostFileKind::Conversion) {
    ConvertHostFile(path);
    return;
  }
  if (closeViewer) closeViewer();
  const ChangedImageAnswer changes = AskToSaveChanges(FromQ(path));
  setEnabled(false);
  quarnel::OpenHostFile(ws_, cas_, FromQ(path), *ui_, changes);
  setEnabled(true);
  sort_.direction = -1;
  ShowListing();
}

void MainWindow::OpenSelectedEntry() {
  auto rows = SelectedFileRows();
  if (rows.empty()) return;
  const FileRow* row = &rows.front();
  QModelIndex cur = list_->CurrentView()->currentIndex();
  if (cur.isValid() && list_->Selection()->isRowSelected(cur.row(), {}))
    if (const FileRow* r = model_->Row(cur.row())) row = r;
  FileRow chosen = *row;
  ViewChoice choice = ChooseView(ws_, chosen);
  if (choice.kind == ViewChoiceKind::Navigate) {
    EnterDirectory(ws_, chosen, *ui_);
    ShowListing();
    if (model_->rowCount() > 0) {
      QModelIndex first = model_->index(0, 0);
      list_->CurrentView()->setCurrentIndex(first);
    }
    return;
  }
  if (choice.kind == ViewChoiceKind::View) {
    if (viewer)
      viewer(chosen, choice.selector);
    else
      NotAvailable();
  }
}

void MainWindow::ViewWith(ViewSelector selector) {
  auto rows = SelectedFileRows();
  if (rows.empty()) return;
  const FileRow& chosen = rows.front();
  ws_.viewedName = chosen.caption;
  if (viewer)
    viewer(chosen, selector);
  else
    NotAvailable();
}

void MainWindow::SortByColumn(int column) {
  sort_.Click(column);
  model_->SortRows(sort_.column, sort_.direction);
}

void MainWindow::DropFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  std::vector<std::filesystem::path> files;
  for (const QString& p : paths) files.emplace_back(FromQ(p));
  if (paths.size() == 1) {
    // One image or tape is opened, not added.
    QFileInfo fi(paths.front());
    QString ext = fi.suffix().toUpper();
    if (ext == QLatin1String("DSK") || ext == QLatin1String("CAS")) {
      browser_->SetFolder(fi.absolutePath());
      SetStatus(fi.absoluteFilePath());
      if (closeViewer) closeViewer();
      const ChangedImageAnswer changes = AskToSaveChanges(FromQ(fi.absoluteFilePath()));
      setEnabled(false);
      quarnel::OpenHostFile(ws_, cas_, FromQ(fi.absoluteFilePath()), *ui_, changes);
      sort_.direction = -1;
      ShowListing();
      setEnabled(true);
      return;
    }
  }
  // The rename questions come first, one per file whose name does not fit, in order; none when
  // the drop adds nothing.
  const bool adds = DropKindOf(files) == DropOutcome::Added && ws_.image.level == 0;
  std::vector<DroppedFile> dropped;
  for (const auto& f : files) dropped.push_back({f, adds ? AskEntryName(f) : std::nullopt});
  setEnabled(false);
  quarnel::DropFiles(ws_, dropped, *ui_);
  ShowListing();
  setEnabled(true);
}

}  // namespace quarnel
