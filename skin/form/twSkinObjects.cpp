// Caption objects: their looks in every state and what the mouse does to
// them. Commands never run inside a mouse handler: the frame runs them once
// the handler has returned, because a command may free the objects.
#include "skin/form/twSkinObjects.h"

#include <QIcon>
#include <QPainter>
#include <algorithm>

#include "skin/data/twSkinData.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"
#include "skin/draw/tweffects.h"
#include "skin/draw/twUtils.h"
#include "skin/controls/twSkinControlBase.h"

namespace {

constexpr double kMorphStep = 0.2;
constexpr int kTickMs = 25;

QImage PieceImage(const QImage* picture, const TRect& piece, QSize size) {
  QImage out = TwNewSurface(size.width(), size.height(), QImage::Format_RGB32);
  out.fill(Qt::black);
  if (picture && !piece.IsEmpty() && !out.isNull()) {
    QPainter p(&out);
    p.drawImage(QRect(QPoint(0, 0), size), *picture, piece.ToQ());
  }
  return out;
}

}  // namespace

// ---- TtwActiveSkinObject ---------------------------------------------------

TtwActiveSkinObject::TtwActiveSkinObject(TtwCaptionObjectHost* frame, TtwSkinData* data, const TtwDataSkinObject* r)
    : Data(data), frame_(frame) {
  if (!r) return;
  IDName = r->IDName;
  Hint = r->hint;
  SkinRect = r->skinrect;
  ActiveSkinRect = r->activeskinrect;
  InactiveSkinRect = r->inactiveskinrect;
  ObjectRect = r->skinrect;
  MorphKind = r->morphkind;
  Morphing = r->morphing && !r->activeskinrect.IsEmpty();
  InPicture = !r->skinrectinapicture;
  GlowPictureIndex = r->glowlayerpictureindex;
  GlowMaskPictureIndex = r->glowlayermaskpictureindex;
  GlowOffsetX = r->glowlayeroffsetx;
  GlowOffsetY = r->glowlayeroffsety;
  GlowAlpha = r->glowlayeralphablendvalue;
  if (data) {
    ActivePicture = data->ActivePicture(r->activepictureindex);
    ActiveMask = data->ActivePicture(r->activemaskpictureindex);
  }
}

bool TtwActiveSkinObject::Contains(int x, int y) const {
  return ObjectRect.Left <= x && x < ObjectRect.Right && ObjectRect.Top <= y && y < ObjectRect.Bottom;
}

bool TtwActiveSkinObject::HitTest(int x, int y) const {
  if (!ActiveMask) return true;
  const int mx = x - ObjectRect.Left, my = y - ObjectRect.Top;
  if (mx < 0 || my < 0 || mx >= ActiveMask->width() || my >= ActiveMask->height()) return false;
  return (ActiveMask->pixel(mx, my) & 0x00FFFFFFu) == 0;
}

void TtwActiveSkinObject::ShowGlow() { frame_->ShowObjectGlow(this); }
void TtwActiveSkinObject::HideGlow() { frame_->HideObjectGlow(); }

bool TtwActiveSkinObject::MorphPending() const {
  return Morphs() && (state_.Active ? morphFactor_ < 1.0 : morphFactor_ > 0.0);
}

bool TtwActiveSkinObject::MorphStep() {
  if (!MorphPending()) return false;
  morphFactor_ = std::clamp(morphFactor_ + (state_.Active ? kMorphStep : -kMorphStep), 0.0, 1.0);
  return true;
}

void TtwActiveSkinObject::SetState(const TtwObjectState& to) {
  const TtwObjectState from = state_;
  if (to == from) return;
  state_ = to;
  if (to.Active != from.Active) {
    // Back over a button still held down: it shows down at once, not after a fade.
    if (to.Active && to.Down && (LookInput().Pieces & lpDown)) {
      morphFactor_ = 1.0;
      frame_->RepaintObject(this);
    } else {
      StartMorph();
    }
    return;
  }
  // A press ends any fade: the active look stands under the down one.
  if (to.Down && !from.Down && to.Active && Morphing) morphFactor_ = 1.0;
  frame_->RepaintObject(this);
}

