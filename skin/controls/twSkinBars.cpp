// Tool bar and status bar: a tool bar keeps its controls vertically centred,
// shares its settings with its speed buttons and scrolls controls that do
// not fit between two arrows; a status bar shares its skin data with its
// panels, tells them where its size grip is and draws the grip.
#include "skin/controls/twSkinBars.h"

#include <QChildEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include "platform/Message.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"
#include "skin/draw/tweffects.h"

namespace {
template <class T, class F>
void ForChildren(QObject* parent, F f) {
  for (QObject* o : parent->children())
    if (auto* c = qobject_cast<T*>(o)) f(c);
}

// Arrow directions of DrawArrowMark.
constexpr int kArrowLeft = 1, kArrowRight = 2;

// One scroll arrow. The bar keeps every bit of state; the arrow only passes
// the pointer on and shows the bar's picture of it. It is a child widget
// stacked above the bar's controls, so controls scrolled under it stay hidden.
class TtwScrollArrow : public QWidget {
 public:
  TtwScrollArrow(TtwSkinToolBar* bar, int side) : QWidget(bar), bar_(bar), side_(side) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
  }

 protected:
  int Code() const { return side_ == 0 ? kHitScrollLeft : kHitScrollRight; }
  bool Inside(QMouseEvent* e) const { return rect().contains(e->position().toPoint()); }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(rect(), bar_->RenderScrollButton(side_));
  }
  void enterEvent(QEnterEvent*) override { bar_->ScrollMouseMove(Code()); }
  void leaveEvent(QEvent*) override { bar_->ScrollMouseLeave(); }
  void mouseMoveEvent(QMouseEvent* e) override {
    // While held the arrow keeps the pointer: moving off it counts as leaving.
    if (Inside(e)) bar_->ScrollMouseMove(Code());
    else bar_->ScrollMouseLeave();
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) bar_->ScrollMouseDown(Code());
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override { mousePressEvent(e); }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) bar_->ScrollMouseUp(Inside(e) ? Code() : kHitClient);
  }

 private:
  TtwSkinToolBar* bar_;
  int side_;
};

}  // namespace

// ---------------------------------------------------------------- tool bar

TtwSkinToolBar::TtwSkinToolBar(QWidget* parent) : TtwSkinPanel(parent) {
  compositePaint_ = false;
  skinDataName_ = QStringLiteral("toolpanel");
  borderStyle_ = bvNone;
  defaultHeight_ = 0;
  resize(width(), 25);
  scrollTimer_.OnTimeout = [this] { ScrollStep(timerMode_ == 2); };
}

void TtwSkinToolBar::SetAdjustControls(bool v) {
  adjustControls_ = v;
  if (v) CentreChildren();
}

void TtwSkinToolBar::SetSkinData(TtwSkinData* data) {
  TtwSkinPanel::SetSkinData(data);
  ForChildren<TtwSkinSpeedButton>(this, [data](TtwSkinSpeedButton* b) { b->SetSkinData(data); });
}

void TtwSkinToolBar::SetFlat(bool v) {
  flat_ = v;
  ForChildren<TtwSkinSpeedButton>(this, [v](TtwSkinSpeedButton* b) { b->SetFlat(v); });
}

void TtwSkinToolBar::SetImages(TImageList* l) {
  images_ = l;
  WatchList(l);
  PushImages();
}

void TtwSkinToolBar::SetHotImages(TImageList* l) {
  hotImages_ = l;
  WatchList(l);
  PushImages();
}

void TtwSkinToolBar::SetDisabledImages(TImageList* l) {
  disabledImages_ = l;
  WatchList(l);
  PushImages();
}

void TtwSkinToolBar::WatchList(TImageList* l) {
  // A removed list clears itself from the bar and every button (guarded
  // references); the buttons then repaint without it.
  if (l) connect(l, &QObject::destroyed, this, [this] { PushImages(); }, Qt::UniqueConnection);
}

void TtwSkinToolBar::PushImages() {
  ForChildren<TtwSkinSpeedButton>(this, [this](TtwSkinSpeedButton* b) {
    b->SetBarImages(images_, hotImages_, disabledImages_);
  });
}

