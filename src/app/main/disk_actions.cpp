#include "app/main/disk_actions.h"

#include <QAbstractItemView>
#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QStringList>
#include <QUndoStack>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/find_on_disk_dialog.h"
#include "app/dialogs/properties_dialog.h"
#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/list_rules.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "core/entry_attributes.h"
#include "listing/file_rows.h"
#include "tools/file_properties.h"

namespace quarnel {

namespace {

// "\GAMES\OLD\": the shown directory's path without the blanks and the dot of its names' empty
// extensions.
QString FolderText(const std::string& path, const viewers::MsxCharset& charset) {
  QStringList names;
  std::size_t from = 0;
  for (std::size_t at; (at = path.find('\\', from)) != std::string::npos; from = at + 1) {
    std::string n = path.substr(from, at - from);
    while (!n.empty() && n.back() == ' ') n.pop_back();
    if (!n.empty() && n.back() == '.') n.pop_back();
    names << ImageText(n, charset);
  }
  return names.join(QLatin1Char('\\')) + QLatin1Char('\\');
}

}  // namespace

DiskActions::DiskActions(MainWindow& window) : QObject(&window), w_(window) {
  findOnDisk_ = new QAction(QString::fromLatin1(app_text::kFindOnDisk), this);
  findOnDisk_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
  connect(findOnDisk_, &QAction::triggered, this, [this] { FindOnDisk(); });
  w_.addAction(findOnDisk_);
  properties_ = new QAction(QString::fromLatin1(app_text::kProperties), this);
  properties_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));
  connect(properties_, &QAction::triggered, this, [this] { Properties(); });
  w_.list_->AddListAction(properties_);
  // What a search found may no longer be where it was once the image changes.
  auto forget = [this] {
    if (findDialog_) findDialog_->Forget();
  };
  connect(w_.document(), &Document::imageChanged, this, forget);
  connect(w_.document()->undoStack(), &QUndoStack::indexChanged, this, forget);
  connect(w_.document(), &Document::imageReplaced, this, [this, forget] {
    forget();
    // The entry the properties show belongs to the image that went.
    if (propertiesDialog_) propertiesDialog_->reject();
  });
}

FindOnDiskDialog* DiskActions::findDialog() const { return findDialog_; }

PropertiesDialog* DiskActions::propertiesDialog() const { return propertiesDialog_; }

void DiskActions::AddTo(QMenu* menu, QMenu* popup) {
  if (menu) {
    menu->addSeparator();
    menu->addActions({findOnDisk_, properties_});
  }
  if (popup) {
    popup->addSeparator();
    popup->addAction(properties_);
  }
}

void DiskActions::Update(const ListMenuState& state, int selectedRows) {
  // A disk image is open (the list of a tape offers no adding).
  findOnDisk_->setEnabled(state.addFile);
  properties_->setEnabled(state.addFile && selectedRows > 0);
}

void DiskActions::FindOnDisk() {
  if (w_.RefusedAtPartitions() || !w_.ReadableDisk() || w_.IsCassette()) return;
  if (!findDialog_) {
    findDialog_ = new FindOnDiskDialog(&w_);
    findDialog_->image = [this]() -> const DiskImage* {
      const Workspace* ws = w_.ReadableDisk();
      return ws && !w_.IsCassette() ? &ws->image : nullptr;
    };
    findDialog_->nameText = [this](const std::string& s) { return ImageText(s, w_.Charset()); };
    connect(findDialog_, &FindOnDiskDialog::hitActivated, this,
            [this](const tools::FileHit& hit) { ShowHit(hit); });
  }
  findDialog_->show();
  findDialog_->raise();
  findDialog_->activateWindow();
  findDialog_->entry()->setFocus();
  findDialog_->entry()->selectAll();
}

