// Drawing of one popup-menu entry. Every look is composed whole into the
// entry's own image, so an entry never shows a half-drawn state.
#include "skin/menus/twSkinMenuItem.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPainter>
#include <QtMath>
#include <algorithm>

#include "platform/ImageList.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"
#include "skin/draw/tweffects.h"
#include "skin/draw/twUtils.h"

namespace {

constexpr TColor kDefaultActiveFrame = 8388608;      // navy
constexpr TColor kDefaultActiveFill = 13811126;      // pale blue-grey
constexpr int kTextRightMargin = 16;                 // room for the arrow
constexpr int kDefaultTextRightMargin = 19;
constexpr int kMarkBoxWidth = 16;

void Fill(QPainter& p, const TRect& r, TColor c) {
  if (!r.IsEmpty()) p.fillRect(r.ToQ(), ColorToQ(c));
}

// A one-pixel outline with exclusive right and bottom.
void Outline(QPainter& p, const TRect& r, TColor c) {
  if (r.IsEmpty()) return;
  const QColor q = ColorToQ(c);
  p.fillRect(QRect(r.Left, r.Top, r.Width(), 1), q);
  p.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), q);
  p.fillRect(QRect(r.Left, r.Top, 1, r.Height()), q);
  p.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), q);
}

// A pen line from a to b that leaves out its end point, as the glyph table
// is written.
void Line(QPainter& p, int x1, int y1, int x2, int y2, const QColor& c) {
  const int dx = (x2 > x1) - (x2 < x1), dy = (y2 > y1) - (y2 < y1);
  const int n = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
  for (int i = 0; i < n; ++i) p.fillRect(QRect(x1 + i * dx, y1 + i * dy, 1, 1), c);
}

// Copies piece s of Src onto the canvas, centred in box, never left of or
// above it; the piece's top-left pixel colour is transparent.
void DrawPieceTransparent(QPainter& p, const QImage& Src, const TRect& s, const TRect& box) {
  if (s.IsEmpty()) return;
  QImage piece = Src.copy(s.ToQ()).convertToFormat(QImage::Format_ARGB32);
  const QRgb key = piece.pixel(0, 0);
  for (int y = 0; y < piece.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(piece.scanLine(y));
    for (int x = 0; x < piece.width(); ++x)
      if (row[x] == key) row[x] = 0;
  }
  const int x = std::max(box.Left, box.Left + (box.Width() - s.Width()) / 2);
  const int y = std::max(box.Top, box.Top + (box.Height() - s.Height()) / 2);
  p.drawImage(x, y, piece);
}

// One line of text centred vertically in Box, starting at its left (right
// when rtl), its accelerator underlined. Drawn from the font's metrics
// rather than through a text layout: a menu draws many short lines and the
// layout path costs more than the whole entry.
void DrawMenuText(QPainter& p, const QString& caption, const TRect& Box, bool rtl) {
  const QFontMetrics fm = p.fontMetrics();
  QString shown;
  int accel = -1;
  shown.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != '&' && accel < 0) accel = int(shown.size());
    }
    shown += caption[i];
  }
  const int w = fm.horizontalAdvance(shown);
  const int x = rtl ? Box.Right - w : Box.Left;
  const int base = Box.Top + (Box.Height() - fm.height()) / 2 + fm.ascent();
  p.save();
  p.setClipRect(Box.ToQ(), Qt::IntersectClip);
  p.drawText(QPoint(x, base), shown);
  if (accel >= 0) {
    const int ax = x + fm.horizontalAdvance(shown.left(accel));
    const int aw = fm.horizontalAdvance(shown.at(accel));
    p.fillRect(QRect(ax, base + fm.underlinePos(), aw, std::max(1, fm.lineWidth())), p.pen().color());
  }
  p.restore();
}

