// Push buttons: which state picture a button shows, its cross-fade and frame
// animation, auto-repeat, groups, keyboard and the glow frame. Every timer
// stops itself once its work is done, even for a zero frame count or interval.
#include "skin/controls/twSkinButtons.h"

#include <QApplication>
#include <QPointer>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "platform/Form.h"
#include "platform/ImageList.h"
#include "platform/Message.h"
#include "skin/controls/twDialogButtons.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"
#include "skin/draw/twLayerWindow.h"
#include "skin/draw/tweffects.h"
#include "skin/menus/twSkinMenuItem.h"

namespace {

constexpr TColor kGreyText = 8421504;  // a disabled colour equal to the normal one
constexpr int kTrackWidth = 15;        // the arrow part of a menu button

TRect OrElse(const TRect& r, const TRect& fallback) { return r.IsEmpty() ? fallback : r; }

}  // namespace

void TtwButtonSkin::Copy(const TtwDataSkinButtonControl& r, const TRect& skinrect, bool speed) {
  fontname = r.fontname;
  fontstyle = r.fontstyle;
  fontheight = r.fontheight;
  fontcolor = r.fontcolor;
  activefontcolor = r.activefontcolor;
  downfontcolor = r.downfontcolor;
  disabledfontcolor = r.disabledfontcolor == r.fontcolor ? kGreyText : r.disabledfontcolor;
  activeskinrect = OrElse(r.activeskinrect, skinrect);
  downskinrect = OrElse(r.downskinrect, activeskinrect);
  disabledskinrect = r.disabledskinrect;
  focusedskinrect = speed ? TRect{} : r.focusedskinrect;
  animateskinrect = r.animateskinrect;
  framecount = r.framecount;
  animateinterval = r.animateinterval;
  morphing = r.morphing;
  morphkind = r.morphkind;
  showfocus = !speed && r.showfocus;
  menumarkerrect = r.menumarkerrect;
  menumarkerflatrect = speed ? OrElse(r.menumarkerflatrect, r.menumarkerrect) : r.menumarkerflatrect;
  menumarkeractiverect = OrElse(r.menumarkeractiverect, r.menumarkerrect);
  menumarkerdownrect = OrElse(r.menumarkerdownrect, menumarkeractiverect);
  menumarkertransparentcolor = r.menumarkertransparentcolor;
  glowlayerpictureindex = r.glowlayerpictureindex;
  glowlayermaskpictureindex = r.glowlayermaskpictureindex;
  glowlayeroffsetleft = r.glowlayeroffsetleft;
  glowlayeroffsetright = r.glowlayeroffsetright;
  glowlayeroffsettop = r.glowlayeroffsettop;
  glowlayeroffsetbottom = r.glowlayeroffsetbottom;
  glowlayershowoffsetx = r.glowlayershowoffsetx;
  glowlayershowoffsety = r.glowlayershowoffsety;
  glowlayeralphablendvalue = r.glowlayeralphablendvalue;
}

TRect TtwButtonSkin::AnimationFrame(int k, const TRect& skinrect) const {
  const TRect a = animateskinrect;
  if (framecount <= 0) return skinrect;
  if (a.Width() > skinrect.Width()) {
    const int fw = a.Width() / framecount;
    return TRect{a.Left + fw * (k - 1), a.Top, a.Left + fw * k, a.Bottom};
  }
  const int fh = a.Height() / framecount;
  return TRect{a.Left, a.Top + fh * (k - 1), a.Right, a.Top + fh * k};
}

TtwButtonPicture PickButtonPicture(const TtwButtonLook& l, bool speed) {
  using P = TtwButtonPicture;
  const bool midFade = l.morphing && l.fade > 0 && l.fade < 1;
  if (speed) {
    if (midFade && !l.transparent) return P::Morph;
    if (l.down) return P::Down;
    if (l.pointerOver || (l.morphing && l.fade >= 1)) return P::Active;
    if (l.transparent) return P::Transparent;
    return !l.enabled && l.hasDisabledPiece ? P::Disabled : P::Normal;
  }
  if (midFade && l.enabled) return P::Morph;
  if (!l.enabled && l.hasDisabledPiece) return P::Disabled;
  if (l.down) return P::Down;
  if (l.focused && l.hasFocusedPiece && !l.animating) return P::Focused;
  if (l.hot || (l.morphing && l.fade >= 1)) return P::Active;
  return P::Normal;
}

// ---------------------------------------------------------------- shared parts

template <class Base>
TtwButtonParts<Base>::TtwButtonParts(QWidget* parent) : Base(parent) {}

template <class Base>
TtwButtonParts<Base>::~TtwButtonParts() = default;

template <class Base>
bool TtwButtonParts<Base>::Morphing() const {
  // A see-through speed button has no picture to fade.
  return skin_.morphing && !IsTransparent() && this->skinData_ && this->skinData_->EnableSkinEffects();
}

template <class Base>
void TtwButtonParts<Base>::SetUseSkinSize(bool v) {
  useSkinSize_ = v;
  // The size rule and the region follow at once.
  this->ApplySkin();
  this->update();
}

template <class Base>
void TtwButtonParts<Base>::FindSkinRecord() {
  Base::FindSkinRecord();
  auto* r = dynamic_cast<const TtwDataSkinButtonControl*>(this->Record());
  if (!r) return;  // a record of another class keeps earlier state rectangles
  skin_.Copy(*r, this->geo_.PieceRect, IsSpeed());
  // While a frame animation runs its current frame stands in for the hot
  // (forward) or normal (backward) picture.
  if (AnimationRunning() && this->skinData_->EnableSkinEffects() && frameNumber_ > 0 &&
      frameNumber_ <= skin_.framecount) {
    const TRect f = skin_.AnimationFrame(frameNumber_, this->geo_.PieceRect);
    if (animForward_) skin_.activeskinrect = f;
    else this->geo_.PieceRect = f;
  }
}

template <class Base>
void TtwButtonParts<Base>::FitToSkin(int& width, int& height) {
  if (useSkinSize_ || this->geo_.PieceMode == pmNinePiece) {
    Base::FitToSkin(width, height);
    return;
  }
  if (this->recordIndex_ == -1) return;
  TRect c = this->geo_.SkinClientRect;
  c.Right += width - this->geo_.PieceRect.Width();
  c.Bottom += height - this->geo_.PieceRect.Height();
  this->geo_.FitClientRect = c;
}

