// Binding skinned controls to their records, fitting them to the record's
// piece and painting their faces; a control with no usable record always
// paints its default look, so no skin state can leave it blank or broken.
#include "skin/controls/twSkinControlBase.h"

#include "skin/draw/twGuard.h"

#include <QEnterEvent>
#include <QPaintEvent>
#include <QPainter>
#include <type_traits>

#include "platform/Message.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"

QFont TwDefaultFont() { return TwSkinFont(QStringLiteral("Arial"), 14, 0); }

QFont TwSkinFont(const QString& name, int height, uint8_t style) {
  QFont f(name);
  f.setPixelSize(height > 0 ? height : 14);
  f.setBold(style & twtok::fsbold);
  f.setItalic(style & twtok::fsitalic);
  f.setUnderline(style & twtok::fsunderline);
  f.setStrikeOut(style & twtok::fsstrikeout);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

void DrawBevel(QPainter& p, QRect& r, const QColor& tl, const QColor& br) {
  if (r.width() <= 0 || r.height() <= 0) return;
  const int L = r.left(), T = r.top(), R = r.left() + r.width() - 1, B = r.top() + r.height() - 1;
  p.fillRect(L, T, R - L + 1, 1, tl);
  p.fillRect(L, T, 1, B - T + 1, tl);
  p.fillRect(R, T, 1, B - T + 1, br);
  p.fillRect(L, B, R - L + 1, 1, br);
  r.adjust(1, 1, -1, -1);
}

QSize LogicalSize(const QImage& img) { return img.deviceIndependentSize().toSize(); }

void DrawLogical(QImage& face, const QPoint& at, const QImage& piece) {
  if (piece.isNull()) return;
  if (face.devicePixelRatio() == 1.0) {
    CopyPixels(face, TRect{at.x(), at.y(), at.x() + piece.width(), at.y() + piece.height()}, piece,
               TRect{0, 0, piece.width(), piece.height()});
    return;
  }
  QPainter p(&face);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(QRect(at, piece.size()), piece);
}

// ---------------------------------------------------------------- geometry

TPieceAnchors TtwSkinGeometry::SkinAnchors() const {
  return {LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint, SkinClientRect};
}

TPieceAnchors TtwSkinGeometry::FitAnchors() const {
  return {FitLeftTop, FitRightTop, FitLeftBottom, FitRightBottom, FitClientRect};
}

TRect TtwSkinGeometry::ClientPiece() const {
  return TRect{PieceRect.Left + SkinClientRect.Left, PieceRect.Top + SkinClientRect.Top,
               PieceRect.Left + SkinClientRect.Right, PieceRect.Top + SkinClientRect.Bottom};
}

TEdgeStretch TtwSkinGeometry::Edges() const {
  return {StretchFlags[2] != 0, StretchFlags[3] != 0, StretchFlags[4] != 0, StretchFlags[5] != 0};
}

void TtwSkinGeometry::Bind(const TtwSkinData& data, const TtwDataSkinControl* record, bool withMask) {
  auto* r = dynamic_cast<const TtwDataSkinCustomControl*>(record);
  if (!r) {
    // A record of another class has no piece: fitting it would shrink the
    // control to nothing.
    Unbind();
    return;
  }
  LeftTopPoint = r->lefttoppoint;
  RightTopPoint = r->righttoppoint;
  LeftBottomPoint = r->leftbottompoint;
  RightBottomPoint = r->rightbottompoint;
  PieceRect = r->skinrect;
  SkinClientRect = r->clientrect;
  const uint8_t flags[6] = {uint8_t(r->stretcheffect), r->stretchtype,        uint8_t(r->leftstretch),
                            uint8_t(r->topstretch),    uint8_t(r->rightstretch), uint8_t(r->bottomstretch)};
  std::copy(std::begin(flags), std::end(flags), StretchFlags);
  const QImage* pic = data.ActivePicture(r->pictureindex);
  SourcePicture = pic ? *pic : QImage();
  const QImage* mask = withMask ? data.ActivePicture(r->maskpictureindex) : nullptr;
  SourceMask = mask ? *mask : QImage();
  PieceMode = ::PieceMode(PieceRect, SkinAnchors());
  // A nine-piece without a client rectangle would split into nothing: its
  // client is what the corners leave.
  if (PieceMode == pmNinePiece && SkinClientRect.IsEmpty())
    SkinClientRect = TRect{LeftTopPoint.X, LeftTopPoint.Y, RightBottomPoint.X, RightBottomPoint.Y};
}

void TtwSkinGeometry::Unbind() {
  PieceMode = pmNone;
  SourcePicture = QImage();
  SourceMask = QImage();
}

void TtwSkinGeometry::Fit(int& W, int& H) {
  if (PieceMode == pmNone) return;
  if (PieceMode == pmFixed) {
    W = PieceRect.Width();
    H = PieceRect.Height();
    FitClientRect = SkinClientRect;
    return;
  }
  if (PieceMode == pmThreePieceH) H = PieceRect.Height();
  if (PieceMode == pmThreePieceV) W = PieceRect.Width();
  const TPieceAnchors n = ShiftAnchors(PieceMode, PieceRect, SkinAnchors(), W, H);
  FitLeftTop = n.LT;
  FitRightTop = n.RT;
  FitLeftBottom = n.LB;
  FitRightBottom = n.RB;
  FitClientRect = n.ClRect;
}

TRect TtwSkinGeometry::Map(const TRect& r, int W, int H) const {
  const int sw = PieceRect.Width(), sh = PieceRect.Height();
  const int dW = W - sw, dH = H - sh;
  TRect res = r;
  auto move = [&](int dx, int dy) {
    res.Left += dx;
    res.Right += dx;
    res.Top += dy;
    res.Bottom += dy;
  };
  if (PieceMode == pmNinePiece) {
    const TRect LT{0, 0, LeftTopPoint.X, LeftTopPoint.Y};
    const TRect LB{0, LeftBottomPoint.Y, LeftBottomPoint.X, sh};
    const TRect RT{RightTopPoint.X, 0, sw, RightTopPoint.Y};
    const TRect RB{RightBottomPoint.X, RightBottomPoint.Y, sw, sh};
    // Whole rectangles count a zone's right and bottom edges as outside;
    // single corners count all four edges as inside.
    auto inHalf = [](const TRect& z, int x, int y) {
      return x >= z.Left && x < z.Right && y >= z.Top && y < z.Bottom;
    };
    auto whole = [&](const TRect& z) { return inHalf(z, r.Left, r.Top) && inHalf(z, r.Right, r.Bottom); };
    auto at = [](const TRect& z, int x, int y) { return PointInRect(TPoint{x, y}, z); };
    if (whole(LT)) return res;
    if (whole(RT)) { move(dW, 0); return res; }
    if (whole(LB)) { move(0, dH); return res; }
    if (whole(RB)) { move(dW, dH); return res; }
    const bool tlLT = at(LT, r.Left, r.Top), tlLB = at(LB, r.Left, r.Top), tlRT = at(RT, r.Left, r.Top);
    const bool brRB = at(RB, r.Right, r.Bottom), brRT = at(RT, r.Right, r.Bottom),
               brLB = at(LB, r.Right, r.Bottom);
    if (tlLT && brRB) { res.Right += dW; res.Bottom += dH; }
    else if (tlLT && brRT) { res.Right += dW; }
    else if (tlLB && brRB) { res.Right += dW; move(0, dH); }
    else if (tlLT && brLB) { res.Bottom += dH; }
    else if (tlRT && brRB) { move(dW, 0); res.Bottom += dH; }
  } else if (PieceMode == pmThreePieceH) {
    if (r.Left <= LeftTopPoint.X && r.Right >= RightTopPoint.X) res.Right += dW;
    else if (r.Left >= RightTopPoint.X && r.Right > RightTopPoint.X) move(dW, 0);
  } else if (PieceMode == pmThreePieceV) {
    if (r.Top <= LeftTopPoint.Y && r.Bottom >= LeftBottomPoint.Y) res.Bottom += dH;
    else if (r.Top >= LeftBottomPoint.Y && r.Bottom > LeftBottomPoint.Y) move(0, dH);
  }
  return res;
}

void TtwSkinGeometry::PaintPiece(QImage& face, const TRect& piece, bool skipNine) const {
  if (SourcePicture.isNull() || piece.IsEmpty()) return;
  const QSize sz = LogicalSize(face);
  const int W = sz.width(), H = sz.height();
  // At ratio 1 a piece of the face's own size is composed straight into it.
  const bool direct = face.devicePixelRatio() == 1.0;
  QImage part;
  switch (PieceMode) {
    case pmFixed:
      if (direct) {
        CopyPixels(face, TRect{0, 0, piece.Width(), piece.Height()}, SourcePicture, piece);
        return;
      }
      part = SourcePicture.copy(piece.ToQ());
      break;
    case pmNinePiece:
      if (skipNine) return;
      ComposeNinePiece(SourcePicture, piece, SkinAnchors(), W, H, FitAnchors(), Edges(), true, StretchEffect(),
                       StretchType(), direct ? face : part);
      if (direct) return;
      break;
    case pmThreePieceH:
      ComposeThreePieceH(SourcePicture, piece, LeftTopPoint.X, piece.Width() - RightTopPoint.X, StretchEffect(), W,
                         direct && piece.Height() == H ? face : part);
      if (direct && piece.Height() == H) return;
      break;
    case pmThreePieceV:
      ComposeThreePieceV(SourcePicture, piece, LeftTopPoint.Y, piece.Height() - LeftBottomPoint.Y, StretchEffect(),
                         H, direct && piece.Width() == W ? face : part);
      if (direct && piece.Width() == W) return;
      break;
    default:
      return;
  }
  DrawLogical(face, QPoint(0, 0), part);
}

// ---------------------------------------------------------------- shared base

TtwSkinWidget::TtwSkinWidget(QWidget* parent) : QWidget(parent) {
  // The face image covers every pixel, so nothing needs erasing first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
}

TtwSkinWidget::~TtwSkinWidget() = default;

void TtwSkinWidget::SetSkinData(TtwSkinData* data) {
  skinData_ = data;
  if (data && !data->Empty()) ApplySkin();
}

const TtwDataSkinControl* TtwSkinWidget::Record() const {
  if (recordIndex_ < 0 || !skinData_) return nullptr;
  const auto& list = skinData_->ControlRecords();
  return recordIndex_ < list.size() ? list[recordIndex_] : nullptr;
}

void TtwSkinWidget::FindSkinRecord() {
  recordIndex_ = (!skinData_ || skinData_->Empty()) ? -1 : skinData_->FindControlIndex(skinDataName_);
}

void TtwSkinWidget::PaintDefault(QImage&) {}
void TtwSkinWidget::PaintSkin(QImage&) {}

void TtwSkinWidget::ApplySkin() {
  FindSkinRecord();
  update();
}

void TtwSkinWidget::SetBounds(int left, int top, int width, int height) {
  const QSize old = size();
  setGeometry(left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
  BoundsChanged(this, old);
}

void TtwSkinWidget::SetCaption(const QString& c) {
  if (c == caption_) return;
  caption_ = c;
  CaptionChanged();
}

bool TtwSkinWidget::ResourceCharSet() const { return skinData_ && skinData_->ResourceStrData(); }

void TtwSkinWidget::PaintFace(QImage& bitmap) {
  FindSkinRecord();
  if (recordIndex_ == -1) {
    PaintDefault(bitmap);
    return;
  }
  // A skin the drawing cannot serve leaves the default look, never an error
  // out of the paint (Qt forbids one leaving an event handler).
  if (!TwGuarded("paint", [&] { PaintSkin(bitmap); })) PaintDefault(bitmap);
}

namespace {

// Face images reused from paint to paint: a window's worth of fresh pixels
// on every paint costs more in page faults than in drawing. A stack, since
// a see-through face paints its parent's face while its own is in use.
class TFacePool {
 public:
  QImage Take(const QSize& px, qreal dpr) {
    QImage img;
    if (!free_.empty()) {
      img = std::move(free_.back());
      free_.pop_back();
    }
    if (img.width() < px.width() || img.height() < px.height())
      img = TwNewSurface(std::max(px.width(), img.width()), std::max(px.height(), img.height()),
                         QImage::Format_RGB32);
    if (img.isNull()) {
      owners_.emplace_back();
      return QImage();
    }
    // A view of the top-left part, sharing the pooled pixels.
    QImage view(img.bits(), px.width(), px.height(), img.bytesPerLine(), QImage::Format_RGB32);
    view.setDevicePixelRatio(dpr);
    owners_.push_back(std::move(img));
    return view;
  }
  void Give() {
    free_.push_back(std::move(owners_.back()));
    owners_.pop_back();
  }

 private:
  std::vector<QImage> free_, owners_;
};

TFacePool& FacePool() {
  static TFacePool pool;
  return pool;
}

}  // namespace

QImage TtwSkinWidget::RenderFace(qreal dpr) {
  if (width() <= 0 || height() <= 0) return QImage();
  const QSize px = size() * dpr;
  QImage img = TwNewSurface(px.width(), px.height(), QImage::Format_RGB32);
  if (img.isNull()) return img;
  img.setDevicePixelRatio(dpr);
  paintRegion_ = rect();
  RenderFaceInto(img);
  return img;
}

void TtwSkinWidget::RenderFaceInto(QImage& img) {
  FindSkinRecord();
  if (SeeThrough()) {
    QPainter p(&img);
    PaintUnderlay(this, p);
  } else if (!SkinCoversFace()) {
    FillFace(img, SystemColor(COLOR_BTNFACE));
  }
  PaintFace(img);
}

void TtwSkinWidget::FillFace(QImage& face, const QColor& c) const {
  const QRegion visible = paintRegion_ & QRect(QPoint(0, 0), LogicalSize(face));
  if (face.devicePixelRatio() != 1.0) {
    QPainter p(&face);
    for (const QRect& r : visible) p.fillRect(r, c);
    return;
  }
  const uint32_t v = c.rgb();
  uchar* bits = face.bits();  // scanLine() would ask for a detach on every row
  const qsizetype bpl = face.bytesPerLine();
  for (const QRect& r : visible)
    for (int y = r.top(); y <= r.bottom(); ++y)
      std::fill_n(reinterpret_cast<uint32_t*>(bits + qsizetype(y) * bpl) + r.left(), r.width(), v);
}

void TtwSkinWidget::paintEvent(QPaintEvent* e) {
  if (width() <= 0 || height() <= 0) return;
  const qreal dpr = devicePixelRatioF();
  // Opaque children are already cut from the region: only the rest is
  // filled where it can be, and only the rest is copied.
  paintRegion_ = e->region() & rect();
  QImage img = FacePool().Take(size() * dpr, dpr);
  // A window too large for any face paints nothing rather than write through
  // a null picture.
  if (!img.isNull() && TwGuarded("paint", [&] { RenderFaceInto(img); })) {
    // Rectangle by rectangle, each the only clip: a copy under a clip of
    // many rectangles goes span by span, and a tall narrow rectangle of
    // spans is handed to Qt's worker threads, which a busy machine makes
    // wait far longer than the copy itself takes.
    QPainter p(this);
    for (const QRect& r : paintRegion_) {
      p.setClipRect(r);
      if (dpr == 1.0) p.drawImage(r.topLeft(), img, r);
      else p.drawImage(QRectF(r), img, QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr));
    }
  }
  img = QImage();
  FacePool().Give();
  paintRegion_ = rect();
}

void TtwSkinWidget::enterEvent(QEnterEvent* e) {
  QWidget::enterEvent(e);
  if (OnMouseEnter) OnMouseEnter(this);
}

void TtwSkinWidget::leaveEvent(QEvent* e) {
  QWidget::leaveEvent(e);
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---------------------------------------------------------------- windowed

TtwSkinControl::TtwSkinControl(QWidget* parent) : TtwSkinWidget(parent) {}
TtwSkinControl::~TtwSkinControl() = default;

void TtwSkinControl::NotifyChildrenBackground() {
  for (QObject* o : children())
    if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow())
      SendMessage(w, SKIN_MSG_BACKGROUND_CHANGED, 0, 0);
}

bool TtwSkinControl::event(QEvent* e) {
  if (TMessage* m = MessageOf(e); m && m->Msg == SKIN_MSG_BACKGROUND_CHANGED) {
    BackgroundChanged();
    return true;
  }
  return TtwSkinWidget::event(e);
}

void TtwSkinControl::paintEvent(QPaintEvent* e) {
  paintingFromSystem_ = true;
  TtwSkinWidget::paintEvent(e);
  paintingFromSystem_ = false;
}

// ---------------------------------------------------------------- custom parts

template <class Base>
TtwSkinCustomParts<Base>::TtwSkinCustomParts(QWidget* parent) : Base(parent), defaultFont_(TwDefaultFont()) {
  this->setFont(defaultFont_);
}

template <class Base>
void TtwSkinCustomParts<Base>::SetDefaultWidth(int w) {
  defaultWidth_ = w;
  if (this->recordIndex_ == -1 && w > 0) this->SetWidth(w);
}

template <class Base>
void TtwSkinCustomParts<Base>::SetDefaultHeight(int h) {
  defaultHeight_ = h;
  if (this->recordIndex_ == -1 && h > 0) this->SetHeight(h);
}

template <class Base>
void TtwSkinCustomParts<Base>::SetDefaultFont(const QFont& f) {
  defaultFont_ = f;
  DefaultFontChanged();
  if (this->recordIndex_ == -1) this->update();
}

template <class Base>
void TtwSkinCustomParts<Base>::SetDefaultFontColor(const QColor& c) {
  defaultFontColor_ = c;
  DefaultFontChanged();
  if (this->recordIndex_ == -1) this->update();
}

template <class Base>
void TtwSkinCustomParts<Base>::FindSkinRecord() {
  Base::FindSkinRecord();
  if (this->recordIndex_ != -1)
    geo_.Bind(*this->skinData_, this->Record(), std::is_base_of_v<TtwSkinControl, Base>);
  else
    geo_.Unbind();
}

template <class Base>
void TtwSkinCustomParts<Base>::FitToSkin(int& width, int& height) {
  if (this->recordIndex_ == -1) return;
  geo_.Fit(width, height);
}

template <class Base>
void TtwSkinCustomParts<Base>::PaintDefault(QImage& bitmap) {
  this->FillFace(bitmap, SystemColor(COLOR_BTNFACE));
}

template <class Base>
void TtwSkinCustomParts<Base>::PaintSkin(QImage& bitmap) {
  geo_.PaintPiece(bitmap, geo_.PieceRect, false);
}

template <class Base>
void TtwSkinCustomParts<Base>::ApplySkin() {
  FindSkinRecord();
  bool resized = false;
  if (this->recordIndex_ == -1) {
    const int w = defaultWidth_ > 0 ? defaultWidth_ : this->width();
    const int h = defaultHeight_ > 0 ? defaultHeight_ : this->height();
    if (w != this->width() || h != this->height()) this->SetBounds(this->x(), this->y(), w, h);
  } else {
    int w = this->width(), h = this->height();
    FitToSkin(w, h);
    if (w != this->width() || h != this->height()) {
      this->SetBounds(this->x(), this->y(), w, h);
      resized = true;
    }
  }
  if (!resized || this->recordIndex_ == -1) {
    SizeFitted();
    this->update();
  }
}

template <class Base>
void TtwSkinCustomParts<Base>::SetBounds(int left, int top, int width, int height) {
  FindSkinRecord();
  width = std::max(width, 0);
  height = std::max(height, 0);
  const bool changed = (width != this->width() || height != this->height()) && this->recordIndex_ != -1;
  if (changed) {
    FitToSkin(width, height);
    if (geo_.PieceMode == pmFixed) geo_.FitClientRect = geo_.SkinClientRect;
  }
  Base::SetBounds(left, top, width, height);
  // A container that places its children (a tool bar centres them) hears
  // of it at once, even while this control is hidden.
  if (QWidget* parent = this->parentWidget()) SendMessage(parent, SKIN_MSG_CHILD_BOUNDS, intptr_t(static_cast<QWidget*>(this)));
  if (changed) {
    SizeFitted();
    this->update();
  }
  if constexpr (std::is_base_of_v<TtwSkinControl, Base>)
    if (this->recordIndex_ != -1 && geo_.StretchEffect()) this->NotifyChildrenBackground();
}

template class TtwSkinCustomParts<TtwSkinControl>;
template class TtwSkinCustomParts<TtwGraphicSkinControl>;

// ---------------------------------------------------------------- windowed custom

TtwSkinCustomControl::TtwSkinCustomControl(QWidget* parent) : TtwSkinCustomParts(parent) {}
TtwSkinCustomControl::~TtwSkinCustomControl() = default;

void TtwSkinCustomControl::UpdateRegion() {
  if (!parentWidget()) return;
  if (geo_.SourceMask.isNull() || recordIndex_ == -1) {
    if (!mask().isEmpty()) clearMask();
    return;
  }
  QRegion region;
  const QImage& mask = geo_.SourceMask;
  const TRect whole{0, 0, mask.width(), mask.height()};
  if (geo_.PieceMode == pmFixed) {
    region = RegionFromMask(mask);
  } else if (geo_.PieceMode == pmNinePiece) {
    region = FrameRegionFromMask(mask, geo_.SkinAnchors(), geo_.FitAnchors(), width());
  } else if (geo_.PieceMode == pmThreePieceH || geo_.PieceMode == pmThreePieceV) {
    // A three-piece mask is fitted as its picture is: the frame bands of a
    // nine-piece would drop the ends and the bottom, clipping the control.
    QImage fitted;
    if (geo_.PieceMode == pmThreePieceH)
      ComposeThreePieceH(mask, whole, geo_.LeftTopPoint.X, mask.width() - geo_.RightTopPoint.X, geo_.StretchEffect(),
                         width(), fitted);
    else
      ComposeThreePieceV(mask, whole, geo_.LeftTopPoint.Y, mask.height() - geo_.LeftBottomPoint.Y,
                         geo_.StretchEffect(), height(), fitted);
    region = RegionFromMask(fitted);
  }
  if (region.isEmpty()) clearMask();
  else setMask(region);
}

void TtwSkinCustomControl::PaintFace(QImage& bitmap) {
  FindSkinRecord();
  int w = width(), h = height();
  FitToSkin(w, h);  // refreshes the fitted geometry for the current size
  if (recordIndex_ == -1) {
    PaintDefault(bitmap);
    return;
  }
  if (!UsesComposite()) {
    PaintSkin(bitmap);
    return;
  }
  PaintComposite(bitmap);
}

void TtwSkinCustomControl::PaintComposite(QImage& bitmap) {
  const int W = width(), H = height();
  const TtwSkinGeometry& g = geo_;
  const TBandsKey key{g.SourcePicture.cacheKey(), g.PieceRect, g.SkinAnchors(), g.FitAnchors(), W, H, g.Edges()};
  if (!(key == bandsKey_)) {
    // Stretching the pieces is most of a panel's paint; a repaint at the same
    // size and skin reuses them.
    for (QImage& b : bands_) b = QImage();
    ComposeBorderBands(g.SourcePicture, g.PieceRect, key.Skin, key.Fit, W, H, key.Edges, bands_[0], bands_[1],
                       bands_[2], bands_[3]);
    bandsKey_ = key;
  }
  const QImage& left = bands_[2];
  const QImage& right = bands_[3];
  const QImage& bottom = bands_[1];
  const qreal dpr = bitmap.devicePixelRatio();
  // PaintSkin draws on a copy of the top band, so the kept one stays clean.
  if (bands_[0].isNull()) {
    topFace_ = QImage();
  } else if (dpr != 1.0) {
    // Captions drawn into the band keep the face's full resolution.
    topFace_ = TwNewSurface(bands_[0].size(), dpr, bands_[0].format());
    if (!topFace_.isNull()) {
      QPainter p(&topFace_);
      p.setRenderHint(QPainter::SmoothPixmapTransform, false);
      p.drawImage(QRect(QPoint(0, 0), bands_[0].size()), bands_[0]);
    }
  } else {
    if (topFace_.size() != bands_[0].size() || topFace_.format() != bands_[0].format() ||
        topFace_.devicePixelRatio() != 1.0)
      topFace_ = TwNewSurface(bands_[0].width(), bands_[0].height(), bands_[0].format());
    CopyPixels(topFace_, TRect{0, 0, W, bands_[0].height()}, bands_[0], TRect{0, 0, W, bands_[0].height()});
  }
  QImage& top = topFace_;
  if (!top.isNull()) PaintSkin(top);
  // An empty client piece has nothing to fill with: the face keeps its fill.
  if (fillClientFromSkin_)
    FillFromPicture(bitmap, g.SourcePicture, g.ClientPiece(), g.FitClientRect,
                    FillModeOf(g.StretchEffect(), g.StretchType()));
  auto band = [&](const QImage& b, int x, int y) {
    if (b.isNull()) return;
    if (b.devicePixelRatio() == dpr && dpr != 1.0) {
      QPainter(&bitmap).drawImage(QPoint(x, y), b);
    } else {
      DrawVisible(bitmap, QPoint(x, y), b);
    }
  };
  const int topH = top.isNull() ? 0 : int(top.height() / top.devicePixelRatio());
  band(top, 0, 0);
  band(left, 0, topH);
  band(right, W - right.width(), topH);
  band(bottom, 0, H - bottom.height());
}

void TtwSkinWidget::DrawVisible(QImage& face, const QPoint& at, const QImage& piece) const {
  if (piece.isNull()) return;
  if (face.devicePixelRatio() != 1.0) {
    DrawLogical(face, at, piece);
    return;
  }
  const std::vector<TFillBlit> plan{{TRect{0, 0, piece.width(), piece.height()},
                                     TRect{at.x(), at.y(), at.x() + piece.width(), at.y() + piece.height()}}};
  const QRect whole(at, piece.size());
  for (const QRect& vis : paintRegion_)
    if (vis.intersects(whole)) RunFill(face, piece, plan, vis);
}

void TtwSkinWidget::FillFromPicture(QImage& face, const QImage& picture, const TRect& piece, const TRect& area,
                                    TFillMode mode) const {
  if (picture.isNull() || piece.IsEmpty() || area.IsEmpty()) return;
  const TFillSource src = WidenTiledPiece(picture, piece, mode);
  if (face.devicePixelRatio() == 1.0) {
    // Filled in place, and only where the paint shows.
    const std::vector<TFillBlit> plan = PlanFill(src.Piece, area, mode);
    for (const QRect& vis : paintRegion_) RunFill(face, src.Picture, plan, vis);
    return;
  }
  QImage fill = TwNewSurface(area.Width(), area.Height(), QImage::Format_RGB32);
  if (fill.isNull()) return;  // the face keeps its plain fill
  RunFill(fill, src.Picture, PlanFill(src.Piece, TRect{0, 0, area.Width(), area.Height()}, mode), fill.rect());
  DrawLogical(face, QPoint(area.Left, area.Top), fill);
}

// ---------------------------------------------------------------- windowless

TtwGraphicSkinControl::TtwGraphicSkinControl(QWidget* parent) : TtwSkinWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
}

TtwGraphicSkinControl::~TtwGraphicSkinControl() = default;

TtwGraphicSkinCustomControl::TtwGraphicSkinCustomControl(QWidget* parent) : TtwSkinCustomParts(parent) {}

// ---------------------------------------------------------------- skin-change walk

namespace {

template <class F>
void ForEachSkinnable(QWidget* root, F f) {
  if (!root) return;
  for (QWidget* w : root->findChildren<QWidget*>())
    if (auto* s = dynamic_cast<TtwSkinnable*>(w)) f(s);
}

}  // namespace

void ForgetSkinRecords(QWidget* root, TtwSkinData* data) {
  ForEachSkinnable(root, [data](TtwSkinnable* s) {
    if (s->IsWindowedSkinControl() && s->SkinData() == data) s->ForgetSkinRecord();
  });
}

void ApplySkinToControls(QWidget* root, TtwSkinData* data) {
  ForEachSkinnable(root, [data](TtwSkinnable* s) {
    if (!data || s->SkinData() == data) s->ApplySkin();
  });
}