// The caption and shortcut of an entry, the caption in Box (already centred
// vertically on the text rectangle by its top and bottom), the shortcut
// ending at ShortRight.
void DrawCaption(QPainter& p, const TtwMenuItemData& item, const TRect& Box, int ShortRight, bool rtl) {
  DrawMenuText(p, item.Caption, Box, rtl);
  if (item.ShortCut.isEmpty()) return;
  const QFontMetrics fm = p.fontMetrics();
  const int w = fm.horizontalAdvance(item.ShortCut);
  const int x = rtl ? Box.Left - (ShortRight - Box.Right) : ShortRight - w;
  p.drawText(QPoint(x, Box.Top + (Box.Height() - fm.height()) / 2 + fm.ascent()), item.ShortCut);
}

// The small drawn sub-menu arrow: four columns narrowing to a point.
void DrawSmallArrow(QPainter& p, int x, int y, TColor c) {
  const QColor q = ColorToQ(c);
  for (int i = 0; i < 4; ++i) p.fillRect(QRect(x + i, y + i, 1, 8 - 2 * i), q);
}

void DrawDot(QPainter& p, int x, int y, TColor c) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(ColorToQ(c));
  p.drawEllipse(QRect(x, y, 6, 6));
  p.restore();
}

bool HasImage(const TtwMenuItemData& item, const TtwMenuPaintContext& ctx) {
  return !item.Bitmap.isNull() || (ctx.Images && ctx.Images->Has(item.ImageIndex));
}

QSize ImageSize(const TtwMenuItemData& item, const TtwMenuPaintContext& ctx) {
  if (!item.Bitmap.isNull()) return item.Bitmap.size();
  return QSize(ctx.Images->Width(), ctx.Images->Height());
}

void DrawImage(QPainter& p, const TtwMenuItemData& item, const TtwMenuPaintContext& ctx, int x, int y) {
  if (!item.Bitmap.isNull()) p.drawImage(x, y, item.Bitmap);
  else ctx.Images->Draw(p, x, y, item.ImageIndex, item.Enabled);
}

// A three-piece base, from the context's cache when it has one.
void DrawThreePiece(QPainter& p, const TtwMenuPaintContext& ctx, const QImage& pic, const TRect& src, int leftW,
                    int rightW, bool stretch, int W) {
  if (ctx.Pieces) {
    p.drawImage(0, 0, ctx.Pieces->Get(pic, src, leftW, rightW, stretch, W));
    return;
  }
  QImage piece;
  ComposeThreePieceH(pic, src, leftW, rightW, stretch, W, piece);
  p.drawImage(0, 0, piece);
}

// ---- skinned look ----------------------------------------------------------

void PaintHeader(QPainter& p, const TtwMenuItemData& item, const TtwMenuPaintContext& ctx, int W, int H) {
  if (!ctx.SkinData) return;
  int i = ctx.SkinData->FindControlIndex(QStringLiteral("menuheader"));
  if (i < 0) i = ctx.SkinData->FindControlIndex(QStringLiteral("label"));
  if (i < 0) return;
  auto* rec = dynamic_cast<const TtwDataSkinLabelControl*>(ctx.SkinData->ControlRecords().at(i));
  if (!rec) return;
  const QImage* pic = ctx.SkinData->ActivePicture(rec->pictureindex);
  if (!pic || rec->skinrect.IsEmpty()) return;
  QImage piece;
  ComposeThreePieceH(*pic, rec->skinrect, rec->lefttoppoint.X, rec->skinrect.Width() - rec->righttoppoint.X,
                     rec->stretcheffect, W, piece);
  const int ph = rec->skinrect.Height();
  const int top = (H - ph) / 2;
  p.drawImage(0, top, piece);
  p.setFont(TwRecordFont(rec->fontname, rec->fontheight, rec->fontstyle));
  p.setPen(ColorToQ(rec->fontcolor));
  const TRect box{rec->clientrect.Left, top + rec->clientrect.Top,
                  W + rec->clientrect.Right - rec->skinrect.Width(), top + ph};
  p.drawText(box.ToQ(), Qt::AlignCenter | Qt::TextSingleLine, item.Caption.mid(1, item.Caption.size() - 2));
}