template <class Base>
TtwButtonLook TtwButtonParts<Base>::Look() const {
  TtwButtonLook l;
  l.enabled = this->isEnabled();
  l.focused = Focused();
  l.hot = LooksHot();
  l.pointerOver = pointerOver_;
  l.down = down_ && (groupIndex_ != 0 || pointerOver_ || (l.focused && !leftPressed_));
  l.fade = fade_;
  l.morphing = this->recordIndex_ != -1 && Morphing();
  l.animating = AnimationRunning();
  l.transparent = IsTransparent();
  l.hasDisabledPiece = !skin_.disabledskinrect.IsEmpty();
  l.hasFocusedPiece = !skin_.focusedskinrect.IsEmpty();
  return l;
}

template <class Base>
QFont TtwButtonParts<Base>::SkinOrDefaultFont() const {
  if (this->recordIndex_ != -1 && this->useSkinFont_)
    return TwSkinFont(skin_.fontname, skin_.fontheight, skin_.fontstyle);
  return this->defaultFont_;
}

template <class Base>
void TtwButtonParts<Base>::DrawContent(QPainter& p, const TRect& r, bool pressed, bool hotOrDown) {
  QString caption = ShownCaption();
  TRect area = r;
  if (QImage chosen; ImagesMenuContent(chosen, caption)) {
    FitContent(p, area, caption, chosen.size());
    DrawListGlyphText(p, area, caption, {chosen}, 0, layout_, margin_, spacing_, this->isEnabled(), pressed, false,
                      0);
    return;
  }
  bool drawnEnabled = this->isEnabled();
  TImageList* list = PickImageList(hotOrDown, drawnEnabled);
  if (list && list->Has(imageIndex_)) {
    const QImage image = list->Pixmap(imageIndex_).toImage();
    FitContent(p, area, caption, image.size());
    DrawListGlyphText(p, area, caption, {image}, 0, layout_, margin_, spacing_, drawnEnabled, pressed, false, 0);
    return;
  }
  int frame = 1;
  if (down_ && hotOrDown && numGlyphs_ > 2) frame = 3;
  else if (hotOrDown && numGlyphs_ > 3) frame = 4;
  else if (this->isEnabled() || numGlyphs_ < 2) frame = 1;
  else frame = 2;
  const QSize glyph = glyph_.isNull() ? QSize() : QSize(glyph_.width() / numGlyphs_, glyph_.height());
  FitContent(p, area, caption, glyph);
  DrawStripGlyphText(p, area, caption, glyph_, numGlyphs_, frame, layout_, margin_, spacing_, pressed, false, 0);
}

template <class Base>
void TtwButtonParts<Base>::PaintState(QImage& bitmap, const TRect& piece, bool active, bool down) {
  PaintCaption(bitmap, PaintBackground(bitmap, piece), active, down);
}

template <class Base>
TRect TtwButtonParts<Base>::PaintBackground(QImage& bitmap, const TRect& piece) {
  const TtwSkinGeometry& g = this->geo_;
  const QSize sz = LogicalSize(bitmap);
  const int dW = sz.width() - g.PieceRect.Width(), dH = sz.height() - g.PieceRect.Height();
  TRect text = g.FitClientRect;
  if (!useSkinSize_ && g.PieceMode != pmNinePiece) {
    QImage part = TwNewSurface(sz.width(), sz.height(), QImage::Format_RGB32);
    if (!part.isNull()) {  // else the face keeps its plain fill under the caption
      part.fill(SystemColor(COLOR_BTNFACE));
      if (g.PieceMode == pmFixed)
        CopyPixels(part, TRect{0, 0, sz.width(), sz.height()}, g.SourcePicture, piece);
      else if (g.PieceMode != pmNone)
        ComposeClientStretched(part, g.SourcePicture, piece, g.SkinClientRect, true);
      DrawLogical(bitmap, QPoint(0, 0), part);
    }
    text = g.SkinClientRect;
    text.Right += dW;
    text.Bottom += dH;
  } else {
    g.PaintPiece(bitmap, piece, false);
  }
  return text;
}

template <class Base>
void TtwButtonParts<Base>::PaintCaption(QImage& bitmap, const TRect& text, bool active, bool down) {
  QPainter p(&bitmap);
  p.setFont(SkinOrDefaultFont());
  TColor c;
  if (this->isEnabled() && !useSkinFontColor_) c = ColorFromQ(this->defaultFontColor_);
  else if (!this->isEnabled()) c = skin_.disabledfontcolor;
  else if (active && down) c = skin_.downfontcolor;
  else if (active) c = skin_.activefontcolor;
  else c = skin_.fontcolor;
  p.setPen(ColorToQ(c));
  if (skin_.showfocus && Focused()) {
    p.setBrush(ColorToQ(this->skinData_->SkinColors().cbtnface));
    DrawDottedFocus(p, text);
  }
  bool drawDefault = true;
  if (OnPaint) OnPaint(p, text, down, active, drawDefault);
  if (!drawDefault) return;
  DrawContent(p, text, active && down, active || down);
}

template <class Base>
void TtwButtonParts<Base>::PaintPicture(QImage& bitmap, const TtwButtonLook& l) {
  switch (PickButtonPicture(l, IsSpeed())) {
    case TtwButtonPicture::Morph: DrawMorph(bitmap); break;
    case TtwButtonPicture::Disabled: PaintState(bitmap, skin_.disabledskinrect, false, false); break;
    case TtwButtonPicture::Down: PaintState(bitmap, skin_.downskinrect, true, true); break;
    case TtwButtonPicture::Focused: PaintState(bitmap, skin_.focusedskinrect, true, false); break;
    case TtwButtonPicture::Active: PaintState(bitmap, skin_.activeskinrect, true, false); break;
    case TtwButtonPicture::Transparent:  // the speed button draws its own
    case TtwButtonPicture::Normal: PaintState(bitmap, this->geo_.PieceRect, false, false); break;
  }
}

