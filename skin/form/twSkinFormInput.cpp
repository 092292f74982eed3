// The skinned frame's input: events and private messages of the form, and
// presses on the frame turned into moves, resizes, double-click commands and
// presses of caption objects.
#include "skin/form/twSkinForm.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QTimer>
#include <QWindow>

#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Message.h"
#include "skin/controls/twSkinControlBase.h"
#include "skin/draw/twGuard.h"
#include "skin/draw/twLayerWindow.h"

namespace {

// Answers of the private messages, fixed for other components.
constexpr intptr_t kAnswerSkinned = 12853, kAnswerNotSkinned = 12852, kAnswerPainted = 12851;

Qt::Edges EdgesOf(int hit) {
  switch (hit) {
    case htLeft: return Qt::LeftEdge;
    case htRight: return Qt::RightEdge;
    case htTop: return Qt::TopEdge;
    case htBottom: return Qt::BottomEdge;
    case htTopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case htTopRight: return Qt::TopEdge | Qt::RightEdge;
    case htBottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case htBottomRight: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
  }
}

// Wayland leaves every placement to the compositor.
bool WindowsPlaceThemselves() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

Qt::CursorShape CursorOf(int hit) {
  switch (hit) {
    case htLeft: case htRight: return Qt::SizeHorCursor;
    case htTop: case htBottom: return Qt::SizeVerCursor;
    case htTopLeft: case htBottomRight: return Qt::SizeFDiagCursor;
    case htTopRight: case htBottomLeft: return Qt::SizeBDiagCursor;
    default: return Qt::ArrowCursor;
  }
}


}  // namespace

bool TtwSkinForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched != form_) return false;
  // While the form is being destroyed its base class still sends events (a
  // hide, the activation moving away); by then it is no longer a TForm.
  if (!qobject_cast<TForm*>(watched)) return false;
  // The form's own error guard does not cover filters: use the same one.
  bool consumed = false;
  Guarded([&] { consumed = HandleEvent(e); });
  return consumed;
}

bool TtwSkinForm::HandleEvent(QEvent* e) {
  if (TMessage* m = MessageOf(e)) return HandleMessage(*m);
  if (!skinnable_) return false;
  switch (e->type()) {
    case QEvent::Paint: {
      auto* pe = static_cast<QPaintEvent*>(e);
      QPainter p(form_);
      // A skin the drawing cannot serve leaves a plain face, never an error
      // out of the paint.
      if (!TwGuarded("frame paint", [&] {
            painter_.PaintBackground(p, pe->region(), PaintInput());
            PaintFrame(p);
          }))
        p.fillRect(form_->rect(), twDefaultColors::BtnFace);
      return true;
    }
    case QEvent::Resize:
      TwGuarded("frame resize", [&] { Rebuild(); });
      // A cover taken at the old size would leave part of the client bare or
      // show stale controls: take it again once the children are laid out.
      if (inactiveCover_ && inactiveCover_->isVisible())
        QTimer::singleShot(0, this, [this] {
          if (!active_) UpdateInactiveCover(false);
        });
      return false;
    case QEvent::ActivationChange:
      // The glow layer is click-through and never takes the activation; a
      // platform that hands it over anyway must not have the frame drop the
      // layer while the layer is being activated.
      if (glow_->Window() && QApplication::activeWindow() == glow_->Window()) return false;
      UpdateActive(form_->isActiveWindow());
      return false;
    case QEvent::WindowTitleChange:
      painter_.Invalidate();
      form_->update(0, 0, form_->width(), margins_.top());
      return false;
    case QEvent::WindowStateChange: {
      // The frame maximises itself: a maximised request becomes its own.
      if (form_->windowState() & Qt::WindowMaximized) {
        form_->setWindowState(form_->windowState() & ~Qt::WindowMaximized);
        Maximize();
      }
      // The main window minimises the application's windows together,
      // whoever asked (our button, the window manager, a taskbar).
      const bool wasMinimized = static_cast<QWindowStateChangeEvent*>(e)->oldState() & Qt::WindowMinimized;
      const bool minimized = form_->windowState() & Qt::WindowMinimized;
      if (minimized && !wasMinimized) HideCompanions();
      else if (!minimized && wasMinimized) ShowCompanions();
      return false;
    }
    case QEvent::Show:
      ApplyWindowShape();
      FirstShow();
      StartFadeIn();
      return false;
    case QEvent::Hide:
      HideObjectGlow();
      return false;
    case QEvent::MouseButtonPress:
      MousePress(static_cast<QMouseEvent*>(e));
      return true;
    case QEvent::MouseMove:
      MouseMove(static_cast<QMouseEvent*>(e));
      return true;
    case QEvent::MouseButtonRelease:
      MouseRelease(static_cast<QMouseEvent*>(e));
      return true;
    case QEvent::MouseButtonDblClick:
      MouseDoubleClick(static_cast<QMouseEvent*>(e));
      return true;
    case QEvent::Leave:
      if (pressed_ < 0 && mover_.State() == TtwFrameMover::Mode::Idle) ClearHover();
      return false;
    default:
      return false;
  }
}

