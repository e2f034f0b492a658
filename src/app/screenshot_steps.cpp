#include "app/screenshot_steps.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>
#include <QThread>

namespace quarnel {

void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

bool Save(const QPixmap& pm, const QString& dir, const QString& name) {
  const QString path = QDir(dir).filePath(name);
  const bool ok = pm.save(path, "PNG");
  QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << path << '\n';
  return ok;
}

}  // namespace quarnel
