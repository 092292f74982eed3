#pragma once
// The skinned list box: a skinned frame with an optional caption bar and its
// three repeating caption buttons around a QListWidget whose items are drawn
// from the record's item pieces; and TtwPopupListBox, the same list box as a
// pop-up window, the combo box's drop-down list.
//
// Caption-button state:
//   Idle --press on a button--> Pressed(b) --release / disable / hide--> Idle
// Only SetPressedButton starts and stops the repeat timer.
#include <QEvent>
#include <QListWidget>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <functional>

#include "platform/Clock.h"
#include "skin/controls/twSkinControlBase.h"
#include "skin/controls/twSkinScrollBar.h"

class TtwSkinCustomListBox;
class TtwDataSkinListBox;
class TImageList;

// Caption buttons repeat after this first delay, then at the repeat rate;
// a pointer that comes back onto a paused button resumes at the resume rate.
inline constexpr int kCaptionRepeatDelayMs = 500;
inline constexpr int kCaptionRepeatMs = 100;
inline constexpr int kCaptionResumeMs = 50;
// The bar thickness of the default look and its corner beside a second bar.
inline constexpr int kDefaultListBarSize = 19;

// A rectangle from its edges, never with a negative size.
QRect RectFromEdges(int l, int t, int r, int b);

// Where the parts of a list box go, from its size alone.
struct TtwListBoxLayoutInput {
  int Width = 0, Height = 0;
  bool Bound = false;
  TRect ListRect;          // bound: the record's client rectangle stretched with the control
  int CaptionHeight = 1;   // unbound: the caption band (1 without caption mode)
  bool VBar = false, HBar = false;
  int VBarWidth = kDefaultListBarSize, HBarHeight = kDefaultListBarSize;
};
struct TtwListBoxLayout {
  QRect Items, VBar, HBar;  // never negative; empty when absent
};
TtwListBoxLayout LayoutListBox(const TtwListBoxLayoutInput& in);

// Where a drop-down list of `list` size opens under `control` (both in
// screen coordinates): below, or above when it does not fit below, and moved
// left so its right edge stays inside the work area.
QPoint PlaceDropDown(const QRect& control, const QSize& list, const QRect& workArea);

// Draws a tab-separated text from x, the part after each tab at the next
// stop; stops count from x0, the item's left edge.
void DrawTabbedText(QPainter& p, const QString& text, int x, const QRect& r, int x0, const QList<int>& stops);

// The item state the painter needs, computed once per item.
struct TtwListItemState {
  bool Selected = false, Focused = false;
};

// The inner native list: no frame, no own bars, items of one fixed height
// drawn by its owner.
class TtwListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TtwListBox(TtwSkinCustomListBox* owner);
  TtwSkinCustomListBox* SkinListBox() const { return owner_; }
  int HorizontalOffset() const { return horizontalOffset_; }
  void SetHorizontalOffset(int v);
  // Rows that fit completely.
  int VisibleRows() const;
  // Lays out items added since the last layout now, so the range is current.
  void SettleLayout() { executeDelayedItemsLayout(); }
  // Tells the view that the row size changed.
  void RowSizeChanged();
  // Items fill columns top to bottom.
  void SetColumnFlow(bool on);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  TtwSkinCustomListBox* owner_;
  int horizontalOffset_ = 0;
  static constexpr int kMaxResizeNesting = 2;
  int resizeNesting_ = 0;
};

class TtwSkinCustomListBox : public TtwSkinCustomControl {
  Q_OBJECT
 public:
  explicit TtwSkinCustomListBox(QWidget* parent = nullptr);
  ~TtwSkinCustomListBox() override;

  // Items and the current index live in the inner list.
  QStringList Items() const;
  void SetItems(const QStringList& items);
  void AddItem(const QString& item);
  int Count() const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  // Makes index the top row.
  void ScrollToItem(int index);
  int TopIndex() const;
  // The item at a point of the inner list, -1 outside every item.
  int ItemIndexAt(const QPoint& p) const;
  TtwListBox* InnerList() const { return list_; }

