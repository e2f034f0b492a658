// Opening images, listing, moving between directories, viewing and sorting.
#include <QAbstractItemView>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/edit_actions.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/host_browser.h"
#include "app/main/list_rules.h"
#include "app/main/main_window.h"
#include "app/main/navigation_actions.h"
#include "app/messages.h"
#include "core/add_file.h"
#include "core/device_kind.h"
#include "core/message_text.h"
#include "core/messages.h"
#include "core/rename.h"
#include "formats/session.h"

namespace quarnel {

void MainWindow::ShowListing() {
  FileListing listing;
  const bool partitions = card_ && card_->Listing();
  if (const Workspace* ws = disk()) {
    listing = ListRows(*ws);
    if (ws->HasImage())
      ui_->Status(ws->imagePath + (card_ ? " " + PartitionCaption(card_->entered) + " " : "") +
                  ws->CurrentPath());
  } else if (const CasImage* cas = tape()) {
    listing = TapeRows(*cas);
  } else if (partitions) {
    listing = PartitionRows(card_->survey);
    ui_->Status(card_->path);
  }
  model_->SetPartitionRows(partitions);
  model_->SetRows(listing.rows);
  partitionsButton_->setVisible(card_ && !partitions);
  oem_->setEnabled(!partitions);
  volume_->setEnabled(!partitions);
  UpdateTitle();
  oem_->setText(ImageText(disk() ? OemSignatureOf(disk()->image) : std::string(), Charset()));
  volume_->setText(ImageText(volumeField_, Charset()));
  summary_->setText(ToQ(listing.summary));
  // The design widths, widened where the texts of this font need more room.
  QTreeView* tree = list_->DetailView();
  const QFontMetrics fm(tree->font());
  for (int c = 0; c < FileListModel::kColumns - 1; ++c) {
    int need = 0;
    for (const FileRow& r : listing.rows)
      need = std::max(need, fm.horizontalAdvance(ImageText(ColumnText(r, c), Charset())));
    need += c == 0 ? std::max(16, tree->iconSize().width()) + 24 : 16;
    tree->setColumnWidth(c, std::max(app_text::kColumnWidths[c], need));
  }
  if (widenPending_) QTimer::singleShot(0, this, [this] { WidenToShowEveryColumn(); });
  UpdateListMenu();
  navigation_->Follow();
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
  const HostFileKind kind = HostFileKindOf(FromQ(path));
  // A card image is often named like a raw floppy dump (.img), or by no name the program knows
  // (.hdd): its bytes say what it is.
  const bool device = kind != HostFileKind::DiskImage && kind != HostFileKind::Cassette &&
                      DeviceKindOf(FromQ(path)) != DeviceKind::Other;
  if (kind == HostFileKind::Other && !device) return;
  if (kind == HostFileKind::Conversion && !device) {
    ConvertHostFile(path);
    return;
  }
  OpenFile(FromQ(path));
}

namespace {

// Something came of opening: a disk image with bytes to show (a damaged boot sector included,
// for the sector view and the check), or a tape.
bool HoldsFile(Session& s) {
  return s.Tape() != nullptr || (s.Disk() != nullptr && !s.Disk()->image.Empty());
}

}  // namespace

bool MainWindow::OpenFile(const std::string& path) {
  const DeviceKind device = DeviceKindOf(path);
  if (device == DeviceKind::Partitioned) return OpenCard(path);
  // One volume larger than a floppy opens whatever its name; other files by their extension.
  const auto open = [device, &path](Session& s, Ui& ui) {
    if (device != DeviceKind::LargeVolume || HostFileKindOf(path) == HostFileKind::DiskImage) {
      s.OpenHostFile(path, ui);
      return;
    }
    ui.Status(path);
    NotifyAll(ui, s.StartDisk().LoadImage(path).messages);
  };
  // The file is read first: one that gives nothing to show leaves the open image as it was
  // (its messages said why), and nothing is asked.
  FileStamp stamp = FileStamp::Of(path);
  Session next;
  setEnabled(false);
  open(next, *ui_);
  setEnabled(true);
  if (!HoldsFile(next)) {
    ShowListing();
    return false;
  }
  // The viewer's pending edits go into the image they were made on, then its unsaved changes
  // are settled; Cancel abandons the opening and keeps everything.
  document_->Closing();
  const bool offers = device == DeviceKind::Other ? document_->session().OffersToSaveChanges(path)
                                                  : disk() && disk()->IsChanged();
  if (offers && !SettleChanges()) {
    ShowListing();
    return false;
  }
  if (FileStamp::Of(path) != stamp) {
    // The image just saved was this file: what is shown is what is there now. Its messages
    // were shown with the first read.
    stamp = FileStamp::Of(path);
    SilentUi quiet;
    next = Session{};
    open(next, quiet);
  }
  document_->session() = std::move(next);
  document_->Replaced();
  card_.reset();
  stamp_ = stamp;
  RememberOpenFile();
  sort_.direction = -1;
  // The volume-name field shows the name the root lists, as loaded.
  volumeField_ = listedVolume_ = disk() ? ListedVolumeName(disk()->image) : std::string();
  ShowListing();
  return true;
}

void MainWindow::OpenSelectedEntry() {
  auto rows = SelectedFileRows();
  if (rows.empty()) return;
  const FileRow* row = &rows.front();
  QModelIndex cur = list_->CurrentView()->currentIndex();
  if (cur.isValid() && list_->Selection()->isRowSelected(cur.row(), {}))
    if (const FileRow* r = model_->Row(cur.row())) row = r;
  FileRow chosen = *row;
  if (card_ && card_->Listing()) {
    EnterPartition(chosen.slot);
    return;
  }
  Workspace* ws = ReadableDisk();
  const std::optional<FileEntry> entry = ws ? ws->EntryAt(chosen.slot) : std::nullopt;
  ViewChoice choice;
  if (entry) {
    choice = ChooseView(*entry);
  } else if (IsCassette()) {
    choice = {ViewChoiceKind::View, SelectorForCaption(chosen.caption, chosen.size)};
  }
  if (choice.kind == ViewChoiceKind::Navigate) {
    const std::string_view message = EnterMessage(ws->Enter(*entry, chosen.caption));
    if (!message.empty()) ui_->Notify(message);
    ShowListing();
    if (model_->rowCount() > 0) {
      QModelIndex first = model_->index(0, 0);
      list_->CurrentView()->setCurrentIndex(first);
    }
    return;
  }
  if (choice.kind == ViewChoiceKind::View) document_->RequestView(chosen, choice.selector);
}

void MainWindow::ViewWith(ViewSelector selector) {
  auto rows = SelectedFileRows();
  if (rows.empty()) return;
  document_->RequestView(rows.front(), selector);
}

void MainWindow::SortByColumn(int column) {
  sort_.Click(column);
  model_->SortRows(sort_.column, sort_.direction);
}

void MainWindow::DropFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  std::vector<std::filesystem::path> files;
  for (const QString& p : paths) files.emplace_back(FromQ(p));
  if (card_ && card_->Listing()) {
    // Dropped on a partition's row: into that partition. Anywhere else the card image is
    // asked for a partition, unless one image or tape was dropped to be opened.
    if (DropKindOf(files) == DropOutcome::Added) {
      if (const FileRow* row = model_->Row(list_->DropRow()))
        DropFilesOn(row->slot, paths);
      else
        RefusedAtPartitions();
      return;
    }
  }
  if (DropKindOf(files) != DropOutcome::Added) {
    // One image or tape is opened, not added.
    QFileInfo fi(paths.front());
    {
      browser_->SetFolder(fi.absolutePath());
      SetStatus(fi.absoluteFilePath());
      OpenFile(FromQ(fi.absoluteFilePath()));
      return;
    }
  }
  const std::string remembered = FromQ(statusText());
  const std::optional<std::size_t> added = AddHostPaths(files);
  if (!added) return;
  ui_->Status(remembered);
  ShowListing();
  Confirm(QString::fromLatin1(app_text::kAddedStatus).arg(CountText(*added, 0)));
}

