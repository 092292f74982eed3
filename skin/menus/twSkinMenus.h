#pragma once
// Skinned popup menus: the controller a skinned form owns (TtwSkinMenu), the
// popup window of one open level (TtwSkinPopupWindow) and a popup menu over
// ordinary QAction / QMenu entries (TtwSkinPopupMenu).
//
// Menu states and their transitions (all through TtwSkinMenu):
//   closed --PopupMenuItems--> open, one level --click/wait on a sub-menu
//   entry--> open, nested levels --Escape/Left--> one level less --CloseMenu
//   (Escape on the first level, a click outside, a command)--> closed.
// A command runs only after the menu has closed and the handler that chose
// it has returned, so a command may free the menu, its form or its window.
//
// A form uses it so: create one TtwSkinMenu(form) (a child of the form, so
// TtwSkinPopupMenu finds it), copy the form's menu settings into it, and
// open menus with PopupMenuItems(opener, skin, upward, menu, anchor); the
// opener and the form hear SKIN_MSG_MENU_CLOSED, the opener also
// SKIN_MSG_MENU_DONE after a command ran. MenuOpened / MenuClosed mark the
// form's menu state. Levels take the keys themselves while open; KeyDown is
// there for a form that receives them first.
#include <QBasicTimer>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "skin/data/twSkinData.h"
#include "skin/data/twTypes.h"
#include "skin/menus/twMenuGeometry.h"
#include "skin/menus/twSkinMenuItem.h"

class TtwDataSkinPopupWindow;
class TtwDataSkinMenuItem;
class TImageList;
class TtwSkinMenu;

// Private engine messages (sent through platform/Message.h).
// Also declared beside the other half of the menu pair; one definition wins.
#ifndef TW_SKIN_MSG_MENU_CLOSED_DEFINED
#define TW_SKIN_MSG_MENU_CLOSED_DEFINED
inline constexpr uint32_t SKIN_MSG_MENU_CLOSED = 1228;  // to the opener and the owning form
#endif
inline constexpr uint32_t SKIN_MSG_MENU_DONE = 1229;    // to the opener after an entry ran

inline constexpr int kMenuWaitMs = 500;         // hover before a sub-menu opens
inline constexpr int kMenuMousePollMs = 50;
inline constexpr int kMenuMorphMs = 20;
inline constexpr int kMenuScrollMs = 100;
inline constexpr int kMenuFadeStepMs = 5;
inline constexpr int kMenuFadeStep = 10;        // opacity steps of 255

// The image list entries of a menu index into (the "Images" property of the
// QMenu holding a TImageList), or null.
TImageList* TwMenuImages(const QMenu* menu);
void TwSetMenuImages(QMenu* menu, TImageList* images);
// An owner-drawn entry: the handler replaces the entry's whole drawing.
void TwSetMenuDrawItem(QAction* action, TtwMenuDrawItem handler);

class TtwSkinPopupWindow : public QWidget {
  Q_OBJECT
 public:
  struct Entry {
    QPointer<QAction> Action;
    TtwMenuItemData Item;
    TRect Rect;  // window coordinates
    TtwMenuEntryState State;
    bool Shown = false;
    bool Preselected = false;
    bool Selectable() const { return Item.Enabled && !Item.IsSeparator(); }
  };

  explicit TtwSkinPopupWindow(TtwSkinMenu* menu);
  ~TtwSkinPopupWindow() override;
  // Makes this window the given level listing the visible actions; a
  // retired window is opened again this way, keeping its platform window.
  void Open(int level, TtwSkinData* data, QMenu* owner, const QList<QAction*>& actions, bool merged);

  int Level() const { return level_; }
  QMenu* OwnerMenu() const { return owner_; }
  int Count() const { return int(entries_.size()); }
  const Entry& At(int i) const { return entries_[size_t(i)]; }
  int ActiveIndex() const { return active_; }
  bool Scrolling() const { return sizing_.Scrolling; }
  bool Limited() const { return sizing_.Limited; }
  int FirstVisible() const { return view_.FirstVisible; }
  int VisibleCount() const { return view_.VisibleCount; }
  int ScrollDirection() const { return scrollDir_; }
  bool Skinned() const { return metrics_.Skinned; }
  const TtwMenuFrame& Frame() const { return frame_; }
  QString HintText() const { return hint_; }
  // The entry under a window point among the shown ones, or -1.
  int EntryAt(const QPoint& p) const;
  // The whole window as painted (composed once, then kept up to date).
  const QImage& Render() const;

