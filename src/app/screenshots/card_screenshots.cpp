#include "app/screenshots/card_screenshots.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/host_browser.h"
#include "app/main/main_window.h"
#include "app/screenshots/screenshot_steps.h"
#include "core/new_hard_disk.h"
#include "core/volume.h"
#include "core/workspace.h"

namespace quarnel {

namespace {

// The files of the open disk image's root, written into `folder`; text files are left out (a
// drop would ask whether to store them tokenised).
QStringList CopyFilesOut(MainWindow& w, const Workspace& ws, const QString& folder) {
  QStringList out;
  QDir().mkpath(folder);
  for (const FileEntry& e : ws.Entries()) {
    if (e.IsDirectory() || e.IsVolume()) continue;
    const FileRead r = ReadFile(ws.image, e);
    if (!r.ok()) continue;
    const QString path = folder + QLatin1Char('/') + ToQ(e.Caption());
    if (w.OffersTokenizing(FromQ(path))) continue;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) continue;
    f.write(reinterpret_cast<const char*>(r.bytes.data()), static_cast<qint64>(r.bytes.size()));
    out << path;
  }
  return out;
}

}  // namespace

bool RunCardScreenshot(MainWindow& w, const QString& outDir, const QString& scratch) {
  const Workspace* demo = w.disk();
  if (!demo || !demo->HasImage()) return true;  // nothing to fill the card with
  const QStringList files = CopyFilesOut(w, *demo, scratch + QStringLiteral("/files"));
  const HardDiskPlan plan =
      PlanHardDisk(64ull << 20, {16ull << 20, 16ull << 20, 30ull << 20}, FatChoice::BySize);
  if (!plan.layout) return false;
  const QString card = scratch + QStringLiteral("/card.img");
  if (!(WriteHardDisk(*plan.layout, FromQ(card), 0x20261208) == NewImageStatus::Written))
    return false;
  w.document()->MarkSaved();
  if (!w.OpenFile(FromQ(card))) return false;
  w.SetFilter(2);  // the filter entry that lists .img files
  w.browser()->SetFolder(scratch);
  w.browser()->SelectPath(card);
  Settle(300);
  const QPixmap listed = WithTitleBar(w);
  w.DropFilesOn(2, files);
  Settle(300);
  const QPixmap filled = WithTitleBar(w);
  w.document()->MarkSaved();  // the picture's changes are not kept

  QPixmap both(listed.width(), listed.height() + filled.height() + 8);
  both.fill(Qt::white);
  QPainter p(&both);
  p.drawPixmap(0, 0, listed);
  p.drawPixmap(0, listed.height() + 8, filled);
  p.end();
  return Save(both, outDir, QStringLiteral("main-card.png"));
}

}  // namespace quarnel
