// Panels and group boxes: the frame from the record's pieces, the caption
// line, the see-through looks and roll-up, which keeps the panel's size limits
// across a roll-up and roll-down.
#include "skin/controls/twSkinPanels.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/ImageList.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/tweffects.h"

namespace {

// Arrow directions of DrawArrowMark.
constexpr int kArrowUp = 3, kArrowDown = 4;

QList<QWidget*> ChildWidgets(QWidget* w) {
  QList<QWidget*> out;
  for (QObject* o : w->children())
    if (auto* c = qobject_cast<QWidget*>(o); c && !c->isWindow()) out << c;
  return out;
}

// Draws piece r of picture at (x, y), its bottom-left pixel transparent.
void DrawKeyedPiece(QPainter& p, int x, int y, const QImage& picture, const TRect& r) {
  if (r.IsEmpty() || picture.isNull()) return;
  TtwBitmap32 b(r.Width(), r.Height());
  CopyPixels(b.Image(), TRect{0, 0, r.Width(), r.Height()}, picture, r);
  const QRgb key = b.Image().pixel(0, r.Height() - 1);
  b.MakeColorTransparent(ColorFromQ(QColor::fromRgb(key)));
  p.drawImage(x, y, b.Image());
}

// The check box a skin without check pieces gets: a 14 x 14 framed box,
// so the state a click toggles is never invisible.
constexpr int kCheckBoxSize = 14;
void DrawPlainCheckBox(QPainter& p, int x, int y, bool checked, const QColor& frame, const QColor& fill, TColor mark) {
  QRect r(x, y, kCheckBoxSize, kCheckBoxSize);
  DrawBevel(p, r, frame, frame);
  p.fillRect(r, fill);
  if (checked) DrawCheckMark(p, x + 3, y + 2, mark);
}

}  // namespace

TtwSkinPanel::TtwSkinPanel(QWidget* parent) : TtwSkinCustomControl(parent) {
  compositePaint_ = true;
  skinDataName_ = QStringLiteral("panel");
  resize(150, 150);
}

TtwSkinPanel::~TtwSkinPanel() = default;

void TtwSkinPanel::SetBorderStyle(TBevelCut b) {
  borderStyle_ = b;
  if (recordIndex_ == -1) {
    update();
    AlignChildren(this);
  }
}

void TtwSkinPanel::SetCaptionMode(bool v) {
  captionMode_ = v;
  update();
  AlignChildren(this);
}

void TtwSkinPanel::SetDefaultCaptionHeight(int h) {
  defaultCaptionHeight_ = h;
  if (recordIndex_ == -1 && captionMode_) {
    update();
    AlignChildren(this);
  }
}

void TtwSkinPanel::SetDefaultAlignment(TAlignment a) {
  defaultAlignment_ = a;
  if (recordIndex_ == -1 && captionMode_) update();
}

void TtwSkinPanel::SetRollUpMode(bool v) {
  rollUpMode_ = v;
  if (recordIndex_ == -1 && captionMode_) update();
}

void TtwSkinPanel::SetTransparentMode(bool v) {
  if (v == transparentMode_) return;
  transparentMode_ = v;
  update();
  NotifyChildrenBackground();
}

void TtwSkinPanel::SetCaptionImageIndex(int i) {
  if (i == captionImageIndex_) return;
  captionImageIndex_ = i;
  update();
}

void TtwSkinPanel::SetChecked(bool v) {
  checked_ = v;
  if (checkedMode_) update();
  if (autoEnabledControls_ && checkedMode_)
    for (QWidget* w : ChildWidgets(this)) w->setEnabled(checked_);
  if (OnChecked) OnChecked(this);
}

