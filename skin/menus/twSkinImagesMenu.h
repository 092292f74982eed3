#pragma once
// The images menu: TtwSkinImagesMenu drops down a grid of pictures from an
// image list, with full-width text buttons and header rows, and reports the
// entry the user chose by its index. Its popup, TtwSkinImagesMenuPopupWindow,
// is drawn from the skin's popup-window picture, its cells from a button
// record and its headers from the "label" record, or in a plain look without
// a skin. The grid, the arrow keys' walk and the popup's place are functions
// from sizes, tested alone.
//
//   closed --Popup(anchor)--> open --click on an entry, Enter, Space-->
//   closed with a choice; open --Escape, a click outside, Alt, a right or
//   middle press, another window moving or sizing--> closed without one.
// A linked control (a menu button) hears PopupClosed at every closing and
// ChoiceChanged whenever ItemIndex changes.
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/Clock.h"
#include "skin/data/twTypes.h"

class TImageList;
class TtwSkinData;
class TtwSkinHint;
class TtwSkinImagesMenu;

enum class TtwImagesEntryKind { Picture, Button, Header };

// ---- geometry ------------------------------------------------------------------

struct TtwImagesGridInput {
  QSize Image;  // the image list's picture size
  int Columns = 1;
  QPoint Start{5, 5};
  int HeaderHeight = 0;  // 0: a cell's height
  std::vector<TtwImagesEntryKind> Kinds;
};
struct TtwImagesGrid {
  std::vector<TRect> Rects;
  QSize Extent;  // the row width by the height from the first top to the last bottom
};
// Cells are the picture size + 10, rows one pixel apart; a header or a text
// button takes a row of its own.
TtwImagesGrid LayoutImagesGrid(const TtwImagesGridInput& in);

// The popup's size for a grid extent: the window picture grown by what the
// grid needs beyond its items rectangle, or the extent and a 5-pixel margin.
QSize ImagesMenuWindowSize(bool skinned, QSize picture, const TRect& itemsRect, QSize extent);

// Where the popup goes under anchor A (screen coordinates): below it, above
// it when it does not fit below, always inside the work area.
QPoint PlaceImagesMenu(const TRect& anchor, QSize size, const TRect& workArea);

// The hot entry after an arrow key (Qt::Key_Left, _Right, _Up, _Down); hot
// -1 is none. Headers are never landed on; a walk that finds nothing leaves
// the hot entry as it is.
struct TtwImagesWalkEntry {
  TRect Rect;
  TtwImagesEntryKind Kind = TtwImagesEntryKind::Picture;
};
int ImagesMenuWalk(const std::vector<TtwImagesWalkEntry>& entries, int hot, int key);

// ---- entries and the popup ----------------------------------------------------

struct TtwImagesMenuItem {
  int ImageIndex = -1;
  QString Caption;
  bool Button = false;  // a full-width text button
  bool Header = false;  // a header row, never chosen
  QString Hint;
  std::function<void()> OnClick;
  TtwImagesEntryKind Kind() const {
    return Header ? TtwImagesEntryKind::Header : Button ? TtwImagesEntryKind::Button : TtwImagesEntryKind::Picture;
  }
};

inline constexpr int kImagesMenuFadeStepMs = 5;
inline constexpr int kImagesMenuFadeStep = 10;  // opacity steps of 255

class TtwSkinImagesMenuPopupWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TtwSkinImagesMenuPopupWindow(TtwSkinImagesMenu* menu);
  ~TtwSkinImagesMenuPopupWindow() override;

  int Count() const { return int(items_.size()); }
  TRect EntryRect(int i) const { return items_[size_t(i)].Rect; }
  int HotEntry() const { return hot_; }
  void SetHotEntry(int i);
  bool Skinned() const { return skinned_; }
  // The first entry other than a header under a window point, or -1.
  int EntryAt(const QPoint& p) const;
  // The whole window as painted.
  QImage Render() const;
  // Handles a key as the open popup does; false for keys it leaves alone.
  bool KeyDown(int key, Qt::KeyboardModifiers mods = Qt::NoModifier);
  void Place(const TRect& anchor, const TRect& workArea);
  void ShowPopup();
  // Stops answering and hides; the menu deletes it once its handlers return.
  void Retire();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void leaveEvent(QEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void closeEvent(QCloseEvent*) override;

 private:
  struct Item {
    TRect Rect;
    TtwImagesEntryKind Kind;
    int ImageIndex;
    QString Caption, Hint;
  };
  void Build();
  void PaintEntry(QPainter& p, int i) const;
  void HotChanged();

  TtwSkinImagesMenu* menu_;
  QPointer<TtwSkinData> data_;
  std::vector<Item> items_;
  bool skinned_ = false;
  QImage background_;
  TRect itemsRect_;  // the frame's centre, moved to the window's size
  int hot_ = -1;
  bool mouseDown_ = false, entryPressed_ = false;
  bool closed_ = false;
  TwTimer fadeTimer_;
  int fadeValue_ = 255;
};

class TtwSkinImagesMenu : public QObject {
  Q_OBJECT
 public:
  explicit TtwSkinImagesMenu(QObject* owner = nullptr);
  // Destroying an open menu closes its popup without a choice: the event
  // filter and the popup's grab go with it, and a linked control hears
  // PopupClosed.
  ~TtwSkinImagesMenu() override;

  TImageList* Images() const;
  void SetImages(TImageList* images);
  std::vector<TtwImagesMenuItem> ImagesItems;
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  int ColumnsCount() const { return columns_; }
  void SetColumnsCount(int n);  // outside 1..50 is refused
  bool ShowSelectedItem = true;
  TtwSkinData* SkinData() const;
  void SetSkinData(TtwSkinData* data);
  bool UseSkinFont = true;
  QFont DefaultFont;
  TtwSkinHint* SkinHint() const;
  void SetSkinHint(TtwSkinHint* hint);
  bool ShowHints = true;
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 200;
  std::function<void()> OnItemClick, OnChange, OnMenuPopup, OnMenuClose;

  // The entry at ItemIndex, or null when that is out of range.
  const TtwImagesMenuItem* SelectedItem() const;
  // Opens under the anchor (screen coordinates), closing an open popup
  // first. Nothing opens without pictures or entries; the popup then counts
  // as closed at once.
  void Popup(const TRect& anchor);
  void CloseUp(bool choice);
  bool Opened() const { return popup_ != nullptr; }
  TtwSkinImagesMenuPopupWindow* PopupWindow() const { return popup_; }
  // Replaces the monitor's work area (tests, odd monitors).
  void SetWorkAreaOverride(const TRect& area) { workAreaOverride_ = area; }

 signals:
  void PopupClosed();
  void ChoiceChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  friend class TtwSkinImagesMenuPopupWindow;
  void ClosePopup();

  QPointer<TImageList> images_;
  QPointer<TtwSkinData> data_;
  QPointer<TtwSkinHint> hint_;
  int itemIndex_ = -1;
  int columns_ = 1;
  int indexAtOpening_ = -1;
  TtwSkinImagesMenuPopupWindow* popup_ = nullptr;
  TRect workAreaOverride_;
};
