// Tool bar and status bar: a tool bar keeps its controls vertically centred
// and shares its settings with its speed buttons; a status bar shares its
// skin data with its panels and draws the size grip.
#include "skin/controls/twSkinBars.h"

#include <QChildEvent>
#include <QPainter>
#include <QResizeEvent>

#include "skin/controls/twSkinButtons.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/tweffects.h"

namespace {
template <class T, class F>
void ForChildren(QObject* parent, F f) {
  for (QObject* o : parent->children())
    if (auto* c = qobject_cast<T*>(o)) f(c);
}
}  // namespace

// ---------------------------------------------------------------- tool bar

TtwSkinToolBar::TtwSkinToolBar(QWidget* parent) : TtwSkinPanel(parent) {
  compositePaint_ = false;
  skinDataName_ = QStringLiteral("toolpanel");
  borderStyle_ = bvNone;
  defaultHeight_ = 0;
  resize(width(), 25);
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
  ForChildren<TtwSkinSpeedButton>(this, [](TtwSkinSpeedButton* b) { b->update(); });
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
  if (!adjustControls_ || centring_ || w->isWindow() || WidgetAlign(w) != TAlign::alNone) return;
  const int top = CentredTop(w->height());
  if (w->y() == top) return;
  centring_ = true;
  w->move(w->x(), top);
  centring_ = false;
}

void TtwSkinToolBar::CentreChildren() {
  for (QObject* o : children())
    if (auto* w = qobject_cast<QWidget*>(o)) {
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
  if (e->type() == QEvent::ChildAdded)
    if (auto* w = qobject_cast<QWidget*>(e->child())) w->installEventFilter(this);
  if (e->type() == QEvent::ChildPolished)
    if (auto* w = qobject_cast<QWidget*>(e->child())) CentreChild(w);
}

bool TtwSkinToolBar::eventFilter(QObject* watched, QEvent* e) {
  if ((e->type() == QEvent::Move || e->type() == QEvent::Resize) && watched->parent() == this)
    CentreChild(static_cast<QWidget*>(watched));
  return TtwSkinPanel::eventFilter(watched, e);
}

void TtwSkinToolBar::resizeEvent(QResizeEvent* e) {
  TtwSkinPanel::resizeEvent(e);
  CentreChildren();
}

// ---------------------------------------------------------------- status bar

TtwSkinStatusBar::TtwSkinStatusBar(QWidget* parent) : TtwSkinPanel(parent) {
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
}

void TtwSkinStatusBar::SetShowGrip(bool v) {
  showGrip_ = v;
  update();
  AlignChildren(this);
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

void TtwSkinStatusBar::DrawGrip(QImage& bitmap) {
  if (!(sizeGrip_ && showGrip_)) return;
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