  // ---- driven by the controller ----
  void PlaceAt(const TRect& anchor, const TRect& workArea, bool subMenu, bool upward);
  void ShowLevel(bool fade, int alpha);
  void Preselect();
  void ActivateEntry(int i, bool byMouse);
  void DeactivateEntry(int i);
  void ClickEntry(int i);
  void SetDown(int i, bool down);
  // The cursor is at global point g; under tells whether this window is the
  // topmost level there. Nothing happens while the cursor has not moved.
  void MouseAt(const QPoint& g, bool under);
  void MouseReleasedAt(const QPoint& g);
  bool KeyDown(int key, const QString& text);
  void ScrollUp(bool wrap);
  void ScrollDown(bool wrap);
  // One wheel notch moves the view of a scrolling level by one entry.
  void Wheel(int steps);
  void RedrawEntry(int i);
  // Stops every timer and hides; the controller deletes it later, since the
  // handler that closed it may still be running on it.
  void Retire();
  bool Retired() const { return retired_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void closeEvent(QCloseEvent*) override;
  void timerEvent(QTimerEvent*) override;

 private:
  void BuildEntries(const QList<QAction*>& actions);
  void Size(bool merged);
  void Relayout();
  void ComposeBackground();
  void PaintEntry(QPainter& p, int i) const;
  void PaintBands(QPainter& p) const;
  void StartMorph();
  void MorphTick();
  void SetScrollDirection(int dir);
  TtwMenuPaintContext Context(int i) const;
  void ActivateFromKeyboard(int i);
  void HandlePoint(const QPoint& local);
  void EnsureShown(int i);

  TtwSkinMenu* menu_;
  int level_ = 0;
  QPointer<TtwSkinData> data_;
  QPointer<QMenu> owner_;
  const TtwDataSkinPopupWindow* windowRecord_ = nullptr;
  const TtwDataSkinMenuItem* itemRecord_ = nullptr;
  const QImage* windowPicture_ = nullptr;
  const QImage* maskPicture_ = nullptr;
  const QImage* itemPicture_ = nullptr;
  TImageList* images_ = nullptr;
  int imageSpace_ = 0;
  QFont font_;
  TtwMenuMetrics metrics_;
  TtwMenuSizing sizing_;
  TtwMenuFrame frame_;
  TtwMenuView view_;
  std::vector<Entry> entries_;
  std::vector<int> heights_;
  int active_ = -1;
  int scrollDir_ = 0;
  int wheelDelta_ = 0;
  QPoint lastMouse_{-100000, -100000};
  QImage background_, backgroundCopy_;
  mutable QImage composed_;
  mutable bool composedValid_ = false;
  QString hint_;
  QBasicTimer mouseTimer_, morphTimer_, scrollTimer_, fadeTimer_;
  int fadeTarget_ = 255, fadeValue_ = 255;
  bool retired_ = false;
};

class TtwSkinMenu : public QObject {
  Q_OBJECT
 public:
  // form: the skinned form whose menus run here (told SKIN_MSG_MENU_CLOSED);
  // it may be null. Clicks on it, and its moving, sizing, hiding or
  // deactivation, close the menu.
  explicit TtwSkinMenu(QWidget* form, QObject* owner = nullptr);
  ~TtwSkinMenu() override;

  // ---- settings the form hands down ----
  int MaxMenuItemsInWindow = 0;
  bool UseSkinFont = true;
  int DefMenuItemHeight = 20;
  QFont DefMenuItemFont = TwDefaultMenuFont();
  bool AlphaBlend = false;
  uint8_t AlphaBlendValue = 150;
  bool AlphaBlendAnimation = false;
  // The skin a TtwSkinPopupMenu without its own SkinData draws from.
  QPointer<TtwSkinData> DefaultSkinData;

  QWidget* Form() const { return form_; }
  void SetForm(QWidget* form);

  // Opens the visible entries of `items` from `first` on at anchor (screen
  // coordinates; a point has zero size), closing any open menu first.
  void PopupMenuItems(QWidget* opener, TtwSkinData* data, bool upward, QMenu* items, const TRect& anchor,
                      int first = 0);
  // The first level lists second's entries, then items'.
  void PopupMergedItems(QWidget* opener, TtwSkinData* data, bool upward, QMenu* items, QMenu* second,
                        const TRect& anchor, int first = 0);
  void CloseLevels(int level);
  void CloseMenu();

