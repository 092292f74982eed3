#pragma once
// The tool bar (centres its controls and hands them its skin data, flat
// style, captions switch and images) and the status bar (hands its skin
// data to its panels, shows a size grip).
#include "skin/controls/twSkinPanels.h"

class TtwSkinToolBar : public TtwSkinPanel {
  Q_OBJECT
 public:
  explicit TtwSkinToolBar(QWidget* parent = nullptr);

  bool AdjustControls() const { return adjustControls_; }
  void SetAdjustControls(bool v);
  bool CanScroll() const { return canScroll_; }
  void SetCanScroll(bool v) { canScroll_ = v; }
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
  void SetHotImages(TImageList* l) { hotImages_ = l; }
  TImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TImageList* l) { disabledImages_ = l; }

  // Moves a child vertically to the centre of the bar's client rectangle.
  int CentredTop(int childHeight) const;
  void CentreChildren();

  void SetBounds(int left, int top, int width, int height) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void childEvent(QChildEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void CentreChild(QWidget* w);
  bool adjustControls_ = true;
  bool canScroll_ = false, hotScroll_ = false;
  int scrollOffset_ = 0, scrollTimerInterval_ = 50;
  bool flat_ = false, autoShowHideCaptions_ = false, showCaptions_ = false;
  int widthWithCaptions_ = 0, widthWithoutCaptions_ = 0;
  TImageList* images_ = nullptr;
  TImageList* hotImages_ = nullptr;
  TImageList* disabledImages_ = nullptr;
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
  bool ShowGrip() const { return showGrip_; }
  void SetShowGrip(bool v);
  QRect GripRect() const;

  QRect AlignClientRect() const override;
  void FindSkinRecord() override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;

 private:
  void DrawGrip(QImage& bitmap);
  TRect gripperrect_;
  bool grippertransparent_ = false;
  TColor grippertransparentcolor_ = 0;
  bool sizeGrip_ = false;
  bool showGrip_ = true;
};
