// The category tree: nodes kept in the locale's collation order, node
// pictures from an image list, colours and font from the skin's tree record.
#include "skin/controls/twSkinTreeView.h"

#include <QCollator>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "platform/ImageList.h"
#include "skin/controls/twSkinControlBase.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"

namespace {
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kSelectedRole = Qt::UserRole + 2;
}  // namespace

// ---------------------------------------------------------------- nodes

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const QString& text) {
  return owner_->Insert(sibling ? sibling->parent() : nullptr, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const QString& text) {
  return owner_->Insert(parent, text);
}

void TTreeNodes::Clear() { owner_->clear(); }

static int CountBelow(const QTreeWidgetItem* item) {
  int n = 0;
  for (int i = 0; i < item->childCount(); ++i) n += 1 + CountBelow(item->child(i));
  return n;
}

int TTreeNodes::Count() const { return CountBelow(owner_->invisibleRootItem()); }

TTreeNode* TTreeNodes::Item(int index) const {
  if (index < 0) return nullptr;
  QTreeWidgetItemIterator it(owner_);
  for (int i = 0; *it; ++it, ++i)
    if (i == index) return *it;
  return nullptr;
}

TTreeNode* TTreeNodes::GetFirstNode() const { return owner_->topLevelItem(0); }

// ---------------------------------------------------------------- view

TtwSkinTreeView::TtwSkinTreeView(QWidget* parent)
    : QTreeWidget(parent), nodes_(this), defaultFont_(TwDefaultFont()),
      defaultColor_(SystemColor(COLOR_WINDOW)) {
  setColumnCount(1);
  setHeaderHidden(true);
  // The column is sized by FitColumn: never narrower than the view, wider
  // when a title needs it, so titles are scrolled to instead of cut.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::Fixed);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::NoFrame);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformRowHeights(true);
  setExpandsOnDoubleClick(true);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // expandAll emits one signal per category from inside its layout; fitting
  // at each would measure the view a thousand times over, so the fits fold
  // into one once the layout is done.
  connect(this, &QTreeView::expanded, this, &TtwSkinTreeView::FitColumnLater);
  connect(this, &QTreeView::collapsed, this, &TtwSkinTreeView::FitColumnLater);
  // Rows scrolled into view may hold a wider title than the rows measured.
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { FitColumn(true); });
  ApplySkin();
}

TtwSkinTreeView::~TtwSkinTreeView() = default;

void TtwSkinTreeView::SetVScrollBar(TtwSkinScrollBar* bar) {
  vBar_ = bar;
  vLink_.reset(bar ? new TtwScrollBarLink(this, Qt::Vertical, bar) : nullptr);
  LinkBars();
}

void TtwSkinTreeView::SetHScrollBar(TtwSkinScrollBar* bar) {
  hBar_ = bar;
  hLink_.reset(bar ? new TtwScrollBarLink(this, Qt::Horizontal, bar) : nullptr);
  LinkBars();
}

void TtwSkinTreeView::LinkBars() {
  if (vLink_) vLink_->OnShownChanged = nullptr;
  TtwScrollBarLink::Pair(vLink_.get(), hLink_.get());
  if (vLink_) vLink_->Sync();
  if (hLink_) hLink_->Sync();
}

void TtwSkinTreeView::FitColumn(bool onlyGrow) {
  if (fitting_ || columnCount() != 1) return;
  fitting_ = true;
  QHeaderView* h = header();
  // Only the rows on screen are measured, which keeps a fill of 100,000
  // notes as quick as in a plain tree; rows scrolled into view widen the
  // column as they come (a scroll only ever widens it, so the horizontal bar
  // does not jump under the pointer).
  const int precision = h->resizeContentsPrecision();
  h->setResizeContentsPrecision(0);
  const int wanted = std::max(viewport()->width(), sizeHintForColumn(0));
  h->setResizeContentsPrecision(precision);
  const int now = h->sectionSize(0);
  if (wanted > now || (!onlyGrow && wanted != now)) h->resizeSection(0, wanted);
  fitting_ = false;
}

void TtwSkinTreeView::FitColumnLater() {
  if (fitPending_) return;
  fitPending_ = true;
  QMetaObject::invokeMethod(this, [this] {
    fitPending_ = false;
    FitColumn();
  }, Qt::QueuedConnection);
}

void TtwSkinTreeView::updateGeometries() {
  FitColumn();
  QTreeWidget::updateGeometries();
  // The page step is final only here.
  if (vLink_) vLink_->Sync();
  if (hLink_) hLink_->Sync();
}

