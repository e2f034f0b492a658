// The viewer window as the main window's viewer: a view command of the file list reads the entry
// its row is (the entry of the directory shown, taken as a value, or the tape entry) and hands it
// to the window. Two entries listed under the same caption are two files.
#include "app/dialogs/qt_ui.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "app/viewer/viewer_window.h"
#include "formats/cassette.h"
#include "formats/session.h"

namespace quarnel {

ViewerWindow* ViewerWindow::Attach(MainWindow& main) {
  auto* v = new ViewerWindow(main.settings(), main.ui(), &main);
  v->busy = [&main](bool b) { main.setEnabled(!b); };
  v->askPicturePath = [&main](const std::string& suggested) {
    return main.ui().AskSaveFile(app_text::kSavePictureTitle, suggested, SaveFilter::Picture);
  };
  v->askSavePath = [&main](std::string_view title, std::string_view suggested) {
    return main.ui().AskSavePath(title, suggested);
  };
  main.charsetChanged = [v](const viewers::MsxCharset& charset) { v->SetCharset(charset); };
  main.checkReport = [v](const std::string& report) {
    v->ShowFile(std::vector<std::uint8_t>(report.begin(), report.end()), app_text::kCheckReportName,
                app_text::kCheckReportExtension, ViewSelector::Text);
  };
  main.closeViewer = [v] {
    if (v->isVisible()) v->close();
  };
  main.offerViewerEdits = [v] { v->OfferPendingChanges(); };
  v->disk = [&main] { return main.disk(); };
  v->imageChanged = [&main] { main.ImageChanged(); };
  v->askYesNo = [&main](std::string_view caption, std::string_view question) {
    return main.ui().AskYesNoTitled(caption, question);
  };
  v->cassetteLoaded = [&main] { return main.tape() != nullptr; };
  main.fileInfo = [v, &main](int slot) {
    const Workspace* ws = main.disk();
    if (!ws || !ws->HasImage()) return;
    if (const auto entry = ws->EntryAt(slot)) v->ShowFileInfo(ws->image, *entry);
  };
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
  main.diskDetails = [v, load, &main](const QString& path) {
    if (const Workspace* ws = load(path)) v->ShowDiskDetails(ws->image, main.OpenName());
  };
  main.sectorView = [v, load](const QString& path) {
    if (load(path)) v->SectorView(true);
  };
  main.viewer = [v, &main](const FileRow& row, ViewSelector selector) {
    if (row.slot < 0) return;
    v->OfferPendingChanges();
    v->SetViewedEntry(std::nullopt, {});
    Source source;
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
      if (!entry) return;
      v->SetViewedEntry(*entry, ws->imagePath);
      // The entry is a value: the viewer's own menu reads it again later, only while the same
      // image is open and the entry's directory is shown.
      source = [&main, entry = *entry, image = ws->imagePath,
                serial = main.OpenSerial()](ViewSelector& s) -> std::optional<ViewedFile> {
        const Workspace* now = main.disk();
        if (!now || !now->HasImage() || now->imagePath != image || main.OpenSerial() != serial ||
            now->CurrentDir() != entry.dir)
          return std::nullopt;
        FileRead r = ReadFile(now->image, entry);
        if (!r.message.empty()) main.ui().Notify(r.message);
        if (!r.ok()) return std::nullopt;
        s = ResolveSelector(s, r.bytes);
        return ViewedFile{std::move(r.bytes), r.entry.name, r.entry.extension};
      };
    } else {
      return;
    }
    v->Open(std::move(source), selector);
  };
  return v;
}

}  // namespace quarnel
