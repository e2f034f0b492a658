#include "app/dialogs/number_box.h"

#include <QLineEdit>
#include <algorithm>

#include "tools/write_back.h"

namespace quarnel {

NumberBox::NumberBox(QWidget* parent) : QAbstractSpinBox(parent) {
  setText(QStringLiteral("0"));
  setKeyboardTracking(false);
}

void NumberBox::SetRange(std::int64_t minimum, std::int64_t maximum) {
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
}

std::optional<std::int64_t> NumberBox::Value() const {
  return tools::ParseSectorNumber(text().toStdString());
}

void NumberBox::setText(const QString& text) { lineEdit()->setText(text); }

void NumberBox::stepBy(int steps) {
  const std::int64_t from = std::clamp(Value().value_or(minimum_), minimum_, maximum_);
  const std::int64_t to = std::clamp(from + steps, minimum_, maximum_);
  setText(QString::number(to));
  emit stepped();
}

QAbstractSpinBox::StepEnabled NumberBox::stepEnabled() const {
  const std::optional<std::int64_t> v = Value();
  if (!v) return StepUpEnabled | StepDownEnabled;
  StepEnabled e = StepNone;
  if (*v < maximum_) e |= StepUpEnabled;
  if (*v > minimum_) e |= StepDownEnabled;
  return e;
}

// Anything may be typed; a text that is not a number is refused with a message when it is used.
QValidator::State NumberBox::validate(QString&, int&) const { return QValidator::Acceptable; }

}  // namespace quarnel