  bool UseSkinItemHeight() const { return useSkinItemHeight_; }
  void SetUseSkinItemHeight(bool v);
  int DefaultItemHeight() const { return defaultItemHeight_; }
  void SetDefaultItemHeight(int h);
  // The height every row takes now; never 0.
  int ItemHeight() const { return itemHeight_; }
  int RowCount() const { return rowCount_; }
  void SetRowCount(int n);
  QList<int> TabWidths() const { return tabWidths_; }
  void SetTabWidths(const QList<int>& w);
  bool CaptionMode() const { return captionMode_; }
  void SetCaptionMode(bool v);
  int DefaultCaptionHeight() const { return defaultCaptionHeight_; }
  void SetDefaultCaptionHeight(int h);
  QFont DefaultCaptionFont() const { return defaultCaptionFont_; }
  void SetDefaultCaptionFont(const QFont& f);
  Qt::Alignment Alignment() const { return alignment_; }
  void SetAlignment(Qt::Alignment a);
  bool ShowCaptionButtons() const { return showCaptionButtons_; }
  void SetShowCaptionButtons(bool v);
  bool Sorted() const { return list_->isSortingEnabled(); }
  void SetSorted(bool v);
  // Items in this many columns filled top to bottom (0 = one column that
  // scrolls vertically); overflowing columns scroll horizontally.
  int Columns() const { return columns_; }
  void SetColumns(int n);
  // A horizontal bar appears when an item's text is wider than the list.
  bool HorizontalExtent() const { return horizontalExtent_; }
  void SetHorizontalExtent(bool v);
  // A picture before each item's text: ImageIndex, or the item's own index
  // when ImageIndex < 0.
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  // The width of one column (multi-column) or of the widest item row
  // (horizontal extent), as the view lays rows out.
  int RowWidth() const;

  // The vertical bar: a skinned bar shown only when an item no longer fits.
  TtwSkinScrollBar* VScrollBar() const { return vbar_; }
  bool VScrollVisible() const { return !vbar_->isHidden(); }
  int VScrollPage() const { return VScrollVisible() ? vbar_->PageSize() : 0; }
  // The horizontal bar: columns that overflow, or an item wider than the list.
  TtwSkinScrollBar* HScrollBar() const { return hbar_; }
  bool HScrollVisible() const { return !hbar_->isHidden(); }

  // Caption buttons: 0 up, 1 down, 2 check.
  QRect CaptionButtonRect(int b) const { return buttons_[b].Rect; }
  int PressedButton() const { return pressedButton_; }

  std::function<void(QObject*)> OnUpButtonClick, OnDownButtonClick, OnCheckButtonClick;
  std::function<void(QObject*)> OnListBoxClick, OnListBoxDblClick;
  // Draws an item's content over its painted background instead of the
  // built-in text.
  std::function<void(QPainter&, int index, const QRect& textRect, TtwListItemState)> OnDrawItem;

  void ApplySkin() override;
  void FindSkinRecord() override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;
  void SetBounds(int left, int top, int width, int height) override;

  // Paints one item into its rectangle of the inner list.
  void PaintItem(QPainter& p, const QRect& r, int index, TtwListItemState s) const;
  // Fills the list below its last item.
  void PaintListBackground(QPainter& p, const QRect& r) const;
  // Keeps the bars in step with the inner list.
  void SyncScrollBars();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void CaptionChanged() override { update(); }
  void LayoutParts();
  const TtwDataSkinListBox* ListRecord() const;

