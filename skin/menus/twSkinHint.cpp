// Skinned hints: the tooltip of every widget becomes a skinned hint window,
// measured and placed by pure functions and painted off-screen in one piece.
#include "skin/menus/twSkinHint.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QHelpEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QTimerEvent>
#include <algorithm>

#include "platform/ImageList.h"
#include "skin/data/twSkinRecords.h"
#include "skin/data/twSkinnable.h"
#include "skin/draw/twGuard.h"
#include "skin/menus/twSkinMenuItem.h"

namespace {

// Height below the hot spot of the platform's standard arrow, for cursors
// whose picture cannot be read.
constexpr int kDefaultCursorHeight = 20;
constexpr int kTitleGap = 10;
constexpr int kImageGap = 10;
constexpr int kBoxGap = 5;
// Room between the default look's frame and its text: two pixels, as
// first drawn, left the text touching the frame.
constexpr int kPadX = 4, kPadY = 3;

QList<TtwSkinHint*>& AllHints() {
  static QList<TtwSkinHint*> hints;
  return hints;
}

// The application's style with the hint pauses in place of the platform's
// tooltip delays while a hint component is active; everything else comes
// from the style it wraps, so the application looks the same.
class TtwHintTimingStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* ret) const override {
    if (TtwSkinHint::ActiveHint()) {
      if (hint == SH_ToolTip_WakeUpDelay) return kHintPauseMs;
      // Hints stay awake as long as one stays on screen.
      if (hint == SH_ToolTip_FallAsleepDelay) return kHintHidePauseMs;
    }
    return QProxyStyle::styleHint(hint, option, widget, ret);
  }
};

// Wraps the application's style once; a style the program sets later
// deletes the wrapper, and the next activation wraps the new style. (Asking
// the application's style is not enough: a style sheet wraps it in turn.)
void InstallHintTiming() {
  static QPointer<QStyle> installed;
  if (installed || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  // The proxy takes the current style over, so the application does not
  // delete it when the proxy replaces it.
  installed = new TtwHintTimingStyle(QApplication::style());
  QApplication::setStyle(installed);
}

QSize MeasureLines(const QFont& f, const QString& text) {
  if (text.isEmpty()) return QSize(0, 0);
  return QFontMetrics(f).boundingRect(QRect(), Qt::AlignLeft | Qt::TextExpandTabs, text).size();
}

const TtwDataSkinHintWindow* UsableRecord(const TtwSkinData* d) {
  if (!d || d->Empty() || !d->HintWindowRecord()) return nullptr;
  const TtwDataSkinHintWindow* r = d->HintWindowRecord();
  return d->ActivePicture(r->windowpictureindex) ? r : nullptr;
}

}  // namespace

// ---- layout ------------------------------------------------------------------

TtwHintLayout HintLayout(const TtwHintLayoutInput& in) {
  int w = in.Text.width(), h = in.Text.height();
  if (in.TitleOrImage) {
    const int titleH = in.HasTitle ? in.Title.height() : 0;
    if (in.HasTitle) {
      h += titleH + kTitleGap;
      w = std::max(w, in.Title.width());
    }
    if (in.HasImage) {
      w += in.Image.width() + kImageGap;
      h = std::max(h, in.Image.height() + titleH + kBoxGap);
    }
  }
  TtwHintLayout out;
  if (!in.Skinned) {
    out.Size = QSize(w + 2 * kPadX, h + 2 * kPadY);
    return out;
  }
  const TPieceAnchors& a = in.Anchors;
  const int pw = in.Picture.width(), ph = in.Picture.height();
  w += a.ClRect.Left + pw - a.ClRect.Right + (in.TitleOrImage ? 10 : 5);
  h += a.ClRect.Top + ph - a.ClRect.Bottom;
  // The shape may not fold over itself: grow until every corner stays on
  // its side.
  int dW = w - pw, dH = h - ph;
  if (a.RT.X + dW < a.LT.X) w += a.LT.X - (a.RT.X + dW), dW = w - pw;
  if (a.RB.X + dW < a.LB.X) w += a.LB.X - (a.RB.X + dW), dW = w - pw;
  if (a.LB.Y + dH < a.LT.Y) h += a.LT.Y - (a.LB.Y + dH), dH = h - ph;
  if (a.RB.Y + dH < a.RT.Y) h += a.RT.Y - (a.RB.Y + dH), dH = h - ph;
  out.Size = QSize(w, h);
  out.Anchors.ClRect = TRect{a.ClRect.Left, a.ClRect.Top, a.ClRect.Right + dW, a.ClRect.Bottom + dH};
  out.Anchors.LT = a.LT;
  out.Anchors.RT = TPoint{a.RT.X + dW, a.RT.Y};
  out.Anchors.LB = TPoint{a.LB.X, a.LB.Y + dH};
  out.Anchors.RB = TPoint{a.RB.X + dW, a.RB.Y + dH};
  return out;
}

