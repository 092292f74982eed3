#pragma once
// The skinned scroll bar: arrows, track and a page-sized thumb laid out by one
// pure function, auto-repeat on the injected clock, thumb drag, keys and wheel;
// and the adapter that keeps it in step with a Qt scroll area's hidden bar.
#include <QObject>
#include <QPointer>
#include <QPoint>
#include <functional>

#include <QScrollBar>

#include "skin/controls/twSkinControlBase.h"

class QAbstractScrollArea;
class TwTimer;

enum TScrollBarKind { sbHorizontal, sbVertical };

// The first three are the bar's parts (their numbers index its part table);
// the track halves are where a press pages.
enum TScrollPart { spNone = -1, spThumb = 0, spUp = 1, spDown = 2, spTrackBefore = 3, spTrackAfter = 4 };

// Auto-repeat of arrows and track: the first delay, then the repeat rate.
inline constexpr int kScrollRepeatDelayMs = 500;
inline constexpr int kScrollRepeatIntervalMs = 50;
// Unbound look: each arrow's slot along the bar and the thumb without a page.
inline constexpr int kScrollButtonSlot = 17;
inline constexpr int kScrollDefaultThumb = 16;

// Everything the part layout depends on. Unbound bars leave the record fields
// alone; a bound bar copies them from its scroll-bar record.
struct TScrollBarLayoutInput {
  TScrollBarKind Kind = sbHorizontal;
  int Width = 0, Height = 0;
  int Min = 0, Max = 100, Position = 0, PageSize = 0;
  bool Both = false;
  int BothMarkerWidth = 19;
  bool Bound = false;
  TRect SkinRect;  // the record's piece: its size is the skin size
  TPoint RightTopPoint, LeftBottomPoint;
  TRect TrackArea, UpButton, DownButton, ThumbRect;
  int ThumbMinSize = 0, ThumbMinPageSize = 0;
};

// Rectangles in control coordinates. The thumb is empty when it cannot fit in
// the track; ThumbCentreMin/Max bound its centre and ThumbOffset is its start
// minus the track's start (the drag maps pointer travel through them).
struct TScrollBarParts {
  TScrollBarKind Kind = sbHorizontal;
  TRect Down, Up, Track, Thumb;
  int ThumbCentreMin = 0, ThumbCentreMax = 0, ThumbOffset = 0;
  bool ThumbShown() const { return !Thumb.IsEmpty(); }
};

TScrollBarParts LayoutScrollBar(const TScrollBarLayoutInput& in);
// The part under p (right and bottom edges excluded); a track press is
// before or after the thumb along the bar. Nothing on a track without thumb.
TScrollPart PartAt(const TScrollBarParts& parts, const QPoint& p);

// Copies of a scroll-bar record with the empty-piece fallbacks resolved.
struct TtwScrollBarSkin {
  TRect trackarea, upbuttonrect, activeupbuttonrect, downupbuttonrect;
  TRect downbuttonrect, activedownbuttonrect, downdownbuttonrect;
  TRect thumbrect, activethumbrect, downthumbrect;
  int thumboffset1 = 0, thumboffset2 = 0;
  TRect glyphrect, activeglyphrect, downglyphrect;
  bool glyphtransparent = false, thumbtransparent = false, thumbstretcheffect = false;
  TColor glyphtransparentcolor = 0, thumbtransparentcolor = 0;
  int thumbminsize = 0, thumbminpagesize = 0;
};