void TtwSkinPanel::SetRollUpState(bool v) {
  if (v == rollUpState_) return;
  if (!rollUpMode_) {
    setMaximumSize(savedConstraints_[0] ? savedConstraints_[0] : QWIDGETSIZE_MAX,
                   savedConstraints_[2] ? savedConstraints_[2] : QWIDGETSIZE_MAX);
    setMinimumSize(savedConstraints_[1], savedConstraints_[3]);
    rollUpState_ = false;
    return;
  }
  if (v) {
    // The limits would keep the panel from shrinking to its caption.
    auto limit = [](int v) { return v >= QWIDGETSIZE_MAX ? 0 : v; };
    savedConstraints_[0] = limit(maximumWidth());
    savedConstraints_[1] = minimumWidth();
    savedConstraints_[2] = limit(maximumHeight());
    savedConstraints_[3] = minimumHeight();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
  rollUpState_ = v;
  RollStep();
  if (!v) {
    setMaximumSize(savedConstraints_[0] ? savedConstraints_[0] : QWIDGETSIZE_MAX,
                   savedConstraints_[2] ? savedConstraints_[2] : QWIDGETSIZE_MAX);
    setMinimumSize(savedConstraints_[1], savedConstraints_[3]);
  }
  if (OnChangeRollUpState) OnChangeRollUpState(this);
}

void TtwSkinPanel::RollStep() {
  rolling_ = true;
  if (rollUpState_ && realHeight_ == -1) {
    realHeight_ = height();
    DisableAlign(this);
    for (QWidget* w : ChildWidgets(this)) w->hide();
    FindSkinRecord();
    int fw = width(), fh = height();
    FitToSkin(fw, fh);
    const bool bound = recordIndex_ != -1 && geo_.PieceMode != pmNone;
    const int h = bound ? height() + geo_.FitClientRect.Top - geo_.FitClientRect.Bottom : defaultCaptionHeight_ + 1;
    SetBounds(x(), y(), width(), h);
  } else if (!rollUpState_ && realHeight_ != -1) {
    const int h = realHeight_;
    realHeight_ = -1;
    SetBounds(x(), y(), width(), h);
    for (QWidget* w : ChildWidgets(this)) w->show();
    EnableAlign(this);
  }
  rolling_ = false;
}

bool TtwSkinPanel::HasBackgroundPicture() const {
  return recordIndex_ != -1 && skinData_ && skinData_->ActivePicture(bgpictureindex_);
}

QRect TtwSkinPanel::AlignClientRect() const {
  if (recordIndex_ != -1 && geo_.PieceMode != pmNone) {
    if (HasBackgroundPicture() || (borderStyle_ == bvNone && !captionMode_ && geo_.PieceMode == pmNinePiece))
      return rect();
    TtwSkinGeometry g = geo_;
    int w = width(), h = height();
    g.Fit(w, h);
    return g.FitClientRect.ToQ();
  }
  QRect r = rect();
  if (borderStyle_ != bvNone) r.adjust(1, 1, -1, -1);
  if (captionMode_) r.setTop(r.top() + defaultCaptionHeight_);
  if (r.width() < 0) r.setWidth(0);
  if (r.height() < 0) r.setHeight(0);
  return r;
}

void TtwSkinPanel::FindSkinRecord() {
  TtwSkinCustomControl::FindSkinRecord();
  bgpictureindex_ = -1;
  auto* r = dynamic_cast<const TtwDataSkinPanelControl*>(Record());
  if (!r) return;
  fontname_ = r->fontname;
  fontstyle_ = r->fontstyle;
  fontheight_ = r->fontheight;
  fontcolor_ = r->fontcolor;
  captionrect_ = r->captionrect;
  alignment_ = r->alignment;
  bgpictureindex_ = r->bgpictureindex;
  checkimagerect_ = r->checkimagerect;
  uncheckimagerect_ = r->uncheckimagerect;
  markframerect_ = r->markframerect;
  framerect_ = r->framerect;
  frameleftoffset_ = r->frameleftoffset;
  framerightoffset_ = r->framerightoffset;
  frametextrect_ = r->frametextrect;
}

QImage TtwSkinPanel::CaptionPicture() const {
  if (glyph_.isNull()) {
    if (captionImageList_ && captionImageList_->Has(captionImageIndex_))
      return captionImageList_->Pixmap(captionImageIndex_).toImage();
    return QImage();
  }
  const int fw = glyph_.width() / numGlyphs_;
  const int frame = (!isEnabled() && numGlyphs_ == 2) ? 2 : 1;
  return glyph_.copy((frame - 1) * fw, 0, fw, glyph_.height()).toImage();
}

bool TtwSkinPanel::SeeThrough() const { return transparentMode_ && recordIndex_ != -1; }

void TtwSkinPanel::PaintFace(QImage& bitmap) {
  FindSkinRecord();
  int fw = width(), fh = height();
  FitToSkin(fw, fh);
  const bool bound = recordIndex_ != -1;
  const QSize sz = LogicalSize(bitmap);
  if (bound && transparentMode_ && !captionMode_) {
    QPainter p(&bitmap);  // the underlay is already in the face
    if (borderStyle_ != bvNone) {
      QRect r(QPoint(0, 0), sz);
      const QColor c = ColorToQ(skinData_->SkinColors().cbtnshadow);
      DrawBevel(p, r, c, c);
    }
    PanelPaint(p);
    return;
  }
  if (bound && transparentMode_ && captionMode_) {
    DrawTransparentGroup(bitmap);
    return;
  }
  if (!bound || (!compositePaint_ && geo_.StretchEffect())) {
    TtwSkinCustomControl::PaintFace(bitmap);
    return;
  }
  const int W = sz.width(), H = sz.height();
  const TRect all{0, 0, W, H};
  if (borderStyle_ == bvNone && geo_.PieceMode == pmNinePiece && !captionMode_ && compositePaint_) {
    // The client texture alone, over the whole panel.
    if (geo_.ClientPiece().IsEmpty()) FillFace(bitmap, SystemColor(COLOR_BTNFACE));
    FillFromPicture(bitmap, geo_.SourcePicture, geo_.ClientPiece(), all,
                    FillModeOf(geo_.StretchEffect(), geo_.StretchType()));
    return;
  }
  const QImage* bg = skinData_->ActivePicture(bgpictureindex_);
  if (!bg) {
    TtwSkinCustomControl::PaintFace(bitmap);
    return;
  }
  // Background picture: only that picture, nothing else; stretched over the
  // client rectangle alone, tiled or stretched along one axis over the whole.
  const TFillMode mode = FillModeOf(geo_.StretchEffect(), geo_.StretchType());
  if (mode == TFillMode::Full) FillFace(bitmap, SystemColor(COLOR_BTNFACE));
  FillFromPicture(bitmap, *bg, TRect{0, 0, bg->width(), bg->height()},
                  mode == TFillMode::Full ? geo_.FitClientRect : all, mode);
}

void TtwSkinPanel::DrawTransparentGroup(QImage& bitmap) {
  const QSize sz = LogicalSize(bitmap);
  const int W = sz.width(), H = sz.height();
  QPainter p(&bitmap);
  const TtwSkinColors& colors = skinData_->SkinColors();
  const QColor line = ColorToQ(colors.cbtnshadow);
  p.setFont(useSkinFont_ ? TwSkinFont(fontname_, fontheight_, fontstyle_) : defaultFont_);
  const int th = QFontMetrics(p.font()).height();
  const int stripH = th + 5;
  captionArea_ = QRect(5, 0, W - 5, stripH);
  int x = 5;
  if (checkedMode_) {
    const TRect piece = checked_ ? checkimagerect_ : uncheckimagerect_;
    if (piece.IsEmpty()) {
      DrawPlainCheckBox(p, x, stripH / 2 - kCheckBoxSize / 2, checked_, line, ColorToQ(colors.cwindow), colors.cbtntext);
      x += kCheckBoxSize + 5;
    } else {
      DrawKeyedPiece(p, x, stripH / 2 - piece.Height() / 2, geo_.SourcePicture, piece);
      x += piece.Width() + 5;
    }
  }
  const QImage pic = CaptionPicture();
  const int picX = x;
  if (!pic.isNull()) x += pic.width() + 2;
  TColor textColor = colors.cbtntext;
  if (int i = skinData_->FindControlIndex(QStringLiteral("stdlabel")); i != -1)
    if (auto* r = dynamic_cast<const TtwDataSkinStdLabelControl*>(skinData_->ControlRecords()[i]))
      textColor = r->fontcolor;
  p.setPen(ColorToQ(textColor));
  const int textEnd = x + QFontMetrics(p.font()).horizontalAdvance(caption_);
  DrawTextVCenter(p, caption_, TRect{x, 0, W, stripH});
  if (!pic.isNull()) p.drawImage(picX, stripH / 2 - pic.height() / 2, pic);
  const int mid = stripH / 2;
  p.fillRect(0, mid, 5, 1, line);
  int lineStart = textEnd + 3;
  if (rollUpMode_) {
    DrawArrowMark(p, TRect{textEnd + 3, 0, textEnd + 10, stripH}, textColor, rollUpState_ ? kArrowDown : kArrowUp);
    lineStart = textEnd + 12;
  }
  if (W - lineStart > 0) p.fillRect(lineStart, mid, W - lineStart, 1, line);
  p.fillRect(W - 1, mid, 1, H - mid, line);
  p.fillRect(0, H - 1, W, 1, line);
  p.fillRect(0, mid, 1, H - mid, line);
  PanelPaint(p);
}

void TtwSkinPanel::PaintSkin(QImage& bitmap) {
  const QSize sz = LogicalSize(bitmap);
  if (borderStyle_ == bvNone && geo_.PieceMode == pmNinePiece && !captionMode_ && !geo_.StretchEffect()) {
    FillFromPicture(bitmap, geo_.SourcePicture, geo_.ClientPiece(), TRect{0, 0, sz.width(), sz.height()},
                    TFillMode::Tile);
    return;
  }
  TtwSkinCustomControl::PaintSkin(bitmap);
  if (geo_.PieceMode < pmNinePiece) captionArea_ = captionrect_.ToQ();
  else if (!transparentMode_) captionArea_ = MapSkinRect(captionrect_).ToQ();
  if (!caption_.isEmpty() && !captionArea_.isEmpty()) DrawSkinCaption(bitmap);
}

void TtwSkinPanel::DrawSkinCaption(QImage& bitmap) {
  QPainter p(&bitmap);
  TRect area = TRect::FromQ(captionArea_);
  if (rollUpMode_) area.Right -= 12;
  if (checkedMode_) {
    const TRect piece = checked_ ? checkimagerect_ : uncheckimagerect_;
    if (piece.IsEmpty() && skinData_) {
      const TtwSkinColors& colors = skinData_->SkinColors();
      DrawPlainCheckBox(p, area.Left, area.Top + area.Height() / 2 - kCheckBoxSize / 2, checked_,
                        ColorToQ(colors.cbtnshadow), ColorToQ(colors.cwindow), fontcolor_);
      area.Left += kCheckBoxSize + 4;
    } else {
      DrawKeyedPiece(p, area.Left, area.Top + area.Height() / 2 - piece.Height() / 2, geo_.SourcePicture, piece);
      area.Left += piece.Width() + 2;
    }
  }
  p.setFont(useSkinFont_ ? TwSkinFont(fontname_, fontheight_, fontstyle_) : defaultFont_);
  p.setPen(ColorToQ(fontcolor_));
  const QFontMetrics fm(p.font());
  const QImage pic = CaptionPicture();
  const int tw = fm.horizontalAdvance(caption_);
  const int w = tw + (pic.isNull() ? 0 : pic.width() + spacing_);
  int x = area.Left;
  if (alignment_ == twtok::tarightjustify) x = area.Right - w;
  else if (alignment_ == twtok::tacenter) x = area.Left + area.Width() / 2 - w / 2;
  int picX = x, textX = x + (pic.isNull() ? 0 : pic.width() + spacing_);
  if (!pic.isNull() && imagePosition_ == twipLeft) {
    picX = area.Left + 2;
    if (alignment_ == twtok::tarightjustify) textX = area.Right - tw;
    else if (alignment_ == twtok::tacenter) textX = area.Left + area.Width() / 2 - tw / 2;
    else textX = pic.width() + area.Left + spacing_ + 2;
    textX = std::max(textX, picX + pic.width() + spacing_);
  }
  if (rollUpMode_) {
    const TRect box{area.Right, area.Top, area.Right + 10, area.Bottom};
    if (!markframerect_.IsEmpty())
      p.drawImage(QPoint(box.Left, area.Top), geo_.SourcePicture.copy(markframerect_.ToQ()));
    DrawArrowMark(p, box, fontcolor_, rollUpState_ ? kArrowDown : kArrowUp);
  }
  if (!framerect_.IsEmpty()) {
    const int extra = framerect_.Width() - frametextrect_.Width();
    QImage frame;
    ComposeThreePieceH(geo_.SourcePicture, framerect_, frameleftoffset_, framerightoffset_, false, tw + extra, frame);
    int fx = x;
    if (alignment_ == twtok::tarightjustify) {
      fx = x - extra;
      picX -= extra;
      textX += frametextrect_.Left - extra;
    } else if (alignment_ == twtok::tacenter) {
      fx = x - frametextrect_.Left - 2;
      picX -= frametextrect_.Left;
      textX -= 2;
    } else {
      textX += frametextrect_.Left;
    }
    p.drawImage(fx, captionrect_.Top, frame);
  }
  p.setClipRect(area.ToQ());
  p.drawText(QRect(textX, area.Top, std::max(area.Right - textX, 0), area.Height()),
             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption_);
  p.setClipping(false);
  if (!pic.isNull()) p.drawImage(picX, area.Top + area.Height() / 2 - pic.height() / 2, pic);
}

void TtwSkinPanel::DrawDefaultCaption(QPainter& p, QRect r) {
  const QColor text = SystemColor(COLOR_BTNTEXT);
  if (checkedMode_) {
    const QRect box(5, r.top() + r.height() / 2 - 7, 14, 14);
    QRect b = box;
    DrawBevel(p, b, SystemColor(COLOR_BTNSHADOW), SystemColor(COLOR_BTNSHADOW));
    if (checked_) DrawCheckMark(p, box.left() + 3, box.top() + 2, clBtnText);
    r.setLeft(r.left() + 20);
  }
  if (rollUpMode_) {
    DrawArrowMark(p, TRect{r.right() - 9, r.top(), r.right() + 1, r.bottom() + 1}, clBtnText,
                  rollUpState_ ? kArrowDown : kArrowUp);
    r.setRight(r.right() - 10);
  }
  p.setFont(defaultFont_);
  const QFontMetrics fm(p.font());
  const QImage pic = CaptionPicture();
  const int tw = fm.horizontalAdvance(caption_);
  const int w = tw + (pic.isNull() ? 0 : pic.width() + spacing_);
  int x = r.left() + 2;
  if (defaultAlignment_ == taRightJustify) x = r.left() + r.width() - w;
  else if (defaultAlignment_ == taCenter) x = r.left() + 2 + r.width() / 2 - w / 2;
  if (!pic.isNull()) {
    p.drawImage(x, r.top() + r.height() / 2 - pic.height() / 2, pic);
    x += pic.width() + spacing_;
  }
  p.setClipRect(r);
  p.setPen(isEnabled() ? text : SystemColor(COLOR_GRAYTEXT));
  p.drawText(QRect(x, r.top(), r.right() + 1 - x, r.height()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
             caption_);
  p.setClipping(false);
  captionArea_ = r;
}

void TtwSkinPanel::PaintDefault(QImage& bitmap) {
  const QColor face = SystemColor(COLOR_BTNFACE), shadow = SystemColor(COLOR_BTNSHADOW),
               light = SystemColor(COLOR_BTNHIGHLIGHT);
  FillFace(bitmap, face);
  QPainter p(&bitmap);
  const QSize sz = LogicalSize(bitmap);
  const int W = sz.width();
  QRect r(QPoint(0, 0), sz);
  switch (borderStyle_) {
    case bvFrame: DrawBevel(p, r, shadow, shadow); break;
    case bvRaised: DrawBevel(p, r, light, shadow); break;
    case bvLowered: DrawBevel(p, r, shadow, light); break;
    case bvNone: break;
  }
  if (!captionMode_) return;
  QRect band = borderStyle_ == bvFrame ? QRect(0, 0, W, defaultCaptionHeight_)
                                       : QRect(1, 1, W - 2, defaultCaptionHeight_ - 1);
  if (band.width() <= 0 || band.height() <= 0) return;
  if (borderStyle_ == bvFrame) {
    DrawBevel(p, band, shadow, shadow);
    DrawBevel(p, band, light, face);
  } else {
    DrawBevel(p, band, shadow, light);
    DrawBevel(p, band, light, shadow);
  }
  DrawDefaultCaption(p, band);
}

void TtwSkinPanel::ApplySkin() {
  TtwSkinCustomControl::ApplySkin();
  if (realHeight_ == -1) {
    AlignChildren(this);
  } else {
    // Rolled up: take the new skin's caption height, keep the height to restore.
    const int saved = realHeight_;
    realHeight_ = -1;
    RollStep();
    realHeight_ = saved;
  }
}

void TtwSkinPanel::SetBounds(int left, int top, int width, int height) {
  TtwSkinCustomControl::SetBounds(left, top, width, height);
  if (recordIndex_ == -1) update();
}

void TtwSkinPanel::BackgroundChanged() {
  if (!transparentMode_) return;
  update();
  NotifyChildrenBackground();
}

void TtwSkinPanel::moveEvent(QMoveEvent* e) {
  TtwSkinCustomControl::moveEvent(e);
  BackgroundChanged();
}

void TtwSkinPanel::CaptionChanged() {
  if (captionMode_) update();
}

void TtwSkinPanel::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) update();
  TtwSkinCustomControl::changeEvent(e);
}

