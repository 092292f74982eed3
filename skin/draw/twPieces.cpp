// Fitting skin pieces into targets: corner copies, stretched or tiled edges
// and centres, three-piece strips and frame bands.
#include <algorithm>
#include <cstring>
#include <vector>

#include "skin/draw/twPixels.h"
#include "skin/draw/twUtils.h"

using twpix::As32;
using twpix::SizeTarget;

int PieceMode(const TRect& SkinRect, const TPieceAnchors& a) {
  if (!twpix::Sane(SkinRect) || !twpix::Sane(a) || SkinRect.IsEmpty()) return pmNone;
  if (a.RB.X != 0 && a.RB.Y != 0) return pmNinePiece;
  if (a.RT.X != 0 || a.RT.Y != 0) return pmThreePieceH;
  if (a.LB.X != 0 || a.LB.Y != 0) return pmThreePieceV;
  return pmFixed;
}

TPieceAnchors ShiftAnchors(int Mode, const TRect& SkinRect, const TPieceAnchors& a, int W, int H) {
  if (!twpix::Sane(SkinRect) || !twpix::Sane(a) || !twpix::Sane(W) || !twpix::Sane(H)) return a;
  const int dW = W - SkinRect.Width(), dH = H - SkinRect.Height();
  TPieceAnchors n = a;
  switch (Mode) {
    case pmFixed:
    case pmNone:
      break;
    case pmThreePieceH:
      n.RT.X += dW;
      n.ClRect.Right += dW;
      break;
    case pmThreePieceV:
      n.LB.Y += dH;
      n.ClRect.Bottom += dH;
      break;
    default:
      n.RT.X += dW;
      n.LB.Y += dH;
      n.RB.X += dW;
      n.RB.Y += dH;
      n.ClRect.Right += dW;
      n.ClRect.Bottom += dH;
      break;
  }
  return n;
}

int StretchSourceIndex(int c, int sw, int dw) {
  if (dw < 2) return sw / 2;
  const int64_t num = int64_t(c) * sw;
  int64_t q = num / dw;
  const int64_t r2 = 2 * (num % dw);
  if (r2 > dw || (r2 == dw && (q & 1))) ++q;
  // Rounding the last column up would read one past the piece.
  return int(std::min<int64_t>(q, sw - 1));
}

void CopyPixels(QImage& Dst, const TRect& d, const QImage& Src0, const TRect& s) {
  if (!twpix::Sane(d) || !twpix::Sane(s) || d.IsEmpty() || s.IsEmpty() || Dst.isNull() || Src0.isNull()) return;
  const QImage Src = As32(Src0);
  if (!twpix::Is32(Dst.format())) Dst = Dst.convertToFormat(QImage::Format_RGB32);
  const uint32_t orMask = twpix::OpaqueMask(Dst, Src);
  const int DW = Dst.width(), DH = Dst.height(), SW = Src.width(), SH = Src.height();
  uchar* dbits = Dst.bits();
  const qsizetype dbpl = Dst.bytesPerLine();
  auto drow = [&](int y) { return reinterpret_cast<uint32_t*>(dbits + qsizetype(y) * dbpl); };

  if (d.Width() == s.Width() && d.Height() == s.Height()) {
    // 1:1: clip both rectangles by the same amounts.
    int l = std::max({0, d.Left, d.Left - s.Left});
    int t = std::max({0, d.Top, d.Top - s.Top});
    int r = std::min({DW, d.Right, d.Left + (SW - s.Left)});
    int b = std::min({DH, d.Bottom, d.Top + (SH - s.Top)});
    if (l >= r || t >= b) return;
    const int sx = s.Left + (l - d.Left), sy = s.Top + (t - d.Top), n = r - l;
    for (int y = t; y < b; ++y) {
      const uint32_t* sp = twpix::Row(Src, sy + (y - t)) + sx;
      twpix::OrCopy(drow(y) + l, sp, n, orMask);
    }
    return;
  }

  const int dw = d.Width(), dh = d.Height(), sw = s.Width(), sh = s.Height();
  const int cl = std::max(0, d.Left), cr = std::min(DW, d.Right);
  const int ct = std::max(0, d.Top), cb = std::min(DH, d.Bottom);
  if (cl >= cr || ct >= cb) return;
  std::vector<int> cols(static_cast<size_t>(cr - cl));
  bool colsInside = true;
  for (int x = cl; x < cr; ++x) {
    int sx = s.Left + StretchSourceIndex(x - d.Left, sw, dw);
    cols[size_t(x - cl)] = sx;
    if (sx < 0 || sx >= SW) colsInside = false;
  }
  int prevSy = -1, prevY = -1;
  for (int y = ct; y < cb; ++y) {
    const int sy = s.Top + StretchSourceIndex(y - d.Top, sh, dh);
    if (sy < 0 || sy >= SH) continue;
    uint32_t* dp = drow(y);
    if (sy == prevSy) {
      std::memcpy(dp + cl, drow(prevY) + cl, size_t(cr - cl) * 4);
    } else {
      const uint32_t* sp = twpix::Row(Src, sy);
      if (colsInside) {
        for (int x = cl; x < cr; ++x) dp[x] = sp[cols[size_t(x - cl)]] | orMask;
      } else {
        for (int x = cl; x < cr; ++x) {
          const int sx = cols[size_t(x - cl)];
          if (sx >= 0 && sx < SW) dp[x] = sp[sx] | orMask;
        }
      }
    }
    prevSy = sy;
    prevY = y;
  }
}

