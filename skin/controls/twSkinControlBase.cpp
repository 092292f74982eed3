#include "skin/controls/twSkinControlBase.h"

#include <QEnterEvent>
#include <QPaintEvent>
#include <QPainter>

#include "platform/Message.h"
#include "skin/controls/twSkinBars.h"
#if __has_include("skin/data/twSkinData.h")
#include "skin/data/twSkinData.h"
#define TW_HAVE_SKIN_DATA 1
#endif

QColor ColorFromTColor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

TColor TColorFromColor(const QColor& c) {
  return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}

QFont TwDefaultFont() {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(14);
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
  p.fillRect(R, T, 1, 1, br);
  p.fillRect(L, B, 1, 1, br);
  r.adjust(1, 1, -1, -1);
}

namespace {

// Record lookup shared by both families: -1 unless a non-empty skin data
// knows the name.
int LookUpRecord(TtwSkinData* data, const QString& name) {
#ifdef TW_HAVE_SKIN_DATA
  if (!data || data->Empty()) return -1;
  return data->FindControlIndex(name);
#else
  (void)data;
  (void)name;
  return -1;
#endif
}

bool SkinDataEmpty(TtwSkinData* data) {
#ifdef TW_HAVE_SKIN_DATA
  return !data || data->Empty();
#else
  (void)data;
  return true;
#endif
}

// The fitting rule both custom bases share.
void FitGeometry(TtwSkinGeometry& g, int recordIndex, int& W, int& H) {
  if (g.PieceMode == -1 || recordIndex == -1) return;
  if (g.PieceMode == 0) {
    W = g.PieceRect.Width();
    H = g.PieceRect.Height();
    g.FitClientRect = g.SkinClientRect;
    return;
  }
  const int dW = W - g.PieceRect.Width();
  const int dH = H - g.PieceRect.Height();
  g.FitLeftTop = g.LeftTopPoint;
  TRect c = g.SkinClientRect;
  switch (g.PieceMode) {
    case 1:
      g.FitRightTop = {g.RightTopPoint.X + dW, g.RightTopPoint.Y};
      g.FitLeftBottom = {g.LeftBottomPoint.X, g.LeftBottomPoint.Y + dH};
      g.FitRightBottom = {g.RightBottomPoint.X + dW, g.RightBottomPoint.Y + dH};
      c.Right += dW;
      c.Bottom += dH;
      break;
    case 2:
      H = g.PieceRect.Height();
      g.FitRightTop = {g.RightTopPoint.X + dW, g.RightTopPoint.Y};
      c.Right += dW;
      break;
    case 3:
      W = g.PieceRect.Width();
      g.FitLeftBottom = {g.LeftBottomPoint.X, g.LeftBottomPoint.Y + dH};
      c.Bottom += dH;
      break;
    default:
      break;
  }
  g.FitClientRect = c;
}

// Skinned controls on a tool bar that adjusts its controls sit centred in it.
int CentredTopOnToolBar(QWidget* parent, int top, int height) {
  if (auto* bar = dynamic_cast<TtwSkinToolBar*>(parent); bar && bar->AdjustControls())
    return bar->CentredTop(height);
  return top;
}

}  // namespace

// ---------------------------------------------------------------- windowed

TtwSkinControl::TtwSkinControl(QWidget* parent) : QWidget(parent) {
  // The face image covers every pixel, so nothing needs erasing first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
}

TtwSkinControl::~TtwSkinControl() = default;

void TtwSkinControl::SetSkinData(TtwSkinData* data) {
  skinData_ = data;
  if (data && !SkinDataEmpty(data)) ApplySkin();
}

void TtwSkinControl::SetSkinDataName(const QString& name) { skinDataName_ = name; }

void TtwSkinControl::FindSkinRecord() { recordIndex_ = LookUpRecord(skinData_, skinDataName_); }

void TtwSkinControl::PaintDefault(QImage&) {}
void TtwSkinControl::PaintSkin(QImage&) {}

void TtwSkinControl::ApplySkin() {
  FindSkinRecord();
  update();
}

void TtwSkinControl::ForgetSkinRecord() { recordIndex_ = -1; }
void TtwSkinControl::BackgroundChanged() {}

