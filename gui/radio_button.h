#pragma once
#include <QRadioButton>

// A radio button that tells a selection made by a click (mouse, Space, an
// arrow key within its group) from one made any other way: a screen reader's
// toggle action or the program's setChecked. A click changes the selection
// from inside nextCheckState() and then emits clicked(); a handler that must
// run once per click and once per selection without a click listens to
// clicked() and to toggled(), and lets toggled() pass while
// selectingByClick() says clicked() is on its way.
class RadioButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

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
