// The skinned scroll bar and its link to a Qt scroll area. Every press, move,
// repeat and paint reads one layout; the thumb always lies inside the track,
// and no repeat outlives a step that changed nothing.
#include "skin/controls/twSkinScrollBar.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/Clock.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"

namespace {

// Rounding to nearest with ties to even (the default rounding mode).
int64_t RoundEven(double v) { return std::llrint(v); }

int ClampToInt(int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// A rectangle whose far edges never lie before its near ones.
TRect Ordered(TRect r) {
  r.Right = std::max(r.Right, r.Left);
  r.Bottom = std::max(r.Bottom, r.Top);
  return r;
}

TRect Shifted(TRect r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
  return r;
}

bool Contains(const TRect& r, const QPoint& p) {
  return p.x() >= r.Left && p.x() < r.Right && p.y() >= r.Top && p.y() < r.Bottom;
}

struct TAxisThumb {
  int start = 0, length = 0;  // length 0: no thumb
  int centreMin = 0, centreMax = 0, offset = 0;
};

// The thumb along the track [s, e). `base` is the shortest thumb a page may
// give; `noPage` the thumb's length without a page.
TAxisThumb ThumbAlong(int s, int e, const TScrollBarLayoutInput& in, int base, int noPage) {
  const int64_t track = std::max(0, e - s);
  const int64_t range = int64_t(in.Max) - in.Min + 1;
  const int64_t pos = int64_t(in.Position) - in.Min;
  int64_t len;
  double k;
  int64_t fits;  // the track must hold at least this much of a thumb
  if (in.PageSize > 0) {
    len = range > 0 ? RoundEven(double(track) * in.PageSize / double(range)) : 0;
    len = std::max<int64_t>(len, base);
    const int64_t divisor = int64_t(in.Max) - in.PageSize - in.Min + 1;
    // Page at least the range: the thumb rests at the end (horizontal) or start.
    k = divisor > 0 ? double(pos) / double(divisor) : (in.Kind == sbHorizontal ? 1.0 : 0.0);
    fits = base;
  } else {
    len = noPage;
    k = in.Max > in.Min ? double(pos) / (double(in.Max) - in.Min) : 0.0;
    fits = len;
  }
  // Values outside the range (Max below Min among them) never push the
  // thumb out of the track.
  k = std::clamp(k, 0.0, 1.0);
  TAxisThumb t;
  t.centreMin = t.centreMax = s + int(track / 2);
  // A minimum longer than the track would run over the arrows: no thumb.
  if (track <= 0 || track < fits || len <= 0) return t;
  len = std::min(len, track);
  const int h = int(len / 2);
  t.centreMin = s + h;
  t.centreMax = e - h;
  t.offset = int(RoundEven(k * double(track - 2 * h)));
  t.start = s + t.offset;
  t.length = 2 * h;
  return t;
}

}  // namespace

TScrollBarParts LayoutScrollBar(const TScrollBarLayoutInput& in) {
  TScrollBarParts p;
  p.Kind = in.Kind;
  const bool horz = in.Kind == sbHorizontal;
  const int W = std::max(0, in.Width), H = std::max(0, in.Height);
  int base, noPage, across;  // thumb lengths along the bar and its thickness
  if (!in.Bound) {
    // Narrower than two arrows: the arrows share the length, the track is
    // empty; the one-pixel border shrinks away on a bar too thin for it.
    if (horz) {
      const int w = std::max(0, in.Both ? W - in.BothMarkerWidth : W);
      const int slot = std::min(kScrollButtonSlot, w / 2);
      const int a = std::min(1, slot), c = std::min(1, H / 2);
      p.Down = Ordered({a, c, slot, H - c});
      p.Up = Ordered({w - slot, c, w - a, H - c});
      p.Track = Ordered({slot, c, w - slot, H - c});
    } else {
      const int slot = std::min(kScrollButtonSlot, H / 2);
      const int a = std::min(1, slot), c = std::min(1, W / 2);
      p.Down = Ordered({c, a, W - c, slot});
      p.Up = Ordered({c, H - slot, W - c, H - a});
      p.Track = Ordered({c, slot, W - c, H - slot});
    }
    base = noPage = kScrollDefaultThumb;
    across = horz ? p.Track.Height() : p.Track.Width();
  } else {
    const int dW = W - in.SkinRect.Width(), dH = H - in.SkinRect.Height();
    p.Track = in.TrackArea;
    p.Up = in.UpButton;
    p.Down = in.DownButton;
    if (horz) {
      p.Track.Right += dW;
      // Buttons right of the stretching middle keep their distance to the right edge.
      if (in.RightTopPoint.X < p.Up.Left) p.Up = Shifted(p.Up, dW, 0);
      if (in.RightTopPoint.X < p.Down.Left) p.Down = Shifted(p.Down, dW, 0);
      base = in.ThumbMinSize != 0 ? in.ThumbMinSize : in.ThumbRect.Width();
      across = in.ThumbRect.Height();
    } else {
      p.Track.Bottom += dH;
      if (in.LeftBottomPoint.Y < p.Up.Top) p.Up = Shifted(p.Up, 0, dH);
      if (in.LeftBottomPoint.Y < p.Down.Top) p.Down = Shifted(p.Down, 0, dH);
      base = in.ThumbMinSize != 0 ? in.ThumbMinSize : in.ThumbRect.Height();
      across = in.ThumbRect.Width();
    }
    p.Track = Ordered(p.Track);
    noPage = in.ThumbMinPageSize != 0 ? in.ThumbMinPageSize : base;
  }
  const int s = horz ? p.Track.Left : p.Track.Top;
  const int e = horz ? p.Track.Right : p.Track.Bottom;
  const TAxisThumb t = ThumbAlong(s, e, in, base, noPage);
  p.ThumbCentreMin = t.centreMin;
  p.ThumbCentreMax = t.centreMax;
  p.ThumbOffset = t.offset;
  if (t.length <= 0 || across <= 0) return p;
  if (horz) {
    const int top = in.Bound ? p.Track.Top + p.Track.Height() / 2 - across / 2 : p.Track.Top;
    p.Thumb = {t.start, top, t.start + t.length, top + across};
  } else {
    const int left = in.Bound ? p.Track.Left + p.Track.Width() / 2 - across / 2 : p.Track.Left;
    p.Thumb = {left, t.start, left + across, t.start + t.length};
  }
  return p;
}

TScrollPart PartAt(const TScrollBarParts& parts, const QPoint& p) {
  if (parts.ThumbShown() && Contains(parts.Thumb, p)) return spThumb;
  if (Contains(parts.Up, p)) return spUp;
  if (Contains(parts.Down, p)) return spDown;
  if (!parts.ThumbShown() || !Contains(parts.Track, p)) return spNone;
  const bool horz = parts.Kind == sbHorizontal;
  const int along = horz ? p.x() : p.y();
  if (along < (horz ? parts.Thumb.Left : parts.Thumb.Top)) return spTrackBefore;
  if (along >= (horz ? parts.Thumb.Right : parts.Thumb.Bottom)) return spTrackAfter;
  return spNone;
}

// ---------------------------------------------------------------- the bar

TtwSkinScrollBar::TtwSkinScrollBar(QWidget* parent) : TtwSkinCustomControl(parent) {
  skinDataName_ = QStringLiteral("hscrollbar");
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  timer_ = new TwTimer(this);
  timer_->OnTimeout = [this] { RepeatTick(); };
  resize(200, 19);
  SetDefaultHeight(19);
}

TtwSkinScrollBar::~TtwSkinScrollBar() = default;

int TtwSkinScrollBar::UpperLimit() const {
  return pageSize_ == 0 ? max_ : ClampToInt(int64_t(max_) - pageSize_ + 1);
}

int TtwSkinScrollBar::Clamped(int v) const { return std::max(std::min(v, UpperLimit()), min_); }

void TtwSkinScrollBar::SetPosition(int v) {
  v = Clamped(v);
  if (v == position_) return;
  position_ = v;
  update();
  if (OnChange) OnChange(this);
  emit positionChanged(position_);
}

void TtwSkinScrollBar::SetParams(int min, int max, int pageSize, int position) {
  min_ = min;
  max_ = max;
  pageSize_ = std::max(0, pageSize);
  position_ = Clamped(position);
  update();
}

void TtwSkinScrollBar::SetMin(int v) {
  min_ = v;
  position_ = std::max(position_, min_);
  update();
}

void TtwSkinScrollBar::SetMax(int v) {
  max_ = v;
  position_ = Clamped(position_);
  update();
}

void TtwSkinScrollBar::SetPageSize(int v) {
  if (v >= 0 && int64_t(max_) - min_ + 1 >= int64_t(v) + position_) pageSize_ = v;
  update();
}

void TtwSkinScrollBar::SetSmallChange(int v) {
  smallChange_ = v;
  update();
}

void TtwSkinScrollBar::SetLargeChange(int v) {
  largeChange_ = v;
  update();
}

void TtwSkinScrollBar::SetKind(TScrollBarKind k) {
  if (k == kind_) return;
  kind_ = k;
  update();
}

void TtwSkinScrollBar::SetKindAsDesigned(TScrollBarKind k) {
  SetKind(k);
  const bool vert = k == sbVertical;
  SetSkinDataName(vert ? QStringLiteral("vscrollbar") : QStringLiteral("hscrollbar"));
  if ((vert && width() > height()) || (!vert && height() > width())) SetBounds(x(), y(), height(), width());
  const int thickness = std::max(defaultWidth_, defaultHeight_);
  defaultWidth_ = vert ? thickness : 0;
  defaultHeight_ = vert ? 0 : thickness;
  ApplySkin();
}

void TtwSkinScrollBar::SetBoth(bool v) {
  if (v == both_) return;
  both_ = v;
  if (v) {
    normalSkinDataName_ = skinDataName_;
    SetSkinDataName(bothSkinDataName_);
  } else if (!normalSkinDataName_.isEmpty()) {
    SetSkinDataName(normalSkinDataName_);
  }
  FindSkinRecord();
  if (recordIndex_ == -1) update();
  else ApplySkin();
}

void TtwSkinScrollBar::SetBothMarkerWidth(int v) {
  bothMarkerWidth_ = std::max(0, v);
  update();
}

void TtwSkinScrollBar::SetCanFocused(bool v) {
  canFocused_ = v;
  setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus);
}

