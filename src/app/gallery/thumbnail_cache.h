// The thumbnails made this session. A picture file is found by where it is on the open image
// (the image's revision, its directory and slot, first cluster, size and mode); that leads to
// what its bytes are (a digest of them and the mode), and that to the thumbnail. A change of
// the image forgets where files are but keeps what was made: a file whose bytes did not change
// finds its thumbnail again without being decoded.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <cstdint>

#include "viewers/picture.h"

namespace quarnel {

// A picture file on the open image.
struct ThumbnailKey {
  std::uint64_t revision = 0;  // counts the images opened and the changes made to them
  std::uint16_t dir = 0;       // the first cluster of its directory (0: the root)
  int slot = -1;
  std::uint16_t firstCluster = 0;
  std::uint32_t size = 0;
  viewers::PictureMode mode = viewers::PictureMode::Screen2;
  bool operator==(const ThumbnailKey&) const = default;
};
size_t qHash(const ThumbnailKey& key, size_t seed = 0);

// A thumbnail made: the picture small (RGB), or why there is none (the image null).
struct Thumbnail {
  QImage image;
  QString error;
};

class ThumbnailCache {
 public:
  // The thumbnail of the file at `key`, when known.
  const Thumbnail* Find(const ThumbnailKey& key) const;
  // The thumbnail of bytes whose content key is `content`, when made.
  const Thumbnail* FindContent(const QByteArray& content) const;
  // The file at `key` holds the bytes of `content`.
  void Place(const ThumbnailKey& key, const QByteArray& content) { places_.insert(key, content); }
  // A file whose bytes cannot be read: its thumbnail is the reason.
  void PlaceFailure(const ThumbnailKey& key, const QString& error);
  void Store(const QByteArray& content, Thumbnail thumbnail) {
    made_.insert(content, std::move(thumbnail));
  }
  // The image changed: where files were is no longer known.
  void ForgetPlaces() { places_.clear(); }
  int Made() const { return static_cast<int>(made_.size()); }

  // The content key of a file's bytes shown in `mode`.
  static QByteArray ContentKey(const std::uint8_t* bytes, std::size_t size,
                               viewers::PictureMode mode);

 private:
  QHash<ThumbnailKey, QByteArray> places_;
  QHash<QByteArray, Thumbnail> made_;
};

}  // namespace quarnel
