// Draws the built-in skin's pictures from the piece table.
#include "tools/skinmaker/Art.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "tools/skinmaker/Layout.h"

namespace skinmaker {
namespace {

QColor Mix(const QColor& a, const QColor& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return QColor(int(std::lround(a.red() + (b.red() - a.red()) * t)),
                int(std::lround(a.green() + (b.green() - a.green()) * t)),
                int(std::lround(a.blue() + (b.blue() - a.blue()) * t)));
}

QImage Blank(int w, int h, const QColor& c) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

void Px(QImage& img, int x, int y, const QColor& c) {
  if (x >= 0 && y >= 0 && x < img.width() && y < img.height()) img.setPixel(x, y, c.rgb());
}
QColor At(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }
void Blend(QImage& img, int x, int y, const QColor& c, double a) {
  if (x >= 0 && y >= 0 && x < img.width() && y < img.height()) Px(img, x, y, Mix(At(img, x, y), c, a));
}

void Fill(QImage& img, const TRect& r, const QColor& c) {
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) Px(img, x, y, c);
}
void HLine(QImage& img, int x0, int x1, int y, const QColor& c) { Fill(img, TRect{x0, y, x1, y + 1}, c); }
void VLine(QImage& img, int x, int y0, int y1, const QColor& c) { Fill(img, TRect{x, y0, x + 1, y1}, c); }

// Colour of row y of a vertical gradient spanning rows [top, bottom).
QColor GradRow(int y, int top, int bottom, const QColor& a, const QColor& b) {
  return bottom - top <= 1 ? a : Mix(a, b, double(y - top) / (bottom - top - 1));
}
void VGrad(QImage& img, const TRect& r, const QColor& a, const QColor& b) {
  for (int y = r.Top; y < r.Bottom; ++y) HLine(img, r.Left, r.Right, y, GradRow(y, r.Top, r.Bottom, a, b));
}

// Signed distance from a pixel centre to a rounded rectangle's outline.
double RoundedDistance(const TRect& r, double radius, int x, int y) {
  const double cx = (r.Left + r.Right) / 2.0, cy = (r.Top + r.Bottom) / 2.0;
  const double hx = r.Width() / 2.0 - radius, hy = r.Height() / 2.0 - radius;
  const double qx = std::abs(x + 0.5 - cx) - hx, qy = std::abs(y + 0.5 - cy) - hy;
  const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - radius;
}

struct BoxStyle {
  BoxStyle(const QColor& b, const QColor& t, const QColor& bo, int r = 3) : border(b), top(t), bottom(bo), radius(r) {}
  QColor border, top, bottom;
  int radius = 3;
  QColor inner;            // optional inner ring just inside the border
  bool hasInner = false;
  bool roundTop = true, roundBottom = true;
};

// A rounded box with a crisp 1-px border over whatever the image holds; the
// corners are blended with the pixels under them.
void Box(QImage& img, const TRect& r, const BoxStyle& s) {
  for (int y = r.Top; y < r.Bottom; ++y) {
    const bool top = y < r.Top + s.radius, bottom = y >= r.Bottom - s.radius;
    const double rad = (top && s.roundTop) || (bottom && s.roundBottom) ? s.radius : 0.0;
    const QColor fill = GradRow(y, r.Top + 1, r.Bottom - 1, s.top, s.bottom);
    for (int x = r.Left; x < r.Right; ++x) {
      const double d = RoundedDistance(r, rad, x, y);
      const double outer = std::clamp(0.5 - d, 0.0, 1.0);
      const double inner = std::clamp(0.5 - (d + 1.0), 0.0, 1.0);
      if (outer <= 0) continue;
      QColor c = Mix(At(img, x, y), s.border, outer);
      if (inner > 0) {
        QColor f = fill;
        if (s.hasInner) {
          const double ring = std::clamp(0.5 - (d + 2.0), 0.0, 1.0);
          f = Mix(s.inner, fill, ring);
        }
        c = Mix(c, f, inner);
      }
      Px(img, x, y, c);
    }
  }
}

// Filled triangle arrows of `size` rows (widths 2*size-1 down to 1).
enum Dir { Left = 1, Right, Up, Down };
void Arrow(QImage& img, int cx, int cy, Dir dir, const QColor& c, int size = 4) {
  for (int i = 0; i < size; ++i) {
    const int half = (dir == Up || dir == Left) ? i : size - 1 - i;
    const int off = i - size / 2;
    if (dir == Up || dir == Down)
      HLine(img, cx - half, cx + half + 1, cy + off, c);
    else
      VLine(img, cx + off, cy - half, cy + half + 1, c);
  }
}

// Antialiased strokes for the few glyphs that are not straight lines.
template <typename F>
void Paint(QImage& img, F f) {
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  f(p);
}

void CheckTick(QImage& img, const TRect& r, const QColor& c) {
  Paint(img, [&](QPainter& p) {
    QPen pen(c, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    QPainterPath path;
    path.moveTo(r.Left + 3.0, r.Top + 6.5);
    path.lineTo(r.Left + 5.5, r.Top + 9.0);
    path.lineTo(r.Left + 10.0, r.Top + 3.8);
    p.drawPath(path);
  });
}

// ---- frame ---------------------------------------------------------------

// Pixels cut from each end of the first rows for the rounded top corners
// (radius 6). Rows 0-2 lie in the mask's top band, rows 3-4 in its side bands.
constexpr int kCornerRows = 5;
int CornerCut(int y) {
  static const int cut[kCornerRows] = {4, 2, 1, 1, 0};
  return y < kCornerRows ? cut[y] : 0;
}

QColor CaptionRow(int y) {
  return GradRow(y, frame::CaptionBandTop, frame::CaptionBandBottom, pal::CaptionTop, pal::CaptionBottom);
}

}  // namespace

QImage DrawFrame() {
  QImage img = Blank(kFrameW, kFrameH, pal::Window);
  const int W = kFrameW, H = kFrameH;
  // caption band
  HLine(img, 0, W, 0, pal::FrameOuter);
  HLine(img, 0, W, 1, pal::FrameInner);
  for (int y = frame::CaptionBandTop; y < frame::CaptionBandBottom; ++y) HLine(img, 0, W, y, CaptionRow(y));
  HLine(img, 0, W, 26, pal::FrameOuter);
  // side and bottom borders: outer line, highlight, two rows of the band
  for (int y = 1; y < H; ++y) {
    Px(img, 0, y, pal::FrameOuter);
    Px(img, W - 1, y, pal::FrameOuter);
    if (y >= 27) {
      Px(img, 1, y, pal::FrameInner);
      Px(img, 2, y, pal::CaptionTop);
      Px(img, 3, y, pal::CaptionBottom);
      Px(img, W - 2, y, pal::FrameSoft);
      Px(img, W - 3, y, pal::CaptionTop);
      Px(img, W - 4, y, pal::CaptionBottom);
    } else if (y >= 2) {
      Px(img, 1, y, pal::FrameInner);
      Px(img, W - 2, y, pal::FrameSoft);
    }
  }
  HLine(img, 1, W - 1, H - 1, pal::FrameOuter);
  HLine(img, 2, W - 2, H - 2, pal::FrameSoft);
  HLine(img, 3, W - 3, H - 3, pal::CaptionTop);
  HLine(img, 4, W - 4, H - 4, pal::CaptionBottom);
  Px(img, 1, H - 2, pal::FrameInner);
  // rounded top corners: the outline and its highlight follow the mask's cut
  int prevHighlightStart = 0;
  for (int y = 0; y < kCornerRows; ++y) {
    const int c = CornerCut(y);
    const int outerEnd = y == 0 ? c : std::max(c, CornerCut(y - 1) - 1);
    int hlEnd = y == 0 ? -1 : std::max(outerEnd + 1, prevHighlightStart - 1);
    if (y == 1) hlEnd = -1;  // row 1 is the highlight row already
    for (int x = 0; x <= outerEnd; ++x) {
      Px(img, x, y, pal::FrameOuter);
      Px(img, W - 1 - x, y, pal::FrameOuter);
    }
    for (int x = outerEnd + 1; x <= hlEnd; ++x) {
      Px(img, x, y, pal::FrameInner);
      Px(img, W - 1 - x, y, pal::FrameSoft);
    }
    prevHighlightStart = outerEnd + 1;
  }
  // soften the steps of the arc a little
  Blend(img, 4, 0, pal::FrameInner, 0.35);
  Blend(img, W - 5, 0, pal::FrameSoft, 0.35);
  Blend(img, 1, 2, pal::FrameInner, 0.3);
  Blend(img, W - 2, 2, pal::FrameSoft, 0.3);
  return img;
}

QImage DrawFrameMask() {
  QImage img(kFrameW, kFrameH, QImage::Format_Grayscale8);
  img.fill(0);
  for (int y = 0; y < kCornerRows; ++y)
    for (int x = 0; x < CornerCut(y); ++x) {
      img.setPixel(x, y, qRgb(255, 255, 255));
      img.setPixel(kFrameW - 1 - x, y, qRgb(255, 255, 255));
    }
  return img;
}

// ---- picture 0: buttons -------------------------------------------------

QImage DrawButtons() {
  QImage img = Blank(kButtonsW, kButtonsH, pal::Window);
  Box(img, btn::Normal, {pal::BtnBorder, pal::BtnTop, pal::BtnBottom});
  Box(img, btn::Hot, {pal::HotBorder, pal::HotTop, pal::HotBottom});
  BoxStyle down{pal::DownBorder, pal::DownTop, pal::DownBottom};
  down.inner = QColor(0xBC, 0xCD, 0xE6);
  down.hasInner = true;
  Box(img, btn::Down, down);
  Box(img, btn::Disabled, {pal::DisabledBorder, pal::DisabledFace, pal::DisabledFace});
  BoxStyle focus{pal::FocusBorder, pal::BtnTop, pal::BtnBottom};
  focus.inner = QColor(0xC4, 0xD5, 0xEE);
  focus.hasInner = true;
  Box(img, btn::Focused, focus);
  // tool buttons: flat on the tool bar until the pointer comes
  Fill(img, btn::ToolNormal, pal::ToolFace);
  Fill(img, btn::ToolHot, pal::ToolFace);
  Box(img, btn::ToolHot, {pal::HotBorder, pal::HotTop, pal::HotBottom});
  Fill(img, btn::ToolDown, pal::ToolFace);
  Box(img, btn::ToolDown, down);
  Fill(img, btn::ToolDisabled, pal::ToolFace);
  // combo buttons, bordered
  Box(img, btn::ComboNormal, {pal::BtnBorder, pal::BtnTop, pal::BtnBottom, 2});
  Box(img, btn::ComboHot, {pal::HotBorder, pal::HotTop, pal::HotBottom, 2});
  Box(img, btn::ComboDown, {pal::DownBorder, pal::DownTop, pal::DownBottom, 2});
  Fill(img, btn::MarkerArea, pal::Magenta);
  Arrow(img, btn::Marker.Left + 3, btn::Marker.Top + 2, Down, pal::Glyph);
  return img;
}

// ---- picture 1 and 7: system-menu button ----------------------------------

namespace {
// A small note sheet with a folded corner, the program's mark.
constexpr TRect kNote = Sized(8, 3, 13, 15);
}

QImage DrawSysMenu() {
  QImage img = Blank(kSysMenuW, kSysMenuH, pal::White);
  // the caption rows it sits on (the button is centred on the caption row)
  for (int y = 0; y < kSysMenuH; ++y) HLine(img, 0, kSysMenuW, y, CaptionRow(y + frame::Caption.Top));
  const TRect n = kNote;
  const int f = 4;  // size of the folded corner
  const QColor paper(0xF7, 0xF9, 0xFC), edge(0x1F, 0x35, 0x56), fold(0xC9, 0xD6, 0xEA);
  // the sheet without its top-right triangle
  for (int y = n.Top; y < n.Bottom; ++y) {
    const int cut = y < n.Top + f ? f - (y - n.Top) : 0;
    HLine(img, n.Left, n.Right - cut, y, paper);
  }
  // the fold: a small triangle turned down over the sheet
  for (int i = 0; i < f; ++i) HLine(img, n.Right - f, n.Right - f + i + 1, n.Top + i, fold);
  HLine(img, n.Right - f, n.Right, n.Top + f, fold);
  // shadow below and right
  HLine(img, n.Left + 1, n.Right + 1, n.Bottom, edge);
  VLine(img, n.Right, n.Top + f + 1, n.Bottom, edge);
  // a heading and four lines of text
  HLine(img, n.Left + 2, n.Right - 6, n.Top + 2, pal::Selection);
  const QColor ink(0x6F, 0x8C, 0xB8);
  for (int k = 0; k < 4; ++k) HLine(img, n.Left + 2, n.Right - (k == 3 ? 5 : 2), n.Top + 5 + 2 * k, ink);
  return img;
}

QImage DrawSysMenuMask() {
  QImage img(kSysMenuW, kSysMenuH, QImage::Format_Grayscale8);
  img.fill(255);
  // the whole sheet with a margin: easy to hit, nothing beside it
  for (int y = kNote.Top - 2; y < kNote.Bottom + 2; ++y)
    for (int x = kNote.Left - 3; x < kNote.Right + 3; ++x) img.setPixel(x, y, qRgb(0, 0, 0));
  return img;
}

// ---- picture 2 and 6: glow frame -----------------------------------------

namespace {
double GlowAlpha(int x, int y) {
  const TRect b = glow::Button;
  const double d = RoundedDistance(b, glow::ButtonRadius, x, y);
  if (d <= 0) return 0;  // where the button is
  // elliptical falloff: 9 px sideways, 15 px up and down
  const double dx = std::max({b.Left - (x + 0.5), (x + 0.5) - b.Right, 0.0}) / glow::X;
  const double dy = std::max({b.Top - (y + 0.5), (y + 0.5) - b.Bottom, 0.0}) / glow::Y;
  const double t = std::clamp(1.0 - std::sqrt(dx * dx + dy * dy), 0.0, 1.0);
  return std::pow(t, 1.6);
}
bool UnderButton(int x, int y) { return RoundedDistance(glow::Button, glow::ButtonRadius, x, y) <= 0; }
constexpr int kGlowSteps = 14;
int GlowGrey(int step) { return step == 0 ? 1 : int(std::lround(step * 255.0 / kGlowSteps)); }
}  // namespace

QImage DrawGlow() {
  QImage img = Blank(kGlowW, kGlowH, pal::Glow);
  // a touch lighter near the button, so the edge reads as light
  for (int y = 0; y < kGlowH; ++y)
    for (int x = 0; x < kGlowW; ++x) Px(img, x, y, Mix(pal::Glow, pal::White, GlowAlpha(x, y) * 0.35));
  // The hint face, only where the glow is transparent; its antialiased
  // corners blend into a neutral light grey rather than the glow's blue.
  QImage face = Blank(kGlowW, kGlowH, pal::Window);
  Box(face, hint::Face, BoxStyle(pal::HintBorder, pal::HintTop, pal::HintBottom, glow::ButtonRadius));
  for (int y = 0; y < kGlowH; ++y)
    for (int x = 0; x < kGlowW; ++x)
      if (UnderButton(x, y)) Px(img, x, y, At(face, x, y));
  return img;
}

QList<QRgb> GlowMaskTable() {
  QList<QRgb> t{qRgb(0, 0, 0)};
  for (int step = 0; step <= kGlowSteps; ++step) t.append(qRgb(GlowGrey(step), GlowGrey(step), GlowGrey(step)));
  return t;
}

QImage DrawGlowMask() {
  QImage img(kGlowW, kGlowH, QImage::Format_RGB32);
  for (int y = 0; y < kGlowH; ++y)
    for (int x = 0; x < kGlowW; ++x) {
      // Only the button's place is pure black: it is the hint's shape too.
      const int level = UnderButton(x, y) ? 0 : GlowGrey(int(std::lround(GlowAlpha(x, y) * kGlowSteps)));
      img.setPixel(x, y, qRgb(level, level, level));
    }
  return img;
}

// ---- picture 3: caption buttons --------------------------------------------

namespace {

void CaptionGlyph(QImage& img, int row, int ox, int oy, const QColor& c) {
  using namespace capbtn;
  // glyphs are 10 x 10, placed at (ox, oy)
  switch (row) {
    case Close:
      for (int i = 0; i < 9; ++i) {
        Px(img, ox + i, oy + i, c);
        Px(img, ox + i + 1, oy + i, c);
        Px(img, ox + 9 - i, oy + i, c);
        Px(img, ox + 8 - i, oy + i, c);
      }
      break;
    case Maximize:
      Fill(img, TRect{ox, oy, ox + 10, oy + 2}, c);
      VLine(img, ox, oy, oy + 9, c);
      VLine(img, ox + 9, oy, oy + 9, c);
      HLine(img, ox, ox + 10, oy + 8, c);
      break;
    case Restore:
      Fill(img, TRect{ox + 3, oy, ox + 10, oy + 2}, c);
      VLine(img, ox + 9, oy, oy + 6, c);
      HLine(img, ox + 7, ox + 10, oy + 5, c);
      Fill(img, TRect{ox, oy + 3, ox + 7, oy + 5}, c);
      VLine(img, ox, oy + 3, oy + 9, c);
      VLine(img, ox + 6, oy + 3, oy + 9, c);
      HLine(img, ox, ox + 7, oy + 8, c);
      VLine(img, ox + 3, oy, oy + 3, c);
      break;
    case Minimize:
      Fill(img, TRect{ox, oy + 7, ox + 10, oy + 9}, c);
      break;
    case RollUp:
      // a chevron pointing up
      for (int i = 0; i < 5; ++i) {
        Px(img, ox + i, oy + 7 - i, c);
        Px(img, ox + i + 1, oy + 7 - i, c);
        Px(img, ox + 9 - i, oy + 7 - i, c);
        Px(img, ox + 8 - i, oy + 7 - i, c);
      }
      break;
    case RollDown:
      // a chevron pointing down: the rolled-up window's way back
      for (int i = 0; i < 5; ++i) {
        Px(img, ox + i, oy + 3 + i, c);
        Px(img, ox + i + 1, oy + 3 + i, c);
        Px(img, ox + 9 - i, oy + 3 + i, c);
        Px(img, ox + 8 - i, oy + 3 + i, c);
      }
      break;
    case Tray:
      // an arrow into a tray
      Fill(img, TRect{ox + 4, oy, ox + 6, oy + 4}, c);
      Arrow(img, ox + 5, oy + 5, Down, c, 3);
      HLine(img, ox, ox + 10, oy + 8, c);
      VLine(img, ox, oy + 6, oy + 8, c);
      VLine(img, ox + 9, oy + 6, oy + 8, c);
      HLine(img, ox + 4, ox + 6, oy + 6, c);
      break;
  }
}

}  // namespace

QImage DrawCaptionButtons() {
  using namespace capbtn;
  QImage img = Blank(kCapBtnW, kCapBtnH, pal::CaptionBottom);
  // every cell sits on the caption rows it covers in the frame
  for (int y = 0; y < kCapBtnH; ++y) HLine(img, 0, kCapBtnW, y, CaptionRow(frame::Caption.Top + y % Cell));
  const QColor hotFill(0x64, 0x88, 0xBF), hotBorder(0x8C, 0xA8, 0xD3);
  const QColor downFill(0x2C, 0x4A, 0x78), downBorder(0x25, 0x3F, 0x68);
  const QColor closeHot(0xD9, 0x53, 0x4F), closeHotBorder(0xE8, 0x86, 0x82);
  const QColor closeDown(0xAE, 0x3A, 0x36), closeDownBorder(0x93, 0x2F, 0x2C);
  const QColor glyph(0xFF, 0xFF, 0xFF), glyphDown(0xE3, 0xEA, 0xF4);
  const QColor glyphInactive(0xA9, 0xBA, 0xD4), glyphDisabled(0x6C, 0x86, 0xB0);
  for (int row = 0; row < RowCount; ++row) {
    for (int col = 0; col < ColCount; ++col) {
      const TRect r = CellRect(row, col);
      const bool close = row == Close;
      QColor g = glyph;
      int shift = 0;
      if (col == HotCol) {
        Box(img, r, {close ? closeHotBorder : hotBorder, close ? closeHot : hotFill.lighter(104),
                     close ? closeHot.darker(106) : hotFill});
      } else if (col == DownCol) {
        Box(img, r, {close ? closeDownBorder : downBorder, close ? closeDown : downFill,
                     close ? closeDown : downFill.lighter(108)});
        g = glyphDown;
        shift = 1;
      } else if (col == Inactive) {
        g = glyphInactive;
      } else if (col == DisabledCol) {
        g = glyphDisabled;
      }
      CaptionGlyph(img, row, r.Left + 5 + (row == Close ? 0 : 1), r.Top + 6 + shift - (row == Close ? 1 : 0), g);
    }
  }
  return img;
}

// ---- picture 4: controls ---------------------------------------------------

namespace {

void FramedPanel(QImage& img, const TRect& r, const QColor& border, const QColor& face, int radius = 2) {
  Fill(img, r, pal::Window);
  Box(img, r, {border, face, face, radius});
}

void GroupLike(QImage& img, const TRect& r) {
  FramedPanel(img, r, pal::PanelBorder, pal::Face, 3);
  const TRect band{r.Left, r.Top, r.Right, r.Top + ctl::GroupCaptionH + 1};
  BoxStyle s{pal::PanelBorder, pal::GroupBand, pal::GroupBand, 3};
  s.roundBottom = false;
  Box(img, band, s);
  // the band's bottom line joins the side lines
  HLine(img, r.Left, r.Right, band.Bottom - 1, pal::PanelBorder);
  HLine(img, r.Left + 1, r.Right - 1, r.Top + 1, QColor(0xF2, 0xF5, 0xF9));
}

void EditBox(QImage& img, const TRect& r, const QColor& border, const QColor& face) {
  Fill(img, r, pal::Window);
  Box(img, r, {border, face, face, 2});
}

void ButtonFace(QImage& img, const TRect& r, int state, int radius = 2) {
  // 0 normal, 1 hot, 2 down, 3 disabled
  static const BoxStyle styles[] = {{pal::BtnBorder, pal::BtnTop, pal::BtnBottom},
                                    {pal::HotBorder, pal::HotTop, pal::HotBottom},
                                    {pal::DownBorder, pal::DownTop, pal::DownBottom},
                                    {pal::DisabledBorder, pal::DisabledFace, pal::DisabledFace}};
  BoxStyle s = styles[state];
  s.radius = radius;
  Box(img, r, s);
}

void ScrollButton(QImage& img, const TRect& r, Dir dir, int state) {
  // state 0: plain on the track, 1 hot, 2 down
  Fill(img, r, pal::Track);
  if (state == 1) Box(img, TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, {pal::HotBorder, pal::HotTop, pal::HotBottom, 2});
  if (state == 2) Box(img, TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, {pal::DownBorder, pal::DownTop, pal::DownBottom, 2});
  const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
  Arrow(img, cx, cy, dir, state == 0 ? QColor(0x6B, 0x7A, 0x8F) : pal::Text, 4);
}

void ThumbPiece(QImage& img, const TRect& r, bool vertical, const QColor& c) {
  Fill(img, r, pal::Track);
  const TRect t = vertical ? TRect{r.Left + 4, r.Top + 1, r.Right - 4, r.Bottom - 1}
                           : TRect{r.Left + 1, r.Top + 4, r.Right - 1, r.Bottom - 4};
  Box(img, t, {c, c, c, 4});
}

void CheckPiece(QImage& img, const TRect& r, bool radio, int kind) {
  // kinds: 0 check, 1 uncheck, 2 active check, 3 active uncheck,
  // 4 disabled check, 5 disabled uncheck, 6 grayed, 7 active grayed
  const bool active = kind == 2 || kind == 3 || kind == 7;
  const bool disabled = kind == 4 || kind == 5;
  const bool checked = kind == 0 || kind == 2 || kind == 4;
  const bool grayed = kind == 6 || kind == 7;
  Fill(img, r, pal::Face);
  const QColor border = disabled ? pal::DisabledBorder : active ? pal::HotBorder : pal::EditBorder;
  const QColor face = disabled ? pal::DisabledFace : active ? QColor(0xF1, 0xF6, 0xFD) : pal::White;
  Box(img, r, {border, face, face, radio ? 6 : 2});
  const QColor mark = disabled ? pal::DisabledText : pal::Selection;
  if (checked) {
    if (radio) {
      Box(img, TRect{r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3}, {mark, mark, mark, 3});
    } else {
      CheckTick(img, r, mark);
    }
  } else if (grayed) {
    Fill(img, TRect{r.Left + 3, r.Top + 6, r.Right - 3, r.Top + 8}, radio ? pal::DisabledText : mark);
  }
}

void Grip(QImage& img, int x, int y) {
  Px(img, x, y, QColor(0x8C, 0x9A, 0xAE));
  Px(img, x + 1, y + 1, pal::White);
}

}  // namespace

QImage DrawControls() {
  using namespace ctl;
  QImage img = Blank(kControlsW, kControlsH, pal::Window);

  // panels and bars
  FramedPanel(img, Panel, pal::PanelBorder, pal::Face, 2);
  // The client piece (inset 1) is stretched over the whole panel, so its corner
  // pixels must be plain face: the rounding's shading there would grow to blocks.
  for (const int x : {Panel.Left + 1, Panel.Right - 2})
    for (const int y : {Panel.Top + 1, Panel.Bottom - 2}) Px(img, x, y, pal::Face);
  Fill(img, ToolPanel, pal::ToolFace);
  HLine(img, ToolPanel.Left, ToolPanel.Right, ToolPanel.Top, pal::White);
  HLine(img, ToolPanel.Left, ToolPanel.Right, ToolPanel.Bottom - 1, pal::PanelBorder);
  GroupLike(img, GroupBox);
  GroupLike(img, ExPanel);
  Fill(img, StatusBar, pal::StatusFace);
  HLine(img, StatusBar.Left, StatusBar.Right, StatusBar.Top, pal::PanelBorder);
  HLine(img, StatusBar.Left, StatusBar.Right, StatusBar.Top + 1, QColor(0xF7, 0xF9, 0xFB));
  Fill(img, Gripper, pal::StatusFace);
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j <= k; ++j) Grip(img, Gripper.Right - 4 - 3 * j, Gripper.Top + 3 + 3 * k);
  Fill(img, StatusPanel, pal::StatusFace);
  HLine(img, StatusPanel.Left, StatusPanel.Right, StatusPanel.Top, pal::PanelBorder);
  HLine(img, StatusPanel.Left, StatusPanel.Right, StatusPanel.Top + 1, QColor(0xF7, 0xF9, 0xFB));
  VLine(img, StatusPanel.Right - 2, StatusPanel.Top + 6, StatusPanel.Bottom - 5, pal::PanelBorder);
  VLine(img, StatusPanel.Right - 1, StatusPanel.Top + 6, StatusPanel.Bottom - 5, pal::White);
  // labels sit on panels: plain panel face, the text carries them
  Fill(img, Label, pal::Face);
  // splitters
  for (const TRect& s : {VSplitter, HSplitter}) Fill(img, s, QColor(0xE8, 0xEC, 0xF1));
  VLine(img, VSplitter.Left, VSplitter.Top, VSplitter.Bottom, QColor(0xDD, 0xE3, 0xEA));
  VLine(img, VSplitter.Right - 1, VSplitter.Top, VSplitter.Bottom, QColor(0xDD, 0xE3, 0xEA));
  HLine(img, HSplitter.Left, HSplitter.Right, HSplitter.Top, QColor(0xDD, 0xE3, 0xEA));
  HLine(img, HSplitter.Left, HSplitter.Right, HSplitter.Bottom - 1, QColor(0xDD, 0xE3, 0xEA));
  Fill(img, VGripper, QColor(0xE8, 0xEC, 0xF1));
  for (int k = 0; k < 6; ++k) Grip(img, VGripper.Left + 1, VGripper.Top + 1 + 4 * k);
  Fill(img, HGripper, QColor(0xE8, 0xEC, 0xF1));
  for (int k = 0; k < 6; ++k) Grip(img, HGripper.Left + 1 + 4 * k, HGripper.Top + 1);
  // up-down buttons
  {
    const TRect sets[] = {VUpDown, VUpDownHot, VUpDownDown};
    for (int s = 0; s < 3; ++s) {
      const TRect r = sets[s];
      const TRect a{r.Left, r.Top, r.Right, r.Top + r.Height() / 2}, b{r.Left, a.Bottom, r.Right, r.Bottom};
      ButtonFace(img, a, s);
      ButtonFace(img, b, s);
      Arrow(img, a.Left + a.Width() / 2, a.Top + a.Height() / 2, Up, pal::Glyph, 3);
      Arrow(img, b.Left + b.Width() / 2, b.Top + b.Height() / 2, Down, pal::Glyph, 3);
    }
    const TRect hsets[] = {HUpDown, HUpDownHot, HUpDownDown};
    for (int s = 0; s < 3; ++s) {
      const TRect r = hsets[s];
      const TRect a{r.Left, r.Top, r.Left + r.Width() / 2, r.Bottom}, b{a.Right, r.Top, r.Right, r.Bottom};
      ButtonFace(img, a, s);
      ButtonFace(img, b, s);
      Arrow(img, a.Left + a.Width() / 2, a.Top + a.Height() / 2, Left, pal::Glyph, 3);
      Arrow(img, b.Left + b.Width() / 2, b.Top + b.Height() / 2, Right, pal::Glyph, 3);
    }
  }
  // edits
  EditBox(img, Edit, pal::EditBorder, pal::White);
  EditBox(img, EditActive, pal::FocusBorder, pal::White);
  EditBox(img, EditDisabled, pal::DisabledBorder, pal::DisabledFace);
  for (const TRect& r : {ButtonEdit, ButtonEditActive}) {
    EditBox(img, r, r.Left == ButtonEdit.Left ? pal::EditBorder : pal::FocusBorder, pal::White);
    VLine(img, r.Right - 19, r.Top + 3, r.Bottom - 3, pal::Divider);
    for (int k = 0; k < 3; ++k) Fill(img, Sized(r.Right - 14 + 3 * k, r.Top + 10, 2, 2), pal::Glyph);
  }
  ButtonFace(img, EditBtnHot, 1);
  ButtonFace(img, EditBtnDown, 2);
  ButtonFace(img, EditBtnDisabled, 3);
  for (const TRect& r : {EditBtnHot, EditBtnDown, EditBtnDisabled})
    for (int k = 0; k < 3; ++k)
      Fill(img, Sized(r.Left + 4 + 3 * k, r.Top + 9, 2, 2), r.Left == EditBtnDisabled.Left ? pal::DisabledText : pal::Glyph);
  for (const TRect& r : {SpinEdit, SpinEditActive}) {
    EditBox(img, r, r.Left == SpinEdit.Left ? pal::EditBorder : pal::FocusBorder, pal::White);
    VLine(img, r.Right - 16, r.Top + 3, r.Bottom - 3, pal::Divider);
    Arrow(img, r.Right - 8, r.Top + 7, Up, pal::Glyph, 3);
    Arrow(img, r.Right - 8, r.Top + 14, Down, pal::Glyph, 3);
  }
  EditBox(img, Memo, pal::EditBorder, pal::White);
  EditBox(img, MemoActive, pal::FocusBorder, pal::White);

