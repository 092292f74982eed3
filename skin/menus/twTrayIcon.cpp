// The tray icon and its platform backend. Guarantees: indexes into the icon
// list never leave it, the cycling timer never runs without an interval, and
// no window is held hidden unless an icon in a real tray can bring it back.
#include "skin/menus/twTrayIcon.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QWindowStateChangeEvent>
#include <algorithm>

#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "skin/menus/twSkinMenus.h"

namespace {

// Qt's window for an X11 embedding tray icon: its mouse events are the
// whole messages the tray sends.
const QLatin1String kQtTrayWindowName("QSystemTrayIconSys");

bool IsQtTrayWindow(const QWidget* w) { return w->objectName() == kQtTrayWindowName; }

QList<QWidget*> QtTrayWindows() {
  QList<QWidget*> found;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (IsQtTrayWindow(w)) found.append(w);
  return found;
}

// The icon of a program that has none: a note in the skin's accent colour.
QIcon PlainIcon() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QColor(0x2E, 0x4A, 0x75));
  p.setBrush(QColor(0x3D, 0x7B, 0xD9));
  p.drawRoundedRect(QRectF(2.5, 2.5, 27, 27), 5, 5);
  p.setPen(QPen(Qt::white, 2));
  for (int y : {10, 16, 22}) p.drawLine(8, y, y == 22 ? 18 : 24, y);
  return QIcon(pm);
}

// Whether a window that keeps the program running is on the screen, by the
// rule Qt's quit on the last window closed uses.
bool AnyWindowOnScreen() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible() || w->parentWidget() || !w->testAttribute(Qt::WA_QuitOnClose)) continue;
    const Qt::WindowType type = w->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || IsQtTrayWindow(w)) continue;
    return true;
  }
  return false;
}

}  // namespace

QString TwTrayTip(const QString& hint, int maxChars) {
  if (maxChars <= 0) return QString();
  QTextBoundaryFinder f(QTextBoundaryFinder::Grapheme, hint);
  int count = 0;
  for (qsizetype at = f.toNextBoundary(); at != -1; at = f.toNextBoundary()) {
    if (++count == maxChars) return hint.left(at);
  }
  return hint;
}

// ---- the platform's tray -------------------------------------------------------

TtwQtTrayBackend::TtwQtTrayBackend(QObject* parent) : TtwTrayBackend(parent), tray_(new QSystemTrayIcon(this)) {
  connect(tray_, &QSystemTrayIcon::activated, this, &TtwQtTrayBackend::Activated);
  connect(tray_, &QSystemTrayIcon::messageClicked, this, &TtwQtTrayBackend::BalloonClicked);
  poll_.OnTimeout = [this] { PollHost(); };
}

TtwQtTrayBackend::~TtwQtTrayBackend() {
  if (raw_) raw_->removeEventFilter(this);
}

bool TtwQtTrayBackend::Available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TtwQtTrayBackend::Add(const QIcon& icon, const QString& tip) {
  tray_->setIcon(icon);
  tray_->setToolTip(tip);
  // Shown again from hidden, so a restarted tray docks it anew; Qt may
  // make its tray window anew too.
  tray_->hide();
  const QList<QWidget*> before = QtTrayWindows();
  tray_->show();
  if (!raw_) FindTrayWindow(before);
  // The host is watched only while there is an icon to put back.
  if (!poll_.IsActive()) {
    available_ = Available();
    poll_.Start(kTrayHostPollMs);
  }
}

void TtwQtTrayBackend::Modify(const QIcon& icon, const QString& tip) {
  tray_->setIcon(icon);
  tray_->setToolTip(tip);
}

void TtwQtTrayBackend::Delete() {
  poll_.Stop();
  tray_->hide();
}

void TtwQtTrayBackend::ShowBalloon(const QString& title, const QString& text, QSystemTrayIcon::MessageIcon icon,
                                   int ms) {
  tray_->showMessage(title, text, icon, ms);
}

void TtwQtTrayBackend::FindTrayWindow(const QList<QWidget*>& before) {
  for (QWidget* w : QtTrayWindows()) {
    if (before.contains(w)) continue;  // another tray icon's
    raw_ = w;
    w->installEventFilter(this);
    return;
  }
}

void TtwQtTrayBackend::PollHost() {
  const bool now = Available();
  if (now == available_) return;
  available_ = now;
  emit HostChanged(now);
}

