#include "skin/controls/twSkinPanels.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/ImageList.h"

namespace {

// Tick and arrow marks of the default look, drawn with 1-px lines.
void DrawCheckMark(QPainter& p, int x, int y, const QColor& c) {
  // A 7 x 7 tick, three pixels thick.
  static const int pts[][2] = {{0, 2}, {1, 3}, {2, 4}, {3, 3}, {4, 2}, {5, 1}, {6, 0}};
  for (auto& pt : pts) p.fillRect(x + pt[0], y + pt[1], 1, 3, c);
}

void DrawArrow(QPainter& p, const QRect& box, bool down, const QColor& c) {
  const int cx = box.left() + box.width() / 2, cy = box.top() + box.height() / 2;
  for (int i = 0; i < 4; ++i) {
    const int y = down ? cy - 2 + i : cy + 1 - i;
    p.fillRect(cx - 3 + i, y, 7 - 2 * i, 1, c);
  }
}

}  // namespace

TtwSkinPanel::TtwSkinPanel(QWidget* parent) : TtwSkinCustomControl(parent) {
  compositePaint_ = true;
  skinDataName_ = QStringLiteral("panel");
  resize(150, 150);
}

TtwSkinPanel::~TtwSkinPanel() = default;

void TtwSkinPanel::SetBorderStyle(TBevelCut b) {
  borderStyle_ = b;
  if (!SkinLook()) {
    update();
    AlignChildren(this);
  }
}

void TtwSkinPanel::SetCaptionMode(bool v) {
  captionMode_ = v;
  update();
  AlignChildren(this);
}

void TtwSkinPanel::SetDefaultCaptionHeight(int h) {
  defaultCaptionHeight_ = h;
  if (!SkinLook() && captionMode_) {
    update();
    AlignChildren(this);
  }
}

void TtwSkinPanel::SetDefaultAlignment(TAlignment a) {
  defaultAlignment_ = a;
  if (!SkinLook() && captionMode_) update();
}

void TtwSkinPanel::SetRollUpMode(bool v) {
  rollUpMode_ = v;
  if (!SkinLook() && captionMode_) update();
}

void TtwSkinPanel::SetTransparentMode(bool v) {
  if (v == transparentMode_) return;
  transparentMode_ = v;
  update();
  NotifyChildrenBackground();
}

void TtwSkinPanel::SetCaptionImageIndex(int i) {
  if (i == captionImageIndex_) return;
  captionImageIndex_ = i;
  update();
}

void TtwSkinPanel::SetChecked(bool v) {
  checked_ = v;
  if (checkedMode_) update();
  if (autoEnabledControls_ && checkedMode_)
    for (QObject* o : children())
      if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow()) w->setEnabled(checked_);
  if (OnChecked) OnChecked(this);
}

void TtwSkinPanel::SetRollUpState(bool v) {
  if (v == rollUpState_) return;
  if (!rollUpMode_) {
    rollUpState_ = false;
    return;
  }
  rollUpState_ = v;
  RollStep();
  if (OnChangeRollUpState) OnChangeRollUpState(this);
}

void TtwSkinPanel::RollStep() {
  rolling_ = true;
  if (rollUpState_ && realHeight_ == -1) {
    realHeight_ = height();
    DisableAlign(this);
    for (QObject* o : children())
      if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow()) w->hide();
    const bool bound = recordIndex_ != -1 && geo_.PieceMode != -1;
    const int h = bound ? height() + geo_.FitClientRect.Top - geo_.FitClientRect.Bottom
                        : defaultCaptionHeight_ + 1;
    SetBounds(x(), y(), width(), h);
  } else if (!rollUpState_ && realHeight_ != -1) {
    const int h = realHeight_;
    realHeight_ = -1;
    SetBounds(x(), y(), width(), h);
    for (QObject* o : children())
      if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow()) w->show();
    EnableAlign(this);
  }
  rolling_ = false;
}

QRect TtwSkinPanel::AlignClientRect() const {
  if (recordIndex_ != -1 && geo_.PieceMode != -1) {
    if (borderStyle_ == bvNone && !captionMode_ && geo_.PieceMode == 1) return rect();
    return geo_.FitClientRect.ToQ();
  }
  QRect r = rect();
  if (borderStyle_ != bvNone) r.adjust(1, 1, -1, -1);
  if (captionMode_) r.setTop(r.top() + defaultCaptionHeight_);
  if (r.width() < 0) r.setWidth(0);
  if (r.height() < 0) r.setHeight(0);
  return r;
}