  // grid cells
  VGrad(img, FixedCell, QColor(0xF6, 0xF8, 0xFA), QColor(0xE6, 0xEB, 0xF1));
  HLine(img, FixedCell.Left, FixedCell.Right, FixedCell.Bottom - 1, pal::PanelBorder);
  VLine(img, FixedCell.Right - 1, FixedCell.Top + 3, FixedCell.Bottom - 3, pal::PanelBorder);
  Fill(img, Cell, pal::White);
  Fill(img, SelectCell, pal::Selection);
  Fill(img, FocusCell, pal::Selection);
  Box(img, FocusCell, {QColor(0x2F, 0x64, 0xB5), pal::Selection, pal::Selection, 0});
  // tabs
  FramedPanel(img, TabPage, pal::PanelBorder, pal::Face, 0);
  for (const TRect& t : {Tab, TabActive, TabHot}) {
    const bool active = t.Left == TabActive.Left, hot = t.Left == TabHot.Left;
    BoxStyle s{pal::PanelBorder, active ? pal::Face : hot ? pal::White : QColor(0xEE, 0xF1, 0xF5),
               active ? pal::Face : hot ? QColor(0xE9, 0xF0, 0xFA) : pal::GroupBand, 3};
    s.roundBottom = false;
    Box(img, TRect{t.Left, t.Top, t.Right, t.Bottom + 3}, s);
    if (active) {
      HLine(img, t.Left + 2, t.Right - 2, t.Top, pal::Selection);
      HLine(img, t.Left + 1, t.Right - 1, t.Top + 1, pal::Selection);
    } else {
      HLine(img, t.Left, t.Right, t.Bottom - 1, pal::PanelBorder);
    }
  }
  Fill(img, TRect{Tab.Left, Tab.Bottom, TabHot.Right, Tab.Bottom + 3}, pal::Window);
  Fill(img, HGrip, pal::ToolFace);
  for (int k = 0; k < 5; ++k) Grip(img, HGrip.Left + 1, HGrip.Top + 2 + 4 * k);
  Fill(img, VGrip, pal::ToolFace);
  for (int k = 0; k < 5; ++k) Grip(img, VGrip.Left + 2 + 4 * k, VGrip.Top + 1);