bool TtwQtTrayBackend::eventFilter(QObject* watched, QEvent* e) {
  if (watched != raw_) return TtwTrayBackend::eventFilter(watched, e);
  TtwTrayMouseEvent m;
  switch (e->type()) {
    case QEvent::MouseMove: m.Kind = TtwTrayMouseEvent::Move; break;
    case QEvent::MouseButtonPress: m.Kind = TtwTrayMouseEvent::Down; break;
    case QEvent::MouseButtonRelease: m.Kind = TtwTrayMouseEvent::Up; break;
    case QEvent::MouseButtonDblClick: m.Kind = TtwTrayMouseEvent::DoubleClick; break;
    default: return TtwTrayBackend::eventFilter(watched, e);
  }
  auto* me = static_cast<QMouseEvent*>(e);
  m.Button = me->button();
  m.Shift = me->modifiers();
  m.Pos = me->globalPosition().toPoint();
  emit Mouse(m);
  // Qt's own handling only reports activations, which are ignored while the
  // whole messages arrive here.
  return false;
}

void TtwQtTrayBackend::Activated(QSystemTrayIcon::ActivationReason reason) {
  if (raw_) return;
  TtwTrayMouseEvent m;
  m.Pos = QCursor::pos();
  m.Shift = QGuiApplication::queryKeyboardModifiers();
  auto send = [&](TtwTrayMouseEvent::TKind kind, Qt::MouseButton button) {
    m.Kind = kind;
    m.Button = button;
    emit Mouse(m);
  };
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      send(TtwTrayMouseEvent::Down, Qt::LeftButton);
      send(TtwTrayMouseEvent::Up, Qt::LeftButton);
      break;
    case QSystemTrayIcon::DoubleClick:
      send(TtwTrayMouseEvent::DoubleClick, Qt::LeftButton);
      send(TtwTrayMouseEvent::Up, Qt::LeftButton);
      break;
    case QSystemTrayIcon::Context:
      send(TtwTrayMouseEvent::Down, Qt::RightButton);
      send(TtwTrayMouseEvent::Up, Qt::RightButton);
      break;
    case QSystemTrayIcon::MiddleClick:
      send(TtwTrayMouseEvent::Down, Qt::MiddleButton);
      send(TtwTrayMouseEvent::Up, Qt::MiddleButton);
      break;
    default:
      break;
  }
}

// ---- the tray icon -------------------------------------------------------------

TtwTrayIcon::TtwTrayIcon(QObject* owner, TtwTrayBackend* backend)
    : QObject(owner), backend_(backend ? backend : new TtwQtTrayBackend) {
  backend_->setParent(this);
  connect(backend_, &TtwTrayBackend::Mouse, this, &TtwTrayIcon::HandleMouse);
  connect(backend_, &TtwTrayBackend::HostChanged, this, &TtwTrayIcon::HostChanged);
  connect(backend_, &TtwTrayBackend::BalloonClicked, this, [this] {
    if (OnBalloonHintClick) OnBalloonHintClick();
  });
  clickTimer_.SetSingleShot(true);
  clickTimer_.OnTimeout = [this] { ClickTimeout(); };
  cycleTimer_.OnTimeout = [this] { CycleTick(); };
  if (auto* w = qobject_cast<QWidget*>(owner)) {
    ownerWindow_ = w->window();
    ownerWindow_->installEventFilter(this);
  }
}

TtwTrayIcon::~TtwTrayIcon() {
  if (ownerWindow_) ownerWindow_->removeEventFilter(this);
  // Windows held in the tray come back, unless they are going with us.
  QList<QWidget*> back;
  for (QWidget* w : HeldWindows()) {
    bool ancestor = false;
    for (QObject* o = parent(); o && !ancestor; o = o->parent()) ancestor = o == w;
    if (!ancestor) back.append(w);
  }
  held_.clear();
  if (!QCoreApplication::closingDown()) ShowWindows(back);
  if (added_) backend_->Delete();
}

void TtwTrayIcon::SetIcon(const QIcon& icon) {
  icon_ = icon;
  Refresh();
}

void TtwTrayIcon::SetIconVisible(bool on) {
  if (on == IconVisible()) return;
  SetState(on ? TtwTrayState::Shown : TtwTrayState::Hidden);
}

void TtwTrayIcon::SetIconList(TImageList* list) {
  iconList_ = list;
  SetIconIndex(0);
}

void TtwTrayIcon::SetIconIndex(int index) {
  if (iconList_ && iconList_->Count() > 0) {
    iconIndex_ = std::clamp(index, 0, iconList_->Count() - 1);
    icon_ = QIcon(iconList_->Pixmap(iconIndex_));
  } else {
    iconIndex_ = 0;
  }
  Refresh();
}

void TtwTrayIcon::SetCycleIcons(bool on) {
  cycle_ = on;
  if (on) SetIconIndex(0);
  UpdateCycleTimer();
}

void TtwTrayIcon::SetAnimateTimerInterval(int ms) {
  interval_ = std::max(ms, 0);
  UpdateCycleTimer();
}

