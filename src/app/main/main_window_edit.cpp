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
#include <random>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/file_actions.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/host_browser.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "core/add_file.h"
#include "core/add_target.h"
#include "core/clock.h"
#include "core/delete_entry.h"
#include "core/extract.h"
#include "core/file_types.h"
#include "core/host_tree.h"
#include "core/image_lock.h"
#include "core/messages.h"
#include "core/new_image.h"
#include "core/rename.h"
#include "core/save_image.h"
#include "formats/session.h"
#include "viewers/basic_tokenizer.h"

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

QString AddText(const std::string& entryName) {
  return QString::fromLatin1(app_text::kUndoAdd).arg(ToQ(entryName));
}

}  // namespace

std::vector<int> MainWindow::SelectedSlots() const {
  std::vector<int> out;
  for (const FileRow& r : SelectedFileRows()) out.push_back(r.slot);
  return out;
}

void MainWindow::AddHostFiles(const QStringList& paths) { DropFiles(paths); }

bool MainWindow::SettleChanges() {
  Workspace* ws = disk();
  if (!ws || !ws->IsChanged()) return true;
  switch (ui_->AskSaveChanges(std::filesystem::path(ws->imagePath).filename().string())) {
    case SaveChoice::Cancel:
      return false;
    case SaveChoice::DontSave:
      ws->MarkSaved();
      return true;
    case SaveChoice::Save:
      break;
  }
  // The image's own path first; Save As when that cannot be written.
  switch (SaveToOwnPath(*ws)) {
    case OwnSave::Saved:
      return true;
    case OwnSave::Cancelled:
      return false;
    case OwnSave::Failed:
      break;
  }
  SaveImageAs();
  return !ws->IsChanged();
}

MainWindow::OwnSave MainWindow::SaveToOwnPath(Workspace& ws) {
  if (ws.imagePath.empty() || ws.image.Empty()) return OwnSave::Failed;
  // The command-line tool holds this lock while it changes the image: wait a moment for it to
  // finish, then look whether it changed the file.
  const ImageLock lock(ws.imagePath, std::chrono::seconds(3));
  if (lock.status() == ImageLock::Status::Busy) {
    ui_->Notify(ws.imagePath + std::string(msg::kBeingChanged));
    return OwnSave::Cancelled;
  }
  if (const FileStamp now = FileStamp::Of(ws.imagePath); now.exists && now != stamp_) {
    // Someone else wrote the file since it was read or saved here: their change is not
    // dropped without a word. (A file that is gone loses nothing by being written again.)
    switch (ui_->AskDiskChanged(std::filesystem::path(ws.imagePath).filename().string())) {
      case DiskChangedChoice::Overwrite:
        break;
      case DiskChangedChoice::SaveAs:
        SaveImageAs();
        return ws.IsChanged() ? OwnSave::Cancelled : OwnSave::Saved;
      case DiskChangedChoice::Cancel:
        return OwnSave::Cancelled;
    }
  }
  if (const SaveOutcome saved = Save(ws); saved != SaveStatus::Saved) {
    if (!saved.message.empty()) ui_->Notify(saved.message);
    return OwnSave::Failed;
  }
  stamp_ = FileStamp::Of(ws.imagePath);
  document_->MarkSaved();
  return OwnSave::Saved;
}

std::optional<std::filesystem::path> MainWindow::ChosenImagePath(
    std::optional<std::string> answer) {
  if (!answer || answer->empty()) return std::nullopt;
  // A name typed without an extension gets the disk image's. The dialog asked about the name
  // it was given; the one it becomes is asked about here.
  std::filesystem::path target(*answer);
  if (target.has_extension()) return target;
  target += kDiskImageExtension;
  std::error_code ec;
  if (std::filesystem::exists(target, ec) &&
      !ui_->AskYesNo(
          FromQ(QString::fromLatin1(app_text::kReplaceFile).arg(ToQ(target.filename().string())))))
    return std::nullopt;
  return target;
}