void TtwSkinToolBar::SetShowCaptions(bool v) {
  if (v == showCaptions_) return;
  showCaptions_ = v;
  if (autoShowHideCaptions_)
    ForChildren<TtwSkinSpeedButton>(this, [v](TtwSkinSpeedButton* b) { b->SetShowCaption(v); });
  if (widthWithCaptions_ != 0 && widthWithoutCaptions_ != 0)
    SetWidth(v ? widthWithCaptions_ : widthWithoutCaptions_);
}

int TtwSkinToolBar::CentredTop(int childHeight) const {
  const QRect r = AlignClientRect();
  return r.top() + r.height() / 2 - childHeight / 2;
}

void TtwSkinToolBar::CentreChild(QWidget* w) {
  if (!adjustControls_ || centring_ || w->isWindow() || IsArrow(w) || WidgetAlign(w) != TAlign::alNone) return;
  const int top = CentredTop(w->height());
  if (w->y() == top) return;
  centring_ = true;
  w->move(w->x(), top);
  centring_ = false;
}

void TtwSkinToolBar::CentreChildren() {
  for (QWidget* w : Controls()) {
      if (auto* t = dynamic_cast<TBoundsTarget*>(w); t && WidgetAlign(w) == TAlign::alNone)
        t->SetBounds(w->x(), w->y(), w->width(), w->height());
      else
      CentreChild(w);
  }
}

void TtwSkinToolBar::SetBounds(int left, int top, int width, int height) {
  TtwSkinPanel::SetBounds(left, top, width, height);
  CentreChildren();
}

void TtwSkinToolBar::childEvent(QChildEvent* e) {
  TtwSkinPanel::childEvent(e);
  auto* w = qobject_cast<QWidget*>(e->child());
  if (!w || IsArrow(w)) return;
  if (e->type() == QEvent::ChildAdded) {
    w->installEventFilter(this);
    // A new control is stacked above the arrows; they must stay on top.
    for (QWidget* a : arrowWidgets_)
      if (a) a->raise();
  }
  if (e->type() == QEvent::ChildPolished) {
    CentreChild(w);
    if (auto* b = qobject_cast<TtwSkinSpeedButton*>(w)) b->SetBarImages(images_, hotImages_, disabledImages_);
  }
  if (e->type() == QEvent::ChildRemoved) UpdateScroll();
}

bool TtwSkinToolBar::event(QEvent* e) {
  if (TMessage* m = MessageOf(e); m && m->Msg == SKIN_MSG_CHILD_BOUNDS) {
    // A control placed itself: centre it, and hand a speed button the
    // bar's images (a button made after the images were set needs them).
    auto* w = reinterpret_cast<QWidget*>(m->WParam);
    if (w && w->parent() == this) {
      CentreChild(w);
      if (auto* b = qobject_cast<TtwSkinSpeedButton*>(w)) b->SetBarImages(images_, hotImages_, disabledImages_);
    }
    return true;
  }
  return TtwSkinPanel::event(e);
}

bool TtwSkinToolBar::eventFilter(QObject* watched, QEvent* e) {
  if (watched->parent() == this && !IsArrow(watched)) {
    const QEvent::Type t = e->type();
    if (t == QEvent::Move || t == QEvent::Resize) CentreChild(static_cast<QWidget*>(watched));
    if (t == QEvent::Move || t == QEvent::Resize || t == QEvent::ShowToParent || t == QEvent::HideToParent)
      UpdateScroll();
  }
  return TtwSkinPanel::eventFilter(watched, e);
}

void TtwSkinToolBar::resizeEvent(QResizeEvent* e) {
  const int oldWidth = e->oldSize().width();
  growOffset_ = oldWidth > 0 && width() > oldWidth ? width() - oldWidth : 0;
  TtwSkinPanel::resizeEvent(e);
  CentreChildren();
  for (int side = 0; side < 2; ++side)
    if (arrowWidgets_[side]) arrowWidgets_[side]->setGeometry(ScrollButtonRect(side));
  UpdateScroll();
}

// ---------------------------------------------------------------- scrolling

bool TtwSkinToolBar::IsArrow(const QObject* o) const {
  return o && (o == arrowWidgets_[0] || o == arrowWidgets_[1]);
}

QList<QWidget*> TtwSkinToolBar::Controls() const {
  QList<QWidget*> out;
  for (QObject* o : children())
    if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && !IsArrow(w)) out << w;
  return out;
}

