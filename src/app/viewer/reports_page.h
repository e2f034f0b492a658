// The viewer's reports: DISK DETAIL and FILE INFO, each with the disk map whose cells tell, under
// the pointer, which cluster they are and whose it is. The data come from src/tools.
#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <vector>

#include "app/viewer/map_folding.h"
#include "core/volume.h"
#include "tools/disk_report.h"

namespace quarnel {

class ViewerWindow;

class ReportsPage : public QObject {
 public:
  explicit ReportsPage(ViewerWindow& frame);

  // DISK DETAIL of `image`, loaded from `imagePath`; FILE INFO of `entry` on it.
  void ShowDiskDetails(const DiskImage& image, const std::string& imagePath);
  void ShowFileInfo(const DiskImage& image, const FileEntry& entry);
  // What the map cell drawn at text position `position` tells ("" off the map).
  QString MapCellAt(int position) const;

 protected:
  // The text area's pointer: the tip of the map cell under it.
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void WriteReport(const tools::Report& report, const DiskImage& image);

  ViewerWindow& w_;
  // The map shown, where each cell lies in the text, and who owns each cluster.
  tools::ClusterMap map_;
  FoldedMap folded_;  // the map as drawn
  std::vector<int> mapCellAt_;
  std::vector<std::string> owners_;
};

}  // namespace quarnel