  // combo box
  EditBox(img, Combo, pal::EditBorder, pal::White);
  {
    const TRect b{Combo.Right - ComboBtnW - 1, Combo.Top + 1, Combo.Right - 1, Combo.Bottom - 1};
    VGrad(img, TRect{b.Left + 1, b.Top, b.Right - 1, b.Bottom}, QColor(0xF7, 0xF9, 0xFB), QColor(0xE8, 0xEC, 0xF1));
    VLine(img, b.Left, b.Top, b.Bottom, pal::Divider);
    Arrow(img, b.Left + b.Width() / 2, b.Top + b.Height() / 2, Down, pal::Glyph);
  }
  const TRect states[] = {ComboBtnHot, ComboBtnDown, ComboBtnDisabled};
  for (int s = 0; s < 3; ++s) {
    const TRect r = states[s];
    Fill(img, r, pal::White);
    ButtonFace(img, r, s + 1, 2);
    Arrow(img, r.Left + r.Width() / 2, r.Top + r.Height() / 2 + (s == 1 ? 1 : 0), Down, s == 2 ? pal::DisabledText : pal::Text);
  }
  Fill(img, ComboItem, pal::White);
  Fill(img, ComboFocusItem, pal::White);
  Box(img, ComboFocusItem, {pal::Selection, pal::Selection, pal::Selection, 2});