// The check or radio mark, or the command glyph, of an entry without image.
void PaintMark(QPainter& p, const TtwMenuItemData& item, const TtwMenuEntryState& st, const TtwDataSkinMenuItem& r,
               const QImage* pic, const TRect& text, TColor c) {
  const bool useImageRect = !r.imagerect.IsEmpty();
  const TRect box = useImageRect ? r.imagerect : TRect{text.Left + 2, text.Top, text.Left + kMarkBoxWidth, text.Bottom};
  const int mx = useImageRect ? r.imagerect.Left + r.imagerect.Width() / 2 - 4 : text.Left + 2;
  const int my = useImageRect ? r.imagerect.Top + r.imagerect.Height() / 2 - 4 : text.Top + text.Height() / 2 - 4;
  if (DrawMenuCommandGlyph(p, item.Name, mx, my, c)) return;
  if (!item.Checked) return;
  const bool active = st.ActiveLook();
  if (item.Radio) {
    const TRect& s = active ? r.activeradioimagerect : r.radioimagerect;
    if (pic && !s.IsEmpty()) DrawPieceTransparent(p, *pic, s, box);
    else DrawDot(p, mx, my + 1, c);
  } else {
    const TRect& s = active ? r.activecheckimagerect : r.checkimagerect;
    if (pic && !s.IsEmpty()) DrawPieceTransparent(p, *pic, s, box);
    else DrawCheckMark(p, mx, my, c);
  }
}

int LogicalWidth(const QImage& img) { return qRound(img.deviceIndependentSize().width()); }
int LogicalHeight(const QImage& img) { return qRound(img.deviceIndependentSize().height()); }

// One plain look (no morph) of a skinned entry.
void PaintSkinned(QImage& img, const TtwMenuItemData& item, const TtwMenuEntryState& st, const TtwMenuPaintContext& ctx,
                  bool activeLook, int frame) {
  const TtwDataSkinMenuItem& r = *ctx.Record;
  const QImage* pic = ctx.ActivePicture;
  const int W = LogicalWidth(img), H = LogicalHeight(img);
  img.fill(0xFFFFFFFF);
  if (item.IsSeparator()) {
    if (pic) {
      QPainter p(&img);
      DrawThreePiece(p, ctx, *pic, r.dividerrect, r.dividerleftoffset, r.dividerrightoffset, r.dividerstretcheffect,
                     W);
    }
    return;
  }
  // One painter for the base and the text: entries are many and painters
  // are not cheap to begin.
  QPainter p(&img);
  {
    TRect src = activeLook ? r.activeskinrect : r.skinrect;
    bool stretch = activeLook ? r.stretcheffect : r.inactivestretcheffect;
    if (frame >= 1 && frame <= r.framecount && TwMenuAnimates(ctx)) {
      src = TwMenuFrameRect(r, frame);
      stretch = r.stretcheffect;
    }
    if (!activeLook && frame == 0 && r.inactivetransparent && ctx.BackgroundCopy && !ctx.BackgroundCopy->isNull()) {
      p.drawImage(0, 0, *ctx.BackgroundCopy, ctx.EntryOrigin.x(), ctx.EntryOrigin.y(), W, H);
    } else if (pic && !src.IsEmpty()) {
      DrawThreePiece(p, ctx, *pic, src, r.itemleftoffset, r.itemrightoffset, stretch, W);
    }
  }
  TRect text = r.textrect;
  text.Right += W - r.skinrect.Width();
  p.setFont(TwMenuEntryFont(ctx));
  TColor c = activeLook ? r.activefontcolor : (item.Enabled ? r.fontcolor : r.unenabledfontcolor);
  p.setPen(ColorToQ(c));
  if (ctx.DrawItem) {
    ctx.DrawItem(p, activeLook, text);
    return;
  }
  if (item.IsHeader()) {
    PaintHeader(p, item, ctx, W, H);
    return;
  }
  const int glyphSpace = TwMenuCaptionOffset(ctx);
  DrawCaption(p, item, TRect{text.Left + glyphSpace, text.Top, text.Right - kTextRightMargin, text.Bottom},
              text.Right - kTextRightMargin, ctx.RightToLeft);
  if (item.HasSubItems) {
    const TRect& a = activeLook ? r.activearrowimagerect : r.arrowimagerect;
    if (r.arrowimagerect.IsEmpty() || !pic) DrawSmallArrow(p, text.Right - 7, text.Top + text.Height() / 2 - 4, c);
    else DrawPieceTransparent(p, *pic, a, TRect{text.Right - a.Width() - 5, text.Top, text.Right, text.Bottom});
  }
  if (r.useimagecolor) c = activeLook ? r.activeimagecolor : r.imagecolor;
  if (HasImage(item, ctx)) {
    const QSize s = ImageSize(item, ctx);
    int x = text.Left + 2, y = text.Top + (text.Height() - s.height()) / 2;
    if (!r.imagerect.IsEmpty()) {
      x = r.imagerect.Left + (r.imagerect.Width() - s.width()) / 2;
      y = r.imagerect.Top + (r.imagerect.Height() - s.height()) / 2;
    }
    DrawImage(p, item, ctx, x, y);
    if (item.Checked) Outline(p, TRect{x - 1, y - 1, x + s.width() + 1, y + s.height() + 1}, c);
    return;
  }
  PaintMark(p, item, st, r, pic, text, c);
}