std::optional<std::filesystem::path> MainWindow::SaveToChosenPath(Workspace& ws,
                                                                  const std::string& title) {
  if (ws.imagePath.empty() || ws.image.Empty()) return std::nullopt;
  const auto target = ChosenImagePath(ui_->AskSaveFile(title, ws.imagePath, SaveFilter::DiskImage));
  if (!target) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::equivalent(*target, ws.imagePath, ec)) {
    // The window's own file under another spelling: Save, with its check.
    if (SaveToOwnPath(ws) != OwnSave::Saved) return std::nullopt;
    return target;
  }
  if (const SaveOutcome saved = SaveAs(ws, *target); saved != SaveStatus::Saved) {
    if (!saved.message.empty()) ui_->Notify(saved.message);
    return std::nullopt;
  }
  return target;
}

std::optional<std::string> MainWindow::AskEntryName(const std::filesystem::path& hostPath) {
  const std::string hostName = hostPath.filename().string();
  // Without an image AddFile refuses before it looks at the name.
  const bool takes = ReadableDisk() != nullptr;
  if (!takes || !NeedsEntryName(hostPath)) return HostNameToMsx(hostName);
  for (;;) {
    auto answer = ui_->AskNewName(hostName);
    if (!answer || IsValidMsxName(*answer)) return answer;
  }
}

void MainWindow::AddChosenFile() {
  if (RefusedAtPartitions()) return;
  auto path = ui_->AskOpenPath(app_text::kAddFileTitle, FromQ(browser_->Folder()));
  if (path && !path->empty()) {
    ReplaceState replacing;
    if (auto name = AskEntryName(*path); name && MayAddAs(*name, replacing))
      AddHostFile(*path, *name);
  }
  ShowListing();
}

bool MainWindow::MayAddAs(const std::string& entryName, ReplaceState& state) {
  if (state.cancelled) return false;
  const Workspace* ws = ReadableDisk();
  if (!ws) return true;  // the add says why nothing can be added
  const std::optional<FileEntry> there = FileReplacedByAdd(ws->listing, entryName);
  if (!there) return true;
  ReplaceChoice choice;
  if (state.forAll) {
    choice = *state.forAll;
  } else {
    const ReplaceAnswer a =
        ui_->AskReplace(FromQ(ImageText(there->Caption(), Charset())), state.several);
    choice = a.choice;
    if (a.forAll && choice != ReplaceChoice::Cancel) state.forAll = choice;
  }
  if (choice == ReplaceChoice::Cancel) state.cancelled = true;
  return choice == ReplaceChoice::Replace;
}

bool MainWindow::AddHostFile(const std::filesystem::path& path, const std::string& entryName) {
  Workspace* ws = disk();
  if (!ws) {
    ui_->Notify(msg::kNoImageSelected);
    return false;
  }
  AddOutcome out;
  document_->Change(AddText(entryName), [&] {
    out = AddFile(ws->image, ws->CurrentDir(), path, entryName);
    if (out == AddStatus::Added) ws->MarkChanged();
  });
  if (!out.message.empty()) ui_->Notify(out.message);
  ws->Refresh();
  return out == AddStatus::Added;
}

bool MainWindow::OffersTokenizing(const std::filesystem::path& path) const {
  const FileType* type = FileTypeOf(HostExtension(path.string()));
  return type && type->basicSource && disk() && disk()->HasImage();
}

std::optional<std::string> MainWindow::AskTokenizedName(const std::filesystem::path& path) {
  const std::string name = path.stem().string() + std::string(kBasicExtension);
  if (IsValidMsxName(HostNameToMsx(name))) return HostNameToMsx(name);
  for (;;) {
    auto answer = ui_->AskNewName(name);
    if (!answer || IsValidMsxName(*answer)) return answer;
  }
}

