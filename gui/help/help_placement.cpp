#include "help_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <array>
#include <optional>

namespace {

enum class Side { Right, Left, Below, Above };
constexpr std::array<Side, 4> kSides = {Side::Right, Side::Left, Side::Below, Side::Above};

// The free part of the screen on one side of the owner (possibly empty).
QRect freeArea(Side side, const QRect& owner, const QRect& screen) {
  QRect area = screen;
  switch (side) {
    case Side::Right:
      area.setLeft(owner.right() + 1);
      break;
    case Side::Left:
      area.setRight(owner.left() - 1);
      break;
    case Side::Below:
      area.setTop(owner.bottom() + 1);
      break;
    case Side::Above:
      area.setBottom(owner.top() - 1);
      break;
  }
  return area.intersected(screen);
}

int clamped(int value, int low, int high) { return std::max(low, std::min(value, high)); }

// A window of `size` against the owner's side, then moved into the screen.
QRect against(Side side, QSize size, const QRect& owner, const QRect& screen) {
  QPoint at;
  switch (side) {
    case Side::Right:
      at = {owner.right() + 1, owner.top()};
      break;
    case Side::Left:
      at = {owner.left() - size.width(), owner.top()};
      break;
    case Side::Below:
      at = {owner.left(), owner.bottom() + 1};
      break;
    case Side::Above:
      at = {owner.left(), owner.top() - size.height()};
      break;
  }
  at.setX(clamped(at.x(), screen.left(), screen.right() + 1 - size.width()));
  at.setY(clamped(at.y(), screen.top(), screen.bottom() + 1 - size.height()));
  return {at, size};
}

long long area(const QRect& rect) {
  return rect.isEmpty() ? 0 : static_cast<long long>(rect.width()) * rect.height();
}

}  // namespace

QRect placeHelpWindow(const QRect& owner, const QRect& screen, QSize preferred, QSize minimum) {
  const QSize largest = preferred.boundedTo(screen.size());
  // Beside the owner at the preferred size.
  for (Side side : kSides) {
    const QRect free = freeArea(side, owner, screen);
    if (free.width() >= largest.width() && free.height() >= largest.height())
      return against(side, largest, owner, screen);
  }
  // Beside it, smaller: the side that leaves the largest window.
  std::optional<QRect> best;
  for (Side side : kSides) {
    const QSize fitted = largest.boundedTo(freeArea(side, owner, screen).size());
    if (fitted.width() < minimum.width() || fitted.height() < minimum.height()) continue;
    const QRect placed = against(side, fitted, owner, screen);
    if (!best || area(placed) > area(*best)) best = placed;
  }
  if (best) return *best;
  // No room beside it: cover as little of it as the screen allows.
  QRect least = against(kSides[0], largest, owner, screen);
  for (Side side : kSides) {
    const QRect placed = against(side, largest, owner, screen);
    if (area(placed.intersected(owner)) < area(least.intersected(owner))) least = placed;
  }
  return least;
}

void placeBesideOwner(QWidget* window, QWidget* owner, QSize preferred, QSize minimum) {
  QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect ownerFrame;
  QMargins frame;
  if (owner != nullptr) {
    ownerFrame = owner->frameGeometry();
    const QRect inside = owner->geometry();
    frame = QMargins(inside.left() - ownerFrame.left(), inside.top() - ownerFrame.top(),
                     ownerFrame.right() - inside.right(), ownerFrame.bottom() - inside.bottom());
  }
  const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
  // Never smaller than its layout lets it be, or it would grow past its place.
  const QSize smallest = minimum.expandedTo(window->minimumSizeHint()) + frameSize;
  const QRect placed =
      placeHelpWindow(ownerFrame, screen->availableGeometry(), preferred + frameSize, smallest);
  window->setGeometry(placed.marginsRemoved(frame));
}
