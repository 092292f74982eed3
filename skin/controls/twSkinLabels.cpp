// Labels, status panels and the splitter: text placement with shadow,
// reflection and ellipsis on a label piece, a picture before a status
// panel's text, and the splitter's three-piece bar with a centred gripper.
#include "skin/controls/twSkinLabels.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/ImageList.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"
#include "skin/draw/tweffects.h"

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
  if (recordIndex_ == -1) {
    update();
    AlignChildren(this);
  }
}

void TtwSkinLabel::SetEllipsType(TtwEllipsType t) {
  if (t == ellipsType_) return;
  ellipsType_ = t;
  update();
}

void TtwSkinLabel::FindSkinRecord() {
  TtwSkinCustomControl::FindSkinRecord();
  auto* r = dynamic_cast<const TtwDataSkinLabelControl*>(Record());
  if (!r) return;
  fontname_ = r->fontname;
  fontstyle_ = r->fontstyle;
  fontheight_ = r->fontheight;
  fontcolor_ = r->fontcolor;
  // A fixed-size piece cannot grow with its text.
  if (geo_.PieceMode == pmFixed) autoSize_ = false;
}

QFont TtwSkinLabel::TextFont() const {
  if (recordIndex_ != -1 && useSkinFont_) return TwSkinFont(fontname_, fontheight_, fontstyle_);
  return defaultFont_;
}

QColor TtwSkinLabel::TextColor() const {
  if (recordIndex_ != -1 && useSkinFontColor_) return ColorToQ(fontcolor_);
  return defaultFontColor_;
}

int TtwSkinLabel::TextWidth(const QFont& f, const QString& text) const {
  // Keyed by the painter's font, which carries the image's resolution.
  if (measured_.Width < 0 || measured_.Text != text || measured_.Font != f)
    measured_ = {f, text, QFontMetrics(f).horizontalAdvance(text)};
  return measured_.Width;
}

int TtwSkinLabel::AutoSizeDelta() {
  const QFontMetrics fm(TextFont());
  const int tw = fm.horizontalAdvance(caption_);
  // The default look keeps 3 pixels clear on each side of its text; the
  // 4 pixels of the original rule would clip the last 2 pixels of text.
  if (recordIndex_ == -1) return tw + 6 - width();
  if (geo_.PieceMode == pmFixed) return 0;
  TtwSkinGeometry g = geo_;
  int w = width(), h = height();
  g.Fit(w, h);
  // Three-piece labels that keep their own height fit the same way.
  return tw - g.FitClientRect.Width();
}

void TtwSkinLabel::AdjustWidth() {
  const TAlign a = Align();
  if (a == TAlign::alTop || a == TAlign::alBottom || a == TAlign::alClient) return;
  FindSkinRecord();
  const int d = AutoSizeDelta();
  if (d != 0) SetBounds(x(), y(), width() + d, height());
}

void TtwSkinLabel::FitToSkin(int& width, int& height) {
  if (recordIndex_ == -1) return;
  if (useSkinSize_ || geo_.PieceMode == pmNinePiece) {
    TtwSkinCustomControl::FitToSkin(width, height);
  } else if (geo_.PieceMode != pmNone) {
    geo_.FitLeftTop = geo_.LeftTopPoint;
    geo_.FitRightTop = {width + geo_.RightTopPoint.X - geo_.PieceRect.Width(), geo_.RightTopPoint.Y};
    geo_.FitClientRect = geo_.SkinClientRect;
    geo_.FitClientRect.Right += width - geo_.PieceRect.Width();
  }
}

void TtwSkinLabel::ApplySkin() {
  TtwSkinCustomControl::ApplySkin();
  // A new skin may bring another font or piece: the text must fit again.
  if (autoSize_) AdjustWidth();
}

void TtwSkinLabel::UpdateRegion() {
  if (useSkinSize_) TtwSkinCustomControl::UpdateRegion();
}

void TtwSkinLabel::DrawText(QPainter& p, const QRect& r) {
  p.setFont(TextFont());
  const QFontMetrics fm(p.font());
  QString text = caption_;
  if (ellipsType_ == twetEllips) FitTextEllipsis(p, text, r.width());
  const int tw = TextWidth(p.font(), text), th = fm.height();
  const int y = r.top() + r.height() / 2 - th / 2;
  int x = r.left();
  if (alignment_ == taRightJustify) x = r.left() + r.width() - tw;
  else if (alignment_ == taCenter) x = r.left() + r.width() / 2 - tw / 2;
  const int flag = alignment_ == taRightJustify ? Qt::AlignRight : (alignment_ == taCenter ? Qt::AlignHCenter : Qt::AlignLeft);
  p.setPen(isEnabled() ? TextColor() : SystemColor(COLOR_GRAYTEXT));
  p.setClipRect(r);
  if (shadowEffect_) {
    TColor shadow = shadowColor_;
    if (recordIndex_ != -1 && useSkinFontColor_ && skinData_) shadow = ShadeColor(skinData_->SkinColors().cbtnface, 70);
    TRect tr = TRect::FromQ(r);
    tr.Top = y;
    tr.Bottom = y + th;
    DrawGlowText(p, text, tr, flag | Qt::TextSingleLine, shadowSize_, shadow, shadowOffset_);
  } else if (!reflectionEffect_) {
    p.drawText(QRect(x, y, tw + 1, th), Qt::AlignLeft | Qt::TextSingleLine, text);
  } else if (r.width() > 0) {
    TRect tr = TRect::FromQ(r);
    DrawReflectionText(p, text, tr, flag | Qt::AlignVCenter | Qt::TextSingleLine, ColorFromQ(p.pen().color()),
                       reflectionOffset_);
  }
  p.setClipping(false);
}

