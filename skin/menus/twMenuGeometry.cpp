// Popup-menu level geometry: sizes, the anchored frame, the scrolled view
// and the placement on the monitor, all without touching a pixel.
#include "skin/menus/twMenuGeometry.h"

#include <QFontMetrics>
#include <algorithm>

#include "skin/data/twSkinRecords.h"
#include "skin/menus/twSkinMenuItem.h"

namespace {
constexpr int kDefaultFrameExtra = 4;
constexpr int kMergedDefaultFrameExtra = 6;
constexpr int kDefaultSeparatorHeight = 4;
constexpr int kWidthExtra = 19;
constexpr int kDefaultWidthExtra = 10;
constexpr int kDefaultInset = 2;
constexpr int kDefaultBandInset = 3;
}  // namespace

TtwMenuMetrics TtwMenuMetrics::From(const TtwDataSkinPopupWindow* w, const TtwDataSkinMenuItem* item, int picW,
                                    int picH, int defItemHeight, int glyphColumn) {
  TtwMenuMetrics m;
  m.DefItemHeight = defItemHeight;
  m.GlyphColumn = glyphColumn;
  if (!w || !item || picW <= 0 || picH <= 0) return m;
  m.Skinned = true;
  m.PictureW = picW;
  m.PictureH = picH;
  m.LT = w->lefttoppoint;
  m.RT = w->righttoppoint;
  m.LB = w->leftbottompoint;
  m.RB = w->rightbottompoint;
  m.ItemsRect = w->itemsrect;
  m.ItemSkinRect = item->skinrect;
  m.ItemTextRect = item->textrect;
  m.DividerRect = item->dividerrect;
  return m;
}

int MenuItemTextWidth(const QFontMetrics& fm, const QString& caption, const QString& shortCut) {
  const QString shown = TwStripAccelerator(caption);
  const QString text = shortCut.isEmpty() ? shown : shown + QStringLiteral("  ") + shortCut;
  return fm.horizontalAdvance(text) + 2;
}

int TtwMenuWidthCache::Width(const QFont& f, const QString& caption, const QString& shortCut) {
  // Menus open again and again with the same entries; shaping their text
  // each time would cost more than drawing them.
  const QString key = f.key() + QChar(0x1F) + caption + QChar(0x1F) + shortCut;
  if (auto it = widths_.constFind(key); it != widths_.constEnd()) return *it;
  if (widths_.size() >= kMaxEntries) widths_.clear();
  const int w = MenuItemTextWidth(QFontMetrics(f), caption, shortCut);
  widths_.insert(key, w);
  return w;
}

int MenuItemHeight(const TtwMenuMetrics& m, bool separator) {
  if (separator) return m.Skinned ? m.DividerRect.Height() : kDefaultSeparatorHeight;
  return m.Skinned ? m.ItemSkinRect.Height() : m.DefItemHeight;
}

TtwMenuSizing MenuWindowSize(const TtwMenuMetrics& m, const std::vector<int>& textWidths,
                             const std::vector<bool>& separators, int maxItems, int workAreaHeight, bool merged) {
  TtwMenuSizing s;
  int widest = 0;
  for (int w : textWidths) widest = std::max(widest, w);
  int W = widest + m.GlyphColumn + kWidthExtra;
  if (m.Skinned)
    W += m.ItemTextRect.Left + (m.ItemSkinRect.Width() - m.ItemTextRect.Right) +
         (m.PictureW - m.ItemsRect.Width());
  else
    W += kDefaultWidthExtra;
  const int frameExtra = m.Skinned ? m.PictureH - m.ItemsRect.Height()
                                   : (merged ? kMergedDefaultFrameExtra : kDefaultFrameExtra);
  int H = frameExtra;
  for (bool sep : separators) H += MenuItemHeight(m, sep);
  const int count = int(separators.size());
  if (maxItems > 0 && count > maxItems) {
    // Merged levels scroll like any other, so no entry becomes unreachable.
    H = maxItems * MenuItemHeight(m, false) + frameExtra + 2 * kMenuScrollBand;
    s.Scrolling = s.Limited = true;
  }
  if (workAreaHeight > 0 && H > workAreaHeight) {
    H = workAreaHeight;
    s.Scrolling = true;
  }
  s.Size = QSize(W, H);
  return s;
}

