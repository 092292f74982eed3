// Glyph and caption layout, text fitting and text helpers.
#include <QFontMetrics>
#include <QPainter>

#include "skin/draw/twPixels.h"
#include "skin/draw/twUtils.h"

TGlyphTextLayout LayoutGlyphText(int Layout, const TRect& R, int GlyphW, int GlyphH, int TextW, int TextH,
                                 int Margin, int Spacing) {
  const int cx = R.Left + R.Width() / 2, cy = R.Top + R.Height() / 2;
  if (GlyphW == 0) Spacing = 0;
  TGlyphTextLayout o;
  if (Margin != -1) {
    switch (Layout) {
      case 1:
        o.Glyph.X = R.Right - GlyphW - Margin;
        o.Text.X = o.Glyph.X - Spacing - TextW;
        o.Glyph.Y = cy - GlyphH / 2;
        o.Text.Y = cy - TextH / 2;
        break;
      case 2:
        o.Glyph.Y = R.Top + Margin;
        o.Text.Y = o.Glyph.Y + GlyphH + Spacing;
        o.Glyph.X = cx - GlyphW / 2;
        o.Text.X = cx - TextW / 2;
        break;
      case 3:
        o.Glyph.Y = R.Bottom - GlyphH - Margin;
        o.Text.Y = o.Glyph.Y - Spacing - TextH;
        o.Glyph.X = cx - GlyphW / 2;
        o.Text.X = cx - TextW / 2;
        break;
      default:
        o.Glyph.X = R.Left + Margin;
        o.Text.X = R.Left + Margin + GlyphW + Spacing;
        o.Glyph.Y = cy - GlyphH / 2;
        o.Text.Y = cy - TextH / 2;
        break;
    }
    return o;
  }
  const int tw = GlyphW + Spacing + TextW, th = GlyphH + Spacing + TextH;
  switch (Layout) {
    case 1:
      o.Text.X = cx - tw / 2;
      o.Glyph.X = cx + tw / 2 - GlyphW;
      o.Glyph.Y = cy - GlyphH / 2;
      o.Text.Y = cy - TextH / 2;
      break;
    case 2:
      o.Glyph.Y = cy - th / 2;
      o.Text.Y = cy + th / 2 - TextH;
      o.Glyph.X = cx - GlyphW / 2;
      o.Text.X = cx - TextW / 2;
      break;
    case 3:
      o.Text.Y = cy - th / 2;
      o.Glyph.Y = cy + th / 2 - GlyphH;
      o.Glyph.X = cx - GlyphW / 2;
      o.Text.X = cx - TextW / 2;
      break;
    default:
      o.Glyph.X = cx - tw / 2;
      o.Text.X = cx + tw / 2 - TextW;
      o.Glyph.Y = cy - GlyphH / 2;
      o.Text.Y = cy - TextH / 2;
      break;
  }
  return o;
}

