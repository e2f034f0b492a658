// quarnel: the desktop program. One instance per program file and user; a later start hands
// its arguments to the running one and ends.
#include <QApplication>
#include <QMessageBox>

#include "app/main/main_window.h"
#include "app/messages.h"
#include "app/platform/app_paths.h"
#include "app/platform/single_instance.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(quarnel::app_text::kAppTitle));
  QApplication::setOrganizationName(QStringLiteral("quarnel"));
  QStringList args = QApplication::arguments();

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
