// The viewer window as the main window's viewer: a view command of the file list reads the entry
// its row is (the slot of the directory shown, or the tape entry) and hands it to the window.
// The row's slot names the entry, never its caption: two entries listed under the same caption
// are two files.
#include "app/main_window.h"
#include "app/viewer_window.h"
#include "formats/cassette.h"
#include "formats/host_open.h"

namespace quarnel {

namespace {

// The directory a row was listed in: the image and the directory's place in it.
struct ListedIn {
  std::string imagePath;
  int level = 0;
  std::uint16_t firstCluster = 0;

  static ListedIn Now(const Workspace& ws) {
    return {ws.image.imagePath, ws.image.level, ws.CurrentLevel().firstCluster};
  }
  bool operator==(const ListedIn&) const = default;
};

}  // namespace

ViewerWindow* ViewerWindow::Attach(MainWindow& main) {
  auto* v = new ViewerWindow(main.settings(), main.ui(), &main);
  v->busy = [&main](bool b) { main.setEnabled(!b); };
  v->askSavePath = [&main](std::string_view title, std::string_view suggested) {
    return main.ui().AskSavePath(title, suggested);
  };
  main.closeViewer = [v] {
    if (v->isVisible()) v->close();
  };
  main.viewer = [v, &main](const FileRow& row, ViewSelector selector) {
    if (row.slot < 0) return;
    Workspace& ws = main.workspace();
    Source source;
    if (IsCassetteCurrent(ws)) {
      source = [&main, i = static_cast<std::size_t>(row.slot)](
                   ViewSelector& s) -> std::optional<ViewedFile> {
        std::optional<CasView> cv = ViewCasEntry(main.cassette(), i, s);
        if (!cv) return std::nullopt;  // the pictures show nothing for a tape entry
        s = cv->view;
        return ViewedFile{std::move(cv->bytes), cv->name, cv->extension};
      };
    } else {
      // The viewer's own menu reads the entry again later: only while its directory is shown.
      source = [&main, slot = row.slot,
                listed = ListedIn::Now(ws)](ViewSelector& s) -> std::optional<ViewedFile> {
        Workspace& now = main.workspace();
        if (!now.HasImage() || !(ListedIn::Now(now) == listed)) return std::nullopt;
        FileRead r = ReadSlotFile(now, slot, main.ui());
        if (!r.ok()) return std::nullopt;
        s = ResolveSelector(s, r.bytes);
        return ViewedFile{std::move(r.bytes), r.entry.name, r.entry.extension};
      };
    }
    v->Open(std::move(source), selector);
  };
  return v;
}

}  // namespace quarnel