TtwActiveSkinObject::LookRects TtwActiveSkinObject::Rects(bool restore) const {
  if (restore) return {};
  return {SkinRect, ActiveSkinRect, InactiveSkinRect, {}, {}};
}

TtwLookInput TtwActiveSkinObject::LookInput() const {
  TtwLookInput in;
  in.State = state_;
  in.Enabled = Enabled;
  in.Morphing = Morphing;
  in.MorphFactor = morphFactor_;
  in.Window = frame_->WindowState();
  in.WindowActive = frame_->WindowActive();
  const LookRects n = Rects(false), r = Rects(true);
  const std::pair<const TRect*, int> pieces[] = {
      {&n.Active, lpActive},         {&n.Inactive, lpInactive},     {&n.Down, lpDown},
      {&n.Disabled, lpDisabled},     {&r.Normal, lpRestore},        {&r.Active, lpRestoreActive},
      {&r.Down, lpRestoreDown},      {&r.Inactive, lpRestoreInactive}};
  for (const auto& [rect, bit] : pieces)
    if (!rect->IsEmpty()) in.Pieces |= bit;
  return in;
}

const QImage* TtwActiveSkinObject::PiecePicture(bool forced) const {
  if (!InPicture) return ActivePicture;
  if (!forced || !Data) return nullptr;
  return &Data->FormPicture();
}

void TtwActiveSkinObject::CopyPiece(QPainter& canvas, const QImage* picture, const TRect& piece) const {
  if (!picture || piece.IsEmpty() || ObjectRect.IsEmpty()) return;
  canvas.drawImage(QRect(ObjectRect.Left, ObjectRect.Top, piece.Width(), piece.Height()), *picture,
                   piece.ToQ());
}

void TtwActiveSkinObject::DrawMorph(QPainter& canvas, const QImage* normalPicture, const TRect& normal,
                                    const QImage* activePicture, const TRect& active, double factor) const {
  const QSize size(normal.Width(), normal.Height());
  if (size.isEmpty()) return;
  TtwEffectBmp a(PieceImage(normalPicture, normal, size));
  const TtwEffectBmp b(PieceImage(activePicture, active, size));
  a.Morph(b, factor, MorphKind);
  a.Draw(canvas, ObjectRect.Left, ObjectRect.Top);
}

void TtwActiveSkinObject::DrawLook(QPainter& canvas, const TtwObjectLook& look, bool forced) const {
  if (!Data) return;
  const LookRects r = Rects(look.Restore);
  switch (look.Look) {
    case TtwLook::Inactive: CopyPiece(canvas, ActivePicture, r.Inactive); break;
    case TtwLook::Down: CopyPiece(canvas, ActivePicture, r.Down); break;
    case TtwLook::Disabled: CopyPiece(canvas, ActivePicture, r.Disabled); break;
    case TtwLook::Active: CopyPiece(canvas, ActivePicture, r.Active); break;
    case TtwLook::Morph:
      DrawMorph(canvas, InPicture ? &Data->FormPicture() : ActivePicture, r.Normal, ActivePicture, r.Active,
                look.Morph);
      break;
    case TtwLook::Normal: CopyPiece(canvas, PiecePicture(forced), r.Normal); break;
    case TtwLook::Icon:
    case TtwLook::Frame: break;
  }
}

void TtwActiveSkinObject::Draw(QPainter& canvas, bool forced) { DrawLook(canvas, Look(), forced); }

void TtwActiveSkinObject::StartMorph() {
  if (Morphs() && frame_->EffectsEnabled())
    frame_->StartMorphTimer();
  else {
    morphFactor_ = state_.Active ? 1.0 : 0.0;
    frame_->RepaintObject(this);
  }
}

void TtwActiveSkinObject::MouseDown(int x, int y, Qt::MouseButton button) {
  frame_->ReportMouse(TtwObjectEvent::Down, *this, x, y, button);
}

