// The skinned frame of a form: attaches to the form as an event filter and
// gives it back its platform frame when removed. This file holds the frame's
// life, its published settings with their side effects, and its timers; the
// rest of the frame lives in the twSkinForm*.cpp files named after their part.
#include "skin/form/twSkinForm.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/Errors.h"
#include "platform/Application.h"
#include "platform/Form.h"
#include "skin/controls/twSkinControlBase.h"
#include "skin/data/twSkinData.h"
#include "skin/draw/twLayerWindow.h"

namespace {

constexpr int kMorphIntervalMs = 25;
constexpr int kAnimationIntervalMs = 25;
constexpr int kFadeIntervalMs = 5;
constexpr int kFadeStep = 10;

}  // namespace

TtwSkinForm::TtwSkinForm(QObject* owner) : QObject(owner), form_(qobject_cast<TForm*>(owner)) {
  if (!form_) throw EError(QStringLiteral("A skinned frame can only be placed on a form"));
  DefCaptionFont = TwDefaultFont();
  DefCaptionFont.setBold(true);
  DefCaptionFontColor = twDefaultColors::BtnText;
  DefInActiveCaptionFont = DefCaptionFont;
  DefInActiveCaptionFontColor = twDefaultColors::BtnShadow;
  DefMenuItemFont = TwDefaultFont();
  ConnectTimers();
  glow_ = std::make_unique<TtwLayerManager>(this);
  skinMenu_ = new TtwSkinMenu(form_, form_);
  PushMenuSettings();

  // A fixed-size form was sized as its client area: keep that, and let the
  // frame own the window's limits from now on.
  if (form_->minimumSize() == form_->maximumSize() && !form_->minimumSize().isEmpty()) {
    ClientWidth = form_->minimumWidth();
    ClientHeight = form_->minimumHeight();
    form_->setMinimumSize(0, 0);
    form_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
  const bool wasVisible = form_->isVisible();
  form_->setWindowFlags(form_->windowFlags() | Qt::FramelessWindowHint);
  form_->setMouseTracking(true);
  form_->setAutoFillBackground(false);
  // The frame paints every pixel (bands and client background): no system
  // fill beneath.
  form_->setAttribute(Qt::WA_OpaquePaintEvent);
  form_->installEventFilter(this);
  sysMenuShortcut_ = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), form_);
  sysMenuShortcut_->setContext(Qt::WindowShortcut);
  connect(sysMenuShortcut_, &QShortcut::activated, this, [this] {
    Guarded([this] {
      if (!DisableSystemMenu) OpenSystemMenu();
    });
  });
  for (QScreen* s : QGuiApplication::screens()) WatchScreen(s);
  connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* s) {
    WatchScreen(s);
    Guarded([this] { WorkAreaChanged(); });
  });
  connect(qApp, &QGuiApplication::screenRemoved, this, [this] {
    // The window may have moved to another screen by the time this runs.
    QTimer::singleShot(0, this, [this] { Guarded([this] { WorkAreaChanged(); }); });
  });
  ApplySkin();
  if (wasVisible) form_->show();
}

// Removing the frame from a living form gives it back the platform's frame
// around the same client area; a form being destroyed only loses the filter.
TtwSkinForm::~TtwSkinForm() {
  hoverTimer_.Stop();
  morphTimer_.Stop();
  animationTimer_.Stop();
  fadeTimer_.Stop();
  if (skinMenu_) skinMenu_->CloseMenu();
  if (!form_) return;
  form_->removeEventFilter(this);
  if (!qobject_cast<TForm*>(static_cast<QObject*>(form_))) return;
  delete skinMenu_;
  delete sysMenuShortcut_;
  ShowClient(true);
  ShowCompanions();
  const bool visible = form_->isVisible();
  const QRect client = form_->contentsRect().translated(form_->pos());
  form_->setAttribute(Qt::WA_OpaquePaintEvent, false);
  form_->setAutoFillBackground(true);
  if (QWindow* w = form_->windowHandle()) w->setMask(QRegion());
  form_->setContentsMargins(QMargins());
  form_->setMinimumSize(MinWidth, MinHeight);
  form_->setMaximumSize(MaxWidth > 0 ? MaxWidth : QWIDGETSIZE_MAX, MaxHeight > 0 ? MaxHeight : QWIDGETSIZE_MAX);
  form_->setWindowFlag(Qt::FramelessWindowHint, false);
  form_->setWindowOpacity(1.0);
  form_->unsetCursor();
  if (ws_.Frame == TtwFrameState::Normal && !ws_.RolledUp) form_->setGeometry(client);
  else if (!normalBounds_.isEmpty()) form_->setGeometry(normalBounds_);
  // Shown again from the event loop: the owner may be deleting the frame
  // from its own destructor, and showing would run its show handler.
  if (visible) QTimer::singleShot(0, form_, [f = form_] { f->show(); });
}