void TtwSkinLabel::DrawBorder(QPainter& p, QRect r) const {
  const QColor shadow = SystemColor(COLOR_BTNSHADOW), light = SystemColor(COLOR_BTNHIGHLIGHT);
  switch (borderStyle_) {
    case bvFrame: DrawBevel(p, r, shadow, shadow); break;
    case bvRaised: DrawBevel(p, r, light, shadow); break;
    case bvLowered: DrawBevel(p, r, shadow, light); break;
    case bvNone: break;
  }
}

void TtwSkinLabel::PaintDefault(QImage& bitmap) {
  QPainter p(&bitmap);
  const QRect all(QPoint(0, 0), LogicalSize(bitmap));
  p.fillRect(all, SystemColor(COLOR_BTNFACE));
  DrawBorder(p, all);
  DrawText(p, all.adjusted(3, 3, -3, -3));
}

QRect TtwSkinLabel::SkinTextRect() const {
  QRect r = geo_.FitClientRect.ToQ();
  if (!useSkinSize_ && geo_.PieceMode != pmNinePiece) r.setBottom(r.bottom() + height() - geo_.PieceRect.Height());
  return r;
}

void TtwSkinLabel::PaintSkin(QImage& bitmap) {
  if (useSkinSize_ || geo_.PieceMode == pmNinePiece) {
    TtwSkinCustomControl::PaintSkin(bitmap);
  } else if (geo_.PieceMode != pmNone && !geo_.SourcePicture.isNull()) {
    const QSize sz = LogicalSize(bitmap);
    QImage part = TwNewSurface(sz.width(), sz.height(), QImage::Format_RGB32);
    if (!part.isNull()) {  // else the face keeps its plain fill
      part.fill(SystemColor(COLOR_BTNFACE));
      ComposeClientStretched(part, geo_.SourcePicture, geo_.PieceRect, geo_.SkinClientRect, true);
      DrawLogical(bitmap, QPoint(0, 0), part);
    }
  }
  QPainter p(&bitmap);
  DrawText(p, SkinTextRect());
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
  numGlyphs_ = std::clamp(n, 1, 2);
  if (autoSize_) AdjustWidth();
  update();
}

void TtwSkinStatusPanel::SetBarGrip(const QRect& grip) {
  barGrip_ = grip;
  if ((grip & rect()) != gripCut_) UpdateRegion();
}

void TtwSkinStatusPanel::UpdateRegion() {
  // The label's own shape first, then the grip cut from it.
  if (!gripCut_.isEmpty()) {
    if (shapeBeforeCut_.isEmpty()) clearMask();
    else setMask(shapeBeforeCut_);
    gripCut_ = QRect();
  }
  TtwSkinLabel::UpdateRegion();
  const QRect cut = barGrip_ & rect();
  if (cut.isEmpty()) return;
  shapeBeforeCut_ = mask();
  setMask((shapeBeforeCut_.isEmpty() ? QRegion(rect()) : shapeBeforeCut_) - cut);
  gripCut_ = cut;
}

int TtwSkinStatusPanel::ImagePartWidth() const {
  if (glyph_.isNull() && imageList_ && imageList_->Has(imageIndex_)) return imageList_->Width() + 3;
  if (!glyph_.isNull()) return glyph_.width() / numGlyphs_ + 3;
  return 0;
}

int TtwSkinStatusPanel::AutoSizeDelta() {
  if (recordIndex_ != -1 && geo_.PieceMode == pmFixed) return 0;
  return TtwSkinLabel::AutoSizeDelta() + ImagePartWidth();
}

void TtwSkinStatusPanel::DrawPicture(QPainter& p, QRect& a, const QRect& centreIn) {
  if (glyph_.isNull() && imageList_ && imageList_->Has(imageIndex_)) {
    imageList_->Draw(p, a.left(), a.top() + a.height() / 2 - imageList_->Height() / 2, imageIndex_, isEnabled());
    a.setLeft(a.left() + imageList_->Width() + 2);
  } else if (!glyph_.isNull()) {
    const int fw = glyph_.width() / numGlyphs_;
    const int frame = (!isEnabled() && numGlyphs_ == 2) ? 2 : 1;
    const int x = recordIndex_ == -1 ? 3 : a.left();
    DrawStripFrame(p, x, centreIn.top() + centreIn.height() / 2 - glyph_.height() / 2, frame, numGlyphs_,
                   glyph_.toImage());
    a.setLeft(a.left() + fw + 2);
  }
}

