// The skinned frame's window states and commands: every change of state goes
// through ApplyWindowState, which sets the limits, bounds, client, grip and
// events together; Minimize, Maximize, Restore and SetRolledUp only decide
// the state to go to.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "platform/Application.h"
#include "platform/Form.h"
#include "skin/controls/twSkinBars.h"
#include "skin/form/twSkinForm.h"

void TtwSkinForm::SetOuterGeometry(const QRect& r) { form_->setGeometry(r); }

void TtwSkinForm::SetFrameState(TtwFrameState s) {
  if (s == ws_.Frame) return;
  switch (s) {
    case TtwFrameState::Minimized: Minimize(); break;
    case TtwFrameState::Maximized: Maximize(); break;
    case TtwFrameState::Normal: Restore(); break;
  }
}

void TtwSkinForm::Minimize() {
  TApplication* app = Application();
  if (!skinnable_ || (app && app->MainForm() == form_)) {
    // The main window minimises the system way and takes the application's
    // other windows with it (see the state change event); the frame state stays.
    form_->showMinimized();
    if (skinnable_ && OnMinimize) OnMinimize();
    return;
  }
  if (ws_.Frame == TtwFrameState::Minimized) return;
  TtwWindowState to = ws_;
  to.Frame = TtwFrameState::Minimized;
  ApplyWindowState(to);
}

void TtwSkinForm::Maximize() {
  if (!skinnable_) {
    form_->showMaximized();
    return;
  }
  if (ws_.Frame == TtwFrameState::Maximized) return;
  TtwWindowState to;
  to.Frame = TtwFrameState::Maximized;
  to.RolledUpAtMaximize = ws_.Frame == TtwFrameState::Normal && ws_.RolledUp;
  ApplyWindowState(to);
}

void TtwSkinForm::Restore() {
  if (!skinnable_ || (form_->windowState() & Qt::WindowMinimized)) {
    form_->showNormal();
    if (!skinnable_ || ws_.Frame == TtwFrameState::Normal) {
      if (OnRestore) OnRestore();
      return;
    }
  }
  TtwWindowState to;
  switch (ws_.Frame) {
    case TtwFrameState::Normal:
      if (ws_.RolledUp) SetRolledUp(false);
      return;
    case TtwFrameState::Maximized: to.RolledUp = ws_.RolledUpAtMaximize; break;
    case TtwFrameState::Minimized: to.RolledUp = ws_.RolledUp; break;
  }
  ApplyWindowState(to);
}

void TtwSkinForm::SetRolledUp(bool on) {
  if (on == ws_.RolledUp || !skinnable_) return;
  if (on && (!(borderIcons_ & biRollUp) || ws_.Frame == TtwFrameState::Minimized)) return;
  TtwWindowState to = ws_;
  to.RolledUp = on;
  ApplyWindowState(to);
}

// The outer bounds of the state `to`, remembering what a later restore needs.
QRect TtwSkinForm::TargetBounds(const TtwWindowState& from, const TtwWindowState& to) {
  const QRect now = form_->geometry();
  switch (to.Frame) {
    case TtwFrameState::Minimized: {
      TApplication* app = Application();
      auto taken = [&](QPoint p) {
        if (!app) return false;
        for (TForm* f : app->Forms()) {
          if (f == form_ || f == app->MainForm() || !f->isVisible()) continue;
          auto* other = f->findChild<TtwSkinForm*>(QString(), Qt::FindDirectChildrenOnly);
          if (other && other->FrameState() == TtwFrameState::Minimized && f->pos() == p) return true;
        }
        return false;
      };
      const QSize bar(MinimumWidth(), MinimumHeight());
      return QRect(MinimizedBarPosition(MonitorArea(true), bar, taken), bar);
    }
    case TtwFrameState::Maximized: {
      QScreen* s = form_->screen() ? form_->screen() : QGuiApplication::primaryScreen();
      QScreen* primary = QGuiApplication::primaryScreen();
      QRect r = s ? MaximizedBounds(s->geometry(), s->availableGeometry(), primary ? primary->geometry() : QRect(),
                                    MaximizeOnFullScreen)
                  : MonitorArea(true);
      if (to.RolledUp) r.setHeight(MinimumHeight());
      return r;
    }
    case TtwFrameState::Normal: break;
  }
  if (from.Frame != TtwFrameState::Normal) {
    QRect r = normalBounds_.isEmpty() ? now : normalBounds_;
    normalBounds_ = QRect();
    if (firstShow_ && PositionInMonitor != twpDefault) {
      // First shown minimised or maximised: the normal window appears centred.
      firstShow_ = false;
      const QRect area = MonitorArea(PositionInMonitor == twpDesktopCenter);
      r.moveTopLeft(QPoint(area.x() + area.width() / 2 - r.width() / 2, area.y() + area.height() / 2 - r.height() / 2));
    }
    // The bounds were remembered rolled up when the window was maximised from
    // the bar; a window restored unrolled gets its height back, and the other way.
    if (to.RolledUp) r.setHeight(MinimumHeight());
    else if (r.height() <= MinimumHeight() && heightBeforeRollUp_ > r.height()) r.setHeight(heightBeforeRollUp_);
    return r;
  }
  QRect r = now;
  if (to.RolledUp) {
    r.setHeight(MinimumHeight());
  } else if (from.RolledUp) {
    const int h = ClientHeight > 0 ? ClientHeight + margins_.top() + margins_.bottom() : heightBeforeRollUp_;
    r.setHeight(std::max(h, MinimumHeight()));
  }
  return r;
}

