// Fill plans: pure rectangle arithmetic, then one copy loop. The plan never
// reaches outside its area, whatever the piece's size, and stays short for a
// tiny piece over a large area.
#include "skin/controls/twFillPlan.h"

#include <algorithm>

#include "skin/data/twSkinIni.h"
#include "skin/draw/twGuard.h"
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

TFillSource WidenTiledPiece(const QImage& picture, const TRect& piece, TFillMode mode) {
  const int pw = piece.Width(), ph = piece.Height();
  // A piece reaching off its picture keeps the careful copies of the plan.
  if (picture.isNull() || piece.IsEmpty() || !picture.rect().contains(piece.ToQ())) return {picture, piece};
  auto repeats = [](bool tiled, int span) {
    return tiled && span < kMinFillSpanPx ? (kMinFillSpanPx + span - 1) / span : 1;
  };
  const int nx = repeats(mode == TFillMode::Tile || mode == TFillMode::Horz, pw);
  const int ny = repeats(mode == TFillMode::Tile || mode == TFillMode::Vert, ph);
  if (nx == 1 && ny == 1) return {picture, piece};
  const QImage::Format fmt =
      picture.format() == QImage::Format_ARGB32 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
  QImage wide = TwNewSurface(pw * nx, ph * ny, fmt);
  if (wide.isNull()) return {picture, piece};
  // The first row of copies, then that row copied down.
  for (int i = 0; i < nx; ++i) CopyPixels(wide, TRect{i * pw, 0, (i + 1) * pw, ph}, picture, piece);
  const QImage row = wide.copy(0, 0, wide.width(), ph);
  for (int j = 1; j < ny; ++j)
    CopyPixels(wide, TRect{0, j * ph, wide.width(), (j + 1) * ph}, row, TRect{0, 0, wide.width(), ph});
  return {wide, TRect{0, 0, wide.width(), wide.height()}};
}