int TtwSkinTreeView::CompareText(const QString& a, const QString& b) {
  // One collator per default locale; building one per comparison is slow.
  static QCollator collator;
  static QString collatorLocale;
  const QLocale loc;
  if (collatorLocale != loc.name() || collatorLocale.isEmpty()) {
    collator = QCollator(loc);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    collatorLocale = loc.name();
  }
  const int c = collator.compare(a, b);
  if (c != 0) return c;
  return QString::compare(a, b);  // a stable order for texts the locale ties
}

TTreeNode* TtwSkinTreeView::Insert(TTreeNode* parent, const QString& text) {
  QTreeWidgetItem* owner = parent ? parent : invisibleRootItem();
  auto* node = new QTreeWidgetItem(QStringList{text});
  node->setData(0, kImageRole, -1);
  node->setData(0, kSelectedRole, -1);
  int pos = owner->childCount();
  if (sortType_ == stText) {
    // After the last node that does not sort above the new one.
    int lo = 0, hi = owner->childCount();
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (CompareText(owner->child(mid)->text(0), text) <= 0) lo = mid + 1; else hi = mid;
    }
    pos = lo;
  }
  owner->insertChild(pos, node);
  if (OnAddition) OnAddition(this, node);
  emit addition(node);
  RefreshIcons(node);
  return node;
}

TTreeNode* TtwSkinTreeView::Selected() const {
  const auto sel = selectedItems();
  return sel.isEmpty() ? nullptr : sel.first();
}

void TtwSkinTreeView::SetSelected(TTreeNode* node) {
  if (!node) {
    clearSelection();
    setCurrentItem(nullptr);
    return;
  }
  setCurrentItem(node);
  node->setSelected(true);
}

int TtwSkinTreeView::Level(const TTreeNode* node) {
  int l = 0;
  for (const QTreeWidgetItem* p = node ? node->parent() : nullptr; p; p = p->parent()) ++l;
  return l;
}

int TtwSkinTreeView::ImageIndex(const TTreeNode* node) {
  return node ? node->data(0, kImageRole).toInt() : -1;
}

int TtwSkinTreeView::SelectedIndex(const TTreeNode* node) {
  return node ? node->data(0, kSelectedRole).toInt() : -1;
}

QIcon TtwSkinTreeView::NodeIcon(TImageList* images, int normal, int selected) {
  if (!images || (!images->Has(normal) && !images->Has(selected))) return QIcon();
  QIcon icon;
  const QPixmap n = images->Pixmap(normal);
  const QPixmap s = images->Has(selected) ? images->Pixmap(selected) : n;
  // An empty picture still keeps the text where it would be with one.
  QPixmap blank(images->Width(), images->Height());
  blank.fill(Qt::transparent);
  icon.addPixmap(n.isNull() ? blank : n, QIcon::Normal);
  icon.addPixmap(s.isNull() ? blank : s, QIcon::Selected);
  return icon;
}

static void RefreshNodeIcon(TTreeNode* node, TImageList* images) {
  if (!node) return;
  node->setIcon(0, TtwSkinTreeView::NodeIcon(images, node->data(0, kImageRole).toInt(),
                                             node->data(0, kSelectedRole).toInt()));
}

void TtwSkinTreeView::SetImageIndex(TTreeNode* node, int index) {
  if (!node) return;
  node->setData(0, kImageRole, index);
  if (auto* tv = qobject_cast<TtwSkinTreeView*>(node->treeWidget())) tv->RefreshIcons(node);
}

void TtwSkinTreeView::SetSelectedIndex(TTreeNode* node, int index) {
  if (!node) return;
  node->setData(0, kSelectedRole, index);
  if (auto* tv = qobject_cast<TtwSkinTreeView*>(node->treeWidget())) tv->RefreshIcons(node);
}

void TtwSkinTreeView::RefreshIcons(TTreeNode* node) { RefreshNodeIcon(node, images_); }

void TtwSkinTreeView::RefreshAllIcons() {
  for (QTreeWidgetItemIterator it(this); *it; ++it) RefreshNodeIcon(*it, images_);
}

void TtwSkinTreeView::SetText(TTreeNode* node, const QString& text) {
  if (!node) return;
  node->setText(0, text);
  if (sortType_ != stText) return;
  QTreeWidgetItem* owner = node->parent() ? node->parent() : invisibleRootItem();
  const bool wasSelected = node->isSelected();
  const bool expanded = node->isExpanded();
  owner->removeChild(node);
  int lo = 0, hi = owner->childCount();
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (CompareText(owner->child(mid)->text(0), text) <= 0) lo = mid + 1; else hi = mid;
  }
  owner->insertChild(lo, node);
  node->setExpanded(expanded);
  if (wasSelected) SetSelected(node);
}

