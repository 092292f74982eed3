// The skinned list box and its pop-up form. Guarantees: every row has a
// height of at least one pixel, no part rectangle is ever negative, a caption
// repeat stops as soon as the index stops moving, and the pop-up's fade runs
// on the clock's timer and always ends at its target.
#include "skin/boxes/twSkinListBox.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <algorithm>

#include "skin/boxes/twBoxLooks.h"
#include "platform/ImageList.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"

using namespace twBoxLooks;

namespace {

QRect Moved(const TRect& r, int dx, int dy) { return QRect(r.Left + dx, r.Top + dy, r.Width(), r.Height()); }

class TtwListItemDelegate : public QAbstractItemDelegate {
 public:
  explicit TtwListItemDelegate(TtwSkinCustomListBox* owner) : QAbstractItemDelegate(owner), owner_(owner) {}
  void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
    const QListWidget* list = owner_->InnerList();
    TtwListItemState s;
    s.Selected = (o.state & QStyle::State_Selected) || i.row() == list->currentRow();
    s.Focused = i.row() == list->currentRow() && list->hasFocus();
    QRect r = o.rect;
    // A wide row scrolls its text only: the background keeps to the list.
    if (owner_->HorizontalExtent() && owner_->Columns() < 1)
      r = QRect(0, r.top(), list->viewport()->width(), r.height());
    owner_->PaintItem(*p, r, i.row(), s);
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return QSize(owner_->RowWidth(), owner_->ItemHeight());
  }

 private:
  TtwSkinCustomListBox* owner_;
};

}  // namespace

void DrawTabbedText(QPainter& p, const QString& text, int x, const QRect& r, int x0, const QList<int>& stops) {
  const QStringList parts = text.split(QLatin1Char('\t'));
  const QFontMetrics fm(p.font());
  int stop = 0;
  for (int i = 0; i < parts.size(); ++i) {
    if (i > 0) {
      // The next stop right of the text drawn so far; past the last, one per
      // average character width as the platform's tab expansion does.
      while (stop < stops.size() && x0 + stops[stop] <= x) ++stop;
      x = stop < stops.size() ? x0 + stops[stop++] : x + fm.averageCharWidth() * 8;
    }
    p.drawText(QRect(x, r.top(), std::max(0, r.right() + 1 - x), r.height()),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, parts[i]);
    x += fm.horizontalAdvance(parts[i]);
  }
}

QRect RectFromEdges(int l, int t, int r, int b) { return QRect(l, t, std::max(0, r - l), std::max(0, b - t)); }

TtwListBoxLayout LayoutListBox(const TtwListBoxLayoutInput& in) {
  TtwListBoxLayout out;
  const int W = std::max(in.Width, 0), H = std::max(in.Height, 0);
  if (!in.Bound) {
    const int cap = std::clamp(in.CaptionHeight, 0, H);
    const int hh = in.HBar ? std::min(in.HBarHeight + 1, H) : 0;
    if (in.HBar) out.HBar = RectFromEdges(1, H - hh, W - 1, H - hh + in.HBarHeight);
    if (in.VBar) {
      const int left = std::max(0, W - in.VBarWidth - 1);
      out.VBar = RectFromEdges(left, cap, left + in.VBarWidth, in.HBar ? H - hh : H - 1);
      out.Items = RectFromEdges(2, cap + 1, left, H - std::max(hh, 2));
    } else {
      out.Items = RectFromEdges(2, cap + 1, W - 2, H - std::max(hh, 2));
    }
    out.Items = out.Items.intersected(QRect(0, 0, W, H));
    return out;
  }
  const TRect& L = in.ListRect;
  const int bottom = std::max(L.Top, L.Bottom - (in.HBar ? in.HBarHeight : 0));
  const int vLeft = std::max(L.Left, L.Right - (in.VBar ? in.VBarWidth : 0));
  if (in.HBar) out.HBar = RectFromEdges(L.Left, bottom, L.Right, L.Bottom);
  if (in.VBar) out.VBar = RectFromEdges(vLeft, L.Top, L.Right, bottom);
  out.Items = RectFromEdges(L.Left, L.Top, vLeft, bottom);
  return out;
}

QPoint PlaceDropDown(const QRect& control, const QSize& list, const QRect& workArea) {
  QPoint at(control.left(), control.top() + control.height());
  if (at.y() + list.height() > workArea.top() + workArea.height()) {
    at.setY(control.top() - list.height());
    // Nowhere fits whole: the list starts at the top of the work area.
    at.setY(std::max(at.y(), workArea.top()));
  }
  if (at.x() + list.width() > workArea.left() + workArea.width())
    at.setX(workArea.left() + workArea.width() - list.width());
  at.setX(std::max(at.x(), workArea.left()));
  return at;
}

// ---------------------------------------------------------------- inner list