void TileH(QImage& Dst, const TRect& d, const QImage& Src, const TRect& s) {
  if (!twpix::Sane(d) || !twpix::Sane(s)) return;
  const int step = s.Width(), len = d.Width();
  if (step <= 0 || len <= 0 || d.Height() <= 0) return;
  const int n = len / step + 1;
  for (int k = 0; k < n; ++k) {
    const int x0 = d.Left + k * step;
    const int x1 = std::min(x0 + step, d.Right);
    if (x0 >= x1) break;
    CopyPixels(Dst, TRect{x0, d.Top, x1, d.Bottom}, Src, TRect{s.Left, s.Top, s.Left + (x1 - x0), s.Bottom});
  }
}

void TileV(QImage& Dst, const TRect& d, const QImage& Src, const TRect& s) {
  if (!twpix::Sane(d) || !twpix::Sane(s)) return;
  const int step = s.Height(), len = d.Height();
  if (step <= 0 || len <= 0 || d.Width() <= 0) return;
  const int n = len / step + 1;
  for (int k = 0; k < n; ++k) {
    const int y0 = d.Top + k * step;
    const int y1 = std::min(y0 + step, d.Bottom);
    if (y0 >= y1) break;
    CopyPixels(Dst, TRect{d.Left, y0, d.Right, y1}, Src, TRect{s.Left, s.Top, s.Right, s.Top + (y1 - y0)});
  }
}

namespace {

// Piece rectangle relative to SkinRect, turned into picture coordinates.
struct PieceAt {
  const TRect& sr;
  TRect operator()(int l, int t, int r, int b) const {
    return TRect{sr.Left + l, sr.Top + t, sr.Left + r, sr.Top + b};
  }
};

void Edge(QImage& T, bool stretch, bool horizontal, const TRect& band, const QImage& S, const TRect& piece) {
  if (stretch)
    CopyPixels(T, band, S, piece);
  else if (horizontal)
    TileH(T, band, S, piece);
  else
    TileV(T, band, S, piece);
}

// Tiles piece s over area d in both directions, tiles starting at d's
// top-left and cut at its right and bottom. Row by row rather than tile by
// tile: each row is built once per tile row and later rows repeat it.
void TileArea(QImage& Dst, const TRect& d, const QImage& Src, const TRect& s) {
  const int pw = s.Width(), ph = s.Height();
  if (pw <= 0 || ph <= 0 || d.IsEmpty() || Dst.isNull()) return;
  if (s.Left < 0 || s.Top < 0 || s.Right > Src.width() || s.Bottom > Src.height() ||
      !twpix::Is32(Dst.format()) || !twpix::Is32(Src.format())) {
    // Pieces reaching off their picture: the careful per-tile copy.
    for (int x0 = d.Left; x0 < d.Right; x0 += pw)
      for (int y0 = d.Top; y0 < d.Bottom; y0 += ph) {
        const int x1 = std::min(x0 + pw, d.Right), y1 = std::min(y0 + ph, d.Bottom);
        CopyPixels(Dst, TRect{x0, y0, x1, y1}, Src, TRect{s.Left, s.Top, s.Left + (x1 - x0), s.Top + (y1 - y0)});
      }
    return;
  }
  const int cl = std::max(0, d.Left), cr = std::min(Dst.width(), d.Right);
  const int ct = std::max(0, d.Top), cb = std::min(Dst.height(), d.Bottom);
  if (cl >= cr || ct >= cb) return;
  const uint32_t orMask = twpix::OpaqueMask(Dst, Src);
  uchar* bits = Dst.bits();
  const qsizetype bpl = Dst.bytesPerLine();
  const size_t rowBytes = size_t(cr - cl) * 4;
  for (int y = ct; y < cb; ++y) {
    uint32_t* dp = reinterpret_cast<uint32_t*>(bits + qsizetype(y) * bpl);
    if (y - ph >= ct) {
      std::memcpy(dp + cl, reinterpret_cast<const uint32_t*>(bits + qsizetype(y - ph) * bpl) + cl, rowBytes);
      continue;
    }
    const uint32_t* sp = twpix::Row(Src, s.Top + (y - d.Top) % ph) + s.Left;
    int x = cl, off = (cl - d.Left) % pw;
    while (x < cr) {
      const int n = std::min(pw - off, cr - x);
      twpix::OrCopy(dp + x, sp + off, n, orMask);
      x += n;
      off = 0;
    }
  }
}

}  // namespace