template <class Base>
void TtwButtonParts<Base>::DrawMorph(QImage& bitmap) {
  const qreal dpr = bitmap.devicePixelRatio();
  QImage normal = TwNewSurface(bitmap.width(), bitmap.height(), QImage::Format_RGB32);
  QImage hot = TwNewSurface(bitmap.width(), bitmap.height(), QImage::Format_RGB32);
  if (normal.isNull() || hot.isNull()) {
    // No room for the two pictures of a fade: the normal one, unfaded.
    PaintState(bitmap, this->geo_.PieceRect, false, false);
    return;
  }
  normal.setDevicePixelRatio(dpr);
  hot.setDevicePixelRatio(dpr);
  normal.fill(SystemColor(COLOR_BTNFACE));
  hot.fill(SystemColor(COLOR_BTNFACE));
  PaintState(normal, this->geo_.PieceRect, false, false);
  PaintState(hot, skin_.activeskinrect, true, false);
  TtwEffectBmp a(normal);
  const TtwEffectBmp b(hot);
  a.Morph(b, fade_, skin_.morphkind);
  bitmap = a.Image().copy();
  bitmap.setDevicePixelRatio(dpr);
}

template <class Base>
void TtwButtonParts<Base>::PaintDefault(QImage& bitmap) {
  const TtwButtonLook l = Look();
  QPainter p(&bitmap);
  const QSize sz = LogicalSize(bitmap);
  const QRect all(QPoint(0, 0), sz);
  QColor frame = SystemColor(COLOR_BTNSHADOW), fill = SystemColor(COLOR_BTNFACE);
  bool pressed = false;
  if (l.down) {
    frame = twDefaultColors::HotFrame;
    fill = twDefaultColors::DownFill;
    pressed = true;
  } else if (l.enabled && l.hot) {
    frame = twDefaultColors::HotFrame;
    fill = twDefaultColors::HotFill;
  }
  p.fillRect(all, fill);
  QRect r = all;
  DrawBevel(p, r, frame, frame);
  p.setFont(this->defaultFont_);
  p.setPen(l.enabled ? this->defaultFontColor_ : SystemColor(COLOR_BTNSHADOW));
  bool drawDefault = true;
  const TRect tr = TRect::FromQ(all);
  if (OnPaint) OnPaint(p, tr, down_, pointerOver_, drawDefault);
  if (drawDefault) DrawContent(p, tr, pressed, l.hot || l.down);
}

template <class Base>
void TtwButtonParts<Base>::ButtonClick() {
  if (OnClick) OnClick();
}

template <class Base>
void TtwButtonParts<Base>::SiblingsUp() {
  if (groupIndex_ == 0 || !down_ || allowAllUp_ || !this->parentWidget()) return;
  for (QObject* o : this->parentWidget()->children()) {
    auto* b = dynamic_cast<TtwButtonParts*>(o);
    // Same class only: a speed button never releases a windowed button.
    if (b && b != this && typeid(*b) == typeid(*this) && b->groupIndex_ == groupIndex_ && b->down_)
      b->SetDown(false);
  }
}

template <class Base>
void TtwButtonParts<Base>::SetDown(bool v) {
  const bool changed = v != down_;
  down_ = v;
  if (changed && Morphing()) {
    fade_ = 1;
    if (v) {
      if (morphTimer_) morphTimer_->Stop();
    } else {
      StartMorph();
    }
  }
  UpdateRepeat();
  this->update();
  SiblingsUp();
}

template <class Base>
void TtwButtonParts<Base>::UpdateRepeat() {
  const bool run = down_ && leftPressed_ && repeatMode_ && groupIndex_ == 0;
  if (!run) {
    if (repeatTimer_) repeatTimer_->Stop();
    return;
  }
  if (RepeatRunning()) return;
  if (!repeatTimer_) {
    repeatTimer_ = std::make_unique<TwTimer>();
    repeatTimer_->OnTimeout = [this] {
      // After the first delay the button clicks every RepeatInterval ms; a
      // non-positive interval repeats as fast as the first delay allows.
      repeatTimer_->Start(repeatInterval_ > 0 ? repeatInterval_ : kRepeatFirstDelayMs);
      ButtonClick();
    };
  }
  repeatTimer_->Start(kRepeatFirstDelayMs);
}

template <class Base>
void TtwButtonParts<Base>::ResetMorph() {
  if (morphTimer_) morphTimer_->Stop();
  fade_ = 0;
}

template <class Base>
void TtwButtonParts<Base>::StartMorph() {
  if (!Morphing() || this->recordIndex_ == -1) {
    this->update();
    return;
  }
  if (!morphTimer_) {
    morphTimer_ = std::make_unique<TwTimer>();
    morphTimer_->OnTimeout = [this] { MorphTick(); };
  }
  morphTimer_->Start(kMorphStepMs);
}

template <class Base>
void TtwButtonParts<Base>::MorphTick() {
  const bool hot = LooksHot();
  bool done = false;
  if (this->recordIndex_ == -1 || !Morphing()) {
    fade_ = hot ? 1 : 0;
    done = true;
  } else if (hot) {
    fade_ += kMorphStep;
    if (fade_ >= 1 - 1e-9) fade_ = 1, done = true;
  } else {
    fade_ -= kMorphStep;
    if (fade_ <= 1e-9) fade_ = 0, done = true;
  }
  if (done && morphTimer_) morphTimer_->Stop();
  this->update();
}

template <class Base>
void TtwButtonParts<Base>::StartAnimation(bool forward) {
  if (this->recordIndex_ == -1 || !this->skinData_ || !this->skinData_->EnableSkinEffects() ||
      skin_.animateskinrect.IsEmpty() || skin_.framecount <= 0 || !AnimatesFrames()) {
    StopAnimation();
    return;
  }
  animForward_ = forward;
  frameNumber_ = forward ? 1 : skin_.framecount;
  if (!animTimer_) {
    animTimer_ = std::make_unique<TwTimer>();
    animTimer_->OnTimeout = [this] { AnimationTick(); };
  }
  animTimer_->Start(skin_.animateinterval);
  this->update();
}

template <class Base>
void TtwButtonParts<Base>::StopAnimation() {
  const bool running = AnimationRunning();
  if (animTimer_) animTimer_->Stop();
  frameNumber_ = 0;
  if (running) this->update();
}

template <class Base>
void TtwButtonParts<Base>::AnimationTick() {
  if (animForward_) {
    if (++frameNumber_ > skin_.framecount) return StopAnimation();
  } else {
    if (--frameNumber_ <= 0) return StopAnimation();
  }
  this->update();
}

template <class Base>
void TtwButtonParts<Base>::ApplyButtonSkin() {
  if (morphTimer_) morphTimer_->Stop();
  StopAnimation();
  fade_ = 0;
}

