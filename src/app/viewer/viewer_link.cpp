// The viewer window as the main window's viewer: it observes the main window's document. A view
// command of the file list reads the entry its row is (the entry of the directory shown, taken
// as a value, or the tape entry) and hands it to the window. Two entries listed under the same
// caption are two files.
#include <QAbstractItemView>
#include <QItemSelectionModel>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "app/viewer/file_views_page.h"
#include "app/viewer/hex_view.h"
#include "app/viewer/reports_page.h"
#include "app/viewer/sector_editor_page.h"
#include "app/viewer/viewer_window.h"
#include "core/view_choice.h"
#include "formats/cassette.h"
#include "formats/session.h"
#include "viewers/disk_pictures.h"

namespace quarnel {

namespace {

// Reads `entry` of the disk image open in `main` (`ws`) when the viewer asks: only while the same
// image is open, and with `whileShown` only while the entry's directory is the one shown.
ViewerWindow::Source EntrySource(MainWindow& main, const FileEntry& entry, const Workspace& ws,
                                 bool whileShown) {
  return [&main, entry, image = ws.imagePath, serial = main.OpenSerial(),
          whileShown](ViewSelector& s) -> std::optional<ViewedFile> {
    const Workspace* now = main.disk();
    if (!now || !now->HasImage() || now->imagePath != image || main.OpenSerial() != serial ||
        (whileShown && now->CurrentDir() != entry.dir))
      return std::nullopt;
    FileRead r = ReadFile(now->image, entry);
    if (!r.message.empty()) main.ui().Notify(r.message);
    if (!r.ok()) return std::nullopt;
    s = ResolveSelector(s, r.bytes);
    return ViewedFile{std::move(r.bytes), r.entry.name, r.entry.extension};
  };
}

// Shows row `row` of the list (the entry of the shown directory in its slot, or of the tape) in
// view `selector`; false when nothing was shown.
bool ViewRow(ViewerWindow* v, MainWindow& main, const FileRow& row, ViewSelector selector) {
  if (row.slot < 0) return false;
  v->OfferPendingChanges();
  FileViewsPage& files = v->fileViews();
  files.SetViewedEntry(std::nullopt, {});
  ViewerWindow::Source source;
  if (main.tape()) {
    source = [&main, i = static_cast<std::size_t>(row.slot)](
                 ViewSelector& s) -> std::optional<ViewedFile> {
      const CasImage* tape = main.tape();
      if (!tape) return std::nullopt;
      std::optional<CasView> cv = ViewCasEntry(*tape, i, s);
      if (!cv) return std::nullopt;  // the pictures show nothing for a tape entry
      s = cv->view;
      return ViewedFile{std::move(cv->bytes), cv->name, cv->extension};
    };
  } else if (const Workspace* ws = main.disk()) {
    const std::optional<FileEntry> entry = ws->EntryAt(row.slot);
    if (!entry) return false;
    files.SetViewedEntry(*entry, ws->imagePath);
    // The entry is a value: the viewer's own menu reads it again later, only while the same
    // image is open and the entry's directory is shown.
    source = EntrySource(main, *entry, *ws, true);
  } else {
    return false;
  }
  return files.Open(std::move(source), selector);
}

// The main list's selection follows the viewer: the row of entry slot `slot` of the directory
// shown becomes the one selected and current, scrolled into view.
void SelectListRow(MainWindow& main, int slot) {
  const FileListModel* model = main.listModel();
  const std::vector<FileRow>& rows = model->Rows();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].slot != slot) continue;
    const QModelIndex at = model->index(static_cast<int>(r), 0);
    main.fileList()->Selection()->setCurrentIndex(
        at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    main.fileList()->CurrentView()->scrollTo(at);
    return;
  }
}

// Shows the file of `at` (an entry of any directory, by its directory and slot) in view
// `selector`, when that slot still holds it.
void ViewEntryAt(ViewerWindow* v, MainWindow& main, const FileEntry& at, ViewSelector selector) {
  const Workspace* ws = main.disk();
  if (!ws || !ws->HasImage()) return;
  const std::optional<DirContents> dir = ListDirectory(ws->image, at.dir);
  const std::optional<FileEntry> entry = dir ? EntryAt(*dir, at.slot) : std::nullopt;
  if (!entry || entry->IsDirectory() || entry->firstCluster != at.firstCluster) return;
  v->OfferPendingChanges();
  FileViewsPage& files = v->fileViews();
  files.SetViewedEntry(*entry, ws->imagePath);
  // Read again later only while the same image is open.
  files.Open(EntrySource(main, *entry, *ws, false), selector);
}

}  // namespace

