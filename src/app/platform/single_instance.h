// One running instance per program file and user. The first start listens on a local socket
// named after the program file's name and the user; a later start connects, hands over its
// whole argument list (each argument kept whole, blanks and all) together with its working
// folder, and ends. The server takes one message per connection, so every later start is the
// single writer of its own message.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

namespace quarnel {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // `programPath` is the program file; only its file name counts, so copies of the program
  // under other names do not see each other.
  explicit SingleInstance(const QString& programPath, QObject* parent = nullptr);
  ~SingleInstance() override;

  // The local socket name for a program file and the current user.
  static QString ServerName(const QString& programPath);

  // True when another instance already runs: `arguments` (program path first) have been handed
  // to it and this start should end. False when this process became the first instance.
  // `failed` is set when no server could be set up at all.
  bool AnotherInstanceRuns(const QStringList& arguments, bool* failed = nullptr);

 signals:
  // A later start handed over its arguments (program path first), with its working folder.
  void argumentsReceived(const QStringList& arguments, const QString& workingFolder);

 private:
  void OnNewConnection();

  QString name_;
  QLocalServer* server_ = nullptr;
};

// The first item after the program path of a handed-over argument list, resolved against the
// sender's working folder; empty when the list holds only the program path.
QString FirstHandedOverPath(const QStringList& arguments, const QString& workingFolder);

}  // namespace quarnel
