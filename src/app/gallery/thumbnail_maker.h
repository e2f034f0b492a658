// Makes the thumbnails of the open disk's pictures away from the window: the file's bytes are
// read (a copy) when its thumbnail is asked for, decoded as the viewer decodes them and made
// small on a thread of its own, and handed back by a queued call. A change or another image
// makes the thumbnails still being made stale: they are dropped, and those not started are not
// made.
#pragma once

#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <atomic>

#include "app/gallery/thumbnail_cache.h"
#include "viewers/disk_pictures.h"

namespace quarnel {

class Document;

class ThumbnailMaker : public QObject {
  Q_OBJECT
 public:
  explicit ThumbnailMaker(Document& document, QObject* parent = nullptr);
  ~ThumbnailMaker() override;

  // Where `picture` of the open disk is, now.
  ThumbnailKey KeyOf(const viewers::PictureEntry& picture) const;
  // The thumbnail of `picture` when it is made; otherwise nullptr, and it is being made (`made`
  // follows).
  const Thumbnail* Get(const viewers::PictureEntry& picture);
  // Thumbnails asked for and not yet made.
  int Pending() const { return static_cast<int>(pending_.size()); }
  const ThumbnailCache& cache() const { return cache_; }

 signals:
  // The thumbnail of the file at `key` was made.
  void made(const ThumbnailKey& key);
  // The image changed or another one was opened: the keys asked for before lead nowhere now.
  void reset();

 private:
  void ImageMoved();
  void Deliver(const ThumbnailKey& key, const QByteArray& content, Thumbnail thumbnail);

  Document& document_;
  ThumbnailCache cache_;
  QSet<ThumbnailKey> pending_;
  bool resetQueued_ = false;
  std::atomic<std::uint64_t> revision_{1};
  QThreadPool pool_;
};

}  // namespace quarnel
