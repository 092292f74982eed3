// The skinned frame as its caption objects' host: which object is under the
// pointer, repaints, glow frames and the user's object events. Objects learn
// of the frame only through this narrow interface.
#include "skin/form/twSkinForm.h"

#include <QCursor>
#include <QIcon>

#include "platform/Application.h"
#include "platform/Form.h"
#include "skin/data/twSkinData.h"
#include "skin/draw/twLayerWindow.h"

namespace {

constexpr int kHoverIntervalMs = 50;

}  // namespace

void TtwSkinForm::UpdateHot(QPoint p) {
  if (mover_.Dragging() || pressed_ >= 0) return;
  int found = -1;
  const int hit = HitTest(p);
  // Tracked whether or not the window is active: the first click on an
  // inactive window's caption button must reach the button.
  if (hit != htClient && hit != htNowhere) {
    for (int i = 0; i < int(objects_.size()); ++i) {
      TtwActiveSkinObject* o = objects_[i].get();
      if (dynamic_cast<TtwSkinCaptionObject*>(o)) continue;
      if (o->Enabled && o->Visible && o->Contains(p.x(), p.y()) && o->HitTest(p.x(), p.y())) {
        found = i;
        break;
      }
    }
  }
  if (found == hot_) return;
  previousHot_ = hot_;
  hot_ = found;
  LeaveObject(previousHot_);
  if (hot_ >= 0) {
    EnterObject(hot_);
    if (!hoverTimer_.IsActive()) hoverTimer_.Start(kHoverIntervalMs);
  }
}

void TtwSkinForm::ClearHover() {
  hoverTimer_.Stop();
  LeaveObject(hot_);
  previousHot_ = hot_;
  hot_ = -1;
}

// Entering asks for the object's hint, which the hint component shows after
// its pause; leaving drops it, shown or still waiting.
void TtwSkinForm::EnterObject(int index) {
  if (index < 0 || index >= int(objects_.size())) return;
  TtwActiveSkinObject* o = objects_[index].get();
  o->MouseEnter();
  if (ShowObjectHint && SkinHint && !o->Hint.isEmpty()) SkinHint->ShowHintText(o->Hint);
}

void TtwSkinForm::LeaveObject(int index) {
  if (index < 0 || index >= int(objects_.size())) return;
  TtwActiveSkinObject* o = objects_[index].get();
  o->MouseLeave();
  if (ShowObjectHint && SkinHint && !o->Hint.isEmpty()) SkinHint->HideSkinHint();
}

void TtwSkinForm::RepaintObject(TtwActiveSkinObject* o) {
  painter_.Invalidate();
  if (o && !o->ObjectRect.IsEmpty()) form_->update(o->ObjectRect.ToQ());
}

void TtwSkinForm::ShowObjectGlow(TtwActiveSkinObject* o) {
  if (!skinPresent_ || !o || o->GlowPictureIndex == -1 || !skinData_->ShowCaptionButtonGlowFrames() ||
      !TtwLayerManager::LayeredSupported())
    return;
  const QImage* picture = skinData_->ActivePicture(o->GlowPictureIndex);
  if (!picture) return;
  const QImage* mask = skinData_->ActivePicture(o->GlowMaskPictureIndex);
  const QPoint at = form_->mapToGlobal(QPoint(o->ObjectRect.Left, o->ObjectRect.Top)) -
                    QPoint(o->GlowOffsetX, o->GlowOffsetY);
  glow_->ShowLayer(at.x(), at.y(), o->GlowAlpha, mask ? *mask : QImage(), *picture);
}

void TtwSkinForm::HideObjectGlow() {
  if (glow_) glow_->HideLayer();
}

QIcon TtwSkinForm::WindowIcon() const { return form_->windowIcon(); }

void TtwSkinForm::ReportMouse(TtwObjectEvent e, const TtwActiveSkinObject& o, int x, int y, Qt::MouseButton button) {
  switch (e) {
    case TtwObjectEvent::Down:
      if (OnMouseDownEvent) OnMouseDownEvent(o.IDName, x, y, o.ObjectRect, button);
      break;
    case TtwObjectEvent::Up:
      if (OnMouseUpEvent) OnMouseUpEvent(o.IDName, x, y, o.ObjectRect, button);
      break;
    case TtwObjectEvent::Move:
      if (OnMouseMoveEvent) OnMouseMoveEvent(o.IDName, x, y, o.ObjectRect);
      break;
    case TtwObjectEvent::Enter:
      if (OnMouseEnterEvent) OnMouseEnterEvent(o.IDName);
      break;
    case TtwObjectEvent::Leave:
      if (OnMouseLeaveEvent) OnMouseLeaveEvent(o.IDName);
      break;
  }
}

bool TtwSkinForm::PaintUserObject(const TtwActiveSkinObject& o, QPainter& canvas) {
  if (!OnPaintEvent) return false;
  OnPaintEvent(o.IDName, canvas, o.ObjectRect);
  return true;
}

bool TtwSkinForm::PaintCaption(QPainter& canvas, const TRect& r, bool active) {
  if (!OnCaptionPaint) return false;
  OnCaptionPaint(canvas, r, active);
  return true;
}