TtwListBox::TtwListBox(TtwSkinCustomListBox* owner) : QListWidget(owner), owner_(owner) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setItemDelegate(new TtwListItemDelegate(owner));
  // Columns scroll one at a time; a wide row scrolls by pixels.
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // The owner paints the background below the last item itself.
  viewport()->setAutoFillBackground(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void TtwListBox::RowSizeChanged() {
  emit itemDelegate()->sizeHintChanged(QModelIndex());
  doItemsLayout();
}

void TtwListBox::SetColumnFlow(bool on) {
  setFlow(QListView::TopToBottom);
  setWrapping(on);
  setHorizontalScrollMode(on ? QAbstractItemView::ScrollPerItem : QAbstractItemView::ScrollPerPixel);
  // The view starts a new column when a row would reach the last pixel
  // line: one line more, clipped away, lets a column hold every row that fits.
  setViewportMargins(0, 0, 0, on ? -1 : 0);
}

void TtwListBox::SetHorizontalOffset(int v) {
  if (v == horizontalOffset_) return;
  horizontalOffset_ = std::max(0, v);
  viewport()->update();
}

int TtwListBox::VisibleRows() const {
  return viewport()->height() / std::max(1, owner_->ItemHeight());
}

void TtwListBox::paintEvent(QPaintEvent* e) {
  {
    QPainter p(viewport());
    owner_->PaintListBackground(p, viewport()->rect());
  }
  QListWidget::paintEvent(e);
}

void TtwListBox::resizeEvent(QResizeEvent* e) {
  // Laying out sets the viewport's geometry, which resizes this list again;
  // in a list too small for its last clipped line, or whose bars take turns,
  // that never settles. Resizes nested deeper are left to the outer ones.
  if (resizeNesting_ >= kMaxResizeNesting) return;
  ++resizeNesting_;
  const auto done = qScopeGuard([this] { --resizeNesting_; });
  QListWidget::resizeEvent(e);
  // Columns follow the list's size at once (the view's own adjusting waits
  // for a timer, and the bars would read a stale range); the room for a wide
  // row follows its width.
  if (owner_->Columns() >= 1 || (owner_->HorizontalExtent() && e->size().width() != e->oldSize().width()))
    RowSizeChanged();
  owner_->SyncScrollBars();
}

void TtwListBox::wheelEvent(QWheelEvent* e) {
  // One row per turn, as the list's own bar would step; with only a
  // horizontal bar, one step of it.
  const int d = e->angleDelta().y();
  QScrollBar* b = verticalScrollBar()->maximum() > verticalScrollBar()->minimum() ? verticalScrollBar()
                                                                                   : horizontalScrollBar();
  if (d != 0) b->setValue(b->value() + (d < 0 ? 1 : -1) * (b == verticalScrollBar() ? 1 : b->singleStep()));
  owner_->SyncScrollBars();
  e->accept();
}

void TtwListBox::scrollContentsBy(int dx, int dy) {
  QListWidget::scrollContentsBy(dx, dy);
  if (owner_->HorizontalExtent() && owner_->Columns() < 1) {
    // Rows keep their backgrounds in place and shift their text: every
    // visible row changes, not only the strip the view scrolled in.
    horizontalOffset_ = horizontalScrollBar()->value();
    if (dx != 0) viewport()->update();
  }
  owner_->SyncScrollBars();
}

void TtwListBox::keyPressEvent(QKeyEvent* e) {
  const bool wide = owner_->HorizontalExtent() && owner_->Columns() < 1;
  if (wide && (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right)) {
    QScrollBar* b = horizontalScrollBar();
    b->setValue(b->value() + (e->key() == Qt::Key_Left ? -1 : 1) * b->singleStep());
    e->accept();
    return;
  }
  QListWidget::keyPressEvent(e);
}

// ---------------------------------------------------------------- list box

TtwSkinCustomListBox::TtwSkinCustomListBox(QWidget* parent)
    : TtwSkinCustomControl(parent),
      list_(new TtwListBox(this)),
      defaultCaptionFont_(TwDefaultFont()),
      vbar_(new TtwSkinScrollBar(this)),
      vlink_(nullptr),
      hbar_(new TtwSkinScrollBar(this)),
      hlink_(nullptr) {
  skinDataName_ = QStringLiteral("listbox");
  compositePaint_ = true;
  fillClientFromSkin_ = false;
  setMouseTracking(true);
  list_->setFont(defaultFont_);
  resize(120, 120);
  repeat_.OnTimeout = [this] { RepeatTick(); };
  vbar_->SetKind(sbVertical);
  vbar_->SetSkinDataName(QString());
  // The list's own bar stays hidden; the skinned one mirrors its range and
  // comes and goes with it, and the items give it room.
  vlink_ = new TtwScrollBarLink(list_, Qt::Vertical, vbar_);
  vlink_->OnShownChanged = [this](bool) {
    // Beside a vertical bar the horizontal one takes the record drawn to meet it.
    ApplyHBarRecord();
    LayoutParts();
  };
  hbar_->SetKind(sbHorizontal);
  hbar_->SetSkinDataName(QString());
  hlink_ = new TtwScrollBarLink(list_, Qt::Horizontal, hbar_);
  hlink_->OnShownChanged = [this](bool) {
    LayoutParts();
    HeightFromRows();
  };
  TtwScrollBarLink::Pair(vlink_, hlink_);
  connect(list_, &QListWidget::itemClicked, this, [this] {
    if (OnListBoxClick) OnListBoxClick(this);
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
    if (OnListBoxDblClick) OnListBoxDblClick(this);
  });
  LayoutParts();
}

TtwSkinCustomListBox::~TtwSkinCustomListBox() {
  // The link filters the list's events: it goes before the list starts
  // tearing down its viewport, while the list is still whole.
  delete vlink_;
  delete hlink_;
}

QStringList TtwSkinCustomListBox::Items() const {
  QStringList l;
  l.reserve(list_->count());
  for (int i = 0; i < list_->count(); ++i) l << list_->item(i)->text();
  return l;
}

void TtwSkinCustomListBox::SetItems(const QStringList& items) {
  list_->clear();
  list_->addItems(items);
  if (horizontalExtent_) FlowChanged();
  SyncScrollBars();
}

void TtwSkinCustomListBox::AddItem(const QString& item) {
  list_->addItem(item);
  if (horizontalExtent_) FlowChanged();
  SyncScrollBars();
}

void TtwSkinCustomListBox::SetColumns(int n) {
  n = std::max(0, n);
  if (n == columns_) return;
  columns_ = n;
  FlowChanged();
}

void TtwSkinCustomListBox::SetHorizontalExtent(bool v) {
  if (v == horizontalExtent_) return;
  horizontalExtent_ = v;
  FlowChanged();
}

void TtwSkinCustomListBox::SetImages(TImageList* images) {
  if (images_) disconnect(images_, nullptr, this, nullptr);
  images_ = images;
  if (images_) connect(images_, &TImageList::Changed, this, [this] { FlowChanged(); });
  FlowChanged();
}

void TtwSkinCustomListBox::SetImageIndex(int i) {
  imageIndex_ = i;
  list_->viewport()->update();
}

int TtwSkinCustomListBox::ImageOffset() const { return images_ ? images_->Width() + 2 : 0; }

int TtwSkinCustomListBox::TextWidthAvailable() const {
  const int w = list_->viewport()->width();
  const TtwDataSkinListBox* r = ListRecord();
  int avail = r ? w + r->itemtextrect.Width() - r->itemrect.Width() : w - 4;
  if (images_) avail -= images_->Width() + 4;
  return avail;
}

int TtwSkinCustomListBox::RowWidth() const {
  const int w = std::max(1, list_->viewport()->width());
  if (columns_ >= 1) return std::max(1, w / columns_);
  if (!horizontalExtent_) return 1;
  // Measured once per change of items or font: every scroll step asks.
  if (widest_ < 0) {
    const QFontMetrics fm(list_->font());
    widest_ = 0;
    for (int i = 0; i < list_->count(); ++i)
      widest_ = std::max(widest_, fm.horizontalAdvance(list_->item(i)->text()));
  }
  const int widest = widest_;
  // The row is as wide as the list where the widest text fits, wider by
  // exactly what it lacks otherwise.
  return w + std::max(0, widest - TextWidthAvailable());
}

void TtwSkinCustomListBox::FlowChanged() {
  widest_ = -1;
  list_->SetColumnFlow(columns_ >= 1);
  if (columns_ >= 1 || !horizontalExtent_) list_->SetHorizontalOffset(0);
  list_->RowSizeChanged();
  if (horizontalExtent_ && columns_ < 1) {
    // One step of the bar is one digit's width, as the text scrolls.
    const int step = std::max(1, QFontMetrics(list_->font()).horizontalAdvance(QLatin1Char('0')));
    list_->horizontalScrollBar()->setSingleStep(step);
  }
  SyncScrollBars();
  list_->viewport()->update();
}

int TtwSkinCustomListBox::Count() const { return list_->count(); }
int TtwSkinCustomListBox::ItemIndex() const { return list_->currentRow(); }

void TtwSkinCustomListBox::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) {
    list_->setCurrentRow(-1);
    list_->clearSelection();
    return;
  }
  list_->setCurrentRow(index);
}