bool TtwSkinScrollBar::RepeatRunning() const { return timer_->IsActive(); }

void TtwSkinScrollBar::FindSkinRecord() {
  TtwSkinCustomControl::FindSkinRecord();
  skin_ = {};
  const auto* r = dynamic_cast<const TtwDataSkinScrollBarControl*>(Record());
  if (!r) return;
  skin_.trackarea = r->trackarea;
  skin_.upbuttonrect = r->upbuttonrect;
  skin_.activeupbuttonrect = r->activeupbuttonrect;
  skin_.downupbuttonrect = r->downupbuttonrect.IsEmpty() ? r->activeupbuttonrect : r->downupbuttonrect;
  skin_.downbuttonrect = r->downbuttonrect;
  skin_.activedownbuttonrect = r->activedownbuttonrect;
  skin_.downdownbuttonrect = r->downdownbuttonrect.IsEmpty() ? r->activedownbuttonrect : r->downdownbuttonrect;
  skin_.thumbrect = r->thumbrect;
  skin_.activethumbrect = r->activethumbrect.IsEmpty() ? r->thumbrect : r->activethumbrect;
  skin_.downthumbrect = r->downthumbrect.IsEmpty() ? skin_.activethumbrect : r->downthumbrect;
  skin_.thumboffset1 = r->thumboffset1;
  skin_.thumboffset2 = r->thumboffset2;
  skin_.glyphrect = r->glyphrect;
  skin_.activeglyphrect = r->activeglyphrect.IsEmpty() ? r->glyphrect : r->activeglyphrect;
  skin_.downglyphrect = r->downglyphrect.IsEmpty() ? skin_.activeglyphrect : r->downglyphrect;
  skin_.glyphtransparent = r->glyphtransparent;
  skin_.glyphtransparentcolor = r->glyphtransparentcolor;
  skin_.thumbtransparent = r->thumbtransparent;
  skin_.thumbtransparentcolor = r->thumbtransparentcolor;
  skin_.thumbstretcheffect = r->thumbstretcheffect;
  skin_.thumbminsize = r->thumbminsize;
  skin_.thumbminpagesize = r->thumbminpagesize;
}