void ComposeNinePiece(const QImage& Src0, const TRect& SkinRect, const TPieceAnchors& a, int W, int H,
                      const TPieceAnchors& n, const TEdgeStretch& edges, bool DrawCentre,
                      bool CentreStretch, int StretchType, QImage& Target) {
  const QImage Src = As32(Src0);
  if (!twpix::Sane(W) || !twpix::Sane(H)) return;
  SizeTarget(Target, W, H, Src.isNull() ? QImage::Format_RGB32 : Src.format());
  if (a.RB.X == a.LT.X || a.RB.Y == a.LT.Y || Src.isNull() || Target.isNull()) return;
  if (!twpix::Sane(SkinRect) || !twpix::Sane(a) || !twpix::Sane(n)) return;
  const PieceAt P{SkinRect};
  const int pw = SkinRect.Width(), ph = SkinRect.Height();
  const TRect& c = a.ClRect;
  const TRect& nc = n.ClRect;

  Edge(Target, edges.Top, true, TRect{n.LT.X, 0, n.RT.X, nc.Top}, Src, P(a.LT.X, 0, a.RT.X, c.Top));
  Edge(Target, edges.Bottom, true, TRect{n.LB.X, nc.Bottom, n.RB.X, H}, Src, P(a.LB.X, c.Bottom, a.RB.X, ph));
  Edge(Target, edges.Left, false, TRect{0, n.LT.Y, nc.Left, n.LB.Y}, Src, P(0, a.LT.Y, c.Left, a.LB.Y));
  Edge(Target, edges.Right, false, TRect{nc.Right, n.RT.Y, W, n.RB.Y}, Src, P(c.Right, a.RT.Y, pw, a.RB.Y));

  // Later corners overwrite earlier ones: right over left, bottom over top.
  CopyPixels(Target, TRect{0, 0, n.LT.X, nc.Top}, Src, P(0, 0, a.LT.X, c.Top));
  CopyPixels(Target, TRect{0, nc.Top, nc.Left, n.LT.Y}, Src, P(0, c.Top, c.Left, a.LT.Y));
  CopyPixels(Target, TRect{n.RT.X, 0, W, nc.Top}, Src, P(a.RT.X, 0, pw, c.Top));
  CopyPixels(Target, TRect{nc.Right, nc.Top, W, n.RT.Y}, Src, P(c.Right, c.Top, pw, a.RT.Y));
  CopyPixels(Target, TRect{0, n.LB.Y, nc.Left, H}, Src, P(0, a.LB.Y, c.Left, ph));
  CopyPixels(Target, TRect{nc.Left, nc.Bottom, n.LB.X, H}, Src, P(c.Left, c.Bottom, a.LB.X, ph));
  CopyPixels(Target, TRect{n.RB.X, nc.Bottom, W, H}, Src, P(a.RB.X, c.Bottom, pw, ph));
  CopyPixels(Target, TRect{nc.Right, n.RB.Y, W, nc.Bottom}, Src, P(c.Right, a.RB.Y, pw, c.Bottom));

  if (!DrawCentre) return;
  const TRect piece = P(c.Left, c.Top, c.Right, c.Bottom);
  const int cw = piece.Width(), ch = piece.Height();
  if (CentreStretch) {
    if (nc.IsEmpty()) return;
    if (StretchType == stHorz) {
      // Strips as wide as the piece, stretched to the client height.
      if (cw <= 0) return;
      for (int k = 0; k <= nc.Width() / cw; ++k) {
        const int x0 = nc.Left + k * cw, x1 = std::min(x0 + cw, nc.Right);
        if (x0 >= x1) break;
        CopyPixels(Target, TRect{x0, nc.Top, x1, nc.Bottom}, Src,
                   TRect{piece.Left, piece.Top, piece.Left + (x1 - x0), piece.Bottom});
      }
    } else if (StretchType == stVert) {
      if (ch <= 0) return;
      for (int k = 0; k <= nc.Height() / ch; ++k) {
        const int y0 = nc.Top + k * ch, y1 = std::min(y0 + ch, nc.Bottom);
        if (y0 >= y1) break;
        CopyPixels(Target, TRect{nc.Left, y0, nc.Right, y1}, Src,
                   TRect{piece.Left, piece.Top, piece.Right, piece.Top + (y1 - y0)});
      }
    } else {
      CopyPixels(Target, nc, Src, piece);
    }
    return;
  }
  // Columns and rows of whole tiles from the client's top-left, cut at its
  // right and bottom edges.
  TileArea(Target, nc, Src, piece);
}