void TtwActiveSkinObject::MouseUp(int x, int y, Qt::MouseButton button) {
  if (state_.MouseIn) frame_->ReportMouse(TtwObjectEvent::Up, *this, x, y, button);
}

void TtwActiveSkinObject::MouseMove(int x, int y) {
  SetMouseIn(Contains(x, y));
  frame_->ReportMouse(TtwObjectEvent::Move, *this, x, y, Qt::NoButton);
}

void TtwActiveSkinObject::MouseEnter() {
  SetState({true, true, state_.Down});
  frame_->ReportMouse(TtwObjectEvent::Enter, *this, 0, 0, Qt::NoButton);
}

void TtwActiveSkinObject::MouseLeave() {
  SetState({false, false, state_.Down});
  frame_->ReportMouse(TtwObjectEvent::Leave, *this, 0, 0, Qt::NoButton);
}

// ---- TtwUserObject -----------------------------------------------------------

void TtwUserObject::Draw(QPainter& canvas, bool) {
  frame_->PaintUserObject(*this, canvas);
}

// ---- TtwSkinButtonObject -----------------------------------------------------

TtwSkinButtonObject::TtwSkinButtonObject(TtwCaptionObjectHost* frame, TtwSkinData* data, const TtwDataSkinButton* r)
    : TtwActiveSkinObject(frame, data, r) {
  if (!r) return;
  DownRect = r->downrect;
  DisableSkinRect = r->disableskinrsect;
}

TtwActiveSkinObject::LookRects TtwSkinButtonObject::Rects(bool restore) const {
  if (restore) return {};
  return {SkinRect, ActiveSkinRect, InactiveSkinRect, DownRect, DisableSkinRect};
}

TtwLookInput TtwSkinButtonObject::LookInput() const {
  TtwLookInput in = TtwActiveSkinObject::LookInput();
  in.Kind = TtwObjectKind::Button;
  return in;
}

void TtwSkinButtonObject::MouseDown(int x, int y, Qt::MouseButton button) {
  if (button == Qt::LeftButton && Enabled && !State().Down) {
    SetDown(true);
    // The button stays down while its menu is open; the frame lets it up
    // when the menu closes.
    if (Menu) frame_->PostObjectMenu(IDName);
  }
  TtwActiveSkinObject::MouseDown(x, y, button);
}

void TtwSkinButtonObject::MouseUp(int x, int y, Qt::MouseButton button) {
  if (button == Qt::LeftButton && Enabled && State().Down && !Menu) SetDown(false);
  TtwActiveSkinObject::MouseUp(x, y, button);
}

void TtwSkinButtonObject::MouseEnter() {
  TtwActiveSkinObject::MouseEnter();
  ShowGlow();
}

void TtwSkinButtonObject::MouseLeave() {
  TtwActiveSkinObject::MouseLeave();
  HideGlow();
}

// ---- TtwSkinStdButtonObject --------------------------------------------------

TtwSkinStdButtonObject::TtwSkinStdButtonObject(TtwCaptionObjectHost* frame, TtwSkinData* data,
                                               const TtwDataSkinStdButton* r)
    : TtwSkinButtonObject(frame, data, r) {
  if (!r) return;
  Command = r->command;
  RestoreRect = r->restorerect;
  RestoreActiveRect = r->restoreactiverect;
  RestoreDownRect = r->restoredownrect;
  RestoreInactiveRect = r->restoreinactiverect;
  RestoreHint = r->restorehint;
  RecordHint = r->hint;
}

TtwSkinStdButtonObject::TtwSkinStdButtonObject(TtwCaptionObjectHost* frame, const QString& name, int command)
    : TtwSkinButtonObject(frame, nullptr, nullptr) {
  IDName = name;
  Command = command;
  SkinSupport = false;
  InPicture = false;
}

