// Fill plans: pure rectangle arithmetic, then one copy loop. The plan never
// reaches outside its area, whatever the piece's size.
#include "skin/controls/twFillPlan.h"

#include <algorithm>

#include "skin/data/twSkinIni.h"
#include "skin/draw/twUtils.h"

TFillMode FillModeOf(bool stretchEffect, int stretchType) {
  if (!stretchEffect) return TFillMode::Tile;
  if (stretchType == twtok::sthorz) return TFillMode::Horz;
  if (stretchType == twtok::stvert) return TFillMode::Vert;
  return TFillMode::Full;
}

std::vector<TFillBlit> PlanFill(const TRect& piece, const TRect& area, TFillMode mode) {
  std::vector<TFillBlit> plan;
  if (piece.IsEmpty() || area.IsEmpty()) return plan;
  const int pw = piece.Width(), ph = piece.Height();
  // Steps along one axis: a piece-sized step 1:1, the last one cut.
  auto steps = [](int from, int to, int step, auto each) {
    for (int a = from; a < to; a += step) each(a, std::min(step, to - a));
  };
  switch (mode) {
    case TFillMode::Full:
      plan.push_back({piece, area});
      break;
    case TFillMode::Horz:
      steps(area.Left, area.Right, pw, [&](int x, int w) {
        plan.push_back({TRect{piece.Left, piece.Top, piece.Left + w, piece.Bottom}, TRect{x, area.Top, x + w, area.Bottom}});
      });
      break;
    case TFillMode::Vert:
      steps(area.Top, area.Bottom, ph, [&](int y, int h) {
        plan.push_back({TRect{piece.Left, piece.Top, piece.Right, piece.Top + h}, TRect{area.Left, y, area.Right, y + h}});
      });
      break;
    case TFillMode::Tile:
      steps(area.Top, area.Bottom, ph, [&](int y, int h) {
        steps(area.Left, area.Right, pw, [&](int x, int w) {
          plan.push_back({TRect{piece.Left, piece.Top, piece.Left + w, piece.Top + h}, TRect{x, y, x + w, y + h}});
        });
      });
      break;
  }
  return plan;
}

void RunFill(QImage& face, const QImage& picture, const std::vector<TFillBlit>& plan, const QRect& clip) {
  const QRect visible = clip & face.rect();
  if (visible.isEmpty() || picture.isNull()) return;
  // A view of the visible part keeps each pixel's place in the plan, and
  // copies skip what lies outside it.
  QImage view(face.scanLine(visible.top()) + qsizetype(visible.left()) * 4, visible.width(), visible.height(),
              face.bytesPerLine(), face.format());
  const int dx = visible.left(), dy = visible.top();
  for (const TFillBlit& b : plan) {
    const TRect t = b.Target;
    if (t.Right <= visible.left() || t.Left > visible.right() || t.Bottom <= visible.top() || t.Top > visible.bottom())
      continue;
    CopyPixels(view, TRect{t.Left - dx, t.Top - dy, t.Right - dx, t.Bottom - dy}, picture, b.Source);
  }
}