void TtwSkinCustomListBox::ScrollToItem(int index) {
  if (index < 0 || index >= Count()) return;
  list_->verticalScrollBar()->setValue(index);
  SyncScrollBars();
}

int TtwSkinCustomListBox::TopIndex() const { return list_->verticalScrollBar()->value(); }

int TtwSkinCustomListBox::ItemIndexAt(const QPoint& p) const {
  const QModelIndex i = list_->indexAt(p);
  return i.isValid() ? i.row() : -1;
}

void TtwSkinCustomListBox::SetUseSkinItemHeight(bool v) {
  useSkinItemHeight_ = v;
  ItemHeightChanged();
}

void TtwSkinCustomListBox::SetDefaultItemHeight(int h) {
  defaultItemHeight_ = h;
  ItemHeightChanged();
}

void TtwSkinCustomListBox::SetRowCount(int n) {
  rowCount_ = std::max(0, n);
  HeightFromRows();
  SyncScrollBars();
}

void TtwSkinCustomListBox::SetTabWidths(const QList<int>& w) {
  tabWidths_ = w.mid(0, 10);
  list_->viewport()->update();
}

void TtwSkinCustomListBox::SetCaptionMode(bool v) {
  captionMode_ = v;
  HeightFromRows();
  LayoutParts();
  update();
}

