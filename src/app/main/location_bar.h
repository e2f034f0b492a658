// The line above the file list that says where in the image the list is: "/GAMES/SUB", each
// folder a button that goes up to it, with Back and Forward before it. On a card image a
// partition's button comes first and leads back to the partitions.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QAction;
class QHBoxLayout;
class QToolButton;

namespace quarnel {

class LocationBar : public QWidget {
  Q_OBJECT
 public:
  LocationBar(QAction* back, QAction* forward, QWidget* parent = nullptr);

  // Shows the folders from the root down (`names`, without the root), after `partition` when it
  // is not empty ("Partition 2"); `partitionsOnly` for the list of a card image's partitions.
  void Show(const QString& partition, const QStringList& names, bool partitionsOnly = false);
  // What the line reads, as the user sees it ("Partition 2 /GAMES/SUB").
  QString Text() const;
  // The button of folder level `level` (0: the root), for the tests.
  QToolButton* LevelButton(int level) const;

 signals:
  // A folder's button: go up to that level (0: the root).
  void levelChosen(int level);
  // The partition's button: back to the partitions.
  void partitionsChosen();

 private:
  void Clear();
  QToolButton* Button(const QString& text);

  QHBoxLayout* path_ = nullptr;
  QList<QWidget*> parts_;
  QList<QToolButton*> levels_;
};

}  // namespace quarnel