  bool Visible() const { return visible_; }
  int LevelCount() const { return int(levels_.size()); }
  TtwSkinPopupWindow* Level(int i) const;
  TtwSkinPopupWindow* LastLevel() const { return levels_.empty() ? nullptr : Level(LevelCount() - 1); }
  TtwSkinData* SkinData() const { return data_; }
  TRect WorkArea() const { return workArea_; }
  // Replaces the work area taken at each opening (tests, odd monitors).
  void SetWorkAreaOverride(const TRect& area) { workAreaOverride_ = area; }
  // Called once when this opening closes, then forgotten.
  void SetCloseCallback(std::function<void()> callback) { onClose_ = std::move(callback); }

  // Key presses while the menu is open go to the last level.
  bool KeyDown(int key, const QString& text = {});
  // The cursor moved to global point g: every level hears of it.
  void RouteMouse(const QPoint& g);
  void RunItem(TtwSkinPopupWindow* w, int entry, bool keyboard, bool click);
  TtwSkinPopupWindow* LevelAt(const QPoint& g) const;
  bool WaitingFor(const TtwSkinPopupWindow* w, int entry) const { return waitWindow_ == w && waitEntry_ == entry; }
  void StopWaiting();
  // Where the mouse poll reads the cursor; tests replace it.
  std::function<QPoint()> CursorPos;

  // ---- used by the levels ----
  void NotePress(const QPoint& g);
  bool ReleaseCounts(const QPoint& g) const;
  void LevelClosedByPlatform(TtwSkinPopupWindow* w);

 signals:
  void MenuOpened();
  void MenuClosed();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void timerEvent(QTimerEvent* e) override;

 private:
  void Open(QWidget* opener, TtwSkinData* data, bool upward, QMenu* items, QMenu* second, const TRect& anchor,
            int first);
  void OpenLevel(QMenu* owner, const QList<QAction*>& actions, const TRect& anchor, bool subMenu, bool upward,
                 bool merged);
  void Recycle(TtwSkinPopupWindow* w);

  QPointer<QWidget> form_;
  std::vector<TtwSkinPopupWindow*> levels_;  // owned
  // Closed levels wait one event-loop turn before they may be opened again,
  // since the handler that closed one may still be running on it.
  std::vector<TtwSkinPopupWindow*> retiring_, spare_;
  bool spareQueued_ = false;
  bool visible_ = false;
  bool first_ = false;
  bool closing_ = false;
  QPointer<TtwSkinData> data_;
  QPointer<QWidget> opener_;
  QPointer<QWidget> notify_;
  TRect workArea_;
  TRect workAreaOverride_;
  std::function<void()> onClose_;
  QBasicTimer waitTimer_;
  TtwSkinPopupWindow* waitWindow_ = nullptr;
  int waitEntry_ = -1;
  QPoint openCursor_;
  bool pressSeen_ = false;
};

// A popup menu whose entries are ordinary QActions, shown skinned through
// the menu controller of a skinned form.
class TtwSkinPopupMenu : public QMenu {
  Q_OBJECT
 public:
  explicit TtwSkinPopupMenu(QWidget* parent = nullptr);

  TtwSkinData* SkinData() const { return skinData_; }
  void SetSkinData(TtwSkinData* data) { skinData_ = data; }
  // Called once when the skinned menu closes.
  std::function<void()> OnMenuClose;
  // The controller to use; else the one of SkinForm(); else the one of the
  // menu's parent's window.
  void SetSkinMenu(TtwSkinMenu* m) { skinMenu_ = m; }
  void SetSkinForm(QWidget* form) { form_ = form; }
  TtwSkinMenu* FindSkinMenu() const;
  QPoint LastPopupPoint() const { return lastPoint_; }

  void Popup(int X, int Y);
  void PopupAtControl(QWidget* control, const TRect& rect, bool upward);
  void PopupForControl(QWidget* control, int X, int Y);

 private:
  void Open(QWidget* opener, const TRect& anchor, bool upward, bool needSkin);

  QPointer<TtwSkinData> skinData_;
  QPointer<TtwSkinMenu> skinMenu_;
  QPointer<QWidget> form_;
  QPoint lastPoint_{-1, -1};
};