template <class Base>
void TtwButtonParts<Base>::PressLeft() {
  StopAnimation();
  leftPressed_ = true;
  if (!down_) {
    pointerOver_ = true;
    SetDown(true);
    if (groupIndex_ != 0) ButtonClick();
    allUpCheck_ = false;
  } else if (groupIndex_ != 0) {
    allUpCheck_ = true;
  }
}

template <class Base>
void TtwButtonParts<Base>::ReleaseLeft(bool inside) {
  leftPressed_ = false;
  pointerOver_ = inside;
  if (groupIndex_ == 0) {
    const bool wasDown = down_;
    SetDown(false);
    if (inside && wasDown) ButtonClick();
  } else if (down_ && allowAllUp_ && allUpCheck_ && inside) {
    SetDown(false);
    ButtonClick();
  } else {
    UpdateRepeat();
  }
}

template <class Base>
void TtwButtonParts<Base>::CancelPress() {
  leftPressed_ = false;
  if (groupIndex_ == 0) SetDown(false);
  else UpdateRepeat();
}

template <class Base>
void TtwButtonParts<Base>::EnterLook() {
  if (down_) {
    if (Morphing()) fade_ = 1;
    this->update();
  } else {
    StartAnimation(true);
    if (Morphing() && this->recordIndex_ != -1) StartMorph();
    else this->update();
  }
}

template <class Base>
void TtwButtonParts<Base>::LeaveLook() {
  StartAnimation(false);
  if (Morphing() && this->recordIndex_ != -1) StartMorph();
  else this->update();
}

template <class Base>
void TtwButtonParts<Base>::TrackPressedPointer(QPoint local) {
  if (!leftPressed_) return;
  const bool over = this->rect().contains(local);
  if (over == pointerOver_) return;
  pointerOver_ = over;
  // A plain button is down only while the held pointer is over it; a
  // grouped one keeps its state.
  if (groupIndex_ == 0) SetDown(over);
  if (over) EnterLook();
  else LeaveLook();
}

template class TtwButtonParts<TtwSkinCustomControl>;
template class TtwButtonParts<TtwGraphicSkinCustomControl>;

// ---------------------------------------------------------------- windowed button

TtwSkinButton::TtwSkinButton(QWidget* parent) : TtwButtonParts(parent) {
  skinDataName_ = QStringLiteral("button");
  setFocusPolicy(Qt::StrongFocus);
  resize(75, 25);
}

TtwSkinButton::~TtwSkinButton() {
  if (registeredWith_) registeredWith_->Unregister(this);
}

void TtwSkinButton::SetDefault(bool v) {
  default_ = v;
  enterTarget_ = v;
  Register();
  update();
}

void TtwSkinButton::SetCancel(bool v) {
  cancel_ = v;
  Register();
}

void TtwSkinButton::Register() {
  TtwDialogButtons* list = (default_ || cancel_) && window() != this ? TtwDialogButtons::Of(window()) : nullptr;
  if (list == registeredWith_) {
    if (list) list->Refresh();
    return;
  }
  if (registeredWith_) registeredWith_->Unregister(this);
  registeredWith_ = list;
  if (list) list->Register(this);
}

void TtwSkinButton::SetFocusState(bool enterTarget, bool focusOnOtherControl) {
  if (enterTarget == enterTarget_ && focusOnOtherControl == focusOnOtherControl_) return;
  enterTarget_ = enterTarget;
  focusOnOtherControl_ = focusOnOtherControl;
  update();
}

void TtwSkinButton::SetCanFocused(bool v) {
  canFocused_ = v;
  setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus);
}

void TtwSkinButton::SetGroupIndex(int g) {
  groupIndex_ = g;
  if (g != 0) SetCanFocused(false);
}

bool TtwSkinButton::LooksHot() const {
  if (pointerOver_ || Focused()) return true;
  // The default button stays highlighted while the focus is on a control
  // that is not a button (Enter would press it).
  return default_ && canFocused_ && isEnabled() && focusOnOtherControl_;
}

void TtwSkinButton::ButtonClick() {
  QPointer<TtwSkinButton> self(this);
  if (canFocused_)
    if (auto* form = qobject_cast<TForm*>(window())) form->SetModalResult(modalResult_);
  if (!self) return;
  if (OnClick) OnClick();
  if (self) emit clicked();
}

void TtwSkinButton::FindSkinRecord() {
  TtwButtonParts::FindSkinRecord();
  // A button that keeps its own size stretches its pieces; the record's
  // mask, cut for the piece's size, would clip its edges.
  if (!useSkinSize_) geo_.SourceMask = QImage();
}

void TtwSkinButton::ApplySkin() {
  ApplyButtonSkin();
  TtwButtonParts::ApplySkin();
  if (Morphing() && recordIndex_ != -1 && (Focused() || pointerOver_)) fade_ = 1;
  if (pointerOver_) PostMessage(this, SKIN_MSG_SHOW_GLOW);
}

void TtwSkinButton::ForgetSkinRecord() {
  TtwButtonParts::ForgetSkinRecord();
  if (glow_ && glow_->Visible()) glow_->HideLayer();
}

void TtwSkinButton::PaintSkin(QImage& bitmap) { PaintPicture(bitmap, Look()); }

void TtwSkinButton::CaptionChanged() {
  UpdateShortcut();
  update();
}

// The caption's accelerator ("&Save": Alt+S) focuses and clicks the button.
void TtwSkinButton::UpdateShortcut() {
  if (shortcutId_) releaseShortcut(shortcutId_);
  shortcutId_ = 0;
  const QKeySequence key = QKeySequence::mnemonic(caption_);
  if (!key.isEmpty()) shortcutId_ = grabShortcut(key);
}

void TtwSkinButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) {
    if (!isEnabled()) CancelPress();
    ResetMorph();
    pointerOver_ = false;
    update();
  } else if (e->type() == QEvent::ActivationChange && !window()->isActiveWindow()) {
    HideGlow();
  }
  TtwButtonParts::changeEvent(e);
}

void TtwSkinButton::mousePressEvent(QMouseEvent* e) {
  TtwButtonParts::mousePressEvent(e);
  if (e->button() != Qt::LeftButton) return;
  if (canFocused_ && !hasFocus()) {
    setFocus(Qt::MouseFocusReason);
    if (!hasFocus() && focusPolicy() != Qt::NoFocus && window()->isActiveWindow()) return;
  }
  PressLeft();
}