void TtwTrayIcon::UpdateCycleTimer() {
  if (cycle_ && interval_ > 0) cycleTimer_.Start(interval_);
  else cycleTimer_.Stop();
}

void TtwTrayIcon::CycleTick() {
  const int n = iconList_ ? iconList_->Count() : 0;
  if (n == 0) return;
  if (iconIndex_ < 0 || iconIndex_ >= n) iconIndex_ = 0;  // the list shrank
  icon_ = QIcon(iconList_->Pixmap(iconIndex_));
  const int next = iconIndex_ + 1 < n ? iconIndex_ + 1 : 0;
  QPointer<TtwTrayIcon> self(this);
  if (OnCycle) OnCycle(next);
  if (!self) return;
  Refresh();
  iconIndex_ = next;
}

void TtwTrayIcon::SetHint(const QString& hint) {
  hint_ = hint;
  Refresh();
}

void TtwTrayIcon::SetShowHint(bool on) {
  showHint_ = on;
  Refresh();
}

TtwSkinPopupMenu* TtwTrayIcon::PopupMenu() const { return popupMenu_; }

void TtwTrayIcon::SetPopupMenu(TtwSkinPopupMenu* menu) { popupMenu_ = menu; }

QIcon TtwTrayIcon::EffectiveIcon() const {
  if (!icon_.isNull()) return icon_;
  if (!QApplication::windowIcon().isNull()) return QApplication::windowIcon();
  static const QIcon plain = PlainIcon();
  return plain;
}

QString TtwTrayIcon::TipText() const { return showHint_ && !hint_.isEmpty() ? TwTrayTip(hint_) : QString(); }

void TtwTrayIcon::Refresh() {
  if (added_) backend_->Modify(EffectiveIcon(), TipText());
}

void TtwTrayIcon::ShowBalloonHint(const QString& title, const QString& text, QSystemTrayIcon::MessageIcon icon,
                                  int ms) {
  if (added_) backend_->ShowBalloon(title, text, icon, ms);
}

// ---- state -----------------------------------------------------------------------

QList<QWidget*> TtwTrayIcon::HeldWindows() const {
  QList<QWidget*> out;
  for (const auto& w : held_)
    if (w) out.append(w);
  return out;
}

void TtwTrayIcon::SetState(TtwTrayState state, const QList<QWidget*>& windows) {
  if (state == TtwTrayState::HoldingMainWindow && !backend_->Available()) {
    // Nothing could bring a hidden window back: minimise it where the
    // desktop keeps it reachable.
    for (QWidget* w : windows)
      if (w && !w->isMinimized()) w->showMinimized();
    return;
  }
  const TtwTrayState old = state_;
  if (old == TtwTrayState::HoldingMainWindow && state != old) {
    QList<QWidget*> back = HeldWindows();
    for (QWidget* w : windows)
      if (w && !back.contains(w)) back.append(w);
    held_.clear();
    ShowWindows(back);
  }
  state_ = state;
  if (state == TtwTrayState::Hidden) {
    if (added_) backend_->Delete();
    added_ = false;
  } else if (!added_) {
    added_ = true;
    backend_->Add(EffectiveIcon(), TipText());
  }
  if (state == TtwTrayState::HoldingMainWindow) {
    for (QWidget* w : windows) {
      // Qt's own tray window is a visible top-level one, and it is the way back.
      if (!w || IsQtTrayWindow(w)) continue;
      if (!HeldWindows().contains(w)) held_.append(w);
      w->hide();
    }
  }
  if (state != old) emit StateChanged(state);
}

bool TtwTrayIcon::HideMainWindow(const QList<QWidget*>& windows) {
  SetState(TtwTrayState::HoldingMainWindow, windows);
  return state_ == TtwTrayState::HoldingMainWindow;
}

void TtwTrayIcon::ShowMainWindow(const QList<QWidget*>& windows) {
  if (state_ == TtwTrayState::HoldingMainWindow) SetState(TtwTrayState::Shown, windows);
  else ShowWindows(windows);
}

bool TtwTrayIcon::CloseWindow(QWidget* w) {
  if (!w) return false;
  const bool wasHeld = HeldWindows().contains(w);
  QPointer<TtwTrayIcon> self(this);
  if (!w->close()) return false;
  if (!self || !wasHeld) return true;
  // Compared by address only: the window may have deleted itself on close.
  held_.removeIf([w](const QPointer<QWidget>& h) { return !h || h.data() == w; });
  if (!held_.isEmpty()) return true;
  if (QApplication::quitOnLastWindowClosed() && !AnyWindowOnScreen()) QCoreApplication::quit();
  else SetState(TtwTrayState::Shown);
  return true;
}