void TtwSkinScrollBar::FitToSkin(int& width, int& height) { TtwSkinCustomControl::FitToSkin(width, height); }

TScrollBarLayoutInput TtwSkinScrollBar::LayoutInput() const {
  TScrollBarLayoutInput in;
  in.Kind = kind_;
  in.Width = width();
  in.Height = height();
  in.Min = min_;
  in.Max = max_;
  in.Position = position_;
  in.PageSize = pageSize_;
  in.Both = both_;
  in.BothMarkerWidth = bothMarkerWidth_;
  // Only a scroll-bar record with a piece has parts of its own.
  in.Bound = recordIndex_ != -1 && geo_.PieceMode != pmNone &&
             dynamic_cast<const TtwDataSkinScrollBarControl*>(Record()) != nullptr;
  if (!in.Bound) return in;
  in.SkinRect = geo_.PieceRect;
  in.RightTopPoint = geo_.RightTopPoint;
  in.LeftBottomPoint = geo_.LeftBottomPoint;
  in.TrackArea = skin_.trackarea;
  in.UpButton = skin_.upbuttonrect;
  in.DownButton = skin_.downbuttonrect;
  in.ThumbRect = skin_.thumbrect;
  in.ThumbMinSize = skin_.thumbminsize;
  in.ThumbMinPageSize = skin_.thumbminpagesize;
  return in;
}

