#include "skin/controls/twSkinButtons.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "platform/Form.h"
#include "platform/ImageList.h"

TtwSkinButton::TtwSkinButton(QWidget* parent) : TtwSkinCustomControl(parent) {
  skinDataName_ = QStringLiteral("button");
  setFocusPolicy(Qt::StrongFocus);
  resize(75, 25);
}

TtwSkinButton::~TtwSkinButton() {
  if (watchedWindow_) watchedWindow_->removeEventFilter(this);
}

void TtwSkinButton::SetUseSkinSize(bool v) {
  useSkinSize_ = v;
  update();
}

void TtwSkinButton::SetDefault(bool v) {
  default_ = v;
  enterTarget_ = v;
  WatchWindow();
  update();
}

void TtwSkinButton::SetCancel(bool v) {
  cancel_ = v;
  WatchWindow();
}

void TtwSkinButton::SetCanFocused(bool v) {
  canFocused_ = v;
  setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus);
}

void TtwSkinButton::SetGroupIndex(int g) {
  groupIndex_ = g;
  if (g != 0) SetCanFocused(false);
}

void TtwSkinButton::SetNumGlyphs(int n) {
  numGlyphs_ = n < 1 ? 1 : (n > 4 ? 4 : n);
  update();
}

void TtwSkinButton::SetMargin(int m) {
  if (m < -1) return;
  margin_ = m;
  update();
}

void TtwSkinButton::SetDown(bool v) {
  down_ = v;
  update();
  if (groupIndex_ != 0 && down_ && !allowAllUp_ && parentWidget()) {
    for (QObject* o : parentWidget()->children()) {
      auto* b = qobject_cast<TtwSkinButton*>(o);
      if (b && b != this && b->groupIndex_ == groupIndex_ && b->down_) b->SetDown(false);
    }
  }
}

bool TtwSkinButton::Focused() const { return hasFocus() && canFocused_; }

bool TtwSkinButton::LooksDown() const {
  return down_ && (groupIndex_ != 0 || pointerOver_ || (Focused() && !leftPressed_));
}

bool TtwSkinButton::LooksHot() const {
  if (pointerOver_ || Focused()) return true;
  // The default button stays highlighted while the focus is on a control
  // that is not a button (Enter would press it).
  if (default_ && canFocused_ && isEnabled()) {
    QWidget* f = QApplication::focusWidget();
    if (f && f->window() == window() && !qobject_cast<TtwSkinButton*>(f)) return true;
  }
  return false;
}

void TtwSkinButton::ButtonClick() {
  QPointer<TtwSkinButton> self(this);
  if (canFocused_)
    if (auto* form = qobject_cast<TForm*>(window())) form->SetModalResult(modalResult_);
  if (!self) return;
  if (OnClick) OnClick();
  if (self) emit clicked();
}

void TtwSkinButton::FitToSkin(int& width, int& height) {
  if (useSkinSize_ || geo_.PieceMode == 1) {
    TtwSkinCustomControl::FitToSkin(width, height);
    return;
  }
  TRect c = geo_.SkinClientRect;
  c.Right += width - geo_.PieceRect.Width();
  c.Bottom += height - geo_.PieceRect.Height();
  geo_.FitClientRect = c;
}