TtwActiveSkinObject::LookRects TtwSkinStdButtonObject::Rects(bool restore) const {
  if (!restore) return TtwSkinButtonObject::Rects(false);
  return {RestoreRect, RestoreActiveRect, RestoreInactiveRect, RestoreDownRect, {}};
}

TtwLookInput TtwSkinStdButtonObject::LookInput() const {
  TtwLookInput in = TtwActiveSkinObject::LookInput();
  in.Kind = TtwObjectKind::StdButton;
  in.Command = Command;
  in.ShowsIcon = ShowsIcon();
  in.Skinless = !SkinSupport;
  return in;
}

bool TtwSkinStdButtonObject::ShowsIcon() const {
  return Command == twtok::cmsysmenu && frame_->ShowsWindowIcon() && !InPicture;
}

void TtwSkinStdButtonObject::ShowGlow() {
  if (!ShowsIcon()) TtwSkinButtonObject::ShowGlow();
}

bool TtwSkinStdButtonObject::HitTest(int x, int y) const {
  return ShowsIcon() || TtwSkinButtonObject::HitTest(x, y);
}

void TtwSkinStdButtonObject::Draw(QPainter& canvas, bool forced) {
  const TtwObjectLook look = Look();
  if (!SkinSupport) {
    DrawSkinless(canvas, look);
    return;
  }
  if (look.Look == TtwLook::Icon) {
    const QIcon icon = frame_->WindowIcon();
    icon.paint(&canvas, ObjectRect.ToQ());
    return;
  }
  DrawLook(canvas, look, forced);
}

void TtwSkinStdButtonObject::DrawSkinless(QPainter& canvas, const TtwObjectLook& look) const {
  const QRect r = ObjectRect.ToQ();
  if (r.isEmpty()) return;
  const bool down = look.Look == TtwLook::Down;
  canvas.fillRect(r, twDefaultColors::BtnFace);
  if (down || look.Look == TtwLook::Active) {
    canvas.fillRect(r, down ? twDefaultColors::DownFill : twDefaultColors::HotFill);
    canvas.setPen(twDefaultColors::HotFrame);
    canvas.drawRect(r.adjusted(0, 0, -1, -1));
  }
  const int w = r.width(), h = r.height();
  const int ox = r.x() + (down ? w / 2 - 4 : w / 2 - 5);
  const int oy = r.y() + (down ? h / 2 - 3 : h / 2 - 4);
  const QColor ink = look.Look == TtwLook::Disabled ? twDefaultColors::BtnShadow : twDefaultColors::BtnText;
  auto box = [&](int x, int y, int bw, int bh) {
    canvas.fillRect(x, y, bw, 2, ink);
    canvas.fillRect(x, y, 1, bh, ink);
    canvas.fillRect(x + bw - 1, y, 1, bh, ink);
    canvas.fillRect(x, y + bh - 1, bw, 1, ink);
  };
  auto restoreGlyph = [&] {
    box(ox + 3, oy, 8, 7);
    canvas.fillRect(ox, oy + 3, 8, 7, twDefaultColors::BtnFace);
    box(ox, oy + 3, 8, 7);
  };
  switch (Command) {
    case twtok::cmclose:
      for (int i = 0; i < 8; ++i) {
        canvas.fillRect(ox + 1 + i, oy + i, 2, 1, ink);
        canvas.fillRect(ox + 8 - i, oy + i, 2, 1, ink);
      }
      break;
    case twtok::cmmaximize:
      if (look.Restore) restoreGlyph();
      else box(ox, oy, 11, 10);
      break;
    case twtok::cmminimize:
      if (look.Restore) restoreGlyph();
      else canvas.fillRect(ox + 1, oy + 7, 8, 2, ink);
      break;
    case twtok::cmsysmenu:
      canvas.setPen(ink);
      canvas.drawRect(ox + 1, oy + 3, 7, 2);
      break;
    case twtok::cmrollup: {
      for (int i = 0; i < 4; ++i) {
        const int y = look.Restore ? oy + 2 + i : oy + 5 - i;
        canvas.fillRect(ox + 1 + i, y, 9 - 2 * i, 1, ink);
      }
      break;
    }
    case twtok::cmminimizetotray:
      canvas.fillRect(ox + 3, oy + 4, 5, 5, ink);
      break;
    default:
      break;
  }
}