// ---------------------------------------------------------------- painting

namespace {

// Frame and fill of one part of the default look.
void DefaultPart(QPainter& p, const TRect& r, const QColor& frame, const QColor& fill) {
  if (r.IsEmpty()) return;
  p.fillRect(r.ToQ(), frame);
  if (r.Width() > 2 && r.Height() > 2) p.fillRect(r.ToQ().adjusted(1, 1, -1, -1), fill);
}

// A piece with its key colour made see-through.
QImage KeyedOut(QImage img, TColor key) {
  img = img.convertToFormat(QImage::Format_ARGB32);
  const QRgb k = ColorToQ(key).rgb() & 0xFFFFFF;
  for (int y = 0; y < img.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((row[x] & 0xFFFFFF) == k) row[x] = 0;
  }
  return img;
}

// A piece of src stretched by nearest pixel to w x h.
QImage Stretched(const QImage& src, const TRect& piece, int w, int h) {
  if (w <= 0 || h <= 0 || piece.IsEmpty()) return QImage();
  QImage out = TwNewSurface(w, h, QImage::Format_ARGB32);
  out.fill(0);
  CopyPixels(out, TRect{0, 0, w, h}, src, piece);
  return out;
}

// Draws a piece with see-through pixels onto a face of any pixel ratio.
void DrawOver(QImage& face, const QPoint& at, const QImage& piece) {
  if (piece.isNull()) return;
  QPainter p(&face);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(QRect(at, piece.size()), piece);
}

}  // namespace

