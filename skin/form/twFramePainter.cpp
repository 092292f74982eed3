// The skinned frame's painting: band pictures composed once per size and
// look, objects drawn onto them, the skinless look, the client background.
// Paints only from its input and its own caches; it never calls back.
#include "skin/form/twFramePainter.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>

#include "skin/controls/twSkinControlBase.h"
#include "skin/data/twSkinIni.h"
#include "skin/draw/tweffects.h"
#include "skin/draw/twUtils.h"

namespace {

// Whether every pixel of the piece equals its neighbour along the band
// (along x for a horizontal band, along y for a vertical one).
bool AlikeAlong(const QImage& img, const TRect& piece, bool horizontal) {
  const QRect r = piece.ToQ().intersected(img.rect());
  if (r.isEmpty()) return false;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    const auto* first = reinterpret_cast<const QRgb*>(img.constScanLine(r.top()));
    for (int x = r.left(); x <= r.right(); ++x)
      if (horizontal ? line[x] != line[r.left()] : line[x] != first[x]) return false;
  }
  return true;
}

}  // namespace

// The skin's stretch flags, except that a band piece alike all along the band
// tiles: it gives the same pixels, and tiling copies rows where stretching
// looks every pixel up (most of a resize step on a wide window).
TEdgeStretch TtwFramePainter::BandEdges(const QImage& picture) const {
  const TRect& c = info_.ClientRect;
  const int pw = picture.width(), ph = picture.height();
  TEdgeStretch e{data_->leftstretch, data_->topstretch, data_->rightstretch, data_->bottomstretch};
  if (e.Top && AlikeAlong(picture, TRect{info_.LT.X, 0, info_.RT.X, c.Top}, true)) e.Top = false;
  if (e.Bottom && AlikeAlong(picture, TRect{info_.LB.X, c.Bottom, info_.RB.X, ph}, true)) e.Bottom = false;
  if (e.Left && AlikeAlong(picture, TRect{0, info_.LT.Y, c.Left, info_.LB.Y}, false)) e.Left = false;
  if (e.Right && AlikeAlong(picture, TRect{c.Right, info_.RT.Y, pw, info_.RB.Y}, false)) e.Right = false;
  return e;
}

void TtwFramePainter::SetSkin(TtwSkinData* data, const TtwFrameInfo& info) {
  data_ = data;
  info_ = info;
  background_ = QImage();
  backgroundColor_ = QColor();
  framePicture_ = inactivePicture_ = QImage();
  top_ = bottom_ = left_ = right_ = QImage();
  hBands_ = vBands_ = BandPair{};
  framesValid_ = false;
  if (!data) return;
  // Opaque 32-bit bands copy onto the window without conversion.
  framePicture_ = data->FormPicture().convertToFormat(QImage::Format_RGB32);
  frameEdges_ = BandEdges(framePicture_);
  if (!data->FormInactivePicture().isNull()) {
    inactivePicture_ = data->FormInactivePicture().convertToFormat(QImage::Format_RGB32);
    inactiveEdges_ = BandEdges(inactivePicture_);
  }
  if (const QImage* bg = data->ActivePicture(data->bgpictureindex)) background_ = *bg;
  else if (!info_.ClientRect.IsEmpty()) background_ = data->FormPicture().copy(info_.ClientRect.ToQ());
  if (background_.isNull() || data->stretcheffect) return;
  // A one-colour picture tiles to a plain fill: paint it as one.
  const QImage img = background_.convertToFormat(QImage::Format_RGB32);
  const QRgb first = img.pixel(0, 0);
  for (int y = 0; y < img.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if (line[x] != first) return;
  }
  backgroundColor_ = QColor::fromRgb(first);
}

void TtwFramePainter::ComposeBands(const TtwFrameGeometry& g, bool active, QImage& top, QImage& bottom,
                                   QImage& left, QImage& right) {
  if (!data_) return;
  UpdateBands(g, active);
  top = hBands_.First;
  bottom = hBands_.Second;
  left = vBands_.First;
  right = vBands_.Second;
}