  // list boxes
  EditBox(img, ListBox, pal::EditBorder, pal::White);
  Fill(img, ListItem, pal::White);
  Fill(img, ListItemActive, pal::White);
  Box(img, TRect{ListItemActive.Left + 1, ListItemActive.Top, ListItemActive.Right - 1, ListItemActive.Bottom},
      {pal::Selection, pal::Selection, pal::Selection, 2});
  Fill(img, ListItemFocus, pal::White);
  Box(img, TRect{ListItemFocus.Left + 1, ListItemFocus.Top, ListItemFocus.Right - 1, ListItemFocus.Bottom},
      {QColor(0x2F, 0x64, 0xB5), pal::Selection, pal::Selection, 2});
  EditBox(img, CaptionListBox, pal::EditBorder, pal::White);
  {
    const TRect band{CaptionListBox.Left, CaptionListBox.Top, CaptionListBox.Right, CaptionListBox.Top + ListCaptionH + 1};
    BoxStyle s{pal::EditBorder, pal::GroupBand, pal::GroupBand, 2};
    s.roundBottom = false;
    Box(img, band, s);
  }

  // scroll bars
  Fill(img, VScroll, pal::Track);
  ScrollButton(img, Sized(VScroll.Left, VScroll.Top, SB, SB), Up, 0);
  ScrollButton(img, Sized(VScroll.Left, VScroll.Bottom - SB, SB, SB), Down, 0);
  ThumbPiece(img, VThumb, true, pal::Thumb);
  ThumbPiece(img, VThumbHot, true, pal::ThumbHot);
  ThumbPiece(img, VThumbDown, true, pal::ThumbDown);
  ScrollButton(img, VTopHot, Up, 1);
  ScrollButton(img, VTopDown, Up, 2);
  ScrollButton(img, VBottomHot, Down, 1);
  ScrollButton(img, VBottomDown, Down, 2);
  for (const TRect& h : {HScroll, BothHScroll}) {
    Fill(img, h, pal::Track);
    ScrollButton(img, Sized(h.Left, h.Top, SB, SB), Left, 0);
    ScrollButton(img, Sized(HScroll.Right - SB - HScroll.Left + h.Left, h.Top, SB, SB), Right, 0);
  }
  Fill(img, TRect{HScroll.Right, BothHScroll.Top, BothHScroll.Right, BothHScroll.Bottom}, pal::Window);
  ThumbPiece(img, HThumb, false, pal::Thumb);
  ThumbPiece(img, HThumbHot, false, pal::ThumbHot);
  ThumbPiece(img, HThumbDown, false, pal::ThumbDown);
  ScrollButton(img, HLeftHot, Left, 1);
  ScrollButton(img, HLeftDown, Left, 2);
  ScrollButton(img, HRightHot, Right, 1);
  ScrollButton(img, HRightDown, Right, 2);