// ---- default look ----------------------------------------------------------

void PaintDefault(QImage& img, const TtwMenuItemData& item, const TtwMenuEntryState& st,
                  const TtwMenuPaintContext& ctx) {
  const int W = LogicalWidth(img), H = LogicalHeight(img);
  const int g = ctx.GlyphColumn;
  QPainter p(&img);
  const bool active = st.ActiveLook() && !item.IsSeparator();
  const TRect r{2, 2, W - 2, H - 2};
  TColor c = twsys::clWindowText;
  if (active) {
    Fill(p, TRect{0, 0, W, H}, kDefaultActiveFill);
    Outline(p, TRect{0, 0, W, H}, kDefaultActiveFrame);
  } else {
    Fill(p, TRect{0, 0, g, H}, twsys::clBtnFace);
    Fill(p, TRect{g, 0, W, H}, twsys::clWindow);
    if (!item.Enabled) c = twsys::clBtnShadow;
  }
  if (item.IsSeparator()) {
    Fill(p, TRect{g, H / 2, W, H / 2 + 1}, twsys::clBtnShadow);
    return;
  }
  p.setFont(TwMenuEntryFont(ctx));
  p.setPen(ColorToQ(c));
  if (ctx.DrawItem) {
    ctx.DrawItem(p, active, r);
    return;
  }
  if (item.IsHeader()) {
    Fill(p, TRect{0, 0, W, H}, twsys::clBtnShadow);
    p.setPen(ColorToQ(twsys::clBtnHighlight));
    p.drawText(r.ToQ(), Qt::AlignCenter | Qt::TextSingleLine, item.Caption.mid(1, item.Caption.size() - 2));
    return;
  }
  const int cy = r.Top + r.Height() / 2;
  DrawCaption(p, item, TRect{r.Left + TwMenuCaptionOffset(ctx), r.Top, r.Right - kDefaultTextRightMargin, r.Bottom},
              r.Right - kDefaultTextRightMargin, ctx.RightToLeft);
  if (item.HasSubItems) DrawSmallArrow(p, r.Right - 7, cy - 4, c);
  if (HasImage(item, ctx)) {
    const QSize s = ImageSize(item, ctx);
    const int x = r.Left + 2, y = r.Top + (r.Height() - s.height()) / 2;
    DrawImage(p, item, ctx, x, y);
    if (item.Checked) Outline(p, TRect{x - 1, y - 1, x + s.width() + 1, y + s.height() + 1}, c);
    return;
  }
  if (DrawMenuCommandGlyph(p, item.Name, r.Left + 2, cy - 4, c)) return;
  if (!item.Checked) return;
  if (item.Radio) DrawDot(p, r.Left + 3, cy - 3, c);
  else DrawCheckMark(p, r.Left + 3, cy - 4, c);
}

}  // namespace

const QImage& TtwMenuPieceCache::Get(const QImage& pic, const TRect& src, int leftW, int rightW, bool stretch,
                                     int W) {
  const Key key{&pic, src, leftW, rightW, W, stretch};
  for (const auto& [k, img] : items_)
    if (k == key) return img;
  items_.push_back({key, QImage()});
  ComposeThreePieceH(pic, src, leftW, rightW, stretch, W, items_.back().second);
  return items_.back().second;
}