// Press state:
//   Idle --press arrow--> Arrow (step, repeat 500 ms then 50 ms; paused while
//          the pointer is off the arrow)
//   Idle --press track--> Paging (repeat until the thumb passes the pointer;
//          paging forward also stops when the pointer leaves the bar)
//   Idle --press thumb--> Dragging
//   any --release / focus out / disable--> Idle
// SetPressed is the one transition: it starts and stops the repeat timer.
class TtwSkinScrollBar : public TtwSkinCustomControl {
  Q_OBJECT
 public:
  explicit TtwSkinScrollBar(QWidget* parent = nullptr);
  ~TtwSkinScrollBar() override;

  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position() const { return position_; }
  // Clamped to [Min, Max] (to Max - PageSize + 1 with a page); fires OnChange
  // when the stored value changes.
  void SetPosition(int v);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int v);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int v);
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int v);
  // Sets the range, page and clamped position together without OnChange:
  // for owners that mirror a view's own scrolling.
  void SetParams(int min, int max, int pageSize, int position);

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind k);
  // What the designer does on a kind change: the record name, the default
  // thickness and the orientation of the size follow the kind.
  void SetKindAsDesigned(TScrollBarKind k);
  bool Both() const { return both_; }
  void SetBoth(bool v);
  int BothMarkerWidth() const { return bothMarkerWidth_; }
  void SetBothMarkerWidth(int v);
  QString BothSkinDataName() const { return bothSkinDataName_; }
  void SetBothSkinDataName(const QString& n) { bothSkinDataName_ = n; }
  bool CanFocused() const { return canFocused_; }
  void SetCanFocused(bool v);

  std::function<void(QObject* sender)> OnChange, OnUpButtonClick, OnDownButtonClick, OnLastChange,
      OnPageUp, OnPageDown;

  // The layout at the current size and values.
  TScrollBarLayoutInput LayoutInput() const;
  TScrollBarParts Parts() const { return LayoutScrollBar(LayoutInput()); }
  const TtwScrollBarSkin& ScrollSkin() const { return skin_; }
  TScrollPart HotPart() const { return hot_; }
  TScrollPart PressedPart() const { return pressed_; }
  bool Dragging() const { return pressed_ == spThumb; }
  bool RepeatRunning() const;

  void FindSkinRecord() override;
  void FitToSkin(int& width, int& height) override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;

 signals:
  // With OnChange: the position changed through the bar (not SetParams).
  void positionChanged(int position);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  enum TRepeat { rpNone, rpDownButton, rpUpButton, rpPageUp, rpPageDown };
  void SetPressed(TScrollPart part);
  void Press(TScrollPart part, const QPoint& at);
  void Release();
  void SetHot(TScrollPart part);
  void TrackPointer(const QPoint& at);
  void PointerLeftBar();
  void RepeatTick();
  // One repeat step; false when it changed nothing and the repeat must end.
  bool Step(TRepeat r);
  bool StepBy(int delta);
  bool PointerBeforeThumb(bool before) const;
  void DragTo(const QPoint& at);
  int Along(const QPoint& p) const { return kind_ == sbHorizontal ? p.x() : p.y(); }
  int UpperLimit() const;
  int Clamped(int v) const;
  void PaintThumbSkin(QImage& bitmap, const TScrollBarParts& parts);

  int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0;
  int smallChange_ = 1, largeChange_ = 1;
  TScrollBarKind kind_ = sbHorizontal;
  bool both_ = false;
  int bothMarkerWidth_ = 19;
  QString bothSkinDataName_ = QStringLiteral("bothhscrollbar");
  QString normalSkinDataName_;
  bool canFocused_ = false;

  TScrollPart hot_ = spNone;
  TScrollPart pressed_ = spNone;  // an arrow, the thumb, a track half, or none
  TRepeat repeat_ = rpNone;
  bool waitFirst_ = false;  // the next tick only switches to the fast rate
  bool mousePressed_ = false;
  QPoint lastPos_;
  int dragStartAlong_ = 0, dragStartOffset_ = 0;
  TwTimer* timer_ = nullptr;
  TtwScrollBarSkin skin_;
};

// Keeps a skinned bar and one hidden QScrollBar of a scroll area (an item
// view, a text edit) in step both ways. The area's own bar for that
// orientation is turned off but keeps its range, which the view maintains:
// Max = maximum + pageStep - 1, PageSize = pageStep, Position = value, so the
// thumb's last position is the hidden bar's maximum. The skinned bar is shown
// only while there is something to scroll (maximum > minimum) and the area
// itself is not hidden. The link listens to the bar's positionChanged signal
// and leaves OnChange to its owner.
class TtwScrollBarLink : public QObject {
  Q_OBJECT
 public:
  TtwScrollBarLink(QAbstractScrollArea* area, Qt::Orientation orientation, TtwSkinScrollBar* bar);
  ~TtwScrollBarLink() override;

  TtwSkinScrollBar* Bar() const { return bar_; }
  QScrollBar* Hidden() const { return hidden_; }
  bool Needed() const;
  // Copies the hidden bar's state into the skinned one and shows or hides it.
  void Sync();
  // Runs after the skinned bar was shown or hidden by a sync.
  std::function<void(bool shown)> OnShownChanged;

  // A vertical and a horizontal link of one area: the horizontal bar keeps
  // the corner marker free while the vertical one shows.
  static void Pair(TtwScrollBarLink* vertical, TtwScrollBarLink* horizontal);

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void BarMoved(int position);
  void SyncLater();

  QPointer<QAbstractScrollArea> area_;
  QPointer<QScrollBar> hidden_;
  QPointer<TtwSkinScrollBar> bar_;
  Qt::Orientation orientation_;
  bool syncing_ = false;
  bool again_ = false;  // a change arrived while syncing: sync once more
  bool pending_ = false;  // a sync is posted
};
