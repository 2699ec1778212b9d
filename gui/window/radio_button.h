#pragma once
#include <QRadioButton>

// A radio button that tells a selection made by a click (mouse, Space, an
// arrow key within its group, a screen reader's action) from one made by the
// program's setChecked. A click changes the selection from inside
// nextCheckState() and then emits clicked(); a handler that must run once per
// click and once per selection without a click listens to clicked() and to
// toggled(), and lets toggled() pass while selectingByClick() says clicked()
// is on its way.
//
// To a screen reader it is a radio button whose action clicks it, as a click
// with the mouse does: on the button already selected too, which a toggle
// would refuse.
class RadioButton : public QRadioButton {
 public:
  RadioButton(const QString& text, QWidget* parent);

  bool selectingByClick() const { return selectingByClick_; }

 protected:
  void nextCheckState() override {
    selectingByClick_ = true;
    QRadioButton::nextCheckState();
    selectingByClick_ = false;
  }

 private:
  bool selectingByClick_ = false;
};