void TtwSkinButton::mouseMoveEvent(QMouseEvent* e) {
  TtwButtonParts::mouseMoveEvent(e);
  TrackPressedPointer(e->position().toPoint());
}

void TtwSkinButton::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    TtwButtonParts::mouseReleaseEvent(e);
    return;
  }
  QPointer<TtwSkinButton> self(this);
  ReleaseLeft(rect().contains(e->position().toPoint()));
  // The click may have closed the window or destroyed the button.
  if (self && isVisible()) TtwButtonParts::mouseReleaseEvent(e);
}

void TtwSkinButton::mouseDoubleClickEvent(QMouseEvent* e) {
  // A quick second click presses the button again.
  mousePressEvent(e);
  emit doubleClicked();
}

void TtwSkinButton::keyPressEvent(QKeyEvent* e) {
  if (!canFocused_) {
    TtwButtonParts::keyPressEvent(e);
    return;
  }
  switch (e->key()) {
    case Qt::Key_Space:
      if (!e->isAutoRepeat() || repeatMode_) {
        StopAnimation();
        SetDown(true);
        if (repeatMode_) ButtonClick();
      }
      e->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (isEnabled()) ButtonClick();
      e->accept();
      return;
    case Qt::Key_Escape:
      // Escape takes back a press Space began; the window's cancel button
      // hears it only when nothing was pressed.
      if (down_ && groupIndex_ == 0 && !leftPressed_) {
        SetDown(false);
        e->accept();
        return;
      }
      TtwButtonParts::keyPressEvent(e);
      return;
    default:
      TtwButtonParts::keyPressEvent(e);
  }
}

void TtwSkinButton::keyReleaseEvent(QKeyEvent* e) {
  if (canFocused_ && e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
    // Only a press still held clicks: Escape or focus loss took it back.
    const bool wasDown = down_ && groupIndex_ == 0 && !leftPressed_;
    if (wasDown) SetDown(false);
    if (wasDown) ButtonClick();
    e->accept();
    return;
  }
  TtwButtonParts::keyReleaseEvent(e);
}

void TtwSkinButton::focusInEvent(QFocusEvent* e) {
  TtwButtonParts::focusInEvent(e);
  StartAnimation(true);
  update();
}

void TtwSkinButton::focusOutEvent(QFocusEvent* e) {
  TtwButtonParts::focusOutEvent(e);
  CancelPress();
  StartAnimation(false);
  StartMorph();
}

void TtwSkinButton::enterEvent(QEnterEvent* e) {
  TtwButtonParts::enterEvent(e);
  if (!isEnabled()) return;
  pointerOver_ = true;
  if ((groupIndex_ != 0 && !down_) || (groupIndex_ == 0 && (!Focused() || down_))) EnterLook();
  PostMessage(this, SKIN_MSG_SHOW_GLOW);
}

void TtwSkinButton::leaveEvent(QEvent* e) {
  TtwButtonParts::leaveEvent(e);
  if (leftPressed_) return;  // the press follows the pointer through moves
  pointerOver_ = false;
  if ((groupIndex_ != 0 && !down_) || (groupIndex_ == 0 && (!Focused() || down_))) LeaveLook();
  else update();
  PostMessage(this, SKIN_MSG_HIDE_GLOW);
}

void TtwSkinButton::hideEvent(QHideEvent* e) {
  TtwButtonParts::hideEvent(e);
  // A glow left behind a hidden button would float over nothing.
  HideGlow();
}

void TtwSkinButton::ShowGlow() {
  if (!skinData_ || skinData_->Empty() || !TtwLayerManager::LayeredSupported() || !isVisible()) return;
  if (!(skinData_->ShowButtonGlowFrames() || alwaysShowLayeredFrame_)) return;
  if (recordIndex_ == -1 || skin_.glowlayerpictureindex == -1) return;
  const QImage* pic = skinData_->ActivePicture(skin_.glowlayerpictureindex);
  const QImage* mask = skinData_->ActivePicture(skin_.glowlayermaskpictureindex);
  if (!pic) return;
  QImage picture = *pic, alpha = mask ? *mask : QImage();
  const int dW = width() - geo_.PieceRect.Width(), dH = height() - geo_.PieceRect.Height();
  auto fit = [&](QImage& img) {
    if (img.isNull()) return;
    if (geo_.PieceMode == pmThreePieceH && useSkinSize_) {
      QImage out;
      ComposeThreePieceH(img, TRect{0, 0, img.width(), img.height()}, skin_.glowlayeroffsetleft,
                         skin_.glowlayeroffsetright, true, img.width() + dW, out);
      img = out;
    } else if (geo_.PieceMode == pmNinePiece) {
      QImage out = TwNewSurface(img.width() + dW, img.height() + dH, QImage::Format_ARGB32);
      if (out.isNull()) {
        img = QImage();
        return;
      }
      out.fill(0);
      const TRect src{0, 0, img.width(), img.height()};
      const TRect cl{skin_.glowlayeroffsetleft, skin_.glowlayeroffsettop, img.width() - skin_.glowlayeroffsetright,
                     img.height() - skin_.glowlayeroffsetbottom};
      ComposeClientStretched(out, img.convertToFormat(QImage::Format_ARGB32), src, cl, true);
      img = out;
    }
  };
  const bool fits = geo_.PieceMode == pmFixed || geo_.PieceMode == pmNinePiece ||
                    (geo_.PieceMode == pmThreePieceH && useSkinSize_);
  if (!fits) return;
  fit(picture);
  fit(alpha);
  if (picture.isNull()) return;  // a glow too large to make is left out
  if (!glow_) glow_ = std::make_unique<TtwLayerManager>();
  glow_->TopMost = window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  const QPoint origin = mapToGlobal(QPoint(0, 0));
  glow_->ShowLayer(origin.x() - skin_.glowlayershowoffsetx, origin.y() - skin_.glowlayershowoffsety,
                   skin_.glowlayeralphablendvalue, alpha, picture);
}

void TtwSkinButton::HideGlow() {
  if (glow_ && glow_->Visible()) glow_->HideLayer();
}