QPoint PlaceHint(const QPoint& p, const QSize& size, const TRect& area) {
  QPoint q = p;
  if (q.x() + size.width() > area.Right) q.rx() -= size.width() + 2;
  if (q.y() + size.height() > area.Bottom) q.ry() -= size.height() + 2;
  return q;
}

QString HintLines(const QString& text, const QString& separator) {
  if (separator.isEmpty()) return text;
  QString out = text;
  // One line break per separator; Qt lays out "\n" alone.
  out.replace(separator, QStringLiteral("\n"));
  return out;
}

int CursorHeight() {
  const QCursor c = QCursor();
  const QBitmap mask = c.mask();
  if (mask.isNull()) return kDefaultCursorHeight;
  const QImage m = mask.toImage();
  for (int y = m.height() - 1; y >= 0; --y)
    for (int x = 0; x < m.width(); ++x)
      if (m.pixelIndex(x, y) != 0) return y + 1 - c.hotSpot().y();
  return kDefaultCursorHeight;
}

// ---- the hint window ---------------------------------------------------------

TtwSkinHintWindow::TtwSkinHintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_X11NetWmWindowTypeToolTip);
}

QFont TtwSkinHintWindow::TextFont() const {
  const TtwSkinHint* h = hint_;
  if (data_ && h && h->UseSkinFont) {
    const TtwDataSkinHintWindow* r = data_->HintWindowRecord();
    return TwRecordFont(r->fontname, r->fontheight, r->fontstyle);
  }
  return h ? h->DefaultFont : font();
}

