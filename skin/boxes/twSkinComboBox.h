#pragma once
// Combo box: drawn entirely by itself from its record, with a skinned
// drop-down list that follows a press dragged into it.
#include <QStringList>

#include "platform/Clock.h"
#include "skin/boxes/twSkinListBox.h"
#include "skin/controls/twSkinControlBase.h"

class TtwCustomEdit;
class TImageList;
class TtwDataSkinComboBox;

enum TtwSkinCustomComboBoxStyle { twcbEditStyle, twcbFixedStyle };

// The open list scrolls by one row at this rate while a drag holds the
// pointer above or below it; typed letters join one search within the delay.
inline constexpr int kComboAutoScrollMs = 25;
inline constexpr int kComboSearchResetMs = 500;

// Where the button and the shown item go, from sizes alone.
struct TtwComboLayoutInput {
  int Width = 0, Height = 0;
  bool Bound = false, UseSkinSize = true;
  TRect SkinRect, ClientRect, ButtonRect;  // bound: the record's
  int RightTopX = 0;                      // bound: the piece's right fixed end
};
struct TtwComboLayout {
  QRect ButtonArea, ItemArea;  // never negative
};
TtwComboLayout LayoutComboBox(const TtwComboLayoutInput& in);

class TtwSkinComboBox : public TtwSkinCustomControl, public TtwPopupListHost {
  Q_OBJECT
 public:
  explicit TtwSkinComboBox(QWidget* parent = nullptr);
  ~TtwSkinComboBox() override;

  QStringList Items() const;
  void SetItems(const QStringList& items);
  void AddItem(const QString& item);
  void ClearItems();
  int Count() const;

  // While the list is open, the row it shows as current.
  int ItemIndex() const;
  void SetItemIndex(int index);  // also takes the item's text; fires OnClick
  QString Text() const { return text_; }
  // In the fixed style a text that names an item also selects that item.
  void SetText(const QString& text);