void TtwSkinToolBar::SetCanScroll(bool v) {
  if (v == canScroll_) return;
  if (!v) {
    MoveControls(scrollPos_);
    growOffset_ = scrollMax_ = scrollPos_ = scrollPage_ = scrollPosOld_ = 0;
    ShowScrollButtons(false);
  }
  canScroll_ = v;
  UpdateScroll();
}

int TtwSkinToolBar::ScrollClientWidth() const { return std::max(0, width() - 2 * Inset()); }

QRect TtwSkinToolBar::ScrollButtonRect(int side) const {
  if (!scrollShown_) return QRect();
  return side == 0 ? QRect(0, 0, kScrollButtonWidth, height())
                   : QRect(width() - kScrollButtonWidth, 0, kScrollButtonWidth, height());
}

int TtwSkinToolBar::HitTest(const QPoint& p) const {
  if (scrollShown_ && p.x() < Inset()) return kHitScrollLeft;
  if (scrollShown_ && p.x() >= Inset() + ScrollClientWidth()) return kHitScrollRight;
  return kHitClient;
}

void TtwSkinToolBar::MoveControls(int dx) {
  if (dx == 0) return;
  const bool was = updatingScroll_;
  updatingScroll_ = true;  // half-moved controls are no extent to measure
  for (QWidget* w : Controls()) w->move(w->x() + dx, w->y());
  updatingScroll_ = was;
}

// The arrows take their room from the bar's ends, so the controls keep
// their place relative to the room between them.
void TtwSkinToolBar::ShowScrollButtons(bool show) {
  if (show == scrollShown_) return;
  scrollShown_ = show;
  MoveControls(show ? kScrollButtonWidth : -kScrollButtonWidth);
  for (int side = 0; side < 2; ++side) {
    if (!arrowWidgets_[side]) {
      if (!show) continue;
      arrowWidgets_[side] = new TtwScrollArrow(this, side);
    }
    arrows_[side] = ScrollArrow{};
    arrowWidgets_[side]->setGeometry(ScrollButtonRect(side));
    arrowWidgets_[side]->setVisible(show);
    arrowWidgets_[side]->raise();
  }
  if (!show) StopScrollTimer();
  update();
}

void TtwSkinToolBar::UpdateScroll() {
  if (!canScroll_ || width() == 0 || updatingScroll_) return;
  updatingScroll_ = true;
  int a = 0;  // the controls' right edge, from the left end of the room between the arrows
  for (QWidget* w : Controls())
    if (w->isVisibleTo(this)) a = std::max(a, w->x() - Inset() + w->width());
  if (!scrollShown_ && a != 0 && a > width()) ShowScrollButtons(true);
  const int c = ScrollClientWidth();
  if (scrollShown_ && a != 0 && a + scrollPos_ > c) {
    const int oldMax = scrollMax_;
    scrollMax_ = scrollPos_ + a - 1;
    scrollPage_ = c;
    if (growOffset_ > 0 && scrollPos_ > 0 && a < c) {
      // The bar grew while scrolled: give the new room to the hidden left part.
      growOffset_ = std::min(growOffset_, scrollPos_);
      scrollPos_ -= growOffset_;
      MoveControls(growOffset_);
    } else if (scrollPos_ > 0 && a < c && scrollMax_ <= oldMax) {
      // Never past the start: a negative position would open a gap at the left.
      const int d = std::min(c - a, scrollPos_);
      scrollPos_ -= d;
      MoveControls(d);
    }
    scrollPosOld_ = scrollPos_;
    growOffset_ = 0;  // the growth of one bounds change, used by its measuring only
  } else {
    MoveControls(scrollPos_);
    growOffset_ = scrollMax_ = scrollPos_ = scrollPage_ = scrollPosOld_ = 0;
    ShowScrollButtons(false);
  }
  updatingScroll_ = false;
}

void TtwSkinToolBar::ScrollStep(bool right) {
  if (!scrollShown_) return;
  const int s = scrollOffset_ != 0 ? scrollOffset_ : ScrollClientWidth();
  const int pos = right ? std::max(scrollPos_, std::min(scrollPos_ + s, scrollMax_ - scrollPage_ + 1))
                        : std::max(scrollPos_ - s, 0);
  if (pos == scrollPos_) {
    StopScrollTimer();
    return;
  }
  MoveControls(scrollPosOld_ - pos);
  scrollPos_ = scrollPosOld_ = pos;
  update();
}