void ComposeThreePieceH(const QImage& Src0, const TRect& sr, int LeftW, int RightW, bool Stretch, int W,
                        QImage& Target) {
  if (!twpix::Sane(sr) || !twpix::Sane(LeftW) || !twpix::Sane(RightW) || !twpix::Sane(W)) return;
  const QImage Src = As32(Src0);
  SizeTarget(Target, W, sr.Height(), Src.isNull() ? QImage::Format_RGB32 : Src.format());
  if (Src.isNull() || Target.isNull() || sr.IsEmpty()) return;
  const int h = sr.Height();
  CopyPixels(Target, TRect{0, 0, LeftW, h}, Src, TRect{sr.Left, sr.Top, sr.Left + LeftW, sr.Bottom});
  CopyPixels(Target, TRect{W - RightW, 0, W, h}, Src, TRect{sr.Right - RightW, sr.Top, sr.Right, sr.Bottom});
  TRect mid{sr.Left + LeftW, sr.Top, sr.Right - RightW, sr.Bottom};
  if (mid.Right <= mid.Left) mid.Right = mid.Left + 1;
  const TRect band{LeftW, 0, W - RightW, h};
  if (Stretch)
    CopyPixels(Target, band, Src, mid);
  else
    TileH(Target, band, Src, mid);
}

void ComposeThreePieceV(const QImage& Src0, const TRect& sr, int TopH, int BottomH, bool Stretch, int H,
                        QImage& Target) {
  if (!twpix::Sane(sr) || !twpix::Sane(TopH) || !twpix::Sane(BottomH) || !twpix::Sane(H)) return;
  const QImage Src = As32(Src0);
  SizeTarget(Target, sr.Width(), H, Src.isNull() ? QImage::Format_RGB32 : Src.format());
  if (Src.isNull() || Target.isNull() || sr.IsEmpty()) return;
  const int w = sr.Width();
  CopyPixels(Target, TRect{0, 0, w, TopH}, Src, TRect{sr.Left, sr.Top, sr.Right, sr.Top + TopH});
  CopyPixels(Target, TRect{0, H - BottomH, w, H}, Src, TRect{sr.Left, sr.Bottom - BottomH, sr.Right, sr.Bottom});
  const TRect mid{sr.Left, sr.Top + TopH, sr.Right, sr.Bottom - BottomH};
  const TRect band{0, TopH, w, H - BottomH};
  if (Stretch)
    CopyPixels(Target, band, Src, mid);
  else
    TileV(Target, band, Src, mid);
}

void ComposeMiddleH(const QImage& Src0, const TRect& sr, int LeftW, int RightW, bool Stretch, int W,
                    QImage& Target) {
  if (!twpix::Sane(sr) || !twpix::Sane(LeftW) || !twpix::Sane(RightW) || !twpix::Sane(W)) return;
  const QImage Src = As32(Src0);
  SizeTarget(Target, W, sr.Height(), Src.isNull() ? QImage::Format_RGB32 : Src.format());
  if (Src.isNull() || Target.isNull() || sr.IsEmpty()) return;
  const TRect mid{sr.Left + LeftW, sr.Top, sr.Right - RightW, sr.Bottom};
  const TRect band{0, 0, W, sr.Height()};
  if (Stretch)
    CopyPixels(Target, band, Src, mid);
  else
    TileH(Target, band, Src, mid);
}