void TtwSkinCustomListBox::SetDefaultCaptionHeight(int h) {
  defaultCaptionHeight_ = std::max(0, h);
  HeightFromRows();
  LayoutParts();
  update();
}

void TtwSkinCustomListBox::SetDefaultCaptionFont(const QFont& f) {
  defaultCaptionFont_ = f;
  update();
}

void TtwSkinCustomListBox::SetAlignment(Qt::Alignment a) {
  alignment_ = a;
  update();
}

void TtwSkinCustomListBox::SetShowCaptionButtons(bool v) {
  showCaptionButtons_ = v;
  LayoutParts();
  update();
}

void TtwSkinCustomListBox::SetSorted(bool v) {
  list_->setSortingEnabled(v);
  if (v) list_->sortItems();
}

const TtwDataSkinListBox* TtwSkinCustomListBox::ListRecord() const {
  return dynamic_cast<const TtwDataSkinListBox*>(Record());
}

void TtwSkinCustomListBox::FindSkinRecord() {
  TtwSkinCustomControl::FindSkinRecord();
  // A listbox record without a piece cannot frame the list: default look.
  if (recordIndex_ != -1 && (!ListRecord() || geo_.PieceMode == pmNone)) {
    recordIndex_ = -1;
    geo_.Unbind();
  }
}

void TtwSkinCustomListBox::ApplySkin() {
  TtwSkinCustomControl::ApplySkin();
  const TtwDataSkinListBox* r = ListRecord();
  QFont f = defaultFont_;
  QColor c = defaultFontColor_;
  if (r && useSkinFont_) f = TwSkinFont(r->fontname, r->fontheight, r->fontstyle);
  if (r) c = ColorToQ(r->fontcolor);
  list_->setFont(WithCharSet(f));
  widest_ = -1;
  QPalette pal = list_->palette();
  pal.setColor(QPalette::Text, c);
  list_->setPalette(pal);
  vbar_->SetSkinDataName(r ? r->vscrollbarname : QString());
  vbar_->SetSkinData(skinData_);
  vbar_->ApplySkin();
  ApplyHBarRecord(true);
  ItemHeightChanged();
  LayoutParts();
  list_->viewport()->update();
}

void TtwSkinCustomListBox::ItemHeightChanged() {
  const TtwDataSkinListBox* r = ListRecord();
  int h = r && useSkinItemHeight_ ? r->itemrect.Height() : defaultItemHeight_;
  // A zero height (an empty item piece, or a default of 0) would stack every
  // row on the first and divide the visible rows by zero: rows then take
  // the font's height.
  if (h <= 0) h = QFontMetrics(list_->font()).height() + 4;
  if (h != itemHeight_) {
    itemHeight_ = h;
    // The view caches one uniform row size: a new delegate size drops it.
    emit list_->itemDelegate()->sizeHintChanged(QModelIndex());
    list_->doItemsLayout();
  }
  HeightFromRows();
  SyncScrollBars();
}

int TtwSkinCustomListBox::CaptionBarHeight() const { return captionMode_ ? defaultCaptionHeight_ : 1; }

void TtwSkinCustomListBox::HeightFromRows() {
  if (rowCount_ <= 0) return;
  int h;
  if (const TtwDataSkinListBox* r = ListRecord())
    h = geo_.PieceRect.Height() + rowCount_ * itemHeight_ - r->clientrect.Height();
  else
    h = rowCount_ * itemHeight_ + 4 + (captionMode_ ? defaultCaptionHeight_ : 0);
  if (!hbar_->isHidden()) h += HBarHeight();
  if (h != height()) SetBounds(x(), y(), width(), h);
}

void TtwSkinCustomListBox::ApplyHBarRecord(bool always) {
  const TtwDataSkinListBox* r = ListRecord();
  const QString name = !r                                                      ? QString()
                       : !vbar_->isHidden() && !r->bothhscrollbarname.isEmpty() ? r->bothhscrollbarname
                                                                               : r->hscrollbarname;
  if (!always && name == hbar_->SkinDataName() && hbar_->SkinData() == skinData_) return;
  hbar_->SetSkinDataName(name);
  hbar_->SetSkinData(skinData_);
  hbar_->ApplySkin();
}

int TtwSkinCustomListBox::HBarHeight() const {
  return hbar_->RecordIndex() != -1 && hbar_->PieceMode() != pmNone ? hbar_->Geometry().PieceRect.Height()
                                                                      : kDefaultListBarSize;
}

void TtwSkinCustomListBox::SetBounds(int left, int top, int width, int height) {
  TtwSkinCustomControl::SetBounds(left, top, width, height);
  LayoutParts();
}

void TtwSkinCustomListBox::resizeEvent(QResizeEvent* e) {
  TtwSkinCustomControl::resizeEvent(e);
  LayoutParts();
}

