#include "help_window_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "help_window.h"

namespace {

QAccessibleInterface* helpWindowAccessible(const QString&, QObject* object) {
  auto* window = dynamic_cast<HelpWindow*>(object);
  if (window == nullptr) return nullptr;
  return new QAccessibleWidget(window, QAccessible::Window, window->windowTitle());
}

}  // namespace

void installHelpWindowAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(helpWindowAccessible);
    return true;
  }();
  (void)installed;
}
