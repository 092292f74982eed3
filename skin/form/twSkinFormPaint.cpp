// The skinned frame's painting and its active look: the painter gets one
// snapshot of what to draw, and an inactive window's client area may be
// covered by a blurred or washed picture of itself.
#include "skin/form/twSkinForm.h"

#include <QPainter>
#include <QPaintEvent>
#include <QTimer>

#include "platform/Application.h"
#include "platform/Form.h"
#include "skin/draw/twGuard.h"
#include "skin/draw/tweffects.h"
#include "skin/draw/twLayerWindow.h"

void TtwSkinForm::ComposeBands(QImage& top, QImage& bottom, QImage& left, QImage& right, bool active) {
  if (skinPresent_) painter_.ComposeBands(geo_, active, top, bottom, left, right);
}

TtwFramePaint TtwSkinForm::PaintInput() const {
  TtwFramePaint in;
  in.Geometry = &geo_;
  in.Objects = &objects_;
  in.Active = WindowActive();
  in.Client = form_->contentsRect();
  in.Caption = CaptionText();
  in.CaptionHeight = CaptionHeight();
  in.Font = in.Active ? DefCaptionFont : DefInActiveCaptionFont;
  in.FontColor = in.Active ? DefCaptionFontColor : DefInActiveCaptionFontColor;
  in.Logo = &LogoBitMap;
  return in;
}

void TtwSkinForm::PaintFrame(QPainter& p) {
  if (!Framed() || changing_) return;
  // Too small for the frame picture's corners: nothing is drawn rather than
  // pieces that overlap.
  if (skinPresent_ && (form_->width() < MinimumWidth() || form_->height() < MinimumHeight())) return;
  painter_.PaintFrame(p, PaintInput());
}

// Covers the client area of an inactive window with a picture of it,
// blurred or washed with the background. Clicks pass through to the controls.
class TtwClientInActivePanel : public QWidget {
 public:
  explicit TtwClientInActivePanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
  }
  QImage Picture;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, Picture);
  }
};

void TtwSkinForm::UpdateInactiveCover(bool active) {
  auto* cover = static_cast<TtwClientInActivePanel*>(inactiveCover_);
  if (active || !ClientInActiveEffect) {
    if (cover) {
      cover->hide();
      cover->Picture = QImage();
    }
    return;
  }
  const QRect client = form_->contentsRect();
  if (!form_->isVisible() || client.isEmpty()) return;
  if (!cover) inactiveCover_ = cover = new TtwClientInActivePanel(form_);
  cover->hide();
  QImage shot = form_->grab(client).toImage().convertToFormat(QImage::Format_ARGB32);
  if (ClientInActiveEffectType == twieBlur) {
    TtwBitmap32 b;
    // A client past the surface budget goes without its cover.
    if (!TwGuarded("inactive cover", [&] { b.Assign(shot); }) || b.Empty()) return;
    b.StackBlur(3);
    shot = b.Image();
  } else {
    QImage wash = TwNewSurface(shot.width(), shot.height(), QImage::Format_ARGB32);
    if (wash.isNull()) return;
    {
      QPainter p(&wash);
      p.translate(-client.topLeft());
      painter_.PaintBackground(p, QRegion(client), PaintInput());
    }
    QPainter p(&shot);
    p.setOpacity(170 / 255.0);
    p.drawImage(0, 0, wash);
  }
  cover->Picture = shot;
  cover->setGeometry(client);
  cover->raise();
  cover->show();
}

void TtwSkinForm::UpdateActive(bool active) {
  HideObjectGlow();
  if (active != active_) UpdateInactiveCover(active);
  const bool changed = active != active_;
  active_ = active;
  if (!active) ClearHover();
  for (auto& o : objects_)
    if (auto* c = dynamic_cast<TtwSkinCaptionObject*>(o.get())) c->SetWindowActive(active);
  painter_.Invalidate();
  form_->update();
  if (changed) {
    if (active && OnActivate) OnActivate();
    if (!active && OnDeActivate) OnDeActivate();
  }
}