bool TtwSkinButton::event(QEvent* e) {
  // A window reached through a new parent (or an ancestor's) lists it.
  if (e->type() == QEvent::ParentChange || e->type() == QEvent::Show) Register();
  if (e->type() == QEvent::Shortcut) {
    if (isEnabled() && canFocused_ && isVisible()) {
      setFocus(Qt::ShortcutFocusReason);
      ButtonClick();
    }
    return true;
  }
  if (TMessage* m = MessageOf(e)) {
    if (m->Msg == SKIN_MSG_SHOW_GLOW) {
      if (pointerOver_) ShowGlow();
      return true;
    }
    if (m->Msg == SKIN_MSG_HIDE_GLOW) {
      // A glow kept only by AlwaysShowLayeredFrame also goes when the pointer
      // leaves: nothing else would ever hide it.
      HideGlow();
      return true;
    }
  }
  return TtwButtonParts::event(e);
}

// ---------------------------------------------------------------- speed button

TtwSkinSpeedButton::TtwSkinSpeedButton(QWidget* parent) : TtwButtonParts(parent) {
  skinDataName_ = QStringLiteral("toolbutton");
  imageIndex_ = 0;
  resize(25, 25);
}

TtwSkinSpeedButton::~TtwSkinSpeedButton() = default;

void TtwSkinSpeedButton::SetFlat(bool v) {
  flat_ = v;
  SetTransparent(v);
}

void TtwSkinSpeedButton::SetTransparent(bool v) {
  transparent_ = v;
  setAttribute(Qt::WA_OpaquePaintEvent, !v);
  // A see-through button does not fade: no wake-ups for it.
  if (v) ResetMorph();
  if (flat_) StopAnimation();
  update();
}

void TtwSkinSpeedButton::SetShowCaption(bool v) {
  if (v == showCaption_) return;
  showCaption_ = v;
  if (widthWithCaption_ > 0 && widthWithoutCaption_ > 0) SetWidth(v ? widthWithCaption_ : widthWithoutCaption_);
  else update();
}

void TtwSkinSpeedButton::SetBarImages(TImageList* images, TImageList* hot, TImageList* disabled) {
  if (images == barImages_ && hot == barHotImages_ && disabled == barDisabledImages_) return;
  barImages_ = images;
  barHotImages_ = hot;
  barDisabledImages_ = disabled;
  update();
}

TImageList* TtwSkinSpeedButton::PickImageList(bool hotOrDown, bool& drawnEnabled) const {
  if (!glyph_.isNull()) return nullptr;  // a glyph wins over every list
  // The tool bar's disabled images are drawn as they are, not greyed.
  if (hotOrDown && barHotImages_) return barHotImages_;
  if (!isEnabled() && barDisabledImages_) {
    drawnEnabled = true;
    return barDisabledImages_;
  }
  if (barImages_) return barImages_;
  return imageList_;
}

void TtwSkinSpeedButton::ButtonClick() {
  QPointer<TtwSkinSpeedButton> self(this);
  if (OnClick) OnClick();
  if (self) emit clicked();
}

void TtwSkinSpeedButton::ApplySkin() {
  ApplyButtonSkin();
  TtwButtonParts::ApplySkin();
  if (Morphing() && recordIndex_ != -1 && pointerOver_) fade_ = 1;
}

bool TtwSkinSpeedButton::SeeThrough() const {
  // An idle transparent button shows its parent, then caption and image.
  return transparent_ && !down_ && !pointerOver_;
}

void TtwSkinSpeedButton::DrawTransparent(QImage& bitmap) {
  QPainter p(&bitmap);
  TRect r = recordIndex_ != -1 ? geo_.FitClientRect : TRect{0, 0, width(), height()};
  if (recordIndex_ != -1) {
    QFont f = TwSkinFont(skin_.fontname, useSkinFont_ ? skin_.fontheight : defaultFont_.pixelSize(), skin_.fontstyle);
    if (!useSkinFont_) f = defaultFont_;
    p.setFont(f);
    const TtwSkinColors& c = skinData_->SkinColors();
    p.setPen(!isEnabled() ? ColorToQ(c.cbtnshadow)
                          : (useSkinFontColor_ ? ColorToQ(c.cbtntext) : defaultFontColor_));
  } else {
    p.setFont(defaultFont_);
    p.setPen(isEnabled() ? defaultFontColor_ : SystemColor(COLOR_BTNSHADOW));
  }
  DrawContent(p, r, false, false);
}

void TtwSkinSpeedButton::PaintSkin(QImage& bitmap) {
  const TtwButtonLook l = Look();
  if (PickButtonPicture(l, true) == TtwButtonPicture::Transparent) DrawTransparent(bitmap);
  else PaintPicture(bitmap, l);
}

void TtwSkinSpeedButton::PaintDefault(QImage& bitmap) {
  if (!down_ && !pointerOver_ && transparent_) {
    DrawTransparent(bitmap);
    return;
  }
  if (flat_ && !down_ && !pointerOver_) {
    // Flat but opaque: the face without a frame.
    QPainter p(&bitmap);
    p.setFont(defaultFont_);
    p.setPen(isEnabled() ? defaultFontColor_ : SystemColor(COLOR_BTNSHADOW));
    DrawContent(p, TRect{0, 0, width(), height()}, false, false);
    return;
  }
  TtwButtonParts::PaintDefault(bitmap);
}

void TtwSkinSpeedButton::CaptionChanged() {
  // The caption's accelerator clicks the button (it never takes the focus).
  if (shortcutId_) releaseShortcut(shortcutId_);
  shortcutId_ = 0;
  const QKeySequence key = QKeySequence::mnemonic(caption_);
  if (!key.isEmpty()) shortcutId_ = grabShortcut(key);
  update();
}

bool TtwSkinSpeedButton::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut) {
    if (isEnabled() && isVisible()) ButtonClick();
    return true;
  }
  return TtwButtonParts::event(e);
}

void TtwSkinSpeedButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) {
    if (!isEnabled()) CancelPress();
    ResetMorph();
    pointerOver_ = false;
    update();
  }
  TtwButtonParts::changeEvent(e);
}

void TtwSkinSpeedButton::mousePressEvent(QMouseEvent* e) {
  TtwButtonParts::mousePressEvent(e);
  if (e->button() == Qt::LeftButton) PressLeft();
}

void TtwSkinSpeedButton::mouseMoveEvent(QMouseEvent* e) {
  TtwButtonParts::mouseMoveEvent(e);
  TrackPressedPointer(e->position().toPoint());
}

void TtwSkinSpeedButton::mouseReleaseEvent(QMouseEvent* e) {
  TtwButtonParts::mouseReleaseEvent(e);
  if (e->button() == Qt::LeftButton) ReleaseLeft(rect().contains(e->position().toPoint()));
}