void TtwSkinScrollBar::PaintDefault(QImage& bitmap) {
  const TScrollBarParts parts = Parts();
  QPainter p(&bitmap);
  p.fillRect(QRect(QPoint(0, 0), LogicalSize(bitmap)), SystemColor(COLOR_BTNFACE));
  auto look = [&](TScrollPart part, const TRect& r, bool pressedLook) {
    if (pressedLook) DefaultPart(p, r, twDefaultColors::HotFrame, twDefaultColors::DownFill);
    else if (hot_ == part) DefaultPart(p, r, twDefaultColors::HotFrame, twDefaultColors::HotFill);
    else DefaultPart(p, r, SystemColor(COLOR_BTNSHADOW), SystemColor(COLOR_BTNFACE));
  };
  const bool horz = kind_ == sbHorizontal;
  look(spUp, parts.Up, pressed_ == spUp && hot_ == spUp);
  look(spDown, parts.Down, pressed_ == spDown && hot_ == spDown);
  // Arrow directions: 1 left, 2 right, 3 up, 4 down.
  if (!parts.Up.IsEmpty()) DrawArrowMark(p, parts.Up, 0, horz ? 2 : 4);
  if (!parts.Down.IsEmpty()) DrawArrowMark(p, parts.Down, 0, horz ? 1 : 3);
  if (isEnabled() && parts.ThumbShown())
    look(spThumb, parts.Thumb, Dragging() || (canFocused_ && hasFocus()));
}

void TtwSkinScrollBar::PaintSkin(QImage& bitmap) {
  const TScrollBarLayoutInput in = LayoutInput();
  if (!in.Bound) {
    PaintDefault(bitmap);
    return;
  }
  TtwSkinCustomControl::PaintSkin(bitmap);
  const TScrollBarParts parts = LayoutScrollBar(in);
  const QImage& src = geo_.SourcePicture;
  // The bar's piece already shows the normal arrows.
  auto arrow = [&](TScrollPart part, const TRect& r, const TRect& active, const TRect& down) {
    if (hot_ != part || r.IsEmpty()) return;
    const TRect& piece = pressed_ == part ? down : active;
    DrawOver(bitmap, QPoint(r.Left, r.Top), Stretched(src, piece, r.Width(), r.Height()));
  };
  arrow(spUp, parts.Up, skin_.activeupbuttonrect, skin_.downupbuttonrect);
  arrow(spDown, parts.Down, skin_.activedownbuttonrect, skin_.downdownbuttonrect);
  if (isEnabled() && parts.ThumbShown()) PaintThumbSkin(bitmap, parts);
}

void TtwSkinScrollBar::PaintThumbSkin(QImage& bitmap, const TScrollBarParts& parts) {
  const QImage& src = geo_.SourcePicture;
  const bool down = Dragging() || (canFocused_ && hasFocus());
  const bool active = !down && hot_ == spThumb;
  const TRect piece = down ? skin_.downthumbrect : active ? skin_.activethumbrect : skin_.thumbrect;
  const TRect glyph = down ? skin_.downglyphrect : active ? skin_.activeglyphrect : skin_.glyphrect;
  if (piece.IsEmpty()) return;
  const bool horz = kind_ == sbHorizontal;
  const int w = parts.Thumb.Width(), h = parts.Thumb.Height();
  QImage thumb;
  if (pageSize_ > 0 || skin_.thumbminpagesize != 0) {
    if (horz)
      ComposeThreePieceH(src, piece, skin_.thumboffset1, skin_.thumboffset2, skin_.thumbstretcheffect, w, thumb);
    else
      ComposeThreePieceV(src, piece, skin_.thumboffset1, skin_.thumboffset2, skin_.thumbstretcheffect, h, thumb);
    if (!thumb.isNull() && thumb.size() != QSize(w, h))
      thumb = Stretched(thumb, TRect{0, 0, thumb.width(), thumb.height()}, w, h);
  } else {
    thumb = Stretched(src, piece, w, h);
  }
  if (thumb.isNull()) return;
  thumb = thumb.convertToFormat(QImage::Format_ARGB32);
  // The glyph sits in the middle when the thumb is longer than it.
  if (!glyph.IsEmpty() && (horz ? glyph.Width() < w : glyph.Height() < h)) {
    QImage g = Stretched(src, glyph, glyph.Width(), glyph.Height());
    if (skin_.glyphtransparent) g = KeyedOut(g, skin_.glyphtransparentcolor);
    QPainter gp(&thumb);
    gp.drawImage(QPoint((w - g.width()) / 2, (h - g.height()) / 2), g);
  }
  if (skin_.thumbtransparent) thumb = KeyedOut(thumb, skin_.thumbtransparentcolor);
  DrawOver(bitmap, QPoint(parts.Thumb.Left, parts.Thumb.Top), thumb);
}