namespace {

// A caption's "&" marks its accelerator: the next letter is underlined, "&&" is one "&".
constexpr int kCaptionFlags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic;

QSize MeasureCaption(QPainter& Canvas, const QString& Caption, const TRect& R, int Layout, int GlyphW,
                     int GlyphH) {
  if (Caption.isEmpty()) return QSize(0, 0);
  const bool sideBySide = Layout != 2 && Layout != 3;
  const int w = sideBySide ? R.Width() - GlyphW : R.Width();
  const int h = sideBySide ? R.Height() : R.Height() - GlyphH;
  const QFontMetrics fm(Canvas.font());
  const QRect br = fm.boundingRect(QRect(0, 0, std::max(w, 1), std::max(h, 1)), kCaptionFlags, Caption);
  return br.size();
}

void HLine(QPainter& Canvas, int x, int y, int len, const QColor& c) {
  if (len > 0) Canvas.fillRect(QRect(x, y, len, 1), c);
}

void DrawCaption(QPainter& Canvas, const QString& Caption, const TGlyphTextLayout& lay, QSize ts) {
  if (Caption.isEmpty()) return;
  Canvas.setBackgroundMode(Qt::TransparentMode);
  Canvas.drawText(QRect(lay.Text.X, lay.Text.Y, ts.width() + 2, ts.height()),
                  kCaptionFlags | Qt::AlignHCenter | Qt::AlignVCenter, Caption);
}

void DrawMarker(QPainter& Canvas, const TRect& R, const TGlyphTextLayout& lay, QSize gs, int lineLen,
                const QString& Caption, QSize ts, TColor MarkerColor, int blockTop, int blockBottom) {
  const QColor c = ColorToQ(MarkerColor);
  if (gs.width() > 0) {
    for (int d = -2; d <= 0; ++d) HLine(Canvas, lay.Glyph.X, lay.Glyph.Y + gs.height() + d, lineLen, c);
  } else if (!Caption.isEmpty()) {
    const int bottom = lay.Text.Y + ts.height();
    for (int d = -1; d <= 1; ++d) HLine(Canvas, lay.Text.X, bottom + d, ts.width() + 2, c);
  } else {
    const QRect block(QPoint(R.Left + 4, R.Top + blockTop), QPoint(R.Right - 2 - 1, R.Bottom - blockBottom - 1));
    if (block.isValid()) Canvas.fillRect(block, c);
  }
}

QImage DisabledLook(const QImage& img) {
  QImage g = img.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < g.height(); ++y) {
    uint32_t* p = reinterpret_cast<uint32_t*>(g.scanLine(y));
    for (int x = 0; x < g.width(); ++x) {
      const int v = qGray(p[x]);
      const int grey = 128 + v / 2;
      p[x] = (p[x] & 0xFF000000u) ? qRgba(grey, grey, grey, qAlpha(p[x]) / 2) : 0u;
    }
  }
  return g;
}

}  // namespace

void DrawListGlyphText(QPainter& Canvas, const TRect& R, const QString& Caption, const QList<QImage>& Images,
                       int ImageIndex, int Layout, int Margin, int Spacing, bool Enabled, bool PressedOffset,
                       bool Marker, TColor MarkerColor) {
  const bool hasGlyph = ImageIndex >= 0 && ImageIndex < Images.size() && !Images[ImageIndex].isNull();
  const QSize gs = hasGlyph ? Images[ImageIndex].size() : QSize(0, 0);
  const QSize ts = MeasureCaption(Canvas, Caption, R, Layout, gs.width(), gs.height());
  TGlyphTextLayout lay =
      LayoutGlyphText(Layout, R, gs.width(), gs.height(), ts.width(), ts.height(), Margin, Spacing);
  if (PressedOffset) {
    lay.Glyph.X++, lay.Glyph.Y++;
    lay.Text.X++, lay.Text.Y++;
  }
  DrawCaption(Canvas, Caption, lay, ts);
  if (hasGlyph)
    Canvas.drawImage(lay.Glyph.X, lay.Glyph.Y, Enabled ? Images[ImageIndex] : DisabledLook(Images[ImageIndex]));
  if (Marker) DrawMarker(Canvas, R, lay, gs, gs.width(), Caption, ts, MarkerColor, 4, 4);
}

void DrawStripGlyphText(QPainter& Canvas, const TRect& R, const QString& Caption, const QImage& Strip,
                        int FrameCount, int FrameNumber, int Layout, int Margin, int Spacing,
                        bool PressedOffset, bool Marker, TColor MarkerColor) {
  QSize gs(0, 0);
  if (!Strip.isNull() && FrameCount > 0) gs = QSize(Strip.width() / FrameCount, Strip.height());
  if (gs.width() <= 0) gs = QSize(0, 0);
  const QSize ts = MeasureCaption(Canvas, Caption, R, Layout, gs.width(), gs.height());
  TGlyphTextLayout lay =
      LayoutGlyphText(Layout, R, gs.width(), gs.height(), ts.width(), ts.height(), Margin, Spacing);
  if (PressedOffset) {
    lay.Glyph.X++, lay.Glyph.Y++;
    lay.Text.X++, lay.Text.Y++;
  }
  DrawCaption(Canvas, Caption, lay, ts);
  if (gs.width() > 0) DrawStripFrame(Canvas, lay.Glyph.X, lay.Glyph.Y, FrameNumber, FrameCount, Strip);
  if (Marker)
    DrawMarker(Canvas, R, lay, gs, Strip.width(), Caption, ts, MarkerColor, PressedOffset ? 5 : 4,
               PressedOffset ? 3 : 4);
}