std::optional<std::size_t> MainWindow::AddHostPaths(
    const std::vector<std::filesystem::path>& files) {
  // The questions come first, in order: for a text file whether it is a BASIC program to store
  // tokenised, then the rename question for a name that does not fit; a folder takes its short
  // name without a question.
  // A file that would replace one of the directory is asked about ("Replace NAME?"); Cancel
  // there adds nothing at all.
  std::vector<std::optional<std::string>> names;
  std::vector<bool> tokenised;
  ReplaceState replacing;
  replacing.several = files.size() > 1;
  for (const auto& f : files) {
    tokenised.push_back(!IsHostFolder(f) && OffersTokenizing(f) &&
                        ui_->AskYesNo(std::string(app_text::kAddTokenizedQuestion) +
                                      f.filename().string() + app_text::kAddTokenizedAs));
    names.push_back(IsHostFolder(f)    ? std::string()
                    : tokenised.back() ? AskTokenizedName(f)
                                       : AskEntryName(f));
    if (!IsHostFolder(f) && names.back() && !MayAddAs(*names.back(), replacing))
      names.back() = std::nullopt;
    if (replacing.cancelled) return std::nullopt;
  }
  setEnabled(false);
  const std::string remembered = FromQ(statusText());
  // All the files dropped are one change.
  const QString text = files.size() == 1
                           ? QString::fromLatin1(app_text::kUndoAdd)
                                 .arg(ToQ(names.front() && !names.front()->empty()
                                              ? *names.front()
                                              : files.front().filename().string()))
                           : QString::fromLatin1(app_text::kUndoAddSeveral).arg(files.size());
  std::size_t added = 0;
  document_->Change(text, [&] {
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (IsHostFolder(files[i]))
        added += AddHostFolder(files[i]);
      else if (names[i] && tokenised[i])
        added += AddTokenizedHostFile(files[i], *names[i]) ? 1 : 0;
      else if (names[i])
        added += AddHostFile(files[i], *names[i]) ? 1 : 0;  // a cancelled question skips the file
      ui_->Status(
          FillText(app_text::kAddingFile, {DecimalText(static_cast<std::int64_t>(i)),
                                           DecimalText(static_cast<std::int64_t>(files.size()))}));
    }
  });
  ui_->Status(remembered);
  ShowListing();
  setEnabled(true);
  return added;
}

}  // namespace quarnel
