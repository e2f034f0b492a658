// The viewer's sector editor: a sector of the open image in the hex grid, its edits written back,
// and the search through the image's bytes.
#include "app/viewer/sector_editor_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <algorithm>
#include <filesystem>

#include "app/dialogs/find_dialog.h"
#include "app/dialogs/number_box.h"
#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/messages.h"
#include "app/viewer/file_views_page.h"
#include "app/viewer/hex_view.h"
#include "app/viewer/rich_text_area.h"
#include "app/viewer/viewer_window.h"
#include "core/workspace.h"
#include "tools/messages.h"
#include "tools/search.h"
#include "tools/write_back.h"
#include "viewers/hex_layout.h"

namespace quarnel {

namespace {

QString Q(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

SectorEditorPage::SectorEditorPage(ViewerWindow& frame) : w_(frame) {
  sectorBox_ = new NumberBox(w_.panel());
  sectorBox_->setObjectName(QStringLiteral("sectorBox"));
  sectorBox_->setFixedWidth(96);
  sectorBox_->hide();
  if (auto* bar = qobject_cast<QHBoxLayout*>(w_.panel()->layout()))
    bar->insertWidget(0, sectorBox_);
  // A typed number is taken whole, on Enter or when the box loses the focus; the arrows at once.
  QObject::connect(sectorBox_, &NumberBox::editingFinished, &w_, [this] { TakeSectorNumber(); });
  QObject::connect(sectorBox_, &NumberBox::stepped, &w_, [this] { TakeSectorNumber(); });
}

void SectorEditorPage::SectorView(bool fromStart) { ShowSectorView(fromStart, true); }

void SectorEditorPage::TakeSectorNumber() {
  if (takingSector_ || w_.viewMode() != ViewerMode::Sector || !sectorBox_->isVisible()) return;
  // Focus loss after the number was taken (or while its message is shown) takes nothing again.
  if (sectorBox_->text() == QString::number(currentSector_)) return;
  takingSector_ = true;
  ShowSectorView(false, false);
  takingSector_ = false;
}

void SectorEditorPage::ShowSectorView(bool fromStart, bool focusGrid) {
  Workspace* ws = w_.Disk();
  if (!ws || ws->image.Empty()) return;
  w_.OfferPendingChanges();
  const std::string name = std::filesystem::path(ws->imagePath).filename().string();
  w_.setWindowTitle(Q(tools::kCaptionSector) + ImageText(name));
  if (w_.viewMode() != ViewerMode::Sector || fromStart) {
    w_.Present();  // shown before the mode changes, so the window's menu and shortcuts stay on
    w_.fileViews().DropPicture();
    w_.SetViewMode(ViewerMode::Sector);
    sectorBox_->setText(QStringLiteral("0"));
    w_.richEdit()->hide();
    w_.image()->hide();
    w_.panel()->show();
    w_.fontName()->hide();
    w_.fontSize()->hide();
    sectorBox_->show();
  }
  w_.Present();
  ShowSector(*ws, focusGrid);
}

void SectorEditorPage::ShowSector(Workspace& ws, bool focusGrid) {
  const QString typed = sectorBox_->text();
  const auto n = sectorBox_->Value();
  if (!n) {
    w_.ui().Notify(tools::NotAnIntegerMessage(typed.toStdString()));
    sectorBox_->setText(QString::number(currentSector_));
    return;
  }
  const tools::SectorLayout layout = tools::SectorLayoutOf(ws.image);
  sectorBox_->SetRange(0, layout.totalSectors - 1);
  currentSector_ = tools::ClampSector(*n, layout);
  sectorBox_->setText(QString::number(currentSector_));  // "$1F" reads back as 31
  const int p = viewers::HexLayout::BytesPerRow(w_.width());
  w_.grid()->Model()->SetSector(tools::SectorBytes(ws.image, layout, currentSector_), p);
  sectorImage_ = ws.imagePath;
  w_.grid()->ShowLayout();
  w_.resize(32 * p + 120, w_.height());
  w_.grid()->show();
  QWidget* target = focusGrid ? static_cast<QWidget*>(w_.grid()) : sectorBox_;
  w_.SetFocusTarget(target);
  target->setFocus();
}

void SectorEditorPage::FindInSectors(FindDialog& find) {
  Workspace* ws = w_.Disk();
  if (!ws || ws->image.Empty()) return;
  find.SetStatus(tools::kFindSearching.data(), false);
  find.progress()->setValue(0);
  const auto pattern = tools::ParseHexBytes(find.hexEntry()->text().toStdString());
  const tools::SectorLayout layout = tools::SectorLayoutOf(ws->image);
  const int p = w_.grid()->Model()->BytesPerRow();
  const tools::GridCell selected{
      w_.grid()->CurrentGridColumn(),
      static_cast<std::size_t>(std::max(w_.grid()->CurrentGridRow(), 1))};
  const std::size_t start =
      tools::SectorSearchStart(find.searched(), currentSector_, layout.bytesPerSector, selected, p);
  std::optional<std::size_t> hit;
  if (pattern) {
    const auto found = tools::FindInImage(
        ws->image, pattern->size(),
        [&](Bytes window, std::size_t from) { return tools::FindBytes(window, *pattern, from); },
        start, 1);
    if (!found.empty()) hit = static_cast<std::size_t>(found.front());
  }
  find.progress()->setValue(100);
  if (!hit) {
    find.SetStatus(tools::kFindNotFoundBytes.data(), false);
    find.Open();
    return;
  }
  const tools::SectorHit shown = tools::SectorHitOf(*hit, layout.bytesPerSector, p);
  if (shown.sector != currentSector_) {
    sectorBox_->setText(QString::number(shown.sector));
    SectorView(false);
  }
  w_.grid()->SetGridCell(shown.cell.row, shown.cell.column);
  find.SetStatus(tools::kFindFound.data(), true);
  find.Open();
}

void SectorEditorPage::OfferChanges() {
  const tools::HexGrid* edits = w_.grid()->Model()->Edits();
  Workspace* ws = w_.Disk();
  if (!w_.AskWriteBack(tools::SectorSaveQuestion(currentSector_)) || !ws) return;
  if (ws->imagePath != sectorImage_) return;  // edits of another image are never written
  tools::WriteOutcome out;
  w_.document()->Change(QString::fromLatin1(app_text::kUndoEditSector).arg(currentSector_), [&] {
    out = tools::SaveChangedSector(*ws, currentSector_, edits->Values());
  });
  w_.WroteBack(out.message);
}

void SectorEditorPage::FollowImage() {
  const Workspace* ws = w_.Disk();
  if (ws && ws->imagePath == sectorImage_) ShowSectorView(false, false);
}

}  // namespace quarnel