bool MainWindow::AddTokenizedHostFile(const std::filesystem::path& path,
                                      const std::string& entryName) {
  Workspace* ws = disk();
  if (!ws) return false;
  NewFile file;
  AddOutcome out = ReadNewFile(ws->image, path, entryName, file);
  if (out == AddStatus::Added) {
    const viewers::TokenizedBasic t =
        viewers::TokenizeBasic(Bytes(file.bytes.data(), file.bytes.size()));
    if (!t.ok()) {
      ui_->Notify(path.filename().string() + ": line " + std::to_string(t.error->line) +
                  ", column " + std::to_string(t.error->column) + ": " +
                  std::string(t.error->message));
      return false;
    }
    file.bytes = t.program;
    document_->Change(AddText(entryName), [&] {
      out = AddFileData(ws->image, ws->CurrentDir(), file);
      if (out == AddStatus::Added) ws->MarkChanged();
    });
  }
  if (!out.message.empty()) ui_->Notify(out.message);
  ws->Refresh();
  return out == AddStatus::Added;
}

bool MainWindow::IsHostFolder(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_directory(std::filesystem::symlink_status(path, ec));
}

std::size_t MainWindow::AddHostFolder(const std::filesystem::path& path) {
  Workspace* ws = disk();
  if (!ws || !ws->HasImage()) {
    ui_->Notify(msg::kNoImageSelected);
    return 0;
  }
  HostTreeOptions options;
  options.depth = ws->Depth();
  const std::string name = ClaimedNames().Claim(path.filename().string());
  HostTreeResult r;
  document_->Change(AddText(name), [&] {
    r = AddHostTree(ws->image, ws->CurrentDir(), path, name, options);
    if (r.files + r.folders > 0) ws->MarkChanged();
  });
  // The first failure ends the folder, as a failing file ends its own add.
  if (!r.failures.empty() && !r.failures.front().message.empty())
    ui_->Notify(r.failures.front().message);
  ws->Refresh();
  return r.files;
}

void MainWindow::DeleteSelectedEntries() {
  std::vector<int> slotList = SelectedSlots();
  Workspace* ws = disk();
  if (slotList.empty() || !ws) return;
  const std::optional<FileEntry> first = ws->EntryAt(slotList.front());
  const QString text = slotList.size() == 1 && first
                           ? QString::fromLatin1(app_text::kUndoDelete).arg(EntryText(*first))
                           : QString::fromLatin1(app_text::kUndoDeleteSeveral).arg(slotList.size());
  std::vector<DeleteOutcome> outcomes;
  document_->Change(text, [&] { outcomes = DeleteSelected(*ws, slotList); });
  for (const DeleteOutcome& out : outcomes)
    if (!out.message.empty()) ui_->Notify(out.message);
  ShowListing();
}

