// The skinned frame of a form: attaches to the form as an event filter,
// keeps the frame's geometry, region and band pictures in step with the
// window's size, state and skin, paints them around the client area and
// turns presses on the frame into moves, resizes and caption-button
// commands. The client area is the form's contents rectangle throughout.
#include "skin/form/twSkinForm.h"

#include "skin/draw/twGuard.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/Form.h"
#include "platform/Message.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinControlBase.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinRecords.h"
#include "skin/data/twSkinnable.h"
#include "skin/draw/twLayerWindow.h"
#include "skin/draw/tweffects.h"

namespace {

constexpr int kHoverIntervalMs = 50;
constexpr int kMorphIntervalMs = 25;
constexpr int kAnimationIntervalMs = 25;
constexpr int kFadeIntervalMs = 5;
constexpr int kFadeStep = 10;
// Answers of the private messages, fixed for other components.
constexpr intptr_t kAnswerSkinned = 12853, kAnswerNotSkinned = 12852, kAnswerPainted = 12851;

struct DefaultButton {
  const char* name;
  uint8_t command;  // the skin's code, as a skin record would give it
};
const DefaultButton kDefaultButtons[] = {{"closebutton", twtok::cmclose},   {"maxbutton", twtok::cmmaximize},
                                         {"minbutton", twtok::cmminimize},  {"rollupbutton", twtok::cmrollup},
                                         {"sysmenubutton", twtok::cmsysmenu}, {"traybutton", twtok::cmminimizetotray}};

bool IsToolWindow(TFormBorderStyle s) {
  return s == TFormBorderStyle::bsToolWindow || s == TFormBorderStyle::bsSizeToolWin;
}

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

// ---- settings ----------------------------------------------------------------

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

bool TtwSkinForm::Sizeable() const {
  const TFormBorderStyle s = form_->BorderStyle();
  return AlwaysResize || s == TFormBorderStyle::bsSizeable || s == TFormBorderStyle::bsSizeToolWin;
}

bool TtwSkinForm::WindowActive() const { return active_; }

bool TtwSkinForm::Framed() const { return skinnable_ && form_->BorderStyle() != TFormBorderStyle::bsNone; }

int TtwSkinForm::CaptionHeight() const {
  return IsToolWindow(form_->BorderStyle()) ? kSkinlessToolCaptionHeight : kSkinlessCaptionHeight;
}

bool TtwSkinForm::EffectsEnabled() const { return skinData_ && skinData_->EnableSkinEffects(); }

QMargins TtwSkinForm::Margins() const { return margins_; }

int TtwSkinForm::MinimumWidth() const {
  if (!Framed()) return MinWidth;
  TtwSizeLimitInput in;
  in.Skin = skinPresent_;
  in.PictureWidth = info_.PictureWidth;
  in.FormMinWidth = info_.FormMinWidth;
  in.MinWidth = MinWidth;
  in.Minimized = ws_.Frame == TtwFrameState::Minimized;
  return FrameMinWidth(in);
}

int TtwSkinForm::MinimumHeight() const {
  if (!Framed()) return MinHeight;
  TtwSizeLimitInput in;
  in.Skin = skinPresent_;
  in.PictureHeight = info_.PictureHeight;
  in.ClientRectHeight = info_.ClientRect.Height();
  in.CaptionHeight = CaptionHeight();
  in.MinHeight = MinHeight;
  in.Minimized = ws_.Frame == TtwFrameState::Minimized;
  in.RolledUp = ws_.RolledUp;
  return FrameMinHeight(in);
}

QSize TtwSkinForm::MaximumSize() const {
  TtwSizeLimitInput in;
  in.MaxWidth = MaxWidth;
  in.MaxHeight = MaxHeight;
  return FrameMaxSize(in, MonitorArea(!MaximizeOnFullScreen));
}

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

// ---- skin application ----------------------------------------------------------

void TtwSkinForm::BeforeSkinChange() {
  changing_ = true;
  skinPresent_ = false;
  hoverTimer_.Stop();
  morphTimer_.Stop();
  animationTimer_.Stop();
  hot_ = previousHot_ = pressed_ = -1;
  objects_.clear();
  WalkSkinnables(true);
  if (OnBeforeChangeSkinData) OnBeforeChangeSkinData();
}

void TtwSkinForm::WalkSkinnables(bool forget) {
  for (QObject* o : form_->findChildren<QObject*>()) {
    auto* s = dynamic_cast<TtwSkinnable*>(o);
    if (!s || s->SkinData() != skinData_ || !skinData_) continue;
    if (!forget) s->ApplySkin();
    else if (s->IsWindowedSkinControl()) s->ForgetSkinRecord();
  }
}

void TtwSkinForm::ApplySkin() {
  changing_ = false;
  hot_ = previousHot_ = pressed_ = -1;
  // The records exist by the change message, while ChangingSkin still holds.
  skinPresent_ = skinData_ && !skinData_->Empty();
  HideObjectGlow();
  info_ = skinPresent_ && skinnable_ ? TtwFrameInfo::Of(*skinData_) : TtwFrameInfo{};
  painter_.SetSkin(skinPresent_ ? skinData_.data() : nullptr, info_);
  regionCache_.Clear();
  BuildObjects();
  ApplyBorderIcons();
  UpdateMargins();
  UpdateSizeLimits();
  EnforceMinimumSize();
  Rebuild();
  form_->update();
  UpdateActive(form_->isActiveWindow());
  PushMenuSettings();
  if (OnChangeSkinData) OnChangeSkinData();
  if (!ws_.RolledUp && ws_.Frame == TtwFrameState::Normal) {
    if (ClientWidth > 0) form_->SetClientWidth(ClientWidth);
    if (ClientHeight > 0) form_->SetClientHeight(ClientHeight);
  }
}

void TtwSkinForm::BuildObjects() {
  objects_.clear();
  if (!Framed()) return;
  if (!skinPresent_) {
    for (const DefaultButton& b : kDefaultButtons)
      objects_.push_back(std::make_unique<TtwSkinStdButtonObject>(this, QString::fromLatin1(b.name), b.command));
    return;
  }
  TtwSkinData* d = skinData_;
  for (TtwDataSkinObject* r : d->ObjectRecords()) {
    if (dynamic_cast<TtwDataSkinMenuItem*>(r) || dynamic_cast<TtwDataSkinMainMenuItem*>(r) ||
        dynamic_cast<TtwDataSkinMainMenuBarButton*>(r))
      continue;
    if (auto* s = dynamic_cast<TtwDataSkinStdButton*>(r))
      objects_.push_back(std::make_unique<TtwSkinStdButtonObject>(this, d, s));
    else if (auto* b = dynamic_cast<TtwDataSkinButton*>(r))
      objects_.push_back(std::make_unique<TtwSkinButtonObject>(this, d, b));
    else if (auto* c = dynamic_cast<TtwDataSkinCaption*>(r))
      objects_.push_back(std::make_unique<TtwSkinCaptionObject>(this, d, c));
    else if (auto* a = dynamic_cast<TtwDataSkinAnimate*>(r))
      objects_.push_back(std::make_unique<TtwSkinAnimateObject>(this, d, a));
    else if (auto* u = dynamic_cast<TtwDataUserObject*>(r))
      objects_.push_back(std::make_unique<TtwUserObject>(this, d, u));
  }
}

void TtwSkinForm::ApplyBorderIcons() {
  for (auto& [name, m] : objectMenus_)
    if (auto* b = dynamic_cast<TtwSkinButtonObject*>(FindObject(name))) {
      b->Menu = m.Menu;
      b->MenuUpward = m.Upward;
    }
  const TtwBorderIcons bi = borderIcons_;
  for (auto& o : objects_) {
    int command = -1;
    if (auto* b = dynamic_cast<TtwSkinStdButtonObject*>(o.get())) command = b->Command;
    else if (auto* a = dynamic_cast<TtwSkinAnimateObject*>(o.get())) command = a->Command;
    else continue;
    bool icon = true;
    switch (command) {
      case twtok::cmmaximize: icon = bi & biMaximize; break;
      case twtok::cmminimize: icon = bi & biMinimize; break;
      case twtok::cmrollup: icon = bi & biRollUp; break;
      case twtok::cmminimizetotray: icon = bi & biMinimizeToTray; break;
      case twtok::cmsysmenu: icon = (bi & biSystemMenu) && !DisableSystemMenu; break;
      default: break;
    }
    if (command == twtok::cmdefault) {
      bool visible = false;
      if (OnActivateCustomObject) OnActivateCustomObject(o->IDName, visible);
      o->Enabled = true;
      o->Visible = visible;
    } else {
      o->Enabled = icon;
      o->Visible = icon || o->InPicture;
    }
    if (HideCaptionButtons) {
      o->Enabled = false;
      o->Visible = o->InPicture;
    }
  }
  // Default hints, from the skin's strings when it has them.
  if (!UseDefaultObjectHint || !skinData_) return;
  auto text = [this](const char* key, const char* builtIn) {
    TtwResourceStrData* rs = skinData_ ? skinData_->ResourceStrData() : nullptr;
    const QString s = rs ? rs->GetResStr(QString::fromLatin1(key)) : QString();
    return s.isEmpty() ? QString::fromLatin1(builtIn) : s;
  };
  for (auto& o : objects_) {
    auto* b = dynamic_cast<TtwSkinStdButtonObject*>(o.get());
    if (!b) continue;
    switch (b->Command) {
      case twtok::cmclose: b->RecordHint = text("CLOSEBUTTON_HINT", "Close"); break;
      case twtok::cmmaximize: b->RecordHint = text("MAXBUTTON_HINT", "Maximize"); break;
      case twtok::cmminimize: b->RecordHint = text("MINBUTTON_HINT", "Minimize"); break;
      case twtok::cmsysmenu: b->RecordHint = text("MENUBUTTON_HINT", "System menu"); break;
      case twtok::cmrollup: b->RecordHint = text("ROLLUPBUTTON_HINT", "Roll Up"); break;
      case twtok::cmminimizetotray: b->RecordHint = text("TRAYBUTTON_HINT", "Minimize to Tray"); break;
      default: break;
    }
    if (b->Command == twtok::cmmaximize || b->Command == twtok::cmminimize || b->Command == twtok::cmrollup)
      b->RestoreHint = text("RESTORE_HINT", "Restore");
    b->Hint = b->RecordHint;
  }
}

// ---- geometry ------------------------------------------------------------------

void TtwSkinForm::UpdateMargins() {
  QMargins m;
  if (Framed()) m = skinPresent_ ? FrameMargins(info_) : SkinlessFrameMargins(CaptionHeight());
  if (m == margins_) return;
  const QMargins old = margins_;
  margins_ = m;
  const QRect g = form_->geometry();
  const QSize client(g.width() - old.left() - old.right(), g.height() - old.top() - old.bottom());
  form_->setContentsMargins(m);
  if (ws_.Frame != TtwFrameState::Normal || ws_.RolledUp) return;
  // The frame grows around the client area, which stays where it was; a
  // window placed in the middle of its screen stays there with its frame.
  QRect r(g.topLeft(), QSize(client.width() + m.left() + m.right(), client.height() + m.top() + m.bottom()));
  if (form_->testAttribute(Qt::WA_Moved)) {
    const QRect area = MonitorArea(true);
    if ((g.center() - area.center()).manhattanLength() <= 1) r.moveCenter(area.center());
    else r.moveTopLeft(g.topLeft() - QPoint(m.left() - old.left(), m.top() - old.top()));
  }
  form_->setGeometry(r);
}

void TtwSkinForm::UpdateSizeLimits() {
  form_->setMinimumSize(MinimumWidth(), MinimumHeight());
  const int mw = MaxWidth > 0 ? MaxWidth : QWIDGETSIZE_MAX;
  const int mh = MaxHeight > 0 ? MaxHeight : QWIDGETSIZE_MAX;
  form_->setMaximumSize(std::max(mw, form_->minimumWidth()), std::max(mh, form_->minimumHeight()));
}

void TtwSkinForm::EnforceMinimumSize() {
  const int w = std::max(form_->width(), MinimumWidth());
  int h = std::max(form_->height(), MinimumHeight());
  if (ws_.RolledUp || ws_.Frame == TtwFrameState::Minimized) h = MinimumHeight();
  if (w != form_->width() || h != form_->height()) form_->resize(w, h);
}

void TtwSkinForm::ForceRelayout() {
  Rebuild();
  form_->update();
}

void TtwSkinForm::Rebuild() {
  const int W = form_->width(), H = form_->height();
  painter_.Invalidate();
  mover_.Unsnap();
  if (!Framed()) {
    region_ = QRegion();
    ApplyWindowShape();
    return;
  }
  if (skinPresent_) {
    geo_ = FrameGeometry(info_, W, H);
    if (W >= MinimumWidth() && H >= MinimumHeight()) Layout();
  } else {
    geo_ = TtwFrameGeometry{};
    geo_.W = W;
    geo_.H = H;
    Layout();
  }
  UpdateRegion();
}

void TtwSkinForm::Layout() {
  if (!skinPresent_) {
    std::vector<TtwSkinStdButtonObject*> right;
    for (TtwFrameCommand command : {TtwFrameCommand::Close, TtwFrameCommand::Maximize, TtwFrameCommand::Minimize,
                                    TtwFrameCommand::RollUp, TtwFrameCommand::MinimizeToTray})
      if (TtwSkinStdButtonObject* b = ButtonOfCommand(command); b && b->Visible) right.push_back(b);
    TtwSkinStdButtonObject* system = ButtonOfCommand(TtwFrameCommand::SystemMenu);
    if (system && !system->Visible) system = nullptr;
    const int size = IsToolWindow(form_->BorderStyle()) ? kSkinlessToolButtonSize : kSkinlessButtonSize;
    const TtwSkinlessCaption row =
        SkinlessCaptionLayout(form_->width(), size, CaptionHeight(), int(right.size()), system != nullptr);
    for (size_t i = 0; i < right.size(); ++i) right[i]->ObjectRect = row.Buttons[i];
    if (system) system->ObjectRect = row.SystemButton;
    geo_.CaptionRect = row.Caption;
    return;
  }
  std::vector<TtwLayoutItem> items;
  items.reserve(objects_.size());
  for (const auto& o : objects_) {
    TtwLayoutItem it;
    it.InPicture = o->InPicture;
    it.Visible = o->Visible;
    it.SkinRect = o->SkinRect;
    it.Size = QSize(o->SkinRect.Width(), o->SkinRect.Height());
    if (auto* b = dynamic_cast<TtwSkinStdButtonObject*>(o.get())) {
      it.kind = TtwLayoutItem::kButton;
      it.Command = b->Command;
      if (b->ShowsIcon()) it.Size = QSize(16, 16);
    } else if (auto* a = dynamic_cast<TtwSkinAnimateObject*>(o.get())) {
      it.kind = TtwLayoutItem::kButton;
      it.Command = a->Command;
    } else if (dynamic_cast<TtwSkinCaptionObject*>(o.get())) {
      it.kind = TtwLayoutItem::kCaption;
    }
    it.Rect = o->ObjectRect;
    items.push_back(it);
  }
  LayoutFrameObjects(info_, geo_, items);
  for (size_t i = 0; i < items.size(); ++i) objects_[i]->ObjectRect = items[i].Rect;
}

void TtwSkinForm::UpdateRegion() {
  QRegion r;
  if (Framed() && skinPresent_)
    r = regionCache_.Region(info_, skinData_->FormMask(), geo_);
  if (r == region_ && !r.isEmpty()) return;
  region_ = r;
  ApplyWindowShape();
}

// The shape goes to the native window only: a widget mask would also clip
// every paint of the form, which costs as much as the painting itself.
void TtwSkinForm::ApplyWindowShape() {
  // Platforms without window shapes only warn, once per call.
  static const bool shapes = QGuiApplication::platformName() != QLatin1String("offscreen") &&
                             QGuiApplication::platformName() != QLatin1String("minimal");
  if (!shapes) return;
  if (QWindow* w = form_->windowHandle()) w->setMask(region_);
}

TtwHitTestInput TtwSkinForm::HitInput() const {
  TtwHitTestInput in;
  in.Skin = skinPresent_;
  in.G = geo_;
  in.Region = region_;
  in.HasMask = skinPresent_ && !skinData_->FormMask().isNull();
  in.BorderWidth = info_.BorderWidth;
  in.W = form_->width();
  in.H = form_->height();
  in.CaptionHeight = CaptionHeight();
  in.CaptionRect = geo_.CaptionRect;
  for (const auto& o : objects_)
    if (skinPresent_ && dynamic_cast<TtwSkinCaptionObject*>(o.get())) {
      in.CaptionRect = o->ObjectRect;
      break;
    }
  if (hot_ >= 0 && hot_ < int(objects_.size())) in.HotRect = objects_[hot_]->ObjectRect;
  in.Sizeable = Sizeable();
  in.Maximized = ws_.Frame == TtwFrameState::Maximized;
  in.Minimized = ws_.Frame == TtwFrameState::Minimized;
  in.RolledUp = ws_.RolledUp;
  in.SizingOrMoving = mover_.Dragging();
  return in;
}

int TtwSkinForm::HitTest(QPoint p) const { return Framed() ? FrameHitTest(HitInput(), p) : htClient; }

// ---- painting --------------------------------------------------------------------

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

void TtwSkinForm::RepaintObject(TtwActiveSkinObject* o) {
  painter_.Invalidate();
  if (o && !o->ObjectRect.IsEmpty()) form_->update(o->ObjectRect.ToQ());
}

// ---- activation and hover ----------------------------------------------------------

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
    b.Assign(shot);
    b.StackBlur(3);
    shot = b.Image();
  } else {
    QImage wash(shot.size(), QImage::Format_ARGB32);
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

void TtwSkinForm::StartMorphTimer() {
  if (!morphTimer_.IsActive()) morphTimer_.Start(kMorphIntervalMs);
}

void TtwSkinForm::StartAnimationTimer() {
  if (!animationTimer_.IsActive()) animationTimer_.Start(kAnimationIntervalMs);
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

void TtwSkinForm::SetObjectMenu(const QString& name, QMenu* menu, bool upward) {
  objectMenus_[name] = ObjectMenu{menu, upward};
  if (auto* b = dynamic_cast<TtwSkinButtonObject*>(FindObject(name))) {
    b->Menu = menu;
    b->MenuUpward = upward;
  }
}

void TtwSkinForm::PostObjectMenu(const QString& name) {
  QTimer::singleShot(0, this, [this, name] { Guarded([&] { OpenObjectMenu(name); }); });
}

// The objects may be rebuilt while the menu is open: the button is found by
// its name again when the menu closes.
void TtwSkinForm::OpenObjectMenu(const QString& name) {
  auto* b = dynamic_cast<TtwSkinButtonObject*>(FindObject(name));
  if (!b || !b->Menu) return;
  ClearHover();
  const QPoint topLeft = form_->mapToGlobal(QPoint(b->ObjectRect.Left, b->ObjectRect.Top));
  const TRect anchor{topLeft.x(), topLeft.y(), topLeft.x() + b->ObjectRect.Width(),
                     topLeft.y() + b->ObjectRect.Height()};
  PushMenuSettings();
  if (OnSkinMenuOpen) OnSkinMenuOpen();
  skinMenu_->PopupMenuItems(form_, MenuSkinData(), b->MenuUpward, b->Menu, anchor);
  skinMenu_->SetCloseCallback([this, name] {
    if (auto* o = dynamic_cast<TtwSkinButtonObject*>(FindObject(name)); o && o->Down) {
      o->Down = false;
      RepaintObject(o);
    }
    pressed_ = -1;
    if (OnSkinMenuClose) OnSkinMenuClose();
  });
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

// ---- system menu -------------------------------------------------------------------------

void TtwSkinForm::OpenSystemMenu() {
  TtwSkinStdButtonObject* b = ButtonOfCommand(TtwFrameCommand::SystemMenu);
  QPoint at;
  if (b && b->Visible && b->Enabled && !b->ObjectRect.IsEmpty())
    at = QPoint(b->ObjectRect.Left, b->ObjectRect.Bottom);
  else
    at = QPoint(margins_.left(), margins_.top());
  OpenSystemMenuAt(form_->mapToGlobal(at));
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

void TtwSkinForm::OpenSystemMenuAt(QPoint global) {
  if (DisableSystemMenu) return;
  skinMenu_->CloseMenu();
  delete sysMenuItems_;
  // The entries live in a plain menu that is never shown: the skinned
  // controller draws them.
  auto* menu = new QMenu(form_);
  menu->setObjectName(QStringLiteral("TwSystemMenu"));
  sysMenuItems_ = menu;
  TtwSkinData* data = MenuSkinData();
  TtwSystemMenuInput in;
  in.State = ws_;
  in.Icons = borderIcons_;
  in.HasSystemMenu = SystemMenu != nullptr;
  in.UseDefaultSysMenu = UseDefaultSysMenu;
  for (const TtwSystemMenuEntry& e : SystemMenuEntries(in)) {
    if (e.IsSeparator()) {
      menu->addSeparator();
      continue;
    }
    TtwResourceStrData* rs = data ? data->ResourceStrData() : nullptr;
    QString caption = rs ? rs->GetResStr(QString::fromLatin1(e.Key)) : QString();
    if (caption.isEmpty()) caption = QString::fromLatin1(e.BuiltIn);
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(e.Name));
    if (*e.Shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(e.Shortcut)));
    // The controller runs an entry after the menu has closed.
    connect(a, &QAction::triggered, this, [this, c = e.Command] { Guarded([&] { RunCommand(c); }); });
  }
  if (SystemMenu) {
    if (!menu->actions().isEmpty()) menu->addSeparator();
    for (QAction* a : SystemMenu->actions()) menu->addAction(a);
  }
  PushMenuSettings();
  skinMenu_->SetCloseCallback([this] {
    if (TtwSkinStdButtonObject* b = ButtonOfCommand(TtwFrameCommand::SystemMenu); b && b->Down) {
      b->Down = false;
      RepaintObject(b);
    }
    pressed_ = -1;
    if (OnSkinMenuClose) OnSkinMenuClose();
  });
  if (OnSkinMenuOpen) OnSkinMenuOpen();
  skinMenu_->PopupMenuItems(form_, data, false, menu, TRect{global.x(), global.y(), global.x(), global.y()});
}

// ---- events --------------------------------------------------------------------------------

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
    objects_[pressed_]->MouseIn = true;
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
    TtwActiveSkinObject* o = objects_[pressed_].get();
    const bool was = o->MouseIn;
    o->MouseMove(p.x(), p.y());
    if (was != o->MouseIn) RepaintObject(o);
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
    o->MouseIn = o->Contains(p.x(), p.y());
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
