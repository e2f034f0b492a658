// quarnel-screenshots: writes pictures of the desktop program's windows for the documentation
// and for review. Not installed; scripts/screenshots runs it from a build tree.
#include <QApplication>
#include <cstdio>

#include "app/messages.h"
#include "app/screenshots/screenshots.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(quarnel::app_text::kAppTitle));
  QApplication::setOrganizationName(QStringLiteral("quarnel"));
  const QStringList args = QApplication::arguments();
  if (args.size() < 2) {
    std::fputs("usage: quarnel-screenshots OUTDIR [IMAGE]\n", stderr);
    return 2;
  }
  return quarnel::RunScreenshots(args.at(1), args.value(2));
}