bool TtwSkinForm::HandleMessage(TMessage& m) {
  auto* sender = reinterpret_cast<TtwSkinData*>(m.WParam);
  switch (m.Msg) {
    case SKIN_MSG_BEFORE_CHANGE:
      if (sender && sender == skinData_) BeforeSkinChange();
      return false;
    case SKIN_MSG_CHANGE:
      changing_ = false;
      if (sender && sender == skinData_) {
        ApplySkin();
        WalkSkinnables(false);
      }
      return false;
    case SKIN_MSG_AFTER_CHANGE:
      if (sender && sender == skinData_ && OnAfterChangeSkinData) OnAfterChangeSkinData();
      return false;
    case SKIN_MSG_STRINGS_CHANGED:
      ApplyBorderIcons();
      return false;
    case SKIN_MSG_SKINNABLE_CHANGED:
      if (sender && sender == skinData_ && sender->SkinnableForm() != skinnable_) {
        const bool visible = form_->isVisible();
        const bool maximized = ws_.Frame == TtwFrameState::Maximized;
        if (maximized) Restore();
        skinnable_ = sender->SkinnableForm();
        form_->setWindowFlag(Qt::FramelessWindowHint, skinnable_);
        ApplySkin();
        if (maximized) Maximize();
        if (visible) form_->show();
      }
      return false;
    case TW_MSG_QUERY_SKINNED:
      m.Result = skinnable_ ? kAnswerSkinned : kAnswerNotSkinned;
      return true;
    case TW_MSG_PAINT_FRAME:
    case TW_MSG_PAINT_FRAME_EX: {
      const bool ex = m.Msg == TW_MSG_PAINT_FRAME_EX;
      if (!skinnable_ || (ex && m.LParam != kPaintFrameExKey)) return false;
      // WParam carries the painter to draw on (the device context).
      bool painted = false;
      if (m.WParam && form_->BorderStyle() != TFormBorderStyle::bsNone) {
        PaintFrame(*reinterpret_cast<QPainter*>(m.WParam));
        painted = true;
      }
      m.Result = ex ? kPaintFrameExKey : (painted ? kAnswerPainted : 0);
      return true;
    }
    case WM_NCLBUTTONDOWN: {
      // A sizing part outside the frame (a status bar's grip) was pressed.
      const int hit = int(m.WParam);
      const bool plain = ws_.Frame == TtwFrameState::Normal && !ws_.RolledUp;
      if (!Framed() || !plain || !IsSizingHit(hit)) return false;
      const QPoint global(int16_t(m.LParam & 0xFFFF), int16_t((m.LParam >> 16) & 0xFFFF));
      StartSizing(hit, global);
      m.Result = 1;
      return true;
    }
    case SKIN_MSG_MENU_CLOSED:
      // Any other menu of the frame closes with it.
      if (skinMenu_->Visible()) skinMenu_->CloseMenu();
      return false;
    default:
      return false;
  }
}

void TtwSkinForm::UpdateCursor(QPoint p) {
  const int hit = HitTest(p);
  if (hit == htClient || hit == htNowhere) {
    form_->unsetCursor();
    return;
  }
  if (UseFormCursorInNCArea && !IsSizingHit(hit)) {
    form_->unsetCursor();
    return;
  }
  form_->setCursor(CursorOf(hit));
}

