#include "app/main/edit_actions.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QIcon>
#include <QItemSelectionModel>
#include <QMenu>
#include <QStringList>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/host_browser.h"
#include "app/main/list_rules.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "core/add_file.h"
#include "core/clock.h"
#include "core/delete_entry.h"
#include "core/extract_tree.h"

namespace quarnel {

namespace fs = std::filesystem;

namespace {

// An entry's name as the status bar and the questions show it: "HELLO.BAS", "GAMES".
QString ShownName(const FileEntry& e, const viewers::MsxCharset& charset) {
  std::string c = e.Caption();
  while (!c.empty() && (c.back() == ' ' || c.back() == '.')) c.pop_back();
  return ImageText(c, charset);
}

}  // namespace

QString CountText(std::size_t files, std::size_t folders) {
  auto count = [](std::size_t n, const char* one, const char* several) {
    return n == 1 ? QString::fromLatin1(one) : QString::fromLatin1(several).arg(n);
  };
  QString text;
  if (files > 0 || folders == 0) text = count(files, app_text::kOneFile, app_text::kFiles);
  if (folders > 0) {
    if (!text.isEmpty()) text += QString::fromLatin1(app_text::kAnd);
    text += count(folders, app_text::kOneFolder, app_text::kFolders);
  }
  return text;
}

EditActions::EditActions(MainWindow& window) : QObject(&window), w_(window) {
  addFiles_ =
      Make(app_text::kEditAddFiles, "list-add", QStyle::SP_FileIcon, &EditActions::AddFiles);
  addFolder_ =
      Make(app_text::kEditAddFolder, "folder-add", QStyle::SP_DirIcon, &EditActions::AddFolder);
  newFolder_ = Make(app_text::kEditNewFolder, "folder-new", QStyle::SP_FileDialogNewFolder,
                    &EditActions::NewFolder);
  rename_ = Make(app_text::kEditRename, "edit-rename", QStyle::SP_FileDialogDetailedView,
                 &EditActions::Rename);
  remove_ = Make(app_text::kEditDelete, "edit-delete", QStyle::SP_TrashIcon,
                 &EditActions::DeleteSelection);
  extract_ = Make(app_text::kEditExtract, "document-save-as", QStyle::SP_DialogSaveButton,
                  &EditActions::ExtractSelection);
  selectAll_ = Make(app_text::kEditSelectAll, "edit-select-all", -1, &EditActions::SelectAll);

  // Keys of the list: Insert, Delete and Select All act on it while it has the focus (a field
  // or the host browser keeps its own); the others work anywhere in the window.
  addFiles_->setShortcut(QKeySequence(Qt::Key_Insert));
  remove_->setShortcut(QKeySequence::Delete);
  selectAll_->setShortcut(QKeySequence::SelectAll);
  for (QAction* a : {addFiles_, remove_, selectAll_}) w_.list_->AddListAction(a);
  newFolder_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
  extract_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  for (QAction* a : {newFolder_, extract_}) w_.addAction(a);
}

QAction* EditActions::Make(const char* text, const char* icon, int fallback,
                           void (EditActions::*command)()) {
  auto* a = new QAction(QString::fromLatin1(text), this);
  const QIcon standard =
      fallback < 0 ? QIcon()
                   : w_.style()->standardIcon(static_cast<QStyle::StandardPixmap>(fallback));
  a->setIcon(QIcon::fromTheme(QString::fromLatin1(icon), standard));
  a->setToolTip(QString::fromLatin1(text).remove(QStringLiteral("...")));
  connect(a, &QAction::triggered, this, [this, command] { (this->*command)(); });
  return a;
}

void EditActions::AddTo(QMenu* menu, QToolBar* bar) {
  if (menu) {
    menu->addActions({addFiles_, addFolder_, newFolder_});
    menu->addSeparator();
    menu->addActions({rename_, remove_, extract_});
    menu->addSeparator();
    menu->addAction(selectAll_);
  }
  if (bar) {
    bar->addActions({addFiles_, addFolder_, newFolder_});
    bar->addSeparator();
    bar->addActions({rename_, remove_, extract_});
  }
}

void EditActions::Update(const ListMenuState& state, int selectedRows, int rows) {
  addFiles_->setEnabled(state.addFile);
  addFolder_->setEnabled(state.addFile);
  newFolder_->setEnabled(state.addFile);
  rename_->setEnabled(state.rename && selectedRows > 0);
  remove_->setEnabled(state.remove);
  extract_->setEnabled(state.extract);
  selectAll_->setEnabled(rows > 0);
}

void EditActions::AddFiles() {
  if (w_.RefusedAtPartitions() || !w_.ReadableDisk()) return;
  const std::vector<std::string> chosen =
      w_.ui_->AskOpenPaths(app_text::kAddFilesTitle, FromQ(w_.browser_->Folder()));
  Add(std::vector<fs::path>(chosen.begin(), chosen.end()));
}

void EditActions::AddFolder() {
  if (w_.RefusedAtPartitions() || !w_.ReadableDisk()) return;
  const auto folder = w_.ui_->AskFolder(app_text::kAddFolderTitle, FromQ(w_.browser_->Folder()));
  if (folder && !folder->empty()) Add({fs::path(*folder)});
}

void EditActions::Add(const std::vector<fs::path>& paths) {
  if (paths.empty()) return;
  const std::optional<std::size_t> added = w_.AddHostPaths(paths);
  w_.ShowListing();
  if (added) w_.Confirm(QString::fromLatin1(app_text::kAddedStatus).arg(CountText(*added, 0)));
}

void EditActions::NewFolder() {
  Workspace* ws = w_.ReadableDisk();
  if (!ws || w_.IsCassette()) return;
  const auto name = w_.ui_->AskText(app_text::kNewFolderTitle,
                                    QString::fromLatin1(app_text::kNewFolderLabel), QString());
  if (!name || name->isEmpty()) return;
  const std::string text = FromQ(*name);
  AddOutcome out;
  w_.document_->Change(
      QString::fromLatin1(app_text::kUndoNewFolder).arg(name->trimmed().toUpper()), [&] {
        out = MakeDirectory(ws->image, ws->CurrentDir(), text, SystemClock().Now());
        if (out == AddStatus::Added) ws->MarkChanged();
      });
  if (out == AddStatus::InvalidName)
    w_.ui_->Notify(std::string(app_text::kInvalidFolderName) + text);
  else if (!out.message.empty())
    w_.ui_->Notify(out.message);
  ws->Refresh();
  w_.ShowListing();
  if (out == AddStatus::Added)
    w_.Confirm(QString::fromLatin1(app_text::kFolderMadeStatus).arg(name->trimmed().toUpper()));
}

void EditActions::Rename() {
  // Entries are renamed where they are listed, in the root or in a subdirectory.
  if (w_.IsCassette() || !w_.ReadableDisk()) return;
  FileListView* list = w_.fileList();
  const std::vector<int> rows = list->SelectedRows();
  if (rows.empty()) return;
  const QModelIndex cur = list->CurrentView()->currentIndex();
  list->EditRow(cur.isValid() && list->Selection()->isRowSelected(cur.row(), {}) ? cur.row()
                                                                                 : rows.front());
}

void EditActions::DeleteSelection() {
  Workspace* ws = w_.ReadableDisk();
  if (!ws || w_.IsCassette()) return;
  // The entries selected, and one question naming the folders among them that hold something.
  std::vector<int> chosen;
  std::vector<FileEntry> entries;
  QStringList full;
  TreeCount inside;
  for (const FileRow& row : w_.SelectedFileRows()) {
    const std::optional<FileEntry> e = ws->EntryAt(row.slot);
    if (!e) continue;
    chosen.push_back(row.slot);
    entries.push_back(*e);
    const TreeCount n = CountBelow(ws->image, *e);
    if (n.Empty()) continue;
    full << ShownName(*e, w_.Charset());
    inside.files += n.files;
    inside.folders += n.folders;
  }
  if (chosen.empty()) return;
  if (!full.isEmpty()) {
    const char* question =
        full.size() == 1 ? app_text::kDeleteFolderQuestion : app_text::kDeleteFoldersQuestion;
    const QString text = QString::fromLatin1(question).arg(full.join(QStringLiteral(", ")),
                                                           CountText(inside.files, inside.folders));
    if (!w_.ui_->AskYesNo(FromQ(text))) return;
  }
  // One command, one change: every entry goes with what it holds.
  const QString undoText =
      entries.size() == 1
          ? QString::fromLatin1(app_text::kUndoDelete).arg(w_.EntryText(entries.front()))
          : QString::fromLatin1(app_text::kUndoDeleteSeveral).arg(entries.size());
  std::vector<DeleteOutcome> outcomes;
  w_.document_->Change(undoText, [&] { outcomes = DeleteSelected(*ws, chosen, true); });
  std::size_t files = 0, folders = 0;
  const FileEntry* last = nullptr;
  for (std::size_t i = 0; i < outcomes.size() && i < entries.size(); ++i) {
    if (!outcomes[i].message.empty()) w_.ui_->Notify(outcomes[i].message);
    if (outcomes[i] != DeleteStatus::Deleted) continue;
    last = &entries[i];
    ++(entries[i].IsDirectory() ? folders : files);
  }
  w_.ShowListing();
  if (!last) return;
  const QString what =
      files + folders == 1 ? ShownName(*last, w_.Charset()) : CountText(files, folders);
  w_.Confirm(QString::fromLatin1(app_text::kDeletedStatus).arg(what));
}

void EditActions::ExtractSelection() {
  const std::vector<FileRow> rows = w_.SelectedFileRows();
  if (rows.empty() || (!w_.tape() && !w_.ReadableDisk())) return;
  const auto folder =
      w_.ui_->AskFolder(app_text::kExtractFolderTitle, FromQ(w_.browser_->Folder()));
  if (!folder || folder->empty()) return;
  const fs::path out(*folder);
  // The rows that go out: a tape's files; a disk's files and directories (no volume name, no
  // "." or "..").
  const Workspace* ws = w_.tape() ? nullptr : w_.ReadableDisk();
  std::vector<std::pair<FileRow, std::optional<FileEntry>>> going;
  for (const FileRow& row : rows) {
    std::optional<FileEntry> e = ws ? ws->EntryAt(row.slot) : std::nullopt;
    if (ws && (!e || (e->IsVolume() && !e->IsDirectory()) || (e->IsDot() && e->IsDirectory())))
      continue;
    going.emplace_back(row, std::move(e));
  }
  // Host files of the same names are not replaced without a word: one question for them all.
  std::size_t takenFiles = 0, takenFolders = 0;
  HostNames planned;
  for (const auto& [row, e] : going) {
    std::error_code ec;
    const fs::file_status there = fs::symlink_status(
        out / planned.Claim(HostNameForCaption(e ? e->Caption() : row.caption)), ec);
    if (!fs::exists(there)) continue;
    ++(fs::is_directory(there) ? takenFolders : takenFiles);
  }
  if (takenFiles + takenFolders > 0) {
    const QString question =
        QString::fromLatin1(app_text::kExtractReplaceQuestion)
            .arg(QDir::toNativeSeparators(ToQ(out.string())), CountText(takenFiles, takenFolders));
    if (!w_.ui_->AskYesNo(FromQ(question))) return;
  }
  std::size_t written = 0;
  std::vector<std::string> notes;
  HostNames names;
  if (const CasImage* cas = w_.tape()) {
    for (const auto& [row, e] : going) {
      const std::string name = names.Claim(HostNameForCaption(row.caption));
      if (cas->ExtractCasEntry(static_cast<std::size_t>(row.slot), out / name, *w_.ui_)) ++written;
    }
  } else if (ws) {
    // Files and folders alike, each folder with everything in it; what went wrong is said once.
    TreeExtractor tree(ws->image, ws->imagePath);
    std::string shown = ws->CurrentPath().substr(1);
    std::replace(shown.begin(), shown.end(), '\\', '/');
    for (const auto& [row, e] : going) tree.Entry(*e, out, names, shown, ws->Depth());
    tree.Finish(out);
    notes = tree.TakeNotes();
    written = tree.FilesWritten();
  }
  if (!notes.empty()) {
    std::string text;
    for (const std::string& n : notes) text += (text.empty() ? "" : "\n") + n;
    w_.ui_->Notify(text);
  }
  w_.Confirm(QString::fromLatin1(app_text::kExtractedStatus)
                 .arg(CountText(written, 0), QDir::toNativeSeparators(ToQ(out.string()))));
}

void EditActions::SelectAll() {
  if (w_.listModel()->rowCount() > 0) w_.fileList()->CurrentView()->selectAll();
}

}  // namespace quarnel
