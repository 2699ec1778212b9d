// Building the window's controls from the control table.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "dialog_units.h"
#include "gui/rules/control_table.h"
#include "main_dialog.h"
#include "radio_button.h"

namespace {

// An edit that takes only digit keystrokes. Text set by the program, or
// pasted, is not filtered: reading the field checks it.
class DigitsOnlyEdit : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const QString text = event->text();
    const bool typesCharacter = !text.isEmpty() && text.at(0).isPrint() &&
                                !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (typesCharacter && (text.at(0) < u'0' || text.at(0) > u'9')) {
      event->accept();  // refused, as the platform's digits-only edit does
      return;
    }
    QLineEdit::keyPressEvent(event);
  }
};

QWidget* createWidget(const ControlTemplate& t, QWidget* parent) {
  const QString caption = QString::fromLatin1(t.caption);
  switch (t.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(caption, parent);
      label->setAlignment(Qt::AlignCenter);
      return label;
    }
    case ControlKind::Edit: {
      QLineEdit* edit =
          (t.style & kDigitsOnly) ? new DigitsOnlyEdit(parent) : new QLineEdit(parent);
      edit->setReadOnly(t.style & kReadOnly);
      return edit;
    }
    case ControlKind::DropDownList:
      return new QComboBox(parent);
    case ControlKind::PushButton:
    case ControlKind::IconButton: {
      auto* button =
          new QPushButton(t.kind == ControlKind::IconButton ? QString() : caption, parent);
      button->setAutoDefault(false);
      button->setDefault(t.style & kDefaultButton);
      return button;
    }
    case ControlKind::GroupBox:
      return new QGroupBox(caption, parent);
    case ControlKind::Radio:
      // Left auto-exclusive: a button in a button group takes its exclusion
      // from the group, and screen readers announce only auto-exclusive
      // checkable buttons as radio buttons.
      return new RadioButton(caption, parent);
    case ControlKind::CheckBox:
      return new QCheckBox(caption, parent);
    case ControlKind::ListBox: {
      auto* list = new QListWidget(parent);
      list->setSortingEnabled(false);  // lines stay in the order they arrive
      list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      return list;
    }
  }
  return nullptr;
}

// The rectangle a control occupies. A drop-down list's rectangle includes its
// dropped list; closed, it is as tall as the font needs.
QRect controlGeometry(const ControlTemplate& t, QWidget* widget, const DialogBaseUnits& base) {
  QRect rect = dialogRectToPixels(t.rect, base);
  if (t.kind == ControlKind::DropDownList)
    rect.setHeight(std::min(rect.height(), widget->sizeHint().height()));
  return rect;
}

Qt::FocusPolicy focusPolicyOf(const ControlTemplate& t) {
  if (t.kind == ControlKind::Label || t.kind == ControlKind::GroupBox) return Qt::NoFocus;
  return (t.style & kTabStop) ? Qt::StrongFocus : Qt::ClickFocus;
}

// A set of radio buttons with its label. On screen nothing but the place the
// buttons sit in; to a screen reader a group named by the label, so each
// button is announced in its group ("Precision, Double, radio button").
class RadioGroupPanel : public QWidget {
 public:
  RadioGroupPanel(const QString& name, QWidget* parent) : QWidget(parent), name_(name) {}
  const QString& groupName() const { return name_; }

 private:
  QString name_;
};

QAccessibleInterface* radioGroupAccessible(const QString&, QObject* object) {
  auto* panel = dynamic_cast<RadioGroupPanel*>(object);
  if (panel == nullptr) return nullptr;
  return new QAccessibleWidget(panel, QAccessible::Grouping, panel->groupName());
}

struct RadioSet {
  int labelId;
  std::initializer_list<int> buttons;
};

const RadioSet kRadioSets[] = {{ctl::PrecisionLabel, {ctl::Single, ctl::Double}},
                               {ctl::InstructionSetLabel, {ctl::X87, ctl::Nnvec2, ctl::Sse}},
                               {ctl::PriorityLabel, {ctl::Idle, ctl::Normal, ctl::High}}};

// The panel of each radio set, placed over its label and buttons; keyed by
// the ids of the controls it holds.
QHash<int, QWidget*> createRadioPanels(QWidget* dialog, const DialogBaseUnits& base) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(radioGroupAccessible);
    return true;
  }();
  (void)factoryInstalled;
  QHash<int, QWidget*> panels;
  for (const RadioSet& set : kRadioSets) {
    const ControlTemplate* label = findControlTemplate(set.labelId);
    QRect area = dialogRectToPixels(label->rect, base);
    for (int id : set.buttons) area |= dialogRectToPixels(findControlTemplate(id)->rect, base);
    auto* panel = new RadioGroupPanel(QString::fromLatin1(label->caption).remove(u':'), dialog);
    panel->setGeometry(area);
    panels.insert(set.labelId, panel);
    for (int id : set.buttons) panels.insert(id, panel);
  }
  return panels;
}

QButtonGroup* makeGroup(QObject* owner, const QHash<int, QWidget*>& controls,
                        std::initializer_list<int> ids) {
  auto* group = new QButtonGroup(owner);
  group->setExclusive(true);
  for (int id : ids) group->addButton(static_cast<QRadioButton*>(controls.value(id)), id);
  return group;
}

}  // namespace

void CMainDialog::createControls() {
  const DialogBaseUnits base = programBaseUnits(font());
  const QHash<int, QWidget*> panels = createRadioPanels(this, base);
  QWidget* previous = nullptr;
  for (const ControlTemplate& t : mainDialogControls()) {
    QWidget* panel = panels.value(t.id);
    QWidget* widget = createWidget(t, panel != nullptr ? panel : this);
    widget->setObjectName(QStringLiteral("control%1").arg(t.id));
    QRect rect = controlGeometry(t, widget, base);
    if (panel != nullptr) rect.translate(-panel->pos());
    widget->setGeometry(rect);
    widget->setFocusPolicy(focusPolicyOf(t));
    widget->setEnabled(!(t.style & kStartsDisabled));
    controls_.insert(t.id, widget);
    if (widget->focusPolicy() != Qt::NoFocus) {
      if (previous != nullptr) QWidget::setTabOrder(previous, widget);
      previous = widget;
    }
  }
  for (const ControlTemplate& t : mainDialogControls()) {
    QWidget* widget = controls_.value(t.id);
    if (t.labelId != 0) static_cast<QLabel*>(controls_.value(t.labelId))->setBuddy(widget);
    const QString name = QString::fromStdString(accessibleNameOf(t));
    widget->setAccessibleName(name);
    // Group boxes are frames drawn behind the controls they surround.
    if (t.kind == ControlKind::GroupBox) widget->lower();
  }
  precisionGroup_ = makeGroup(this, controls_, {ctl::Single, ctl::Double});
  instructionSetGroup_ = makeGroup(this, controls_, {ctl::X87, ctl::Nnvec2, ctl::Sse});
  priorityGroup_ = makeGroup(this, controls_, {ctl::Idle, ctl::Normal, ctl::High});
  setFixedSize(dialogUnitsToPixels(kMainDialogWidth, base.width, 4),
               dialogUnitsToPixels(kMainDialogHeight, base.height, 8));
}

void CMainDialog::fillModeList() {
  auto* modes = controlAs<QComboBox>(ctl::ModeList);
  for (const char* name : kModeNames) modes->addItem(QString::fromLatin1(name));
}