void TtwSkinPanel::DrawDefaultCaption(QPainter& p, QRect r) {
  namespace C = twDefaultColors;
  if (checkedMode_) {
    const QRect box(5, r.top() + r.height() / 2 - 7, 14, 14);
    p.fillRect(box, C::Window);
    QRect b = box;
    DrawBevel(p, b, C::BtnShadow, C::BtnShadow);
    if (checked_) DrawCheckMark(p, box.left() + 3, box.top() + 2, C::BtnText);
    r.setLeft(r.left() + 20);
  }
  if (rollUpMode_) {
    const QRect arrow(r.right() - 9, r.top(), 10, r.height());
    DrawArrow(p, arrow, rollUpState_, C::BtnText);
    r.setRight(r.right() - 10);
  }
  p.setFont(defaultFont_);
  const QFontMetrics fm(p.font());
  QPixmap pic;
  if (glyph_.isNull() && captionImageList_ && captionImageList_->Has(captionImageIndex_)) {
    pic = captionImageList_->Pixmap(captionImageIndex_);
  } else if (!glyph_.isNull()) {
    const int fw = glyph_.width() / numGlyphs_;
    const int frame = (!isEnabled() && numGlyphs_ == 2) ? 2 : 1;
    pic = glyph_.copy((frame - 1) * fw, 0, fw, glyph_.height());
  }
  const int tw = fm.horizontalAdvance(caption_);
  const int w = tw + (pic.isNull() ? 0 : pic.width() + spacing_);
  int x = r.left() + 2;
  if (defaultAlignment_ == taRightJustify) x = r.left() + r.width() - w;
  else if (defaultAlignment_ == taCenter) x = r.left() + 2 + r.width() / 2 - w / 2;
  if (!pic.isNull()) {
    p.drawPixmap(x, r.top() + r.height() / 2 - pic.height() / 2, pic);
    x += pic.width() + spacing_;
  }
  p.setClipRect(r);
  p.setPen(isEnabled() ? C::CaptionText : C::GrayText);
  p.drawText(QRect(x, r.top(), r.right() + 1 - x, r.height()),
             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption_);
  p.setClipping(false);
  captionArea_ = r;
}

void TtwSkinPanel::PaintDefault(QImage& bitmap) {
  namespace C = twDefaultColors;
  QPainter p(&bitmap);
  const int W = bitmap.width(), H = bitmap.height();
  p.fillRect(0, 0, W, H, C::PanelFace);
  QRect r(0, 0, W, H);
  switch (borderStyle_) {
    case bvFrame: DrawBevel(p, r, C::PanelBorder, C::PanelBorder); break;
    case bvRaised: DrawBevel(p, r, C::BtnHighlight, C::PanelBorder); break;
    case bvLowered: DrawBevel(p, r, C::PanelBorder, C::BtnHighlight); break;
    case bvNone: break;
  }
  if (!captionMode_) return;
  QRect band = borderStyle_ == bvFrame ? QRect(0, 0, W, defaultCaptionHeight_)
                                       : QRect(1, 1, W - 2, defaultCaptionHeight_ - 1);
  if (band.width() <= 0 || band.height() <= 0) return;
  p.fillRect(band, C::CaptionBand);
  if (borderStyle_ == bvFrame) {
    DrawBevel(p, band, C::PanelBorder, C::PanelBorder);
    DrawBevel(p, band, C::BtnHighlight, C::CaptionBand);
  } else {
    DrawBevel(p, band, C::PanelBorder, C::BtnHighlight);
    DrawBevel(p, band, C::BtnHighlight, C::PanelBorder);
  }
  DrawDefaultCaption(p, band);
}

void TtwSkinPanel::ApplySkin() {
  TtwSkinCustomControl::ApplySkin();
  if (realHeight_ == -1) AlignChildren(this);
}

void TtwSkinPanel::SetBounds(int left, int top, int width, int height) {
  TtwSkinCustomControl::SetBounds(left, top, width, height);
  if (!SkinLook()) update();
}

void TtwSkinPanel::CaptionChanged() {
  if (captionMode_) update();
}

void TtwSkinPanel::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) update();
  TtwSkinCustomControl::changeEvent(e);
}

void TtwSkinPanel::mousePressEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mousePressEvent(e);
  if (e->button() == Qt::LeftButton) pressedInside_ = true;
}

void TtwSkinPanel::mouseReleaseEvent(QMouseEvent* e) {
  const bool wasPressed = pressedInside_;
  pressedInside_ = false;
  if (e->button() == Qt::LeftButton && (rollUpMode_ || checkedMode_) && captionMode_) {
    const QRect hit = (recordIndex_ != -1 && !captionArea_.isEmpty())
                          ? captionArea_
                          : QRect(1, 1, width() - 2, defaultCaptionHeight_ - 1);
    if (hit.contains(e->position().toPoint())) {
      if (checkedMode_) SetChecked(!checked_);
      if (rollUpMode_) SetRollUpState(!rollUpState_);
    }
  }
  TtwSkinCustomControl::mouseReleaseEvent(e);
  if (e->button() == Qt::LeftButton && wasPressed && rect().contains(e->position().toPoint())) {
    if (OnClick) OnClick();
    emit clicked();
  }
}

void TtwSkinPanel::mouseDoubleClickEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseDoubleClickEvent(e);
  if (e->button() != Qt::LeftButton) return;
  if (OnDblClick) OnDblClick();
  emit doubleClicked();
}

TtwSkinGroupBox::TtwSkinGroupBox(QWidget* parent) : TtwSkinPanel(parent) {
  skinDataName_ = QStringLiteral("groupbox");
  captionMode_ = true;
}
