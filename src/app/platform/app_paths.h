// Where the program keeps its temporary folder, settings file and help page: beside the program
// when that folder is writable and no installed one (PREFIX/bin with PREFIX/share/quarnel),
// otherwise in the user's config and cache folders.
#pragma once

#include <QString>

namespace quarnel {

struct AppPaths {
  QString exeFolder;     // the program's folder
  QString tempFolder;    // files for pictures and drag-out; emptied of files at the end of a run
  QString settingsFile;  // the 488-byte settings record
  bool besideProgram = true;

  // The list of images opened last, a text file beside the settings record.
  QString RecentFile() const;

  // Decides the folders for a program in `programFolder`. Creates nothing.
  static AppPaths For(const QString& programFolder);
};

// Creates `folder` when missing; false when it cannot be made.
bool EnsureFolder(const QString& folder);

// Deletes every file in `folder` (subfolders and the folder itself stay).
void DeleteFilesIn(const QString& folder);

// The bundled help page as a file that a browser can open; empty when it cannot be provided.
QString HelpPagePath(const AppPaths& paths);

}  // namespace quarnel
