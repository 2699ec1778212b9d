// Moving the parameters between the fields and the values, and the Memory
// Required display that follows the network's size.
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <limits>

#include "gui/rules/control_table.h"
#include "gui/rules/field_rules.h"
#include "main_dialog.h"

namespace {

int lengthOf(const QString& text) {
  return static_cast<int>(std::min<qsizetype>(text.size(), std::numeric_limits<int>::max()));
}

// Puts a text into a field. A field with a typing limit still shows a longer
// stored text in full; the limit then applies from that length on.
void setFieldText(QLineEdit* edit, const QString& text) {
  if (lengthOf(text) > edit->maxLength()) edit->setMaxLength(lengthOf(text));
  edit->setText(text);
}

void applyTypingLimit(QLineEdit* edit, int limit) {
  edit->setMaxLength(std::max(limit, lengthOf(edit->text())));
}

// One pass over the fields in their order. A read stops at the first field
// that fails: the fields before it have their new values, it and the fields
// after it keep their old ones.
class FieldExchange {
 public:
  FieldExchange(CMainDialog& dialog, bool read, const DialogEnvironment& environment)
      : dialog_(dialog), read_(read), environment_(environment) {}

  bool failed() const { return failed_; }

  void unsignedField(int id, std::uint32_t& value) {
    if (failed_) return;
    QLineEdit* edit = dialog_.controlAs<QLineEdit>(id);
    if (!read_) {
      setFieldText(edit, QString::fromStdString(unsignedFieldText(value)));
      return;
    }
    if (const auto read = readUnsignedField(numericText(edit).constData())) {
      value = *read;
    } else {
      fail(edit, QString::fromLatin1(kEnterPositiveInteger));
    }
  }

  void realField(int id, double& value) {
    if (failed_) return;
    QLineEdit* edit = dialog_.controlAs<QLineEdit>(id);
    if (!read_) {
      setFieldText(edit, QString::fromStdString(realFieldText(value)));
      return;
    }
    if (const auto read = readRealField(numericText(edit).constData())) {
      value = *read;
    } else {
      fail(edit, QString::fromLatin1(kEnterNumber));
    }
  }

  // `limit` 0: no limit.
  void textField(int id, std::string& value, int limit) {
    if (failed_) return;
    QLineEdit* edit = dialog_.controlAs<QLineEdit>(id);
    if (!read_) {
      setFieldText(edit, QString::fromStdString(value));
      if (limit != 0) applyTypingLimit(edit, limit);
      return;
    }
    const QString text = edit->text();
    if (limit != 0 && text.size() > limit) {
      fail(edit, QString::fromStdString(textLimitMessage(limit)));
      return;
    }
    value = text.toStdString();
    if (limit != 0) applyTypingLimit(edit, limit);
  }

 private:
  // A numeric field is seen through a buffer of 32 characters.
  static QByteArray numericText(const QLineEdit* edit) {
    return edit->text().toUtf8().left(kNumericFieldBuffer - 1);
  }

  void fail(QLineEdit* edit, const QString& message) {
    failed_ = true;
    environment_.showMessageBox(&dialog_, QMessageBox::Warning, programName(), message);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
  }

  CMainDialog& dialog_;
  bool read_;
  const DialogEnvironment& environment_;
  bool failed_ = false;
};

}  // namespace

bool CMainDialog::UpdateData(bool saveAndValidate) {
  // A text change made while an exchange runs must not start another one.
  if (exchanging_) return false;
  exchanging_ = true;
  FieldExchange exchange(*this, saveAndValidate, environment_);
  exchangeRunFields(exchange, values_);
  exchanging_ = false;
  return !exchange.failed();
}

void CMainDialog::setFieldText(int id, const QString& text) {
  ::setFieldText(controlAs<QLineEdit>(id), text);
}

void CMainDialog::updateMemoryDisplay() {
  const bool doublePrecision = isChecked(ctl::Double);
  UpdateData(true);  // a field that fails has told the user; the last good values count
  const std::string text =
      memoryRequiredText(values_.numberOfNeurons, values_.inputWindowSize, doublePrecision);
  controlAs<QLineEdit>(ctl::Memory)->setText(QString::fromStdString(text));
}

void CMainDialog::onSizeFieldChanged() {
  // While the program fills the fields, some still hold texts a read would
  // refuse; the display is brought up to date once they are all filled.
  if (fillingFields_) return;
  updateMemoryDisplay();
}