void TtwSkinStdButtonObject::DoubleClick() {
  if (Command == twtok::cmsysmenu) frame_->PostCommand(TtwFrameCommand::Close);
}

void TtwSkinStdButtonObject::MouseDown(int, int, Qt::MouseButton button) {
  // Standard buttons only press; they fire no mouse-down event.
  if (button != Qt::LeftButton || !Enabled || State().Down) return;
  SetDown(true);
  if (Menu) frame_->PostObjectMenu(IDName);
  else if (Command == twtok::cmsysmenu) frame_->PostCommand(TtwFrameCommand::SystemMenu);
}

void TtwSkinStdButtonObject::MouseUp(int x, int y, Qt::MouseButton button) {
  if (Menu) return;  // up when its menu closes
  const bool run =
      button == Qt::LeftButton && Enabled && State().Down && State().MouseIn && Command != twtok::cmsysmenu;
  TtwSkinButtonObject::MouseUp(x, y, button);
  if (run) frame_->PostCommand(FrameCommandOf(Command));
}

void TtwSkinStdButtonObject::MouseEnter() {
  const QString h = !RestoreHint.isEmpty() && RestoreLookApplies(Command, frame_->WindowState()) ? RestoreHint : RecordHint;
  if (Command != twtok::cmdefault) Hint = h;
  TtwSkinButtonObject::MouseEnter();
}

// ---- TtwSkinCaptionObject ----------------------------------------------------

TtwSkinCaptionObject::TtwSkinCaptionObject(TtwCaptionObjectHost* frame, TtwSkinData* data, const TtwDataSkinCaption* r)
    : TtwActiveSkinObject(frame, data, r), Record(r) {
  if (!r) return;
  font_ = QFont(r->fontname);
  font_.setPixelSize(std::max(1, r->fontheight));
  font_.setBold(r->fontstyle & twtok::fsbold);
  font_.setItalic(r->fontstyle & twtok::fsitalic);
  font_.setUnderline(r->fontstyle & twtok::fsunderline);
  font_.setStrikeOut(r->fontstyle & twtok::fsstrikeout);
}

bool TtwSkinCaptionObject::Animating() const {
  return Record && !Record->animateskinrect.IsEmpty() && Record->framecount > 0 && frame_->EffectsEnabled() &&
         AnimationFrame > 0 && (State().Active ? AnimationFrame <= Record->framecount : true);
}

TtwLookInput TtwSkinCaptionObject::LookInput() const {
  TtwLookInput in = TtwActiveSkinObject::LookInput();
  in.Kind = TtwObjectKind::Caption;
  in.Frame = AnimationFrame;
  if (Record && !Record->animateskinrect.IsEmpty()) in.Pieces |= lpAnimation;
  return in;
}

void TtwSkinCaptionObject::SetWindowActive(bool active) {
  SetState({active, false, false});
  Elapsed = kTickMs;
  if (Record && Record->framecount > 0 && !Record->animateskinrect.IsEmpty() && frame_->EffectsEnabled()) {
    AnimationFrame = active ? 1 : (Record->inactiveanimation ? Record->framecount : 0);
    if (AnimationFrame > 0) frame_->StartAnimationTimer();
  } else {
    AnimationFrame = 0;
  }
}

bool TtwSkinCaptionObject::AnimationTick() {
  if (!Record || AnimationFrame <= 0) return false;
  // A zero interval would never let the frame advance: one tick is the least.
  const int interval = std::max(kTickMs, Record->animateinterval);
  Elapsed += kTickMs;
  if (Elapsed < interval) return true;
  Elapsed = kTickMs;
  if (State().Active) {
    ++AnimationFrame;
    if (AnimationFrame > Record->framecount) AnimationFrame = 0;
  } else {
    --AnimationFrame;
  }
  frame_->RepaintObject(this);
  return AnimationFrame > 0;
}