void TtwSkinSpeedButton::enterEvent(QEnterEvent* e) {
  TtwButtonParts::enterEvent(e);
  if (!isEnabled()) return;
  pointerOver_ = true;
  if (groupIndex_ == 0 || !down_) EnterLook();
}

void TtwSkinSpeedButton::leaveEvent(QEvent* e) {
  TtwButtonParts::leaveEvent(e);
  if (leftPressed_) return;
  pointerOver_ = false;
  if (groupIndex_ == 0 || !down_) LeaveLook();
  else update();
}

// ---------------------------------------------------------------- menu speed button

TtwSkinMenuSpeedButton::TtwSkinMenuSpeedButton(QWidget* parent) : TtwSkinSpeedButton(parent) {
  skinDataName_ = QStringLiteral("toolmenubutton");
}

void TtwSkinMenuSpeedButton::SetNewStyle(bool v) {
  newStyle_ = v;
  if (v) skinDataName_ = QStringLiteral("resizetoolbutton");
  update();
}

void TtwSkinMenuSpeedButton::FindSkinRecord() {
  TtwSkinSpeedButton::FindSkinRecord();
  auto* r = dynamic_cast<const TtwDataSkinMenuButtonControl*>(Record());
  trackButtonRect_ = r ? r->trackbuttonrect : TRect{};
}

void TtwSkinMenuSpeedButton::SetSkinImagesMenu(TtwSkinImagesMenu* m) {
  if (imagesMenu_ == m) return;
  disconnect(imagesChoice_);
  disconnect(imagesClosed_);
  imagesMenu_ = m;
  if (m) imagesChoice_ = connect(m, &TtwSkinImagesMenu::ChoiceChanged, this, [this] { update(); });
  update();
}

bool TtwSkinMenuSpeedButton::ImagesMenuContent(QImage& image, QString& caption) const {
  const TtwImagesMenuItem* item = imagesMenu_ ? imagesMenu_->SelectedItem() : nullptr;
  if (!item) return false;
  if (useImagesMenuCaption_ && ShowCaption()) caption = item->Caption;
  TImageList* list = imagesMenu_->Images();
  if (!useImagesMenuImage_ || !list || !list->Has(item->ImageIndex)) return false;
  image = list->Pixmap(item->ImageIndex).toImage();
  return true;
}

QRect TtwSkinMenuSpeedButton::TrackArea() const {
  if (!menu_ && !imagesMenu_) return QRect();
  if (!trackButtonMode_) return rect();
  static const QStringList plain = {QStringLiteral("resizebutton"), QStringLiteral("resizetoolbutton"),
                                    QStringLiteral("toolbutton"), QStringLiteral("bigtoolbutton")};
  if (recordIndex_ != -1 && !plain.contains(skinDataName_) && !trackButtonRect_.IsEmpty()) {
    TRect t = trackButtonRect_;
    const int dW = width() - geo_.PieceRect.Width(), dH = height() - geo_.PieceRect.Height();
    if (geo_.PieceMode == pmThreePieceH) t.Left += dW, t.Right += dW;
    if (geo_.PieceMode == pmThreePieceV) t.Top += dH, t.Bottom += dH;
    return t.ToQ();
  }
  return ArrowStrip();
}

QRect TtwSkinMenuSpeedButton::ArrowStrip() const {
  if (newStyle_ && trackPosition_ == twtpBottom) return QRect(0, height() - kTrackWidth, width(), kTrackWidth);
  return QRect(width() - kTrackWidth, 0, kTrackWidth, height());
}

TRect TtwSkinMenuSpeedButton::ContentArea(const TRect& area) const {
  const QRect strip = ArrowStrip();
  TRect r = area;
  if (strip.top() > 0) r.Bottom = std::min(r.Bottom, strip.top());
  else r.Right = std::min(r.Right, strip.left());
  return r;
}