void TtwSkinControl::SetBounds(int left, int top, int width, int height) {
  const QSize old = size();
  setGeometry(left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
  BoundsChanged(this, old);
}

void TtwSkinControl::SetCaption(const QString& c) {
  if (c == caption_) return;
  caption_ = c;
  CaptionChanged();
}

void TtwSkinControl::NotifyChildrenBackground() {
  for (QObject* o : children())
    if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow())
      SendMessage(w, SKIN_MSG_BACKGROUND_CHANGED, 0, 0);
}

void TtwSkinControl::PaintFace(QImage& bitmap) {
  FindSkinRecord();
  // The skin look needs the record's picture; without one the default look
  // keeps the control readable.
  auto* custom = dynamic_cast<TtwSkinCustomControl*>(this);
  if (recordIndex_ != -1 && (!custom || custom->SkinLook()))
    PaintSkin(bitmap);
  else
    PaintDefault(bitmap);
}

QImage TtwSkinControl::RenderFace() {
  if (width() <= 0 || height() <= 0) return QImage();
  QImage img(size(), QImage::Format_RGB32);
  img.fill(twDefaultColors::BtnFace);
  PaintFace(img);
  return img;
}

bool TtwSkinControl::event(QEvent* e) {
  if (TMessage* m = MessageOf(e)) {
    if (m->Msg == SKIN_MSG_BACKGROUND_CHANGED) {
      BackgroundChanged();
      return true;
    }
  }
  return QWidget::event(e);
}

void TtwSkinControl::paintEvent(QPaintEvent*) {
  if (width() <= 0 || height() <= 0) return;
  paintingFromSystem_ = true;
  const QImage img = RenderFace();
  QPainter p(this);
  p.drawImage(0, 0, img);
  paintingFromSystem_ = false;
}

void TtwSkinControl::enterEvent(QEnterEvent* e) {
  QWidget::enterEvent(e);
  if (OnMouseEnter) OnMouseEnter(this);
}

