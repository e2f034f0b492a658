
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextCursor>
#include <QTextStream>
#include <QThread>

#include "app/dialogs/find_dialog.h"
#include "app/dialogs/number_box.h"
#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/main_window.h"
#include "app/screenshots/screenshot_steps.h"
#include "app/viewer/file_views_page.h"
#include "app/viewer/hex_view.h"
#include "app/viewer/rich_text_area.h"
#include "app/viewer/sector_editor_page.h"
#include "app/viewer/viewer_window.h"

namespace quarnel {

namespace {

// Selects the row `caption` of the main window's list; false when there is none.
bool SelectRow(MainWindow& w, const char* caption, bool quiet = false) {
  const auto& rows = w.listModel()->Rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].caption != caption) continue;
    auto* sel = w.fileList()->Selection();
    QModelIndex idx = w.listModel()->index(static_cast<int>(i), 0);
    sel->clearSelection();
    sel->select(idx, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sel->setCurrentIndex(idx, QItemSelectionModel::NoUpdate);
    return true;
  }
  if (!quiet) QTextStream(stdout) << "skipped: the disk holds no " << caption << '\n';
  return false;
}

}  // namespace

bool RunViewerScreenshots(MainWindow& w, const QString& outDir) {
  ViewerWindow* v = w.findChild<ViewerWindow*>();
  if (!v) return false;
  struct Shot {
    const char* file;
    ViewSelector view;
    const char* png;
  };
  const Shot shots[] = {
      {"HELLO.BAS", ViewSelector::Basic, "viewer-basic.png"},
      {"DEMO.SC2", ViewSelector::Hex, "viewer-hex-bsave.png"},
      {"README.TXT", ViewSelector::Text, "viewer-text.png"},
      {"HELLO.BAS", ViewSelector::MaskedText, "viewer-text-masked.png"},
      {"DEMO.SC2", ViewSelector::Screen2, "viewer-screen2.png"},
      {"DEMO.SC5", ViewSelector::Screen5, "viewer-screen5.png"},
      {"DEMO.SC7", ViewSelector::Screen7, "viewer-screen7.png"},
      {"DEMO.SC8", ViewSelector::Screen8, "viewer-screen8.png"},
      {"DEMO.SCC", ViewSelector::Screen12, "viewer-screen12.png"},
      {"DEMO.SC1", ViewSelector::Screen1, "viewer-screen1.png"},
      {"DEMO.SC6", ViewSelector::Screen6, "viewer-screen6.png"},
      {"DEMO.SCB", ViewSelector::Screen11, "viewer-screen11.png"},
  };
  // Back to the root directory, where the demo files are.
  for (int up = 0; up < 32 && SelectRow(w, "..", true); ++up) w.OpenSelectedEntry();
  Settle();
  bool ok = true;
  for (const Shot& s : shots) {
    if (!SelectRow(w, s.file)) continue;
    // Text views keep the window's size; give each the design size again.
    if (s.view == ViewSelector::Basic || s.view == ViewSelector::Text ||
        s.view == ViewSelector::MaskedText || s.view == ViewSelector::Hex)
      v->resize(642, 508);
    w.ViewWith(s.view);
    Settle();
    ok = Save(v->grab(), outDir, QString::fromLatin1(s.png)) && ok;
  }

  // A picture at twice its size; the zoom holds for the next picture, so Fit comes back after.
  if (SelectRow(w, "DEMO.SC2")) {
    w.ViewWith(ViewSelector::Screen2);
    v->fileViews().SetPictureZoom(PictureZoom::X2);
    Settle();
    ok = Save(v->grab(), outDir, QStringLiteral("viewer-screen2-zoom2x.png")) && ok;
    v->fileViews().SetPictureZoom(PictureZoom::Fit);
  }

  // The popup menu over the BASIC listing.
  if (SelectRow(w, "HELLO.BAS")) {
    v->resize(642, 508);
    w.ViewWith(ViewSelector::Basic);
    Settle();
    v->UpdatePopupMenu();
    const QPoint at = v->mapToGlobal(QPoint(120, 80));
    v->popupMenu()->popup(at);
    Settle(300);
    QPixmap shot = v->grab();
    {
      QPainter p(&shot);
      p.drawPixmap(at - v->mapToGlobal(QPoint(0, 0)), v->popupMenu()->grab());
    }
    v->popupMenu()->hide();
    ok = Save(shot, outDir, QStringLiteral("viewer-popup.png")) && ok;

    // Part of the listing in another font and size, chosen in the boxes on the top bar.
    QTextCursor c = v->richEdit()->textCursor();
    c.movePosition(QTextCursor::Start);
    c.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 2);
    c.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 2);
    v->richEdit()->setTextCursor(c);
    const SettingsRecord kept = w.settings();
    const int serif = v->fontName()->findText(QStringLiteral("DejaVu Serif"));
    if (serif >= 0) {
      v->fontName()->setCurrentIndex(serif);
      v->FontNameChosen(serif);
    }
    v->fontSize()->setValue(16);
    w.settings() = kept;  // the pictures do not change the user's settings
    Settle();
    ok = Save(v->grab(), outDir, QStringLiteral("viewer-basic-fonts.png")) && ok;
  }

  // The reports, the sector editor with an edited byte, and the find dialog over a hit.
  if (const Workspace* ws = w.disk(); ws && ws->HasImage()) {
    const QString image = ToQ(ws->imagePath);
    if (SelectRow(w, "HELLO.BAS")) {
      for (const auto& row : w.listModel()->Rows())
        if (row.caption == "HELLO.BAS") w.document()->RequestFileInfo(row.slot);
      v->resize(642, 508);
      Settle();
      ok = Save(v->grab(), outDir, QStringLiteral("viewer-file-info.png")) && ok;
    }
    {
      w.document()->RequestDiskDetails(image);
      v->resize(642, 508);
      Settle();
      ok = Save(v->grab(), outDir, QStringLiteral("viewer-disk-details.png")) && ok;
    }
    {
      v->resize(642, 508);
      w.document()->RequestSectorView(image);
      v->sectorEditor().sectorBox()->setText(QStringLiteral("14"));
      v->sectorEditor().SectorView();
      v->grid()->Model()->Store(2, 3, QStringLiteral("5A"));
      v->grid()->SetGridCell(2, 3);
      Settle();
      ok = Save(v->grab(), outDir, QStringLiteral("viewer-sector.png")) && ok;
      v->grid()->Model()->Edits()->ClearChanges();  // the picture's edit is not kept
    }
    if (SelectRow(w, "README.TXT")) {
      v->resize(642, 508);
      w.ViewWith(ViewSelector::Hex);
      FindDialog* f = v->findDialog();
      f->textButton()->setChecked(true);
      f->textEntry()->setText(QStringLiteral("line"));
      f->FindClicked();
      Settle(300);
      QPixmap shot = v->grab();
      {
        QPainter p(&shot);
        p.drawPixmap(QPoint(shot.width() - f->width() - 10, shot.height() - f->height() - 10),
                     f->grab());
      }
      f->hide();
      ok = Save(shot, outDir, QStringLiteral("viewer-search.png")) && ok;
    }
  }
  v->hide();
  return ok;
}

}  // namespace quarnel
