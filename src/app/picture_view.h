// The picture area: a decoded picture drawn stretched to the widget (screen 7's 512 pixels
// squeezed into the window's 256), and the conversion of a Picture into a QImage with its display
// palette.
#pragma once

#include <QImage>
#include <QWidget>

#include "viewers/picture.h"

namespace quarnel {

// The picture at its own size: 8-bit indexed with the display palette as colour table, or
// 24-bit RGB.
QImage PictureImage(const viewers::Picture& picture);

class PictureView : public QWidget {
  Q_OBJECT
 public:
  explicit PictureView(QWidget* parent = nullptr);

  void SetImage(QImage image);
  void Clear();
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QImage image_;
};

}  // namespace quarnel
