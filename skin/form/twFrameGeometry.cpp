// Frame geometry, limits, layout and hit testing as functions of sizes only,
// so every rule can be checked without a window.
#include "skin/form/twFrameGeometry.h"

#include <QMargins>
#include <cstdlib>

#include "skin/data/twSkinData.h"
#include "skin/data/twSkinIni.h"
#include "skin/draw/twPixels.h"

namespace {

bool In(const TRect& r, QPoint p) {
  return r.Left <= p.x() && p.x() < r.Right && r.Top <= p.y() && p.y() < r.Bottom;
}

TPoint Shift(TPoint p, int dx, int dy) { return TPoint{p.X + dx, p.Y + dy}; }

}  // namespace

TtwFrameInfo TtwFrameInfo::Of(const TtwSkinData& d) {
  TtwFrameInfo i;
  i.PictureWidth = d.FormPicture().width();
  i.PictureHeight = d.FormPicture().height();
  i.LT = d.lefttoppoint;
  i.RT = d.righttoppoint;
  i.LB = d.leftbottompoint;
  i.RB = d.rightbottompoint;
  i.ClientRect = d.clientrect;
  i.CaptionRect = d.captionrect;
  i.ButtonsRect = d.buttonsrect;
  i.MaskRect = d.maskrectarea;
  i.HitLT = d.hittestlefttoppoint;
  i.HitRT = d.hittestrighttoppoint;
  i.HitLB = d.hittestleftbottompoint;
  i.HitRB = d.hittestrightbottompoint;
  i.BorderWidth = d.borderwidth;
  i.FormMinWidth = d.formminwidth;
  i.ButtonsOffset = d.buttonsoffset;
  i.ButtonsInLeft = d.buttonsinleft;
  return i;
}

TtwFrameGeometry FrameGeometry(const TtwFrameInfo& info, int W, int H) {
  TtwFrameGeometry g;
  g.W = W;
  g.H = H;
  const int dW = W - info.PictureWidth, dH = H - info.PictureHeight;
  g.DW = dW;
  g.DH = dH;
  g.LT = info.LT;
  g.RT = Shift(info.RT, dW, 0);
  g.LB = Shift(info.LB, 0, dH);
  g.RB = Shift(info.RB, dW, dH);
  const TRect& cl = info.ClientRect;
  g.ClientRect = TRect{cl.Left, cl.Top, cl.Right + dW, cl.Bottom + dH};
  g.CaptionRect = info.CaptionRect;
  if (!info.CaptionRect.IsEmpty()) g.CaptionRect.Right += dW;
  g.ButtonsRect = info.ButtonsRect;
  g.ButtonsOnLeft = info.ButtonsInLeft;
  if (!info.ButtonsRect.IsEmpty()) {
    if (info.ButtonsRect.Left > info.PictureWidth / 2) {
      g.ButtonsRect.Left += dW;
      g.ButtonsRect.Right += dW;
    } else {
      g.ButtonsOnLeft = true;
    }
  }
  g.HitLT = info.HitLT;
  g.HitRT = Shift(info.HitRT, dW, 0);
  g.HitLB = Shift(info.HitLB, 0, dH);
  g.HitRB = Shift(info.HitRB, dW, dH);
  const TRect& m = info.MaskRect;
  g.MaskRect = TRect{m.Left, m.Top, m.Right + dW, m.Bottom + dH};
  return g;
}

QMargins FrameMargins(const TtwFrameInfo& info) {
  const TRect& cl = info.ClientRect;
  return QMargins(cl.Left, cl.Top, info.PictureWidth - cl.Right, info.PictureHeight - cl.Bottom);
}

QMargins SkinlessFrameMargins(int captionHeight) {
  return QMargins(kSkinlessBorder, captionHeight + kSkinlessBorder, kSkinlessBorder, kSkinlessBorder);
}

TtwSkinlessCaption SkinlessCaptionLayout(int width, int buttonSize, int captionHeight, int rightButtons,
                                         bool systemButton) {
  TtwSkinlessCaption out;
  int x = width - kSkinlessBorder;
  for (int i = 0; i < rightButtons; ++i, x -= buttonSize)
    out.Buttons.push_back(TRect{x - buttonSize, kSkinlessButtonTop, x, kSkinlessButtonTop + buttonSize});
  int left = kSkinlessBorder;
  if (systemButton) {
    out.SystemButton = TRect{kSkinlessBorder, kSkinlessButtonTop, kSkinlessBorder + buttonSize,
                             kSkinlessButtonTop + buttonSize};
    left = out.SystemButton.Right;
  }
  out.Caption = TRect{left, kSkinlessBorder, x, captionHeight + kSkinlessBorder};
  return out;
}