void TtwSkinToolBar::StartScrollTimer(int mode) {
  timerMode_ = mode;
  scrollTimer_.Start(scrollTimerInterval_);
}

void TtwSkinToolBar::StopScrollTimer() {
  scrollTimer_.Stop();
  timerMode_ = 0;
}

void TtwSkinToolBar::RepaintArrows() {
  for (QWidget* a : arrowWidgets_)
    if (a) a->update();
}

void TtwSkinToolBar::ScrollMouseMove(int hit) {
  if (!scrollShown_) return;
  if (hit != kHitScrollLeft && hit != kHitScrollRight) {
    ScrollMouseLeave();
    return;
  }
  const int side = hit == kHitScrollLeft ? 0 : 1;
  if (arrows_[side].Hot) return;
  arrows_[side].Hot = true;
  arrows_[1 - side].Hot = false;
  RepaintArrows();
  if (hotScroll_) StartScrollTimer(side + 1);
}

void TtwSkinToolBar::ScrollMouseDown(int hit) {
  if (!scrollShown_ || (hit != kHitScrollLeft && hit != kHitScrollRight)) return;
  const int side = hit == kHitScrollLeft ? 0 : 1;
  // A press comes with the pointer over the arrow, even when no move told us.
  arrows_[side].Pressed = arrows_[side].Hot = true;
  arrows_[1 - side].Hot = false;
  RepaintArrows();
  StartScrollTimer(side + 1);
}

void TtwSkinToolBar::ScrollMouseUp(int hit) {
  StopScrollTimer();
  if (hit != kHitScrollLeft && hit != kHitScrollRight) {
    // Released away from the arrow: no step.
    arrows_[0].Pressed = arrows_[1].Pressed = false;
    RepaintArrows();
    return;
  }
  const int side = hit == kHitScrollLeft ? 0 : 1;
  arrows_[side].Pressed = false;
  RepaintArrows();
  ScrollStep(side == 1);
}

void TtwSkinToolBar::ScrollMouseLeave() {
  arrows_[0].Hot = arrows_[1].Hot = false;
  StopScrollTimer();
  RepaintArrows();
}

QImage TtwSkinToolBar::RenderScrollButton(int side) const {
  const int w = kScrollButtonWidth, h = std::max(height(), 1);
  const ScrollArrow& s = arrows_[side];
  const bool downLook = (s.Pressed && s.Hot) || (s.Hot && hotScroll_);
  QImage img = TwNewSurface(w, h, QImage::Format_RGB32);
  if (img.isNull()) return img;
  TColor arrow = clBtnText;
  if (scrollLook_.Bound) {
    const TtwSkinGeometry& g = scrollLook_.Geo;
    TRect piece = g.PieceRect;
    arrow = scrollLook_.Font;
    if (!scrollLook_.Down.IsEmpty() && downLook) {
      piece = scrollLook_.Down;
      arrow = scrollLook_.DownFont;
    } else if (s.Hot && !scrollLook_.Active.IsEmpty()) {
      piece = scrollLook_.Active;
      arrow = scrollLook_.ActiveFont;
    }
    img.fill(SystemColor(COLOR_BTNFACE));
    QImage part;
    const TPieceAnchors fit = ShiftAnchors(pmNinePiece, g.PieceRect, g.SkinAnchors(), w, h);
    ComposeNinePiece(g.SourcePicture, piece, g.SkinAnchors(), w, h, fit, g.Edges(), true, g.StretchEffect(),
                     g.StretchType(), part);
    QPainter(&img).drawImage(0, 0, part);
  } else {
    const QColor frame = downLook || s.Hot ? twDefaultColors::HotFrame : SystemColor(COLOR_BTNSHADOW);
    const QColor fill = downLook ? twDefaultColors::DownFill : s.Hot ? twDefaultColors::HotFill : SystemColor(COLOR_BTNFACE);
    img.fill(fill);
    QPainter p(&img);
    QRect r(0, 0, w, h);
    DrawBevel(p, r, frame, frame);
  }
  QPainter p(&img);
  DrawArrowMark(p, TRect{0, 0, w, h}, arrow, side == 0 ? kArrowLeft : kArrowRight);
  return img;
}

