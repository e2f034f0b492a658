// The Setup menu: keeping the settings, the start folder, the fonts and colours of the folder
// tree, the file list, the text and BASIC views and the OEM and volume fields, loading the first
// image of a folder on its own, and the Japanese character set. Each command is an action owned
// here; what it chooses goes into the settings record (kept by Save Environment and at the end).
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace quarnel {

class MainWindow;

class SetupActions : public QObject {
  Q_OBJECT
 public:
  explicit SetupActions(MainWindow& window);

  // Every action into `menu`, in the menu's order.
  void AddTo(QMenu* menu);

  QAction* saveEnvironment() const { return saveEnvironment_; }
  QAction* startFolder() const { return startFolder_; }
  QAction* treeLook() const { return treeLook_; }
  QAction* listLook() const { return listLook_; }
  QAction* textViewFont() const { return textViewFont_; }
  QAction* basicViewFont() const { return basicViewFont_; }
  QAction* oemColors() const { return oemColors_; }
  QAction* volumeColors() const { return volumeColors_; }
  // Checked: a disk image chosen in the host browser opens at once.
  QAction* autoLoad() const { return autoLoad_; }
  // Checked: names and views in the Japanese character set (kept with the settings).
  QAction* japaneseCharset() const { return japanese_; }

 private:
  QAction* Make(const char* text, void (SetupActions::*command)());
  void ChooseStartFolder();
  void ChooseTextViewFont();
  void ChooseBasicViewFont();
  void ChooseOemColors();
  void ChooseVolumeColors();
  void ChooseTreeFontAndColor();
  void ChooseListFontAndColor();

  MainWindow& w_;
  QString lastFontTitle_;  // the text view's font dialog keeps the title of the one before
  QAction* saveEnvironment_ = nullptr;
  QAction* startFolder_ = nullptr;
  QAction* treeLook_ = nullptr;
  QAction* listLook_ = nullptr;
  QAction* textViewFont_ = nullptr;
  QAction* basicViewFont_ = nullptr;
  QAction* oemColors_ = nullptr;
  QAction* volumeColors_ = nullptr;
  QAction* autoLoad_ = nullptr;
  QAction* japanese_ = nullptr;
};

}  // namespace quarnel