TtwMenuFrame MenuFrame(const TtwMenuMetrics& m, int W, int H) {
  TtwMenuFrame f;
  if (!m.Skinned) {
    f.Items = TRect{kDefaultInset, kDefaultInset, W - kDefaultInset, H - kDefaultInset};
    return f;
  }
  const int pw = m.PictureW, ph = m.PictureH;
  f.LT = m.LT;
  f.RT = TPoint{W - (pw - m.RT.X), m.RT.Y};
  f.LB = TPoint{m.LB.X, H - (ph - m.LB.Y)};
  f.RB = TPoint{W - (pw - m.RB.X), H - (ph - m.RB.Y)};
  f.Items = TRect{m.ItemsRect.Left, m.ItemsRect.Top, W - (pw - m.ItemsRect.Right), H - (ph - m.ItemsRect.Bottom)};
  return f;
}

TtwMenuView LayoutMenuView(const TRect& items, const std::vector<int>& heights, int firstVisible, bool scrolling) {
  TtwMenuView v;
  const int n = int(heights.size());
  v.Rects.assign(n, TRect{});
  v.Shown.assign(n, false);
  v.FirstVisible = std::clamp(firstVisible, 0, std::max(0, n - 1));
  int y = items.Top + (scrolling ? kMenuScrollBand : 0);
  const int bottom = items.Bottom - (scrolling ? kMenuScrollBand : 0);
  // Entries past the view keep rectangles below it so nothing hits them.
  bool ended = false;
  for (int i = v.FirstVisible; i < n; ++i) {
    v.Rects[i] = TRect{items.Left, y, items.Right, y + heights[i]};
    y += heights[i];
    // The first entry shows even when taller than the view (cut at the
    // band), or a tall entry could never be scrolled to.
    if (!ended && v.Rects[i].Bottom > bottom && i > v.FirstVisible) ended = true;
    if (!ended) {
      v.Shown[i] = true;
      ++v.VisibleCount;
    }
  }
  return v;
}

int MenuLastPageStart(const TRect& items, const std::vector<int>& heights) {
  const int budget = items.Height() - 2 * kMenuScrollBand;
  int i = int(heights.size()), used = 0;
  while (i > 0 && used + heights[i - 1] <= budget) used += heights[--i];
  return std::clamp(i, 0, std::max(0, int(heights.size()) - 1));
}

TRect MenuTopBand(const TtwMenuMetrics& m, const TtwMenuFrame& f, int W) {
  if (!m.Skinned)
    return TRect{kDefaultBandInset, kDefaultBandInset, W - kDefaultBandInset, kDefaultBandInset + kMenuScrollBand};
  return TRect{f.Items.Left, f.Items.Top, f.Items.Right, f.Items.Top + kMenuScrollBand};
}

TRect MenuBottomBand(const TtwMenuMetrics& m, const TtwMenuFrame& f, int W, int H) {
  if (!m.Skinned) return TRect{kDefaultBandInset, H - kMenuScrollBand, W - kDefaultBandInset, H - kDefaultBandInset};
  return TRect{f.Items.Left, f.Items.Bottom - kMenuScrollBand, f.Items.Right, f.Items.Bottom};
}

QPoint PlaceMenu(const TtwMenuPlaceInput& in) {
  const TRect& A = in.Anchor;
  const TRect& WA = in.WorkArea;
  const int W = in.Size.width(), H = in.Size.height();
  const int middle = WA.Top + WA.Height() / 2;
  int y = 0;
  bool beside = false;
  const bool cut = in.Scrolling && !in.Limited;
  if (cut) {
    y = WA.Top;
    beside = true;
  } else if (in.SubMenu) {
    if (A.Top + H - in.ItemsTop <= WA.Bottom) y = A.Top - in.ItemsTop;
    else if (A.Top < middle) y = WA.Bottom - H;
    else y = std::max(WA.Top, A.Bottom - H + in.ItemsTop);
  } else if (in.Upward) {
    if (A.Top - H >= WA.Top) {
      y = A.Top - H;
    } else if (A.Top < middle) {
      if (A.Bottom + H <= WA.Bottom) {
        y = A.Bottom;
      } else {
        y = WA.Bottom - H;
        beside = true;
      }
    } else {
      y = WA.Top;
      beside = true;
    }
  } else {
    if (A.Bottom + H <= WA.Bottom) {
      y = A.Bottom;
    } else if (A.Top < middle) {
      y = WA.Bottom - H;
      beside = true;
    } else if (A.Top - H >= WA.Top) {
      y = A.Top - H;
    } else {
      y = WA.Top;
      beside = true;
    }
  }
  int x;
  if (in.SubMenu || cut || beside) {
    x = (A.Right + 1 + W <= WA.Right) ? A.Right + 1 : A.Left - W - 1;
  } else {
    x = A.Left;
    if (x + W > WA.Right) x = WA.Right - W;
    else if (x < WA.Left) x = WA.Left;
  }
  return QPoint(x, y);
}
