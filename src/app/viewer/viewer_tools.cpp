// The viewer window's reports (DISK DETAIL, FILE INFO with the disk map), its sector editor
// and its searches. The data come from src/tools; this file draws them and carries the edits
// back.
#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSpinBox>
#include <QTextBlock>
#include <QToolTip>
#include <filesystem>

#include "app/dialogs/find_dialog.h"
#include "app/dialogs/number_box.h"
#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/messages.h"
#include "app/viewer/hex_view.h"
#include "app/viewer/map_cell.h"
#include "app/viewer/map_folding.h"
#include "app/viewer/picture_view.h"
#include "app/viewer/rich_text_area.h"
#include "app/viewer/viewer_window.h"
#include "core/message_text.h"
#include "core/workspace.h"
#include "tools/messages.h"
#include "tools/search.h"
#include "tools/write_back.h"
#include "viewers/hex_layout.h"
#include "viewers/messages.h"

namespace quarnel {

namespace {

QString Q(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

const char* Face(tools::MapClass c) {
  switch (c) {
    case tools::MapClass::System:
      return app_text::kFaceSystem;
    case tools::MapClass::Unused:
      return app_text::kFaceUnused;
    case tools::MapClass::Used:
      return app_text::kFaceUsed;
    case tools::MapClass::Last:
      return app_text::kFaceLast;
    case tools::MapClass::Bad:
      return app_text::kFaceBad;
    case tools::MapClass::Reserved:
      return app_text::kFaceReserved;
    case tools::MapClass::File:
      return app_text::kFaceFile;
  }
  return app_text::kFaceUsed;
}

QColor Colour(tools::MapClass c) {
  const tools::Rgb rgb = tools::ColourRgb(tools::ClassColour(c));
  return QColor(rgb.r, rgb.g, rgb.b);
}

// Report text as the MSX shows its names, with its tabs and line breaks kept as such.
QString Shown(std::string_view s) {
  QString out;
  std::size_t from = 0;
  for (std::size_t i = 0; i <= s.size(); ++i) {
    if (i < s.size() && s[i] != '\t' && s[i] != '\n') continue;
    out += ImageText(s.substr(from, i - from));
    if (i < s.size()) out += QLatin1Char(s[i]);
    from = i + 1;
  }
  return out;
}

}  // namespace

void ViewerWindow::BuildTools() {
  sectorBox_ = new NumberBox(panel_);
  sectorBox_->setObjectName(QStringLiteral("sectorBox"));
  sectorBox_->setFixedWidth(96);
  sectorBox_->hide();
  if (auto* bar = qobject_cast<QHBoxLayout*>(panel_->layout())) bar->insertWidget(0, sectorBox_);
  // A typed number is taken whole, on Enter or when the box loses the focus; the arrows at once.
  connect(sectorBox_, &NumberBox::editingFinished, this, [this] { TakeSectorNumber(); });
  connect(sectorBox_, &NumberBox::stepped, this, [this] { TakeSectorNumber(); });

  grid_->edited = [this] {};
  rich_->viewport()->setMouseTracking(true);
  rich_->viewport()->installEventFilter(this);

  find_ = new FindDialog(this);
  find_->find = [this] { RunFind(); };
  search = [this] { find_->Open(); };
  sectorRedraw = [this] { SectorView(false); };
}

// Reports.

void ViewerWindow::ShowDiskDetails(const DiskImage& image, const std::string& imagePath) {
  const std::string name = std::filesystem::path(imagePath).filename().string();
  WriteReport(tools::BuildDiskDetail(image, name), image);
}

void ViewerWindow::ShowFileInfo(const DiskImage& image, const FileEntry& entry) {
  WriteReport(tools::BuildFileInfo(image, entry), image);
}

void ViewerWindow::WriteReport(const tools::Report& r, const DiskImage& image) {
  OfferPendingChanges();
  SetViewMode(r.viewMode == tools::kModeDiskDetail ? ViewerMode::DiskDetail : ViewerMode::FileInfo);
  if (!r.warning.empty()) ui_.Notify(r.warning);
  picture_.reset();
  ResetControls();
  panel_->hide();
  setWindowTitle(ImageText(r.caption));
  Present();

  const QString text = CourierNewFamily();
  const QString symbols = FixedFamily();
  QTextDocument* doc = rich_->document();
  rich_->BeginBuild();
  for (std::size_t i = 0; i < r.lines.size(); ++i) {
    rich_->AddLine(Shown(r.lines[i]));
    if (i == 0) {
      rich_->SetColor(Qt::black);
      rich_->SetFontName(text);
    }
  }
  map_ = r.map;
  folded_ = FoldMap(map_);
  mapCellAt_.assign(folded_.marks.size(), -1);
  owners_.clear();
  if (r.hasMap) {
    QStringList faces;
    for (const char* f :
         {app_text::kFaceSystem, app_text::kFaceUnused, app_text::kFaceUsed, app_text::kFaceLast,
          app_text::kFaceBad, app_text::kFaceReserved, app_text::kFaceFile})
      faces << QString::fromUtf8(f);
    MapCellObject::RegisterWith(doc, faces);
    rich_->InsertText(Q(tools::kLegendLead));
    for (const tools::LegendItem& item : r.legend) {
      rich_->SetColor(Colour(item.cls));
      rich_->SetFontName(symbols);
      rich_->InsertMapCell(QString::fromUtf8(Face(item.cls)));
      rich_->SetFontName(text);
      rich_->InsertText(Shown(item.label));
    }
    if (folded_.perMark > 1) {
      rich_->SetColor(Qt::black);
      rich_->SetFontName(text);
      rich_->InsertText(Q(FillText(app_text::kMapFolded, {std::to_string(folded_.perMark)})));
    }
    for (std::size_t i = 0; i < folded_.marks.size(); ++i) {
      if (i % tools::ClusterMap::kCellsPerRow == 0) {
        if (i > 0) rich_->InsertText(QStringLiteral("\n"));
        rich_->SetColor(Qt::black);
        rich_->SetFontName(text);
        rich_->InsertText(Q(folded_.RowLabel(i / tools::ClusterMap::kCellsPerRow)));
        rich_->SetFontName(symbols);
      }
      rich_->SetColor(Colour(folded_.marks[i]));
      mapCellAt_[i] = doc->characterCount() - 1;
      rich_->InsertMapCell(QString::fromUtf8(Face(folded_.marks[i])));
    }
    owners_ = tools::ClusterOwners(image);
  }
  rich_->EndBuild();
  fontName_->setCurrentText(rich_->CurrentFontName());
  focusTarget_ = rich_;
  rich_->setFocus();
}

QString ViewerWindow::MapCellAt(int position) const {
  if (viewMode_ != ViewerMode::DiskDetail && viewMode_ != ViewerMode::FileInfo) return QString();
  const auto it = std::lower_bound(mapCellAt_.begin(), mapCellAt_.end(), position);
  if (it == mapCellAt_.end() || *it != position) return QString();
  const auto cell = static_cast<std::size_t>(it - mapCellAt_.begin());
  return ImageText(DescribeMark(map_, folded_, cell, owners_));
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == rich_->viewport() &&
      (e->type() == QEvent::MouseMove || e->type() == QEvent::MouseButtonRelease)) {
    const QPoint pt = static_cast<QMouseEvent*>(e)->position().toPoint();
    // The cell whose glyph lies under the pointer: the one starting at the nearest position or
    // the one before it.
    const int at = rich_->cursorForPosition(pt).position();
    QString tip;
    for (int pos : {at, at - 1}) {
      QTextCursor c(rich_->document());
      c.setPosition(pos);
      const QRect left = rich_->cursorRect(c);
      c.setPosition(pos + 1);
      const QRect right = rich_->cursorRect(c);
      if (pt.x() >= left.left() && pt.x() < right.left() && pt.y() >= left.top() &&
          pt.y() < left.bottom() + 1)
        tip = MapCellAt(pos);
      if (!tip.isEmpty()) break;
    }
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(static_cast<QMouseEvent*>(e)->globalPosition().toPoint(), tip, rich_);
    return false;
  }
  return QWidget::eventFilter(watched, e);
}

// Sector editor.

void ViewerWindow::SectorView(bool fromStart) { ShowSectorView(fromStart, true); }

void ViewerWindow::TakeSectorNumber() {
  if (takingSector_ || viewMode_ != ViewerMode::Sector || !sectorBox_->isVisible()) return;
  // Focus loss after the number was taken (or while its message is shown) takes nothing again.
  if (sectorBox_->text() == QString::number(currentSector_)) return;
  takingSector_ = true;
  ShowSectorView(false, false);
  takingSector_ = false;
}

void ViewerWindow::ShowSectorView(bool fromStart, bool focusGrid) {
  Workspace* ws = Disk();
  if (!ws || ws->image.Empty()) return;
  OfferPendingChanges();
  const std::string name = std::filesystem::path(ws->imagePath).filename().string();
  setWindowTitle(Q(tools::kCaptionSector) + ImageText(name));
  if (viewMode_ != ViewerMode::Sector || fromStart) {
    Present();  // shown before the mode changes, so the window's menu and shortcuts stay on
    picture_.reset();
    SetViewMode(ViewerMode::Sector);
    sectorBox_->setText(QStringLiteral("0"));
    rich_->hide();
    image_->hide();
    panel_->show();
    fontName_->hide();
    fontSize_->hide();
    sectorBox_->show();
  }
  Present();
  ShowSector(*ws, focusGrid);
}

void ViewerWindow::ShowSector(Workspace& ws, bool focusGrid) {
  const QString typed = sectorBox_->text();
  const auto n = sectorBox_->Value();
  if (!n) {
    ui_.Notify(tools::NotAnIntegerMessage(typed.toStdString()));
    sectorBox_->setText(QString::number(currentSector_));
    return;
  }
  const tools::SectorLayout layout = tools::SectorLayoutOf(ws.image);
  sectorBox_->SetRange(0, layout.totalSectors - 1);
  currentSector_ = tools::ClampSector(*n, layout);
  sectorBox_->setText(QString::number(currentSector_));  // "$1F" reads back as 31
  const int p = viewers::HexLayout::BytesPerRow(width());
  grid_->Model()->SetSector(tools::SectorBytes(ws.image, layout, currentSector_), p);
  sectorImage_ = ws.imagePath;
  grid_->ShowLayout();
  resize(32 * p + 120, height());
  grid_->show();
  focusTarget_ = focusGrid ? static_cast<QWidget*>(grid_) : sectorBox_;
  focusTarget_->setFocus();
}

bool ViewerWindow::PendingChanges() const {
  const tools::HexGrid* edits = grid_->Model()->Edits();
  return edits && edits->changes();
}

void ViewerWindow::SetViewedEntry(std::optional<FileEntry> entry, std::string imagePath) {
  viewedEntry_ = std::move(entry);
  viewedImage_ = std::move(imagePath);
  viewedName_ = viewedEntry_ ? viewedEntry_->Caption() : std::string();
}

void ViewerWindow::OfferPendingChanges() {
  if (!PendingChanges()) return;
  HexModel* model = grid_->Model();
  tools::HexGrid* edits = model->Edits();
  Workspace* ws = Disk();
  if (document_ && document_->tape()) {
    edits->ClearChanges();  // a tape is not written back
    return;
  }
  const bool sector = model->IsSector();
  const tools::Question q =
      sector ? tools::SectorSaveQuestion(currentSector_) : tools::FileSaveQuestion(viewedName_);
  const bool yes = document_ && document_->ui().AskYesNoTitled(q.caption, q.text);
  edits->ClearChanges();
  if (!yes || !ws) return;
  tools::WriteOutcome out;
  if (sector) {
    if (ws->imagePath != sectorImage_) return;  // edits of another image are never written
    document_->Change(QString::fromLatin1(app_text::kUndoEditSector).arg(currentSector_), [&] {
      out = tools::SaveChangedSector(*ws, currentSector_, edits->Values());
    });
  } else {
    if (!viewedEntry_ || ws->imagePath != viewedImage_ || !model->Layout()) return;
    document_->Change(QString::fromLatin1(app_text::kUndoEditFile).arg(ImageText(viewedName_)),
                      [&] {
                        out = tools::SaveCurrentFile(*ws, {*viewedEntry_, model->Layout()->skip()},
                                                     edits->Values());
                      });
  }
  if (!out.message.empty()) ui_.Notify(out.message);
  writingBack_ = true;  // the view shows what was written already
  document_->Announce();
  writingBack_ = false;
}

// Searches.

void ViewerWindow::RunFind() {
  if (viewMode_ == ViewerMode::Hex)
    FindInHexGrid();
  else if (viewMode_ == ViewerMode::Sector)
    FindInSectors();
  else if (viewMode_ == ViewerMode::Text || viewMode_ == ViewerMode::Basic)
    FindInText();
}

void ViewerWindow::FindInSectors() {
  Workspace* ws = Disk();
  if (!ws || ws->image.Empty()) return;
  find_->SetStatus(tools::kFindSearching.data(), false);
  find_->progress()->setValue(0);
  const auto pattern = tools::ParseHexBytes(find_->hexEntry()->text().toStdString());
  const tools::SectorLayout layout = tools::SectorLayoutOf(ws->image);
  const int p = grid_->Model()->BytesPerRow();
  const tools::GridCell selected{grid_->CurrentGridColumn(),
                                 static_cast<std::size_t>(std::max(grid_->CurrentGridRow(), 1))};
  const std::size_t start = tools::SectorSearchStart(find_->searched(), currentSector_,
                                                     layout.bytesPerSector, selected, p);
  std::optional<std::size_t> hit;
  if (pattern) {
    const auto found = tools::FindInImage(
        ws->image, pattern->size(),
        [&](Bytes window, std::size_t from) { return tools::FindBytes(window, *pattern, from); },
        start, 1);
    if (!found.empty()) hit = static_cast<std::size_t>(found.front());
  }
  find_->progress()->setValue(100);
  if (!hit) {
    find_->SetStatus(tools::kFindNotFoundBytes.data(), false);
    find_->Open();
    return;
  }
  const tools::SectorHit shown = tools::SectorHitOf(*hit, layout.bytesPerSector, p);
  if (shown.sector != currentSector_) {
    sectorBox_->setText(QString::number(shown.sector));
    SectorView(false);
  }
  grid_->SetGridCell(shown.cell.row, shown.cell.column);
  find_->SetStatus(tools::kFindFound.data(), true);
  find_->Open();
}

void ViewerWindow::FindInHexGrid() {
  HexModel* model = grid_->Model();
  find_->SetStatus(tools::kFindSearching.data(), false);
  find_->progress()->setValue(0);
  const tools::GridCell selected{grid_->CurrentGridColumn(),
                                 static_cast<std::size_t>(std::max(grid_->CurrentGridRow(), 1))};
  const auto hit = tools::FindInHexCells(
      [model](std::size_t row, int column) {
        // The byte cells as the editor holds them (typed texts included), without a QString.
        const tools::HexGrid* edits = model->Edits();
        return edits ? edits->ByteCellText({column, row}) : std::string();
      },
      static_cast<std::size_t>(model->rowCount()) + 1, model->BytesPerRow(), selected,
      find_->searched(), find_->hexEntry()->text().toStdString());
  find_->progress()->setValue(100);
  if (hit) grid_->SetGridCell(hit->row, hit->column);
  find_->SetStatus(hit ? tools::kFindFound.data() : tools::kFindNotFoundBytes.data(),
                   hit.has_value());
  find_->Open();
}

void ViewerWindow::FindInText() {
  find_->SetStatus(tools::kFindSearching.data(), false);
  const QString needle = find_->textEntry()->text();
  QTextCursor c = rich_->textCursor();
  const int from = find_->searched() ? c.selectionEnd() : 0;
  const int at =
      needle.isEmpty() ? -1 : rich_->toPlainText().indexOf(needle, from, Qt::CaseInsensitive);
  if (at < 0) {
    find_->SetStatus(tools::kFindNotFoundText.data(), false);
    find_->Open();
    return;
  }
  c.setPosition(at);
  c.setPosition(at + static_cast<int>(needle.size()), QTextCursor::KeepAnchor);
  rich_->setTextCursor(c);
  rich_->setFocus();
  find_->SetStatus(tools::kFindFound.data(), true);
  find_->Open();
}

}  // namespace quarnel
