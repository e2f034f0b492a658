#include "app/main/location_bar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "app/messages.h"

namespace quarnel {

LocationBar::LocationBar(QAction* back, QAction* forward, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("locationBar"));
  auto* box = new QHBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  for (QAction* a : {back, forward}) {
    auto* b = new QToolButton(this);
    b->setDefaultAction(a);
    b->setAutoRaise(true);
    box->addWidget(b);
  }
  box->addSpacing(6);
  path_ = new QHBoxLayout;
  path_->setSpacing(0);
  box->addLayout(path_);
  box->addStretch(1);
}

QToolButton* LocationBar::Button(const QString& text) {
  auto* b = new QToolButton(this);
  b->setText(text);
  b->setAutoRaise(true);
  b->setToolButtonStyle(Qt::ToolButtonTextOnly);
  path_->addWidget(b);
  parts_.append(b);
  return b;
}

void LocationBar::Clear() {
  for (QWidget* w : parts_) delete w;
  parts_.clear();
  levels_.clear();
}

void LocationBar::Show(const QString& partition, const QStringList& names, bool partitionsOnly) {
  Clear();
  if (!partition.isEmpty() || partitionsOnly) {
    QToolButton* p =
        Button(partitionsOnly ? QString::fromLatin1(app_text::kPartitionsButton) : partition);
    p->setToolTip(QString::fromLatin1(app_text::kPartitionsHint));
    connect(p, &QToolButton::clicked, this, [this] { emit partitionsChosen(); });
    if (partitionsOnly) {
      p->setEnabled(false);  // they are what the list shows
      return;
    }
  }
  // "/" is the root's button; each name after it its folder's, "/" between them.
  QToolButton* root = Button(QStringLiteral("/"));
  levels_.append(root);
  connect(root, &QToolButton::clicked, this, [this] { emit levelChosen(0); });
  for (int i = 0; i < names.size(); ++i) {
    if (i > 0) {
      auto* slash = new QLabel(QStringLiteral("/"), this);
      path_->addWidget(slash);
      parts_.append(slash);
    }
    QToolButton* b = Button(names[i]);
    levels_.append(b);
    connect(b, &QToolButton::clicked, this, [this, i] { emit levelChosen(i + 1); });
  }
  // The folder shown is where the list is: in bold, its button does nothing.
  QFont bold = levels_.back()->font();
  bold.setBold(true);
  levels_.back()->setFont(bold);
}

QString LocationBar::Text() const {
  QString text;
  for (QWidget* w : parts_) {
    if (auto* b = qobject_cast<QToolButton*>(w)) text += b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) text += l->text();
    if (!levels_.isEmpty() && w == parts_.front() && w != levels_.front()) text += QLatin1Char(' ');
  }
  return text;
}

QToolButton* LocationBar::LevelButton(int level) const {
  return level >= 0 && level < levels_.size() ? levels_[level] : nullptr;
}

}  // namespace quarnel
