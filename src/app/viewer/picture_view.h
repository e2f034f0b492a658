// The picture area: a decoded picture drawn fitted to the view keeping its shape, or at a whole
// multiple of its size with scroll bars where the window is smaller; and the conversion of a
// Picture into a QImage with its display palette.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QSize>
#include <functional>

#include "viewers/picture.h"

namespace quarnel {

// The picture at its own size: 8-bit indexed with the display palette as colour table, or
// 24-bit RGB.
QImage PictureImage(const viewers::Picture& picture);

// The size a picture is shown at 1x. The 512-pixel modes (screens 6 and 7) have pixels half as
// wide as tall on an MSX screen: their lines are doubled (512 x 424) so the picture keeps the
// shape the MSX gives it, unless `squarePixels` asks for one screen pixel per MSX pixel.
QSize ShownSize(const viewers::Picture& picture, bool squarePixels);

// How a picture fills its view: fitted to it keeping its shape, or 1, 2 or 3 times its shown
// size.
enum class PictureZoom { Fit, X1, X2, X3 };

// The factor of a fixed zoom (0 for Fit).
int ZoomFactor(PictureZoom zoom);
// One step in or out through 1x, 2x and 3x, held at both ends. From Fit, the step goes to the
// next whole factor above (in) or below (out) `fitScale`, the scale the fitted picture has.
PictureZoom ZoomStep(PictureZoom zoom, double fitScale, bool in);

class PictureView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit PictureView(QWidget* parent = nullptr);

  // Shows `image` at `shownSize` times the zoom.
  void SetImage(QImage image, QSize shownSize);
  void Clear();
  const QImage& Image() const { return image_; }

  void SetZoom(PictureZoom zoom);
  PictureZoom zoom() const { return zoom_; }
  // The picture's shown size times the zoom (the shown size under Fit): what the window would
  // need to show it whole.
  QSize ZoomedSize() const;
  // The scale of the picture fitted to the view now (1.0 without a picture).
  double FitScale() const;
  // Where the picture is drawn in the viewport.
  QRect PictureRect() const;

  // Ctrl+wheel: one step in (true) or out.
  std::function<void(bool in)> wheelZoom;
  // The view took a new size (under Fit, the picture's scale changed with it).
  std::function<void()> resized;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void UpdateScrollBars();

  QImage image_;
  QImage drawn_;  // image_ in 32-bit colour, so painting does not convert it each time
  QSize shown_;
  PictureZoom zoom_ = PictureZoom::Fit;
};

}  // namespace quarnel