QRegion FrameRegion(const TtwFrameInfo& info, const QImage& mask, const TtwFrameGeometry& g) {
  if (mask.isNull()) return QRegion();
  // The mask's own client rectangle is maskrectarea, not clientrect: the
  // outline may cut into the caption band.
  const TPieceAnchors a{info.LT, info.RT, info.LB, info.RB, info.MaskRect};
  const TPieceAnchors n{g.LT, g.RT, g.LB, g.RB, g.MaskRect};
  return FrameRegionFromMask(mask, a, n, g.W);
}

namespace {

// The runs of a mask band as a region, equal rows merged into one band of
// rectangles: a side band of a thousand identical rows becomes a few
// rectangles, which keeps the unions below and the window shape cheap.
QRegion BandRegion(const QImage& band, int dx, int dy) {
  if (band.isNull()) return QRegion();
  const TRegionData runs = MaskToRunList(band, dx, dy);
  std::vector<QRect> out;
  out.reserve(runs.Rects.size());
  size_t prevBegin = 0, prevEnd = 0;  // the last band of rectangles in out
  size_t i = 0;
  while (i < runs.Rects.size()) {
    const int y = runs.Rects[i].y();
    size_t j = i;
    while (j < runs.Rects.size() && runs.Rects[j].y() == y) ++j;
    bool same = prevEnd > prevBegin && out[prevBegin].bottom() + 1 == y && prevEnd - prevBegin == j - i;
    for (size_t k = 0; same && k < j - i; ++k)
      same = out[prevBegin + k].left() == runs.Rects[i + k].left() &&
             out[prevBegin + k].width() == runs.Rects[i + k].width();
    if (same) {
      for (size_t k = prevBegin; k < prevEnd; ++k) out[k].setHeight(out[k].height() + 1);
    } else {
      prevBegin = out.size();
      out.insert(out.end(), runs.Rects.begin() + qsizetype(i), runs.Rects.begin() + qsizetype(j));
      prevEnd = out.size();
    }
    i = j;
  }
  QRegion r;
  if (!out.empty()) r.setRects(out.data(), int(out.size()));
  return r;
}

// Whether every row of the piece is one colour (false for an empty piece).
bool AlikeAlongRows(const QImage& img, const QRect& piece) {
  const QRect r = piece.intersected(img.rect());
  if (r.isEmpty() || r != piece) return false;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = r.left(); x <= r.right(); ++x)
      if (line[x] != line[r.left()]) return false;
  }
  return true;
}

// A band region made for the picture's width, widened by dW: with a middle
// piece whose rows are each one colour, a run either covers the whole middle
// or none of it, so a run's edges right of the middle's start simply move
// by dW.
QRegion Widened(const QRegion& base, int middleLeft, int middleRight, int dW) {
  std::vector<QRect> out;
  out.reserve(size_t(base.rectCount()));
  for (const QRect& r : base) {
    const int x1 = r.left() >= middleRight ? r.left() + dW : r.left();
    const int x2 = r.left() + r.width() > middleLeft ? r.left() + r.width() + dW : r.left() + r.width();
    if (x2 > x1) out.emplace_back(x1, r.top(), x2 - x1, r.height());
  }
  QRegion result;
  if (!out.empty()) result.setRects(out.data(), int(out.size()));
  return result;
}

}  // namespace