void TtwSkinForm::ApplyWindowState(const TtwWindowState& to) {
  const TtwWindowState from = ws_;
  if (to == from) return;
  if (from.Frame == TtwFrameState::Normal && to.Frame != TtwFrameState::Normal && normalBounds_.isEmpty())
    normalBounds_ = form_->geometry();
  // Only the normal window's height comes back on unrolling: a maximised
  // one unrolls to the monitor's height.
  if (to.RolledUp && !from.RolledUp && to.Frame == TtwFrameState::Normal && from.Frame == TtwFrameState::Normal)
    heightBeforeRollUp_ = form_->height();
  ws_ = to;
  UpdateSizeLimits();
  const QRect target = TargetBounds(from, to);
  ShowClient(!to.RolledUp && to.Frame != TtwFrameState::Minimized);
  const bool sameSize = target.size() == form_->size();
  SetOuterGeometry(target);
  if (sameSize) ForceRelayout();
  Rebuild();
  if (StatusBar) StatusBar->SetShowGrip(to.Frame != TtwFrameState::Maximized);
  form_->update();
  if (from.RolledUp != to.RolledUp && OnChangeRollUpState) OnChangeRollUpState();
  if (from.Frame != to.Frame) {
    if (to.Frame == TtwFrameState::Minimized && OnMinimize) OnMinimize();
    if (to.Frame == TtwFrameState::Maximized && OnMaximize) OnMaximize();
    if (to.Frame == TtwFrameState::Normal && OnRestore) OnRestore();
  }
}

// The frame alone shows while rolled up or minimised: the controls would
// otherwise be laid out over the caption (a bottom-aligned bar) or over the
// bottom border.
void TtwSkinForm::ShowClient(bool show) {
  if (show) {
    for (const QPointer<QWidget>& w : hiddenChildren_)
      if (w) w->show();
    hiddenChildren_.clear();
    return;
  }
  if (!hiddenChildren_.empty()) return;
  for (QWidget* w : form_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (w->isWindow() || w == inactiveCover_ || w->isHidden()) continue;
    hiddenChildren_.emplace_back(w);
    w->hide();
  }
}

void TtwSkinForm::HideCompanions() {
  TApplication* app = Application();
  if (!app || app->MainForm() != form_ || !companions_.empty()) return;
  for (TForm* f : app->Forms()) {
    if (f == form_ || !f->isWindow() || !f->isVisible()) continue;
    companions_.emplace_back(f);
    f->hide();
  }
}

void TtwSkinForm::ShowCompanions() {
  const auto windows = std::move(companions_);
  companions_.clear();
  for (const QPointer<QWidget>& w : windows)
    if (w) w->show();
}

QList<QWidget*> TtwSkinForm::VisibleWindows() const {
  QList<QWidget*> out;
  TForm* main = Application() ? Application()->MainForm() : nullptr;
  if (main && main->isVisible()) out.append(main);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible() || out.contains(w)) continue;
    // Menus, tips and splash screens come and go by themselves.
    const Qt::WindowType type = w->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen) continue;
    out.append(w);
  }
  // Our own window leads when it is not the main one.
  if (!main && out.contains(form_)) out.move(out.indexOf(form_), 0);
  return out;
}

