#include "context_help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

ContextHelpMode::ContextHelpMode(QWidget* window, Request request)
    : QObject(window), window_(window), request_(std::move(request)) {}

ContextHelpMode::~ContextHelpMode() {
  if (active_) QApplication::restoreOverrideCursor();
}

void ContextHelpMode::enter() {
  if (active_) return;
  active_ = true;
  swallowingRelease_ = false;
  if (!watching_) {
    qApp->installEventFilter(this);
    watching_ = true;
  }
  QApplication::setOverrideCursor(Qt::WhatsThisCursor);
}

void ContextHelpMode::leave() {
  if (!active_) return;
  active_ = false;
  QApplication::restoreOverrideCursor();
  if (!swallowingRelease_) stopWatching();
}

void ContextHelpMode::stopWatching() {
  if (watching_) qApp->removeEventFilter(this);
  watching_ = false;
}

bool ContextHelpMode::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (!active_) return false;
      const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
      if (widget->window() != window_) {
        leave();  // a click elsewhere ends the mode and goes where it was meant
        return false;
      }
      // The control under the pointer, also when it is disabled and so never
      // receives the click itself.
      QWidget* target = window_->childAt(window_->mapFromGlobal(global));
      swallowingRelease_ = true;
      leave();
      request_(target != nullptr ? target : window_, global);
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (swallowingRelease_) {
        swallowingRelease_ = false;
        if (!active_) stopWatching();
        return true;
      }
      return false;
    case QEvent::ContextMenu:
      return active_ && widget->window() == window_;
    case QEvent::KeyPress:
      if (active_ && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        leave();
        return true;
      }
      return false;
    default:
      return false;
  }
}
