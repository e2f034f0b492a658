#include "app/gallery/gallery_window.h"

#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/dialogs/qt_ui.h"
#include "app/gallery/thumbnail_maker.h"
#include "app/main/document.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "core/view_choice.h"
#include "viewers/thumbnail.h"

namespace quarnel {

namespace {

constexpr QSize kBox(viewers::kThumbnailWidth, viewers::kThumbnailHeight);

// The frame a thumbnail is drawn in, empty while it is being made, with a cross when the file
// gives no picture; the thumbnail itself centred in it.
QPixmap Framed(const QImage& thumbnail, bool failed) {
  QPixmap pm(kBox);
  pm.fill(QColor(40, 40, 40));
  QPainter p(&pm);
  if (!thumbnail.isNull()) {
    const QSize s = thumbnail.size();
    p.drawImage(QPoint((kBox.width() - s.width()) / 2, (kBox.height() - s.height()) / 2),
                thumbnail);
  } else if (failed) {
    p.setPen(QPen(QColor(200, 60, 60), 3));
    p.drawLine(QPoint(40, 30), QPoint(kBox.width() - 40, kBox.height() - 30));
    p.drawLine(QPoint(kBox.width() - 40, 30), QPoint(40, kBox.height() - 30));
  }
  return pm;
}

QPair<int, int> PlaceOf(const FileEntry& e) { return {e.dir.firstCluster, e.slot}; }

}  // namespace

GalleryWindow::GalleryWindow(MainWindow& main, ThumbnailMaker* maker)
    : QWidget(&main, Qt::Window), main_(main), maker_(maker) {
  setObjectName(QStringLiteral("galleryWindow"));
  setWindowTitle(QString::fromLatin1(app_text::kGalleryCaption));
  header_ = new QLabel(this);
  header_->setObjectName(QStringLiteral("galleryHeader"));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("galleryList"));
  list_->setViewMode(QListView::IconMode);
  list_->setIconSize(kBox);
  list_->setGridSize(QSize(kBox.width() + 24, kBox.height() + 48));
  list_->setMovement(QListView::Static);
  list_->setResizeMode(QListView::Adjust);
  list_->setWordWrap(true);
  list_->setUniformItemSizes(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  auto* box = new QVBoxLayout(this);
  box->addWidget(header_);
  box->addWidget(list_);
  resize(4 * list_->gridSize().width() + 40, 2 * list_->gridSize().height() + 60);
  connect(list_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { OpenPicture(list_->row(item)); });
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
  connect(maker_, &ThumbnailMaker::made, this, [this](const ThumbnailKey& k) { Made(k); });
  connect(maker_, &ThumbnailMaker::reset, this, [this] {
    if (isVisible()) Rebuild();
  });
  // Another image: its pictures from the root.
  connect(main.document(), &Document::imageReplaced, this, [this] { place_.resize(1); });
}

void GalleryWindow::ShowGallery() {
  if (const Workspace* ws = main_.disk(); ws && ws->HasImage()) {
    place_ = ws->folders;
  }
  Rebuild();
  // First shown over the middle of the main window; after that where the user left it.
  if (!placed_) {
    placed_ = true;
    move(main_.frameGeometry().center() - QPoint(width() / 2, height() / 2));
  }
  show();
  raise();
  activateWindow();
}

void GalleryWindow::Rebuild() {
  list_->clear();
  pictures_.clear();
  byPlace_.clear();
  shown_ = 0;
  const Workspace* ws = main_.disk();
  // A directory deleted meanwhile (its cluster perhaps another file's now) gives way to the
  // deepest one above it that is still there.
  if (ws && ws->HasImage()) {
    place_ = PlaceStillThere(ws->image, place_);
    pictures_ = viewers::FindPicturesBelow(ws->image, place_.back().dir);
  }
  const std::string& dirPath = place_.back().path;
  const QString where = ws && ws->HasImage() ? ToQ(main_.OpenName()) + QStringLiteral("  ") +
                                                   ImageText(dirPath, main_.Charset())
                                             : QString();
  setWindowTitle(where.isEmpty() ? QString::fromLatin1(app_text::kGalleryCaption)
                                 : QString::fromLatin1(app_text::kGalleryCaption) +
                                       QStringLiteral(" - ") + where);
  header_->setText(QString::fromLatin1(app_text::kGalleryCount)
                       .arg(pictures_.size())
                       .arg(ImageText(dirPath, main_.Charset())));
  done_.assign(pictures_.size(), false);
  const QIcon waiting(Framed(QImage(), false));
  list_->setUpdatesEnabled(false);
  for (std::size_t i = 0; i < pictures_.size(); ++i) {
    const viewers::PictureEntry& p = pictures_[i];
    auto* item = new QListWidgetItem(waiting, ImageText(p.entry.Caption(), main_.Charset()) +
                                                  QLatin1Char('\n') +
                                                  QString::fromLatin1(viewers::ModeName(p.mode)));
    item->setToolTip(ImageText(p.path, main_.Charset()));
    list_->addItem(item);
    byPlace_.insert(PlaceOf(p.entry), static_cast<int>(i));
  }
  list_->setUpdatesEnabled(true);
  // Asked for in list order: the first ones come first. Those made before show at once.
  for (std::size_t i = 0; i < pictures_.size(); ++i) ShowThumbnail(static_cast<int>(i));
}

void GalleryWindow::ShowThumbnail(int index) {
  const auto i = static_cast<std::size_t>(index);
  if (i >= pictures_.size() || done_[i]) return;
  const Thumbnail* t = maker_->Get(pictures_[i]);
  if (!t) return;
  QListWidgetItem* item = list_->item(index);
  item->setIcon(QIcon(Framed(t->image, t->image.isNull())));
  if (!t->error.isEmpty())
    item->setToolTip(ImageText(pictures_[i].path, main_.Charset()) + QLatin1Char('\n') + t->error);
  done_[i] = true;
  ++shown_;
}

void GalleryWindow::Made(const ThumbnailKey& key) {
  const auto at = byPlace_.constFind({key.dir, key.slot});
  if (at == byPlace_.constEnd()) return;
  ShowThumbnail(*at);
}

void GalleryWindow::OpenPicture(int index) {
  const auto i = static_cast<std::size_t>(index);
  if (index < 0 || i >= pictures_.size()) return;
  const FileEntry& e = pictures_[i].entry;
  main_.document()->RequestViewAt(e, SelectorForCaption(e.Caption(), e.size));
}

}  // namespace quarnel
