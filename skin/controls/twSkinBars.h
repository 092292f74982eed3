#pragma once
// The tool bar (centres its controls and hands them its skin data, flat
// style, captions switch and images) and the status bar (hands its skin
// data to its panels, shows a size grip).
#include "platform/Clock.h"
#include "skin/controls/twSkinPanels.h"

// Hit codes of the tool bar's two scroll arrows; everything else is client.
inline constexpr int kHitScrollLeft = 119, kHitScrollRight = 120, kHitClient = 1;
// The bottom-right sizing corner, as the frame's hit test names it.
inline constexpr int kHitBottomRight = 17;
// Width of each scroll arrow at the bar's ends.
inline constexpr int kScrollButtonWidth = 12;

// Scroll arrows: hidden while the bar's controls fit; shown (both together)
// once they overflow and scrolling is on, hidden again once they fit. A
// shown arrow is cold, hot (pointer over it) or pressed; the scroll timer
// runs only while one is pressed, or hot with hot scrolling, and steps in
// that arrow's direction.
class TtwSkinToolBar : public TtwSkinPanel {
  Q_OBJECT
 public:
  explicit TtwSkinToolBar(QWidget* parent = nullptr);

  bool AdjustControls() const { return adjustControls_; }
  void SetAdjustControls(bool v);
  bool CanScroll() const { return canScroll_; }
  void SetCanScroll(bool v);
  bool HotScroll() const { return hotScroll_; }
  void SetHotScroll(bool v) { hotScroll_ = v; }
  int ScrollOffset() const { return scrollOffset_; }
  void SetScrollOffset(int v) { if (v >= 0) scrollOffset_ = v; }
  int ScrollTimerInterval() const { return scrollTimerInterval_; }
  void SetScrollTimerInterval(int v) { if (v > 0) scrollTimerInterval_ = v; }
  void SetSkinData(TtwSkinData* data) override;
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool v);
  bool AutoShowHideCaptions() const { return autoShowHideCaptions_; }
  void SetAutoShowHideCaptions(bool v) { autoShowHideCaptions_ = v; }
  int WidthWithCaptions() const { return widthWithCaptions_; }
  void SetWidthWithCaptions(int w) { widthWithCaptions_ = w; }
  int WidthWithoutCaptions() const { return widthWithoutCaptions_; }
  void SetWidthWithoutCaptions(int w) { widthWithoutCaptions_ = w; }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* l);
  TImageList* HotImages() const { return hotImages_; }
  void SetHotImages(TImageList* l);
  TImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TImageList* l);

  // Moves a child vertically to the centre of the bar's client rectangle.
  int CentredTop(int childHeight) const;
  void CentreChildren();

  void SetBounds(int left, int top, int width, int height) override;

  // ---- scrolling ----
  bool ScrollButtonsShown() const { return scrollShown_; }
  int ScrollPos() const { return scrollPos_; }
  int ScrollMax() const { return scrollMax_; }
  int ScrollPage() const { return scrollPage_; }
  // The width between the shown arrows (the whole width when hidden).
  int ScrollClientWidth() const;
  // An arrow's rectangle in bar coordinates (0 left, 1 right); empty when hidden.
  QRect ScrollButtonRect(int side) const;
  bool ScrollButtonHot(int side) const { return arrows_[side].Hot; }
  bool ScrollButtonPressed(int side) const { return arrows_[side].Pressed; }
  // 0 no timer, 1 scrolling left, 2 scrolling right.
  int ScrollTimerMode() const { return timerMode_; }
  int HitTest(const QPoint& p) const;
  // Measures the controls again and shows, moves or hides the arrows.
  void UpdateScroll();
  // One step left or right (ScrollOffset, or one client width).
  void ScrollStep(bool right);
  // What the arrows hear, by hit code.
  void ScrollMouseMove(int hit);
  void ScrollMouseDown(int hit);
  void ScrollMouseUp(int hit);
  void ScrollMouseLeave();
  // The arrow's face (12 x height, at ratio 1).
  QImage RenderScrollButton(int side) const;

  QRect AlignClientRect() const override;
  void FindSkinRecord() override;
  void PaintSkin(QImage& bitmap) override;

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void childEvent(QChildEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  struct ScrollArrow {
    bool Hot = false, Pressed = false;
  };
  void CentreChild(QWidget* w);
  // Hands the bar's images to its speed buttons.
  void PushImages();
  void WatchList(TImageList* l);
  bool IsArrow(const QObject* o) const;
  // The bar's own controls, without the arrows.
  QList<QWidget*> Controls() const;
  void MoveControls(int dx);
  void ShowScrollButtons(bool show);
  void StartScrollTimer(int mode);
  void StopScrollTimer();
  void RepaintArrows();
  int Inset() const { return scrollShown_ ? kScrollButtonWidth : 0; }

  int scrollMax_ = 0, scrollPos_ = 0, scrollPage_ = 0, scrollPosOld_ = 0, growOffset_ = 0;
  bool scrollShown_ = false, updatingScroll_ = false;
  ScrollArrow arrows_[2];
  QWidget* arrowWidgets_[2] = {nullptr, nullptr};
  int timerMode_ = 0;
  TwTimer scrollTimer_;
  // Copies of the skin's "resizebutton" record, taken on every lookup.
  struct ScrollLook {
    bool Bound = false;
    TtwSkinGeometry Geo;
    TRect Active, Down;
    TColor Font = 0, ActiveFont = 0, DownFont = 0;
  } scrollLook_;
  bool adjustControls_ = true;
  bool canScroll_ = false, hotScroll_ = false;
  int scrollOffset_ = 0, scrollTimerInterval_ = 50;
  bool flat_ = false, autoShowHideCaptions_ = false, showCaptions_ = false;
  int widthWithCaptions_ = 0, widthWithoutCaptions_ = 0;
  // Each reads null once its list is destroyed; the buttons hold their own
  // guarded copies.
  TImageListRef images_, hotImages_, disabledImages_;
  bool centring_ = false;
};

class TtwSkinStatusBar : public TtwSkinPanel {
  Q_OBJECT
 public:
  explicit TtwSkinStatusBar(QWidget* parent = nullptr);

  // Also hands the skin data to every skinned control on the bar.
  void SetSkinData(TtwSkinData* data) override;
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool v);
  // The show-grip switch: the frame clears it while its window is maximised;
  // the grip shows only with both SizeGrip and this set.
  bool ShowGrip() const { return showGrip_; }
  void SetShowGrip(bool v);
  bool GripShown() const { return sizeGrip_ && showGrip_; }
  QRect GripRect() const;
  // Hit code of a point: the grip is the bottom-right sizing corner (17).
  int HitTest(const QPoint& p) const;

  QRect AlignClientRect() const override;
  void FindSkinRecord() override;
  void ApplySkin() override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;

 protected:
  // A left press on the grip asks the window to size itself from its
  // bottom-right corner (WM_NCLBUTTONDOWN with hit code 17).
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void childEvent(QChildEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void DrawGrip(QImage& bitmap);
  // Tells every status panel on the bar where the grip is (nothing while it
  // is hidden); called whenever the grip or a panel moves.
  void PushGrip();
  TRect gripperrect_;
  bool grippertransparent_ = false;
  TColor grippertransparentcolor_ = 0;
  bool sizeGrip_ = false;
  bool showGrip_ = true;
};