  TtwSkinCustomComboBoxStyle Style() const { return style_; }
  void SetStyle(TtwSkinCustomComboBoxStyle s);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int n) { if (n > 0) dropDownCount_ = n; }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  bool UseSkinSize() const { return useSkinSize_; }
  void SetUseSkinSize(bool v);
  QColor DefaultColor() const { return defaultColor_; }
  void SetDefaultColor(const QColor& c) { defaultColor_ = c; update(); }
  int ListBoxWidth() const { return listBoxWidth_; }
  void SetListBoxWidth(int w) { listBoxWidth_ = w; }
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool v) { autoComplete_ = v; }
  // How the drop-down list is shown (opacity 0..255, faded in or not).
  bool AlphaBlend() const { return list_->AlphaBlend; }
  void SetAlphaBlend(bool v) { list_->AlphaBlend = v; }
  int AlphaBlendValue() const { return list_->AlphaBlendValue; }
  void SetAlphaBlendValue(int v) { list_->AlphaBlendValue = v; }
  bool AlphaBlendAnimation() const { return list_->AlphaBlendAnimation; }
  void SetAlphaBlendAnimation(bool v) { list_->AlphaBlendAnimation = v; }

  // Drawn as a tool button over the whole control; also turns the fixed
  // style on and the skin's size off.
  bool ToolButtonStyle() const { return toolButtonStyle_; }
  void SetToolButtonStyle(bool v);
  // A picture before the shown item's text, and tab stops, shared with the
  // list.
  TImageList* Images() const { return list_->Images(); }
  void SetImages(TImageList* images);
  int ImageIndex() const { return list_->ImageIndex(); }
  void SetImageIndex(int i);
  QList<int> TabWidths() const { return list_->TabWidths(); }
  void SetTabWidths(const QList<int>& w);
  bool HorizontalExtent() const { return list_->HorizontalExtent(); }
  void SetHorizontalExtent(bool v) { list_->SetHorizontalExtent(v); }

  // The drop-down list's own properties: the box pushes them into the list,
  // and reads them back from it.
  QString ListBoxCaption() const { return list_->Caption(); }
  void SetListBoxCaption(const QString& c) { list_->SetCaption(c); }
  bool ListBoxCaptionMode() const { return list_->CaptionMode(); }
  void SetListBoxCaptionMode(bool v) { list_->SetCaptionMode(v); }
  QFont ListBoxDefaultFont() const { return list_->DefaultFont(); }
  void SetListBoxDefaultFont(const QFont& f);
  QFont ListBoxDefaultCaptionFont() const { return list_->DefaultCaptionFont(); }
  void SetListBoxDefaultCaptionFont(const QFont& f) { list_->SetDefaultCaptionFont(f); }
  int ListBoxDefaultItemHeight() const { return list_->DefaultItemHeight(); }
  void SetListBoxDefaultItemHeight(int h) { list_->SetDefaultItemHeight(h); }
  Qt::Alignment ListBoxCaptionAlignment() const { return list_->Alignment(); }
  void SetListBoxCaptionAlignment(Qt::Alignment a) { list_->SetAlignment(a); }
  bool ListBoxUseSkinFont() const { return list_->UseSkinFont(); }
  void SetListBoxUseSkinFont(bool v);
  bool ListBoxUseSkinItemHeight() const { return list_->UseSkinItemHeight(); }
  void SetListBoxUseSkinItemHeight(bool v) { list_->SetUseSkinItemHeight(v); }

  // Draws the list's rows (it becomes the list's OnDrawItem).
  void SetOnListBoxDrawItem(std::function<void(QPainter&, int, const QRect&, TtwListItemState)> f) {
    list_->OnDrawItem = std::move(f);
  }
  // Draws the shown item's content over its painted background instead of
  // the built-in picture and text; `textRect` is in the control's pixels.
  std::function<void(QPainter&, int index, const QRect& textRect, TtwListItemState)> OnComboBoxDrawItem;

  bool Dropped() const { return dropped_; }
  virtual void DropDown();
  void CloseUp(bool accept);
  // The edit style's inner edit, or null.
  TtwCustomEdit* InnerEdit() const { return edit_; }
  // The list shown while dropped (a pop-up window).
  TtwPopupListBox* PopupList() const { return list_; }
  QRect ButtonArea() const { return Layout().ButtonArea; }
  QRect ItemAreaRect() const { return Layout().ItemArea; }
  bool ButtonDown() const { return buttonDown_; }
  // 0 none, 1 up, 2 down: the open list's auto-scroll.
  int ScrollDirection() const { return scrollDirection_; }

  std::function<void()> OnChange, OnClick, OnCloseUp, OnDropDown;
  virtual void Change() {}

  void FindSkinRecord() override;
  void ApplySkin() override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;
  void FitToSkin(int& width, int& height) override;
  void UpdateRegion() override;

  // The drop-down list's reports.
  void PopupMouse(QEvent::Type type, Qt::MouseButton button, const QPoint& global, bool overList) override;
  void PopupKey(QKeyEvent* e) override;
  void PopupClosed() override;

 signals:
  void changed();
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  const TtwDataSkinComboBox* ComboRecord() const;
  TtwComboLayout Layout() const;
  void SelectItem(int index, bool notify);
  void TextChanged();
  // The edit style: the typed text, completed from the first item it begins.
  void EditChanged(const QString& typed);
  void SortItems();
  // The item a typed character finds, or -1.
  int Search(QChar c, int from);
  void LayoutEdit();
  void SyncList();
  // Moves the open list's row only; the box shows its item until close-up.
  void MoveListIndex(int index);
  // Keys shared by the box and its open list; false when not handled.
  bool HandleKey(QKeyEvent* e);
  void FollowList(const QPoint& global);
  void SetScrollDirection(int d);
  void AutoScrollTick();
  void PaintItemArea(QImage& face, bool bound);
  void PaintButton(QImage& face, bool bound);
  void PaintToolButton(QImage& face, bool bound);
  // The shown item's picture and text (or the owner's drawing) in textArea.
  void PaintItemContent(QPainter& p, int index, const QString& text, const QRect& textArea, bool focused);

  QStringList items_;
  int itemIndex_ = -1;
  int indexBeforeDrop_ = -1;
  QString text_;
  TtwSkinCustomComboBoxStyle style_ = twcbFixedStyle;
  int dropDownCount_ = 8;
  bool sorted_ = false;
  bool useSkinSize_ = true;
  QColor defaultColor_ = SystemColor(COLOR_WINDOW);
  int listBoxWidth_ = 0;
  bool autoComplete_ = true;
  bool dropped_ = false;
  bool toolButtonStyle_ = false;
  bool mouseInControl_ = false;
  bool buttonHot_ = false;
  bool buttonDown_ = false;
  bool trackingList_ = false;
  bool listEntered_ = false;
  bool listDirty_ = true;
  int scrollDirection_ = 0;
  TwTimer autoScroll_;
  TtwPopupListBox* list_ = nullptr;
  TtwCustomEdit* edit_ = nullptr;
  bool deleting_ = false;  // the last key in the edit removed text
  QString searchText_;
  qint64 lastSearchTick_ = 0;
};
