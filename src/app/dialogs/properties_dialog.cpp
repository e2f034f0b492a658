#include "app/dialogs/properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

#include "app/messages.h"
#include "core/dir_entry.h"

namespace quarnel {

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

QLabel* Value(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setWordWrap(true);
  return label;
}

QFrame* Line(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

}  // namespace

PropertiesDialog::PropertiesDialog(const PropertyTexts& t, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("propertiesDialog"));
  setWindowTitle(L(app_text::kPropertiesTitle).arg(t.name));
  auto* form = new QFormLayout;
  form->setLabelAlignment(Qt::AlignLeft);
  form->addRow(L(app_text::kPropName), Value(t.name, this));
  form->addRow(L(app_text::kPropFolder), Value(t.folder, this));
  form->addRow(L(app_text::kPropType), Value(t.type, this));
  form->addRow(L(app_text::kPropSize), Value(t.size, this));
  form->addRow(Line(this));
  form->addRow(L(app_text::kPropModified), Value(t.modified, this));
  if (!t.created.isEmpty()) form->addRow(L(app_text::kPropCreated), Value(t.created, this));
  if (!t.accessed.isEmpty()) form->addRow(L(app_text::kPropAccessed), Value(t.accessed, this));
  form->addRow(Line(this));

  readOnly_ = new QCheckBox(L(app_text::kPropReadOnly), this);
  hidden_ = new QCheckBox(L(app_text::kPropHidden), this);
  system_ = new QCheckBox(L(app_text::kPropSystem), this);
  archive_ = new QCheckBox(L(app_text::kPropArchive), this);
  readOnly_->setChecked(t.attribute & kAttrReadOnly);
  hidden_->setChecked(t.attribute & kAttrHidden);
  system_->setChecked(t.attribute & kAttrSystem);
  archive_->setChecked(t.attribute & kAttrArchive);
  system_->setEnabled(false);  // shown as the entry has it, never changed here
  for (QCheckBox* box : {readOnly_, hidden_, archive_}) box->setEnabled(t.attributesEditable);
  auto* boxes = new QGridLayout;
  boxes->addWidget(readOnly_, 0, 0);
  boxes->addWidget(hidden_, 0, 1);
  boxes->addWidget(archive_, 1, 0);
  boxes->addWidget(system_, 1, 1);
  form->addRow(L(app_text::kPropAttributes), boxes);
  form->addRow(Line(this));

  clusters_ = Value(t.clusters.isEmpty() ? L(app_text::kPropNone) : t.clusters, this);
  clusters_->setObjectName(QStringLiteral("clusterRanges"));
  sectors_ = Value(t.sectors.isEmpty() ? L(app_text::kPropNone) : t.sectors, this);
  sectors_->setObjectName(QStringLiteral("sectorRanges"));
  QStringList faults;
  for (const QString& f : t.chainFaults) faults << f;
  chain_ =
      Value(faults.isEmpty() ? L(app_text::kPropChainSound) : faults.join(QLatin1Char('\n')), this);
  chain_->setObjectName(QStringLiteral("chainVerdict"));
  if (!faults.isEmpty()) chain_->setStyleSheet(QStringLiteral("color: #b00000"));
  form->addRow(L(app_text::kPropClusters), clusters_);
  form->addRow(L(app_text::kPropSectors), sectors_);
  form->addRow(L(app_text::kPropChain), chain_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    emit attributesChosen(ChosenAttributes());
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setMinimumWidth(380);
}

std::uint8_t PropertiesDialog::ChosenAttributes() const {
  std::uint8_t bits = 0;
  if (readOnly_->isChecked()) bits |= kAttrReadOnly;
  if (hidden_->isChecked()) bits |= kAttrHidden;
  if (archive_->isChecked()) bits |= kAttrArchive;
  return bits;
}

}  // namespace quarnel