QRegion TtwFrameRegionCache::Region(const TtwFrameInfo& info, const QImage& mask, const TtwFrameGeometry& g) {
  if (mask.isNull()) return QRegion();
  const TPieceAnchors a{info.LT, info.RT, info.LB, info.RB, info.MaskRect};
  const TPieceAnchors n{g.LT, g.RT, g.LB, g.RB, g.MaskRect};
  if (!twpix::Sane(a) || !twpix::Sane(n) || !twpix::Sane(g.W)) return QRegion();
  if (n.RT.X < n.LT.X || n.LB.Y < n.LT.Y || g.MaskRect.IsEmpty()) return QRegion();
  if (mask.cacheKey() != maskKey_) *this = TtwFrameRegionCache{};
  maskKey_ = mask.cacheKey();
  // A frame of the picture's height gives the top and bottom bands of width
  // W, one of the picture's width the side bands of height H: the same
  // pixels the whole frame would give those bands.
  QImage top, bottom, left, right;
  auto horizontalBands = [&](int W, QRegion& t, QRegion& b) {
    const TtwFrameGeometry h = FrameGeometry(info, W, info.PictureHeight);
    ComposeMaskBands(mask, a, TPieceAnchors{h.LT, h.RT, h.LB, h.RB, h.MaskRect}, W, top, bottom, left, right);
    t = BandRegion(top, 0, 0);
    b = BandRegion(bottom, 0, 0);
  };
  if (g.W != width_) {
    const int W0 = info.PictureWidth, dW = g.W - W0;
    if (baseTop_.isEmpty() && baseBottom_.isEmpty()) {
      horizontalBands(W0, baseTop_, baseBottom_);
      const QImage m = mask.convertToFormat(QImage::Format_RGB32);
      topAlike_ = AlikeAlongRows(m, QRect(QPoint(info.LT.X, 0), QPoint(info.RT.X - 1, info.MaskRect.Top - 1)));
      bottomAlike_ = AlikeAlongRows(m, QRect(QPoint(info.LB.X, info.MaskRect.Bottom), QPoint(info.RB.X - 1, m.height() - 1)));
    }
    if (dW >= 0 && topAlike_ && bottomAlike_) {
      top_ = Widened(baseTop_, info.LT.X, info.RT.X, dW);
      bottom_ = Widened(baseBottom_, info.LB.X, info.RB.X, dW);
    } else {
      horizontalBands(g.W, top_, bottom_);
    }
    width_ = g.W;
  }
  if (g.H != height_) {
    const TtwFrameGeometry v = FrameGeometry(info, info.PictureWidth, g.H);
    ComposeMaskBands(mask, a, TPieceAnchors{v.LT, v.RT, v.LB, v.RB, v.MaskRect}, info.PictureWidth, top, bottom,
                     left, right);
    left_ = BandRegion(left, 0, 0);
    right_ = BandRegion(right, 0, 0);
    height_ = g.H;
  }
  const TRect& m = g.MaskRect;
  const QRegion sides = left_.translated(0, m.Top).united(right_.translated(m.Right, m.Top));
  const QRegion ends = top_.united(bottom_.translated(0, m.Bottom));
  return QRegion(m.ToQ()).united(sides.united(ends));
}

int FrameMinWidth(const TtwSizeLimitInput& in) {
  if (!in.Skin) return in.MinWidth > 0 ? in.MinWidth : kSkinlessMinWidth;
  if (in.PictureWidth < in.MinWidth && !in.Minimized) return in.MinWidth;
  if (in.FormMinWidth > 0) return in.FormMinWidth >= in.MinWidth || in.Minimized ? in.FormMinWidth : in.MinWidth;
  return in.PictureWidth;
}

int FrameMinHeight(const TtwSizeLimitInput& in) {
  const int fh = in.Skin ? in.PictureHeight - in.ClientRectHeight : in.CaptionHeight + 2 * kSkinlessBorder;
  return fh >= in.MinHeight || in.RolledUp || in.Minimized ? fh : in.MinHeight;
}

QSize FrameMaxSize(const TtwSizeLimitInput& in, const QRect& monitorArea) {
  int w = monitorArea.width(), h = monitorArea.height();
  if (in.MaxWidth > 0 && in.MaxWidth < w) w = in.MaxWidth;
  if (in.MaxHeight > 0 && in.MaxHeight < h) h = in.MaxHeight;
  return QSize(w, h);
}

TRect MapFramePictureRect(const TtwFrameInfo& info, const TRect& r, int dW, int dH) {
  const int pw = info.PictureWidth, ph = info.PictureHeight;
  enum { None, TL, TR, BL, BR };
  auto region = [&](int x, int y) {
    const QPoint p(x, y);
    if (In(TRect{0, 0, info.LT.X, info.LT.Y}, p)) return TL;
    if (In(TRect{info.RT.X, 0, pw, info.RT.Y}, p)) return TR;
    if (In(TRect{0, info.LB.Y, info.LB.X, ph}, p)) return BL;
    if (In(TRect{info.RB.X, info.RB.Y, pw, ph}, p)) return BR;
    return None;
  };
  const int a = region(r.Left, r.Top), b = region(r.Right, r.Bottom);
  TRect o = r;
  if (a == TL && b == TL) return o;
  if (a == TR && b == TR) return TRect{r.Left + dW, r.Top, r.Right + dW, r.Bottom};
  if (a == BL && b == BL) return TRect{r.Left, r.Top + dH, r.Right, r.Bottom + dH};
  if (a == BR && b == BR) return TRect{r.Left + dW, r.Top + dH, r.Right + dW, r.Bottom + dH};
  if (a == TL && b == BR) return TRect{r.Left, r.Top, r.Right + dW, r.Bottom + dH};
  if (a == TL && b == TR) return TRect{r.Left, r.Top, r.Right + dW, r.Bottom};
  if (a == BL && b == BR) return TRect{r.Left, r.Top + dH, r.Right + dW, r.Bottom + dH};
  if (a == TL && b == BL) return TRect{r.Left, r.Top, r.Right, r.Bottom + dH};
  if (a == TR && b == BR) return TRect{r.Left + dW, r.Top, r.Right + dW, r.Bottom + dH};
  return o;
}