void TtwSkinButton::DrawCaptionAndImage(QPainter& p, const QRect& r, const QColor& color,
                                        bool pressed) {
  // The picture: the image list's entry, else a frame of the glyph strip.
  QPixmap pic;
  if (imageList_ && imageList_->Has(imageIndex_)) {
    pic = imageList_->Pixmap(imageIndex_);
  } else if (!glyph_.isNull()) {
    const int fw = glyph_.width() / numGlyphs_;
    int frame = 1;
    if (down_ && pointerOver_ && numGlyphs_ > 2) frame = 3;
    else if (pointerOver_ && numGlyphs_ > 3) frame = 4;
    else if (isEnabled() || numGlyphs_ < 2) frame = 1;
    else frame = 2;
    pic = glyph_.copy((frame - 1) * fw, 0, fw, glyph_.height());
  }
  const QFontMetrics fm(p.font());
  const QString text = caption_;
  const QSize ts = text.isEmpty() ? QSize(0, 0) : QSize(fm.horizontalAdvance(text), fm.height());
  const QSize ps = pic.isNull() ? QSize(0, 0) : pic.size();
  const int gap = (!pic.isNull() && !text.isEmpty()) ? spacing_ : 0;
  const bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
  const int total = horizontal ? ps.width() + gap + ts.width() : ps.height() + gap + ts.height();
  const int span = horizontal ? r.width() : r.height();
  const int start = (horizontal ? r.left() : r.top()) + (margin_ >= 0 ? margin_ : (span - total) / 2);
  const int off = pressed ? 1 : 0;
  QPoint picAt, textAt;
  const int cx = r.left() + r.width() / 2, cy = r.top() + r.height() / 2;
  switch (layout_) {
    case blGlyphLeft:
      picAt = {start, cy - ps.height() / 2};
      textAt = {start + ps.width() + gap, cy - ts.height() / 2};
      break;
    case blGlyphRight:
      textAt = {start, cy - ts.height() / 2};
      picAt = {start + ts.width() + gap, cy - ps.height() / 2};
      break;
    case blGlyphTop:
      picAt = {cx - ps.width() / 2, start};
      textAt = {cx - ts.width() / 2, start + ps.height() + gap};
      break;
    case blGlyphBottom:
      textAt = {cx - ts.width() / 2, start};
      picAt = {cx - ps.width() / 2, start + ts.height() + gap};
      break;
  }
  if (!pic.isNull()) {
    if (imageList_ && imageList_->Has(imageIndex_))
      imageList_->Draw(p, picAt.x() + off, picAt.y() + off, imageIndex_, isEnabled());
    else
      p.drawPixmap(picAt + QPoint(off, off), pic);
  }
  if (!text.isEmpty()) {
    p.setPen(color);
    p.setClipRect(r);
    p.drawText(QRect(textAt + QPoint(off, off), ts), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               text);
    p.setClipping(false);
  }
}

void TtwSkinButton::PaintDefault(QImage& bitmap) {
  namespace C = twDefaultColors;
  QPainter p(&bitmap);
  const QRect all(0, 0, bitmap.width(), bitmap.height());
  QColor frame = C::BtnShadow, fill = C::BtnFace;
  bool pressed = false;
  if (LooksDown()) {
    frame = C::HotFrame;
    fill = C::DownFill;
    pressed = true;
  } else if (isEnabled() && LooksHot()) {
    frame = C::HotFrame;
    fill = C::HotFill;
  }
  p.fillRect(all, fill);
  QRect r = all;
  DrawBevel(p, r, frame, frame);
  p.setFont(defaultFont_);
  const QColor text = isEnabled() ? defaultFontColor_ : C::GrayText;
  DrawCaptionAndImage(p, all, text, pressed);
}

void TtwSkinButton::CaptionChanged() { update(); }

void TtwSkinButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) {
    pointerOver_ = false;
    update();
  }
  TtwSkinCustomControl::changeEvent(e);
}

void TtwSkinButton::StopRepeat() {
  if (repeatTimer_) {
    repeatTimer_->deleteLater();
    repeatTimer_ = nullptr;
  }
}

void TtwSkinButton::mousePressEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mousePressEvent(e);
  if (e->button() != Qt::LeftButton) return;
  if (canFocused_ && !hasFocus()) setFocus(Qt::MouseFocusReason);
  leftPressed_ = true;
  if (!down_) {
    pointerOver_ = true;
    SetDown(true);
    if (repeatMode_ && groupIndex_ == 0) {
      StopRepeat();
      repeatTimer_ = new QTimer(this);
      repeatTimer_->setInterval(500);
      connect(repeatTimer_, &QTimer::timeout, this, [this] {
        if (repeatTimer_->interval() == 500 && repeatInterval_ != 500) {
          repeatTimer_->setInterval(repeatInterval_);
          return;
        }
        ButtonClick();
      });
      repeatTimer_->start();
    } else if (groupIndex_ != 0) {
      ButtonClick();
    }
    allUpCheck_ = false;
  } else if (groupIndex_ != 0) {
    allUpCheck_ = true;
  }
}

void TtwSkinButton::mouseMoveEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseMoveEvent(e);
  if (!leftPressed_) return;
  const bool over = rect().contains(e->position().toPoint());
  if (over != pointerOver_) {
    pointerOver_ = over;
    update();
  }
}