void TtwSkinCaptionObject::MouseDown(int x, int y, Qt::MouseButton button) {
  frame_->ReportMouse(TtwObjectEvent::Down, *this, x, y, button);
}

void TtwSkinCaptionObject::MouseUp(int x, int y, Qt::MouseButton button) {
  frame_->ReportMouse(TtwObjectEvent::Up, *this, x, y, button);
}

QImage TtwSkinCaptionObject::ComposeBackground(bool activeLook, int frame) const {
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  QImage out;
  if (w <= 0 || h <= 0 || !Data) return out;
  const QImage* picture = activeLook ? ActivePicture : &Data->FormPicture();
  TRect piece = activeLook ? ActiveSkinRect : SkinRect;
  if (frame > 0 && Record && Record->framecount > 0 && ActivePicture) {
    const TRect& a = Record->animateskinrect;
    const int n = Record->framecount;
    picture = ActivePicture;
    if (a.Height() > SkinRect.Height()) {
      const int fh = a.Height() / n;
      piece = TRect{a.Left, a.Top + (frame - 1) * fh, a.Right, a.Top + frame * fh};
    } else {
      const int fw = a.Width() / n;
      piece = TRect{a.Left + (frame - 1) * fw, a.Top, a.Left + frame * fw, a.Bottom};
    }
  }
  if (!picture || piece.IsEmpty()) return out;
  const TtwFrameInfo& fi = frame_->Info();
  const int leftW = std::max(0, fi.LT.X - SkinRect.Left);
  const int rightW = std::max(0, SkinRect.Right - fi.RT.X);
  if (leftW + rightW > 0 && leftW + rightW < piece.Width()) {
    ComposeThreePieceH(*picture, piece, leftW, rightW, Record && Record->stretcheffect, w, out);
  } else {
    out = TwNewSurface(w, h, QImage::Format_ARGB32);
    CopyPixels(out, TRect{0, 0, w, h}, picture->convertToFormat(QImage::Format_ARGB32), piece);
  }
  return out;
}

void TtwSkinCaptionObject::FitText(QPainter& canvas, const QString& text, int width) const {
  FittedText& f = fitted_;
  if (f.Source != text || f.Width < 0) {
    f = FittedText{};
    f.Source = text;
    f.FullWidth = WideTextWidth(canvas, text);
    f.FullHeight = WideTextHeight(canvas, text);
  } else if (f.Width == width) {
    return;
  }
  f.Width = width;
  f.Text = text;
  // A text that fits stays whole: no need to measure it again.
  if (width >= f.FullWidth) {
    f.TextWidth = f.FullWidth;
    f.TextHeight = f.FullHeight;
  } else {
    FitWideTextEllipsis(canvas, f.Text, width);
    f.TextWidth = WideTextWidth(canvas, f.Text);
    f.TextHeight = WideTextHeight(canvas, f.Text);
  }
}

