#pragma once
#include <QHash>
#include <QObject>
#include <QString>

class QFontMetrics;
class QWidget;

// Breaks `text` at blanks into lines no wider than `maxWidth` pixels in
// `metrics`; a single word wider than that stays whole on its own line.
QString wrapTipText(const QString& text, const QFontMetrics& metrics, int maxWidth);

// The dialog's tooltips: one tip per control, shown when the pointer rests on
// it, wrapped to the maximum tip width. The controls are not changed; the
// tips are watched for through an event filter.
class CToolTipCtrl : public QObject {
 public:
  explicit CToolTipCtrl(QObject* owner);

  void addTool(QWidget* control, const QString& text);
  void setMaxTipWidth(int pixels);
  void activate(bool active);

  QString tipText(const QWidget* control) const;  // as shown, wrapped

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QHash<const QObject*, QString> texts_;
  int maxTipWidth_ = -1;
  bool active_ = false;
};