void TtwSkinCustomListBox::LayoutParts() {
  TtwListBoxLayoutInput in;
  in.Width = width();
  in.Height = height();
  in.Bound = ListRecord() != nullptr;
  if (in.Bound) {
    const TRect& cl = ListRecord()->clientrect;
    const int dW = width() - geo_.PieceRect.Width(), dH = height() - geo_.PieceRect.Height();
    in.ListRect = TRect{cl.Left, cl.Top, cl.Right + dW, cl.Bottom + dH};
  }
  in.CaptionHeight = CaptionBarHeight();
  in.VBar = !vbar_->isHidden();
  // A bound bar is as wide as its piece; the default look is 19 wide.
  const int barWidth = vbar_->RecordIndex() != -1 && vbar_->PieceMode() != pmNone
                           ? vbar_->Geometry().PieceRect.Width()
                           : kDefaultListBarSize;
  in.VBarWidth = barWidth;
  in.HBar = !hbar_->isHidden();
  in.HBarHeight = HBarHeight();
  const TtwListBoxLayout l = LayoutListBox(in);
  list_->setGeometry(l.Items);
  if (in.VBar) vbar_->SetBounds(l.VBar.x(), l.VBar.y(), l.VBar.width(), l.VBar.height());
  if (in.HBar) hbar_->SetBounds(l.HBar.x(), l.HBar.y(), l.HBar.width(), l.HBar.height());
  LayoutCaption();
}

void TtwSkinCustomListBox::LayoutCaption() {
  for (CaptionButton& b : buttons_) b.Rect = QRect();
  captionArea_ = QRect();
  if (!captionMode_) return;
  const TtwDataSkinListBox* r = ListRecord();
  const int W = width();
  if (r && !r->captionrect.IsEmpty()) {
    captionArea_ = MapSkinRect(r->captionrect).ToQ();
    const TRect* pieces[3] = {&r->upbuttonrect, &r->downbuttonrect, &r->checkbuttonrect};
    const int dW = W - geo_.PieceRect.Width();
    bool any = false;
    for (int i = 0; i < 3; ++i) {
      const TRect& p = *pieces[i];
      if (p.IsEmpty()) continue;
      any = true;
      buttons_[i].Rect = Moved(p, p.Left >= geo_.RightTopPoint.X ? dW : 0, 0);
    }
    if (any || !showCaptionButtons_) {
      if (!showCaptionButtons_)
        for (CaptionButton& b : buttons_) b.Rect = QRect();
      return;
    }
  } else if (!r) {
    captionArea_ = RectFromEdges(1, 1, W - 1, CaptionBarHeight());
  }
  if (!showCaptionButtons_) return;
  // A caption without button pieces still gets working buttons, drawn in the
  // default look at the caption's right end.
  const QRect c = captionArea_.isEmpty() ? RectFromEdges(1, 1, W - 1, CaptionBarHeight()) : captionArea_;
  const int side = std::max(0, std::min(16, c.height() - 2));
  int x = c.right() - 1 - 3 * side;
  for (CaptionButton& b : buttons_) {
    b.Rect = QRect(std::max(0, x), c.top() + (c.height() - side) / 2, side, side);
    x += side;
  }
}

void TtwSkinCustomListBox::SyncScrollBars() {
  // Rows scroll one item at a time, so the view's range is empty exactly
  // when every item fits: a list sized for RowCount rows with RowCount items
  // never shows the bar.
  if (!vlink_) return;
  list_->SettleLayout();
  if (horizontalExtent_ && columns_ < 1) {
    // A single column has no width of its own in the view: the widest row
    // sets the hidden bar's range here, as the view sets the vertical one.
    QScrollBar* h = list_->horizontalScrollBar();
    const int vw = list_->viewport()->width();
    h->setPageStep(std::max(1, vw));
    h->setRange(0, std::max(0, RowWidth() - vw));
  }
  vlink_->Sync();
  if (hlink_) hlink_->Sync();
}

// ---------------------------------------------------------------- painting

void TtwSkinCustomListBox::PaintListBackground(QPainter& p, const QRect& r) const {
  const TtwDataSkinListBox* rec = ListRecord();
  const TRect cl = geo_.SkinClientRect;
  if (!rec || geo_.SourcePicture.isNull() || cl.IsEmpty()) {
    p.fillRect(r, C::Window);
    return;
  }
  // The record's client piece, tiled from the list's corner.
  const TRect piece{geo_.PieceRect.Left + cl.Left, geo_.PieceRect.Top + cl.Top, geo_.PieceRect.Left + cl.Right,
                    geo_.PieceRect.Top + cl.Bottom};
  if (backgroundKey_ != geo_.SourcePicture.cacheKey() || !(backgroundPiece_ == piece)) {
    backgroundTile_ = QPixmap::fromImage(geo_.SourcePicture.copy(piece.ToQ()));
    backgroundKey_ = geo_.SourcePicture.cacheKey();
    backgroundPiece_ = piece;
  }
  p.drawTiledPixmap(r, backgroundTile_);
}

const QImage& TtwSkinCustomListBox::RowImage(int kind, const TRect& piece, const QSize& size, bool stretch) const {
  RowCache& c = rows_[kind];
  const qint64 key = geo_.SourcePicture.cacheKey();
  if (c.Key == key && c.Piece == piece && c.Width == size.width() && c.Height == size.height()) return c.Image;
  const TtwDataSkinListBox* rec = ListRecord();
  c = RowCache{key, piece, size.width(), size.height(), QImage()};
  if (useSkinItemHeight_) {
    ComposeThreePieceH(geo_.SourcePicture, piece, rec->itemleftoffset, rec->itemrightoffset, stretch, size.width(),
                       c.Image);
  } else {
    c.Image = TwNewSurface(size.width(), size.height(), QImage::Format_RGB32);
    const TRect cl = rec->itemtextrect;
    ComposeClientStretched(c.Image, geo_.SourcePicture, piece,
                           TRect{cl.Left + 1, cl.Top + 1, cl.Right - 1, cl.Bottom - 1}, true);
  }
  return c.Image;
}

