#pragma once
#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

// A request for help as the window receives it: on a control of the window,
// with its identifier.
struct HelpInfo {
  int controlId = 0;
  QWidget* control = nullptr;
  QPoint mousePosition;  // global; where the pointer was
};

// Context-help mode of one window: the pointer becomes a question mark and
// the next click on the window asks for help on the control under it instead
// of reaching the control, enabled or not. Escape, or a click elsewhere,
// leaves the mode without a request.
class ContextHelpMode : public QObject {
 public:
  using Request = std::function<void(QWidget* widgetUnderPointer, QPoint globalPosition)>;
  ContextHelpMode(QWidget* window, Request request);
  ~ContextHelpMode() override;

  void enter();
  void leave();
  bool isActive() const { return active_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void stopWatching();

  QWidget* window_;
  Request request_;
  bool active_ = false;
  bool watching_ = false;           // the application's events pass through here
  bool swallowingRelease_ = false;  // the click that asked is still going on
};