void TtwSkinHintWindow::ActivateHint(const TRect& R, const QString& text) {
  hint_ = TtwSkinHint::ActiveHint();
  if (!hint_) return;
  const TtwSkinHint& h = *hint_;
  titleOrImage_ = !h.Title().isEmpty() || h.Images();
  title_ = h.Title();
  images_ = h.Images();
  imageIndex_ = h.ImageIndex();
  const TtwDataSkinHintWindow* rec = UsableRecord(h.SkinData);
  data_ = rec ? h.SkinData.data() : nullptr;
  picture_ = rec ? data_->ActivePicture(rec->windowpictureindex) : nullptr;
  text_ = HintLines(text, h.LineSeparator);
  const QFont f = TextFont();
  TtwHintLayoutInput in;
  textSize_ = MeasureLines(f, text_);
  in.Text = textSize_;
  in.TitleOrImage = titleOrImage_;
  in.HasTitle = !title_.isEmpty();
  // The title is measured in the bold font it is drawn in, so it is never cut.
  QFont bold = f;
  bold.setBold(true);
  titleSize_ = MeasureLines(bold, title_);
  in.Title = titleSize_;
  in.HasImage = images_ && images_->Has(imageIndex_);
  if (in.HasImage) in.Image = QSize(images_->Width(), images_->Height());
  if (rec) {
    in.Skinned = true;
    in.Picture = picture_->size();
    recordAnchors_ = TPieceAnchors{rec->lefttoppoint, rec->righttoppoint, rec->leftbottompoint,
                                   rec->rightbottompoint, rec->clientrect};
    in.Anchors = recordAnchors_;
  }
  layout_ = HintLayout(in);
  QWidget* active = QApplication::activeWindow();
  TRect area = GetMonitorArea(active, true);
  resize(layout_.Size);
  // Transparency.
  if (h.AlphaBlend != lastAlpha_ || (h.AlphaBlend && h.AlphaBlendValue != lastAlphaValue_)) {
    lastAlpha_ = h.AlphaBlend;
    lastAlphaValue_ = h.AlphaBlendValue;
    setWindowOpacity(h.AlphaBlend ? h.AlphaBlendValue / 255.0 : 1.0);
  }
  const bool fade = h.AlphaBlend && h.AlphaBlendAnimation;
  if (fade) {
    fadeValue_ = 0;
    setWindowOpacity(0);
  }
  const QImage* mask = rec ? data_->ActivePicture(rec->maskpictureindex) : nullptr;
  QRegion region;
  if (mask) region = FrameRegionFromMask(*mask, recordAnchors_, layout_.Anchors, layout_.Size.width());
  if (region.isEmpty()) clearMask();
  else setMask(region);
  // What shows goes to the point, not a see-through margin the mask cuts away.
  const QRect shown = region.isEmpty() ? QRect(QPoint(), layout_.Size) : region.boundingRect();
  move(PlaceHint(QPoint(R.Left, R.Top), shown.size(), area) - shown.topLeft());
  show();
  raise();
  update();
  // Fades on a timer, so the application never stalls while a hint appears.
  if (fade) fadeTimer_.start(kHintFadeStepMs, this);
  else fadeTimer_.stop();
}

void TtwSkinHintWindow::timerEvent(QTimerEvent* e) {
  if (e->timerId() != fadeTimer_.timerId()) return QWidget::timerEvent(e);
  const int target = hint_ ? hint_->AlphaBlendValue : 255;
  fadeValue_ = std::min(target, fadeValue_ + kHintFadeStep);
  setWindowOpacity(fadeValue_ / 255.0);
  if (fadeValue_ >= target) fadeTimer_.stop();
}