void DiskActions::ShowHit(const tools::FileHit& hit) {
  Workspace* ws = w_.ReadableDisk();
  if (!ws || w_.IsCassette()) return;
  auto gone = [this] {
    w_.ShowListing();
    w_.ui_->Notify(app_text::kHitGone);
  };
  // Down from the root to the hit's directory, each folder by where its entry lies.
  if (ws->CurrentDir() != hit.dir) {
    if (ws->folders.size() > 1) ws->folders.resize(1);
    ws->Refresh();
    for (const std::size_t place : hit.folders) {
      const std::vector<FileEntry> entries = ws->Entries();
      const auto folder = std::find_if(entries.begin(), entries.end(), [&](const FileEntry& e) {
        return e.offset == place && e.IsDirectory() && !e.IsDot();
      });
      if (folder == entries.end() || ws->Enter(*folder, folder->Caption()) != EnterOutcome::Entered)
        return gone();
    }
  }
  const std::optional<FileEntry> file = ws->EntryAt(hit.slot);
  if (ws->CurrentDir() != hit.dir || !file || file->offset != hit.entryOffset) return gone();
  w_.ShowListing();
  // The file's row selected, as if it had been clicked.
  FileListModel* model = w_.listModel();
  for (int r = 0; r < model->rowCount(); ++r) {
    const FileRow* row = model->Row(r);
    if (!row || row->slot != hit.slot) continue;
    QAbstractItemView* view = w_.fileList()->CurrentView();
    const QModelIndex at = model->index(r, 0);
    view->selectionModel()->select(at,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
    view->scrollTo(at);
    break;
  }
  w_.document()->RequestHexAt(RowFor(*file), hit.offset);
}

void DiskActions::Properties() {
  Workspace* ws = w_.ReadableDisk();
  if (!ws || w_.IsCassette() || w_.RefusedAtPartitions()) return;
  const std::vector<int> chosenSlots = w_.SelectedSlots();
  if (chosenSlots.empty()) return;
  const std::optional<FileEntry> entry = ws->EntryAt(chosenSlots.front());
  if (!entry) return;
  const tools::FileProperties p = tools::BuildFileProperties(ws->image, *entry);
  const FileRow row = RowFor(*entry);
  PropertyTexts t;
  t.name = w_.EntryText(*entry);
  t.folder = FolderText(ws->CurrentPath(), w_.Charset());
  t.type = ToQ(row.type);
  const std::int64_t size = entry->IsDirectory() ? 0 : entry->fullSize;
  t.size =
      QString::fromLatin1(app_text::kPropSizeText).arg(QLocale(QLocale::English).toString(size));
  t.modified = ToQ(row.modified);
  t.created = ToQ(p.created);
  t.accessed = ToQ(p.accessed);
  t.clusters = ToQ(tools::RangesText(p.clusters));
  t.sectors = ToQ(tools::RangesText(p.sectors));
  for (const std::string& f : p.chainFaults) t.chainFaults.push_back(ToQ(f));
  t.attribute = entry->attribute;
  t.attributesEditable = !entry->IsDot() && !(entry->IsVolume() && !entry->IsDirectory());
  if (propertiesDialog_) propertiesDialog_->deleteLater();
  propertiesDialog_ = new PropertiesDialog(t, &w_);
  propertiesDialog_->setAttribute(Qt::WA_DeleteOnClose);
  const FileEntry chosen = *entry;
  connect(propertiesDialog_, &PropertiesDialog::attributesChosen, this,
          [this, chosen](std::uint8_t bits) { ChangeAttributes(chosen, bits); });
  propertiesDialog_->open();
}

void DiskActions::ChangeAttributes(const FileEntry& entry, std::uint8_t bits) {
  Workspace* ws = w_.ReadableDisk();
  if (!ws || w_.IsCassette()) return;
  if ((entry.attribute & kEditableAttributes) == bits) return;
  // The entry of the directory it was chosen in: another one shown now holds no such slot.
  if (ws->CurrentDir() != entry.dir) return w_.ui_->Notify(app_text::kEntryGone);
  const QString name = w_.EntryText(entry);
  AttributeOutcome out;
  w_.document()->Change(QString::fromLatin1(app_text::kUndoAttributes).arg(name), [&] {
    out = SetEntryAttributes(ws->image, ws->listing, entry, bits);
    if (out == AttributeStatus::Changed) ws->MarkChanged();
  });
  if (!out.message.empty()) w_.ui_->Notify(out.message);
  ws->Refresh();
  w_.ShowListing();
  if (out == AttributeStatus::Changed)
    w_.Confirm(QString::fromLatin1(app_text::kAttributesStatus).arg(name));
}

}  // namespace quarnel