void TtwSkinPanel::mousePressEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mousePressEvent(e);
  if (e->button() == Qt::LeftButton) pressedInside_ = true;
}

void TtwSkinPanel::mouseReleaseEvent(QMouseEvent* e) {
  const bool wasPressed = pressedInside_;
  pressedInside_ = false;
  if (e->button() == Qt::LeftButton && (rollUpMode_ || checkedMode_) && captionMode_) {
    const QRect hit = recordIndex_ != -1 ? captionArea_ : QRect(1, 1, width() - 2, defaultCaptionHeight_ - 1);
    // Edges count as inside.
    if (hit.adjusted(0, 0, 1, 1).contains(e->position().toPoint())) {
      if (checkedMode_) SetChecked(!checked_);
      if (rollUpMode_) SetRollUpState(!rollUpState_);
    }
  }
  TtwSkinCustomControl::mouseReleaseEvent(e);
  if (e->button() == Qt::LeftButton && wasPressed && rect().contains(e->position().toPoint())) {
    if (OnClick) OnClick();
    emit clicked();
  }
}

void TtwSkinPanel::mouseDoubleClickEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseDoubleClickEvent(e);
  if (e->button() != Qt::LeftButton) return;
  if (OnDblClick) OnDblClick();
  emit doubleClicked();
}

TtwSkinGroupBox::TtwSkinGroupBox(QWidget* parent) : TtwSkinPanel(parent) {
  skinDataName_ = QStringLiteral("groupbox");
  captionMode_ = true;
}

TtwSkinPaintPanel::TtwSkinPaintPanel(QWidget* parent) : TtwSkinPanel(parent) { compositePaint_ = false; }

void TtwSkinPaintPanel::PanelPaint(QPainter& p) {
  if (OnPanelPaint) OnPanelPaint(p, AlignClientRect());
}

void TtwSkinPaintPanel::PaintDefault(QImage& bitmap) {
  TtwSkinPanel::PaintDefault(bitmap);
  QPainter p(&bitmap);
  PanelPaint(p);
}

void TtwSkinPaintPanel::PaintSkin(QImage& bitmap) {
  TtwSkinPanel::PaintSkin(bitmap);
  QPainter p(&bitmap);
  PanelPaint(p);
}