void TtwSkinForm::MousePress(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  const int hit = HitTest(p);
  if (hit == htClient || hit == htNowhere) return;
  UpdateHot(p);
  auto* caption = [&]() -> TtwActiveSkinObject* {
    for (const auto& o : objects_)
      if (dynamic_cast<TtwSkinCaptionObject*>(o.get())) return o.get();
    return nullptr;
  }();
  // A press ends any hint of the frame's objects.
  if (ShowObjectHint && SkinHint) SkinHint->HideSkinHint();
  if (hit == htObject && hot_ >= 0) {
    pressed_ = hot_;
    objects_[pressed_]->SetMouseIn(true);
    objects_[pressed_]->MouseDown(p.x(), p.y(), e->button());
    return;
  }
  if (hit == htCaption) {
    if (caption) caption->MouseDown(p.x(), p.y(), e->button());
    if (e->button() == Qt::RightButton) {
      if (!DisableSystemMenu) OpenSystemMenuAt(e->globalPosition().toPoint());
      return;
    }
    if (e->button() == Qt::LeftButton && ws_.Frame != TtwFrameState::Maximized) {
      mover_.PressCaption(e->globalPosition().toPoint(), form_->geometry());
    }
    return;
  }
  if (IsSizingHit(hit) && e->button() == Qt::LeftButton) StartSizing(hit, e->globalPosition().toPoint());
}

// Hands the sizing to the window manager where there is one; otherwise the
// frame follows the pointer itself, holding it so that a press that began on
// a child (a status bar's grip) still brings the moves here.
void TtwSkinForm::StartSizing(int hit, QPoint global) {
  ClearHover();
  QWindow* w = form_->windowHandle();
  if (w && w->startSystemResize(EdgesOf(hit))) return;
  mover_.PressSizing(hit, global, form_->geometry());
  if (form_->isVisible()) form_->grabMouse();
}

TtwMoverLimits TtwSkinForm::MoverLimits() const {
  TtwMoverLimits l;
  l.Minimum = QSize(MinimumWidth(), MinimumHeight());
  l.Maximum = MaximumSize();
  l.WorkArea = MonitorArea(true);
  l.MagneticSize = Magnetic ? MagneticSize : 0;
  return l;
}

void TtwSkinForm::MouseMove(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  const QPoint g = e->globalPosition().toPoint();
  if (mover_.StartsMove(g)) {
    ClearHover();
    mover_.BeginMove();
    // A window manager that takes a move over starts it from where the
    // pointer is by then, losing the first motion's distance: the frame
    // moves the window itself, from the press, wherever a window may place
    // itself, and hands the move over only where it may not.
    QWindow* w = form_->windowHandle();
    if (!Magnetic && !WindowsPlaceThemselves() && w && w->startSystemMove()) {
      mover_.HandOver();
      return;
    }
  }
  switch (mover_.State()) {
    case TtwFrameMover::Mode::Moving: form_->move(mover_.Bounds(g, MoverLimits()).topLeft()); return;
    case TtwFrameMover::Mode::Sizing: form_->setGeometry(mover_.Bounds(g, MoverLimits())); return;
    default: break;
  }
  if (pressed_ >= 0 && pressed_ < int(objects_.size())) {
    objects_[pressed_]->MouseMove(p.x(), p.y());
    return;
  }
  UpdateHot(p);
  if (hot_ >= 0) objects_[hot_]->MouseMove(p.x(), p.y());
  UpdateCursor(p);
}

void TtwSkinForm::MouseRelease(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  const bool dragging = mover_.Dragging();
  if (mover_.State() == TtwFrameMover::Mode::Sizing && QWidget::mouseGrabber() == form_) form_->releaseMouse();
  mover_.Release();
  if (dragging) {
    Rebuild();
    form_->update();
  }
  if (pressed_ >= 0 && pressed_ < int(objects_.size())) {
    TtwActiveSkinObject* o = objects_[pressed_].get();
    o->SetMouseIn(o->Contains(p.x(), p.y()));
    pressed_ = -1;
    o->MouseUp(p.x(), p.y(), e->button());
  }
  UpdateHot(p);
}

void TtwSkinForm::MouseDoubleClick(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  const int hit = HitTest(p);
  if (e->button() == Qt::RightButton) {
    MousePress(e);
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  if (hit == htCaption) {
    mover_.Release();
    const bool sizeable = Sizeable();
    if (sizeable && ws_.Frame == TtwFrameState::Minimized) Restore();
    else if (sizeable && ws_.Frame == TtwFrameState::Normal && !ws_.RolledUp && (borderIcons_ & biMaximize)) Maximize();
    else if (sizeable && ws_.Frame == TtwFrameState::Maximized && !ws_.RolledUp) Restore();
    else SetRolledUp(!ws_.RolledUp);
    return;
  }
  if (hit == htObject) {
    MousePress(e);
    if (hot_ >= 0) objects_[hot_]->DoubleClick();
  }
}