// ---- item data -------------------------------------------------------------

TtwMenuItemData TtwMenuItemData::FromAction(const QAction* a) {
  TtwMenuItemData d;
  if (!a) return d;
  d.Caption = a->isSeparator() ? QStringLiteral("-") : a->text();
  if (!a->shortcut().isEmpty()) d.ShortCut = a->shortcut().toString(QKeySequence::NativeText);
  d.Name = a->objectName();
  d.Hint = a->statusTip();
  d.Enabled = a->isEnabled();
  d.Checked = a->isCheckable() && a->isChecked();
  d.Radio = a->actionGroup() && a->actionGroup()->isExclusive();
  d.HasSubItems = a->menu() != nullptr;
  const QVariant idx = a->property("ImageIndex");
  d.ImageIndex = idx.isValid() ? idx.toInt() : -1;
  if (!a->icon().isNull()) {
    const QList<QSize> sizes = a->icon().availableSizes();
    const QSize s = sizes.isEmpty() ? QSize(16, 16) : sizes.first();
    d.Bitmap = a->icon().pixmap(s).toImage();
  }
  return d;
}

QChar TwAccelerator(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return caption[i + 1].toLower();
  }
  return QChar();
}

QString TwStripAccelerator(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    out += caption[i];
  }
  return out;
}

// ---- fonts and skin inputs -------------------------------------------------

QFont TwDefaultMenuFont() { return TwRecordFont(QStringLiteral("Arial"), 14, 0); }

QFont TwRecordFont(const QString& name, int height, uint8_t style) {
  QFont f(name);
  // Heights are character heights in pixels, whatever their sign.
  f.setPixelSize(std::max(1, std::abs(height)));
  f.setBold(style & twtok::fsbold);
  f.setItalic(style & twtok::fsitalic);
  f.setUnderline(style & twtok::fsunderline);
  f.setStrikeOut(style & twtok::fsstrikeout);
  return f;
}

int TwMenuCaptionOffset(const TtwMenuPaintContext& ctx) {
  // Pictures sit 2 pixels in; the caption keeps 4 more clear of them.
  const int clear = ctx.ImageSpace > 0 ? 2 + ctx.ImageSpace + 4 : 0;
  if (!ctx.Record) return std::max(ctx.GlyphColumn, clear);
  if (!ctx.Record->imagerect.IsEmpty()) return 0;
  return std::max(ctx.Images ? ctx.Images->Width() : kMarkBoxWidth, clear);
}

QFont TwMenuEntryFont(const TtwMenuPaintContext& ctx) {
  if (ctx.Record && ctx.UseSkinFont)
    return TwRecordFont(ctx.Record->fontname, ctx.Record->fontheight, ctx.Record->fontstyle);
  return ctx.DefaultFont;
}

const QImage* TwMenuItemPicture(const TtwSkinData* data, const TtwDataSkinMenuItem* record) {
  if (!data || !record) return nullptr;
  return data->ActivePicture(record->activepictureindex);
}

bool TwMenuMorphs(const TtwMenuPaintContext& ctx) {
  return ctx.Record && ctx.Record->morphing && ctx.SkinData && ctx.SkinData->EnableSkinEffects();
}

// A frame count of zero or less would divide the strip by zero: no frames.
bool TwMenuAnimates(const TtwMenuPaintContext& ctx) {
  return ctx.Record && !ctx.Record->animateskinrect.IsEmpty() && ctx.Record->framecount > 0 && ctx.SkinData &&
         ctx.SkinData->EnableSkinEffects();
}

TRect TwMenuFrameRect(const TtwDataSkinMenuItem& r, int k) {
  const TRect& a = r.animateskinrect;
  if (r.framecount <= 0 || k < 1 || k > r.framecount || a.IsEmpty()) return TRect{};
  if (a.Height() > r.skinrect.Height()) {
    const int h = a.Height() / r.framecount;
    return TRect{a.Left, a.Top + (k - 1) * h, a.Right, a.Top + k * h};
  }
  const int w = a.Width() / r.framecount;
  return TRect{a.Left + (k - 1) * w, a.Top, a.Left + k * w, a.Bottom};
}