void LayoutFrameObjects(const TtwFrameInfo& info, const TtwFrameGeometry& g,
                        std::vector<TtwLayoutItem>& items) {
  TtwLayoutItem* caption = nullptr;
  for (auto& it : items) {
    if (it.InPicture) it.Rect = MapFramePictureRect(info, it.SkinRect, g.DW, g.DH);
    if (it.kind == TtwLayoutItem::kCaption && !caption) caption = &it;
  }
  const bool ownRow = !g.ButtonsRect.IsEmpty();
  const TRect row = ownRow ? g.ButtonsRect : g.CaptionRect;
  if (row.IsEmpty()) return;
  const int gap = info.ButtonsOffset;
  auto placeable = [](const TtwLayoutItem& it, int command) {
    return it.kind == TtwLayoutItem::kButton && !it.InPicture && it.Visible && it.Command == command;
  };
  // Row order: close, maximise, minimise, roll-up, tray, then custom buttons.
  std::vector<TtwLayoutItem*> order;
  for (int command : {twtok::cmclose, twtok::cmmaximize, twtok::cmminimize, twtok::cmrollup,
                      twtok::cmminimizetotray}) {
    for (auto& it : items)
      if (placeable(it, command)) {
        order.push_back(&it);
        break;
      }
  }
  for (auto& it : items)
    if (placeable(it, twtok::cmdefault)) order.push_back(&it);
  TtwLayoutItem* sysMenu = nullptr;
  for (auto& it : items)
    if (placeable(it, twtok::cmsysmenu)) {
      sysMenu = &it;
      break;
    }

  if (!g.ButtonsOnLeft) {
    int x = row.Right;
    for (TtwLayoutItem* it : order) {
      it->Rect = TRect{x - it->Size.width(), row.Top, x, row.Top + it->Size.height()};
      x -= it->Size.width() + gap;
    }
    if (!ownRow && caption) caption->Rect.Right = x + gap;
    if (sysMenu) {
      const TRect& c = g.CaptionRect;
      const int top = c.Top + c.Height() / 2 - sysMenu->Size.height() / 2;
      sysMenu->Rect = TRect{c.Left, top, c.Left + sysMenu->Size.width(), top + sysMenu->Size.height()};
      if (caption) caption->Rect.Left = sysMenu->Rect.Right;
    }
  } else {
    int x = row.Left;
    if (!ownRow && sysMenu) order.push_back(sysMenu);
    for (TtwLayoutItem* it : order) {
      it->Rect = TRect{x, row.Top, x + it->Size.width(), row.Top + it->Size.height()};
      x += it->Size.width() + gap;
    }
    if (caption) caption->Rect.Left = x + gap;
  }
}

