#include "tool_tip_ctrl.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QStringList>
#include <QToolTip>
#include <QWidget>

QString wrapTipText(const QString& text, const QFontMetrics& metrics, int maxWidth) {
  if (maxWidth < 0) return text;
  QStringList lines;
  QString line;
  for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > maxWidth) {
      lines.append(line);
      line = word;
    } else {
      line = candidate;
    }
  }
  if (!line.isEmpty()) lines.append(line);
  return lines.join(QLatin1Char('\n'));
}

CToolTipCtrl::CToolTipCtrl(QObject* owner) : QObject(owner) {}

void CToolTipCtrl::addTool(QWidget* control, const QString& text) {
  texts_.insert(control, text);
  control->installEventFilter(this);
  // Screen readers announce the tip as the control's description.
  control->setAccessibleDescription(text);
}

void CToolTipCtrl::setMaxTipWidth(int pixels) { maxTipWidth_ = pixels; }

void CToolTipCtrl::activate(bool active) { active_ = active; }

QString CToolTipCtrl::tipText(const QWidget* control) const {
  const auto found = texts_.find(control);
  if (found == texts_.end()) return {};
  return wrapTipText(found.value(), QFontMetrics(QToolTip::font()), maxTipWidth_);
}

bool CToolTipCtrl::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip || !active_ || !texts_.contains(watched)) {
    return QObject::eventFilter(watched, event);
  }
  auto* control = static_cast<QWidget*>(watched);
  const auto* help = static_cast<QHelpEvent*>(event);
  QToolTip::showText(help->globalPos(), tipText(control), control);
  return true;
}