void TtwSkinCustomListBox::PaintItem(QPainter& p, const QRect& r, int index, TtwListItemState s) const {
  if (r.width() <= 0 || r.height() <= 0) return;
  const TtwDataSkinListBox* rec = ListRecord();
  QRect text = r.adjusted(2, 0, -2, 0);
  QColor fg;
  if (!rec) {
    p.fillRect(r, s.Selected ? C::Highlight : C::Window);
    fg = s.Selected ? C::HighlightText : list_->palette().color(QPalette::Text);
  } else {
    const TRect& normal = rec->itemrect;
    const TRect& active = rec->activeitemrect.IsEmpty() ? normal : rec->activeitemrect;
    const TRect& focus = rec->focusitemrect.IsEmpty() ? normal : rec->focusitemrect;
    const TRect& piece = s.Selected ? (s.Focused ? focus : active) : normal;
    const int kind = s.Selected ? (s.Focused ? 2 : 1) : 0;
    const QImage* img = nullptr;
    if (!piece.IsEmpty() && !geo_.SourcePicture.isNull())
      img = &RowImage(kind, piece, r.size(), s.Selected && geo_.StretchEffect());
    if (!img || img->isNull()) p.fillRect(r, s.Selected ? C::Highlight : C::Window);
    else if (img->size() == r.size()) p.drawImage(r.topLeft(), *img);
    else p.drawImage(r, *img);
    const int dW = r.width() - normal.Width();
    const int dH = useSkinItemHeight_ ? 0 : r.height() - normal.Height();
    const TRect& t = rec->itemtextrect;
    if (!t.IsEmpty()) text = QRect(r.left() + t.Left, r.top() + t.Top, t.Width() + dW, t.Height() + dH);
    fg = ColorToQ(s.Selected ? (s.Focused ? rec->focusfontcolor : rec->activefontcolor) : rec->fontcolor);
    if (s.Focused && !s.Selected) {
      p.setPen(fg);
      DrawDottedFocus(p, TRect::FromQ(r));
    }
  }
  p.save();
  p.setClipRect(r);
  p.setFont(list_->font());
  p.setPen(fg);
  if (OnDrawItem) {
    OnDrawItem(p, index, text, s);
  } else {
    if (rec && rec->showfocus && s.Focused) DrawDottedFocus(p, TRect::FromQ(r));
    const QString t = list_->item(index)->text();
    const int off = list_->HorizontalOffset();
    const int pic = imageIndex_ >= 0 ? imageIndex_ : index;
    // The text moves past the picture's room even when this item has none.
    if (images_ && images_->Has(pic))
      images_->Draw(p, text.left() - off, text.top() + (text.height() - images_->Height()) / 2, pic, isEnabled());
    const int io = ImageOffset();
    if (!tabWidths_.isEmpty() && columns_ < 1) {
      DrawTabbedText(p, t, text.left() + io + 2, text, r.left(), tabWidths_);
    } else {
      p.drawText(text.adjusted(io, 0, 0, 0).translated(-off, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                 t);
    }
  }
  if (!rec && s.Focused) {
    p.setPen(fg);
    DrawDottedFocus(p, TRect::FromQ(r));
  }
  p.restore();
}

void TtwSkinCustomListBox::PaintDefault(QImage& bitmap) {
  QPainter p(&bitmap);
  QRect r(QPoint(0, 0), LogicalSize(bitmap));
  p.fillRect(r, C::BtnFace);
  DrawBevel(p, r, C::BtnShadow, C::BtnShadow);
  p.fillRect(r, C::Window);
  PaintCaption(p, RectFromEdges(1, 1, width() - 1, CaptionBarHeight()), false);
}

void TtwSkinCustomListBox::PaintSkin(QImage& bitmap) {
  // In the composite path this is the top band, where the caption lives.
  if (!UsesComposite()) TtwSkinCustomControl::PaintSkin(bitmap);
  QPainter p(&bitmap);
  PaintCaption(p, captionArea_, true);
}

void TtwSkinCustomListBox::PaintCaption(QPainter& p, const QRect& band, bool bound) const {
  if (!captionMode_ || band.isEmpty()) return;
  const TtwDataSkinListBox* r = bound ? ListRecord() : nullptr;
  if (!r) p.fillRect(band, C::BtnFace);
  int textRight = band.right() - 1;
  for (const CaptionButton& b : buttons_)
    if (!b.Rect.isEmpty()) textRight = std::min(textRight, b.Rect.left() - 2);
  QRect t = RectFromEdges(band.left() + 2, band.top(), textRight, band.bottom() + 1);
  p.setFont(r ? TwSkinFont(r->captionfontname, r->captionfontheight, r->captionfontstyle) : defaultCaptionFont_);
  p.setPen(r ? ColorToQ(r->captionfontcolor) : C::BtnText);
  p.drawText(t, int(alignment_ & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine, caption_);
  const bool pieces = r && !(r->upbuttonrect.IsEmpty() && r->downbuttonrect.IsEmpty() && r->checkbuttonrect.IsEmpty());
  for (int i = 0; i < 3; ++i) {
    const CaptionButton& b = buttons_[i];
    if (b.Rect.isEmpty()) continue;
    if (pieces) {
      const TRect act[3] = {r->activeupbuttonrect, r->activedownbuttonrect, r->activecheckbuttonrect};
      TRect dn[3] = {r->downupbuttonrect, r->downdownbuttonrect, r->downcheckbuttonrect};
      if (dn[i].IsEmpty()) dn[i] = act[i];
      const TRect& piece = b.Down && b.Hot ? dn[i] : b.Hot ? act[i] : TRect{};
      // The caption piece already shows the normal buttons.
      if (!piece.IsEmpty()) p.drawImage(b.Rect, geo_.SourcePicture, piece.ToQ());
      continue;
    }
    QColor frame = C::BtnShadow, fill = C::BtnFace;
    if (b.Down && b.Hot) frame = C::HotFrame, fill = C::DownFill;
    else if (b.Hot) frame = C::HotFrame, fill = C::HotFill;
    QRect f = b.Rect;
    p.fillRect(f, fill);
    DrawBevel(p, f, frame, frame);
    const TColor mark = ColorFromQ(isEnabled() ? C::BtnText : C::GrayText);
    if (i == 2) DrawCheckMark(p, b.Rect.left() + b.Rect.width() / 2 - 4, b.Rect.top() + b.Rect.height() / 2 - 4, mark);
    else DrawArrowMark(p, TRect::FromQ(b.Rect), mark, i == 0 ? 3 : 4);
  }
}

// ---------------------------------------------------------------- caption buttons

int TtwSkinCustomListBox::ButtonAt(const QPoint& p) const {
  for (int i = 0; i < 3; ++i)
    if (buttons_[i].Rect.contains(p)) return i;
  return -1;
}

void TtwSkinCustomListBox::SetPressedButton(int b) {
  if (pressedButton_ == b) return;
  if (pressedButton_ >= 0) buttons_[pressedButton_].Down = false;
  pressedButton_ = b;
  repeat_.Stop();
  repeatDirection_ = 0;
  if (b >= 0) {
    buttons_[b].Down = true;
    const bool handled = (b == 0 && OnUpButtonClick) || (b == 1 && OnDownButtonClick);
    if (b < 2 && !handled) {
      repeatDirection_ = b + 1;
      firstRepeatTick_ = true;
      repeat_.Start(kCaptionRepeatDelayMs);
    }
  }
  update();
}

void TtwSkinCustomListBox::RepeatTick() {
  if (firstRepeatTick_) {
    firstRepeatTick_ = false;
    repeat_.Start(kCaptionRepeatMs);
  }
  // At either end there is nothing more to repeat.
  if (!StepIndex(repeatDirection_ == 1 ? -1 : 1)) repeat_.Stop();
}

bool TtwSkinCustomListBox::StepIndex(int delta) {
  if (Count() == 0) return false;
  const int i = std::clamp(ItemIndex() + delta, 0, Count() - 1);
  if (i == ItemIndex()) return false;
  SetItemIndex(i);
  list_->scrollToItem(list_->item(i));
  return true;
}

void TtwSkinCustomListBox::ButtonClicked(int b) {
  if (b == 0) OnUpButtonClick ? OnUpButtonClick(this) : void(StepIndex(-1));
  if (b == 1) OnDownButtonClick ? OnDownButtonClick(this) : void(StepIndex(1));
  if (b == 2) {
    if (OnCheckButtonClick) OnCheckButtonClick(this);
    else if (OnListBoxClick) OnListBoxClick(this);
  }
}

void TtwSkinCustomListBox::mousePressEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mousePressEvent(e);
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  const int b = ButtonAt(e->position().toPoint());
  if (b < 0) return;
  buttons_[b].Hot = true;
  hotButton_ = b;
  SetPressedButton(b);
}

void TtwSkinCustomListBox::mouseMoveEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseMoveEvent(e);
  const int b = ButtonAt(e->position().toPoint());
  if (b == hotButton_) return;
  if (hotButton_ >= 0) buttons_[hotButton_].Hot = false;
  // A pressed button pauses off the pointer and resumes under it.
  if (pressedButton_ >= 0 && hotButton_ == pressedButton_ && repeatDirection_) repeat_.Stop();
  hotButton_ = pressedButton_ >= 0 && b != pressedButton_ ? -1 : b;
  if (hotButton_ >= 0) buttons_[hotButton_].Hot = true;
  if (pressedButton_ >= 0 && hotButton_ == pressedButton_ && repeatDirection_ && !repeat_.IsActive()) {
    firstRepeatTick_ = false;
    repeat_.Start(kCaptionResumeMs);
  }
  update();
}

