#pragma once
// The skinned container: frame pieces, caption line with check box and
// roll-up arrow, background picture and a see-through mode; the captioned
// group box and the panel with a user paint event.
#include <QPixmap>

#include "skin/controls/twSkinControlBase.h"

enum TBevelCut { bvFrame, bvRaised, bvLowered, bvNone };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TtwImagePosition { twipDefault, twipLeft };

class TtwSkinPanel : public TtwSkinCustomControl, public TAlignHost {
  Q_OBJECT
 public:
  explicit TtwSkinPanel(QWidget* parent = nullptr);
  ~TtwSkinPanel() override;

  TBevelCut BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBevelCut b);
  bool CaptionMode() const { return captionMode_; }
  virtual void SetCaptionMode(bool v);
  int DefaultCaptionHeight() const { return defaultCaptionHeight_; }
  virtual void SetDefaultCaptionHeight(int h);
  TAlignment DefaultAlignment() const { return defaultAlignment_; }
  void SetDefaultAlignment(TAlignment a);
  bool TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(bool v);
  TtwImagePosition ImagePosition() const { return imagePosition_; }
  void SetImagePosition(TtwImagePosition p) { imagePosition_ = p; update(); }

  bool CheckedMode() const { return checkedMode_; }
  void SetCheckedMode(bool v) { checkedMode_ = v; update(); }
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool AutoEnabledControls() const { return autoEnabledControls_; }
  void SetAutoEnabledControls(bool v) { autoEnabledControls_ = v; }
  std::function<void(QObject*)> OnChecked;

  bool RollUpMode() const { return rollUpMode_; }
  void SetRollUpMode(bool v);
  bool RollUpState() const { return rollUpState_; }
  void SetRollUpState(bool v);
  int RealHeight() const { return realHeight_; }
  std::function<void(QObject*)> OnChangeRollUpState;

  QPixmap Glyph() const { return glyph_; }
  void SetGlyph(const QPixmap& g) { glyph_ = g; update(); }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n) { numGlyphs_ = n < 1 ? 1 : (n > 2 ? 2 : n); update(); }
  int Spacing() const { return spacing_; }
  void SetSpacing(int s) { spacing_ = s; update(); }
  TImageList* CaptionImageList() const { return captionImageList_; }
  void SetCaptionImageList(TImageList* l) { captionImageList_ = l; update(); }
  int CaptionImageIndex() const { return captionImageIndex_; }
  void SetCaptionImageIndex(int i);

  // Rectangle of the caption after the last paint.
  QRect CaptionArea() const { return captionArea_; }

  // Where aligned children go.
  QRect AlignClientRect() const override;

  void FindSkinRecord() override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;
  void ApplySkin() override;
  void SetBounds(int left, int top, int width, int height) override;
  void BackgroundChanged() override;
  // Called after the see-through looks are drawn.
  virtual void PanelPaint(QPainter&) {}

  std::function<void()> OnClick, OnDblClick;

 signals:
  void clicked();
  void doubleClicked();

 protected:
  void CaptionChanged() override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void PaintFace(QImage& bitmap) override;
  bool SeeThrough() const override;
  void RollStep();
  // Draws the caption text (and check box) of the default look inside r.
  void DrawDefaultCaption(QPainter& p, QRect r);
  void DrawSkinCaption(QImage& bitmap);
  void DrawTransparentGroup(QImage& bitmap);
  // The caption picture (image-list entry or glyph frame), or null.
  QImage CaptionPicture() const;
  bool HasBackgroundPicture() const;

  // Copies of the panel record.
  QString fontname_;
  uint8_t fontstyle_ = 0;
  int fontheight_ = 14;
  TColor fontcolor_ = 0;
  TRect captionrect_;
  uint8_t alignment_ = 0;
  int bgpictureindex_ = -1;
  TRect checkimagerect_, uncheckimagerect_, markframerect_, framerect_, frametextrect_;
  int frameleftoffset_ = 0, framerightoffset_ = 0;
  // Size limits saved while rolled up: max width, min width, max height, min height.
  int savedConstraints_[4] = {0, 0, 0, 0};

  bool rolling_ = false;
  TtwImagePosition imagePosition_ = twipDefault;
  bool transparentMode_ = false;
  bool checkedMode_ = false, checked_ = false;
  QPixmap glyph_;
  int numGlyphs_ = 1;
  int spacing_ = 2;
  int realHeight_ = -1;
  bool rollUpState_ = false, rollUpMode_ = false, captionMode_ = false;
  TBevelCut borderStyle_ = bvFrame;
  int defaultCaptionHeight_ = 22;
  TAlignment defaultAlignment_ = taLeftJustify;
  bool autoEnabledControls_ = true;
  TImageListRef captionImageList_;
  int captionImageIndex_ = -1;
  QRect captionArea_;
  bool pressedInside_ = false;
};

class TtwSkinGroupBox : public TtwSkinPanel {
  Q_OBJECT
 public:
  explicit TtwSkinGroupBox(QWidget* parent = nullptr);
};

class TtwSkinPaintPanel : public TtwSkinPanel {
  Q_OBJECT
 public:
  explicit TtwSkinPaintPanel(QWidget* parent = nullptr);
  // (canvas, the panel's adjusted client rectangle)
  std::function<void(QPainter&, const QRect&)> OnPanelPaint;
  void PanelPaint(QPainter& p) override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;
};