namespace {

const QString kEllipsis = QStringLiteral("...");

template <typename Measure>
void FitEllipsis(QString& Text, int Width, Measure measure) {
  if (Width >= measure(Text)) return;
  while (!Text.isEmpty()) {
    // Drop a whole character, never half of a surrogate pair.
    int cut = 1;
    if (Text.size() >= 2 && Text.at(Text.size() - 1).isLowSurrogate() && Text.at(Text.size() - 2).isHighSurrogate())
      cut = 2;
    Text.chop(cut);
    if (Text.isEmpty() || Width >= measure(Text + kEllipsis)) break;
  }
  Text += kEllipsis;
}

}  // namespace

void FitTextEllipsis(QPainter& Canvas, QString& Text, int Width) {
  const QFontMetrics fm(Canvas.font());
  FitEllipsis(Text, Width, [&](const QString& s) { return fm.horizontalAdvance(s); });
}

int WideTextWidth(QPainter& Canvas, const QString& Text) {
  const QFontMetrics fm(Canvas.font());
  return fm.boundingRect(QRect(0, 0, 0, 0), Qt::TextSingleLine | Qt::TextExpandTabs, Text).width();
}

int WideTextHeight(QPainter& Canvas, const QString& Text) {
  const QFontMetrics fm(Canvas.font());
  return fm.boundingRect(QRect(0, 0, 0, 0), Qt::TextSingleLine | Qt::TextExpandTabs, Text).height();
}

void FitWideTextEllipsis(QPainter& Canvas, QString& Text, int Width) {
  FitEllipsis(Text, Width, [&](const QString& s) { return WideTextWidth(Canvas, s); });
}

int DrawWideText(QPainter& Canvas, const QString& Text, const TRect& R, int Flags) {
  QRect br;
  Canvas.drawText(R.ToQ(), Flags, Text, &br);
  return br.height();
}

void DrawTextVCenter(QPainter& Canvas, const QString& Text, const TRect& R) {
  if (Text.isEmpty()) return;
  Canvas.drawText(R.ToQ(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Text);
}

void DrawTextIndented(QPainter& Canvas, const QString& Text, const TRect& R, int ExtraIndent) {
  if (Text.isEmpty() || R.IsEmpty()) return;
  const QFontMetrics fm(Canvas.font());
  const int x = R.Left + 2 + ExtraIndent;
  const int y = R.Top + R.Height() / 2 - fm.height() / 2;
  Canvas.save();
  Canvas.setClipRect(R.ToQ(), Qt::IntersectClip);
  Canvas.drawText(QPoint(x, y + fm.ascent()), Text);
  Canvas.restore();
}

void DrawDottedFocus(QPainter& Canvas, const TRect& R0) {
  const int l = R0.Left, t = R0.Top, r = R0.Right - 1, b = R0.Bottom - 1;
  const int w = r - l, h = b - t;
  if (w <= 0 || h <= 0) return;
  const QColor c = Canvas.pen().color();
  // One walk around the border, each pixel visited once, so the on/off
  // phase runs on across the corners.
  int i = (w % 2 == 0 && h % 2 == 0) ? 1 : 0;
  auto dot = [&](int x, int y) {
    if ((i++ & 1) == 0) Canvas.fillRect(QRect(x, y, 1, 1), c);
  };
  for (int x = l; x < r; ++x) dot(x, t);
  for (int y = t; y < b; ++y) dot(r, y);
  for (int x = r; x > l; --x) dot(x, b);
  for (int y = b; y > t; --y) dot(l, y);
}
