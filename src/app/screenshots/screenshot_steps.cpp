#include "app/screenshots/screenshot_steps.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QTextStream>
#include <QThread>
#include <QWidget>

namespace quarnel {

void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

QPixmap WithTitleBar(QWidget& w) {
  const QPixmap body = w.grab();
  const int bar = w.fontMetrics().height() + 12;
  QPixmap framed(body.width(), body.height() + bar);
  framed.fill(w.palette().color(QPalette::Highlight));
  QPainter p(&framed);
  p.setPen(w.palette().color(QPalette::HighlightedText));
  QString title = w.windowTitle();
  title.replace(QStringLiteral("[*]"), w.isWindowModified() ? QStringLiteral("*") : QString());
  p.drawText(QRect(10, 0, body.width() - 20, bar), Qt::AlignVCenter | Qt::AlignLeft, title);
  p.drawPixmap(0, bar, body);
  return framed;
}

bool Save(const QPixmap& pm, const QString& dir, const QString& name) {
  const QString path = QDir(dir).filePath(name);
  const bool ok = pm.save(path, "PNG");
  QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << path << '\n';
  return ok;
}

}  // namespace quarnel