QImage TtwSkinHintWindow::Render() const {
  const int W = width(), H = height();
  QImage img = TwNewSurface(W, H, QImage::Format_RGB32);
  if (img.isNull()) return img;
  const TtwDataSkinHintWindow* rec = data_ ? data_->HintWindowRecord() : nullptr;
  if (rec && picture_) {
    QImage bg;
    const TEdgeStretch edges{rec->leftstretch, rec->topstretch, rec->rightstretch, rec->bottomstretch};
    ComposeNinePiece(*picture_, TRect{0, 0, picture_->width(), picture_->height()}, recordAnchors_, W, H,
                     layout_.Anchors, edges, true, rec->stretcheffect, rec->stretchtype, bg);
    if (!bg.isNull()) img = bg.convertToFormat(QImage::Format_RGB32);
    else img.fill(ColorToQ(twsys::clInfoBk));
  } else {
    img.fill(ColorToQ(twsys::clInfoBk));
  }
  QPainter p(&img);
  if (!rec) {
    p.setPen(ColorToQ(twsys::clBtnShadow));
    p.drawRect(0, 0, W - 1, H - 1);
  }
  const QFont f = TextFont();
  p.setFont(f);
  p.setPen(ColorToQ(rec ? rec->fontcolor : twsys::clInfoText));
  const int textFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs;
  const TRect cl = rec ? layout_.Anchors.ClRect : TRect{kPadX, kPadY, W - kPadX, H - kPadY};
  if (!titleOrImage_) {
    if (rec) {
      const int x = cl.Left + (cl.Width() - textSize_.width()) / 2;
      const int y = cl.Top + (cl.Height() - textSize_.height()) / 2;
      p.drawText(QRect(QPoint(x, y), textSize_), textFlags, text_);
    } else {
      p.drawText(cl.ToQ(), textFlags, text_);
    }
    return img;
  }
  const bool hasImage = images_ && images_->Has(imageIndex_);
  const int x0 = rec ? cl.Left + 5 : kPadX;
  int y0 = cl.Top;
  if (!title_.isEmpty()) {
    // The size leaves 10 pixels between title and text, the drawing 5: the
    // other 5 go half above and half below rather than all at the bottom.
    const int body = std::max(textSize_.height(), hasImage ? images_->Height() : 0);
    y0 += std::max(0, (cl.Height() - (titleSize_.height() + 5 + body)) / 2);
  }
  int a = 0;
  if (!title_.isEmpty()) {
    QFont bold = f;
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRect(QPoint(x0, y0), titleSize_), textFlags, title_);
    p.setFont(f);
    a = titleSize_.height() + 5;
  }
  int tx = x0;
  if (hasImage) {
    const int ih = images_->Height();
    const int iy = !title_.isEmpty() ? y0 + a : cl.Top + (cl.Height() - ih) / 2;
    images_->Draw(p, x0, iy, imageIndex_, true);
    tx = x0 + images_->Width() + 5;
    if (!rec) tx += 2;
  }
  const int ty = !title_.isEmpty() ? y0 + a : cl.Top + (cl.Height() - textSize_.height()) / 2;
  if (rec) p.drawText(QRect(QPoint(tx, ty), textSize_), textFlags, text_);
  else p.drawText(QRect(tx, y0 + a, W - kPadX - tx, H - kPadY - y0 - a), textFlags, text_);
  return img;
}

void TtwSkinHintWindow::paintEvent(QPaintEvent*) {
  const QImage img = Render();
  QPainter p(this);
  if (img.isNull()) p.fillRect(rect(), ColorToQ(twsys::clInfoBk));
  else p.drawImage(0, 0, img);
}

// ---- the hint component ------------------------------------------------------

TtwSkinHint::TtwSkinHint(QObject* owner) : QObject(owner) {
  DefaultFont = QApplication::font();
  AllHints().append(this);
  window_ = new TtwSkinHintWindow();
  SetActive(true);
}

TtwSkinHint::~TtwSkinHint() {
  AllHints().removeAll(this);
  if (active_ && qApp) qApp->removeEventFilter(this);
  delete window_;
}

void TtwSkinHint::SetActive(bool on) {
  if (on == active_) return;
  if (on) {
    for (TtwSkinHint* h : AllHints())
      if (h != this && h->active_) h->SetActive(false);
    InstallHintTiming();
    qApp->installEventFilter(this);
  } else {
    qApp->removeEventFilter(this);
    HideSkinHint();
    pendingTimer_.stop();
  }
  active_ = on;
}

TtwSkinHint* TtwSkinHint::ActiveHint() {
  for (TtwSkinHint* h : AllHints())
    if (h->active_) return h;
  return nullptr;
}

void TtwSkinHint::ClearHinted() {
  title_.clear();
  images_ = nullptr;
  imageIndex_ = 0;
}

void TtwSkinHint::TakeFromControl(QWidget* control) {
  ClearHinted();
  if (auto* s = dynamic_cast<TtwSkinnable*>(control)) {
    title_ = s->HintTitle();
    images_ = s->HintImageList();
    imageIndex_ = s->HintImageIndex();
  }
}

void TtwSkinHint::ShowAt(const QPoint& p, const QString& text) {
  window_->ActivateHint(TRect{p.x(), p.y(), p.x(), p.y()}, text);
  hideTimer_.start(kHintHidePauseMs + kHintHideMsPerChar * int(text.size()), this);
}

