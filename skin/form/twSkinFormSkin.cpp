// The skinned frame's skin application and geometry: the caption objects
// built from the skin, the margins, size limits, layout, window shape and hit
// test, all recomputed from the skin and the window's size whenever either changes.
#include "skin/form/twSkinForm.h"

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>

#include "platform/Application.h"
#include "platform/Form.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinRecords.h"
#include "skin/data/twSkinnable.h"

namespace {

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

}  // namespace

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

int TtwSkinForm::CaptionHeight() const {
  return IsToolWindow(form_->BorderStyle()) ? kSkinlessToolCaptionHeight : kSkinlessCaptionHeight;
}

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