// The top and bottom bands follow the width alone and the side bands the
// height alone: a frame of the picture's height composes the first pair for
// the window's width, one of the picture's width the second pair for its
// height, so a resize along one axis recomposes only the two bands it changes.
void TtwFramePainter::UpdateBands(const TtwFrameGeometry& geo, bool active) {
  const bool inactiveLook = !active && !inactivePicture_.isNull();
  const QImage& picture = inactiveLook ? inactivePicture_ : framePicture_;
  const TEdgeStretch& edges = inactiveLook ? inactiveEdges_ : frameEdges_;
  const TRect whole{0, 0, picture.width(), picture.height()};
  QImage& unused1 = scratch_[0];
  QImage& unused2 = scratch_[1];
  if (hBands_.Size != geo.W || hBands_.Active != active) {
    const TtwFrameGeometry g = FrameGeometry(info_, geo.W, info_.PictureHeight);
    ComposeBorderBands(picture, whole, info_.Anchors(), g.Anchors(), g.W, g.H, edges, hBands_.First,
                       hBands_.Second, unused1, unused2);
    hBands_.Size = geo.W;
    hBands_.Active = active;
    framesValid_ = false;
  }
  if (vBands_.Size != geo.H || vBands_.Active != active) {
    // The shown side bands share these pictures: let go of them first so
    // that composing in place copies nothing.
    left_ = right_ = QImage();
    const TtwFrameGeometry g = FrameGeometry(info_, info_.PictureWidth, geo.H);
    ComposeBorderBands(picture, whole, info_.Anchors(), g.Anchors(), g.W, g.H, edges, unused1, unused2,
                       vBands_.First, vBands_.Second);
    vBands_.Size = geo.H;
    vBands_.Active = active;
    framesValid_ = false;
  }
}

void TtwFramePainter::PaintFrame(QPainter& p, const TtwFramePaint& in) {
  if (data_) PaintBands(p, in);
  else PaintSkinless(p, in);
}

void TtwFramePainter::PaintBands(QPainter& p, const TtwFramePaint& in) {
  const TtwFrameGeometry& geo = *in.Geometry;
  const int W = geo.W, H = geo.H;
  UpdateBands(geo, in.Active);
  if (!in.Active && data_->autorenderinginactiveimage) {
    // The inactive effect runs over bands and objects together: keep that
    // result until something in it changes.
    if (!framesValid_ || framesActive_ != in.Active) ComposeFinalBands(in);
    DrawBands(p, W, H, top_, bottom_, left_, right_);
    return;
  }
  // Otherwise the objects go straight onto the clean bands: no band copies
  // on a resize.
  DrawBands(p, W, H, hBands_.First, hBands_.Second, vBands_.First, vBands_.Second);
  const int clientTop = geo.ClientRect.Top, clientBottom = geo.ClientRect.Bottom;
  for (const bool inTop : {true, false}) {
    const QImage& band = inTop ? hBands_.First : hBands_.Second;
    if (band.isNull()) continue;
    p.save();
    // Clipped to its band, as if drawn into the band's picture.
    p.setClipRect(QRect(0, inTop ? 0 : H - band.height(), W, band.height()), Qt::IntersectClip);
    if (!inTop) p.translate(0, H - band.height() - clientBottom);
    for (const auto& o : *in.Objects)
      if (o->Visible && (o->ObjectRect.Bottom > clientTop) != inTop) o->Draw(p, false);
    p.restore();
  }
}

void TtwFramePainter::DrawBands(QPainter& p, int W, int H, const QImage& top, const QImage& bottom,
                                const QImage& left, const QImage& right) {
  // A window's paint is clipped to what needs painting, usually the ring
  // around the client area. Through a clip of many rectangles a tall band
  // goes span by span, which the raster engine hands to its worker threads;
  // those then wake the idle program half a minute later to retire. One
  // plain blit per rectangle keeps it on this thread.
  QRegion clip;
  if (const QPaintEngine* engine = p.paintEngine(); engine && !engine->systemClip().isEmpty())
    clip = p.deviceTransform().inverted().map(engine->systemClip());
  if (p.hasClipping()) clip = clip.isEmpty() ? p.clipRegion() : clip & p.clipRegion();
  const auto draw = [&](int x, int y, const QImage& band) {
    if (band.isNull()) return;
    const QRect to(QPoint(x, y), band.size());
    if (clip.rectCount() <= 1) {
      p.drawImage(x, y, band);
      return;
    }
    p.save();
    for (const QRect& r : clip) {
      const QRect part = r & to;
      if (part.isEmpty()) continue;
      p.setClipRect(part, Qt::ReplaceClip);
      p.drawImage(x, y, band);
    }
    p.restore();
  };
  draw(0, 0, top);
  draw(0, top.height(), left);
  draw(W - right.width(), top.height(), right);
  draw(0, H - bottom.height(), bottom);
}