static void SortLevel(QTreeWidgetItem* owner) {
  QList<QTreeWidgetItem*> kids = owner->takeChildren();
  std::stable_sort(kids.begin(), kids.end(), [](QTreeWidgetItem* a, QTreeWidgetItem* b) {
    return TtwSkinTreeView::CompareText(a->text(0), b->text(0)) < 0;
  });
  owner->addChildren(kids);
  for (QTreeWidgetItem* k : kids) SortLevel(k);
}

void TtwSkinTreeView::SetSortType(TSortType s) {
  sortType_ = s;
  if (s == stText) SortLevel(invisibleRootItem());
}

void TtwSkinTreeView::SetImages(TImageList* l) {
  disconnect(imagesGone_);
  images_ = l;
  // The nodes hold copies of the pictures: a removed list takes them away.
  if (l) imagesGone_ = connect(l, &QObject::destroyed, this, [this] { RefreshAllIcons(); });
  if (l) {
    setIconSize(QSize(l->Width(), l->Height()));
    l->SetBkColor(palette().color(QPalette::Base));
  }
  RefreshAllIcons();
}

void TtwSkinTreeView::SetReadOnly(bool v) {
  readOnly_ = v;
  setEditTriggers(v ? QAbstractItemView::NoEditTriggers
                    : QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}

void TtwSkinTreeView::SetSkinData(TtwSkinData* d) {
  skinData_ = d;
  if (d) ApplySkin();
}

void TtwSkinTreeView::SetDefaultFont(const QFont& f) {
  defaultFont_ = f;
  if (recordIndex_ == -1) setFont(f);
}

void TtwSkinTreeView::SetDefaultColor(const QColor& c) {
  defaultColor_ = c;
  if (recordIndex_ == -1) ApplySkin();
}

void TtwSkinTreeView::ApplySkin() {
  recordIndex_ = (!skinData_ || skinData_->Empty()) ? -1 : skinData_->FindControlIndex(skinDataName_);
  const TtwDataSkinTreeView* r = nullptr;
  if (recordIndex_ != -1) r = dynamic_cast<const TtwDataSkinTreeView*>(skinData_->ControlRecords()[recordIndex_]);
  const QColor base = r ? ColorToQ(r->bgcolor) : defaultColor_;
  const QColor text = r ? ColorToQ(r->fontcolor) : SystemColor(COLOR_WINDOWTEXT);
  const QColor hi = r ? ColorToQ(skinData_->SkinColors().chighlight) : SystemColor(COLOR_HIGHLIGHT);
  const QColor hiText = r ? ColorToQ(skinData_->SkinColors().chighlighttext) : SystemColor(COLOR_HIGHLIGHTTEXT);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, base);
  pal.setColor(QPalette::Window, base);
  pal.setColor(QPalette::Text, text);
  pal.setColor(QPalette::Highlight, hi);
  pal.setColor(QPalette::HighlightedText, hiText);
  pal.setColor(QPalette::Inactive, QPalette::Highlight, hi);
  pal.setColor(QPalette::Inactive, QPalette::HighlightedText, hiText);
  pal.setColor(QPalette::Disabled, QPalette::Text, SystemColor(COLOR_GRAYTEXT));
  setPalette(pal);
  setFont(r && useSkinFont_ ? TwSkinFont(r->fontname, r->fontheight, r->fontstyle) : defaultFont_);
  if (images_) images_->SetBkColor(base);
}

void TtwSkinTreeView::SetBounds(int left, int top, int width, int height) {
  const QSize old = size();
  setGeometry(left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
  BoundsChanged(this, old);
}

void TtwSkinTreeView::mousePressEvent(QMouseEvent* e) {
  // A right click only opens the menu; it leaves the selection alone.
  if (e->button() == Qt::RightButton) {
    e->accept();
    return;
  }
  leftPressed_ = e->button() == Qt::LeftButton;
  // Empty space below the nodes keeps the selection as it is.
  if (!indexAt(e->position().toPoint()).isValid()) {
    setFocus(Qt::MouseFocusReason);
    e->accept();
    return;
  }
  QTreeWidget::mousePressEvent(e);
}

void TtwSkinTreeView::mouseReleaseEvent(QMouseEvent* e) {
  QTreeWidget::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton || !leftPressed_) return;
  leftPressed_ = false;
  if (OnClick) OnClick();
  emit clicked();
}

void TtwSkinTreeView::mouseDoubleClickEvent(QMouseEvent* e) {
  QTreeWidget::mouseDoubleClickEvent(e);
  if (e->button() != Qt::LeftButton) return;
  if (OnDblClick) OnDblClick();
  emit doubleClicked();
}

void TtwSkinTreeView::contextMenuEvent(QContextMenuEvent* e) {
  if (!popupMenu_) {
    QTreeWidget::contextMenuEvent(e);
    return;
  }
  popupMenu_->popup(e->globalPos());
  e->accept();
}
