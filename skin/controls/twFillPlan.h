#pragma once
// Filling an area with a picture piece, as a plan of rectangles first and
// pixels second: the client texture of panels, their background pictures
// and the see-through client fill all use it.
#include <QImage>
#include <QRect>
#include <vector>

#include "skin/data/twTypes.h"

// One copy: Source in the picture, Target in the face; a copy between
// rectangles of different sizes stretches by nearest pixel.
struct TFillBlit {
  TRect Source, Target;
  friend bool operator==(const TFillBlit&, const TFillBlit&) = default;
};

// Tile: the piece repeated 1:1 from the area's top-left, the last row and
// column cut. Full: the piece stretched over the area. Horz: the piece
// stretched to the area's height, that column tiled across. Vert: the piece
// stretched to the area's width, that row tiled down.
enum class TFillMode { Tile, Full, Horz, Vert };

// The mode a record's stretcheffect and stretchtype (stfull, sthorz,
// stvert) name.
TFillMode FillModeOf(bool stretchEffect, int stretchType);

// The copies that fill `area` with `piece`; none when either is empty. Every
// copy lies inside the area, so no clipping is needed.
std::vector<TFillBlit> PlanFill(const TRect& piece, const TRect& area, TFillMode mode);

// A piece far smaller than its area would plan about one copy per pixel (a
// one-pixel piece over a wide window: millions). Along the axes it tiles,
// the piece is repeated into a picture of its own to at least this span
// first; the pixels filled are the same.
inline constexpr int kMinFillSpanPx = 64;
struct TFillSource {
  QImage Picture;
  TRect Piece;
};
TFillSource WidenTiledPiece(const QImage& picture, const TRect& piece, TFillMode mode);

// Runs a plan from picture into face (at ratio 1), only where `clip` is.
void RunFill(QImage& face, const QImage& picture, const std::vector<TFillBlit>& plan, const QRect& clip);