void TtwSkinHint::ShowControlHint(QWidget* control, const QString& text, const QPoint& cursor) {
  TakeFromControl(control);
  QString s = text;
  bool canShow = true;
  if (OnShowHint) OnShowHint(s, canShow, control);
  if (!canShow || s.isEmpty()) {
    HideSkinHint();
    return;
  }
  hinted_ = control;
  hintedKey_ = HintedKey(control, text);
  ShowAt(cursor + QPoint(0, CursorHeight()), s);
  ClearHinted();
}

QString TtwSkinHint::HintedKey(QWidget* control, const QString& text) {
  QString key = text;
  if (auto* s = dynamic_cast<TtwSkinnable*>(control))
    key += QStringLiteral("\n%1\n%2\n%3").arg(s->HintTitle()).arg(quintptr(s->HintImageList())).arg(s->HintImageIndex());
  return key;
}

QString TtwSkinHint::HintTextAt(QWidget* w, const QPoint& pos) {
  // Item views take tooltips from their model, and the help event goes to
  // the viewport under the pointer.
  auto* view = qobject_cast<QAbstractItemView*>(w->parentWidget());
  if (view && view->viewport() == w) {
    const QString item = view->indexAt(pos).data(Qt::ToolTipRole).toString();
    if (!item.isEmpty()) return item;
  }
  return w->toolTip();
}

void TtwSkinHint::ToolTipAt(QWidget* w, const QString& text, const QPoint& globalPos) {
  // The same hint again keeps its place instead of following the pointer.
  if (w == hinted_ && window_->isVisible() && HintedKey(w, text) == hintedKey_) return;
  const qint64 rested = sinceMove_.isValid() ? sinceMove_.elapsed() : kHintShortPauseMs;
  if (rested >= kHintShortPauseMs) {
    ShowControlHint(w, text, globalPos);
    return;
  }
  pendingControl_ = w;
  pendingText_ = text;
  pendingCursor_ = globalPos;
  pendingTimer_.start(int(kHintShortPauseMs - rested), this);
}

void TtwSkinHint::ShowHintText(const QString& text) {
  showTimer_.stop();
  hideTimer_.stop();
  timedText_ = text;
  ClearHinted();
  showTimer_.start(kHintPauseMs, this);
}

void TtwSkinHint::HideSkinHint() {
  showTimer_.stop();
  hideTimer_.stop();
  hinted_ = nullptr;
  if (window_->isVisible()) {
    window_->hide();
    ClearHinted();
  }
}

void TtwSkinHint::timerEvent(QTimerEvent* e) {
  if (e->timerId() == showTimer_.timerId()) {
    showTimer_.stop();
    ShowAt(QCursor::pos() + QPoint(0, CursorHeight()), timedText_);
  } else if (e->timerId() == hideTimer_.timerId()) {
    HideSkinHint();
  } else if (e->timerId() == pendingTimer_.timerId()) {
    pendingTimer_.stop();
    if (pendingControl_) ShowControlHint(pendingControl_, pendingText_, pendingCursor_);
  } else {
    QObject::timerEvent(e);
  }
}

bool TtwSkinHint::eventFilter(QObject* watched, QEvent* e) {
  switch (e->type()) {
    case QEvent::ToolTip: {
      auto* w = qobject_cast<QWidget*>(watched);
      if (!w) break;
      auto* he = static_cast<QHelpEvent*>(e);
      const QString text = HintTextAt(w, he->pos());
      if (text.isEmpty()) {
        // A part without a hint, such as a row without one, ends the hint
        // of its widget; the event goes on to the parents.
        if (w == hinted_) HideSkinHint();
        break;
      }
      ToolTipAt(w, text, he->globalPos());
      e->accept();
      return true;
    }
    case QEvent::MouseMove:
      sinceMove_.start();
      pendingTimer_.stop();
      break;
    case QEvent::Leave:
      if (watched == hinted_) HideSkinHint();
      if (watched == pendingControl_) pendingTimer_.stop();
      break;
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::WindowDeactivate:
      if (hinted_ && window_->isVisible()) HideSkinHint();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, e);
}
