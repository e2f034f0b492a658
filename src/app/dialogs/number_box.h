// A number box with up/down arrows that keeps what the user types as it stands, a decimal number
// or a hexadecimal one written with a leading "$" (the program's rule for every number box). The
// text is read when it is used: on Enter or when the box loses the focus (editingFinished), or by
// the dialog's own command. The arrows and the Up/Down keys step the number read, within the
// box's range, and write it back in decimal.
#pragma once

#include <QAbstractSpinBox>
#include <cstdint>
#include <optional>

class QLineEdit;

namespace quarnel {

class NumberBox : public QAbstractSpinBox {
  Q_OBJECT

 public:
  explicit NumberBox(QWidget* parent = nullptr);

  void SetRange(std::int64_t minimum, std::int64_t maximum);
  // The number typed; nullopt when the text is not a number.
  std::optional<std::int64_t> Value() const;
  void setText(const QString& text);
  QLineEdit* edit() const { return lineEdit(); }

  void stepBy(int steps) override;

 signals:
  // An arrow or an Up/Down key changed the number.
  void stepped();

 protected:
  StepEnabled stepEnabled() const override;
  QValidator::State validate(QString& input, int& pos) const override;

 private:
  std::int64_t minimum_ = 0;
  std::int64_t maximum_ = INT32_MAX;
};

}  // namespace quarnel
