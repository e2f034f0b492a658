#include "app/gallery/thumbnail_maker.h"

#include <QTimer>
#include <QUndoStack>

#include "app/main/document.h"
#include "app/viewer/picture_view.h"
#include "core/volume.h"
#include "viewers/picture_decoder.h"
#include "viewers/thumbnail.h"

namespace quarnel {

ThumbnailMaker::ThumbnailMaker(Document& document, QObject* parent)
    : QObject(parent), document_(document) {
  // One thread: the pictures come in the order they were asked for, and the other core stays
  // with the window.
  pool_.setMaxThreadCount(1);
  // Every change of the image goes onto the undo stack (or takes it back); another image, and a
  // write-back the viewer announces, come by the document's signals.
  connect(&document, &Document::imageReplaced, this, [this] { ImageMoved(); });
  connect(&document, &Document::imageChanged, this, [this] { ImageMoved(); });
  connect(document.undoStack(), &QUndoStack::indexChanged, this, [this] { ImageMoved(); });
}

ThumbnailMaker::~ThumbnailMaker() {
  pool_.clear();
  pool_.waitForDone();
}

void ThumbnailMaker::ImageMoved() {
  ++revision_;
  pool_.clear();
  pending_.clear();
  cache_.ForgetPlaces();
  // One reset for the signals of one change, once the change is through.
  if (resetQueued_) return;
  resetQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    resetQueued_ = false;
    emit reset();
  });
}

ThumbnailKey ThumbnailMaker::KeyOf(const viewers::PictureEntry& p) const {
  return {revision_.load(),     p.entry.dir.firstCluster, p.entry.slot,
          p.entry.firstCluster, p.entry.fullSize,         p.mode};
}

const Thumbnail* ThumbnailMaker::Get(const viewers::PictureEntry& p) {
  const ThumbnailKey key = KeyOf(p);
  if (const Thumbnail* known = cache_.Find(key)) return known;
  if (pending_.contains(key)) return nullptr;
  const Workspace* ws = document_.disk();
  if (!ws || !ws->HasImage()) return nullptr;
  // The bytes as the viewer reads them, copied here: the thread never sees the workspace.
  FileRead read = ReadFile(ws->image, p.entry);
  if (!read.ok()) {
    cache_.PlaceFailure(key, QString::fromStdString(read.message));
    return cache_.Find(key);
  }
  const QByteArray content =
      ThumbnailCache::ContentKey(read.bytes.data(), read.bytes.size(), p.mode);
  if (const Thumbnail* same = cache_.FindContent(content)) {
    cache_.Place(key, content);
    return same;
  }
  pending_.insert(key);
  pool_.start([this, key, content, bytes = std::move(read.bytes)] {
    if (key.revision != revision_.load()) return;  // stale before it started
    Thumbnail t;
    viewers::PictureResult r =
        viewers::DecodePicture(key.mode, Bytes(bytes.data(), bytes.size()), {});
    if (r.ok())
      t.image = PictureImage(viewers::MakeThumbnail(*r.picture));
    else
      t.error = QString::fromUtf8(r.message.data(), static_cast<qsizetype>(r.message.size()));
    QMetaObject::invokeMethod(
        this, [this, key, content, t = std::move(t)]() mutable { Deliver(key, content, t); },
        Qt::QueuedConnection);
  });
  return nullptr;
}

void ThumbnailMaker::Deliver(const ThumbnailKey& key, const QByteArray& content,
                             Thumbnail thumbnail) {
  cache_.Store(content, std::move(thumbnail));
  if (key.revision != revision_.load() || !pending_.remove(key)) return;
  cache_.Place(key, content);
  emit made(key);
}

}  // namespace quarnel