QRect TtwSkinToolBar::AlignClientRect() const {
  const QRect r = TtwSkinPanel::AlignClientRect();
  if (!scrollShown_) return r;
  return QRect(Inset() - scrollPos_, r.top(), std::max(scrollMax_, ScrollClientWidth()), r.height());
}

void TtwSkinToolBar::FindSkinRecord() {
  TtwSkinPanel::FindSkinRecord();
  scrollLook_.Bound = false;
  // Looked up on every paint: a bar that never scrolls skips it.
  if (!canScroll_ || recordIndex_ == -1 || !skinData_) return;
  const int i = skinData_->FindControlIndex(QStringLiteral("resizebutton"));
  if (i == -1) return;
  auto* r = dynamic_cast<const TtwDataSkinButtonControl*>(skinData_->ControlRecords()[i]);
  if (!r) return;
  scrollLook_.Geo.Bind(*skinData_, r, false);
  if (scrollLook_.Geo.PieceMode == pmNone || scrollLook_.Geo.SourcePicture.isNull()) return;
  scrollLook_.Active = r->activeskinrect;
  scrollLook_.Down = r->downskinrect;
  scrollLook_.Font = r->fontcolor;
  scrollLook_.ActiveFont = r->activefontcolor;
  scrollLook_.DownFont = r->downfontcolor;
  scrollLook_.Bound = true;
}

void TtwSkinToolBar::PaintSkin(QImage& bitmap) {
  if (!scrollShown_ || geo_.PieceMode != pmThreePieceH) {
    TtwSkinPanel::PaintSkin(bitmap);
    return;
  }
  // Between the arrows neither end of the piece is in view: only its middle.
  QImage middle;
  ComposeMiddleH(geo_.SourcePicture, geo_.PieceRect, geo_.LeftTopPoint.X,
                 geo_.PieceRect.Width() - geo_.RightTopPoint.X, geo_.StretchEffect(), LogicalSize(bitmap).width(),
                 middle);
  DrawLogical(bitmap, QPoint(0, 0), middle);
}

// ---------------------------------------------------------------- status bar

TtwSkinStatusBar::TtwSkinStatusBar(QWidget* parent) : TtwSkinPanel(parent) {
  setMouseTracking(true);
  skinDataName_ = QStringLiteral("statusbar");
  borderStyle_ = bvNone;
  compositePaint_ = false;
  resize(width(), 21);
  SetAlign(TAlign::alBottom);
}

void TtwSkinStatusBar::SetSkinData(TtwSkinData* data) {
  TtwSkinPanel::SetSkinData(data);
  ForChildren<TtwSkinControl>(this, [data](TtwSkinControl* c) { c->SetSkinData(data); });
}

void TtwSkinStatusBar::SetSizeGrip(bool v) {
  sizeGrip_ = v;
  update();
  AlignChildren(this);
  PushGrip();
}

void TtwSkinStatusBar::SetShowGrip(bool v) {
  showGrip_ = v;
  update();
  AlignChildren(this);
  PushGrip();
}

void TtwSkinStatusBar::ApplySkin() {
  TtwSkinPanel::ApplySkin();
  PushGrip();  // another skin may bring another gripper piece
}

void TtwSkinStatusBar::PushGrip() {
  const QRect grip = GripShown() ? GripRect() : QRect();
  ForChildren<TtwSkinStatusPanel>(this, [&grip](TtwSkinStatusPanel* p) {
    p->SetBarGrip(grip.isEmpty() ? QRect() : grip.translated(-p->pos()));
  });
}

void TtwSkinStatusBar::childEvent(QChildEvent* e) {
  TtwSkinPanel::childEvent(e);
  auto* panel = qobject_cast<TtwSkinStatusPanel*>(e->child());
  if (!panel) return;
  if (e->type() == QEvent::ChildAdded) panel->installEventFilter(this);
  if (e->type() == QEvent::ChildPolished) {
    // A panel made after the bar was skinned gets the bar's skin data.
    if (skinData_ && !panel->SkinData()) panel->SetSkinData(skinData_);
    PushGrip();
  }
}

bool TtwSkinStatusBar::eventFilter(QObject* watched, QEvent* e) {
  if (watched->parent() == this && (e->type() == QEvent::Move || e->type() == QEvent::Resize)) PushGrip();
  return TtwSkinPanel::eventFilter(watched, e);
}

