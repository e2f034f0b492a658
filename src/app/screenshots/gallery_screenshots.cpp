#include "app/screenshots/gallery_screenshots.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QTextStream>

#include "app/gallery/gallery_window.h"
#include "app/main/main_window.h"
#include "app/screenshots/screenshot_steps.h"

namespace quarnel {

namespace {

// Waits until every thumbnail of the gallery is shown (at most a few seconds).
void WaitFilled(const GalleryWindow& g) {
  QElapsedTimer t;
  t.start();
  while (g.Shown() < static_cast<int>(g.pictures().size()) && t.elapsed() < 5000) Settle(50);
  QTextStream(stdout) << "gallery: " << g.Shown() << " of " << g.pictures().size()
                      << " thumbnails after " << t.elapsed() << " ms\n";
}

}  // namespace

bool RunGalleryScreenshots(MainWindow& w, const QString& outDir) {
  auto* g = w.findChild<GalleryWindow*>();
  if (!g) return false;
  g->ShowGallery();
  WaitFilled(*g);
  Settle(300);
  bool ok = Save(WithTitleBar(*g), outDir, QStringLiteral("gallery.png"));
  g->close();
  // The same thumbnails as the list's large icons.
  w.SetListStyle(2);
  Settle(300);
  ok = Save(w.grab(), outDir, QStringLiteral("main-large-icons.png")) && ok;
  w.SetListStyle(0);
  Settle();
  return ok;
}

}  // namespace quarnel