// ---------------------------------------------------------------- state

void TtwSkinScrollBar::SetPressed(TScrollPart part) {
  if (part == pressed_) return;
  pressed_ = part;
  timer_->Stop();
  waitFirst_ = false;
  switch (part) {
    case spUp: repeat_ = rpUpButton; break;
    case spDown: repeat_ = rpDownButton; break;
    case spTrackBefore: repeat_ = rpPageUp; break;
    case spTrackAfter: repeat_ = rpPageDown; break;
    default: repeat_ = rpNone; break;
  }
  if (repeat_ != rpNone) {
    waitFirst_ = true;
    timer_->Start(kScrollRepeatDelayMs);
  }
  update();
}

bool TtwSkinScrollBar::StepBy(int delta) {
  const int before = position_;
  SetPosition(ClampToInt(int64_t(position_) + delta));
  return position_ != before;
}

bool TtwSkinScrollBar::Step(TRepeat r) {
  switch (r) {
    case rpUpButton:
      // A handler decides for itself when there is nothing more to do.
      if (OnUpButtonClick) {
        OnUpButtonClick(this);
        return true;
      }
      return StepBy(smallChange_);
    case rpDownButton:
      if (OnDownButtonClick) {
        OnDownButtonClick(this);
        return true;
      }
      return StepBy(-smallChange_);
    case rpPageUp: {
      const bool moved = StepBy(-largeChange_);
      if (OnPageUp) OnPageUp(this);
      return moved;
    }
    case rpPageDown: {
      const bool moved = StepBy(largeChange_);
      if (OnPageDown) OnPageDown(this);
      return moved;
    }
    default:
      return false;
  }
}

bool TtwSkinScrollBar::PointerBeforeThumb(bool before) const {
  const TScrollBarParts parts = Parts();
  if (!parts.ThumbShown()) return false;
  const int along = Along(lastPos_);
  const bool horz = kind_ == sbHorizontal;
  return before ? along < (horz ? parts.Thumb.Left : parts.Thumb.Top)
                : along >= (horz ? parts.Thumb.Right : parts.Thumb.Bottom);
}

void TtwSkinScrollBar::RepeatTick() {
  if (waitFirst_) {
    waitFirst_ = false;
    timer_->Start(kScrollRepeatIntervalMs);
    return;
  }
  bool go = true;
  if (repeat_ == rpPageUp || repeat_ == rpPageDown) {
    TrackPointer(lastPos_);
    go = PointerBeforeThumb(repeat_ == rpPageUp);
  }
  // A step that moves nothing (a zero change, the end of the range) ends
  // the repeat; otherwise a zero change would tick for ever.
  if (!go || !Step(repeat_)) timer_->Stop();
}

void TtwSkinScrollBar::Press(TScrollPart part, const QPoint& at) {
  lastPos_ = at;
  mousePressed_ = true;
  switch (part) {
    case spThumb:
      dragStartAlong_ = Along(at);
      dragStartOffset_ = Parts().ThumbOffset;
      SetHot(spThumb);
      SetPressed(spThumb);
      break;
    case spUp:
    case spDown:
      SetHot(part);
      SetPressed(part);
      Step(part == spUp ? rpUpButton : rpDownButton);
      break;
    case spTrackBefore:
    case spTrackAfter:
      SetPressed(part);
      Step(part == spTrackBefore ? rpPageUp : rpPageDown);
      break;
    default:
      break;
  }
}

void TtwSkinScrollBar::Release() {
  const bool wasDragging = Dragging();
  mousePressed_ = false;
  SetPressed(spNone);
  if (wasDragging && OnLastChange) OnLastChange(this);
}

