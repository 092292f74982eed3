#include "skin/controls/twSkinLabels.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/ImageList.h"

// ---------------------------------------------------------------- label

TtwSkinLabel::TtwSkinLabel(QWidget* parent) : TtwSkinCustomControl(parent) {
  skinDataName_ = QStringLiteral("label");
  resize(75, 21);
}

void TtwSkinLabel::SetAutoSize(bool v) {
  autoSize_ = v;
  if (v) AdjustWidth();
}

void TtwSkinLabel::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  update();
}

void TtwSkinLabel::SetBorderStyle(TBevelCut b) {
  borderStyle_ = b;
  if (!SkinLook()) update();
}

void TtwSkinLabel::SetEllipsType(TtwEllipsType t) {
  if (t == ellipsType_) return;
  ellipsType_ = t;
  update();
}

QFont TtwSkinLabel::TextFont() const { return defaultFont_; }

QColor TtwSkinLabel::TextColor() const {
  return isEnabled() ? defaultFontColor_ : twDefaultColors::GrayText;
}

int TtwSkinLabel::AutoSizeDelta() {
  if (recordIndex_ != -1 && geo_.PieceMode == 0) return 0;
  const QFontMetrics fm(TextFont());
  // The default look keeps 3 pixels clear on each side of the text.
  return fm.horizontalAdvance(caption_) + 6 - width();
}

void TtwSkinLabel::AdjustWidth() {
  const TAlign a = Align();
  if (a == TAlign::alTop || a == TAlign::alBottom || a == TAlign::alClient) return;
  const int d = AutoSizeDelta();
  if (d != 0) SetBounds(x(), y(), width() + d, height());
}

void TtwSkinLabel::FitToSkin(int& width, int& height) {
  if (useSkinSize_ || geo_.PieceMode == 1) {
    TtwSkinCustomControl::FitToSkin(width, height);
    return;
  }
  if (recordIndex_ == -1 || geo_.PieceMode == -1) return;
  geo_.FitLeftTop = geo_.LeftTopPoint;
  geo_.FitRightTop = {width + geo_.RightTopPoint.X - geo_.PieceRect.Width(), geo_.RightTopPoint.Y};
  geo_.FitClientRect = geo_.SkinClientRect;
  geo_.FitClientRect.Right += width - geo_.PieceRect.Width();
}

void TtwSkinLabel::DrawText(QPainter& p, const QRect& r) {
  p.setFont(TextFont());
  const QFontMetrics fm(p.font());
  QString text = caption_;
  if (ellipsType_ == twetEllips) text = fm.elidedText(text, Qt::ElideRight, r.width());
  const int tw = fm.horizontalAdvance(text);
  const int y = r.top() + r.height() / 2 - fm.height() / 2;
  int x = r.left();
  if (alignment_ == taRightJustify) x = r.left() + r.width() - tw;
  else if (alignment_ == taCenter) x = r.left() + r.width() / 2 - tw / 2;
  p.setClipRect(r);
  if (shadowEffect_) {
    p.setPen(ColorFromTColor(shadowColor_));
    p.drawText(QRect(x + 1, y + 1, tw, fm.height()), Qt::AlignLeft | Qt::TextSingleLine, text);
  }
  p.setPen(TextColor());
  p.drawText(QRect(x, y, tw, fm.height()), Qt::AlignLeft | Qt::TextSingleLine, text);
  p.setClipping(false);
}

void TtwSkinLabel::PaintDefault(QImage& bitmap) {
  namespace C = twDefaultColors;
  QPainter p(&bitmap);
  p.fillRect(bitmap.rect(), C::PanelFace);
  QRect r = bitmap.rect();
  switch (borderStyle_) {
    case bvFrame: DrawBevel(p, r, C::PanelBorder, C::PanelBorder); break;
    case bvRaised: DrawBevel(p, r, C::BtnHighlight, C::PanelBorder); break;
    case bvLowered: DrawBevel(p, r, C::PanelBorder, C::BtnHighlight); break;
    case bvNone: break;
  }
  DrawText(p, QRect(3, 3, bitmap.width() - 6, bitmap.height() - 6));
}

void TtwSkinLabel::CaptionChanged() {
  if (autoSize_) AdjustWidth();
  update();
}

void TtwSkinLabel::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) update();
  TtwSkinCustomControl::changeEvent(e);
}

void TtwSkinLabel::mouseReleaseEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton || !rect().contains(e->position().toPoint())) return;
  if (OnClick) OnClick();
  emit clicked();
}

void TtwSkinLabel::mouseDoubleClickEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseDoubleClickEvent(e);
  if (e->button() != Qt::LeftButton) return;
  if (OnDblClick) OnDblClick();
  emit doubleClicked();
}

// ---------------------------------------------------------------- status panel

TtwSkinStatusPanel::TtwSkinStatusPanel(QWidget* parent) : TtwSkinLabel(parent) {
  skinDataName_ = QStringLiteral("statuspanel");
  resize(120, height());
}

void TtwSkinStatusPanel::SetImageIndex(int i) {
  if (i == imageIndex_) return;
  imageIndex_ = i;
  update();
}