void TtwSkinStatusBar::resizeEvent(QResizeEvent* e) {
  TtwSkinPanel::resizeEvent(e);
  PushGrip();
}

void TtwSkinStatusBar::FindSkinRecord() {
  TtwSkinPanel::FindSkinRecord();
  gripperrect_ = TRect{};
  if (auto* r = dynamic_cast<const TtwDataSkinPanelControl*>(Record())) {
    gripperrect_ = r->gripperrect;
    grippertransparent_ = r->grippertransparent;
    grippertransparentcolor_ = r->grippertransparentcolor;
  }
}

QRect TtwSkinStatusBar::AlignClientRect() const {
  QRect r = TtwSkinPanel::AlignClientRect();
  if (!(sizeGrip_ && showGrip_)) return r;
  const bool skinGrip = recordIndex_ != -1 && !gripperrect_.IsEmpty();
  r.setWidth(qMax(0, r.width() - (skinGrip ? gripperrect_.Width() : r.height())));
  return r;
}

QRect TtwSkinStatusBar::GripRect() const {
  const QRect r = AlignClientRect();
  const int right = r.x() + r.width(), bottom = r.y() + r.height();
  if (recordIndex_ != -1 && !gripperrect_.IsEmpty())
    return QRect(right, bottom - gripperrect_.Height(), gripperrect_.Width(), gripperrect_.Height());
  return QRect(QPoint(right + 2, r.y()), QPoint(right + r.height() - 1, bottom - 3));
}

int TtwSkinStatusBar::HitTest(const QPoint& p) const {
  return GripShown() && GripRect().contains(p) ? kHitBottomRight : kHitClient;
}

void TtwSkinStatusBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && HitTest(e->position().toPoint()) == kHitBottomRight) {
    const QPoint g = e->globalPosition().toPoint();
    SendMessage(window(), WM_NCLBUTTONDOWN, kHitBottomRight, (intptr_t(g.y()) << 16) | (g.x() & 0xFFFF));
    e->accept();
    return;
  }
  TtwSkinPanel::mousePressEvent(e);
}

void TtwSkinStatusBar::mouseMoveEvent(QMouseEvent* e) {
  // The grip shows the sizing cursor of the corner it sizes.
  if (HitTest(e->position().toPoint()) == kHitBottomRight) setCursor(Qt::SizeFDiagCursor);
  else unsetCursor();
  TtwSkinPanel::mouseMoveEvent(e);
}

void TtwSkinStatusBar::DrawGrip(QImage& bitmap) {
  if (!GripShown()) return;
  QPainter p(&bitmap);
  const QRect g = GripRect();
  if (recordIndex_ != -1 && !gripperrect_.IsEmpty()) {
    TtwBitmap32 grip(gripperrect_.Width(), gripperrect_.Height());
    CopyPixels(grip.Image(), TRect{0, 0, grip.Width(), grip.Height()}, geo_.SourcePicture, gripperrect_);
    if (grippertransparent_) grip.MakeColorTransparent(grippertransparentcolor_);
    p.drawImage(g.topLeft(), grip.Image());
    return;
  }
  const bool bound = recordIndex_ != -1 && skinData_;
  const QColor light = bound ? ColorToQ(skinData_->SkinColors().cbtnhighlight) : SystemColor(COLOR_BTNHIGHLIGHT);
  const QColor shadow = bound ? ColorToQ(skinData_->SkinColors().cbtnshadow) : SystemColor(COLOR_BTNSHADOW);
  const int gl = g.left(), gt = g.top(), gr = g.right() + 1, gb = g.bottom() + 1;
  for (int k = 3; gr >= gl + k + 2; k += 3) {
    p.setPen(shadow);
    p.drawLine(gl + k, gb, gr, gt + k);
    p.setPen(light);
    p.drawLine(gl + k + 1, gb, gr, gt + k + 1);
  }
}

void TtwSkinStatusBar::PaintDefault(QImage& bitmap) {
  TtwSkinPanel::PaintDefault(bitmap);
  DrawGrip(bitmap);
}

void TtwSkinStatusBar::PaintSkin(QImage& bitmap) {
  TtwSkinPanel::PaintSkin(bitmap);
  DrawGrip(bitmap);
}