void TtwSkinCustomListBox::mouseReleaseEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton || pressedButton_ < 0) return;
  const int b = pressedButton_;
  const bool over = ButtonAt(e->position().toPoint()) == b;
  SetPressedButton(-1);
  if (over) ButtonClicked(b);
}

void TtwSkinCustomListBox::leaveEvent(QEvent* e) {
  TtwSkinCustomControl::leaveEvent(e);
  if (hotButton_ >= 0 && pressedButton_ < 0) {
    buttons_[hotButton_].Hot = false;
    hotButton_ = -1;
    update();
  }
}

void TtwSkinCustomListBox::changeEvent(QEvent* e) {
  TtwSkinCustomControl::changeEvent(e);
  if (e->type() == QEvent::EnabledChange && !isEnabled()) SetPressedButton(-1);
}

void TtwSkinCustomListBox::hideEvent(QHideEvent* e) {
  TtwSkinCustomControl::hideEvent(e);
  SetPressedButton(-1);
}

// ---------------------------------------------------------------- pop-up list

TtwPopupListBox::TtwPopupListBox(TtwPopupListHost* host, QWidget* owner)
    : TtwSkinListBox(owner), host_(host), owner_(owner) {
  setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_X11NetWmWindowTypeCombo);
  InnerList()->setFocusPolicy(Qt::NoFocus);
  InnerList()->setMouseTracking(true);
  InnerList()->viewport()->setMouseTracking(true);
  InnerList()->viewport()->installEventFilter(this);
  fade_.OnTimeout = [this] { FadeStep(); };
  hide();
}

