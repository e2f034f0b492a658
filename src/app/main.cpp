// quarnel: the desktop program. One instance per program file and user; a later start hands
// its arguments to the running one and ends.
#include <QApplication>
#include <QMessageBox>

#include "app/app_paths.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/screenshots.h"
#include "app/single_instance.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(quarnel::app_text::kAppTitle));
  QApplication::setOrganizationName(QStringLiteral("quarnel"));
  QStringList args = QApplication::arguments();

  // Not for users: writes pictures of the window for the documentation and review.
  if (args.size() >= 3 && args.at(1) == QLatin1String("--screenshot-script"))
    return quarnel::RunScreenshots(args.at(2), args.value(3));

  quarnel::SingleInstance instance(QApplication::applicationFilePath());
  bool failed = false;
  if (instance.AnotherInstanceRuns(args, &failed)) return 0;
  if (failed) {
    QMessageBox::critical(nullptr, QString::fromLatin1(quarnel::app_text::kAppTitle),
                          QString::fromLatin1(quarnel::app_text::kInstanceCheckFailed));
    return 1;
  }

  quarnel::MainWindow window(quarnel::AppPaths::For(QApplication::applicationDirPath()), args);
  QObject::connect(&instance, &quarnel::SingleInstance::argumentsReceived, &window,
                   &quarnel::MainWindow::HandOver);
  window.show();
  // Activation may not be reported on every platform: open the file named on the command line
  // once the event loop runs, in case it was not.
  QMetaObject::invokeMethod(
      &window,
      [&window] {
        if (window.PendingOpen()) window.OpenPendingFile();
      },
      Qt::QueuedConnection);
  return app.exec();
}