void TtwSkinStatusPanel::SetGlyph(const QPixmap& g) {
  glyph_ = g;
  if (autoSize_) AdjustWidth();
  update();
}

void TtwSkinStatusPanel::SetNumGlyphs(int n) {
  numGlyphs_ = n < 1 ? 1 : (n > 2 ? 2 : n);
  if (autoSize_) AdjustWidth();
  update();
}

int TtwSkinStatusPanel::ImagePartWidth() const {
  if (glyph_.isNull() && imageList_ && imageList_->Has(imageIndex_)) return imageList_->Width();
  if (!glyph_.isNull()) return glyph_.width() / numGlyphs_;
  return 0;
}

int TtwSkinStatusPanel::AutoSizeDelta() {
  const int d = TtwSkinLabel::AutoSizeDelta();
  if (recordIndex_ != -1 && geo_.PieceMode == 0) return d;
  const int w = ImagePartWidth();
  return w > 0 ? d + w + 3 : d;
}

void TtwSkinStatusPanel::PaintDefault(QImage& bitmap) {
  namespace C = twDefaultColors;
  QPainter p(&bitmap);
  p.fillRect(bitmap.rect(), C::StatusFace);
  QRect r = bitmap.rect();
  switch (borderStyle_) {
    case bvFrame: DrawBevel(p, r, C::PanelBorder, C::PanelBorder); break;
    case bvRaised: DrawBevel(p, r, C::BtnHighlight, C::PanelBorder); break;
    case bvLowered: DrawBevel(p, r, C::PanelBorder, C::BtnHighlight); break;
    case bvNone: break;
  }
  QRect a(3, 3, bitmap.width() - 6, bitmap.height() - 6);
  if (glyph_.isNull() && imageList_ && imageList_->Has(imageIndex_)) {
    imageList_->Draw(p, a.left(), a.top() + a.height() / 2 - imageList_->Height() / 2, imageIndex_,
                     isEnabled());
    a.setLeft(a.left() + imageList_->Width() + 2);
  } else if (!glyph_.isNull()) {
    const int fw = glyph_.width() / numGlyphs_;
    const int frame = (!isEnabled() && numGlyphs_ == 2) ? 2 : 1;
    p.drawPixmap(3, bitmap.height() / 2 - glyph_.height() / 2, glyph_, (frame - 1) * fw, 0, fw,
                 glyph_.height());
    a.setLeft(a.left() + fw + 2);
  }
  DrawText(p, a);
}

// ---------------------------------------------------------------- splitter

namespace {
// The line shown while dragging.
class DragLine : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x3D, 0x7B, 0xD9, 140));
  }
};
}  // namespace

TtwSkinSplitter::TtwSkinSplitter(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(3, 100);
  setCursor(Qt::SplitHCursor);
}

TtwSkinSplitter::~TtwSkinSplitter() = default;

void TtwSkinSplitter::SetSkinData(TtwSkinData* d) {
  skinData_ = d;
  ApplySkin();
}

void TtwSkinSplitter::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  setAttribute(Qt::WA_OpaquePaintEvent, !v);
  update();
}

bool TtwSkinSplitter::Horizontal() const {
  const TAlign a = Align();
  return a == TAlign::alTop || a == TAlign::alBottom;
}

void TtwSkinSplitter::ApplySkin() {
  // The skin's splitter piece is not copied yet: every binding takes the
  // default size.
  recordIndex_ = -1;
  setCursor(Horizontal() ? Qt::SplitVCursor : Qt::SplitHCursor);
  if (Horizontal()) SetBounds(x(), y(), width(), defaultSize_);
  else SetBounds(x(), y(), defaultSize_, height());
  update();
}

