// The viewer's reports (DISK DETAIL, FILE INFO with the disk map). The data come from
// src/tools; this file draws them.
#include "app/viewer/reports_page.h"

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QToolTip>
#include <algorithm>
#include <filesystem>

#include "app/dialogs/qt_ui.h"
#include "app/messages.h"
#include "app/viewer/file_views_page.h"
#include "app/viewer/hex_view.h"
#include "app/viewer/map_cell.h"
#include "app/viewer/rich_text_area.h"
#include "app/viewer/viewer_window.h"
#include "core/message_text.h"
#include "tools/messages.h"
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

ReportsPage::ReportsPage(ViewerWindow& frame) : w_(frame) {
  w_.richEdit()->viewport()->setMouseTracking(true);
  w_.richEdit()->viewport()->installEventFilter(this);
}

// Reports.

void ReportsPage::ShowDiskDetails(const DiskImage& image, const std::string& imagePath) {
  const std::string name = std::filesystem::path(imagePath).filename().string();
  WriteReport(tools::BuildDiskDetail(image, name), image);
}

void ReportsPage::ShowFileInfo(const DiskImage& image, const FileEntry& entry) {
  WriteReport(tools::BuildFileInfo(image, entry), image);
}

void ReportsPage::WriteReport(const tools::Report& r, const DiskImage& image) {
  w_.OfferPendingChanges();
  w_.SetViewMode(r.viewMode == tools::kModeDiskDetail ? ViewerMode::DiskDetail
                                                      : ViewerMode::FileInfo);
  if (!r.warning.empty()) w_.ui().Notify(r.warning);
  w_.fileViews().DropPicture();
  w_.ResetControls();
  w_.panel()->hide();
  w_.setWindowTitle(ImageText(r.caption));
  w_.Present();

  const QString text = CourierNewFamily();
  const QString symbols = FixedFamily();
  QTextDocument* doc = w_.richEdit()->document();
  w_.richEdit()->BeginBuild();
  for (std::size_t i = 0; i < r.lines.size(); ++i) {
    w_.richEdit()->AddLine(Shown(r.lines[i]));
    if (i == 0) {
      w_.richEdit()->SetColor(Qt::black);
      w_.richEdit()->SetFontName(text);
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
    w_.richEdit()->InsertText(Q(tools::kLegendLead));
    for (const tools::LegendItem& item : r.legend) {
      w_.richEdit()->SetColor(Colour(item.cls));
      w_.richEdit()->SetFontName(symbols);
      w_.richEdit()->InsertMapCell(QString::fromUtf8(Face(item.cls)));
      w_.richEdit()->SetFontName(text);
      w_.richEdit()->InsertText(Shown(item.label));
    }
    if (folded_.perMark > 1) {
      w_.richEdit()->SetColor(Qt::black);
      w_.richEdit()->SetFontName(text);
      w_.richEdit()->InsertText(
          Q(FillText(app_text::kMapFolded, {std::to_string(folded_.perMark)})));
    }
    for (std::size_t i = 0; i < folded_.marks.size(); ++i) {
      if (i % tools::ClusterMap::kCellsPerRow == 0) {
        if (i > 0) w_.richEdit()->InsertText(QStringLiteral("\n"));
        w_.richEdit()->SetColor(Qt::black);
        w_.richEdit()->SetFontName(text);
        w_.richEdit()->InsertText(Q(folded_.RowLabel(i / tools::ClusterMap::kCellsPerRow)));
        w_.richEdit()->SetFontName(symbols);
      }
      w_.richEdit()->SetColor(Colour(folded_.marks[i]));
      mapCellAt_[i] = doc->characterCount() - 1;
      w_.richEdit()->InsertMapCell(QString::fromUtf8(Face(folded_.marks[i])));
    }
    owners_ = tools::ClusterOwners(image);
  }
  w_.richEdit()->EndBuild();
  w_.fontName()->setCurrentText(w_.richEdit()->CurrentFontName());
  w_.SetFocusTarget(w_.richEdit());
  w_.richEdit()->setFocus();
}

QString ReportsPage::MapCellAt(int position) const {
  if (w_.viewMode() != ViewerMode::DiskDetail && w_.viewMode() != ViewerMode::FileInfo)
    return QString();
  const auto it = std::lower_bound(mapCellAt_.begin(), mapCellAt_.end(), position);
  if (it == mapCellAt_.end() || *it != position) return QString();
  const auto cell = static_cast<std::size_t>(it - mapCellAt_.begin());
  return ImageText(DescribeMark(map_, folded_, cell, owners_));
}

bool ReportsPage::eventFilter(QObject* watched, QEvent* e) {
  if (watched == w_.richEdit()->viewport() &&
      (e->type() == QEvent::MouseMove || e->type() == QEvent::MouseButtonRelease)) {
    const QPoint pt = static_cast<QMouseEvent*>(e)->position().toPoint();
    // The cell whose glyph lies under the pointer: the one starting at the nearest position or
    // the one before it.
    const int at = w_.richEdit()->cursorForPosition(pt).position();
    QString tip;
    for (int pos : {at, at - 1}) {
      QTextCursor c(w_.richEdit()->document());
      c.setPosition(pos);
      const QRect left = w_.richEdit()->cursorRect(c);
      c.setPosition(pos + 1);
      const QRect right = w_.richEdit()->cursorRect(c);
      if (pt.x() >= left.left() && pt.x() < right.left() && pt.y() >= left.top() &&
          pt.y() < left.bottom() + 1)
        tip = MapCellAt(pos);
      if (!tip.isEmpty()) break;
    }
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(static_cast<QMouseEvent*>(e)->globalPosition().toPoint(), tip,
                         w_.richEdit());
    return false;
  }
  return QObject::eventFilter(watched, e);
}

}  // namespace quarnel