void TtwSkinForm::ObjectSettingsChanged() {
  ApplyBorderIcons();
  Rebuild();
  form_->update();
}

void TtwSkinForm::ApplyOpacity() {
  fadeTimer_.Stop();
  form_->setWindowOpacity(AlphaBlend ? AlphaBlendValue / 255.0 : 1.0);
}

void TtwSkinForm::SetSkinData(TtwSkinData* data) {
  if (skinData_ == data) return;
  if (skinData_) disconnect(skinData_, &QObject::destroyed, this, nullptr);
  skinData_ = data;
  // A skin that goes away first leaves the skinless look, never a frame
  // that still believes it has pictures to paint.
  if (data)
    connect(data, &QObject::destroyed, this, [this] {
      skinData_ = nullptr;
      Guarded([this] { ApplySkin(); });
    });
  ApplySkin();
}

void TtwSkinForm::SetBorderIcons(TtwBorderIcons icons) {
  borderIcons_ = icons;
  ApplyBorderIcons();
  Rebuild();
  form_->update();
}

TtwSkinData* TtwSkinForm::MenuSkinData() const {
  return MenusSkinData.Value() ? MenusSkinData.Value() : skinData_.data();
}

void TtwSkinForm::PushMenuSettings() {
  if (trayMenu_) trayMenu_->SetSkinData(MenuSkinData());
  if (!skinMenu_) return;
  skinMenu_->MaxMenuItemsInWindow = MaxMenuItemsInWindow;
  skinMenu_->UseSkinFont = UseSkinFontInMenu;
  skinMenu_->DefMenuItemHeight = DefMenuItemHeight;
  skinMenu_->DefMenuItemFont = DefMenuItemFont;
  skinMenu_->AlphaBlend = MenusAlphaBlend;
  skinMenu_->AlphaBlendValue = MenusAlphaBlendValue;
  skinMenu_->AlphaBlendAnimation = MenusAlphaBlendAnimation;
  skinMenu_->DefaultSkinData = MenuSkinData();
}

bool TtwSkinForm::Sizeable() const {
  const TFormBorderStyle s = form_->BorderStyle();
  return AlwaysResize || s == TFormBorderStyle::bsSizeable || s == TFormBorderStyle::bsSizeToolWin;
}

bool TtwSkinForm::WindowActive() const { return active_; }

bool TtwSkinForm::Framed() const { return skinnable_ && form_->BorderStyle() != TFormBorderStyle::bsNone; }

bool TtwSkinForm::EffectsEnabled() const { return skinData_ && skinData_->EnableSkinEffects(); }

QMargins TtwSkinForm::Margins() const { return margins_; }

QRect TtwSkinForm::MonitorArea(bool workArea) const {
  QScreen* s = form_->screen();
  if (!s) s = QGuiApplication::primaryScreen();
  if (!s) return QRect(0, 0, 1024, 768);
  return workArea ? s->availableGeometry() : s->geometry();
}

QString TtwSkinForm::CaptionText() const { return form_->Caption(); }

TtwActiveSkinObject* TtwSkinForm::FindObject(const QString& name) const {
  for (const auto& o : objects_)
    if (o->IDName == name) return o.get();
  return nullptr;
}