void TtwSkinCaptionObject::DrawText(QPainter& canvas, const TRect& r, bool activeColours) const {
  if (!Record) return;
  const TtwDataSkinCaption& c = *Record;
  QString text = frame_->CaptionText();
  TRect tr{c.textrect.Left + r.Left, c.textrect.Top + r.Top,
           c.textrect.Right + r.Left + (r.Width() - SkinRect.Width()), c.textrect.Bottom + r.Top};
  if (!c.framerect.IsEmpty()) {
    tr.Left += c.frametextrect.Left;
    tr.Top += c.frametextrect.Top;
    tr.Right += c.frametextrect.Right - c.framerect.Width();
  }
  canvas.setFont(font_);
  FitText(canvas, text, tr.Width());
  text = fitted_.Text;
  const int tw = fitted_.TextWidth, th = fitted_.TextHeight;
  const int y = tr.Top + tr.Height() / 2 - th / 2;
  int x = tr.Left;
  if (c.alignment == twtok::tarightjustify) x = tr.Right - tw;
  else if (c.alignment == twtok::tacenter) x = tr.Left + tr.Width() / 2 - tw / 2;

  if (!c.framerect.IsEmpty() && ActivePicture) {
    const TRect piece = activeColours && !c.activeframerect.IsEmpty() ? c.activeframerect : c.framerect;
    const int width = c.fullframe ? r.Width() - 2 * frame_->Info().ButtonsOffset
                                  : c.framerect.Width() + tw - c.frametextrect.Width();
    if (width > 0) {
      QImage band;
      ComposeThreePieceH(*ActivePicture, piece, c.frameleftoffset, c.framerightoffset, false, width, band);
      const int fx = c.fullframe ? r.Left + frame_->Info().ButtonsOffset : x - c.frametextrect.Left;
      canvas.drawImage(fx, y - c.frametextrect.Top, band);
    }
  }
  auto draw = [&](int dx, int dy, TColor colour) {
    canvas.setPen(ColorToQ(colour));
    DrawWideText(canvas, text, TRect{x + dx, y + dy, x + dx + tw + 2, y + dy + th}, 0);
  };
  if (c.light) draw(-1, -1, activeColours ? c.activelightcolor : c.lightcolor);
  if (c.shadow) draw(1, 1, activeColours ? c.activeshadowcolor : c.shadowcolor);
  // The effect functions draw the text themselves, after their effect.
  const TRect at{x, y, x + tw + 2, y + th};
  canvas.setPen(ColorToQ(activeColours ? c.activefontcolor : c.fontcolor));
  const bool active = frame_->WindowActive();
  if (c.reflectioneffect)
    DrawReflectionText(canvas, text, at, 0, activeColours ? c.reflactionactivecolor : c.reflactioncolor,
                       c.reflectionoffset);
  else if (c.vistagloweffect && (active || c.vistaglowinactiveeffect))
    DrawSoftGlowText(canvas, text, at, 0, activeColours ? c.glowactivecolor : c.glowcolor);
  else if (c.gloweffect && (active || c.glowinactiveeffect))
    DrawGlowText(canvas, text, at, 0, c.glowsize, activeColours ? c.glowactivecolor : c.glowcolor, c.glowoffset);
  else
    draw(0, 0, activeColours ? c.activefontcolor : c.fontcolor);
}

void TtwSkinCaptionObject::Draw(QPainter& canvas, bool) {
  if (!Record || ObjectRect.IsEmpty()) return;
  const bool active = State().Active;
  if (frame_->PaintCaption(canvas, ObjectRect, active)) return;
  const TtwObjectLook l = Look();
  // The still inactive caption's background is the band's own.
  const bool plain = ActiveSkinRect.IsEmpty() || (l.Look == TtwLook::Normal && !Morphing && !Record->stretcheffect);
  if (plain) {
    DrawText(canvas, ObjectRect, active);
    return;
  }
  const TRect local{0, 0, ObjectRect.Width(), ObjectRect.Height()};
  auto compose = [&](bool activeLook, int frame, bool activeColours) {
    QImage img = ComposeBackground(activeLook, frame);
    if (img.isNull()) return img;
    {
      QPainter p(&img);
      DrawText(p, local, activeColours);
    }
    if (!activeLook && Data && Data->autorenderinginactiveimage) {
      TtwEffectBmp e(img);
      e.ApplyInactiveEffect(Data->inactiveeffect);
      img = e.Image();
    }
    return img;
  };
  QImage look;
  if (l.Look == TtwLook::Frame) {
    look = compose(true, l.Frame, !active);  // colours of the state being left
  } else if (l.Look == TtwLook::Morph) {
    TtwEffectBmp a(compose(false, 0, false));
    const TtwEffectBmp b(compose(true, 0, true));
    a.Morph(b, l.Morph, MorphKind);
    look = a.Image();
  } else {
    look = compose(active, 0, active);
  }
  if (!look.isNull()) canvas.drawImage(ObjectRect.Left, ObjectRect.Top, look);
}

