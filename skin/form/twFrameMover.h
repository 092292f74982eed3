#pragma once
// Moves and sizes a frameless window by the pointer, fed with hit codes and
// global points as Qt's resize handler is: a press starts, each motion
// answers the window's new bounds, the release ends. It knows nothing of
// the skin, and the window applies what it answers.
//
//   Idle --PressCaption--> Pending --first motion--> Moving --Release--> Idle
//   Idle --PressSizing--> Sizing --Release--> Idle
//   Pending / Moving / Sizing --HandOver (the window manager took it)--> Idle
#include <QPoint>
#include <QRect>
#include <QSize>

#include "skin/form/twFrameGeometry.h"

struct TtwMoverLimits {
  QSize Minimum, Maximum;
  QRect WorkArea;      // where magnetic edges snap
  int MagneticSize = 0;  // 0: no snapping
};

class TtwFrameMover {
 public:
  enum class Mode { Idle, Pending, Moving, Sizing };
  Mode State() const { return mode_; }
  bool Dragging() const { return mode_ == Mode::Moving || mode_ == Mode::Sizing; }
  int SizingHit() const { return hit_; }

  // A press on the caption: the move starts at the first motion, so that a
  // double click on the caption stays a double click.
  void PressCaption(QPoint global, const QRect& bounds);
  // A press on a sizing part (a hit code of the frame's map).
  void PressSizing(int hit, QPoint global, const QRect& bounds);
  // The first motion of a pending move: true when the pointer has moved.
  bool StartsMove(QPoint global) const { return mode_ == Mode::Pending && global != start_; }
  void BeginMove() { mode_ = Mode::Moving; }
  // The window manager carries on with the drag.
  void HandOver() { mode_ = Mode::Idle; }
  // The window's bounds for the pointer at global: moved with the pointer
  // from the first pixel (snapped to magnetic edges), or sized within the limits.
  QRect Bounds(QPoint global, const TtwMoverLimits& limits);
  void Release() { mode_ = Mode::Idle; }
  // A size change clears the snapped edges.
  void Unsnap();

 private:
  Mode mode_ = Mode::Idle;
  int hit_ = 0;
  QPoint start_;
  QRect startBounds_;
  TtwMagnetState magnet_;
};