void TtwSkinButton::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    TtwSkinCustomControl::mouseReleaseEvent(e);
    return;
  }
  QPointer<TtwSkinButton> self(this);
  leftPressed_ = false;
  const bool inside = rect().contains(e->position().toPoint());
  pointerOver_ = inside;
  if (groupIndex_ == 0) {
    const bool wasDown = down_;
    StopRepeat();
    if (inside) {
      SetDown(false);
      if (wasDown) ButtonClick();
    } else {
      down_ = false;
      update();
    }
  } else if (down_ && allowAllUp_ && allUpCheck_ && inside) {
    SetDown(false);
    ButtonClick();
  }
  // The click may have closed the window.
  if (self && isVisible()) TtwSkinCustomControl::mouseReleaseEvent(e);
}

void TtwSkinButton::mouseDoubleClickEvent(QMouseEvent* e) {
  // A quick second click presses the button again.
  mousePressEvent(e);
  emit doubleClicked();
}

void TtwSkinButton::keyPressEvent(QKeyEvent* e) {
  if (!canFocused_) {
    TtwSkinCustomControl::keyPressEvent(e);
    return;
  }
  switch (e->key()) {
    case Qt::Key_Space:
      if (!e->isAutoRepeat() || repeatMode_) {
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
    default:
      TtwSkinCustomControl::keyPressEvent(e);
  }
}

void TtwSkinButton::keyReleaseEvent(QKeyEvent* e) {
  if (canFocused_ && e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
    SetDown(false);
    ButtonClick();
    e->accept();
    return;
  }
  TtwSkinCustomControl::keyReleaseEvent(e);
}

void TtwSkinButton::focusInEvent(QFocusEvent* e) {
  TtwSkinCustomControl::focusInEvent(e);
  update();
}

void TtwSkinButton::focusOutEvent(QFocusEvent* e) {
  TtwSkinCustomControl::focusOutEvent(e);
  StopRepeat();
  if (groupIndex_ == 0) down_ = false;
  update();
}

void TtwSkinButton::enterEvent(QEnterEvent* e) {
  TtwSkinCustomControl::enterEvent(e);
  if (!isEnabled()) return;
  pointerOver_ = true;
  update();
}

void TtwSkinButton::leaveEvent(QEvent* e) {
  TtwSkinCustomControl::leaveEvent(e);
  if (leftPressed_) return;  // the press follows the pointer through moves
  pointerOver_ = false;
  StopRepeat();
  update();
}

void TtwSkinButton::WatchWindow() {
  QWidget* w = (default_ || cancel_) ? window() : nullptr;
  if (w == this) w = nullptr;
  if (w == watchedWindow_) return;
  if (watchedWindow_) watchedWindow_->removeEventFilter(this);
  watchedWindow_ = w;
  if (w) w->installEventFilter(this);
  static bool hooked = false;
  if (default_ && !hooked && qApp) {
    // Default buttons change their look with the focus anywhere in the window.
    hooked = true;
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget* old, QWidget* now) {
      for (QWidget* w : {old, now}) {
        if (!w) continue;
        for (auto* b : w->window()->findChildren<TtwSkinButton*>())
          if (b->Default()) b->update();
      }
    });
  }
}

bool TtwSkinButton::eventFilter(QObject* watched, QEvent* e) {
  if (watched == watchedWindow_ && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    const bool usable = isEnabled() && isVisibleTo(window());
    if (usable && default_ && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
      // A focused button answers Enter itself; reaching the window means the
      // focus is elsewhere, so the default button is the target.
      QWidget* f = QApplication::focusWidget();
      enterTarget_ = !(f && qobject_cast<TtwSkinButton*>(f) && f != this);
      if (enterTarget_) {
        ButtonClick();
        return true;
      }
    }
    if (usable && cancel_ && canFocused_ && k->key() == Qt::Key_Escape &&
        (k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0) {
      ButtonClick();
      return true;
    }
  }
  return TtwSkinCustomControl::eventFilter(watched, e);
}

bool TtwSkinButton::event(QEvent* e) {
  if (e->type() == QEvent::ParentChange || e->type() == QEvent::Show) WatchWindow();
  return TtwSkinCustomControl::event(e);
}