  // check and radio boxes
  Fill(img, CheckBox, pal::Face);
  Fill(img, RadioBox, pal::Face);
  for (int i = 0; i < 8; ++i) {
    CheckPiece(img, CheckMark(i), false, i);
    CheckPiece(img, RadioMark(i), true, i);
  }

  // gauges
  const QColor trough(0xE4, 0xE9, 0xF0);
  Fill(img, Gauge, pal::Face);
  Box(img, Gauge, {pal::PanelBorder, trough, trough, 3});
  VGrad(img, GaugeProgress, QColor(0x5A, 0x93, 0xE6), QColor(0x35, 0x6F, 0xCB));
  Fill(img, VGauge, pal::Face);
  Box(img, VGauge, {pal::PanelBorder, trough, trough, 3});
  for (int x = VGaugeProgress.Left; x < VGaugeProgress.Right; ++x)
    VLine(img, x, VGaugeProgress.Top, VGaugeProgress.Bottom,
          GradRow(x, VGaugeProgress.Left, VGaugeProgress.Right, QColor(0x5A, 0x93, 0xE6), QColor(0x35, 0x6F, 0xCB)));
  // track bars: a groove and a thumb on magenta (transparent)
  Fill(img, HTrack, pal::Face);
  Box(img, TRect{HTrack.Left + 4, HTrack.Top + 10, HTrack.Right - 4, HTrack.Top + 14}, {pal::PanelBorder, trough, trough, 2});
  Fill(img, VTrack, pal::Face);
  Box(img, TRect{VTrack.Left + 10, VTrack.Top + 4, VTrack.Left + 14, VTrack.Bottom - 4}, {pal::PanelBorder, trough, trough, 2});
  for (const TRect& t : {HTrackThumb, HTrackThumbHot, VTrackThumb, VTrackThumbHot}) {
    Fill(img, t, pal::Face);
    const bool hot = t.Left == HTrackThumbHot.Left || t.Top == VTrackThumbHot.Top;
    Box(img, t, hot ? BoxStyle{pal::HotBorder, pal::HotTop, pal::HotBottom, 3}
                    : BoxStyle{pal::BtnBorder, pal::BtnTop, pal::BtnBottom, 3});
    // outside the rounded outline the thumb is see-through
    for (int y = t.Top; y < t.Bottom; ++y)
      for (int x = t.Left; x < t.Right; ++x)
        if (RoundedDistance(t, 3, x, y) > 0) Px(img, x, y, pal::Magenta);
  }
  return img;
}