// ---- painting ----------------------------------------------------------------

void PaintMenuEntry(QImage& Target, int W, int H, const TtwMenuItemData& item, const TtwMenuEntryState& state,
                    const TtwMenuPaintContext& ctx) {
  if (W <= 0 || H <= 0) {
    Target = QImage();
    return;
  }
  const qreal dpr = ctx.Dpr > 0 ? ctx.Dpr : 1;
  const int PW = qCeil(W * dpr), PH = qCeil(H * dpr);
  if (Target.width() != PW || Target.height() != PH || Target.format() != QImage::Format_RGB32)
    Target = TwNewSurface(QSize(W, H), dpr, QImage::Format_RGB32);
  if (Target.isNull()) return;  // past the surface budget: the entry is left undrawn
  Target.setDevicePixelRatio(dpr);
  if (!ctx.Record) {
    PaintDefault(Target, item, state, ctx);
    return;
  }
  const bool active = state.ActiveLook();
  const bool blending = TwMenuMorphs(ctx) && state.Frame == 0 && !item.IsSeparator() &&
                        ((active && state.Morph < 1) || (!active && state.Morph > 0));
  if (!blending) {
    // A frame is drawn with the text colour of the entry's current state.
    PaintSkinned(Target, item, state, ctx, active, state.Frame);
    return;
  }
  TtwEffectBmp normal(PW, PH), hot(PW, PH);
  if (normal.Image().isNull() || hot.Image().isNull()) {
    PaintSkinned(Target, item, state, ctx, active, state.Frame);
    return;
  }
  normal.Image().setDevicePixelRatio(dpr);
  hot.Image().setDevicePixelRatio(dpr);
  PaintSkinned(normal.Image(), item, state, ctx, false, 0);
  PaintSkinned(hot.Image(), item, state, ctx, true, 0);
  normal.Morph(hot, std::clamp(state.Morph, 0.0, 1.0), ctx.Record->morphkind);
  Target = normal.Image();
  Target.setDevicePixelRatio(dpr);
}

bool DrawMenuCommandGlyph(QPainter& p, const QString& Name, int x, int y, TColor c) {
  const QColor q = ColorToQ(c);
  auto rect = [&](int l, int t, int r, int b) { Outline(p, TRect{l, t, r, b}, c); };
  if (Name == QLatin1String("TWF_CLOSE") || Name == QLatin1String("TRAY_TWF_CLOSE")) {
    Line(p, x + 1, y + 1, x + 9, y + 9, q);
    Line(p, x + 9, y + 1, x + 1, y + 9, q);
    Line(p, x + 2, y + 1, x + 10, y + 9, q);
    Line(p, x + 8, y + 1, x, y + 9, q);
  } else if (Name == QLatin1String("TWF_MINITEM")) {
    Line(p, x + 1, y + 8, x + 9, y + 8, q);
    Line(p, x + 1, y + 9, x + 9, y + 9, q);
  } else if (Name == QLatin1String("TWF_MAXITEM")) {
    rect(x, y, x + 11, y + 10);
    rect(x, y, x + 11, y + 2);
  } else if (Name == QLatin1String("TWF_RESTORE") || Name == QLatin1String("TRAY_TWF_RESTORE")) {
    rect(x + 2, y, x + 10, y + 6);
    rect(x + 2, y, x + 10, y + 2);
    rect(x, y + 4, x + 7, y + 10);
    rect(x, y + 4, x + 7, y + 6);
  } else if (Name == QLatin1String("TWF_ROLLUP")) {
    for (int i = 0; i <= 4; ++i) Line(p, x + i + 1, y + 6 - i, x + 9 - i, y + 6 - i, q);
  } else if (Name == QLatin1String("TWF_MINTOTRAY")) {
    p.fillRect(QRect(x + 2, y + 2, 5, 5), q);
  } else {
    return false;
  }
  return true;
}