void TtwSkinStatusPanel::PaintDefault(QImage& bitmap) {
  QPainter p(&bitmap);
  const QRect all(QPoint(0, 0), LogicalSize(bitmap));
  p.fillRect(all, SystemColor(COLOR_BTNFACE));
  DrawBorder(p, all);
  QRect a = all.adjusted(3, 3, -3, -3);
  DrawPicture(p, a, all);
  DrawText(p, a);
}

void TtwSkinStatusPanel::PaintSkin(QImage& bitmap) {
  TtwSkinCustomControl::PaintSkin(bitmap);
  QPainter p(&bitmap);
  QRect a = geo_.FitClientRect.ToQ();
  DrawPicture(p, a, a);
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

void TtwSkinSplitter::Bind() {
  recordIndex_ = (!skinData_ || skinData_->Empty()) ? -1 : skinData_->FindControlIndex(skinDataName_);
  picture_ = QImage();
  if (recordIndex_ == -1) return;
  auto* r = dynamic_cast<const TtwDataSkinSplitterControl*>(skinData_->ControlRecords()[recordIndex_]);
  // A record of another class, or one without a piece, would size the
  // splitter to nothing: it counts as no record.
  if (!r || r->skinrect.IsEmpty()) {
    recordIndex_ = -1;
    return;
  }
  lefttoppoint_ = r->lefttoppoint;
  righttoppoint_ = r->righttoppoint;
  leftbottompoint_ = r->leftbottompoint;
  skinrect_ = r->skinrect;
  if (const QImage* pic = skinData_->ActivePicture(r->pictureindex)) picture_ = *pic;
  stretcheffect_ = r->stretcheffect;
  gripperrect_ = r->gripperrect;
  grippertransparent_ = r->grippertransparent;
  grippertransparentcolor_ = r->grippertransparentcolor;
}

void TtwSkinSplitter::ApplySkin() {
  Bind();
  setCursor(Horizontal() ? Qt::SplitVCursor : Qt::SplitHCursor);
  const bool own = recordIndex_ == -1 || transparent_;
  if (Horizontal()) SetBounds(x(), y(), width(), own ? defaultSize_ : skinrect_.Height());
  else SetBounds(x(), y(), own ? defaultSize_ : skinrect_.Width(), height());
  update();
}

void TtwSkinSplitter::SetBounds(int left, int top, int width, int height) {
  const QSize old = size();
  setGeometry(left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
  BoundsChanged(this, old);
}

QImage TtwSkinSplitter::RenderFace() {
  if (transparent_ || width() < 1 || height() < 1) return QImage();
  Bind();
  QImage img = TwNewSurface(width(), height(), QImage::Format_RGB32);
  if (img.isNull()) return img;  // too large to draw: nothing is drawn
  img.fill(SystemColor(COLOR_BTNFACE));
  const TAlign a = Align();
  const bool skinned = recordIndex_ != -1 && !picture_.isNull() && a != TAlign::alNone && a != TAlign::alClient;
  QPainter p(&img);
  if (!skinned) {
    if (beveled_) {
      const QColor light = SystemColor(COLOR_BTNHIGHLIGHT), shadow = SystemColor(COLOR_BTNSHADOW);
      if (Horizontal()) {
        p.fillRect(0, 0, width(), 1, light);
        p.fillRect(0, height() - 1, width(), 1, shadow);
      } else {
        p.fillRect(0, 0, 1, height(), light);
        p.fillRect(width() - 1, 0, 1, height(), shadow);
      }
    }
    return img;
  }
  QImage bar;
  if (Horizontal())
    ComposeThreePieceH(picture_, skinrect_, lefttoppoint_.X, skinrect_.Width() - righttoppoint_.X, stretcheffect_,
                       width(), bar);
  else
    ComposeThreePieceV(picture_, skinrect_, lefttoppoint_.Y, skinrect_.Height() - leftbottompoint_.Y, stretcheffect_,
                       height(), bar);
  CopyPixels(img, TRect{0, 0, bar.width(), bar.height()}, bar, TRect{0, 0, bar.width(), bar.height()});
  if (!gripperrect_.IsEmpty()) {
    TtwBitmap32 grip(gripperrect_.Width(), gripperrect_.Height());
    CopyPixels(grip.Image(), TRect{0, 0, grip.Width(), grip.Height()}, picture_, gripperrect_);
    if (grippertransparent_) grip.MakeColorTransparent(grippertransparentcolor_);
    p.drawImage(img.width() / 2 - grip.Width() / 2, img.height() / 2 - grip.Height() / 2, grip.Image());
  }
  return img;
}

void TtwSkinSplitter::paintEvent(QPaintEvent*) {
  const QImage img = RenderFace();
  if (!img.isNull()) QPainter(this).drawImage(0, 0, img);
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