// ---- picture 5: popup window and menu entries ------------------------------

QImage DrawMenus() {
  using namespace menu;
  QImage img = Blank(kMenusW, kMenusH, pal::White);
  // the window frame: one border line and a white margin
  for (int x = 0; x < kMenusW; ++x) {
    Px(img, x, 0, pal::EditBorder);
    Px(img, x, kMenusH - 1, pal::EditBorder);
  }
  for (int y = 0; y < kMenusH; ++y) {
    Px(img, 0, y, pal::EditBorder);
    Px(img, kMenusW - 1, y, pal::EditBorder);
  }
  // entries
  Box(img, TRect{ItemActive.Left + 2, ItemActive.Top + 1, ItemActive.Right - 2, ItemActive.Bottom - 1},
      {pal::Selection, QColor(0x4A, 0x86, 0xE0), pal::Selection, 3});
  HLine(img, Divider.Left + 6, Divider.Right - 6, Divider.Top + 3, pal::Divider);
  Box(img, TRect{BarItemHot.Left, BarItemHot.Top + 1, BarItemHot.Right, BarItemHot.Bottom - 1},
      {pal::HotBorder, pal::HotTop, pal::HotBottom, 3});
  Box(img, TRect{BarItemDown.Left, BarItemDown.Top + 1, BarItemDown.Right, BarItemDown.Bottom - 1},
      {pal::DownBorder, pal::DownTop, pal::DownBottom, 3});
  VGrad(img, MenuBar, QColor(0xF8, 0xFA, 0xFC), QColor(0xEC, 0xF0, 0xF5));
  HLine(img, MenuBar.Left, MenuBar.Right, MenuBar.Bottom - 1, pal::PanelBorder);
  Fill(img, Sized(BarItem.Left, BarItem.Top, BarItem.Right - BarItem.Left, BarItem.Bottom - BarItem.Top), pal::White);
  // small menu-bar buttons: close, maximise, restore, minimise, system menu
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 3; ++col) {
      const TRect r = BarButton(row, col);
      if (col == 1) Box(img, r, {pal::HotBorder, pal::HotTop, pal::HotBottom, 2});
      if (col == 2) Box(img, r, {pal::DownBorder, pal::DownTop, pal::DownBottom, 2});
      const int ox = r.Left + 4, oy = r.Top + 4;
      const QColor g = pal::Glyph;
      switch (row) {
        case 0:
          for (int i = 0; i < 7; ++i) {
            Px(img, ox + i, oy + i, g);
            Px(img, ox + 6 - i, oy + i, g);
          }
          break;
        case 1:
          Fill(img, TRect{ox, oy, ox + 8, oy + 2}, g);
          VLine(img, ox, oy, oy + 7, g);
          VLine(img, ox + 7, oy, oy + 7, g);
          HLine(img, ox, ox + 8, oy + 6, g);
          break;
        case 2:
          HLine(img, ox + 2, ox + 8, oy, g);
          VLine(img, ox + 7, oy, oy + 5, g);
          Fill(img, TRect{ox, oy + 2, ox + 6, oy + 3}, g);
          VLine(img, ox, oy + 2, oy + 8, g);
          VLine(img, ox + 5, oy + 2, oy + 8, g);
          HLine(img, ox, ox + 6, oy + 7, g);
          break;
        case 3:
          Fill(img, TRect{ox, oy + 5, ox + 8, oy + 7}, g);
          break;
        case 4:
          Fill(img, TRect{ox, oy + 1, ox + 8, oy + 6}, QColor(0xF7, 0xF9, 0xFC));
          HLine(img, ox, ox + 8, oy + 1, pal::Selection);
          HLine(img, ox, ox + 8, oy + 6, g);
          VLine(img, ox, oy + 1, oy + 7, g);
          VLine(img, ox + 7, oy + 1, oy + 7, g);
          break;
      }
    }
  return img;
}

}  // namespace skinmaker