void TtwSkinScrollBar::SetHot(TScrollPart part) {
  if (part == hot_) return;
  const bool arrowPressed = pressed_ == spUp || pressed_ == spDown;
  // Off a pressed arrow the repeat pauses; back on it, it goes on at speed.
  if (arrowPressed && hot_ == pressed_) timer_->Stop();
  hot_ = part;
  if (arrowPressed && hot_ == pressed_) timer_->Start(kScrollRepeatIntervalMs);
  update();
}

void TtwSkinScrollBar::TrackPointer(const QPoint& at) {
  TScrollPart part = PartAt(Parts(), at);
  if (part == spTrackBefore || part == spTrackAfter) part = spNone;
  // While a part is held no other part lights up.
  const bool held = pressed_ == spThumb || pressed_ == spUp || pressed_ == spDown;
  if (held && part != pressed_) part = spNone;
  if (pressed_ == spThumb) part = spThumb;
  SetHot(part);
}

void TtwSkinScrollBar::PointerLeftBar() {
  if (pressed_ == spNone && hot_ != spNone) SetHot(spNone);
  // Paging forward stops when the pointer leaves the bar; paging back goes on.
  if (mousePressed_ && repeat_ == rpPageDown) timer_->Stop();
}

void TtwSkinScrollBar::DragTo(const QPoint& at) {
  const TScrollBarParts parts = Parts();
  const int d = Along(at) - dragStartAlong_ + dragStartOffset_;
  const int span = parts.ThumbCentreMax - parts.ThumbCentreMin;
  const double t = span > 0 ? std::clamp(double(d) / span, 0.0, 1.0) : 0.0;
  const int64_t range = pageSize_ > 0 ? int64_t(max_) - min_ - pageSize_ + 1 : int64_t(max_) - min_;
  SetPosition(ClampToInt(min_ + RoundEven(double(std::max<int64_t>(range, 0)) * t)));
}

void TtwSkinScrollBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    TtwSkinCustomControl::mousePressEvent(e);
    return;
  }
  if (canFocused_ && !hasFocus()) setFocus(Qt::MouseFocusReason);
  Press(PartAt(Parts(), e->position().toPoint()), e->position().toPoint());
  e->accept();
}

void TtwSkinScrollBar::mouseMoveEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  lastPos_ = at;
  TrackPointer(at);
  if (Dragging()) DragTo(at);
  // Qt keeps the pointer while a button is held; leaving shows only here.
  if (mousePressed_ && !rect().contains(at)) PointerLeftBar();
  TtwSkinCustomControl::mouseMoveEvent(e);
}

void TtwSkinScrollBar::mouseReleaseEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton || !mousePressed_) return;
  Release();
  TrackPointer(e->position().toPoint());
}

void TtwSkinScrollBar::leaveEvent(QEvent* e) {
  PointerLeftBar();
  TtwSkinCustomControl::leaveEvent(e);
}

void TtwSkinScrollBar::keyPressEvent(QKeyEvent* e) {
  if (!canFocused_) {
    TtwSkinCustomControl::keyPressEvent(e);
    return;
  }
  switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      StepBy(-smallChange_);
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      StepBy(smallChange_);
      break;
    default:
      TtwSkinCustomControl::keyPressEvent(e);
      return;
  }
  e->accept();
}

void TtwSkinScrollBar::wheelEvent(QWheelEvent* e) {
  // A bar that cannot take the focus (beside a tree or memo) still answers
  // the wheel under the pointer, as users expect of any scroll bar.
  if (canFocused_ && !hasFocus()) {
    e->ignore();
    return;
  }
  const QPoint d = e->angleDelta();
  const int delta = d.y() != 0 ? d.y() : d.x();
  if (delta == 0) {
    e->ignore();
    return;
  }
  StepBy(delta <= 0 ? smallChange_ : -smallChange_);
  e->accept();
}

void TtwSkinScrollBar::focusInEvent(QFocusEvent* e) {
  TtwSkinCustomControl::focusInEvent(e);
  update();
}

void TtwSkinScrollBar::focusOutEvent(QFocusEvent* e) {
  TtwSkinCustomControl::focusOutEvent(e);
  if (mousePressed_) Release();
  update();
}