void TtwSkinControl::leaveEvent(QEvent* e) {
  QWidget::leaveEvent(e);
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---------------------------------------------------------------- windowed custom

TtwSkinCustomControl::TtwSkinCustomControl(QWidget* parent)
    : TtwSkinControl(parent), defaultFont_(TwDefaultFont()) {
  setFont(defaultFont_);
}

TtwSkinCustomControl::~TtwSkinCustomControl() = default;

void TtwSkinCustomControl::SetDefaultWidth(int w) {
  defaultWidth_ = w;
  if (!SkinLook() && w > 0) SetWidth(w);
}

void TtwSkinCustomControl::SetDefaultHeight(int h) {
  defaultHeight_ = h;
  if (!SkinLook() && h > 0) SetHeight(h);
}

void TtwSkinCustomControl::SetDefaultFont(const QFont& f) {
  defaultFont_ = f;
  DefaultFontChanged();
  if (!SkinLook()) update();
}

void TtwSkinCustomControl::SetDefaultFontColor(const QColor& c) {
  defaultFontColor_ = c;
  DefaultFontChanged();
  if (!SkinLook()) update();
}

void TtwSkinCustomControl::SetUseSkinFont(bool v) {
  useSkinFont_ = v;
  update();
}

void TtwSkinCustomControl::FindSkinRecord() {
  TtwSkinControl::FindSkinRecord();
  // Geometry is copied from custom-control records only; until a record's
  // pieces are copied the size is never fitted.
  if (recordIndex_ != -1 && !geo_.SourcePicture) geo_.PieceMode = -1;
}

void TtwSkinCustomControl::PaintDefault(QImage& bitmap) {
  bitmap.fill(twDefaultColors::BtnFace);
}

void TtwSkinCustomControl::PaintSkin(QImage& bitmap) {
  if (!geo_.SourcePicture) return;
  if (geo_.PieceMode == 0) {
    QPainter p(&bitmap);
    p.drawImage(QPoint(0, 0), *geo_.SourcePicture, geo_.PieceRect.ToQ());
  }
}

void TtwSkinCustomControl::FitToSkin(int& width, int& height) {
  FitGeometry(geo_, recordIndex_, width, height);
}

void TtwSkinCustomControl::UpdateRegion() {
  if (!parentWidget()) return;
  if ((!geo_.SourceMask || recordIndex_ == -1) && !mask().isEmpty()) clearMask();
}

void TtwSkinCustomControl::ApplySkin() {
  FindSkinRecord();
  bool sizeChanged = false;
  if (!SkinLook()) {
    const int w = defaultWidth_ > 0 ? defaultWidth_ : width();
    const int h = defaultHeight_ > 0 ? defaultHeight_ : height();
    if (w != width() || h != height()) SetBounds(x(), y(), w, h);
  } else {
    int w = width(), h = height();
    FitToSkin(w, h);
    if (w != width() || h != height()) {
      SetBounds(x(), y(), w, h);
      sizeChanged = true;
    }
  }
  if (!sizeChanged || !SkinLook()) {
    UpdateRegion();
    update();
  }
}

void TtwSkinCustomControl::SetBounds(int left, int top, int width, int height) {
  FindSkinRecord();
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  const bool changed = (width != this->width() || height != this->height()) && recordIndex_ != -1;
  if (changed) {
    FitToSkin(width, height);
    if (geo_.PieceMode == 0) geo_.FitClientRect = geo_.SkinClientRect;
  }
  top = CentredTopOnToolBar(parentWidget(), top, height);
  TtwSkinControl::SetBounds(left, top, width, height);
  if (changed) {
    UpdateRegion();
    update();
  }
  if (recordIndex_ != -1 && geo_.StretchFlags[0]) NotifyChildrenBackground();
}

TRect TtwSkinCustomControl::MapSkinRect(const TRect& r) const {
  const TtwSkinGeometry& g = geo_;
  const int sw = g.PieceRect.Width(), sh = g.PieceRect.Height();
  const int dW = width() - sw, dH = height() - sh;
  TRect res = r;
  auto move = [&](int dx, int dy) {
    res.Left += dx; res.Right += dx; res.Top += dy; res.Bottom += dy;
  };
  if (g.PieceMode == 1) {
    const TRect LT{0, 0, g.LeftTopPoint.X, g.LeftTopPoint.Y};
    const TRect LB{0, g.LeftBottomPoint.Y, g.LeftBottomPoint.X, sh};
    const TRect RT{g.RightTopPoint.X, 0, sw, g.RightTopPoint.Y};
    const TRect RB{g.RightBottomPoint.X, g.RightBottomPoint.Y, sw, sh};
    // Half-open test for the whole rectangle, closed test for its corners.
    auto inHalf = [](const TRect& z, int x, int y) {
      return x >= z.Left && x < z.Right && y >= z.Top && y < z.Bottom;
    };
    auto inClosed = [](const TRect& z, int x, int y) {
      return x >= z.Left && x <= z.Right && y >= z.Top && y <= z.Bottom;
    };
    auto whole = [&](const TRect& z) {
      return inHalf(z, r.Left, r.Top) && inHalf(z, r.Right, r.Bottom);
    };
    if (whole(LT)) return res;
    if (whole(RT)) { move(dW, 0); return res; }
    if (whole(LB)) { move(0, dH); return res; }
    if (whole(RB)) { move(dW, dH); return res; }
    const bool tlLT = inClosed(LT, r.Left, r.Top), tlLB = inClosed(LB, r.Left, r.Top),
               tlRT = inClosed(RT, r.Left, r.Top);
    const bool brRB = inClosed(RB, r.Right, r.Bottom), brRT = inClosed(RT, r.Right, r.Bottom),
               brLB = inClosed(LB, r.Right, r.Bottom);
    if (tlLT && brRB) { res.Right += dW; res.Bottom += dH; }
    else if (tlLT && brRT) { res.Right += dW; }
    else if (tlLB && brRB) { res.Right += dW; move(0, dH); }
    else if (tlLT && brLB) { res.Bottom += dH; }
    else if (tlRT && brRB) { move(dW, 0); res.Bottom += dH; }
  } else if (g.PieceMode == 2) {
    if (r.Left <= g.LeftTopPoint.X && r.Right >= g.RightTopPoint.X) res.Right += dW;
    else if (r.Left >= g.RightTopPoint.X && r.Right > g.RightTopPoint.X) move(dW, 0);
  } else if (g.PieceMode == 3) {
    if (r.Top <= g.LeftTopPoint.Y && r.Bottom >= g.LeftBottomPoint.Y) res.Bottom += dH;
    else if (r.Top >= g.LeftBottomPoint.Y && r.Bottom > g.LeftBottomPoint.Y) move(0, dH);
  }
  return res;
}

// ---------------------------------------------------------------- windowless

TtwGraphicSkinControl::TtwGraphicSkinControl(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

TtwGraphicSkinControl::~TtwGraphicSkinControl() = default;

void TtwGraphicSkinControl::SetSkinData(TtwSkinData* data) {
  skinData_ = data;
  if (data && !SkinDataEmpty(data)) ApplySkin();
}

void TtwGraphicSkinControl::FindSkinRecord() { recordIndex_ = LookUpRecord(skinData_, SkinDataName); }
void TtwGraphicSkinControl::PaintDefault(QImage&) {}
void TtwGraphicSkinControl::PaintSkin(QImage&) {}

void TtwGraphicSkinControl::ApplySkin() {
  FindSkinRecord();
  update();
}

void TtwGraphicSkinControl::ForgetSkinRecord() { recordIndex_ = -1; }

void TtwGraphicSkinControl::SetBounds(int left, int top, int width, int height) {
  const QSize old = size();
  setGeometry(left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
  BoundsChanged(this, old);
}

QImage TtwGraphicSkinControl::RenderFace() {
  if (width() <= 0 || height() <= 0) return QImage();
  QImage img(size(), QImage::Format_RGB32);
  img.fill(twDefaultColors::BtnFace);
  FindSkinRecord();
  // The windowless family has no piece copies yet: the default look.
  PaintDefault(img);
  return img;
}

void TtwGraphicSkinControl::paintEvent(QPaintEvent*) {
  if (width() <= 0 || height() <= 0) return;
  const QImage img = RenderFace();
  QPainter p(this);
  p.drawImage(0, 0, img);
}

void TtwGraphicSkinControl::enterEvent(QEnterEvent* e) {
  QWidget::enterEvent(e);
  if (OnMouseEnter) OnMouseEnter(this);
}

void TtwGraphicSkinControl::leaveEvent(QEvent* e) {
  QWidget::leaveEvent(e);
  if (OnMouseLeave) OnMouseLeave(this);
}

TtwGraphicSkinCustomControl::TtwGraphicSkinCustomControl(QWidget* parent)
    : TtwGraphicSkinControl(parent), defaultFont_(TwDefaultFont()) {}

void TtwGraphicSkinCustomControl::SetDefaultWidth(int w) {
  defaultWidth_ = w;
  if (recordIndex_ == -1 && w > 0) SetBounds(x(), y(), w, height());
}

void TtwGraphicSkinCustomControl::SetDefaultHeight(int h) {
  defaultHeight_ = h;
  if (recordIndex_ == -1 && h > 0) SetBounds(x(), y(), width(), h);
}

void TtwGraphicSkinCustomControl::SetDefaultFont(const QFont& f) {
  defaultFont_ = f;
  DefaultFontChanged();
  if (recordIndex_ == -1) update();
}

void TtwGraphicSkinCustomControl::FindSkinRecord() {
  TtwGraphicSkinControl::FindSkinRecord();
  if (recordIndex_ != -1 && !geo_.SourcePicture) geo_.PieceMode = -1;
}

void TtwGraphicSkinCustomControl::PaintDefault(QImage& bitmap) {
  bitmap.fill(twDefaultColors::BtnFace);
}

void TtwGraphicSkinCustomControl::FitToSkin(int& width, int& height) {
  FitGeometry(geo_, recordIndex_, width, height);
}

void TtwGraphicSkinCustomControl::ApplySkin() {
  FindSkinRecord();
  if (recordIndex_ == -1) {
    const int w = defaultWidth_ > 0 ? defaultWidth_ : width();
    const int h = defaultHeight_ > 0 ? defaultHeight_ : height();
    if (w != width() || h != height()) SetBounds(x(), y(), w, h);
  } else {
    int w = width(), h = height();
    FitToSkin(w, h);
    if (w != width() || h != height()) SetBounds(x(), y(), w, h);
  }
  update();
}

void TtwGraphicSkinCustomControl::SetBounds(int left, int top, int width, int height) {
  FindSkinRecord();
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  const bool changed = (width != this->width() || height != this->height()) && recordIndex_ != -1;
  if (changed) {
    FitToSkin(width, height);
    if (geo_.PieceMode == 0) geo_.FitClientRect = geo_.SkinClientRect;
  }
  top = CentredTopOnToolBar(parentWidget(), top, height);
  TtwGraphicSkinControl::SetBounds(left, top, width, height);
  if (changed) update();
}
