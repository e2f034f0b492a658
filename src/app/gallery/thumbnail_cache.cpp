#include "app/gallery/thumbnail_cache.h"

#include <QCryptographicHash>
#include <QHashFunctions>

namespace quarnel {

size_t qHash(const ThumbnailKey& k, size_t seed) {
  return qHashMulti(seed, k.revision, k.dir, k.slot, k.firstCluster, k.size,
                    static_cast<int>(k.mode));
}

const Thumbnail* ThumbnailCache::Find(const ThumbnailKey& key) const {
  const auto place = places_.constFind(key);
  return place == places_.constEnd() ? nullptr : FindContent(*place);
}

const Thumbnail* ThumbnailCache::FindContent(const QByteArray& content) const {
  const auto made = made_.constFind(content);
  return made == made_.constEnd() ? nullptr : &*made;
}

void ThumbnailCache::PlaceFailure(const ThumbnailKey& key, const QString& error) {
  // A key of its own for each failure: no bytes stand behind it.
  QByteArray content = QByteArrayLiteral("failed:");
  content += QByteArray::number(static_cast<qulonglong>(qHash(key)));
  content += error.toUtf8();
  made_.insert(content, Thumbnail{QImage(), error});
  places_.insert(key, content);
}

QByteArray ThumbnailCache::ContentKey(const std::uint8_t* bytes, std::size_t size,
                                      viewers::PictureMode mode) {
  QCryptographicHash digest(QCryptographicHash::Sha1);
  digest.addData(
      QByteArrayView(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size)));
  QByteArray key = digest.result();
  key += static_cast<char>(mode);
  return key;
}

}  // namespace quarnel