void TtwSkinScrollBar::changeEvent(QEvent* e) {
  TtwSkinCustomControl::changeEvent(e);
  if (e->type() != QEvent::EnabledChange) return;
  if (!isEnabled() && mousePressed_) Release();
  update();
}

// ---------------------------------------------------------------- the link

TtwScrollBarLink::TtwScrollBarLink(QAbstractScrollArea* area, Qt::Orientation orientation,
                                   TtwSkinScrollBar* bar)
    : QObject(area), area_(area), bar_(bar), orientation_(orientation) {
  hidden_ = orientation == Qt::Vertical ? area->verticalScrollBar() : area->horizontalScrollBar();
  if (orientation == Qt::Vertical) area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  else area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  bar->SetEnabled(true);
  bar->hide();
  // A page step changes without a signal, often just after the range: the
  // range change syncs now and once more when control returns to the loop.
  connect(hidden_, &QScrollBar::rangeChanged, this, [this] {
    Sync();
    SyncLater();
  });
  connect(hidden_, &QScrollBar::valueChanged, this, [this] { Sync(); });
  connect(bar, &TtwSkinScrollBar::positionChanged, this, [this](int pos) { BarMoved(pos); });
  area->installEventFilter(this);
  area->viewport()->installEventFilter(this);
  Sync();
}

void TtwScrollBarLink::SyncLater() {
  if (pending_) return;
  pending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        pending_ = false;
        Sync();
      },
      Qt::QueuedConnection);
}

TtwScrollBarLink::~TtwScrollBarLink() = default;

bool TtwScrollBarLink::Needed() const {
  return hidden_ && hidden_->maximum() > hidden_->minimum();
}

void TtwScrollBarLink::Sync() {
  if (syncing_) {
    again_ = true;
    return;
  }
  if (!hidden_ || !bar_ || !area_) return;
  syncing_ = true;
  // Showing a bar resizes the area, which may change the range again; a
  // few rounds settle it (each round can only add bars).
  for (int round = 0; round < 4; ++round) {
    again_ = false;
    const int page = hidden_->pageStep();
    const int max = ClampToInt(int64_t(hidden_->maximum()) + page - 1);
    bar_->SetParams(hidden_->minimum(), max, page, hidden_->value());
    bar_->SetSmallChange(hidden_->singleStep());
    bar_->SetLargeChange(page);
    const bool shown = Needed() && !area_->isHidden();
    if (bar_->isHidden() == shown) {
      bar_->setVisible(shown);
      if (OnShownChanged) OnShownChanged(shown);
    }
    if (!again_) break;
  }
  syncing_ = false;
}

void TtwScrollBarLink::BarMoved(int position) {
  if (syncing_ || !hidden_) return;
  hidden_->setValue(position);
}

bool TtwScrollBarLink::eventFilter(QObject* o, QEvent* e) {
  // Events sent from QWidget's destructor come after the area's own part is
  // gone: qobject_cast then fails (the meta-object is QWidget's again), and
  // the area is not touched, nor even cast.
  if (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent) {
    auto* area = qobject_cast<QAbstractScrollArea*>(o);
    if (area && area == area_.get()) Sync();
  } else if (e->type() == QEvent::Resize && o->isWidgetType()) {
    // A new viewport size means a new page once the area has laid out.
    auto* area = qobject_cast<QAbstractScrollArea*>(static_cast<QWidget*>(o)->parentWidget());
    if (area && area == area_.get() && o == area->viewport()) SyncLater();
  }
  return false;
}

void TtwScrollBarLink::Pair(TtwScrollBarLink* vertical, TtwScrollBarLink* horizontal) {
  if (!vertical || !horizontal) return;
  QPointer<TtwSkinScrollBar> h = horizontal->Bar();
  auto corner = [h](bool shown) {
    if (h) h->SetBoth(shown);
  };
  vertical->OnShownChanged = corner;
  if (vertical->Bar()) corner(!vertical->Bar()->isHidden());
}