void TtwPopupListBox::ShowAt(const QPoint& global) {
  setAttribute(Qt::WA_NoMouseReplay, false);
  hiding_ = false;
  fade_.Stop();
  const int target = std::clamp(AlphaBlendValue, 0, 255);
  alpha_ = AlphaBlend ? (AlphaBlendAnimation ? 0 : target) : 255;
  setWindowOpacity(alpha_ / 255.0);
  move(global);
  show();
  // The fade runs on the clock's timer: the list takes input while it fades.
  if (AlphaBlend && AlphaBlendAnimation && alpha_ < target) fade_.Start(kDropDownFadeStepMs);
}

void TtwPopupListBox::FadeStep() {
  const int target = AlphaBlend ? std::clamp(AlphaBlendValue, 0, 255) : 255;
  // In int, so the last step lands on the target instead of wrapping.
  alpha_ = std::min(target, alpha_ + kDropDownFadeStep);
  setWindowOpacity(alpha_ / 255.0);
  if (alpha_ >= target) fade_.Stop();
}

void TtwPopupListBox::Hide() {
  hiding_ = true;
  fade_.Stop();
  hide();
  hiding_ = false;
}

void TtwPopupListBox::hideEvent(QHideEvent* e) {
  TtwSkinListBox::hideEvent(e);
  fade_.Stop();
  // Qt closed the pop-up itself (a click elsewhere, the window went away).
  if (!hiding_ && host_) host_->PopupClosed();
}

bool TtwPopupListBox::OverInnerList(const QPoint& global) const {
  const QWidget* vp = InnerList()->viewport();
  return vp->rect().contains(vp->mapFromGlobal(global)) && isVisible();
}

bool TtwPopupListBox::eventFilter(QObject* watched, QEvent* e) {
  if (watched == InnerList()->viewport() && host_) {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::MouseButtonRelease: {
        // The list never acts on the mouse itself: its owner decides.
        auto* m = static_cast<QMouseEvent*>(e);
        const QEvent::Type t = e->type() == QEvent::MouseButtonDblClick ? QEvent::MouseButtonPress : e->type();
        host_->PopupMouse(t, m->button(), m->globalPosition().toPoint(), true);
        return true;
      }
      default:
        break;
    }
  }
  return TtwSkinListBox::eventFilter(watched, e);
}

void TtwPopupListBox::mousePressEvent(QMouseEvent* e) {
  const QPoint g = e->globalPosition().toPoint();
  if (rect().contains(e->position().toPoint())) {
    TtwSkinListBox::mousePressEvent(e);  // the caption and its buttons
    return;
  }
  // A press on the owner closes the list; replaying it there would open the
  // list again at once.
  if (owner_ && owner_->rect().contains(owner_->mapFromGlobal(g))) setAttribute(Qt::WA_NoMouseReplay);
  if (host_) host_->PopupMouse(QEvent::MouseButtonPress, e->button(), g, false);
  if (isVisible()) Hide(), host_ ? host_->PopupClosed() : void();
}

void TtwPopupListBox::mouseMoveEvent(QMouseEvent* e) {
  TtwSkinListBox::mouseMoveEvent(e);
  if (host_) host_->PopupMouse(QEvent::MouseMove, e->button(), e->globalPosition().toPoint(), false);
}

void TtwPopupListBox::mouseReleaseEvent(QMouseEvent* e) {
  if (PressedButton() >= 0) {
    TtwSkinListBox::mouseReleaseEvent(e);
    return;
  }
  if (host_) host_->PopupMouse(QEvent::MouseButtonRelease, e->button(), e->globalPosition().toPoint(), false);
}

void TtwPopupListBox::keyPressEvent(QKeyEvent* e) {
  if (host_) host_->PopupKey(e);
  else TtwSkinListBox::keyPressEvent(e);
}