void TtwSkinMenuSpeedButton::FitContent(QPainter& p, TRect& area, QString& caption, QSize glyph) const {
  area = ContentArea(area);
  if (caption.isEmpty()) return;
  int room = area.Width();
  if ((layout_ == blGlyphLeft || layout_ == blGlyphRight) && glyph.width() > 0)
    room -= glyph.width() + spacing_ + std::max(margin_, 0);
  const QFontMetrics fm(p.font());
  constexpr int kShown = Qt::TextSingleLine | Qt::TextExpandTabs | Qt::TextShowMnemonic;
  if (fm.boundingRect(QRect(), kShown, caption).width() <= room) return;
  // Shortened, the caption loses its underline (the accelerator still works).
  QString shown = TwStripAccelerator(caption);
  FitWideTextEllipsis(p, shown, room);
  if (WideTextWidth(p, shown) > room) shown.clear();
  caption = shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool TtwSkinMenuSpeedButton::SplitBody() const {
  const QString& n = skinDataName_;
  if (n == QLatin1String("toolbutton") || n == QLatin1String("bigtoolbutton")) return true;
  if (n == QLatin1String("resizebutton")) return !newStyle_;
  return n == QLatin1String("resizetoolbutton");  // with or without NewStyle
}

void TtwSkinMenuSpeedButton::DrawMarker(QImage& bitmap) {
  QRect strip = ArrowStrip();
  if (down_ || tracked_) strip.translate(2, 2);
  QPainter p(&bitmap);
  const TRect r = TRect::FromQ(strip);
  const TColor text = recordIndex_ == -1 ? clBtnText : (tracked_ ? skin_.downfontcolor : skin_.fontcolor);
  if (drawStandardArrow_) {
    DrawArrowMark(p, r, text, arrowType_);
    return;
  }
  if (recordIndex_ == -1 || skin_.menumarkerrect.IsEmpty()) {
    DrawDropMark(p, r, text);
    return;
  }
  TRect m = down_ ? skin_.menumarkerdownrect
                  : (pointerOver_ ? skin_.menumarkeractiverect : (flat_ ? skin_.menumarkerflatrect : skin_.menumarkerrect));
  TtwBitmap32 mark(m.Width(), m.Height());
  CopyPixels(mark.Image(), TRect{0, 0, m.Width(), m.Height()}, geo_.SourcePicture, m);
  mark.MakeColorTransparent(skin_.menumarkertransparentcolor);
  mark.Transparent = true;
  const QPoint at(strip.left() + strip.width() / 2 - m.Width() / 2, strip.top() + strip.height() / 2 - m.Height() / 2);
  p.drawImage(at, mark.Image());
}

// The body of a split record: the main part and the arrow strip each stretch
// their own state picture, so a tracked menu shows the strip pressed.
void TtwSkinMenuSpeedButton::PaintSplitBody(QImage& bitmap, const TtwButtonLook& l) {
  const QSize sz = LogicalSize(bitmap);
  const bool split = trackButtonMode_;
  const QRect strip = split ? ArrowStrip() : QRect();
  const QRect main = !split ? QRect(QPoint(0, 0), sz)
                     : strip.top() > 0 ? QRect(0, 0, sz.width(), strip.top())
                                       : QRect(0, 0, strip.left(), sz.height());
  const bool mainDown = l.down && !tracked_, mainActive = tracked_ || l.down || l.pointerOver;
  auto stateRect = [&](bool down, bool active) {
    return down ? skin_.downskinrect : active ? skin_.activeskinrect : geo_.PieceRect;
  };
  auto body = [&](const QRect& part, const TRect& piece) {
    if (part.isEmpty()) return;
    QImage img = TwNewSurface(part.width(), part.height(), QImage::Format_RGB32);
    if (img.isNull()) return;
    img.fill(SystemColor(COLOR_BTNFACE));
    ComposeClientStretched(img, geo_.SourcePicture, piece, geo_.SkinClientRect, true);
    DrawLogical(bitmap, part.topLeft(), img);
  };
  body(main, stateRect(mainDown, mainActive));
  if (split) body(strip, stateRect(tracked_, mainActive));
  // The caption keeps clear of the arrow strip.
  TRect text = geo_.SkinClientRect;
  text.Right += main.width() - geo_.PieceRect.Width();
  text.Bottom += main.height() - geo_.PieceRect.Height();
  if (!split) {
    if (newStyle_ && trackPosition_ == twtpBottom) text.Bottom -= kTrackWidth;
    else text.Right -= kTrackWidth;
  }
  PaintCaption(bitmap, text, mainActive, mainDown);
}

void TtwSkinMenuSpeedButton::PaintSkin(QImage& bitmap) {
  const TtwButtonLook l = Look();
  const TtwButtonPicture pic = PickButtonPicture(l, true);
  if (SplitBody() && (pic != TtwButtonPicture::Transparent || tracked_) && pic != TtwButtonPicture::Morph) {
    PaintSplitBody(bitmap, l);
  } else if (tracked_ && trackButtonMode_ && !trackButtonRect_.IsEmpty()) {
    // The hot picture with the pressed picture's arrow part over it.
    PaintState(bitmap, skin_.activeskinrect, true, false);
    const TRect src{skin_.downskinrect.Left + trackButtonRect_.Left, skin_.downskinrect.Top + trackButtonRect_.Top,
                    skin_.downskinrect.Left + trackButtonRect_.Right,
                    skin_.downskinrect.Top + trackButtonRect_.Bottom};
    QImage part = TwNewSurface(src.Width(), src.Height(), QImage::Format_RGB32);
    CopyPixels(part, TRect{0, 0, src.Width(), src.Height()}, geo_.SourcePicture, src);
    DrawLogical(bitmap, TrackArea().topLeft(), part);
  } else {
    TtwSkinSpeedButton::PaintSkin(bitmap);
  }
  DrawMarker(bitmap);
}

void TtwSkinMenuSpeedButton::PaintDefault(QImage& bitmap) {
  TtwSkinSpeedButton::PaintDefault(bitmap);
  DrawMarker(bitmap);
}

void TtwSkinMenuSpeedButton::mousePressEvent(QMouseEvent* e) {
  const QRect area = TrackArea();
  if (e->button() != Qt::LeftButton || area.isEmpty() || !area.contains(e->position().toPoint())) {
    TtwSkinSpeedButton::mousePressEvent(e);
    return;
  }
  tracked_ = true;
  pointerOver_ = true;
  SetDown(true);
  if (OnShowTrackMenu) OnShowTrackMenu(this);
  OpenMenu();
}

// The menu opens under the button and tells it when it closes (the closed
// message); the button stays down until then.
void TtwSkinMenuSpeedButton::OpenMenu() {
  QPointer<TtwSkinMenuSpeedButton> self(this);
  const QPoint at = mapToGlobal(QPoint(0, 0));
  if (imagesMenu_) {
    // Connected first: a menu with nothing to show closes inside Popup.
    disconnect(imagesClosed_);
    imagesClosed_ = connect(imagesMenu_, &TtwSkinImagesMenu::PopupClosed, this, [this] {
      disconnect(imagesClosed_);
      if (tracked_) MenuClosed();
    });
    imagesMenu_->Popup(TRect{at.x(), at.y(), at.x() + width(), at.y() + height()});
    return;
  }
  TtwSkinMenu* controller = menu_ ? menu_->FindSkinMenu() : nullptr;
  if (!controller) {
    // No skinned form to run it: the plain menu still lets the user choose.
    if (!menu_) return MenuClosed();
    connect(menu_, &QMenu::aboutToHide, this, [self] {
      if (self) PostMessage(self, SKIN_MSG_MENU_CLOSED);
    }, Qt::SingleShotConnection);
    menu_->popup(QPoint(at.x(), at.y() + height()));
    return;
  }
  menu_->PopupAtControl(this, TRect{at.x(), at.y(), at.x() + width(), at.y() + height()}, false);
  // A menu with nothing to show never opens, and no closed message comes.
  if (self && tracked_ && !controller->Visible()) MenuClosed();
}

void TtwSkinMenuSpeedButton::mouseReleaseEvent(QMouseEvent* e) {
  if (tracked_) return;  // releases belong to the open menu
  TtwSkinSpeedButton::mouseReleaseEvent(e);
}

void TtwSkinMenuSpeedButton::MenuClosed() {
  tracked_ = false;
  pointerOver_ = false;
  leftPressed_ = false;
  SetDown(false);
  if (OnHideTrackMenu) OnHideTrackMenu(this);
}

bool TtwSkinMenuSpeedButton::event(QEvent* e) {
  if (TMessage* m = MessageOf(e); m && m->Msg == SKIN_MSG_MENU_CLOSED) {
    MenuClosed();
    return true;
  }
  return TtwSkinSpeedButton::event(e);
}