 private:
  struct CaptionButton {
    QRect Rect;
    bool Hot = false, Down = false;
  };
  void ItemHeightChanged();
  void FlowChanged();
  // Room for text in a row after the frame and the picture.
  int TextWidthAvailable() const;
  int ImageOffset() const;
  int HBarHeight() const;
  // The horizontal bar's record: the "both" one beside a vertical bar.
  void ApplyHBarRecord(bool always = false);
  void HeightFromRows();
  int CaptionBarHeight() const;
  void LayoutCaption();
  int ButtonAt(const QPoint& p) const;
  void SetPressedButton(int b);
  void RepeatTick();
  bool StepIndex(int delta);
  void ButtonClicked(int b);
  void PaintCaption(QPainter& p, const QRect& band, bool bound) const;

  // Composed row backgrounds (normal, selected, focused) and the tiled
  // client piece, kept from paint to paint: a list repaints every row on
  // every scroll step.
  struct RowCache {
    qint64 Key = 0;
    TRect Piece;
    int Width = -1, Height = -1;
    QImage Image;
  };
  const QImage& RowImage(int kind, const TRect& piece, const QSize& size, bool stretch) const;
  mutable RowCache rows_[3];
  mutable QPixmap backgroundTile_;
  mutable qint64 backgroundKey_ = 0;
  mutable TRect backgroundPiece_;

  TtwListBox* list_;
  bool useSkinItemHeight_ = true;
  int defaultItemHeight_ = 20;
  int itemHeight_ = 20;
  int rowCount_ = 0;
  QList<int> tabWidths_;
  bool captionMode_ = false;
  int defaultCaptionHeight_ = 20;
  QFont defaultCaptionFont_;
  Qt::Alignment alignment_ = Qt::AlignLeft;
  bool showCaptionButtons_ = true;
  int columns_ = 0;
  bool horizontalExtent_ = false;
  QPointer<TImageList> images_;
  int imageIndex_ = -1;
  mutable int widest_ = -1;  // widest item text in pixels, -1 = not measured
  TtwSkinScrollBar* vbar_;
  TtwScrollBarLink* vlink_;
  TtwSkinScrollBar* hbar_;
  TtwScrollBarLink* hlink_;
  CaptionButton buttons_[3];
  QRect captionArea_;
  int hotButton_ = -1, pressedButton_ = -1;
  int repeatDirection_ = 0;  // 0 none, 1 up, 2 down
  bool firstRepeatTick_ = false;
  TwTimer repeat_;
};

class TtwSkinListBox : public TtwSkinCustomListBox {
  Q_OBJECT
 public:
  explicit TtwSkinListBox(QWidget* parent = nullptr) : TtwSkinCustomListBox(parent) {}
};

// What the drop-down list reports to the control that opened it.
class TtwPopupListHost {
 public:
  virtual ~TtwPopupListHost() = default;
  // A press, move or release anywhere while the list is open, in screen
  // coordinates; `overList` tells whether it lies on the inner list.
  virtual void PopupMouse(QEvent::Type type, Qt::MouseButton button, const QPoint& global, bool overList) = 0;
  virtual void PopupKey(QKeyEvent* e) = 0;
  // The list was closed from outside (a click elsewhere, the window lost).
  virtual void PopupClosed() = 0;
};

// A borderless pop-up list that takes the mouse grab as a Qt popup does, so a
// press begun on its owner can be dragged into it and released on an item.
class TtwPopupListBox : public TtwSkinListBox {
  Q_OBJECT
 public:
  explicit TtwPopupListBox(TtwPopupListHost* host, QWidget* owner = nullptr);

  bool AlphaBlend = false;
  bool AlphaBlendAnimation = false;
  int AlphaBlendValue = 255;

  void ShowAt(const QPoint& global);
  void Hide();
  // The opacity now, 0..255.
  int Alpha() const { return alpha_; }
  bool Fading() const { return fade_.IsActive(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  void FadeStep();
  bool OverInnerList(const QPoint& global) const;
  TtwPopupListHost* host_;
  QWidget* owner_;
  TwTimer fade_;
  int alpha_ = 255;
  bool hiding_ = false;
};