ViewerWindow* ViewerWindow::Attach(MainWindow& main) {
  auto* v = new ViewerWindow(main.settings(), main.ui(), &main);
  Document* doc = main.document();
  v->SetDocument(doc);
  v->askPicturePath = [&main](const std::string& suggested) {
    return main.ui().AskSaveFile(app_text::kSavePictureTitle, suggested, SaveFilter::Picture);
  };
  v->askSavePath = [&main](std::string_view title, std::string_view suggested) {
    return main.ui().AskSavePath(title, suggested);
  };
  QObject::connect(doc, &Document::charsetChanged, v,
                   [v](const viewers::MsxCharset& charset) { v->fileViews().SetCharset(charset); });
  QObject::connect(doc, &Document::reportShown, v, [v](const std::string& report) {
    v->fileViews().SetViewedEntry(std::nullopt, {});
    v->ShowFile(std::vector<std::uint8_t>(report.begin(), report.end()), app_text::kCheckReportName,
                app_text::kCheckReportExtension, ViewSelector::Text);
  });
  QObject::connect(doc, &Document::closing, v, [v] {
    if (v->isVisible()) v->close();
  });
  QObject::connect(doc, &Document::saving, v, [v] { v->OfferPendingChanges(); });
  QObject::connect(doc, &Document::imageChanged, v, [v] { v->FollowImage(); });
  QObject::connect(doc, &Document::fileInfoRequested, v, [v, &main](int slot) {
    const Workspace* ws = main.disk();
    if (!ws || !ws->HasImage()) return;
    if (const auto entry = ws->EntryAt(slot)) v->reports().ShowFileInfo(ws->image, *entry);
  });
  // The host file chosen becomes the image first, unless it is the one loaded (a card image's
  // own path stands for the partition entered). Edits in the viewer's grid belong to the image
  // open now: they are offered before it is replaced, while a yes can still write them back.
  auto load = [v, &main](const QString& path) -> const Workspace* {
    if (path.compare(ToQ(main.OpenPath()), Qt::CaseInsensitive) != 0) {
      v->OfferPendingChanges();
      main.OpenFile(FromQ(path));
    }
    return main.disk();
  };
  QObject::connect(doc, &Document::diskDetailsRequested, v, [v, load, &main](const QString& path) {
    if (const Workspace* ws = load(path)) v->reports().ShowDiskDetails(ws->image, main.OpenName());
  });
  QObject::connect(doc, &Document::sectorViewRequested, v, [v, load](const QString& path) {
    if (load(path)) v->sectorEditor().SectorView(true);
  });
  // The neighbour is found among the entries of the directory shown, where the picture is.
  QObject::connect(doc, &Document::browseRequested, v, [v, &main](int step) {
    const Workspace* ws = main.disk();
    const std::optional<FileEntry>& shown = v->fileViews().viewedEntry();
    if (!ws || !shown || ws->CurrentDir() != shown->dir) return;
    const std::optional<FileEntry> next =
        viewers::NeighbourPicture(ws->Entries(), shown->slot, step);
    if (!next) return;
    FileRow row;
    row.caption = next->Caption();
    row.slot = next->slot;
    if (ViewRow(v, main, row, SelectorForCaption(row.caption, next->size)))
      SelectListRow(main, next->slot);
  });
  // A hit of a search in the files: the file in the hex view, the hit's byte the current cell.
  QObject::connect(doc, &Document::hexAtRequested, v,
                   [v, &main](const FileRow& row, std::uint64_t offset) {
                     if (ViewRow(v, main, row, ViewSelector::Hex))
                       v->fileViews().SelectByte(offset);
                   });
  QObject::connect(
      doc, &Document::viewRequested, v,
      [v, &main](const FileRow& row, ViewSelector selector) { ViewRow(v, main, row, selector); });
  QObject::connect(doc, &Document::viewAtRequested, v,
                   [v, &main](const FileEntry& entry, ViewSelector selector) {
                     ViewEntryAt(v, main, entry, selector);
                   });
  return v;
}

Workspace* ViewerWindow::Disk() const { return document_ ? document_->disk() : nullptr; }

void ViewerWindow::FollowImage() {
  if (writingBack_ || !isVisible() || !document_) return;
  if (viewMode_ == ViewerMode::Sector) {
    sectors_->FollowImage();
    return;
  }
  const bool fileView = viewMode_ == ViewerMode::Basic || viewMode_ == ViewerMode::Text ||
                        viewMode_ == ViewerMode::Hex || viewMode_ == ViewerMode::Picture;
  if (fileView) files_->FollowImage();
}

}  // namespace quarnel