int FrameHitTest(const TtwHitTestInput& in, QPoint p) {
  const int W = in.W, H = in.H;
  if (p.x() < 0 || p.y() < 0 || p.x() >= W || p.y() >= H) return htNowhere;
  if (in.HasMask && !in.Region.isEmpty() && !in.Region.contains(p)) return htNowhere;
  // A hot object answers only for points inside it: a stale hot object must
  // not swallow the sizing edge next to it.
  const bool onHot = !in.HotRect.IsEmpty() && In(in.HotRect, p);
  const int x = p.x(), y = p.y();

  if (in.Skin) {
    const TtwFrameGeometry& g = in.G;
    if (!in.RolledUp && !in.Minimized) {
      if (onHot && !In(in.CaptionRect, p) && !In(g.ClientRect, p) && !in.SizingOrMoving) return htObject;
      if (!in.Maximized && in.Sizeable) {
        const int b = in.BorderWidth;
        const QPoint probes[4] = {{x - b, y}, {x, y - b}, {x + b, y}, {x, y + b}};
        bool near = false;
        for (const QPoint& q : probes) {
          const bool outside = in.HasMask ? !in.Region.contains(q)
                                          : (q.x() < 0 || q.y() < 0 || q.x() >= W || q.y() >= H);
          near = near || outside;
        }
        if (in.HasMask && In(g.MaskRect, p)) near = false;
        if (!near) {
          if (In(g.ClientRect, p)) return htClient;
          return In(in.CaptionRect, p) ? htCaption : htObject;
        }
        if (x <= g.HitLT.X && y <= g.HitLT.Y) return htTopLeft;
        if (x >= g.HitRT.X && y <= g.HitRT.Y) return htTopRight;
        if (x <= g.HitLB.X && y >= g.HitLB.Y) return htBottomLeft;
        if (x >= g.HitRB.X && y >= g.HitRB.Y) return htBottomRight;
        if (In(TRect{g.HitLT.X, 0, g.HitRT.X, g.ClientRect.Top}, p)) return htTop;
        if (In(TRect{g.HitLB.X, g.ClientRect.Bottom, g.HitRB.X, H}, p)) return htBottom;
        if (In(TRect{0, g.HitLT.Y, g.ClientRect.Left, g.HitLB.Y}, p)) return htLeft;
        if (In(TRect{g.ClientRect.Right, g.HitRT.Y, W, g.HitRB.Y}, p)) return htRight;
      }
      if (In(g.ClientRect, p)) return htClient;
    }
    return In(in.CaptionRect, p) ? htCaption : htObject;
  }

  if (!in.Maximized && !in.RolledUp && in.Sizeable && !in.Minimized) {
    if (onHot) return htObject;
    const int e = kSkinlessBorder - 1;
    if (x <= e && y <= e) return htTopLeft;
    if (x >= W - e && y <= e) return htTopRight;
    if (x <= e && y >= H - e) return htBottomLeft;
    if (x >= W - e && y >= H - e) return htBottomRight;
    if (x <= e) return htLeft;
    if (y <= e) return htTop;
    if (x >= W - e) return htRight;
    if (y >= H - e) return htBottom;
  }
  if (In(in.CaptionRect, p)) return htCaption;
  const int b = kSkinlessBorder;
  if (In(TRect{b, in.CaptionHeight + b, W - b, H - b}, p)) return htClient;
  return htObject;
}

QPoint MinimizedBarPosition(const QRect& wa, QSize bar, const std::function<bool(QPoint)>& taken) {
  const QPoint start(wa.left(), wa.top() + wa.height() - bar.height());
  if (bar.width() <= 0 || bar.height() <= 0) return start;
  const int right = wa.left() + wa.width();
  const long slotCount = long(std::max(1, wa.width() / bar.width())) * std::max(1, wa.height() / bar.height());
  QPoint p = start;
  // Every slot is looked at once at most, so a full screen of bars ends too.
  for (long i = 0; i < slotCount; ++i) {
    if (!taken(p)) return p;
    p.rx() += bar.width();
    if (p.x() + bar.width() > right) {
      p = QPoint(wa.left(), p.y() - bar.height());
      if (p.y() < wa.top()) return start;
    }
  }
  return start;
}

QRect MaximizedBounds(const QRect& monitor, const QRect& workArea, const QRect& primaryScreen,
                      bool fullScreen) {
  if (fullScreen) return monitor;
  // A one-pixel margin keeps an auto-hidden task bar reachable.
  if (workArea == monitor && monitor == primaryScreen && primaryScreen.topLeft() == QPoint(0, 0))
    return workArea.adjusted(1, 1, -1, -1);
  return workArea;
}

QPoint MagneticPosition(const QRect& proposed, const QRect& area, QPoint cursor, int m,
                        TtwMagnetState& s) {
  int x = proposed.x(), y = proposed.y();
  const int w = proposed.width(), h = proposed.height();
  const int aRight = area.x() + area.width(), aBottom = area.y() + area.height();
  // pos: the window coordinate; edge: the area edge; extent: subtracted for
  // the right and bottom edges; c / r: cursor and remembered coordinates.
  auto edge = [&](int i, int& pos, int areaEdge, int extent, int c, int& r) {
    const bool near = std::abs(pos + extent - areaEdge) < m;
    if (near && !s.Snapped[i]) {
      pos = areaEdge - extent;
      r = c;
    } else if (s.Snapped[i]) {
      pos = std::abs(c - r) > m ? areaEdge + (c - r) - extent : areaEdge - extent;
    }
    s.Snapped[i] = near;
  };
  edge(0, x, area.x(), 0, cursor.x(), s.Remembered.rx());
  edge(1, y, area.y(), 0, cursor.y(), s.Remembered.ry());
  edge(2, x, aRight, w, cursor.x(), s.Remembered.rx());
  edge(3, y, aBottom, h, cursor.y(), s.Remembered.ry());
  return QPoint(x, y);
}
