#include "radio_button.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class RadioButtonAccessible : public QAccessibleWidget {
 public:
  explicit RadioButtonAccessible(RadioButton* button)
      : QAccessibleWidget(button, QAccessible::RadioButton) {}

  QString text(QAccessible::Text kind) const override {
    QString text = QAccessibleWidget::text(kind);
    if (kind == QAccessible::Name && text.isEmpty()) text = button()->text().remove(u'&');
    return text;
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = button()->isChecked();
    return state;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (button()->isEnabled()) names.prepend(toggleAction());
    return names;
  }

  void doAction(const QString& action) override {
    if (action == toggleAction() || action == pressAction()) {
      button()->click();  // does nothing while the button is disabled
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  RadioButton* button() const { return static_cast<RadioButton*>(widget()); }
};

QAccessibleInterface* radioButtonAccessible(const QString&, QObject* object) {
  auto* button = dynamic_cast<RadioButton*>(object);
  return button != nullptr ? new RadioButtonAccessible(button) : nullptr;
}

}  // namespace

RadioButton::RadioButton(const QString& text, QWidget* parent) : QRadioButton(parent) {
  // Before the text is set: that already makes a screen reader look at it.
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(radioButtonAccessible);
    return true;
  }();
  (void)factoryInstalled;
  setText(text);
}