void TtwSkinForm::TrayIconChanged() {
  TtwTrayIcon* tray = TrayIcon.Value();
  if (!tray) return;
  if (!AlwaysShowInTray) tray->SetIconVisible(false);
  if (tray->PopupMenu()) {
    // Its own menu stays; a double click still brings the window back.
    if (!tray->OnDblClick) {
      tray->OnDblClick = [self = QPointer<TtwSkinForm>(this)] {
        if (self) Guarded([&] { self->RestoreFromTray(); });
      };
    }
    return;
  }
  if (!trayMenu_) {
    trayMenu_ = new TtwSkinPopupMenu(form_);
    trayMenu_->setObjectName(QStringLiteral("TwTrayMenu"));
  }
  trayMenu_->clear();
  trayMenu_->SetSkinData(MenuSkinData());
  TtwResourceStrData* rs = MenuSkinData() ? MenuSkinData()->ResourceStrData() : nullptr;
  auto caption = [rs](const char* key, const char* builtIn) {
    QString text = rs ? rs->GetResStr(QString::fromLatin1(key)) : QString();
    return text.isEmpty() ? QString::fromLatin1(builtIn) : text;
  };
  // The entries' names pick their glyphs in the skinned menu.
  QAction* restore = trayMenu_->addAction(caption("MI_RESTORECAPTION", "&Restore"));
  restore->setObjectName(QStringLiteral("TRAY_TWF_RESTORE"));
  connect(restore, &QAction::triggered, this, [this] { Guarded([&] { RestoreFromTray(); }); });
  trayMenu_->addSeparator();
  QAction* close = trayMenu_->addAction(caption("MI_CLOSECAPTION", "&Close"));
  close->setObjectName(QStringLiteral("TRAY_TWF_CLOSE"));
  // Through the tray: the window may be closing hidden, held there.
  connect(close, &QAction::triggered, this, [this] {
    Guarded([&] {
      if (TtwTrayIcon* tray = TrayIcon.Value()) tray->CloseWindow(form_);
      else RunCommand(TtwFrameCommand::Close);
    });
  });
  trayMenu_->setDefaultAction(restore);
  tray->SetPopupMenu(trayMenu_);
}

void TtwSkinForm::MinimizeToTray() {
  TtwTrayIcon* tray = TrayIcon.Value();
  if (!tray) return;
  // With no tray to come back from, a hidden window would be lost.
  if (!tray->Backend()->Available()) {
    Minimize();
    return;
  }
  if (!tray->HideMainWindow(VisibleWindows())) return;
  if (OnMinimizeToTray) OnMinimizeToTray();
}

void TtwSkinForm::RestoreFromTray() {
  TtwTrayIcon* tray = TrayIcon.Value();
  if (!tray) return;
  QList<QWidget*> windows;
  windows.append(Application() && Application()->MainForm() ? Application()->MainForm() : form_);
  tray->ShowMainWindow(windows);
  if (!AlwaysShowInTray) tray->SetIconVisible(false);
  if (OnRestoreFromTray) OnRestoreFromTray();
}

void TtwSkinForm::PostCommand(TtwFrameCommand command) {
  // Runs after the mouse handler has returned: the command may close the
  // window or rebuild the objects the handler is still using.
  QTimer::singleShot(0, this, [this, command] { Guarded([&] { RunCommand(command); }); });
}

void TtwSkinForm::RunCommand(TtwFrameCommand command) {
  if (command != TtwFrameCommand::SystemMenu) ClearHover();
  switch (command) {
    case TtwFrameCommand::Close: form_->close(); break;
    case TtwFrameCommand::Maximize:
      if (ws_.Frame == TtwFrameState::Maximized) Restore();
      else Maximize();
      break;
    case TtwFrameCommand::Minimize:
      if (ws_.Frame == TtwFrameState::Minimized) Restore();
      else if (AlwaysMinimizeToTray) MinimizeToTray();
      else Minimize();
      break;
    case TtwFrameCommand::SystemMenu: OpenSystemMenu(); break;
    case TtwFrameCommand::RollUp: SetRolledUp(!ws_.RolledUp); break;
    case TtwFrameCommand::MinimizeToTray: MinimizeToTray(); break;
    case TtwFrameCommand::Restore:
      // Rolled up (normal, or after maximising) unrolls; otherwise restores.
      if (ws_.RolledUp && ws_.Frame != TtwFrameState::Minimized) SetRolledUp(false);
      else Restore();
      break;
    case TtwFrameCommand::None: break;
  }
}