TtwSkinStdButtonObject* TtwSkinForm::ButtonOfCommand(TtwFrameCommand command) const {
  for (const auto& o : objects_)
    if (auto* b = dynamic_cast<TtwSkinStdButtonObject*>(o.get()); b && FrameCommandOf(b->Command) == command)
      return b;
  return nullptr;
}

void TtwSkinForm::FirstShow() {
  if (!firstShow_) return;
  if (ws_.Frame != TtwFrameState::Normal) return;
  firstShow_ = false;
  if (PositionInMonitor == twpDefault) return;
  const QRect area = MonitorArea(PositionInMonitor == twpDesktopCenter);
  form_->move(area.x() + area.width() / 2 - form_->width() / 2, area.y() + area.height() / 2 - form_->height() / 2);
}

void TtwSkinForm::StartFadeIn() {
  if (!AlphaBlend && !AlphaBlendAnimation) return;
  fadeTarget_ = !AlphaBlendAnimation || AlphaBlend ? AlphaBlendValue : 255;
  form_->setWindowOpacity(AlphaBlendAnimation ? 0.0 : fadeTarget_ / 255.0);
  if (AlphaBlendAnimation) fadeTimer_.Start(kFadeIntervalMs);
}

void TtwSkinForm::WatchScreen(QScreen* screen) {
  if (!screen) return;
  connect(screen, &QScreen::availableGeometryChanged, this, [this] { Guarded([this] { WorkAreaChanged(); }); });
  connect(screen, &QScreen::geometryChanged, this, [this] { Guarded([this] { WorkAreaChanged(); }); });
}

void TtwSkinForm::WorkAreaChanged() {
  if (!skinnable_) return;
  switch (ws_.Frame) {
    case TtwFrameState::Maximized: {
      UpdateSizeLimits();
      const QRect target = TargetBounds(ws_, ws_);
      if (target != form_->geometry()) SetOuterGeometry(target);
      break;
    }
    case TtwFrameState::Minimized: break;
    case TtwFrameState::Normal: {
      UpdateSizeLimits();
      const QSize max = MaximumSize();
      if (form_->width() > max.width() || form_->height() > max.height()) ForceRelayout();
      break;
    }
  }
}

// The four timers run on the injected clock; each tick is guarded like a handler.
void TtwSkinForm::ConnectTimers() {
  hoverTimer_.OnTimeout = [this] {
    Guarded([this] {
      const QPoint p = form_->mapFromGlobal(QCursor::pos());
      if (!form_->rect().contains(p)) ClearHover();
      else UpdateHot(p);
    });
  };
  morphTimer_.OnTimeout = [this] {
    Guarded([this] {
      bool any = false;
      for (auto& o : objects_)
        if (o->Morphing && o->MorphStep()) {
          any = true;
          RepaintObject(o.get());
        }
      if (!any) morphTimer_.Stop();
    });
  };
  animationTimer_.OnTimeout = [this] {
    Guarded([this] {
      bool any = false;
      for (auto& o : objects_) {
        if (auto* c = dynamic_cast<TtwSkinCaptionObject*>(o.get())) any = c->AnimationTick() || any;
        else if (auto* a = dynamic_cast<TtwSkinAnimateObject*>(o.get())) any = a->Tick() || any;
      }
      if (!any) animationTimer_.Stop();
    });
  };
  fadeTimer_.OnTimeout = [this] {
    Guarded([this] {
      // One step per tick: the fade never blocks the event loop.
      const int now = qRound(form_->windowOpacity() * 255);
      const int next = AlphaBlendAnimation ? std::min(fadeTarget_, now + kFadeStep) : fadeTarget_;
      form_->setWindowOpacity(next / 255.0);
      if (next >= fadeTarget_) fadeTimer_.Stop();
    });
  };
}

void TtwSkinForm::StartMorphTimer() {
  if (!morphTimer_.IsActive()) morphTimer_.Start(kMorphIntervalMs);
}

void TtwSkinForm::StartAnimationTimer() {
  if (!animationTimer_.IsActive()) animationTimer_.Start(kAnimationIntervalMs);
}
