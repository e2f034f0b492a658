// The properties of an entry of the disk: its name, folder, type, size and dates, the clusters
// and sectors it occupies and whether its chain is sound, and the attributes, of which
// read-only, hidden and archive may be changed (system is shown as it stands). OK hands the
// chosen attributes to whoever opened the dialog (`attributesChosen`).
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <vector>

class QCheckBox;
class QLabel;

namespace quarnel {

// What the dialog shows, as text.
struct PropertyTexts {
  QString name, folder, type, size, modified, created, accessed, clusters, sectors;
  std::vector<QString> chainFaults;  // none: the chain is sound
  std::uint8_t attribute = 0;
  bool attributesEditable = true;  // false for a volume name
};

class PropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  PropertiesDialog(const PropertyTexts& texts, QWidget* parent = nullptr);

  // The editable bits as the boxes have them (read-only 0x01, hidden 0x02, archive 0x20).
  std::uint8_t ChosenAttributes() const;

  QCheckBox* readOnlyBox() const { return readOnly_; }
  QCheckBox* hiddenBox() const { return hidden_; }
  QCheckBox* systemBox() const { return system_; }
  QCheckBox* archiveBox() const { return archive_; }
  QLabel* clustersLabel() const { return clusters_; }
  QLabel* sectorsLabel() const { return sectors_; }
  QLabel* chainLabel() const { return chain_; }

 signals:
  // OK with the attribute boxes as they are.
  void attributesChosen(std::uint8_t bits);

 private:
  QCheckBox* readOnly_;
  QCheckBox* hidden_;
  QCheckBox* system_;
  QCheckBox* archive_;
  QLabel* clusters_;
  QLabel* sectors_;
  QLabel* chain_;
};

}  // namespace quarnel