// The bands with the objects drawn in and the inactive effect applied.
void TtwFramePainter::ComposeFinalBands(const TtwFramePaint& in) {
  framesActive_ = in.Active;
  top_ = hBands_.First.copy();
  bottom_ = hBands_.Second.copy();
  left_ = vBands_.First;
  right_ = vBands_.Second;
  const int clientTop = in.Geometry->ClientRect.Top, clientBottom = in.Geometry->ClientRect.Bottom;
  {
    QImage none(1, 1, QImage::Format_RGB32);
    QPainter tp(top_.isNull() ? &none : &top_);
    QPainter bp(bottom_.isNull() ? &none : &bottom_);
    bp.translate(0, -clientBottom);
    for (const auto& o : *in.Objects) {
      if (!o->Visible) continue;
      o->Draw(o->ObjectRect.Bottom > clientTop ? bp : tp, false);
    }
  }
  if (!in.Active && data_->autorenderinginactiveimage) {
    for (QImage* band : {&top_, &bottom_, &left_, &right_}) {
      if (band->isNull()) continue;
      TtwEffectBmp e(*band);
      e.ApplyInactiveEffect(data_->inactiveeffect);
      *band = e.Image();
    }
  }
  framesValid_ = true;
}

void TtwFramePainter::PaintSkinless(QPainter& p, const TtwFramePaint& in) const {
  const int W = in.Geometry->W, H = in.Geometry->H;
  const int ch = in.CaptionHeight;
  // Three nested 3D frames.
  auto frame3d = [&](int inset, const QColor& light, const QColor& dark) {
    const QRect r(inset, inset, W - 2 * inset, H - 2 * inset);
    p.fillRect(r.left(), r.top(), r.width(), 1, light);
    p.fillRect(r.left(), r.top(), 1, r.height(), light);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, dark);
    p.fillRect(r.right(), r.top(), 1, r.height(), dark);
  };
  frame3d(0, twDefaultColors::BtnFace, SystemColor(COLOR_3DDKSHADOW));
  frame3d(1, twDefaultColors::BtnHighlight, twDefaultColors::BtnShadow);
  frame3d(2, twDefaultColors::BtnFace, twDefaultColors::BtnFace);
  const QRect band(kSkinlessBorder, kSkinlessBorder, W - 2 * kSkinlessBorder, ch);
  p.fillRect(band, twDefaultColors::BtnFace);
  const TRect& cap = in.Geometry->CaptionRect;
  for (int y = 2; y <= ch - 4; ++y)
    p.fillRect(cap.Left, kSkinlessBorder + y, cap.Width(), 1,
               y % 2 ? twDefaultColors::BtnHighlight : twDefaultColors::BtnShadow);
  QString text = in.Caption;
  p.setFont(in.Font);
  FitWideTextEllipsis(p, text, std::max(0, cap.Width() - 8));
  if (!text.isEmpty()) {
    const int tw = WideTextWidth(p, text), th = WideTextHeight(p, text);
    const int x = cap.Left + cap.Width() / 2 - tw / 2;
    const int y = kSkinlessBorder + ch / 2 - th / 2;
    p.fillRect(x - 2, y - 2 + 1, tw + 4, th + 2, twDefaultColors::BtnFace);
    p.setPen(in.FontColor);
    DrawWideText(p, text, TRect{x, y, x + tw + 2, y + th}, 0);
  }
  for (const auto& o : *in.Objects)
    if (o->Visible) o->Draw(p, true);
}

void TtwFramePainter::PaintBackground(QPainter& p, const QRegion& clip, const TtwFramePaint& in) const {
  const QRect client = in.Client;
  if (client.isEmpty()) return;
  p.save();
  // The paint event's own region already limits the device.
  if (clip.contains(client)) p.setClipRect(client);
  else p.setClipRegion(clip.intersected(client));
  p.translate(client.topLeft());
  const int cw = client.width(), ch = client.height();
  const QImage& picture = background_;
  if (picture.isNull() || backgroundColor_.isValid()) {
    QColor fill = backgroundColor_;
    if (!fill.isValid()) fill = data_ ? ColorToQ(data_->SkinColors().cbtnface) : twDefaultColors::BtnFace;
    p.fillRect(0, 0, cw, ch, fill);
  } else if (data_->stretcheffect) {
    const int W = in.Geometry->W, H = in.Geometry->H;
    switch (data_->stretchtype) {
      case twtok::sthorz:
        for (int i = 0; i <= W / picture.width(); ++i)
          p.drawImage(QRect(i * picture.width(), 0, picture.width(), H), picture);
        break;
      case twtok::stvert:
        for (int i = 0; i <= H / picture.height(); ++i)
          p.drawImage(QRect(0, i * picture.height(), W, picture.height()), picture);
        break;
      default:
        p.drawImage(QRect(0, 0, W, H), picture);
        break;
    }
  } else {
    for (int y = 0; y < ch; y += picture.height())
      for (int x = 0; x < cw; x += picture.width()) p.drawImage(x, y, picture);
  }
  if (in.Logo && !in.Logo->isNull()) {
    const int x = (cw - in.Logo->width()) / 2, y = (ch - in.Logo->height()) / 2;
    p.drawPixmap(x, y, *in.Logo);
  }
  p.restore();
}