// ---- TtwSkinAnimateObject ----------------------------------------------------

TtwSkinAnimateObject::TtwSkinAnimateObject(TtwCaptionObjectHost* frame, TtwSkinData* data, const TtwDataSkinAnimate* r)
    : TtwActiveSkinObject(frame, data, r), Record(r) {
  if (!r) return;
  CountFrames = std::max(1, r->countframes);
  TimerInterval = std::max(kTickMs, r->timerinterval);
  Command = r->command;
}

TtwActiveSkinObject::LookRects TtwSkinAnimateObject::Rects(bool restore) const {
  if (!Record) return {};
  if (restore)
    return {Record->restorerect, Record->restoreactiverect, Record->restoreinactiverect, Record->restoredownrect, {}};
  return {SkinRect, ActiveSkinRect, InactiveSkinRect, Record->downskinrect, {}};
}

TtwLookInput TtwSkinAnimateObject::LookInput() const {
  TtwLookInput in = TtwActiveSkinObject::LookInput();
  in.Kind = TtwObjectKind::Animate;
  in.Command = Command;
  in.Frame = Frame;
  return in;
}

void TtwSkinAnimateObject::Draw(QPainter& canvas, bool) {
  if (!Record || !ActivePicture) return;
  const TtwObjectLook look = Look();
  const LookRects r = Rects(look.Restore);
  switch (look.Look) {
    case TtwLook::Inactive: CopyPiece(canvas, ActivePicture, r.Inactive); break;
    case TtwLook::Down: CopyPiece(canvas, ActivePicture, r.Down); break;
    case TtwLook::Active: {
      const int w = r.Normal.Width();
      const TRect& a = r.Active;
      CopyPiece(canvas, ActivePicture,
                TRect{a.Left + (look.Frame - 1) * w, a.Top, a.Left + look.Frame * w, a.Top + r.Normal.Height()});
      break;
    }
    default: CopyPiece(canvas, ActivePicture, r.Normal); break;
  }
}

bool TtwSkinAnimateObject::Tick() {
  if (!Running) return false;
  Elapsed += kTickMs;
  if (Elapsed < TimerInterval) return true;
  Elapsed = kTickMs;
  if (Forward) {
    if (Frame >= CountFrames && !Record->cycle) Running = false;
    else Frame = Frame >= CountFrames ? 1 : Frame + 1;
  } else {
    if (Frame <= 1) Running = false;
    else --Frame;
  }
  frame_->RepaintObject(this);
  return Running;
}

void TtwSkinAnimateObject::MouseEnter() {
  TtwActiveSkinObject::MouseEnter();
  if (Record && Record->buttonstyle) {
    Forward = true;
    Running = true;
    frame_->StartAnimationTimer();
  }
}

void TtwSkinAnimateObject::MouseLeave() {
  TtwActiveSkinObject::MouseLeave();
  if (Record && Record->buttonstyle) {
    Forward = false;
    Running = true;
    frame_->StartAnimationTimer();
  }
}

void TtwSkinAnimateObject::MouseDown(int x, int y, Qt::MouseButton button) {
  if (button == Qt::LeftButton && Enabled) {
    if (!Record->downskinrect.IsEmpty()) Frame = CountFrames;
    SetDown(true);
    frame_->RepaintObject(this);
    if (Record->buttonstyle && Command == twtok::cmsysmenu) frame_->PostCommand(FrameCommandOf(Command));
  }
  TtwActiveSkinObject::MouseDown(x, y, button);
}

void TtwSkinAnimateObject::MouseUp(int x, int y, Qt::MouseButton button) {
  const bool run = button == Qt::LeftButton && State().Down && State().MouseIn && Record->buttonstyle &&
                   Command != twtok::cmsysmenu && Command != twtok::cmdefault;
  if (button == Qt::LeftButton) SetDown(false);
  frame_->RepaintObject(this);
  TtwActiveSkinObject::MouseUp(x, y, button);
  if (run) frame_->PostCommand(FrameCommandOf(Command));
}
