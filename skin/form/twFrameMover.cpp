// The pointer's moves and sizes of a frameless window as pure steps from a
// press: every answer is computed from the press and the pointer alone, so a
// lost motion event loses no distance.
#include "skin/form/twFrameMover.h"

#include <algorithm>

void TtwFrameMover::PressCaption(QPoint global, const QRect& bounds) {
  mode_ = Mode::Pending;
  start_ = global;
  startBounds_ = bounds;
  magnet_ = TtwMagnetState{};
  magnet_.Remembered = global;
}

void TtwFrameMover::PressSizing(int hit, QPoint global, const QRect& bounds) {
  mode_ = Mode::Sizing;
  hit_ = hit;
  start_ = global;
  startBounds_ = bounds;
}

void TtwFrameMover::Unsnap() {
  for (bool& snapped : magnet_.Snapped) snapped = false;
}

QRect TtwFrameMover::Bounds(QPoint global, const TtwMoverLimits& limits) {
  const QPoint d = global - start_;
  if (mode_ != Mode::Sizing) {
    QRect r = startBounds_.translated(d);
    if (limits.MagneticSize > 0)
      r.moveTopLeft(MagneticPosition(r, limits.WorkArea, global, limits.MagneticSize, magnet_));
    return r;
  }
  QRect r = startBounds_;
  const QSize minS = limits.Minimum, maxS = limits.Maximum;
  const bool left = hit_ == htLeft || hit_ == htTopLeft || hit_ == htBottomLeft;
  const bool right = hit_ == htRight || hit_ == htTopRight || hit_ == htBottomRight;
  const bool top = hit_ == htTop || hit_ == htTopLeft || hit_ == htTopRight;
  const bool bottom = hit_ == htBottom || hit_ == htBottomLeft || hit_ == htBottomRight;
  if (left) r.setLeft(std::clamp(r.left() + d.x(), r.right() + 1 - maxS.width(), r.right() + 1 - minS.width()));
  if (right) r.setWidth(std::clamp(r.width() + d.x(), minS.width(), maxS.width()));
  if (top) r.setTop(std::clamp(r.top() + d.y(), r.bottom() + 1 - maxS.height(), r.bottom() + 1 - minS.height()));
  if (bottom) r.setHeight(std::clamp(r.height() + d.y(), minS.height(), maxS.height()));
  return r;
}