void TtwSkinSplitter::SetBounds(int left, int top, int width, int height) {
  const QSize old = size();
  setGeometry(left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
  BoundsChanged(this, old);
}

void TtwSkinSplitter::paintEvent(QPaintEvent*) {
  if (transparent_ || width() < 1 || height() < 1) return;
  namespace C = twDefaultColors;
  QImage img(size(), QImage::Format_RGB32);
  img.fill(C::BtnFace);
  {
    QPainter p(&img);
    const bool horz = Horizontal();
    if (beveled_) {
      if (horz) {
        p.fillRect(0, 0, width(), 1, C::BtnHighlight);
        p.fillRect(0, height() - 1, width(), 1, C::PanelBorder);
      } else {
        p.fillRect(0, 0, 1, height(), C::BtnHighlight);
        p.fillRect(width() - 1, 0, 1, height(), C::PanelBorder);
      }
    }
    // A small gripper of three dots in the middle.
    const int cx = width() / 2, cy = height() / 2;
    for (int i = -1; i <= 1; ++i) {
      const int dx = horz ? i * 5 : 0, dy = horz ? 0 : i * 5;
      p.fillRect(cx - 1 + dx, cy - 1 + dy, 2, 2, C::BtnShadow);
    }
  }
  QPainter(this).drawImage(0, 0, img);
}

QWidget* TtwSkinSplitter::FindControl() const {
  QWidget* p = parentWidget();
  const TAlign a = Align();
  if (!p || a == TAlign::alNone || a == TAlign::alClient) return nullptr;
  const QRect g = geometry();
  for (QObject* o : p->children()) {
    auto* c = qobject_cast<QWidget*>(o);
    if (!c || c == this || c->isWindow() || c->isHidden() || WidgetAlign(c) != a) continue;
    const QRect cg = c->geometry();
    switch (a) {
      case TAlign::alLeft: if (cg.x() + cg.width() == g.x()) return c; break;
      case TAlign::alRight: if (cg.x() == g.x() + g.width()) return c; break;
      case TAlign::alTop: if (cg.y() + cg.height() == g.y()) return c; break;
      case TAlign::alBottom: if (cg.y() == g.y() + g.height()) return c; break;
      default: break;
    }
  }
  return nullptr;
}

int TtwSkinSplitter::ClampedDelta(int delta) const {
  QWidget* c = FindControl();
  QWidget* p = parentWidget();
  if (!c || !p) return 0;
  const TAlign a = Align();
  const QRect area = AlignClientRectOf(p);
  const QRect g = geometry();
  const int size = Horizontal() ? c->height() : c->width();
  // Growth of the neighbour: with it on the far side the drag runs backwards.
  const int sign = (a == TAlign::alLeft || a == TAlign::alTop) ? 1 : -1;
  int grow = delta * sign;
  if (size + grow < minSize_) grow = minSize_ - size;
  // Room left for what fills the rest of the parent.
  int room = 0;
  switch (a) {
    case TAlign::alLeft: room = area.x() + area.width() - (g.x() + g.width()); break;
    case TAlign::alRight: room = g.x() - area.x(); break;
    case TAlign::alTop: room = area.y() + area.height() - (g.y() + g.height()); break;
    case TAlign::alBottom: room = g.y() - area.y(); break;
    default: break;
  }
  // Space the other aligned controls on that side already take.
  for (QObject* o : p->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (!w || w == this || w == c || w->isWindow() || w->isHidden()) continue;
    const TAlign wa = WidgetAlign(w);
    const QRect wg = w->geometry();
    if (a == TAlign::alLeft && wa == TAlign::alRight) room -= wg.width();
    if (a == TAlign::alRight && wa == TAlign::alLeft) room -= wg.width();
    if (a == TAlign::alTop && wa == TAlign::alBottom) room -= wg.height();
    if (a == TAlign::alBottom && wa == TAlign::alTop) room -= wg.height();
  }
  if (grow > room - minSize_) grow = room - minSize_;
  if (size + grow < minSize_) grow = minSize_ - size;
  return grow * sign;
}

void TtwSkinSplitter::ShowLine(int delta) {
  if (resizeStyle_ == rsNone || !parentWidget()) return;
  if (!line_) {
    line_ = new DragLine(parentWidget());
    line_->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  QRect g = geometry();
  if (Horizontal()) g.translate(0, delta); else g.translate(delta, 0);
  line_->setGeometry(g);
  line_->raise();
  line_->show();
}

void TtwSkinSplitter::HideLine() {
  if (line_) {
    line_->deleteLater();
    line_ = nullptr;
  }
}

void TtwSkinSplitter::mousePressEvent(QMouseEvent* e) {
  QWidget::mousePressEvent(e);
  if (e->button() != Qt::LeftButton || !FindControl()) return;
  dragging_ = true;
  pressPos_ = mapToParent(e->position().toPoint());
  delta_ = 0;
  ShowLine(0);
}

void TtwSkinSplitter::mouseMoveEvent(QMouseEvent* e) {
  if (!Horizontal()) setCursor(Qt::SplitHCursor); else setCursor(Qt::SplitVCursor);
  QWidget::mouseMoveEvent(e);
  if (!dragging_) return;
  const QPoint now = mapToParent(e->position().toPoint());
  delta_ = ClampedDelta(Horizontal() ? now.y() - pressPos_.y() : now.x() - pressPos_.x());
  ShowLine(delta_);
}

void TtwSkinSplitter::mouseReleaseEvent(QMouseEvent* e) {
  QWidget::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  HideLine();
  const QPoint now = mapToParent(e->position().toPoint());
  const int delta = ClampedDelta(Horizontal() ? now.y() - pressPos_.y() : now.x() - pressPos_.x());
  QWidget* c = FindControl();
  if (!c || delta == 0) return;
  const QRect cg = c->geometry();
  switch (Align()) {
    case TAlign::alLeft: SetWidgetBounds(c, cg.x(), cg.y(), cg.width() + delta, cg.height()); break;
    case TAlign::alRight: SetWidgetBounds(c, cg.x() + delta, cg.y(), cg.width() - delta, cg.height()); break;
    case TAlign::alTop: SetWidgetBounds(c, cg.x(), cg.y(), cg.width(), cg.height() + delta); break;
    case TAlign::alBottom: SetWidgetBounds(c, cg.x(), cg.y() + delta, cg.width(), cg.height() - delta); break;
    default: break;
  }
  if (OnMoved) OnMoved(this);
  emit moved();
}