void TtwTrayIcon::ShowWindows(const QList<QWidget*>& windows) {
  QWidget* front = nullptr;
  for (QWidget* w : windows) {
    if (!w) continue;
    w->show();
    if (w->isMinimized()) w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    if (!front) front = w;
  }
  if (!front) return;
  front->raise();
  front->activateWindow();
}

void TtwTrayIcon::Loaded() {
  if (MinimizedOnStart && ownerWindow_) {
    MinimizeToTray = true;
    if (backend_->Available()) {
      if (TApplication* app = Application(); app && app->MainForm() == ownerWindow_) app->ShowMainForm = false;
      SetState(TtwTrayState::HoldingMainWindow, {ownerWindow_.data()});
      return;
    }
    // No tray: the window starts shown rather than unreachable.
  }
  Refresh();
}

void TtwTrayIcon::HostChanged(bool available) {
  if (!available) {
    // The way back went with the tray: the held windows come back now.
    if (state_ == TtwTrayState::HoldingMainWindow) SetState(TtwTrayState::Shown);
    return;
  }
  if (added_) backend_->Add(EffectiveIcon(), TipText());
}

bool TtwTrayIcon::eventFilter(QObject* watched, QEvent* e) {
  if (watched == ownerWindow_ && e->type() == QEvent::WindowStateChange && MinimizeToTray &&
      ownerWindow_->isMinimized() && state_ != TtwTrayState::HoldingMainWindow && backend_->Available()) {
    // Hidden once the state change has been handled everywhere.
    QPointer<QWidget> w = ownerWindow_;
    QMetaObject::invokeMethod(
        this,
        [this, w] {
          if (w && w->isMinimized()) HideMainWindow({w.data()});
        },
        Qt::QueuedConnection);
  }
  return QObject::eventFilter(watched, e);
}

// ---- mouse ---------------------------------------------------------------------

void TtwTrayIcon::HandleMouse(const TtwTrayMouseEvent& e) {
  if (!Enabled) return;
  QPointer<TtwTrayIcon> self(this);
  const int x = e.Pos.x(), y = e.Pos.y();
  auto down = [&] {
    if (OnMouseDown) OnMouseDown(e.Button, e.Shift, x, y);
  };
  switch (e.Kind) {
    case TtwTrayMouseEvent::Move:
      if (OnMouseMove) OnMouseMove(e.Shift, x, y);
      return;
    case TtwTrayMouseEvent::DoubleClick:
      if (e.Button == Qt::LeftButton) {
        clickReady_ = false;
        doubleClicked_ = true;
        if (OnDblClick) OnDblClick();
        if (!self) return;
        if (popupMenu_ && !PopupByLeftButton)
          if (QAction* d = popupMenu_->defaultAction(); d && d->isEnabled()) d->trigger();
        return;
      }
      [[fallthrough]];  // other buttons' second press is a press
    case TtwTrayMouseEvent::Down:
      if (e.Button == Qt::LeftButton) {
        clickTimer_.Start(QApplication::doubleClickInterval());
        down();
        if (!self) return;
        clickStarted_ = true;
        if (PopupByLeftButton) PopupAt(e.Pos);
      } else {
        down();
        if (self && e.Button == Qt::RightButton) PopupAt(e.Pos);
      }
      return;
    case TtwTrayMouseEvent::Up:
      if (e.Button == Qt::LeftButton && clickStarted_) {
        clickReady_ = true;
        clickStarted_ = false;
        // Held past the double-click time: the click is due now.
        if (!clickTimer_.IsActive()) {
          clickReady_ = false;
          if (OnClick) OnClick();
          if (!self) return;
        }
      }
      if (OnMouseUp) OnMouseUp(e.Button, e.Shift, x, y);
      return;
  }
}

void TtwTrayIcon::ClickTimeout() {
  const bool fire = !doubleClicked_ && clickReady_;
  clickReady_ = false;
  doubleClicked_ = false;
  if (fire && OnClick) OnClick();
}

void TtwTrayIcon::PopupAt(const QPoint& g) {
  if (!popupMenu_) return;
  if (popupMenu_->FindSkinMenu()) {
    popupMenu_->Popup(g.x(), g.y());
    return;
  }
  // A menu with no skinned form to run on (the tray's windows may all be
  // hidden or plain) runs on a controller of the tray's own.
  if (!ownMenu_) ownMenu_ = new TtwSkinMenu(nullptr, this);
  ownMenu_->PopupMenuItems(nullptr, popupMenu_->SkinData(), false, popupMenu_, TRect{g.x(), g.y(), g.x(), g.y()});
  if (ownMenu_->Visible()) ownMenu_->SetCloseCallback(popupMenu_->OnMenuClose);
}