void MainWindow::ExtractSelectedEntries() {
  std::vector<FileRow> rows = SelectedFileRows();
  if (rows.empty()) return;
  if (IsCassette()) {
    auto path = ui_->AskSavePath(app_text::kExtractTitle, rows.front().caption);
    if (path && !path->empty())
      tape()->ExtractCasEntry(static_cast<std::size_t>(rows.front().slot), *path, *ui_);
    return;
  }
  Workspace* ws = ReadableDisk();
  if (!ws) return;
  // One save dialog per row, in order, up to the first one cancelled; then the files, in order.
  std::vector<std::pair<FileEntry, std::string>> targets;
  for (const FileRow& r : rows) {
    auto entry = ws->EntryAt(r.slot);
    if (!entry) continue;
    auto path = ui_->AskSavePath(app_text::kExtractTitle, r.caption);
    if (!path || path->empty()) break;
    targets.emplace_back(std::move(*entry), *path);
  }
  int written = 0;
  for (const auto& [entry, path] : targets) {
    const ExtractOutcome out = ExtractFile(ws->image, entry, path);
    if (!out.message.empty()) ui_->Notify(out.message);
    if (out == ExtractStatus::Written) ++written;
  }
  // The rows written lose their selection, as each round of the command takes the next one.
  auto* sel = list_->Selection();
  for (int k = 0; k < written && k < static_cast<int>(rows.size()); ++k) {
    for (int r = 0; r < model_->rowCount(); ++r) {
      if (model_->Row(r)->slot != rows[static_cast<std::size_t>(k)].slot) continue;
      sel->select(model_->index(r, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
  }
}

bool MainWindow::CommitRenamedEntry(int slot, const QString& text) {
  Workspace* ws = ReadableDisk();
  const std::optional<FileEntry> entry = ws ? ws->EntryAt(slot) : std::nullopt;
  if (!entry) return false;
  RenameOutcome out;
  document_->Change(QString::fromLatin1(app_text::kUndoRename).arg(EntryText(*entry)), [&] {
    out = RenameEntry(ws->image, ws->listing, *entry, FromImageText(text, Charset()));
    if (out == RenameStatus::Renamed) ws->MarkChanged();
  });
  if (!out.message.empty()) ui_->Notify(out.message);
  if (out != RenameStatus::Renamed) {
    // Refusals the core leaves without a message say why in the status bar.
    const char* why = out == RenameStatus::Invalid     ? app_text::kRenameInvalid
                      : out == RenameStatus::Duplicate ? app_text::kRenameDuplicate
                      : out == RenameStatus::DotEntry  ? app_text::kRenameDotEntry
                                                       : nullptr;
    if (why && out.message.empty()) Confirm(QString::fromLatin1(why).arg(text.trimmed()));
    return false;
  }
  UpdateTitle();
  ws->Refresh();
  // The name as stored (upper-case, blanks dropped), which may differ from what was typed.
  if (const std::optional<FileEntry> renamed = ws->EntryAt(slot))
    Confirm(
        QString::fromLatin1(app_text::kRenamedTo).arg(ImageText(renamed->Caption(), Charset())));
  return true;
}

void MainWindow::CommitOemField() {
  Workspace* ws = ReadableDisk();
  if (!ws) return;
  // The text the field was given from the image changes nothing.
  if (oem_->text() == ImageText(OemSignatureOf(ws->image), Charset())) return;
  document_->Change(QString::fromLatin1(app_text::kUndoOemName), [&] {
    if (SetOemSignature(ws->image, FromImageText(oem_->text(), Charset()))) ws->MarkChanged();
  });
  UpdateTitle();
}

void MainWindow::CommitVolumeField() {
  Workspace* ws = ReadableDisk();
  if (!ws) return;
  const std::string text = FromImageText(volume_->text(), Charset());
  // The text the field was last given from the image changes nothing.
  if (text.substr(0, kVolumeNameLength) == listedVolume_) return;
  SystemClock clock;
  VolumeOutcome out;
  document_->Change(QString::fromLatin1(app_text::kUndoVolumeName), [&] {
    out = SetVolumeName(ws->image, text, clock);
    if (out == VolumeStatus::Written || out == VolumeStatus::Created ||
        out == VolumeStatus::Cleared)
      ws->MarkChanged();
  });
  if (!out.message.empty()) ui_->Notify(out.message);
  // The field shows what is stored now (a refused name gives way to the stored one).
  volumeField_ = listedVolume_ = ListedVolumeName(ws->image);
  ws->Refresh();
  ShowListing();
}

void MainWindow::NewImage(int row) {
  if (row < 0 || row >= static_cast<int>(GeometryTable.size())) return;
  const GeometryRow& g = GeometryTable[static_cast<std::size_t>(row)];
  // The first NewNNN name not taken in the browsed folder is proposed; another name, or a
  // taken one after the "Replace?" question, may be chosen.
  const QDir folder(browser_->Folder());
  const std::string name = NewImageName(g);
  const std::filesystem::path stem = std::filesystem::path(name).stem();
  QString proposed = folder.filePath(ToQ(name));
  for (int n = 2; QFileInfo::exists(proposed); ++n)
    proposed = folder.filePath(
        ToQ(stem.string() + "-" + std::to_string(n) + std::string(kDiskImageExtension)));
  const auto target = ChosenImagePath(
      ui_->AskSaveFile(app_text::kNewImageTitle, FromQ(proposed), SaveFilter::DiskImage));
  if (!target) return;
  // The open image is settled before anything is written: Cancel leaves everything as it was.
  document_->Closing();
  const bool wasChanged = disk() && disk()->IsChanged();
  if (!SettleChanges()) return;
  std::optional<VolumeId> dos2;
  if (fileActions_->dos2()->isChecked()) {
    std::random_device random;
    dos2 = VolumeIdFrom(static_cast<std::uint32_t>(random()));
  }
  if (const NewImageOutcome made = quarnel::NewImage(g, *target, dos2);
      made != NewImageStatus::Written) {
    ui_->Notify(made.message);
    if (disk() && wasChanged) disk()->MarkChanged();  // "Don't Save" was for the new image
    return;
  }
  const QString made = ToQ(target->string());
  browser_->Refresh();
  browser_->SelectPath(made);
  OpenFile(target->string());
}

void MainWindow::SaveImage() {
  document_->Saving();
  Workspace* ws = disk();
  const bool saved = ws && SaveToOwnPath(*ws) == OwnSave::Saved;
  UpdateTitle();
  if (saved) SetSavedStatus(ws->imagePath);
}

void MainWindow::SetSavedStatus(const std::filesystem::path& file) {
  Confirm(QString::fromLatin1(app_text::kSavedStatus).arg(ToQ(file.filename().string())));
}

void MainWindow::SaveImageAs() {
  document_->Saving();
  Workspace* ws = disk();
  if (!ws) return;
  const auto target = SaveToChosenPath(*ws, std::string(app_text::kSavingTitle));
  if (target) {
    // The file written is the window's file from now on: title, Save and Open Recent.
    ws->imagePath = target->string();
    stamp_ = FileStamp::Of(*target);
    document_->MarkSaved();
    RememberOpenFile();
    browser_->Refresh();
    browser_->SelectPath(ToQ(ws->imagePath));
  }
  ShowListing();
  if (target) SetSavedStatus(*target);
}

void MainWindow::SaveImageCopy() {
  document_->Saving();
  Workspace* ws = disk();
  if (!ws) return;
  const bool wasChanged = ws->IsChanged();
  const auto target = SaveToChosenPath(*ws, app_text::kSaveCopyTitle);
  // The copy has the changes; the window's own file still lacks them (unless it was chosen).
  std::error_code ec;
  if (target && !std::filesystem::equivalent(*target, ws->imagePath, ec)) {
    if (wasChanged) ws->MarkChanged();
  }
  UpdateTitle();
  if (target) SetSavedStatus(*target);
}

void MainWindow::ImageChanged() {
  if (Workspace* ws = disk()) {
    ws->Refresh();
    // The volume-name field shows the name the image holds now.
    volumeField_ = listedVolume_ = ListedVolumeName(ws->image);
  }
  ShowListing();
  UpdateTitle();
}

void MainWindow::StartDragOut() {
  if (dragging_ || !tempReady_) return;
  std::vector<FileRow> rows = SelectedFileRows();
  QList<QUrl> urls;
  QStringList written;
  const CasImage* cas = tape();
  const Workspace* ws = ReadableDisk();
  for (const FileRow& r : rows) {
    if (!cas && (r.IsDirectory() || r.IsVolume())) continue;
    QString name = DragFileName(r);
    if (name.isEmpty()) continue;
    QString target = QDir(paths_.tempFolder).filePath(name);
    bool ok = false;
    if (cas) {
      ok = cas->ExtractCasEntry(static_cast<std::size_t>(r.slot), FromQ(target), *ui_);
    } else if (auto entry = ws ? ws->EntryAt(r.slot) : std::nullopt) {
      const ExtractOutcome out = ExtractFile(ws->image, *entry, FromQ(target));
      if (!out.message.empty()) ui_->Notify(out.message);
      ok = out == ExtractStatus::Written;
    }
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
