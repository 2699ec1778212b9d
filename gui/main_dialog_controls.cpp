// Building the window's controls from the control table.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "control_table.h"
#include "dialog_units.h"
#include "main_dialog.h"

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
    case ControlKind::Radio: {
      auto* radio = new QRadioButton(caption, parent);
      radio->setAutoExclusive(false);  // the three sets are button groups
      return radio;
    }
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

// A label whose text is wider than its rectangle in the dialog font (fonts
// differ in how wide their text runs against their average letter) is set in
// a condensed face of that font, and if need be a little smaller, so the
// whole text shows inside the rectangle instead of being cut off.
void fitLabelText(QLabel* label) {
  const int available = label->width();
  QFont font = label->font();
  auto fits = [&](const QFont& f) {
    return QFontMetrics(f).horizontalAdvance(label->text()) <= available;
  };
  if (fits(font)) return;
  for (int stretch : {QFont::SemiCondensed, QFont::Condensed}) {
    font.setStretch(stretch);
    if (fits(font)) break;
  }
  const bool inPoints = font.pointSizeF() > 0;
  const qreal original = inPoints ? font.pointSizeF() : font.pixelSize();
  for (qreal size = original; !fits(font) && size > original * 0.75; size -= inPoints ? 0.25 : 1) {
    if (inPoints) {
      font.setPointSizeF(size);
    } else {
      font.setPixelSize(static_cast<int>(size));
    }
  }
  label->setFont(font);
}

Qt::FocusPolicy focusPolicyOf(const ControlTemplate& t) {
  if (t.kind == ControlKind::Label || t.kind == ControlKind::GroupBox) return Qt::NoFocus;
  return (t.style & kTabStop) ? Qt::StrongFocus : Qt::ClickFocus;
}

// The names screen readers announce for the controls that have neither a
// caption nor a label.
QString unlabelledName(int id) {
  switch (id) {
    case ctl::ParameterGroup:
      return QStringLiteral("Parameters");
    case ctl::OptionsGroup:
      return QStringLiteral("Options");
    case ctl::OutputList:
      return QStringLiteral("Output");
    default:
      return {};
  }
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
  const DialogBaseUnits base = dialogBaseUnits(font());
  QWidget* previous = nullptr;
  for (const ControlTemplate& t : mainDialogControls()) {
    QWidget* widget = createWidget(t, this);
    widget->setObjectName(QStringLiteral("control%1").arg(t.id));
    widget->setGeometry(controlGeometry(t, widget, base));
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
    QString name = QString::fromLatin1(t.caption);
    if (t.labelId != 0) {
      auto* label = static_cast<QLabel*>(controls_.value(t.labelId));
      label->setBuddy(widget);
      name = label->text();
    }
    if (name.isEmpty()) name = unlabelledName(t.id);
    widget->setAccessibleName(name);
    if (t.kind == ControlKind::Label) fitLabelText(static_cast<QLabel*>(widget));
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
