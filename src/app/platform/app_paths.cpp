#include "app/platform/app_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace quarnel {

namespace {

bool FolderWritable(const QString& folder) {
  QTemporaryFile probe(folder + QStringLiteral("/.quarnel-probe-XXXXXX"));
  return probe.open();
}

// A program installed under a prefix (PREFIX/bin beside PREFIX/share/quarnel) is shared by every
// user: it keeps nothing beside itself, even for a user who may write into its folder.
bool InstalledUnderPrefix(const QString& programFolder) {
  return QFileInfo(programFolder + QStringLiteral("/../share/quarnel")).isDir();
}

}  // namespace

AppPaths AppPaths::For(const QString& programFolder) {
  AppPaths p;
  p.exeFolder = QDir::cleanPath(programFolder);
  if (!InstalledUnderPrefix(p.exeFolder) && FolderWritable(p.exeFolder)) {
    p.tempFolder = p.exeFolder + QStringLiteral("/temp");
    p.settingsFile = p.exeFolder + QStringLiteral("/Quarnel.ini");
    return p;
  }
  p.besideProgram = false;
  QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
  if (cache.isEmpty()) cache = QDir::homePath() + QStringLiteral("/.cache");
  p.settingsFile = config + QStringLiteral("/quarnel/Quarnel.ini");
  p.tempFolder = cache + QStringLiteral("/quarnel/temp");
  EnsureFolder(config + QStringLiteral("/quarnel"));
  return p;
}

QString AppPaths::RecentFile() const {
  return QFileInfo(settingsFile).dir().filePath(QStringLiteral("Quarnel-recent.txt"));
}

bool EnsureFolder(const QString& folder) {
  QDir d(folder);
  if (d.exists()) return true;
  return QDir().mkpath(folder);
}

void DeleteFilesIn(const QString& folder) {
  QDir d(folder);
  if (!d.exists()) return;
  const auto files = d.entryList(QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& f : files) QFile::remove(d.filePath(f));
}

QString HelpPagePath(const AppPaths& paths) {
  QString beside = paths.exeFolder + QStringLiteral("/help/quarnel.html");
  if (QFileInfo::exists(beside)) return beside;
  QString installed = paths.exeFolder + QStringLiteral("/../share/quarnel/help/quarnel.html");
  if (QFileInfo::exists(installed)) return QDir::cleanPath(installed);
  // Not installed beside the program: put the bundled copy in the cache folder.
  QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  if (cache.isEmpty()) cache = QDir::tempPath();
  QString target = cache + QStringLiteral("/quarnel/help/quarnel.html");
  if (!EnsureFolder(QFileInfo(target).absolutePath())) return {};
  QFile::remove(target);
  if (!QFile::copy(QStringLiteral(":/help/quarnel.html"), target)) return {};
  QFile::setPermissions(target,
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  return target;
}

}  // namespace quarnel