void ComposeClientStretched(QImage& Target, const QImage& Src, const TRect& SrcRect, const TRect& ClRect,
                            bool DrawCentre) {
  if (!twpix::Sane(SrcRect) || !twpix::Sane(ClRect)) return;
  const int W = Target.width(), H = Target.height();
  TPieceAnchors a;
  a.LT = {ClRect.Left, ClRect.Top};
  a.RT = {ClRect.Right, ClRect.Top};
  a.LB = {ClRect.Left, ClRect.Bottom};
  a.RB = {ClRect.Right, ClRect.Bottom};
  a.ClRect = ClRect;
  const TPieceAnchors n = ShiftAnchors(pmNinePiece, SrcRect, a, W, H);
  ComposeNinePiece(Src, SrcRect, a, W, H, n, TEdgeStretch{true, true, true, true}, DrawCentre, true, stFull,
                   Target);
}

void ComposeBorderBands(const QImage& Src0, const TRect& SkinRect, const TPieceAnchors& a,
                        const TPieceAnchors& n, int W, int H, const TEdgeStretch& edges, QImage& Top,
                        QImage& Bottom, QImage& Left, QImage& Right) {
  const QImage Src = As32(Src0);
  if (Src.isNull() || !twpix::Sane(SkinRect) || !twpix::Sane(a) || !twpix::Sane(n) || !twpix::Sane(W) ||
      !twpix::Sane(H))
    return;
  const QImage::Format fmt = Src.format();
  const PieceAt P{SkinRect};
  const int pw = SkinRect.Width(), ph = SkinRect.Height();
  const TRect& c = a.ClRect;
  const TRect& nc = n.ClRect;

  const int topH = nc.Top;
  if (W > 0 && topH > 0 && a.RT.X > a.LT.X) {
    SizeTarget(Top, W, topH, fmt);
    const TRect piece = P(a.LT.X, 0, a.RT.X, c.Top);
    if (edges.Top)
      CopyPixels(Top, TRect{n.LT.X, 0, n.RT.X, topH}, Src, piece);
    else
      TileH(Top, TRect{0, 0, W, topH}, Src, piece);
    CopyPixels(Top, TRect{0, 0, n.LT.X, topH}, Src, P(0, 0, a.LT.X, c.Top));
    CopyPixels(Top, TRect{n.RT.X, 0, W, topH}, Src, P(a.RT.X, 0, pw, c.Top));
  }
  const int botH = H - nc.Bottom;
  if (W > 0 && botH > 0 && a.RB.X > a.LB.X) {
    SizeTarget(Bottom, W, botH, fmt);
    const TRect piece = P(a.LB.X, c.Bottom, a.RB.X, ph);
    if (edges.Bottom)
      CopyPixels(Bottom, TRect{n.LB.X, 0, n.RB.X, botH}, Src, piece);
    else
      TileH(Bottom, TRect{0, 0, W, botH}, Src, piece);
    CopyPixels(Bottom, TRect{0, 0, n.LB.X, botH}, Src, P(0, c.Bottom, a.LB.X, ph));
    CopyPixels(Bottom, TRect{n.RB.X, 0, W, botH}, Src, P(a.RB.X, c.Bottom, pw, ph));
  }
  const int sideH = nc.Bottom - nc.Top;
  const int lw = nc.Left;
  if (lw > 0 && sideH > 0 && a.LB.Y > a.LT.Y) {
    SizeTarget(Left, lw, sideH, fmt);
    const TRect piece = P(0, a.LT.Y, c.Left, a.LB.Y);
    if (edges.Left)
      CopyPixels(Left, TRect{0, n.LT.Y - nc.Top, lw, n.LB.Y - nc.Top}, Src, piece);
    else
      TileV(Left, TRect{0, 0, lw, sideH}, Src, piece);
    CopyPixels(Left, TRect{0, 0, lw, n.LT.Y - nc.Top}, Src, P(0, c.Top, c.Left, a.LT.Y));
    CopyPixels(Left, TRect{0, n.LB.Y - nc.Top, lw, sideH}, Src, P(0, a.LB.Y, c.Left, c.Bottom));
  }
  const int rw = W - nc.Right;
  if (rw > 0 && sideH > 0 && a.RB.Y > a.RT.Y) {
    SizeTarget(Right, rw, sideH, fmt);
    const TRect piece = P(c.Right, a.RT.Y, pw, a.RB.Y);
    if (edges.Right)
      CopyPixels(Right, TRect{0, n.RT.Y - nc.Top, rw, n.RB.Y - nc.Top}, Src, piece);
    else
      TileV(Right, TRect{0, 0, rw, sideH}, Src, piece);
    CopyPixels(Right, TRect{0, 0, rw, n.RT.Y - nc.Top}, Src, P(c.Right, c.Top, pw, a.RT.Y));
    CopyPixels(Right, TRect{0, n.RB.Y - nc.Top, rw, sideH}, Src, P(c.Right, a.RB.Y, pw, c.Bottom));
  }
}

