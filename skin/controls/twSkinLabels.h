#pragma once
// Labels drawn on a label piece (shadowed or reflected text, ellipsis,
// auto-width), status panels with a picture, and the skinned splitter.
#include <QPixmap>

#include "skin/controls/twSkinControlBase.h"
#include "skin/controls/twSkinPanels.h"

enum TtwEllipsType { twetNoneEllips, twetEllips };

class TtwSkinLabel : public TtwSkinCustomControl {
  Q_OBJECT
 public:
  explicit TtwSkinLabel(QWidget* parent = nullptr);

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TBevelCut BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBevelCut b);
  TtwEllipsType EllipsType() const { return ellipsType_; }
  void SetEllipsType(TtwEllipsType t);
  bool UseSkinSize() const { return useSkinSize_; }
  void SetUseSkinSize(bool v) { useSkinSize_ = v; update(); }
  bool UseSkinFontColor() const { return useSkinFontColor_; }
  void SetUseSkinFontColor(bool v) { useSkinFontColor_ = v; update(); }

  bool ShadowEffect() const { return shadowEffect_; }
  void SetShadowEffect(bool v) { shadowEffect_ = v; update(); }
  int ShadowOffset() const { return shadowOffset_; }
  void SetShadowOffset(int v) { shadowOffset_ = v; update(); }
  int ShadowSize() const { return shadowSize_; }
  void SetShadowSize(int v) { shadowSize_ = v; update(); }
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor c) { shadowColor_ = c; update(); }
  bool ReflectionEffect() const { return reflectionEffect_; }
  void SetReflectionEffect(bool v) { reflectionEffect_ = v; update(); }
  int ReflectionOffset() const { return reflectionOffset_; }
  void SetReflectionOffset(int v) { reflectionOffset_ = v; update(); }

  // Width change that would make the text fit.
  virtual int AutoSizeDelta();
  void FindSkinRecord() override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;
  void FitToSkin(int& width, int& height) override;
  void UpdateRegion() override;
  void ApplySkin() override;

  std::function<void()> OnClick, OnDblClick;

 signals:
  void clicked();
  void doubleClicked();

 protected:
  void CaptionChanged() override;
  void changeEvent(QEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void AdjustWidth();
  QFont TextFont() const;
  QColor TextColor() const;
  void DrawText(QPainter& p, const QRect& r);
  // The text's advance in a font; shaping a text is a good part of a
  // label's paint, so the last measurement is kept.
  int TextWidth(const QFont& f, const QString& text) const;
  // The rectangle text goes in for the skin look.
  QRect SkinTextRect() const;
  void DrawBorder(QPainter& p, QRect r) const;

  bool shadowEffect_ = false;
  int shadowOffset_ = 0;
  int shadowSize_ = 3;
  TColor shadowColor_ = 0;
  bool reflectionEffect_ = false;
  int reflectionOffset_ = -5;
  TtwEllipsType ellipsType_ = twetNoneEllips;
  bool useSkinSize_ = true;
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = false;
  TBevelCut borderStyle_ = bvFrame;
  bool useSkinFontColor_ = true;
  QString fontname_ = QStringLiteral("Arial");
  uint8_t fontstyle_ = 0;
  int fontheight_ = 14;
  TColor fontcolor_ = 0;
  struct TMeasured {
    QFont Font;
    QString Text;
    int Width = -1;
  };
  mutable TMeasured measured_;
};

class TtwSkinStatusPanel : public TtwSkinLabel {
  Q_OBJECT
 public:
  explicit TtwSkinStatusPanel(QWidget* parent = nullptr);

  TImageList* ImageList() const { return imageList_; }
  void SetImageList(TImageList* l) { imageList_ = l; update(); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  QPixmap Glyph() const { return glyph_; }
  void SetGlyph(const QPixmap& g);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);

  // The bar's size grip in this panel's coordinates, pushed by its status
  // bar; empty while no grip shows. A panel reaching over the grip leaves
  // that part to the bar, so the grip stays visible and keeps its presses.
  QRect BarGrip() const { return barGrip_; }
  void SetBarGrip(const QRect& grip);

  int AutoSizeDelta() override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;
  void UpdateRegion() override;

 private:
  int ImagePartWidth() const;
  // Draws the picture at a's left, vertically centred in centreIn; moves a.
  void DrawPicture(QPainter& p, QRect& a, const QRect& centreIn);
  TImageListRef imageList_;
  int imageIndex_ = -1;
  QPixmap glyph_;
  int numGlyphs_ = 1;
  QRect barGrip_;
  // The part of the grip cut from the panel's shape, and the shape before it.
  QRect gripCut_;
  QRegion shapeBeforeCut_;
};

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

// Drags a line over the parent; on release the aligned neighbour it sits
// against takes the new size.
class TtwSkinSplitter : public QWidget, public TBoundsTarget, public TtwSkinnable {
  Q_OBJECT
 public:
  explicit TtwSkinSplitter(QWidget* parent = nullptr);
  ~TtwSkinSplitter() override;

  TtwSkinData* SkinData() const override { return skinData_; }
  void SetSkinData(TtwSkinData* d);
  QString SkinDataName() const { return skinDataName_; }
  void SetSkinDataName(const QString& n) { skinDataName_ = n; }
  int RecordIndex() const { return recordIndex_; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  int DefaultSize() const { return defaultSize_; }
  void SetDefaultSize(int s) { defaultSize_ = s; }
  bool Beveled() const { return beveled_; }
  void SetBeveled(bool v) { beveled_ = v; update(); }
  TResizeStyle ResizeStyle() const { return resizeStyle_; }
  void SetResizeStyle(TResizeStyle s) { resizeStyle_ = s; }
  int MinSize() const { return minSize_; }
  void SetMinSize(int s) { minSize_ = s < 1 ? 1 : s; }

  TAlign Align() const { return WidgetAlign(this); }
  void SetAlign(TAlign a) { SetWidgetAlign(this, a); }
  void SetBounds(int left, int top, int width, int height) override;

  void ApplySkin() override;
  void ForgetSkinRecord() override { recordIndex_ = -1; }
  bool IsWindowedSkinControl() const override { return true; }
  // The face as a paint draws it; null when nothing is drawn.
  QImage RenderFace();
  // The aligned control the splitter resizes; null when there is none.
  QWidget* FindControl() const;

  std::function<void(QObject*)> OnMoved;

 signals:
  void moved();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  bool Horizontal() const;  // aligned top or bottom: a horizontal bar
  void Bind();
  int ClampedDelta(int delta) const;
  void ShowLine(int delta);
  void HideLine();

  bool transparent_ = false;
  int defaultSize_ = 10;
  int recordIndex_ = -1;
  QPointer<TtwSkinData> skinData_;
  QString skinDataName_ = QStringLiteral("vsplitter");
  // Copies of the splitter record.
  TPoint lefttoppoint_, righttoppoint_, leftbottompoint_;
  TRect skinrect_, gripperrect_;
  QImage picture_;
  bool stretcheffect_ = false, grippertransparent_ = false;
  TColor grippertransparentcolor_ = 0;
  bool beveled_ = false;
  TResizeStyle resizeStyle_ = rsLine;
  int minSize_ = 30;
  bool dragging_ = false;
  QPoint pressPos_;
  int delta_ = 0;
  QWidget* line_ = nullptr;
};
