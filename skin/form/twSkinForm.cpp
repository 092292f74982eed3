// The skinned frame of a form: attaches to the form as an event filter,
// keeps the frame's geometry, region and band pictures in step with the
// window's size, state and skin, paints them around the client area and
// turns presses on the frame into moves, resizes and caption-button
// commands. The client area is the form's contents rectangle throughout.
#include "skin/form/twSkinForm.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QTimerEvent>
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
constexpr int kSkinlessButtonSize = 17, kSkinlessToolButtonSize = 13;
constexpr int kSkinlessButtonTop = 4;
// Answers of the private messages, fixed for other components.
constexpr intptr_t kAnswerSkinned = 12853, kAnswerNotSkinned = 12852, kAnswerPainted = 12851;

struct DefaultButton {
  const char* name;
  int command;
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
  glow_ = std::make_unique<TtwLayerManager>(this);
  skinMenu_ = new TtwSkinMenu(form_, form_);

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
  ApplySkin();
  if (wasVisible) form_->show();
}

TtwSkinForm::~TtwSkinForm() {
  hoverTimer_.stop();
  morphTimer_.stop();
  animationTimer_.stop();
  fadeTimer_.stop();
  if (skinMenu_) skinMenu_->CloseMenu();
  if (form_) {
    form_->removeEventFilter(this);
    form_->setAttribute(Qt::WA_OpaquePaintEvent, false);
    if (QWindow* w = form_->windowHandle()) w->setMask(QRegion());
  }
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

int TtwSkinForm::CaptionHeight() const {
  return IsToolWindow(form_->BorderStyle()) ? kSkinlessToolCaptionHeight : kSkinlessCaptionHeight;
}

bool TtwSkinForm::EffectsEnabled() const { return skinData_ && skinData_->EnableSkinEffects(); }

QMargins TtwSkinForm::Margins() const { return margins_; }

int TtwSkinForm::MinimumWidth() const {
  TtwSizeLimitInput in;
  in.Skin = skinPresent_;
  in.PictureWidth = info_.PictureWidth;
  in.FormMinWidth = info_.FormMinWidth;
  in.MinWidth = MinWidth;
  in.Minimized = state_ == TtwFrameState::Minimized;
  return FrameMinWidth(in);
}

int TtwSkinForm::MinimumHeight() const {
  TtwSizeLimitInput in;
  in.Skin = skinPresent_;
  in.PictureHeight = info_.PictureHeight;
  in.ClientRectHeight = info_.ClientRect.Height();
  in.CaptionHeight = CaptionHeight();
  in.MinHeight = MinHeight;
  in.Minimized = state_ == TtwFrameState::Minimized;
  in.RolledUp = rolledUp_;
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

TtwSkinStdButtonObject* TtwSkinForm::ButtonOfCommand(int command) const {
  for (const auto& o : objects_)
    if (auto* b = dynamic_cast<TtwSkinStdButtonObject*>(o.get()); b && b->Command == command) return b;
  return nullptr;
}

// ---- skin application ----------------------------------------------------------

void TtwSkinForm::BeforeSkinChange() {
  changing_ = true;
  skinPresent_ = false;
  hoverTimer_.stop();
  morphTimer_.stop();
  animationTimer_.stop();
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
  PrepareBackground();
  BuildObjects();
  ApplyBorderIcons();
  UpdateMargins();
  UpdateSizeLimits();
  EnforceMinimumSize();
  Rebuild();
  form_->update();
  UpdateActive(form_->isActiveWindow());
  if (OnChangeSkinData) OnChangeSkinData();
  if (!rolledUp_ && state_ == TtwFrameState::Normal) {
    if (ClientWidth > 0) form_->SetClientWidth(ClientWidth);
    if (ClientHeight > 0) form_->SetClientHeight(ClientHeight);
  }
}

void TtwSkinForm::BuildObjects() {
  objects_.clear();
  if (!skinnable_) return;
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
  if (skinnable_) m = skinPresent_ ? FrameMargins(info_) : SkinlessFrameMargins(CaptionHeight());
  if (m == margins_) return;
  const QMargins old = margins_;
  margins_ = m;
  const QRect g = form_->geometry();
  const QSize client(g.width() - old.left() - old.right(), g.height() - old.top() - old.bottom());
  form_->setContentsMargins(m);
  if (state_ != TtwFrameState::Normal || rolledUp_) return;
  // The frame grows around the client area, which stays where it was.
  QRect r(g.topLeft(), QSize(client.width() + m.left() + m.right(), client.height() + m.top() + m.bottom()));
  if (form_->testAttribute(Qt::WA_Moved))
    r.moveTopLeft(g.topLeft() - QPoint(m.left() - old.left(), m.top() - old.top()));
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
  if (rolledUp_ || state_ == TtwFrameState::Minimized) h = MinimumHeight();
  if (w != form_->width() || h != form_->height()) form_->resize(w, h);
}

void TtwSkinForm::ForceRelayout() {
  Rebuild();
  form_->update();
}

void TtwSkinForm::Rebuild() {
  const int W = form_->width(), H = form_->height();
  framesValid_ = false;
  for (bool& snapped : magnet_.Snapped) snapped = false;
  if (!skinnable_) {
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
    // The skinless look: squares right to left from the right border, the
    // system-menu button at the left, the caption between them.
    const int size = IsToolWindow(form_->BorderStyle()) ? kSkinlessToolButtonSize : kSkinlessButtonSize;
    int x = form_->width() - kSkinlessBorder;
    int left = kSkinlessBorder;
    for (int command : {twtok::cmclose, twtok::cmmaximize, twtok::cmminimize, twtok::cmrollup,
                        twtok::cmminimizetotray}) {
      TtwSkinStdButtonObject* b = ButtonOfCommand(command);
      if (!b || !b->Visible) continue;
      b->ObjectRect = TRect{x - size, kSkinlessButtonTop, x, kSkinlessButtonTop + size};
      x -= size;
    }
    if (TtwSkinStdButtonObject* s = ButtonOfCommand(twtok::cmsysmenu); s && s->Visible) {
      s->ObjectRect = TRect{kSkinlessBorder, kSkinlessButtonTop, kSkinlessBorder + size, kSkinlessButtonTop + size};
      left = s->ObjectRect.Right;
    }
    geo_.CaptionRect = TRect{left, kSkinlessBorder, x, CaptionHeight() + kSkinlessBorder};
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
  if (skinnable_ && skinPresent_ && form_->BorderStyle() != TFormBorderStyle::bsNone)
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
  in.Maximized = state_ == TtwFrameState::Maximized;
  in.Minimized = state_ == TtwFrameState::Minimized;
  in.RolledUp = rolledUp_;
  in.SizingOrMoving = sizingOrMoving_;
  return in;
}

int TtwSkinForm::HitTest(QPoint p) const { return FrameHitTest(HitInput(), p); }

// ---- painting --------------------------------------------------------------------

void TtwSkinForm::ComposeBands(QImage& top, QImage& bottom, QImage& left, QImage& right, bool active) {
  if (!skinPresent_) return;
  UpdateBands(active);
  top = hBands_.First;
  bottom = hBands_.Second;
  left = vBands_.First;
  right = vBands_.Second;
}

// The top and bottom bands follow the width alone and the side bands the
// height alone: a frame of the picture's height composes the first pair for
// the window's width, one of the picture's width the second pair for its
// height, so a resize along one axis recomposes only the two bands it changes.
void TtwSkinForm::UpdateBands(bool active) {
  const bool inactiveLook = !active && !inactivePicture_.isNull();
  const QImage& picture = inactiveLook ? inactivePicture_ : framePicture_;
  const TEdgeStretch& edges = inactiveLook ? inactiveEdges_ : frameEdges_;
  const TRect whole{0, 0, picture.width(), picture.height()};
  QImage& unused1 = scratch_[0];
  QImage& unused2 = scratch_[1];
  if (hBands_.Size != geo_.W || hBands_.Active != active) {
    const TtwFrameGeometry g = FrameGeometry(info_, geo_.W, info_.PictureHeight);
    ComposeBorderBands(picture, whole, info_.Anchors(), g.Anchors(), g.W, g.H, edges, hBands_.First,
                       hBands_.Second, unused1, unused2);
    hBands_.Size = geo_.W;
    hBands_.Active = active;
    framesValid_ = false;
  }
  if (vBands_.Size != geo_.H || vBands_.Active != active) {
    // The shown side bands share these pictures: let go of them first so
    // that composing in place copies nothing.
    left_ = right_ = QImage();
    const TtwFrameGeometry g = FrameGeometry(info_, info_.PictureWidth, geo_.H);
    ComposeBorderBands(picture, whole, info_.Anchors(), g.Anchors(), g.W, g.H, edges, unused1, unused2,
                       vBands_.First, vBands_.Second);
    vBands_.Size = geo_.H;
    vBands_.Active = active;
    framesValid_ = false;
  }
}

void TtwSkinForm::PaintBands(QPainter& p) {
  const int W = form_->width(), H = form_->height();
  if (W < MinimumWidth() || H < MinimumHeight()) return;
  const bool active = WindowActive();
  UpdateBands(active);
  if (!active && skinData_->autorenderinginactiveimage) {
    // The inactive effect runs over bands and objects together: keep that
    // result until something in it changes.
    if (!framesValid_ || framesActive_ != active) ComposeFinalBands(active);
    DrawBands(p, top_, bottom_, left_, right_);
    return;
  }
  // Otherwise the objects go straight onto the clean bands: no band copies
  // on a resize.
  DrawBands(p, hBands_.First, hBands_.Second, vBands_.First, vBands_.Second);
  const int clientTop = geo_.ClientRect.Top, clientBottom = geo_.ClientRect.Bottom;
  for (const bool inTop : {true, false}) {
    const QImage& band = inTop ? hBands_.First : hBands_.Second;
    if (band.isNull()) continue;
    p.save();
    // Clipped to its band, as if drawn into the band's picture.
    p.setClipRect(QRect(0, inTop ? 0 : H - band.height(), W, band.height()), Qt::IntersectClip);
    if (!inTop) p.translate(0, H - band.height() - clientBottom);
    for (const auto& o : objects_)
      if (o->Visible && (o->ObjectRect.Bottom > clientTop) != inTop) o->Draw(p, false);
    p.restore();
  }
}

void TtwSkinForm::DrawBands(QPainter& p, const QImage& top, const QImage& bottom, const QImage& left,
                            const QImage& right) {
  const int W = form_->width(), H = form_->height();
  if (!top.isNull()) p.drawImage(0, 0, top);
  if (!left.isNull()) p.drawImage(0, top.height(), left);
  if (!right.isNull()) p.drawImage(W - right.width(), top.height(), right);
  if (!bottom.isNull()) p.drawImage(0, H - bottom.height(), bottom);
}

// The bands with the objects drawn in and the inactive effect applied.
void TtwSkinForm::ComposeFinalBands(bool active) {
  framesActive_ = active;
  top_ = hBands_.First.copy();
  bottom_ = hBands_.Second.copy();
  left_ = vBands_.First;
  right_ = vBands_.Second;
  const int clientTop = geo_.ClientRect.Top, clientBottom = geo_.ClientRect.Bottom;
  {
    QImage none(1, 1, QImage::Format_RGB32);
    QPainter tp(top_.isNull() ? &none : &top_);
    QPainter bp(bottom_.isNull() ? &none : &bottom_);
    bp.translate(0, -clientBottom);
    for (const auto& o : objects_) {
      if (!o->Visible) continue;
      o->Draw(o->ObjectRect.Bottom > clientTop ? bp : tp, false);
    }
  }
  if (!active && skinData_->autorenderinginactiveimage) {
    for (QImage* band : {&top_, &bottom_, &left_, &right_}) {
      if (band->isNull()) continue;
      TtwEffectBmp e(*band);
      e.ApplyInactiveEffect(skinData_->inactiveeffect);
      *band = e.Image();
    }
  }
  framesValid_ = true;
}

void TtwSkinForm::PaintSkinless(QPainter& p) {
  const int W = form_->width(), H = form_->height();
  const int ch = CaptionHeight();
  // Three nested 3D frames.
  auto frame3d = [&](int inset, const QColor& light, const QColor& dark) {
    const QRect r(inset, inset, W - 2 * inset, H - 2 * inset);
    p.fillRect(r.left(), r.top(), r.width(), 1, light);
    p.fillRect(r.left(), r.top(), 1, r.height(), light);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, dark);
    p.fillRect(r.right(), r.top(), 1, r.height(), dark);
  };
  frame3d(0, twDefaultColors::BtnFace, SystemColor(COLOR_3DDKSHADOW));
  frame3d(1, twDefaultColors::BtnHighlight, twDefaultColors::BtnShadow);
  frame3d(2, twDefaultColors::BtnFace, twDefaultColors::BtnFace);
  const QRect band(kSkinlessBorder, kSkinlessBorder, W - 2 * kSkinlessBorder, ch);
  p.fillRect(band, twDefaultColors::BtnFace);
  const TRect& cap = geo_.CaptionRect;
  for (int y = 2; y <= ch - 4; ++y)
    p.fillRect(cap.Left, kSkinlessBorder + y, cap.Width(), 1,
               y % 2 ? twDefaultColors::BtnHighlight : twDefaultColors::BtnShadow);
  const bool active = WindowActive();
  QString text = CaptionText();
  p.setFont(active ? DefCaptionFont : DefInActiveCaptionFont);
  FitWideTextEllipsis(p, text, std::max(0, cap.Width() - 8));
  if (!text.isEmpty()) {
    const int tw = WideTextWidth(p, text), th = WideTextHeight(p, text);
    const int x = cap.Left + cap.Width() / 2 - tw / 2;
    const int y = kSkinlessBorder + ch / 2 - th / 2;
    p.fillRect(x - 2, y - 2 + 1, tw + 4, th + 2, twDefaultColors::BtnFace);
    p.setPen(active ? DefCaptionFontColor : DefInActiveCaptionFontColor);
    DrawWideText(p, text, TRect{x, y, x + tw + 2, y + th}, 0);
  }
  for (const auto& o : objects_)
    if (o->Visible) o->Draw(p, true);
}

void TtwSkinForm::PaintBackground(QPainter& p, const QRegion& clip) {
  const QRect client = form_->contentsRect();
  if (client.isEmpty()) return;
  p.save();
  // The paint event's own region already limits the device.
  if (clip.contains(client)) p.setClipRect(client);
  else p.setClipRegion(clip.intersected(client));
  p.translate(client.topLeft());
  const int cw = client.width(), ch = client.height();
  const QImage& picture = background_;
  if (picture.isNull() || backgroundColor_.isValid()) {
    QColor fill = backgroundColor_;
    if (!fill.isValid()) fill = skinPresent_ ? ColorToQ(skinData_->SkinColors().cbtnface) : twDefaultColors::BtnFace;
    p.fillRect(0, 0, cw, ch, fill);
  } else if (skinData_->stretcheffect) {
    const int W = form_->width(), H = form_->height();
    switch (skinData_->stretchtype) {
      case twtok::sthorz:
        for (int i = 0; i <= W / picture.width(); ++i)
          p.drawImage(QRect(i * picture.width(), 0, picture.width(), H), picture);
        break;
      case twtok::stvert:
        for (int i = 0; i <= H / picture.height(); ++i)
          p.drawImage(QRect(0, i * picture.height(), W, picture.height()), picture);
        break;
      default:
        p.drawImage(QRect(0, 0, W, H), picture);
        break;
    }
  } else {
    for (int y = 0; y < ch; y += picture.height())
      for (int x = 0; x < cw; x += picture.width()) p.drawImage(x, y, picture);
  }
  if (!LogoBitMap.isNull()) {
    const int x = (cw - LogoBitMap.width()) / 2, y = (ch - LogoBitMap.height()) / 2;
    p.drawPixmap(x, y, LogoBitMap);
  }
  p.restore();
}

namespace {

// Whether every pixel of the piece equals its neighbour along the band
// (along x for a horizontal band, along y for a vertical one).
bool AlikeAlong(const QImage& img, const TRect& piece, bool horizontal) {
  const QRect r = piece.ToQ().intersected(img.rect());
  if (r.isEmpty()) return false;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    const auto* first = reinterpret_cast<const QRgb*>(img.constScanLine(r.top()));
    for (int x = r.left(); x <= r.right(); ++x)
      if (horizontal ? line[x] != line[r.left()] : line[x] != first[x]) return false;
  }
  return true;
}

}  // namespace

// The skin's stretch flags, except that a band piece alike all along the band
// tiles: it gives the same pixels, and tiling copies rows where stretching
// looks every pixel up (most of a resize step on a wide window).
TEdgeStretch TtwSkinForm::BandEdges(const QImage& picture) const {
  const TRect& c = info_.ClientRect;
  const int pw = picture.width(), ph = picture.height();
  TEdgeStretch e{skinData_->leftstretch, skinData_->topstretch, skinData_->rightstretch, skinData_->bottomstretch};
  if (e.Top && AlikeAlong(picture, TRect{info_.LT.X, 0, info_.RT.X, c.Top}, true)) e.Top = false;
  if (e.Bottom && AlikeAlong(picture, TRect{info_.LB.X, c.Bottom, info_.RB.X, ph}, true)) e.Bottom = false;
  if (e.Left && AlikeAlong(picture, TRect{0, info_.LT.Y, c.Left, info_.LB.Y}, false)) e.Left = false;
  if (e.Right && AlikeAlong(picture, TRect{c.Right, info_.RT.Y, pw, info_.RB.Y}, false)) e.Right = false;
  return e;
}

void TtwSkinForm::PrepareBackground() {
  background_ = QImage();
  backgroundColor_ = QColor();
  framePicture_ = inactivePicture_ = QImage();
  hBands_ = vBands_ = BandPair{};
  regionCache_.Clear();
  if (!skinPresent_) return;
  // Opaque 32-bit bands copy onto the window without conversion.
  framePicture_ = skinData_->FormPicture().convertToFormat(QImage::Format_RGB32);
  frameEdges_ = BandEdges(framePicture_);
  if (!skinData_->FormInactivePicture().isNull()) {
    inactivePicture_ = skinData_->FormInactivePicture().convertToFormat(QImage::Format_RGB32);
    inactiveEdges_ = BandEdges(inactivePicture_);
  }
  if (const QImage* bg = skinData_->ActivePicture(skinData_->bgpictureindex)) background_ = *bg;
  else if (!info_.ClientRect.IsEmpty()) background_ = skinData_->FormPicture().copy(info_.ClientRect.ToQ());
  if (background_.isNull() || skinData_->stretcheffect) return;
  // A one-colour picture tiles to a plain fill: paint it as one.
  const QImage img = background_.convertToFormat(QImage::Format_RGB32);
  const QRgb first = img.pixel(0, 0);
  for (int y = 0; y < img.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if (line[x] != first) return;
  }
  backgroundColor_ = QColor::fromRgb(first);
}

void TtwSkinForm::PaintFrame(QPainter& p) {
  if (qEnvironmentVariableIsSet("TWX_NOFRAME")) return;
  if (!skinnable_ || changing_) return;
  if (skinPresent_) PaintBands(p);
  else PaintSkinless(p);
}

void TtwSkinForm::RepaintObject(TtwActiveSkinObject* o) {
  framesValid_ = false;
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
      PaintBackground(p, QRegion(client));
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
  framesValid_ = false;
  form_->update();
  if (changed) {
    if (active && OnActivate) OnActivate();
    if (!active && OnDeActivate) OnDeActivate();
  }
}

void TtwSkinForm::UpdateHot(QPoint p) {
  if (drag_ == Drag::Move || drag_ == Drag::Size || pressed_ >= 0) return;
  int found = -1;
  const int hit = HitTest(p);
  if (active_ && hit != htClient && hit != htNowhere) {
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
    if (!hoverTimer_.isActive()) hoverTimer_.start(kHoverIntervalMs, this);
  }
}

void TtwSkinForm::ClearHover() {
  hoverTimer_.stop();
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
  if (!morphTimer_.isActive()) morphTimer_.start(kMorphIntervalMs, this);
}

void TtwSkinForm::StartAnimationTimer() {
  if (!animationTimer_.isActive()) animationTimer_.start(kAnimationIntervalMs, this);
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

void TtwSkinForm::ReleaseCapture(TtwActiveSkinObject*) { pressed_ = -1; }

void TtwSkinForm::timerEvent(QTimerEvent* e) {
  Guarded([&] {
    if (e->timerId() == hoverTimer_.timerId()) {
      const QPoint p = form_->mapFromGlobal(QCursor::pos());
      if (!form_->rect().contains(p) || !active_) ClearHover();
      else UpdateHot(p);
    } else if (e->timerId() == morphTimer_.timerId()) {
      bool any = false;
      for (auto& o : objects_)
        if (o->Morphing && o->MorphStep()) {
          any = true;
          RepaintObject(o.get());
        }
      if (!any) morphTimer_.stop();
    } else if (e->timerId() == animationTimer_.timerId()) {
      bool any = false;
      for (auto& o : objects_) {
        if (auto* c = dynamic_cast<TtwSkinCaptionObject*>(o.get())) any = c->AnimationTick() || any;
        else if (auto* a = dynamic_cast<TtwSkinAnimateObject*>(o.get())) any = a->Tick() || any;
      }
      if (!any) animationTimer_.stop();
    } else if (e->timerId() == fadeTimer_.timerId()) {
      // One step per tick: the fade never blocks the event loop.
      const int now = qRound(form_->windowOpacity() * 255);
      const int next = AlphaBlendAnimation ? std::min(fadeTarget_, now + kFadeStep) : fadeTarget_;
      form_->setWindowOpacity(next / 255.0);
      if (next >= fadeTarget_) fadeTimer_.stop();
    }
  });
}

// ---- window states ---------------------------------------------------------------------

void TtwSkinForm::SetOuterGeometry(const QRect& r) { form_->setGeometry(r); }

void TtwSkinForm::SetFrameState(TtwFrameState s) {
  if (s == state_) return;
  switch (s) {
    case TtwFrameState::Minimized: Minimize(); break;
    case TtwFrameState::Maximized: Maximize(); break;
    case TtwFrameState::Normal: Restore(); break;
  }
}

void TtwSkinForm::Minimize() {
  if (!skinnable_) {
    form_->showMinimized();
    return;
  }
  TApplication* app = Application();
  if (app && app->MainForm() == form_) {
    // The main window minimises the system way; the frame state stays.
    form_->showMinimized();
    if (OnMinimize) OnMinimize();
    return;
  }
  if (state_ == TtwFrameState::Minimized) return;
  if (normalBounds_.isEmpty()) normalBounds_ = form_->geometry();
  state_ = TtwFrameState::Minimized;
  UpdateSizeLimits();
  const QSize bar(MinimumWidth(), MinimumHeight());
  const QRect area = MonitorArea(true);
  auto taken = [&](QPoint p) {
    if (!app) return false;
    for (TForm* f : app->Forms()) {
      if (f == form_ || f == app->MainForm() || !f->isVisible()) continue;
      auto* other = f->findChild<TtwSkinForm*>(QString(), Qt::FindDirectChildrenOnly);
      if (other && other->FrameState() == TtwFrameState::Minimized && f->pos() == p) return true;
    }
    return false;
  };
  SetOuterGeometry(QRect(MinimizedBarPosition(area, bar, taken), bar));
  Rebuild();
  form_->update();
  if (OnMinimize) OnMinimize();
}

void TtwSkinForm::Maximize() {
  if (!skinnable_) {
    form_->showMaximized();
    return;
  }
  if (state_ == TtwFrameState::Maximized) return;
  if (normalBounds_.isEmpty()) normalBounds_ = form_->geometry();
  if (rolledUp_) {
    // Maximising shows the whole window again.
    rolledUp_ = false;
    if (OnChangeRollUpState) OnChangeRollUpState();
  }
  state_ = TtwFrameState::Maximized;
  UpdateSizeLimits();
  QScreen* s = form_->screen() ? form_->screen() : QGuiApplication::primaryScreen();
  QScreen* primary = QGuiApplication::primaryScreen();
  const QRect target = s ? MaximizedBounds(s->geometry(), s->availableGeometry(),
                                           primary ? primary->geometry() : QRect(), MaximizeOnFullScreen)
                         : MonitorArea(true);
  SetOuterGeometry(target);
  if (StatusBar) StatusBar->SetSizeGrip(false);
  Rebuild();
  form_->update();
  if (OnMaximize) OnMaximize();
}

void TtwSkinForm::Restore() {
  if (!skinnable_ || (form_->windowState() & Qt::WindowMinimized)) {
    form_->showNormal();
    if (state_ == TtwFrameState::Normal) {
      if (OnRestore) OnRestore();
      return;
    }
  }
  if (state_ == TtwFrameState::Normal) {
    if (rolledUp_) SetRolledUp(false);
    return;
  }
  if (state_ == TtwFrameState::Maximized && rolledUpWhileMaximized_) {
    rolledUpWhileMaximized_ = false;
    rolledUp_ = false;
  }
  state_ = TtwFrameState::Normal;
  UpdateSizeLimits();
  QRect target = normalBounds_;
  if (firstShow_ && PositionInMonitor != twpDefault && !target.isEmpty()) {
    firstShow_ = false;
    const QRect area = MonitorArea(PositionInMonitor == twpDesktopCenter);
    target.moveTopLeft(QPoint(area.x() + area.width() / 2 - target.width() / 2,
                              area.y() + area.height() / 2 - target.height() / 2));
  }
  if (!target.isEmpty()) {
    const bool same = target.size() == form_->size();
    SetOuterGeometry(target);
    if (same) ForceRelayout();
  }
  normalBounds_ = QRect();
  Rebuild();
  form_->update();
  if (StatusBar) StatusBar->SetSizeGrip(true);
  if (OnRestore) OnRestore();
}

void TtwSkinForm::SetRolledUp(bool on) {
  if (on == rolledUp_) return;
  if (on) {
    if (!(borderIcons_ & biRollUp) || state_ == TtwFrameState::Minimized) return;
    if (state_ == TtwFrameState::Maximized) rolledUpWhileMaximized_ = true;
    heightBeforeRollUp_ = form_->height();
    rolledUp_ = true;
    UpdateSizeLimits();
    form_->resize(form_->width(), MinimumHeight());
  } else {
    rolledUp_ = false;
    rolledUpWhileMaximized_ = false;
    UpdateSizeLimits();
    if (ClientHeight > 0) form_->SetClientHeight(ClientHeight);
    else form_->resize(form_->width(), std::max(heightBeforeRollUp_, MinimumHeight()));
  }
  Rebuild();
  form_->update();
  if (OnChangeRollUpState) OnChangeRollUpState();
}

void TtwSkinForm::MinimizeToTray() {
  // The tray icon lands later; without one there is nowhere to go.
  if (!TrayIcon) return;
  TrayIcon->setProperty("MinimizedToTray", true);
  if (TForm* main = Application() ? Application()->MainForm() : form_) main->hide();
  if (OnMinimizeToTray) OnMinimizeToTray();
}

void TtwSkinForm::RestoreFromTray() {
  if (!TrayIcon) return;
  TrayIcon->setProperty("MinimizedToTray", false);
  if (TForm* main = Application() ? Application()->MainForm() : form_) {
    main->show();
    if (main->windowState() & Qt::WindowMinimized) main->showNormal();
  }
  if (OnRestoreFromTray) OnRestoreFromTray();
}

void TtwSkinForm::PostCommand(int command) {
  // Runs after the mouse handler has returned: the command may close the
  // window or rebuild the objects the handler is still using.
  QTimer::singleShot(0, this, [this, command] { Guarded([&] { RunCommand(command); }); });
}

void TtwSkinForm::RunCommand(int command) {
  if (command != twtok::cmsysmenu) ClearHover();
  switch (command) {
    case twtok::cmclose: form_->close(); break;
    case twtok::cmmaximize:
      if (state_ == TtwFrameState::Maximized) Restore();
      else Maximize();
      break;
    case twtok::cmminimize:
      if (state_ == TtwFrameState::Minimized) Restore();
      else if (AlwaysMinimizeToTray) MinimizeToTray();
      else Minimize();
      break;
    case twtok::cmsysmenu: OpenSystemMenu(); break;
    case twtok::cmrollup: SetRolledUp(!rolledUp_); break;
    case twtok::cmminimizetotray: MinimizeToTray(); break;
    default: break;
  }
}

// ---- system menu -------------------------------------------------------------------------

void TtwSkinForm::OpenSystemMenu() {
  TtwSkinStdButtonObject* b = ButtonOfCommand(twtok::cmsysmenu);
  QPoint at;
  if (b && b->Visible && b->Enabled && !b->ObjectRect.IsEmpty())
    at = QPoint(b->ObjectRect.Left, b->ObjectRect.Bottom);
  else
    at = QPoint(margins_.left(), margins_.top());
  OpenSystemMenuAt(form_->mapToGlobal(at));
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
  TtwSkinData* data = MenusSkinData ? MenusSkinData : skinData_.data();
  auto text = [data](const char* key, const char* builtIn) {
    TtwResourceStrData* rs = data ? data->ResourceStrData() : nullptr;
    const QString s = rs ? rs->GetResStr(QString::fromLatin1(key)) : QString();
    return s.isEmpty() ? QString::fromLatin1(builtIn) : s;
  };
  auto item = [&](const char* name, const QString& caption, std::function<void()> run) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    // The controller runs an entry after the menu has closed.
    connect(a, &QAction::triggered, this, [run = std::move(run)] { Guarded(run); });
    return a;
  };
  auto command = [this](int c) { return [this, c] { RunCommand(c); }; };
  const bool minimized = state_ == TtwFrameState::Minimized, maximized = state_ == TtwFrameState::Maximized;
  const TtwBorderIcons bi = borderIcons_;
  if ((bi & biMinimize) && !minimized)
    item("TWF_MINITEM", text("MI_MINCAPTION", "Mi&nimize"), command(twtok::cmminimize));
  if ((bi & biMaximize) && !maximized)
    item("TWF_MAXITEM", text("MI_MAXCAPTION", "Ma&ximize"), command(twtok::cmmaximize));
  if ((bi & (biMaximize | biMinimize | biRollUp)) && (minimized || maximized || rolledUp_))
    item("TWF_RESTORE", text("MI_RESTORECAPTION", "&Restore"), [this] {
      if (rolledUp_) SetRolledUp(false);
      else Restore();
    });
  if ((bi & biRollUp) && state_ == TtwFrameState::Normal && !rolledUp_)
    item("TWF_ROLLUP", text("MI_ROLLUPCAPTION", "Ro&llUp"), command(twtok::cmrollup));
  if (bi & biMinimizeToTray)
    item("TWF_MINTOTRAY", text("MI_MINTOTRAYCAPTION", "Minimize to &Tray"), command(twtok::cmminimizetotray));
  if (!menu->actions().isEmpty()) menu->addSeparator();
  QAction* close = item("TWF_CLOSE", text("MI_CLOSECAPTION", "&Close"), command(twtok::cmclose));
  close->setShortcut(QKeySequence(QStringLiteral("Alt+F4")));
  if (SystemMenu && UseDefaultSysMenu) {
    menu->addSeparator();
    for (QAction* a : SystemMenu->actions()) menu->addAction(a);
  }
  skinMenu_->MaxMenuItemsInWindow = MaxMenuItemsInWindow;
  skinMenu_->UseSkinFont = UseSkinFontInMenu;
  skinMenu_->DefMenuItemHeight = DefMenuItemHeight;
  skinMenu_->DefMenuItemFont = DefMenuItemFont;
  skinMenu_->AlphaBlend = MenusAlphaBlend;
  skinMenu_->AlphaBlendValue = MenusAlphaBlendValue;
  skinMenu_->AlphaBlendAnimation = MenusAlphaBlendAnimation;
  skinMenu_->DefaultSkinData = data;
  skinMenu_->SetCloseCallback([this] {
    if (TtwSkinStdButtonObject* b = ButtonOfCommand(twtok::cmsysmenu); b && b->Down) {
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
      PaintBackground(p, pe->region());
      PaintFrame(p);
      return true;
    }
    case QEvent::Resize:
      Rebuild();
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
      framesValid_ = false;
      form_->update(0, 0, form_->width(), margins_.top());
      return false;
    case QEvent::WindowStateChange:
      // The frame maximises itself: a maximised request becomes its own.
      if (form_->windowState() & Qt::WindowMaximized) {
        form_->setWindowState(form_->windowState() & ~Qt::WindowMaximized);
        Maximize();
      }
      return false;
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
      if (pressed_ < 0 && drag_ == Drag::None) ClearHover();
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
        skinnable_ = sender->SkinnableForm();
        const bool visible = form_->isVisible();
        const bool maximized = state_ == TtwFrameState::Maximized;
        if (maximized) Restore();
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
  if (state_ != TtwFrameState::Normal) return;
  firstShow_ = false;
  if (PositionInMonitor == twpDefault) return;
  const QRect area = MonitorArea(PositionInMonitor == twpDesktopCenter);
  form_->move(area.x() + area.width() / 2 - form_->width() / 2, area.y() + area.height() / 2 - form_->height() / 2);
}

void TtwSkinForm::StartFadeIn() {
  if (!AlphaBlend && !AlphaBlendAnimation) return;
  fadeTarget_ = !AlphaBlendAnimation || AlphaBlend ? AlphaBlendValue : 255;
  form_->setWindowOpacity(AlphaBlendAnimation ? 0.0 : fadeTarget_ / 255.0);
  if (AlphaBlendAnimation) fadeTimer_.start(kFadeIntervalMs, this);
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
    if (e->button() == Qt::LeftButton && state_ != TtwFrameState::Maximized) {
      dragStartGlobal_ = e->globalPosition().toPoint();
      dragStartGeometry_ = form_->geometry();
      magnet_ = TtwMagnetState{};
      magnet_.Remembered = dragStartGlobal_;
      drag_ = Drag::PendingMove;
    }
    return;
  }
  if (IsSizingHit(hit) && e->button() == Qt::LeftButton) {
    sizingOrMoving_ = true;
    ClearHover();
    dragHit_ = hit;
    dragStartGlobal_ = e->globalPosition().toPoint();
    dragStartGeometry_ = form_->geometry();
    QWindow* w = form_->windowHandle();
    if (w && w->startSystemResize(EdgesOf(hit))) {
      drag_ = Drag::None;
      sizingOrMoving_ = false;
    } else {
      drag_ = Drag::Size;
    }
  }
}

void TtwSkinForm::MouseMove(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  const QPoint g = e->globalPosition().toPoint();
  if (drag_ == Drag::PendingMove && g != dragStartGlobal_) {
    ClearHover();
    // The window manager moves the window where there is one (and snaps it);
    // it starts at the first motion, not at the press, so that a double
    // click on the caption stays ours. Magnetic edges need every step, so
    // they, and a desktop without a window manager, move it here.
    QWindow* w = form_->windowHandle();
    if (!Magnetic && w && w->startSystemMove()) {
      drag_ = Drag::None;
    } else {
      drag_ = Drag::Move;
      sizingOrMoving_ = true;
    }
  }
  if (drag_ == Drag::Move) {
    QRect r = dragStartGeometry_.translated(g - dragStartGlobal_);
    if (Magnetic) r.moveTopLeft(MagneticPosition(r, MonitorArea(true), g, MagneticSize, magnet_));
    form_->move(r.topLeft());
    return;
  }
  if (drag_ == Drag::Size) {
    const QPoint d = g - dragStartGlobal_;
    QRect r = dragStartGeometry_;
    const Qt::Edges edges = EdgesOf(dragHit_);
    const QSize minS(MinimumWidth(), MinimumHeight()), maxS = MaximumSize();
    if (edges & Qt::LeftEdge)
      r.setLeft(std::clamp(r.left() + d.x(), r.right() + 1 - maxS.width(), r.right() + 1 - minS.width()));
    if (edges & Qt::RightEdge) r.setWidth(std::clamp(r.width() + d.x(), minS.width(), maxS.width()));
    if (edges & Qt::TopEdge)
      r.setTop(std::clamp(r.top() + d.y(), r.bottom() + 1 - maxS.height(), r.bottom() + 1 - minS.height()));
    if (edges & Qt::BottomEdge) r.setHeight(std::clamp(r.height() + d.y(), minS.height(), maxS.height()));
    form_->setGeometry(r);
    return;
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
  const bool dragging = drag_ == Drag::Move || drag_ == Drag::Size;
  drag_ = Drag::None;
  sizingOrMoving_ = false;
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
    drag_ = Drag::None;
    const bool sizeable = Sizeable();
    if (sizeable && state_ == TtwFrameState::Minimized) Restore();
    else if (sizeable && state_ == TtwFrameState::Normal && !rolledUp_ && (borderIcons_ & biMaximize)) Maximize();
    else if (sizeable && state_ == TtwFrameState::Maximized && !rolledUpWhileMaximized_) Restore();
    else SetRolledUp(!rolledUp_);
    return;
  }
  if (hit == htObject) {
    MousePress(e);
    if (hot_ >= 0) objects_[hot_]->DoubleClick();
  }
}