void ComposeMaskBands(const QImage& Mask0, const TPieceAnchors& a, const TPieceAnchors& n, int W,
                      QImage& Top, QImage& Bottom, QImage& Left, QImage& Right) {
  const QImage Mask = As32(Mask0);
  if (Mask.isNull() || !twpix::Sane(a) || !twpix::Sane(n) || !twpix::Sane(W)) return;
  const int pw = Mask.width(), ph = Mask.height();
  const TRect& c = a.ClRect;
  const TRect& nc = n.ClRect;
  // Anything the pieces leave uncovered stays outside the shape.
  auto band = [&](QImage& img, int w, int h) {
    SizeTarget(img, w, h, QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
  };

  const int topH = nc.Top;
  if (W > 0 && topH > 0 && a.RT.X > a.LT.X) {
    band(Top, W, topH);
    TileH(Top, TRect{n.LT.X, 0, n.RT.X, topH}, Mask, TRect{a.LT.X, 0, a.RT.X, c.Top});
    CopyPixels(Top, TRect{0, 0, n.LT.X, topH}, Mask, TRect{0, 0, a.LT.X, c.Top});
    CopyPixels(Top, TRect{n.RT.X, 0, W, topH}, Mask, TRect{a.RT.X, 0, pw, c.Top});
  }
  const int botH = ph - c.Bottom;
  if (W > 0 && botH > 0 && a.RB.X > a.LB.X) {
    band(Bottom, W, botH);
    TileH(Bottom, TRect{n.LB.X, 0, n.RB.X, botH}, Mask, TRect{a.LB.X, c.Bottom, a.RB.X, ph});
    CopyPixels(Bottom, TRect{0, 0, n.LB.X, botH}, Mask, TRect{0, c.Bottom, a.LB.X, ph});
    CopyPixels(Bottom, TRect{n.RB.X, 0, W, botH}, Mask, TRect{a.RB.X, c.Bottom, pw, ph});
  }
  const int sideH = nc.Bottom - nc.Top;
  const int lw = nc.Left;
  if (lw > 0 && sideH > 0 && a.LB.Y > a.LT.Y) {
    band(Left, lw, sideH);
    TileV(Left, TRect{0, 0, lw, sideH}, Mask, TRect{0, a.LT.Y, c.Left, a.LB.Y});
    CopyPixels(Left, TRect{0, 0, lw, n.LT.Y - nc.Top}, Mask, TRect{0, c.Top, c.Left, a.LT.Y});
    CopyPixels(Left, TRect{0, n.LB.Y - nc.Top, lw, sideH}, Mask, TRect{0, a.LB.Y, c.Left, c.Bottom});
  }
  const int rw = W - nc.Right;
  if (rw > 0 && sideH > 0 && a.RB.Y > a.RT.Y) {
    band(Right, rw, sideH);
    TileV(Right, TRect{0, 0, rw, sideH}, Mask, TRect{c.Right, a.RT.Y, pw, a.RB.Y});
    CopyPixels(Right, TRect{0, 0, rw, n.RT.Y - nc.Top}, Mask, TRect{c.Right, c.Top, pw, a.RT.Y});
    CopyPixels(Right, TRect{0, n.RB.Y - nc.Top, rw, sideH}, Mask, TRect{c.Right, a.RB.Y, pw, c.Bottom});
  }
}
