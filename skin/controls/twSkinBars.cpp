#include "skin/controls/twSkinBars.h"

#include <QChildEvent>
#include <QPainter>
#include <QResizeEvent>

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

void TtwSkinToolBar::SetShowCaptions(bool v) {
  if (v == showCaptions_) return;
  showCaptions_ = v;
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
  for (QObject* o : children())
    if (auto* c = qobject_cast<TtwSkinControl*>(o)) c->SetSkinData(data);
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

QRect TtwSkinStatusBar::AlignClientRect() const {
  QRect r = TtwSkinPanel::AlignClientRect();
  if (sizeGrip_ && showGrip_) r.setWidth(qMax(0, r.width() - r.height()));
  return r;
}

QRect TtwSkinStatusBar::GripRect() const {
  const QRect r = AlignClientRect();
  const int right = r.x() + r.width(), bottom = r.y() + r.height();
  return QRect(QPoint(right + 2, r.y()), QPoint(right + r.height() - 1, bottom - 3));
}

void TtwSkinStatusBar::PaintDefault(QImage& bitmap) {
  namespace C = twDefaultColors;
  QPainter p(&bitmap);
  p.fillRect(bitmap.rect(), C::StatusFace);
  p.fillRect(0, 0, bitmap.width(), 1, C::PanelBorder);
  if (!(sizeGrip_ && showGrip_)) return;
  const QRect g = GripRect();
  const int gl = g.left(), gt = g.top(), gr = g.right() + 1, gb = g.bottom() + 1;
  for (int k = 3; gr >= gl + k + 2; k += 3) {
    p.setPen(C::BtnShadow);
    p.drawLine(gl + k, gb, gr, gt + k);
    p.setPen(C::BtnHighlight);
    p.drawLine(gl + k + 1, gb, gr, gt + k + 1);
  }
}
